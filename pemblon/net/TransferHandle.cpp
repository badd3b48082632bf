#include "pemblon/net/TransferHandle.h"

#include <wx/log.h>
#include <wx/mstream.h>
#include <wx/wfstream.h>

#include "pemblon/core/FileSystemPath.h"
#include "pemblon/net/FileSink.h"
#include "pemblon/net/MemorySink.h"
#include "pemblon/net/NetText.h"

namespace PBN::Net {

using Strings::ostring;

TransferHandle::TransferHandle(const ostring& baseURL, const ostring& username, const ostring& password)
    : NetHandle(baseURL, username, password) {}

TransferHandle::~TransferHandle() = default;

bool TransferHandle::download(wxOutputStream& out, const ostring& path, const long receiveBuffer) {
    if (!m_curl || !out.IsOk())
        return false;
    setCurlHandleToDefaults();
    m_requestURL = getBaseURL() + path;
    setTextOption(CURLOPT_URL, Detail::bytes(m_requestURL));
    setDownloadOptions();
    if (receiveBuffer > 0)
        setOption(CURLOPT_BUFFERSIZE, receiveBuffer);
    setOption(CURLOPT_WRITEFUNCTION, &streamWriteCallback);
    setOption(CURLOPT_WRITEDATA, static_cast<void*>(&out));
    if (!perform())
        return false;
    readResponseCode();
    return m_responseCode >= 200 && m_responseCode <= lastDownloadCode();
}

bool TransferHandle::doGET(wxOutputStream& out, const ostring& path) {
    return download(out, path, 0L);
}

bool TransferHandle::doGET(const ostring& localFile, const ostring& path) {
    Detail::FileSink file(FileSystemPath::toNative(localFile));
    const bool received = download(file, path, Detail::MemorySink::kReceiveBuffer);
    // The last bytes reach the file only now, and a write that fails there fails the download.
    return file.Close() && received;
}

unsigned int TransferHandle::doGET(char*& data, const ostring& path) {
    data = nullptr;
    Detail::MemorySink out(m_curl);
    if (!download(out, path, Detail::MemorySink::kReceiveBuffer))
        return 0;
    return out.releaseBlock(data);
}

bool TransferHandle::doPUT(const ostring& localFile, const ostring& path) {
    wxLogNull quiet;
    wxFFileInputStream file(localFile.wxstr(), wxS("rb"));
    return doPUT(file, path);
}

bool TransferHandle::doPUT(const char* data, const unsigned int& length, const ostring& path) {
    wxMemoryInputStream in(data, length);
    return doPUT(in, path);
}

long TransferHandle::lastDownloadCode() const {
    return 299;
}

void TransferHandle::setDownloadOptions() {}

} // namespace PBN::Net
