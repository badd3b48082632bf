#pragma once

// The virtual COM port devices of the Ports class and the COM port database, kept in one file
// (zeko_ports.txt) in the registry's folder (ZEKO_REGISTRY_DIR). Every call reads the file,
// changes it under a lock shared by all processes and writes it to a temporary name that is
// renamed into place.
//
// Port numbers are 1 to 256; others are refused. The installer gives a new device the lowest
// number free in the database, claims it and names the device "... (COMn)"; removing a device
// releases its number. A number claimed through the database belongs to the claiming process
// (its id and start time are stored): once that process has ended, the claim is gone, so a
// program killed between a claim and its release leaves nothing taken. For each device the store keeps the
// path that stands for "\\.\COMn": a virtual COM port's is virtualPortDevicePath(n), which the camera's
// driver (the simulator) serves while the camera is open. Real serial devices (a /dev/ttyUSB0, one end of a
// socat pair) are given a COM number with setSerialDevicePort, or a line "serial<TAB>n<TAB>path".

#include "platform/win/UnreadableFiles.h"
#include "platform/win/WinApi.h"

#include <optional>
#include <set>
#include <string>
#include <vector>

typedef struct HCOMDB__* HCOMDB;
#define HCOMDB_INVALID_HANDLE_VALUE ((HCOMDB)(intptr_t)-1)
constexpr DWORD COMDB_MAX_PORTS = 256;
constexpr LONG ERROR_SHARING_VIOLATION = 32;
constexpr LONG ERROR_NO_MORE_FREE_PORTS = 1812; // no free number left

LONG ComDBOpen(HCOMDB* database);
LONG ComDBClose(HCOMDB database);
LONG ComDBClaimNextFreePort(HCOMDB database, DWORD* port);
// forced: claims a number that is already in use too (*forcedOut tells whether it was).
LONG ComDBClaimPort(HCOMDB database, DWORD port, BOOL forced, BOOL* forcedOut);
LONG ComDBReleasePort(HCOMDB database, DWORD port);

namespace win {

struct PortDevice {
    uint32_t instance = 0;       // stays the device's for its lifetime, never reused
    std::u16string hardwareId;   // the first hardware id
    std::u16string friendlyName; // "Zeko virtual COM port (COMn)"
    uint32_t port = 0;
    std::string devicePath; // what "\\.\COMn" opens; empty until recorded
};

// All devices of the Ports class in installation order.
std::vector<PortDevice> listPortDevices();
// Creates a device with the hardware id and installs its driver: lowest free number, claimed.
// nullopt when no number is free or the store cannot be written.
std::optional<PortDevice> installPortDevice(const std::u16string& hardwareId);
bool setPortDeviceHardwareId(uint32_t instance, const std::u16string& hardwareId);
bool setPortDevicePath(uint32_t instance, const std::string& devicePath);
// Removes the device and releases its number in the database.
bool removePortDevice(uint32_t instance);
// The path recorded for COMn (the virtual device or the real one holding that number), empty
// when none. Never creates the store.
std::string portDevicePath(uint32_t port);
// Where the virtual COM port COMn lives: <registry folder>/zeko_COM<n>, a link to the pty that
// the camera's driver serves.
std::string virtualPortDevicePath(uint32_t port);
// Gives a real serial device the COM number port and claims the number; an empty path takes
// the number back. False when another device holds the number or the store cannot be written.
bool setSerialDevicePort(uint32_t port, const std::string& devicePath);

// Reads the store when there is one, so that a damaged one is set aside and anything that is no
// file in its place is recorded (see UnreadableFiles.h) at the program's start.
void checkPortStore();

// The numbers the database holds as claimed, read without claiming any (a store that cannot be
// written is read all the same); nullopt when the store cannot be read.
std::optional<std::set<uint32_t>> claimedPorts();

// Why the last change since the previous call could not be saved; nullopt when none failed.
struct PortStoreFailure {
    enum class Cause { Error, Folder, NotAFile };
    std::string path; // the store
    Cause cause = Cause::Error;
    int error = 0; // the system's error number for Cause::Error
};
std::optional<PortStoreFailure> takePortStoreFailure();

// What is wrong with the store's text (NUL bytes, a line of no known kind, a cut last line);
// none when every line is of a known kind.
std::optional<FileProblem> PortStoreProblem(const std::string& text);

// Tests: make the next n installations or removals fail (0 ends it).
void failPortInstallations(int count);
void failPortRemovals(int count);

} // namespace win
