#pragma once

#include <wx/stream.h>

#include "pemblon/core/Export.h"
#include "pemblon/net/NetHandle.h"

namespace PBN::Net {

// The download and upload families the HTTP and FTP clients share: a stream, a local file or
// memory, each form going through the one transfer its protocol defines (a download here, the
// upload from a stream in the subclass).
class PBN_API TransferHandle : public NetHandle {
public:
    TransferHandle(const Strings::ostring& baseURL, const Strings::ostring& username,
                   const Strings::ostring& password);
    TransferHandle(const TransferHandle&) = delete;
    TransferHandle& operator=(const TransferHandle&) = delete;
    ~TransferHandle() override;

    // base URL + path; false without a handle or for a stream in error. True when the reply code
    // lies from 200 to lastDownloadCode().
    bool doGET(wxOutputStream& out, const Strings::ostring& path);
    // The file is created (or emptied) before the transfer, also when the request then fails.
    bool doGET(const Strings::ostring& localFile, const Strings::ostring& path);
    // The body in a new block of size + 1 bytes ending with 0, which the caller frees with
    // delete[]; returns the size, 0 (and data null) on failure.
    unsigned int doGET(char*& data, const Strings::ostring& path);
    virtual bool doPUT(wxInputStream& in, const Strings::ostring& path) = 0;
    bool doPUT(const Strings::ostring& localFile, const Strings::ostring& path);
    bool doPUT(const char* data, const unsigned int& length, const Strings::ostring& path);

protected:
    // The last reply code a download succeeds on: 299.
    virtual long lastDownloadCode() const;
    // Options of the protocol's download request, set after the URL: none here.
    virtual void setDownloadOptions();

private:
    // A receiveBuffer above 0 sets libcurl's receive buffer (bytes).
    bool download(wxOutputStream& out, const Strings::ostring& path, long receiveBuffer);
};

} // namespace PBN::Net
