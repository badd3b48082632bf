#include "pemblon/net/FTPHandle.h"

#include <cstring>
#include <new>

#include "pemblon/net/NetText.h"

namespace PBN::Net {

using Strings::ostring;

namespace {

void* asData(void* p) {
    return p;
}

bool appendTo(curl_slist*& list, const ostring& command) {
    if (curl_slist* grown = curl_slist_append(list, Detail::utf8(command).c_str()))
        list = grown;
    return list != nullptr;
}

// An entry name as the server knows it: callers percent-encode the URL, the commands take the
// plain name.
ostring unescaped(const ostring& name) {
    const std::string bytes = Detail::bytes(name);
    int length = 0;
    char* plain = curl_easy_unescape(nullptr, bytes.c_str(), static_cast<int>(bytes.size()), &length);
    if (!plain)
        return name;
    // The name went out as UTF-8; escapes of another encoding read as ISO-8859-1.
    const ostring result = Detail::decodeReceived(plain, static_cast<size_t>(length));
    curl_free(plain);
    return result;
}

} // namespace

FTPHandle::FTPHandle(const ostring& baseURL, const ostring& username, const ostring& password)
    : TransferHandle(baseURL, username, password), m_quoteList(nullptr), m_preQuoteList(nullptr),
      m_postQuoteList(nullptr), m_createMissingDirs(true), m_appendOnUpload(false), m_usePortOption(false),
      m_transferMode(ASCII), m_portParam("-"), m_useEPRT(false), m_useEPSV(false) {}

FTPHandle::~FTPHandle() {
    resetAllQuoteLists();
}

void FTPHandle::setTransferMode(const TransferMode& mode) {
    m_transferMode = mode;
}
FTPHandle::TransferMode FTPHandle::getTransferMode() const {
    return m_transferMode;
}
void FTPHandle::setToBinary() {
    m_transferMode = BINARY;
}
void FTPHandle::setToAscii() {
    m_transferMode = ASCII;
}
bool FTPHandle::isAscii() const {
    return m_transferMode == ASCII;
}
bool FTPHandle::isBinary() const {
    return m_transferMode == BINARY;
}
void FTPHandle::usePortOption(const bool& use) {
    m_usePortOption = use;
}
bool FTPHandle::usePortOption() const {
    return m_usePortOption;
}
void FTPHandle::setPortParam(const ostring& param) {
    m_portParam = param;
}
ostring FTPHandle::getPortParam() const {
    return m_portParam;
}
void FTPHandle::useEPRT(const bool& use) {
    m_useEPRT = use;
}
bool FTPHandle::useEPRT() const {
    return m_useEPRT;
}
void FTPHandle::useEPSV(const bool& use) {
    m_useEPSV = use;
}
bool FTPHandle::useEPSV() const {
    return m_useEPSV;
}
void FTPHandle::appendOnUpload(const bool& append) {
    m_appendOnUpload = append;
}
bool FTPHandle::appendOnUpload() const {
    return m_appendOnUpload;
}
void FTPHandle::createMissingDirs(const bool& create) {
    m_createMissingDirs = create;
}
bool FTPHandle::createMissingDirs() const {
    return m_createMissingDirs;
}

bool FTPHandle::setQuoteList(const std::vector<ostring>& commands) {
    return setList(m_quoteList, CURLOPT_QUOTE, commands);
}
bool FTPHandle::appendQuote(const ostring& command, const bool& reset) {
    return appendToList(m_quoteList, CURLOPT_QUOTE, command, reset);
}
bool FTPHandle::setPreQuoteList(const std::vector<ostring>& commands) {
    return setList(m_preQuoteList, CURLOPT_PREQUOTE, commands);
}
bool FTPHandle::appendPreQuote(const ostring& command, const bool& reset) {
    return appendToList(m_preQuoteList, CURLOPT_PREQUOTE, command, reset);
}
bool FTPHandle::setPostQuoteList(const std::vector<ostring>& commands) {
    return setList(m_postQuoteList, CURLOPT_POSTQUOTE, commands);
}
bool FTPHandle::appendPostQuote(const ostring& command, const bool& reset) {
    return appendToList(m_postQuoteList, CURLOPT_POSTQUOTE, command, reset);
}

void FTPHandle::resetList(curl_slist*& list, CURLoption option) {
    if (list) {
        curl_slist_free_all(list);
        list = nullptr;
        setOption(option, static_cast<curl_slist*>(nullptr));
    }
}
bool FTPHandle::setList(curl_slist*& list, CURLoption option, const std::vector<ostring>& commands) {
    resetList(list, option);
    // One command of the list carrying another would run commands nobody listed.
    for (const ostring& command : commands) {
        if (refusedLine(command, "an FTP command"))
            return false;
    }
    for (const ostring& command : commands)
        appendTo(list, command);
    return list != nullptr;
}
bool FTPHandle::appendToList(curl_slist*& list, CURLoption option, const ostring& command, bool reset) {
    if (reset)
        resetList(list, option);
    if (refusedLine(command, "an FTP command"))
        return false;
    return appendTo(list, command);
}

void FTPHandle::resetQuoteList() {
    resetList(m_quoteList, CURLOPT_QUOTE);
}
void FTPHandle::resetPreQuoteList() {
    resetList(m_preQuoteList, CURLOPT_PREQUOTE);
}
void FTPHandle::resetPostQuoteList() {
    resetList(m_postQuoteList, CURLOPT_POSTQUOTE);
}
void FTPHandle::resetAllQuoteLists() {
    resetQuoteList();
    resetPreQuoteList();
    resetPostQuoteList();
}

void FTPHandle::setCurlHandleQuoteOpts() {
    if (m_quoteList)
        setOption(CURLOPT_QUOTE, m_quoteList);
    if (m_preQuoteList)
        setOption(CURLOPT_PREQUOTE, m_preQuoteList);
    if (m_postQuoteList)
        setOption(CURLOPT_POSTQUOTE, m_postQuoteList);
}

void FTPHandle::setCurlHandleToDefaults() {
    TransferHandle::setCurlHandleToDefaults();
    m_entryName = ostring("");
    m_directoryPart = ostring("");
    if (!m_curl)
        return;
    if (m_usePortOption)
        setTextOption(CURLOPT_FTPPORT, Detail::bytes(m_portParam));
    if (m_useEPRT)
        setOption(CURLOPT_FTP_USE_EPRT, 1L);
    if (m_useEPSV)
        setOption(CURLOPT_FTP_USE_EPSV, 1L);
    if (m_createMissingDirs)
        setOption(CURLOPT_FTP_CREATE_MISSING_DIRS, 1L);
    if (m_appendOnUpload)
        setOption(CURLOPT_APPEND, 1L);
    if (m_transferMode == ASCII)
        setOption(CURLOPT_TRANSFERTEXT, 1L);
}

bool FTPHandle::refusedSettings() {
    if (TransferHandle::refusedSettings())
        return true;
    if (m_usePortOption && refusedLine(m_portParam, "the PORT parameter"))
        return true;
    // The path after the host, as libcurl decodes it into CWD, RETR and STOR.
    const std::wstring url = m_requestURL.wstr();
    const size_t scheme = url.find(L"://");
    const size_t path = url.find(L'/', scheme == std::wstring::npos ? 0 : scheme + 3);
    return path != std::wstring::npos &&
           refusedLine(unescaped(ostring(url.substr(path))), "the path in the URL");
}

void FTPHandle::setRequestURL(const ostring& path) {
    m_requestURL = getBaseURL() + path;
}

bool FTPHandle::finish(const long& highest, const long& extra) {
    if (!perform())
        return false;
    readResponseCode();
    return (m_responseCode >= 200 && m_responseCode <= highest) || (extra != 0 && m_responseCode == extra);
}

long FTPHandle::lastDownloadCode() const {
    return 298;
}

namespace {

// libcurl's upload buffer (bytes): larger than its default of 64 KiB, fewer reads of the source
// and writes to the data connection.
constexpr long kUploadBuffer = 512L * 1024;

} // namespace

bool FTPHandle::doPUT(wxInputStream& in, const ostring& path) {
    if (!m_curl || !in.IsOk())
        return false;
    setCurlHandleToDefaults();
    const wxFileOffset size = in.GetLength();
    if (size == wxInvalidOffset)
        return false;
    setRequestURL(path);
    setOption(CURLOPT_UPLOAD, 1L);
    setTextOption(CURLOPT_URL, Detail::bytes(m_requestURL));
    setOption(CURLOPT_READFUNCTION, &streamReadCallback);
    setOption(CURLOPT_READDATA, asData(&in));
    setOption(CURLOPT_UPLOAD_BUFFERSIZE, kUploadBuffer);
    // The whole 64-bit length: libcurl compares it with the bytes sent.
    setOption(CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(size));
    return finish(299);
}

bool FTPHandle::startRequest(const ostring& path) {
    if (!m_curl)
        return false;
    setCurlHandleToDefaults();
    setRequestURL(path);
    return true;
}

bool FTPHandle::startDirectoryRequest(const ostring& path) {
    if (!startRequest(path))
        return false;
    if (m_requestURL.size() > 0 && m_requestURL[m_requestURL.size() - 1] != L'/')
        m_requestURL += ostring("/");
    return true;
}

bool FTPHandle::doMKDIR(const ostring& path) {
    if (!startDirectoryRequest(path))
        return false;
    setOption(CURLOPT_FTP_CREATE_MISSING_DIRS, 1L);
    setTextOption(CURLOPT_URL, Detail::bytes(m_requestURL));
    setOption(CURLOPT_NOBODY, 1L);
    return finish(299);
}

bool FTPHandle::listing(const ostring& path, const char* command) {
    if (!startRequest(path))
        return false;
    setTextOption(CURLOPT_URL, Detail::bytes(m_requestURL));
    setTextOption(CURLOPT_CUSTOMREQUEST, command);
    setOption(CURLOPT_WRITEFUNCTION, &bufferWriteCallback);
    setOption(CURLOPT_WRITEDATA, asData(&m_bodyBuffer));
    return finish(299);
}

bool FTPHandle::doLIST(const ostring& path) {
    return listing(path, "LIST");
}

bool FTPHandle::doNLST(const ostring& path) {
    return listing(path, "NLST");
}

bool FTPHandle::doINFO(const ostring& path) {
    if (!startRequest(path))
        return false;
    setOption(CURLOPT_HEADER, 1L);
    setOption(CURLOPT_NOBODY, 1L);
    setTextOption(CURLOPT_URL, Detail::bytes(m_requestURL));
    setOption(CURLOPT_WRITEFUNCTION, &bufferWriteCallback);
    setOption(CURLOPT_WRITEDATA, asData(&m_bodyBuffer));
    // libcurl ends a file's header request with its "REST 0" probe, answered 350.
    return finish(298, 350);
}

void FTPHandle::splitRequestURL() {
    const int slash = m_requestURL.findLastOf(ostring("/"));
    if (slash < 0) {
        m_directoryPart = ostring("");
        m_entryName = m_requestURL;
        return;
    }
    m_directoryPart = m_requestURL.substr(0, slash);
    m_entryName = m_requestURL.substr(static_cast<unsigned>(slash) + 1);
}

bool FTPHandle::runCommandsOnDirectory() {
    setCurlHandleQuoteOpts();
    // With its "/" the directory is changed into; without it, libcurl takes it for a file.
    setTextOption(CURLOPT_URL, Detail::bytes(m_directoryPart + ostring("/")));
    setOption(CURLOPT_NOBODY, 1L);
    bool done = false;
    try {
        done = perform();
    } catch (...) {
        resetAllQuoteLists();
        throw;
    }
    // Dropping the lists sets options too; the transfer's code is the one to keep.
    const CURLcode transferCode = m_curlCode;
    resetAllQuoteLists();
    m_curlCode = transferCode;
    if (!done)
        return false;
    readResponseCode();
    return m_responseCode >= 200 && m_responseCode <= 299;
}

bool FTPHandle::doDELETE(const ostring& path) {
    if (!startRequest(path))
        return false;
    splitRequestURL();
    if (m_entryName.size() == 0)
        return doRMDIR(path);
    // The name is checked once decoded: "%0D%0A" would start a command of its own.
    const ostring name = unescaped(m_entryName);
    if (refusedLine(name, "the file name"))
        return false;
    appendPostQuote(ostring("DELE ") + name, true);
    return runCommandsOnDirectory();
}

bool FTPHandle::doRMDIR(const ostring& path) {
    if (!startDirectoryRequest(path))
        return false;
    const ostring withoutSlash = m_requestURL.substr(0, static_cast<int>(m_requestURL.size()) - 1);
    const int slash = withoutSlash.findLastOf(ostring("/"));
    m_entryName = slash < 0 ? withoutSlash : withoutSlash.substr(static_cast<unsigned>(slash) + 1);
    m_directoryPart = slash < 0 ? ostring("") : withoutSlash.substr(0, slash);
    if (m_entryName.size() == 0)
        return false;
    const ostring name = unescaped(m_entryName);
    if (refusedLine(name, "the directory name"))
        return false;
    appendPostQuote(ostring("RMD ") + name, true);
    return runCommandsOnDirectory();
}

bool FTPHandle::doRENAME(const ostring& newName, const ostring& path) {
    if (!startRequest(path))
        return false;
    splitRequestURL();
    if (m_entryName.size() == 0)
        return false;
    const ostring name = unescaped(m_entryName);
    if (refusedLine(name, "the file name") || refusedLine(newName, "the new name"))
        return false;
    appendPostQuote(ostring("RNFR ") + name, true);
    appendPostQuote(ostring("RNTO ") + newName, false);
    return runCommandsOnDirectory();
}

} // namespace PBN::Net
