#include "pemblon/net/FileHandle.h"

#include <cstdio>
#include <memory>
#include <sstream>

#include <wx/log.h>
#include <wx/url.h>
#include <wx/wfstream.h>

#include "pemblon/core/Exception.h"
#include "pemblon/core/FileSystemPath.h"
#include "pemblon/net/NetText.h"

namespace PBN::Net {

using Strings::ostring;

namespace {

// libcurl refuses blanks and control characters in a URL, reads "%" as an escape and cuts the
// name at "#" or "?": those are written as escapes, everything else as it stands.
ostring escapeForURL(const ostring& part) {
    std::wstring result;
    const std::wstring text = part.wstr();
    for (wchar_t c : text) {
        if (c == L' ' || c == L'%' || c == L'#' || c == L'?' || c < 0x20 || c == 0x7F) {
            wchar_t escape[4];
            swprintf(escape, 4, L"%%%02X", static_cast<unsigned>(c));
            result += escape;
        } else {
            result += c;
        }
    }
    return ostring(result);
}

} // namespace

FileHandle::FileHandle(const ostring& path, const ostring& username, const ostring& password)
    : NetHandle(pathToURL(path), username, password) {}

FileHandle::~FileHandle() = default;

bool FileHandle::get(const ostring& localPath) {
    if (!m_curl)
        return false;
    setCurlHandleToDefaults();
    m_requestURL = getBaseURL();
    // The URL's bytes must name the file as the file system knows it (UTF-8), not as CP1252.
    setTextOption(CURLOPT_URL, FileSystemPath::toNative(m_requestURL));
    std::unique_ptr<wxFFileOutputStream> file;
    if (localPath.size() > 0) {
        wxLogNull quiet;
        file = std::make_unique<wxFFileOutputStream>(localPath.wxstr(), wxS("wb"));
        if (!file->IsOk())
            throw Exception(Detail::translated(L"Impossible to open (or create) file \"%1%\".", localPath),
                            Exception::SEVERE);
        setOption(CURLOPT_WRITEFUNCTION, &streamWriteCallback);
        setOption(CURLOPT_WRITEDATA, static_cast<void*>(static_cast<wxOutputStream*>(file.get())));
    } else {
        setOption(CURLOPT_WRITEFUNCTION, &bufferWriteCallback);
        setOption(CURLOPT_WRITEDATA, static_cast<void*>(&m_bodyBuffer));
    }
    const bool done = perform();
    if (file)
        file->Close();
    return done;
}

ostring FileHandle::pathToURL(const ostring& path, const wxPathFormat& format) {
    {
        wxLogNull quiet;
        wxURL url(path.wxstr());
        if (!path.wxstr().empty() && url.GetError() == wxURL_NOERR)
            return path;
    }
    wxFileName name(path.wxstr(), format);
    if (!name.IsOk())
        throw Exception(Detail::translated(L"The path \"%1%\" is not valid.", path), Exception::SEVERE);
    const bool native = format == wxPATH_NATIVE || format == wxFileName::GetFormat(wxPATH_NATIVE);
    if (native && !name.IsAbsolute() && !name.HasVolume())
        name.MakeAbsolute();

    ostring url(L"file://");
    wxString volume = name.GetVolume();
    // wx keeps the two backslashes of a server name in the volume.
    while (volume.length() > 1 && volume[0] == '\\')
        volume.erase(0, 1);
    if (volume.length() == 1)
        url += ostring(volume) + ostring(L":/");
    else if (!volume.empty())
        url += ostring(L"//") + escapeForURL(ostring(volume)) + ostring(L"/");
    else if (name.IsAbsolute())
        url += ostring(L"/");
    for (const wxString& dir : name.GetDirs())
        url += escapeForURL(ostring(dir)) + ostring(L"/");
    url += escapeForURL(ostring(name.GetFullName()));
    // Narrow like other URLs, unless a character has no narrow form.
    const std::wstring wide = url.wstr();
    bool narrowable = true;
    for (wchar_t c : wide)
        narrowable = narrowable && static_cast<unsigned>(c) < 256;
    if (narrowable)
        url.setUnicode(false);
    return url;
}

} // namespace PBN::Net
