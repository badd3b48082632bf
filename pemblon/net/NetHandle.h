#pragma once

#include <string>

#include <curl/curl.h>
#include <wx/arrstr.h>
#include <wx/buffer.h>
#include <wx/datetime.h>
#include <wx/mstream.h>

#include "pemblon/core/Export.h"
#include "pemblon/core/ListenerList.h"
#include "pemblon/strings/ostring.h"

class wxInputStream;
class wxOutputStream;

namespace PBN::Net {

class NetListener;

// The base of the library's libcurl clients: one easy handle, credentials, proxy settings, the
// response header and body buffers, an optional verbose log and the transfer listeners.
//
// Every operation of a subclass starts from setCurlHandleToDefaults(), which puts the easy
// handle back to libcurl's defaults plus this handle's settings, and runs its transfer through
// perform(). The defaults include a connect time-out (30 s) and a low-speed limit (below 1 byte/s
// for 60 s), so that a dead server ends a transfer with CURLE_OPERATION_TIMEDOUT; a subclass that
// needs other limits sets them on the easy handle in its setCurlHandleToDefaults() override.
//
// A listener or a caller's stream that throws inside a libcurl callback stops the transfer; the
// exception leaves perform() after libcurl has returned and every listener got pbnNetEnd.
class PBN_API NetHandle {
public:
    NetHandle(const Strings::ostring& baseURL = Strings::ostring(),
              const Strings::ostring& username = Strings::ostring(),
              const Strings::ostring& password = Strings::ostring());
    NetHandle(const NetHandle&) = delete;
    NetHandle& operator=(const NetHandle&) = delete;
    virtual ~NetHandle();

    // false when a handle exists already or libcurl could not make one.
    bool initHandle();
    bool cleanupHandle();
    // Needs an easy handle; without one it does nothing.
    bool resetHandle();
    bool reInitHandle();

    void setBaseURL(const Strings::ostring& url);
    Strings::ostring getBaseURL() const;
    void setUsername(const Strings::ostring& name);
    Strings::ostring getUsername() const;
    void setPassword(const Strings::ostring& password);
    Strings::ostring getPassword() const;
    // -1: the protocol's default port.
    void setPort(const long& port);
    long getPort() const;
    void useProxy(const bool& use);
    bool useProxy() const;
    void setProxyHost(const Strings::ostring& host);
    Strings::ostring getProxyHost() const;
    void setProxyUsername(const Strings::ostring& name);
    Strings::ostring getProxyUsername() const;
    void setProxyPassword(const Strings::ostring& password);
    Strings::ostring getProxyPassword() const;
    void setProxyPort(const long& port);
    long getProxyPort() const;
    void setVerbose(const bool& verbose);
    bool isVerbose() const;

    // The reply code the last operation stored; -1 when none.
    long getResponseCode() const;
    CURLcode getCURLError() const;
    Strings::ostring getCURLErrorString() const;
    // The library's own explanation of a libcurl code; "" for CURLE_OK and unknown codes.
    static Strings::ostring getCURLErrorString(const CURLcode& code);
    // libcurl's detail of the last failure.
    Strings::ostring getErrorString() const;
    // Text decoded as UTF-8, or as ISO-8859-1 when the bytes are not UTF-8.
    Strings::ostring getResponseHeader() const;
    Strings::ostring getResponseBody() const;
    // Appends the whole verbose log to out; false when verbose is off.
    bool getVerboseString(Strings::ostring& out) const;
    bool getVerboseStream(wxOutputStream& out) const;

    // Refuses (false, see refusedSettings) a request URL, credentials (also those written into the
    // URL) or proxy settings that would break a protocol line. A failure libcurl gives no detail
    // for gets the code's own text in getErrorString().
    bool perform();
    void addListener(NetListener* listener);
    void removeListener(NetListener* listener);
    unsigned getListenersCount() const;
    NetListener* getListenerAt(const unsigned& index) const;

    // Percent-encodes the text's UTF-8.
    static Strings::ostring getURLEncodedString(const Strings::ostring& text);
    // Decodes escapes of UTF-8 (or, when the bytes are not UTF-8, of ISO-8859-1).
    static Strings::ostring getStringFromURLEncoded(const Strings::ostring& text);
    // An invalid date for text libcurl cannot read.
    static wxDateTime getDateFromString(const Strings::ostring& text);

protected:
    virtual void setCurlHandleToDefaults();
    virtual void setHeaders();
    virtual void resetHeaders();
    virtual void resetResponseVars();

    // Every option call goes through here, so that its result becomes the current code. Long
    // options take a long, *_LARGE options a curl_off_t, the others a pointer.
    template <typename T> CURLcode setOption(const CURLoption& option, T value) {
        m_curlCode = curl_easy_setopt(m_curl, option, value);
        return m_curlCode;
    }
    CURLcode setTextOption(const CURLoption& option, const std::string& text);
    // Stores CURLINFO_RESPONSE_CODE into the response code.
    void readResponseCode();
    // True, with the operation refused (refuse) when a caller's text bound for a request line, a
    // header or a command holds a CR, an LF or a NUL: the reason names the text (`what`) and what
    // it holds.
    bool refusedLine(const Strings::ostring& text, const char* what);
    // Refuses the operation before anything is sent: getErrorString() gives "Refused before
    // sending: " and the reason, the code is CURLE_BAD_FUNCTION_ARGUMENT, no reply code is kept.
    // Returns true.
    bool refuse(const std::string& reason);
    // Asked by perform() first: true, with the operation refused (refusedLine), when a setting
    // bound for a protocol line would break it. An override adds its own settings to the base's.
    virtual bool refusedSettings();
    // The user information of a URL ("user:password" before the host), percent-decoded.
    static Strings::ostring urlUserInfo(const Strings::ostring& url);

    Strings::ostring m_requestURL;
    wxMemoryBuffer m_headerBuffer;
    wxMemoryBuffer m_bodyBuffer;
    long m_responseCode;
    CURLcode m_curlCode;
    wxArrayString m_customHeaders;
    CURL* m_curl;

private:
    Strings::ostring m_baseURL;
    Strings::ostring m_username;
    Strings::ostring m_password;
    Strings::ostring m_userPwd;
    long m_port;
    bool m_useProxy;
    Strings::ostring m_proxyHost;
    Strings::ostring m_proxyUsername;
    Strings::ostring m_proxyPassword;
    Strings::ostring m_proxyUserPwd;
    long m_proxyPort;
    bool m_verbose;
    wxMemoryOutputStream m_verboseLog;
    char m_errorBuffer[CURL_ERROR_SIZE];
    curl_slist* m_headerList;
    ListenerList<NetListener> m_listeners;
};

// libcurl callbacks the handles plug in. A null user data makes libcurl stop the transfer.
// Appends to the wxMemoryBuffer in userdata.
PBN_API size_t bufferWriteCallback(char* data, size_t size, size_t nmemb, void* userdata);
// Writes to the wxOutputStream in userdata; returns what the stream took.
PBN_API size_t streamWriteCallback(char* data, size_t size, size_t nmemb, void* userdata);
// Reads from the wxInputStream in userdata; 0 at its end.
PBN_API size_t streamReadCallback(char* buffer, size_t size, size_t nmemb, void* userdata);
// Hands one NetEvent to every listener of the NetHandle in clientp; returns 0.
PBN_API int progressCallback(void* clientp, double dltotal, double dlnow, double ultotal, double ulnow);
// Writes a prefix naming the kind of data, then the data, to the wxOutputStream in userptr.
PBN_API int debugCallback(CURL* handle, curl_infotype type, char* data, size_t size, void* userptr);

} // namespace PBN::Net
