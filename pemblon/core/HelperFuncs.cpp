#include "pemblon/core/HelperFuncs.h"

#include <cstdarg>
#include <ctime>
#include <memory>

#include <boost/format.hpp>
#include <curl/curl.h>
#include <wx/cmdline.h>
#include <wx/filename.h>
#include <wx/image.h>
#include <wx/intl.h>
#include <wx/mimetype.h>
#include <wx/progdlg.h>
#include <wx/stdpaths.h>
#include <wx/url.h>
#include <wx/utils.h>

#include "pemblon/core/Defines.h"
#include "pemblon/core/Exception.h"
#include "pemblon/core/wxLogConsole.h"
#include "pemblon/net/CurlVersion.h"
#include "pemblon/strings/StringTable.h"
#include "pemblon/xml/XMLDoc.h"

namespace PBN {

using Strings::ostring;

int32_t HelperFuncs::_nextWndId = 6000;

namespace {

std::wstring translate(const wchar_t* text) {
    return wxGetTranslation(wxString(text), wxS("Pemblon")).ToStdWstring();
}

[[noreturn]] void failWith(const wchar_t* text, const ostring& walk) {
    std::wstring message;
    try {
        message = (boost::wformat(translate(text)) % walk.wstr()).str();
    } catch (const boost::io::format_error&) {
        // A translation with a broken place-holder must not replace the error being reported.
        message = (boost::wformat(text) % walk.wstr()).str();
    }
    throw Exception(ostring(message), Exception::SEVERE);
}

// Each of wx's image handlers whose type has none yet. The viewer registers wx's handlers
// itself before the library starts (for its splash picture), and a program may bring one of its
// own; wx would report every second handler of a type.
void addMissingImageHandlers() {
    const auto add = [](wxBitmapType type, auto make) {
        if (!wxImage::FindHandler(type))
            wxImage::AddHandler(make());
    };
    add(wxBITMAP_TYPE_PNG, [] { return new wxPNGHandler; });
    add(wxBITMAP_TYPE_JPEG, [] { return new wxJPEGHandler; });
    add(wxBITMAP_TYPE_TIFF, [] { return new wxTIFFHandler; });
    add(wxBITMAP_TYPE_GIF, [] { return new wxGIFHandler; });
    add(wxBITMAP_TYPE_PNM, [] { return new wxPNMHandler; });
    add(wxBITMAP_TYPE_PCX, [] { return new wxPCXHandler; });
    add(wxBITMAP_TYPE_IFF, [] { return new wxIFFHandler; });
    add(wxBITMAP_TYPE_ICO, [] { return new wxICOHandler; });
    add(wxBITMAP_TYPE_CUR, [] { return new wxCURHandler; });
    add(wxBITMAP_TYPE_ANI, [] { return new wxANIHandler; });
    add(wxBITMAP_TYPE_TGA, [] { return new wxTGAHandler; });
    add(wxBITMAP_TYPE_XPM, [] { return new wxXPMHandler; });
}

} // namespace

HelperFuncs::~HelperFuncs() = default;

void HelperFuncs::initLib() {
    XML::XMLDoc::initLib();
    curl_global_init(CURL_GLOBAL_ALL);
    addMissingImageHandlers();
}

void HelperFuncs::initLib(const ostring&) {
    initLib();
}

void HelperFuncs::releaseLib() {
    wxLogConsole::destroy();
    Strings::StringTable::destroy();
    curl_global_cleanup();
    Net::CurlVersion::destroy();
    XML::XMLDoc::releaseLib();
}

int32_t HelperFuncs::getNextWndId() {
    return _nextWndId++;
}

ostring HelperFuncs::getDirSep() {
    return ostring(static_cast<wchar_t>(wxFileName::GetPathSeparator()));
}

ostring HelperFuncs::ensureDir(const ostring& path) {
    const ostring sep = getDirSep();
    if (path.size() == 0)
        return sep;
    const std::wstring w = path.wstr();
    if (w.back() == sep.wat(0))
        return path;
    ostring result(path);
    result += sep;
    return result;
}

bool HelperFuncs::isDir(const ostring& path) {
    return wxFileName::DirExists(ensureDir(path).wxstr());
}

ostring HelperFuncs::getAppDir() {
    wxFileName exe(wxStandardPaths::Get().GetExecutablePath());
    return ensureDir(ostring(exe.GetPath(wxPATH_GET_VOLUME, wxPATH_NATIVE)));
}

ostring HelperFuncs::getAbsolutePath(const ostring& path, const bool& fromCwd) {
    if (wxIsAbsolutePath(path.wxstr()))
        return path;
    ostring result = ensureDir(fromCwd ? ostring(wxGetCwd()) : getAppDir());
    result += path;
    return result;
}

ostring HelperFuncs::dir(const char* first, ...) {
    std::string joined = first ? first : "";
    const std::string sep = getDirSep().str();
    va_list args;
    va_start(args, first);
    for (const char* next = va_arg(args, const char*); next; next = va_arg(args, const char*)) {
        joined += sep;
        joined += next;
    }
    va_end(args);
    return ostring(joined, Defines::appEncoding());
}

std::vector<ostring> HelperFuncs::strArray(const char* first, ...) {
    std::vector<ostring> result{ostring(first)};
    va_list args;
    va_start(args, first);
    for (const char* next = va_arg(args, const char*); next; next = va_arg(args, const char*))
        result.emplace_back(next);
    va_end(args);
    return result;
}

void HelperFuncs::ensureDirExists(const ostring& path, const int32_t& permissions) {
    const wxFileName name(ensureDir(path).wxstr(), wxPATH_NATIVE);
    const ostring sep = getDirSep();
    ostring walk;
    if (name.HasVolume())
        walk = ensureDir(ostring(name.GetVolume() + wxFileName::GetVolumeSeparator()));
    else if (name.IsAbsolute())
        walk = ensureDir(ostring());
    else // Relative paths are made below the working directory, not below the root.
        walk = ensureDir(ostring(wxGetCwd()));
    for (const wxString& component : name.GetDirs()) {
        walk += ostring(component);
        const wxString current = walk.wxstr();
        if (wxDirExists(current)) {
            walk += sep;
            continue;
        }
        if (wxFileExists(current))
            failWith(L"A file named \"%1%\" already exists.", walk);
        if (!wxMkdir(current, permissions))
            failWith(L"Impossible to create directory \"%1%\".", walk);
        walk += sep;
    }
}

bool HelperFuncs::rmdir(const ostring& path, const int32_t& flags) {
    return wxRmdir(path.wxstr(), flags);
}

wxBitmap HelperFuncs::loadBitmap(const ostring& path) {
    wxImage image(path.wxstr(), wxBITMAP_TYPE_ANY, -1);
    if (!image.IsOk())
        return wxBitmap();
    return wxBitmap(image, -1);
}

wxIcon HelperFuncs::loadIcon(const ostring& path) {
    const wxString ext = wxFileName(path.wxstr()).GetExt().Lower();
    wxBitmapType type = wxBITMAP_TYPE_ICO;
    if (ext == wxS("gif"))
        type = wxBITMAP_TYPE_GIF;
    else if (ext == wxS("xbm"))
        type = wxBITMAP_TYPE_XBM;
    else if (ext == wxS("xpm"))
        type = wxBITMAP_TYPE_XPM;
    wxIcon icon;
    if (wxFileExists(path.wxstr()))
        icon.LoadFile(path.wxstr(), type, -1, -1);
    return icon;
}

void HelperFuncs::setProgressDialogSize(wxProgressDialog* dialog) {
    if (dialog)
        dialog->SetSize(400, dialog->GetSize().GetHeight());
}

bool HelperFuncs::openURL(const ostring& url) {
    const wxString text = url.wxstr();
    wxString ext, name;
    wxURL parsed(text);
    if (parsed.GetError() != wxURL_NOERR) {
        const wxFileName file(text);
        ext = file.GetExt();
        name = file.GetFullName();
    } else if (parsed.GetPath().empty()) {
        ext = wxS("html");
        name = wxS("index");
    } else {
        const wxFileName file(parsed.GetPath(), wxPATH_UNIX);
        ext = file.GetExt();
        name = file.GetFullName();
    }
    if (!name.empty() && ext.empty())
        ext = wxS("txt");

    std::unique_ptr<wxFileType> type(wxTheMimeTypesManager->GetFileTypeFromExtension(ext));
    if (!type)
        type.reset(wxTheMimeTypesManager->GetFileTypeFromExtension(wxS("txt")));
    if (!type)
        return false;

    // The command is asked for with a place-holder, split into arguments, and the text put back
    // as one argument, so that blanks and quotes in a URL cannot split it or reach a shell.
    const wxString placeholder = wxS("pbn-open-url-argument");
    const wxString command = type->GetOpenCommand(placeholder);
    if (command.empty())
        return false;
    wxArrayString args = wxCmdLineParser::ConvertStringToArgs(command, wxCMD_LINE_SPLIT_UNIX);
    if (args.empty())
        return false;
    std::vector<const wchar_t*> argv;
    for (wxString& arg : args) {
        arg.Replace(placeholder, text);
        argv.push_back(arg.wc_str());
    }
    argv.push_back(nullptr);
    return wxExecute(argv.data(), wxEXEC_ASYNC) != 0;
}

ostring HelperFuncs::formatTimezone(const wxDateTime& date, const ostring& sep) {
    // The offset in force at that date, daylight saving included: a zone whose standard
    // offset is zero is not at zero in summer.
    tzset();
    const time_t when = date.IsValid() ? date.GetTicks() : time(nullptr);
    struct tm local {};
    localtime_r(&when, &local);
    const long offset = local.tm_gmtoff;
    if (offset == 0) {
        ostring result("+00");
        result += sep;
        result += ostring("00");
        return result;
    }
    const long magnitude = (offset < 0 ? -offset : offset) / 60;
    char head[8], tail[4];
    snprintf(head, sizeof head, " %c%02ld", offset > 0 ? '+' : '-', (magnitude / 60) % 100);
    snprintf(tail, sizeof tail, "%02ld", magnitude % 60);
    ostring result(head);
    result += sep;
    result += ostring(tail);
    return result;
}

ostring HelperFuncs::dateToRfc822(const wxDateTime& date) {
    // Mail peers expect English names whatever the user's locale.
    static const char* const days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    if (!date.IsValid())
        return ostring();
    const wxDateTime::Tm tm = date.GetTm(wxDateTime::Local);
    char text[64];
    snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d ", days[date.GetWeekDay(wxDateTime::Local)],
             static_cast<int>(tm.mday), months[tm.mon], tm.year, static_cast<int>(tm.hour),
             static_cast<int>(tm.min), static_cast<int>(tm.sec));
    std::string narrow = text;
    narrow += formatTimezone(date, ostring()).str();
    return ostring(narrow, Defines::appEncoding());
}

} // namespace PBN
