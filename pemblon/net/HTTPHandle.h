#pragma once

#include <map>

#include <wx/stream.h>
#include <wx/string.h>

#include "pemblon/core/Export.h"
#include "pemblon/net/TransferHandle.h"

namespace PBN::Net {

// The HTTP client: one operation per method, bodies from and to streams, files and memory, an
// optional cookie jar and a multipart form for POST. An operation returns true when the
// transfer worked and the reply code lies from 200 to 299; the code, the header lines and the
// body stay readable until the next operation.
//
// The custom headers (addCustomHeader) are not sent by the operations of this class: only the
// SOAP handle adds them to its requests, through appendCustomHeaders().
class PBN_API HTTPHandle : public TransferHandle {
public:
    HTTPHandle(const Strings::ostring& baseURL = Strings::ostring(),
               const Strings::ostring& username = Strings::ostring(),
               const Strings::ostring& password = Strings::ostring());
    HTTPHandle(const HTTPHandle&) = delete;
    HTTPHandle& operator=(const HTTPHandle&) = delete;
    virtual ~HTTPHandle();

    // With cookies on, libcurl writes its cookie jar to the cookie file when the easy handle is
    // released. The default file "-" is the standard output.
    void useCookies(const bool& use);
    bool useCookies() const;
    void setCookieFile(const Strings::ostring& path);
    Strings::ostring getCookieFile() const;

    // One value per exact name; a second call replaces the value.
    void addCustomHeader(const Strings::ostring& name, const Strings::ostring& value);
    void clearCustomHeaders();
    // Adds a field to the form that doPOST(path) sends; reset first drops the form built so
    // far. forms ends with a CURLFORM_END entry. False, with the field not added, when the name,
    // a content type, a file name or a part header line holds a CR, an LF or a NUL.
    bool addForm(const Strings::ostring& name, curl_forms* forms, const bool& reset);

    bool doOPTIONS(const Strings::ostring& path);
    bool doHEAD(const Strings::ostring& path);
    // doGET: the three forms of TransferHandle.
    bool doPOST(wxInputStream& in, const Strings::ostring& path);
    bool doPOST(const char* data, const unsigned int& length, const Strings::ostring& path);
    // Sends the form built with addForm; false without sending anything when there is none.
    bool doPOST(const Strings::ostring& path);
    using TransferHandle::doPUT;
    bool doPUT(wxInputStream& in, const Strings::ostring& path) override;
    bool doDELETE(const Strings::ostring& path);
    bool doTRACE(const Strings::ostring& path);

    // The explanation of an HTTP status code; "Unknown HTTP error." for codes it does not know.
    static Strings::ostring getHttpStatus(const int& code);
    // The explanation of the last reply code, with the target of a 302 and libcurl's detail
    // when no reply came.
    Strings::ostring getHttpStatus() const;

protected:
    void setCurlHandleToDefaults() override;
    void setDownloadOptions() override;
    virtual void resetPostData();
    // Appends "name: value" per custom header; the caller owns and frees the list.
    curl_slist* appendCustomHeaders(curl_slist* list) const;
    // True, with the operation refused (NetHandle::refusedLine), when a custom header's name or
    // value holds a CR, an LF or a NUL.
    bool refusedCustomHeaders();

private:
    // base URL + path into the request URL and CURLOPT_URL.
    void setRequestURL(const Strings::ostring& path);
    void bodyToBuffer();
    // The defaults and the request URL; false without a handle.
    bool startRequest(const Strings::ostring& path);
    // A request of the method libcurl sends by name, its answer's body kept.
    bool customRequest(const Strings::ostring& path, const char* method);
    // refusedLine for the texts of one addForm field.
    bool refusedFormField(const Strings::ostring& name, const curl_forms* forms);
    // perform, then the reply code; true for a 2xx reply.
    bool finish();
    // The defaults and the length of a stream to upload; false without a handle, for a stream in
    // error or of unknown length.
    bool startUpload(wxInputStream& in, curl_off_t& length);

    curl_httppost* m_formFirst;
    curl_httppost* m_formLast;
    bool m_useCookies;
    Strings::ostring m_cookieFile;
    // Kept whole (a NUL included), so that the check before sending sees what the caller gave.
    std::map<Strings::ostring, Strings::ostring> m_customHeaderMap;
};

} // namespace PBN::Net
