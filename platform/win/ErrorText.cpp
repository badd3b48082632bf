#include "platform/win/Win32.h"

#include <algorithm>
#include <iterator>

namespace {

struct Entry {
    DWORD code;
    const char* text;
};

// Win32 error codes, sorted by code.
constexpr Entry win32Texts[] = {
    {0, "The operation completed successfully."},
    {1, "Incorrect function."},
    {2, "The system cannot find the file specified."},
    {3, "The system cannot find the path specified."},
    {4, "The system cannot open the file."},
    {5, "Access is denied."},
    {6, "The handle is invalid."},
    {8, "Not enough memory resources are available to process this command."},
    {12, "The access code is invalid."},
    {13, "The data is invalid."},
    {14, "Not enough storage is available to complete this operation."},
    {15, "The system cannot find the drive specified."},
    {16, "The directory cannot be removed."},
    {18, "There are no more files."},
    {19, "The media is write protected."},
    {21, "The device is not ready."},
    {23, "Data error (cyclic redundancy check)."},
    {29, "The system cannot write to the specified device."},
    {30, "The system cannot read from the specified device."},
    {31, "A device attached to the system is not functioning."},
    {32, "The process cannot access the file because it is being used by another process."},
    {33, "The process cannot access the file because another process has locked a portion of the file."},
    {38, "Reached the end of the file."},
    {39, "The disk is full."},
    {50, "The request is not supported."},
    {53, "The network path was not found."},
    {59, "An unexpected network error occurred."},
    {64, "The specified network name is no longer available."},
    {67, "The network name cannot be found."},
    {80, "The file exists."},
    {87, "The parameter is incorrect."},
    {109, "The pipe has been ended."},
    {110, "The system cannot open the device or file specified."},
    {111, "The file name is too long."},
    {112, "There is not enough space on the disk."},
    {120, "This function is not supported on this system."},
    {122, "The data area passed to a system call is too small."},
    {123, "The filename, directory name, or volume label syntax is incorrect."},
    {126, "The specified module could not be found."},
    {127, "The specified procedure could not be found."},
    {145, "The directory is not empty."},
    {161, "The specified path is invalid."},
    {170, "The requested resource is in use."},
    {183, "Cannot create a file when that file already exists."},
    {193, "The application is not a valid program."},
    {206, "The filename or extension is too long."},
    {234, "More data is available."},
    {258, "The wait operation timed out."},
    {259, "No more data is available."},
    {267, "The directory name is invalid."},
    {995, "The I/O operation has been aborted because of either a thread exit or an application request."},
    {1001, "Recursion too deep; the stack overflowed."},
    {1004, "Invalid flags."},
    {1008, "An attempt was made to reference a token that does not exist."},
    {1060, "The specified service does not exist as an installed service."},
    {1168, "Element not found."},
    {1223, "The operation was canceled by the user."},
    {1400, "Invalid window handle."},
    {1460, "This operation returned because the timeout period expired."},
    {2250, "This network connection does not exist."},
    {10054, "An existing connection was forcibly closed by the remote host."},
    {10060, "A connection attempt failed because the connected party did not properly respond after a "
            "period of time, or established connection failed because connected host has failed to respond."},
    {10061, "No connection could be made because the target machine actively refused it."},
};

// HRESULTs that are not a wrapped Win32 code.
constexpr Entry hresultTexts[] = {
    {0x80004001, "Not implemented"},      {0x80004002, "No such interface supported"},
    {0x80004003, "Invalid pointer"},      {0x80004004, "Operation aborted"},
    {0x80004005, "Unspecified error"},    {0x8000FFFF, "Catastrophic failure"},
    {0x80040154, "Class not registered"},
};

const char* find(const Entry* begin, const Entry* end, DWORD code) {
    const Entry* it = std::lower_bound(begin, end, code, [](const Entry& e, DWORD c) { return e.code < c; });
    return it != end && it->code == code ? it->text : nullptr;
}

} // namespace

std::string SystemErrorText(DWORD code) {
    const char* text = nullptr;
    if ((code & 0xFFFF0000u) == 0x80070000u)
        text = find(std::begin(win32Texts), std::end(win32Texts), code & 0xFFFFu);
    else if (code & 0x80000000u)
        text = find(std::begin(hresultTexts), std::end(hresultTexts), code);
    else
        text = find(std::begin(win32Texts), std::end(win32Texts), code);
    return text ? std::string(text) + "\r\n" : std::string();
}
