#include "pemblon/net/NetHandle.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

#include <wx/stream.h>

#include "pemblon/net/CurlCodeTexts.h"
#include "pemblon/net/NetEvent.h"
#include "pemblon/net/NetListener.h"
#include "pemblon/net/NetText.h"

namespace PBN::Net {

using Strings::ostring;

namespace {

constexpr size_t kBufferCapacity = 1024;
constexpr long kConnectTimeoutSeconds = 30;
// Below this many bytes a second for kLowSpeedSeconds, the transfer is given up.
constexpr long kLowSpeedBytesPerSecond = 1;
constexpr long kLowSpeedSeconds = 60;

// What a callback caught during the running transfer of this thread; perform() rethrows it.
thread_local std::exception_ptr t_callbackFailure;

void keepCallbackFailure() {
    if (!t_callbackFailure)
        t_callbackFailure = std::current_exception();
}

// Calls a C library that returns a malloc'ed text, as an ostring; "" for null.
template <typename Call> ostring curlText(Call&& call) {
    char* text = call();
    if (!text)
        return ostring("");
    ostring result(text);
    curl_free(text);
    return result;
}

} // namespace

ostring NetHandle::urlUserInfo(const ostring& url) {
    const std::wstring text = url.wstr();
    const size_t scheme = text.find(L"://");
    if (scheme == std::wstring::npos)
        return ostring("");
    const size_t start = scheme + 3;
    const size_t end = std::min(text.find_first_of(L"/?#", start), text.size());
    const size_t at = text.rfind(L'@', end - 1);
    if (at == std::wstring::npos || at < start)
        return ostring("");
    return getStringFromURLEncoded(ostring(text.substr(start, at - start)));
}

NetHandle::NetHandle(const ostring& baseURL, const ostring& username, const ostring& password)
    : m_requestURL(baseURL), m_headerBuffer(kBufferCapacity), m_bodyBuffer(kBufferCapacity),
      m_responseCode(-1), m_curlCode(CURLE_OK), m_curl(nullptr), m_baseURL(baseURL), m_username(username),
      m_password(password), m_port(-1), m_useProxy(false), m_proxyPort(-1), m_verbose(false),
      m_headerList(nullptr) {
    m_errorBuffer[0] = '\0';
    initHandle();
}

NetHandle::~NetHandle() {
    cleanupHandle();
    m_customHeaders.Clear();
    if (m_headerList)
        curl_slist_free_all(m_headerList);
}

bool NetHandle::initHandle() {
    if (m_curl)
        return false;
    m_curl = curl_easy_init();
    return m_curl != nullptr;
}

bool NetHandle::cleanupHandle() {
    if (m_curl) {
        curl_easy_cleanup(m_curl);
        m_curl = nullptr;
    }
    return true;
}

bool NetHandle::resetHandle() {
    if (m_curl)
        curl_easy_reset(m_curl);
    return true;
}

bool NetHandle::reInitHandle() {
    cleanupHandle();
    return initHandle();
}

void NetHandle::setBaseURL(const ostring& url) {
    m_baseURL = url;
}
ostring NetHandle::getBaseURL() const {
    return m_baseURL;
}
void NetHandle::setUsername(const ostring& name) {
    m_username = name;
}
ostring NetHandle::getUsername() const {
    return m_username;
}
void NetHandle::setPassword(const ostring& password) {
    m_password = password;
}
ostring NetHandle::getPassword() const {
    return m_password;
}
void NetHandle::setPort(const long& port) {
    m_port = port;
}
long NetHandle::getPort() const {
    return m_port;
}
void NetHandle::useProxy(const bool& use) {
    m_useProxy = use;
}
bool NetHandle::useProxy() const {
    return m_useProxy;
}
void NetHandle::setProxyHost(const ostring& host) {
    m_proxyHost = host;
}
ostring NetHandle::getProxyHost() const {
    return m_proxyHost;
}
void NetHandle::setProxyUsername(const ostring& name) {
    m_proxyUsername = name;
}
ostring NetHandle::getProxyUsername() const {
    return m_proxyUsername;
}
void NetHandle::setProxyPassword(const ostring& password) {
    m_proxyPassword = password;
}
ostring NetHandle::getProxyPassword() const {
    return m_proxyPassword;
}
void NetHandle::setProxyPort(const long& port) {
    m_proxyPort = port;
}
long NetHandle::getProxyPort() const {
    return m_proxyPort;
}
void NetHandle::setVerbose(const bool& verbose) {
    m_verbose = verbose;
}
bool NetHandle::isVerbose() const {
    return m_verbose;
}

long NetHandle::getResponseCode() const {
    return m_responseCode;
}
CURLcode NetHandle::getCURLError() const {
    return m_curlCode;
}
ostring NetHandle::getCURLErrorString() const {
    return getCURLErrorString(m_curlCode);
}

ostring NetHandle::getCURLErrorString(const CURLcode& code) {
    const wchar_t* text = Detail::curlCodeText(static_cast<long>(code));
    return text ? Detail::translated(text) : ostring("");
}

ostring NetHandle::getErrorString() const {
    return ostring(wxString::FromUTF8(m_errorBuffer, strnlen(m_errorBuffer, sizeof m_errorBuffer)));
}

ostring NetHandle::getResponseHeader() const {
    return Detail::decodeReceived(m_headerBuffer);
}

ostring NetHandle::getResponseBody() const {
    return Detail::decodeReceived(m_bodyBuffer);
}

bool NetHandle::getVerboseString(ostring& out) const {
    if (!m_verbose)
        return false;
    const wxStreamBuffer* log = m_verboseLog.GetOutputStreamBuffer();
    out += Detail::decodeReceived(static_cast<const char*>(log->GetBufferStart()),
                                  static_cast<size_t>(m_verboseLog.GetLength()));
    return true;
}

bool NetHandle::getVerboseStream(wxOutputStream& out) const {
    if (!m_verbose || !m_verboseLog.IsOk())
        return false;
    const wxStreamBuffer* log = m_verboseLog.GetOutputStreamBuffer();
    out.Write(log->GetBufferStart(), static_cast<size_t>(m_verboseLog.GetLength()));
    return out.IsOk();
}

bool NetHandle::refuse(const std::string& reason) {
    snprintf(m_errorBuffer, sizeof m_errorBuffer, "Refused before sending: %s", reason.c_str());
    m_curlCode = CURLE_BAD_FUNCTION_ARGUMENT;
    m_responseCode = -1;
    return true;
}

bool NetHandle::refusedLine(const ostring& text, const char* what) {
    const std::string reason = Detail::lineRefusal(what, text);
    return !reason.empty() && refuse(reason);
}

bool NetHandle::refusedSettings() {
    // libcurl reads these as C strings and puts them into commands (USER, PASS) and header lines.
    if (refusedLine(m_requestURL, "the URL") || refusedLine(m_username, "the user name") ||
        refusedLine(m_password, "the password"))
        return true;
    // The same credentials written into the URL reach the same commands once libcurl decodes them.
    if (refusedLine(urlUserInfo(m_requestURL), "the user name or password in the URL"))
        return true;
    return m_useProxy && (refusedLine(m_proxyHost, "the proxy host") ||
                          refusedLine(m_proxyUsername, "the proxy user name") ||
                          refusedLine(m_proxyPassword, "the proxy password"));
}

bool NetHandle::perform() {
    if (refusedSettings())
        return false;
    m_curlCode = CURLE_OK;
    m_listeners.dispatch([this](NetListener* listener) { listener->pbnNetBegin(this); });
    // Peer verification stays libcurl's default (on) for every URL.
    std::exception_ptr outer = std::exchange(t_callbackFailure, nullptr);
    m_curlCode = curl_easy_perform(m_curl);
    // libcurl leaves some failures without a detail (a URL it cannot parse, a PORT it cannot use):
    // the code's own text then says at least what failed.
    if (m_curlCode != CURLE_OK && m_errorBuffer[0] == '\0')
        snprintf(m_errorBuffer, sizeof m_errorBuffer, "%s", curl_easy_strerror(m_curlCode));
    std::exception_ptr failure = std::exchange(t_callbackFailure, outer);
    m_listeners.dispatch([this](NetListener* listener) { listener->pbnNetEnd(this); });
    if (failure)
        std::rethrow_exception(failure);
    return m_curlCode == CURLE_OK;
}

void NetHandle::addListener(NetListener* listener) {
    m_listeners.add(listener);
}
void NetHandle::removeListener(NetListener* listener) {
    m_listeners.remove(listener);
}
unsigned NetHandle::getListenersCount() const {
    return static_cast<unsigned>(m_listeners.size());
}
NetListener* NetHandle::getListenerAt(const unsigned& index) const {
    return m_listeners.at(index);
}

ostring NetHandle::getURLEncodedString(const ostring& text) {
    const std::string bytes = Detail::bytes(text);
    return curlText([&] { return curl_escape(bytes.c_str(), static_cast<int>(bytes.size())); });
}

ostring NetHandle::getStringFromURLEncoded(const ostring& text) {
    const std::string bytes = Detail::bytes(text);
    int length = 0;
    char* plain = curl_easy_unescape(nullptr, bytes.c_str(), static_cast<int>(bytes.size()), &length);
    if (!plain)
        return ostring("");
    // The UTF-8 getURLEncodedString makes; escapes of another encoding read as ISO-8859-1.
    const ostring result = Detail::decodeReceived(plain, static_cast<size_t>(length));
    curl_free(plain);
    return result;
}

wxDateTime NetHandle::getDateFromString(const ostring& text) {
    time_t now = wxDateTime::Now().GetTicks();
    const time_t seconds = curl_getdate(Detail::utf8(text).c_str(), &now);
    if (seconds == -1)
        return wxDateTime();
    return wxDateTime(seconds);
}

void NetHandle::setCurlHandleToDefaults() {
    if (!m_curl)
        return;
    curl_easy_reset(m_curl);
    resetResponseVars();
    setOption(CURLOPT_HEADERFUNCTION, &bufferWriteCallback);
    setOption(CURLOPT_HEADERDATA, static_cast<void*>(&m_headerBuffer));
    setOption(CURLOPT_ERRORBUFFER, m_errorBuffer);
    // A server that never answers, or stops sending, ends the transfer with
    // CURLE_OPERATION_TIMEDOUT instead of blocking the caller for ever; a slow download that still
    // moves never trips these.
    setOption(CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
    setOption(CURLOPT_LOW_SPEED_LIMIT, kLowSpeedBytesPerSecond);
    setOption(CURLOPT_LOW_SPEED_TIME, kLowSpeedSeconds);
    if (!m_listeners.empty()) {
        setOption(CURLOPT_NOPROGRESS, 0L);
        setOption(CURLOPT_PROGRESSFUNCTION, &progressCallback);
        setOption(CURLOPT_PROGRESSDATA, static_cast<void*>(this));
    }
    if (m_username.size() > 0 || m_password.size() > 0) {
        m_userPwd = m_username + ostring(":") + m_password;
        setTextOption(CURLOPT_USERPWD, Detail::bytes(m_userPwd));
        setOption(CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC));
    }
    if (m_port != -1)
        setOption(CURLOPT_PORT, m_port);
    if (m_useProxy) {
        if (m_proxyHost.size() > 0)
            setTextOption(CURLOPT_PROXY, Detail::bytes(m_proxyHost));
        if (m_proxyPort != -1)
            setOption(CURLOPT_PROXYPORT, m_proxyPort);
        if (m_proxyUsername.size() > 0 || m_proxyPassword.size() > 0) {
            m_proxyUserPwd = m_proxyUsername + ostring(":") + m_proxyPassword;
            setTextOption(CURLOPT_PROXYUSERPWD, Detail::bytes(m_proxyUserPwd));
        }
    }
    if (m_verbose) {
        setOption(CURLOPT_VERBOSE, 1L);
        setOption(CURLOPT_DEBUGFUNCTION, &debugCallback);
        setOption(CURLOPT_DEBUGDATA, static_cast<void*>(static_cast<wxOutputStream*>(&m_verboseLog)));
    }
}

void NetHandle::setHeaders() {
    if (m_customHeaders.IsEmpty())
        return;
    if (m_headerList) {
        curl_slist_free_all(m_headerList);
        m_headerList = nullptr;
        setOption(CURLOPT_HTTPHEADER, static_cast<curl_slist*>(nullptr));
    }
    for (const wxString& line : m_customHeaders)
        m_headerList = curl_slist_append(m_headerList, line.utf8_str().data());
    setOption(CURLOPT_HTTPHEADER, m_headerList);
}

void NetHandle::resetHeaders() {
    m_customHeaders.Clear();
    if (m_headerList) {
        curl_slist_free_all(m_headerList);
        m_headerList = nullptr;
        setOption(CURLOPT_HTTPHEADER, static_cast<curl_slist*>(nullptr));
    }
}

void NetHandle::resetResponseVars() {
    m_headerBuffer.SetDataLen(0);
    m_bodyBuffer.SetDataLen(0);
    m_responseCode = -1;
    m_requestURL = ostring("");
}

CURLcode NetHandle::setTextOption(const CURLoption& option, const std::string& text) {
    return setOption(option, text.c_str());
}

void NetHandle::readResponseCode() {
    long code = -1;
    m_curlCode = curl_easy_getinfo(m_curl, CURLINFO_RESPONSE_CODE, &code);
    m_responseCode = code;
}

size_t bufferWriteCallback(char* data, size_t size, size_t nmemb, void* userdata) {
    if (!userdata)
        return static_cast<size_t>(-1);
    const size_t length = size * nmemb;
    try {
        static_cast<wxMemoryBuffer*>(userdata)->AppendData(data, length);
    } catch (...) {
        keepCallbackFailure();
        return 0;
    }
    return length;
}

size_t streamWriteCallback(char* data, size_t size, size_t nmemb, void* userdata) {
    if (!userdata)
        return static_cast<size_t>(-1);
    auto* stream = static_cast<wxOutputStream*>(userdata);
    try {
        stream->Write(data, size * nmemb);
        return stream->LastWrite();
    } catch (...) {
        keepCallbackFailure();
        return 0;
    }
}

size_t streamReadCallback(char* buffer, size_t size, size_t nmemb, void* userdata) {
    if (!userdata)
        return CURL_READFUNC_ABORT;
    auto* stream = static_cast<wxInputStream*>(userdata);
    try {
        stream->Read(buffer, size * nmemb);
        return stream->LastRead();
    } catch (...) {
        keepCallbackFailure();
        return CURL_READFUNC_ABORT;
    }
}

int progressCallback(void* clientp, double dltotal, double dlnow, double ultotal, double ulnow) {
    if (!clientp)
        return -1;
    auto* handle = static_cast<NetHandle*>(clientp);
    NetEvent event(dlnow, dltotal, ulnow, ultotal);
    try {
        for (unsigned i = 0; i < handle->getListenersCount(); ++i) {
            NetListener* listener = handle->getListenerAt(i);
            if (listener)
                listener->pbnNetProgress(handle, event);
        }
    } catch (...) {
        keepCallbackFailure();
        return 1;
    }
    return 0;
}

int debugCallback(CURL*, curl_infotype type, char* data, size_t size, void* userptr) {
    if (!userptr)
        return -1;
    const char* prefix = "";
    switch (type) {
    case CURLINFO_TEXT:
        prefix = "Text: ";
        break;
    case CURLINFO_HEADER_IN:
        prefix = "Header in: ";
        break;
    case CURLINFO_HEADER_OUT:
        prefix = "Header out: ";
        break;
    case CURLINFO_DATA_IN:
        prefix = "Data in: ";
        break;
    case CURLINFO_DATA_OUT:
        prefix = "Data out: ";
        break;
    case CURLINFO_SSL_DATA_IN:
        prefix = "SSL Data in: ";
        break;
    case CURLINFO_SSL_DATA_OUT:
        prefix = "SSL Data out: ";
        break;
    case CURLINFO_END:
        prefix = "End: ";
        break;
    default:
        break;
    }
    auto* log = static_cast<wxOutputStream*>(userptr);
    log->Write(prefix, strlen(prefix));
    const size_t written = log->LastWrite();
    log->Write(data, size);
    return static_cast<int>(written + log->LastWrite());
}

} // namespace PBN::Net
