#include "pemblon/net/HTTPHandle.h"

#include <cstring>
#include <new>
#include <utility>

#include <wx/mstream.h>

#include "pemblon/core/FileSystemPath.h"
#include "pemblon/net/NetText.h"

namespace PBN::Net {

using Strings::ostring;

namespace {

const std::pair<int, const wchar_t*> kStatusTexts[] = {
    {100,
     L"The initial part of the request has been received and\nthe client may continue with its request."},
    {101, L"The server is complying with a client request to switch protocols\nto the one specified in the "
          L"Upgrade header field."},
    {200, L"The HTTP request has succeeded."},
    {201, L"The request has been fulfilled and resulted in a new\nresource being created."},
    {202, L"The request has been accepted for processing, but the processing\nhas not been completed."},
    {203, L"Usually the preliminary information sent from a server to a browser comes\ndirectly from the "
          L"server. If it does not, then this code might also be sent to indicate\nthat information did not "
          L"come from a known source."},
    {204, L"The request was accepted and filled but no new information is being sent back."},
    {205, L"The browser should clear the form used for this transaction for additional input."},
    {206, L"The server is returning partial data of the size requested."},
    {300, L"The requested URI refers to more than one resource."},
    {301, L"The requested resource has been assigned a new permanent address (URI)."},
    {302, L"The requested resource resides temporarily under a different URI."},
    {303, L"The requested URI can be found at a different URI (specified in the Location header)\nand should "
          L"be retrieved by a GET on that resource."},
    {304, L"The web browser has performed a conditional GET request and access is allowed,\nbut the document "
          L"has not been modified."},
    {305, L"The requested URI must be accessed through the proxy in the Location header."},
    {400, L"The HTTP request could not be understood by the server due to malformed syntax."},
    {401, L"The request requires user authentication."},
    {402, L"This code is not yet implemented in HTTP."},
    {403, L"The HTTP server understood the request, but is refusing to fulfill it."},
    {404, L"The server has not found anything matching the requested address (URI) ( not found )."},
    {405, L"This code is given with the Allow header and indicates that the method used by the client\nis "
          L"not supported for this URI."},
    {406, L"The URI specified by the client exists, but not in a format preferred by the client."},
    {407, L"The proxy server needs to authorize the request before forwarding it."},
    {408, L"This response code means the client did not produce a full request within\nsome predetermined "
          L"time (usually specified in the server's configuration),\nand the server is disconnecting the "
          L"network connection."},
    {409, L"This code indicates that the request conflicts with another request or with the server's "
          L"configuration."},
    {410, L"This code indicates that the requested URI no longer exists and has been permanently removed "
          L"from the server."},
    {411, L"The server will not accept the request without a Content-Length header supplied in the request."},
    {412, L"The condition specified by one or more If... headers in the request evaluated to false."},
    {413, L"The server will not process the request because its entity body is too large."},
    {414, L"The server will not process the request because its request URI is too large."},
    {415, L"The server will not process the request because its entity body is in an unsupported format."},
    {416, L"The server will not process the request because the requested range is invalid."},
    {417, L"The behavior expected fot the server is not supported."},
    {500,
     L"The HTTP server encountered an unexpected condition which prevented it from fulfilling the request."},
    {501, L"The HTTP server does not support the functionality required to fulfill the request."},
    {502, L"The gateway server returned an invalid response."},
    {503, L"The HTTP server is currently unable to handle the request\ndue to a temporary overloading or "
          L"maintenance of the server."},
    {504, L"This response is like 408 (Request Time-out) except that a gateway or proxy has timed out."},
    {505, L"The server will not support the HTTP protocol version used in the request."},
};

void* asData(void* p) {
    return p;
}

} // namespace

HTTPHandle::HTTPHandle(const ostring& baseURL, const ostring& username, const ostring& password)
    : TransferHandle(baseURL, username, password), m_formFirst(nullptr), m_formLast(nullptr),
      m_useCookies(false), m_cookieFile("-") {}

HTTPHandle::~HTTPHandle() {
    if (m_formFirst && m_formLast)
        curl_formfree(m_formFirst);
    m_customHeaderMap.clear();
}

void HTTPHandle::useCookies(const bool& use) {
    m_useCookies = use;
}
bool HTTPHandle::useCookies() const {
    return m_useCookies;
}
void HTTPHandle::setCookieFile(const ostring& path) {
    m_cookieFile = path;
}
ostring HTTPHandle::getCookieFile() const {
    return m_cookieFile;
}

void HTTPHandle::addCustomHeader(const ostring& name, const ostring& value) {
    m_customHeaderMap[name] = value;
}

void HTTPHandle::clearCustomHeaders() {
    m_customHeaderMap.clear();
}

curl_slist* HTTPHandle::appendCustomHeaders(curl_slist* list) const {
    for (const auto& [name, value] : m_customHeaderMap)
        list = curl_slist_append(list, (Detail::utf8(name) + ": " + Detail::utf8(value)).c_str());
    return list;
}

bool HTTPHandle::refusedCustomHeaders() {
    for (const auto& [name, value] : m_customHeaderMap) {
        if (refusedLine(name, "a custom header's name") || refusedLine(value, "a custom header"))
            return true;
    }
    return false;
}

bool HTTPHandle::refusedFormField(const ostring& name, const curl_forms* forms) {
    if (refusedLine(name, "a form field's name"))
        return true;
    for (const curl_forms* f = forms; f && f->option != CURLFORM_END; ++f) {
        // The texts libcurl writes into a part's header lines as they are.
        if (f->option == CURLFORM_CONTENTTYPE || f->option == CURLFORM_FILENAME) {
            if (f->value && refusedLine(ostring(f->value), "a form field's content type or file name"))
                return true;
        } else if (f->option == CURLFORM_CONTENTHEADER) {
            for (auto* line = reinterpret_cast<const curl_slist*>(f->value); line; line = line->next) {
                if (line->data && refusedLine(ostring(line->data), "a form field's header line"))
                    return true;
            }
        }
    }
    return false;
}

bool HTTPHandle::addForm(const ostring& name, curl_forms* forms, const bool& reset) {
    if (reset)
        resetPostData();
    if (refusedFormField(name, forms))
        return false;
    const std::string copyName = Detail::bytes(name);
    return curl_formadd(&m_formFirst, &m_formLast, CURLFORM_COPYNAME, copyName.c_str(), CURLFORM_ARRAY, forms,
                        CURLFORM_END) == CURL_FORMADD_OK;
}

void HTTPHandle::resetPostData() {
    if (m_formFirst && m_formLast) {
        curl_formfree(m_formFirst);
        m_formFirst = nullptr;
        m_formLast = nullptr;
    }
}

void HTTPHandle::setCurlHandleToDefaults() {
    TransferHandle::setCurlHandleToDefaults();
    if (m_curl && m_useCookies)
        setTextOption(CURLOPT_COOKIEJAR, FileSystemPath::toNative(m_cookieFile));
}

void HTTPHandle::setRequestURL(const ostring& path) {
    m_requestURL = getBaseURL() + path;
    setTextOption(CURLOPT_URL, Detail::bytes(m_requestURL));
}

void HTTPHandle::bodyToBuffer() {
    setOption(CURLOPT_WRITEFUNCTION, &bufferWriteCallback);
    setOption(CURLOPT_WRITEDATA, asData(&m_bodyBuffer));
}

bool HTTPHandle::finish() {
    if (!perform())
        return false;
    readResponseCode();
    return m_responseCode >= 200 && m_responseCode <= 299;
}

bool HTTPHandle::startUpload(wxInputStream& in, curl_off_t& length) {
    if (!m_curl || !in.IsOk())
        return false;
    setCurlHandleToDefaults();
    const wxFileOffset size = in.GetLength();
    if (size == wxInvalidOffset)
        return false;
    // The whole 64-bit length: libcurl compares it with the bytes sent.
    length = static_cast<curl_off_t>(size);
    return true;
}

bool HTTPHandle::startRequest(const ostring& path) {
    if (!m_curl)
        return false;
    setCurlHandleToDefaults();
    setRequestURL(path);
    return true;
}

bool HTTPHandle::customRequest(const ostring& path, const char* method) {
    if (!startRequest(path))
        return false;
    setTextOption(CURLOPT_CUSTOMREQUEST, method);
    bodyToBuffer();
    return finish();
}

bool HTTPHandle::doOPTIONS(const ostring& path) {
    return customRequest(path, "OPTIONS");
}

bool HTTPHandle::doHEAD(const ostring& path) {
    if (!startRequest(path))
        return false;
    setOption(CURLOPT_HTTPGET, 1L);
    setOption(CURLOPT_NOBODY, 1L);
    return finish();
}

void HTTPHandle::setDownloadOptions() {
    setOption(CURLOPT_HTTPGET, 1L);
}

bool HTTPHandle::doPOST(wxInputStream& in, const ostring& path) {
    curl_off_t length = 0;
    if (!startUpload(in, length))
        return false;
    setRequestURL(path);
    setOption(CURLOPT_POST, 1L);
    setOption(CURLOPT_POSTFIELDSIZE_LARGE, length);
    setOption(CURLOPT_READFUNCTION, &streamReadCallback);
    setOption(CURLOPT_READDATA, asData(&in));
    bodyToBuffer();
    return finish();
}

bool HTTPHandle::doPOST(const char* data, const unsigned int& length, const ostring& path) {
    wxMemoryInputStream in(data, length);
    return doPOST(in, path);
}

bool HTTPHandle::doPOST(const ostring& path) {
    if (!m_curl || !m_formFirst || !m_formLast)
        return false;
    setCurlHandleToDefaults();
    setRequestURL(path);
    setOption(CURLOPT_POST, 1L);
    setOption(CURLOPT_HTTPPOST, m_formFirst);
    bodyToBuffer();
    return finish();
}

bool HTTPHandle::doPUT(wxInputStream& in, const ostring& path) {
    curl_off_t length = 0;
    if (!startUpload(in, length))
        return false;
    setOption(CURLOPT_UPLOAD, 1L);
    setOption(CURLOPT_PUT, 1L);
    setRequestURL(path);
    setOption(CURLOPT_READFUNCTION, &streamReadCallback);
    setOption(CURLOPT_READDATA, asData(&in));
    setOption(CURLOPT_INFILESIZE_LARGE, length);
    bodyToBuffer();
    return finish();
}

bool HTTPHandle::doDELETE(const ostring& path) {
    return customRequest(path, "DELETE");
}

bool HTTPHandle::doTRACE(const ostring& path) {
    if (!m_curl)
        return false;
    setCurlHandleToDefaults();
    m_customHeaders.Add(wxS("Content-type: message/http"));
    setHeaders();
    setRequestURL(path);
    setTextOption(CURLOPT_CUSTOMREQUEST, "TRACE");
    bodyToBuffer();
    bool done = false;
    try {
        done = finish();
    } catch (...) {
        resetHeaders();
        throw;
    }
    // Dropping the header list sets an option too; the transfer's code is the one to keep.
    const CURLcode transferCode = m_curlCode;
    resetHeaders();
    m_curlCode = transferCode;
    return done;
}

ostring HTTPHandle::getHttpStatus(const int& code) {
    for (const auto& [number, text] : kStatusTexts)
        if (number == code)
            return Detail::translated(text);
    return Detail::translated(L"Unknown HTTP error.");
}

ostring HTTPHandle::getHttpStatus() const {
    const long code = getResponseCode();
    if (code == -1)
        return getErrorString();
    ostring text = getHttpStatus(static_cast<int>(code));
    if (code == 302) {
        const std::wstring prefix = L"Location: ";
        for (const ostring& line : getResponseHeader().tokenize(ostring(L"\r\n"), true)) {
            const std::wstring wide = line.wstr();
            if (wide.compare(0, prefix.size(), prefix) == 0) {
                text += ostring(L"\r\n") + ostring(wide.substr(prefix.size()));
                break;
            }
        }
    }
    return text;
}

} // namespace PBN::Net
