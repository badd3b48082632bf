#include "pemblon/net/SOAPHandle.h"

#include <cstdio>
#include <memory>
#include <string>

#include <boost/uuid/random_generator.hpp>
#include <boost/uuid/uuid_io.hpp>
#include <wx/string.h>

#include "pemblon/core/FileSystemPath.h"
#include "pemblon/net/NetText.h"

namespace PBN::Net {

using Strings::ostring;

namespace {

// The action without the blanks and line ends around it.
ostring trimmedAction(const ostring& action) {
    ostring trimmed(action);
    trimmed.trim(ostring(" \r\n\t"));
    return trimmed;
}

std::string soapActionLine(const ostring& trimmedAction) {
    return "SOAPAction: \"urn:" + Detail::utf8(trimmedAction) + "\"";
}

curl_slist* lineList(const std::vector<std::string>& lines) {
    curl_slist* list = nullptr;
    for (const std::string& line : lines)
        list = curl_slist_append(list, line.c_str());
    return list;
}

// curl_slist lists owned here and freed on every way out.
class SlistSet {
public:
    ~SlistSet() {
        for (curl_slist* list : m_lists)
            curl_slist_free_all(list);
    }
    curl_slist* add(const std::vector<std::string>& lines) { return own(lineList(lines)); }
    curl_slist* own(curl_slist* list) {
        m_lists.push_back(list);
        return list;
    }

private:
    std::vector<curl_slist*> m_lists;
};

void* asData(void* p) {
    return p;
}

// The envelope's bytes under its ISO-8859-1 label: every character the charset lacks becomes an
// XML character reference, which any XML reader turns back into that character.
std::string latin1Envelope(const ostring& envelope) {
    const std::string utf8 = Detail::utf8(envelope);
    const wxString text = wxString::FromUTF8(utf8.data(), utf8.size());
    std::string out;
    out.reserve(utf8.size());
    char reference[16];
    for (const wxUniChar c : text) {
        const wxUint32 code = c.GetValue();
        if (code < 256) {
            out += static_cast<char>(code);
        } else {
            snprintf(reference, sizeof reference, "&#x%X;", static_cast<unsigned>(code));
            out += reference;
        }
    }
    return out;
}

} // namespace

SOAPHandle::SOAPHandle(const ostring& baseURL, const ostring& username, const ostring& password)
    : HTTPHandle(baseURL, username, password) {}

SOAPHandle::~SOAPHandle() = default;

bool SOAPHandle::sendMessage(const ostring& action, wxOutputStream& reply, wxInputStream& request) {
    const ostring soapAction = trimmedAction(action);
    if (refusedLine(soapAction, "the SOAP action") || refusedCustomHeaders())
        return false;
    SlistSet lists;
    curl_slist* headers =
        lists.own(appendCustomHeaders(lineList({"Content-type: text/xml; charset=ISO-8859-1",
                                                "Transfer-Encoding: chunked", soapActionLine(soapAction)})));
    if (!m_curl)
        return false;
    setCurlHandleToDefaults();
    m_requestURL = getBaseURL();
    setTextOption(CURLOPT_URL, Detail::bytes(m_requestURL));
    setOption(CURLOPT_HTTPHEADER, headers);
    setOption(CURLOPT_POST, 1L);
    setOption(CURLOPT_READFUNCTION, &streamReadCallback);
    setOption(CURLOPT_READDATA, asData(&request));
    setOption(CURLOPT_WRITEFUNCTION, &streamWriteCallback);
    setOption(CURLOPT_WRITEDATA, asData(&reply));
    if (!perform())
        return false;
    readResponseCode();
    return true;
}

bool SOAPHandle::sendMessage(const ostring& action, wxOutputStream& reply, const ostring& envelope,
                             const std::vector<ostring>& contentIds, const std::vector<ostring>& filePaths) {
    if (contentIds.size() < filePaths.size())
        return false;
    const ostring soapAction = trimmedAction(action);
    if (refusedLine(soapAction, "the SOAP action") || refusedCustomHeaders())
        return false;
    for (size_t i = 0; i < filePaths.size(); ++i) {
        if (refusedLine(contentIds[i], "a Content-ID"))
            return false;
    }
    const std::string messageId = boost::uuids::to_string(boost::uuids::random_generator()());
    SlistSet lists;
    curl_httppost* first = nullptr;
    curl_httppost* last = nullptr;
    const std::string message = latin1Envelope(envelope);
    curl_slist* messageHeaders = lists.add(
        {"Content-Transfer-Encoding: 8bit", soapActionLine(soapAction), "Content-ID: <" + messageId + ">"});
    curl_formadd(&first, &last, CURLFORM_COPYNAME, "soap_message", CURLFORM_COPYCONTENTS, message.data(),
                 CURLFORM_CONTENTSLENGTH, static_cast<long>(message.size()), CURLFORM_CONTENTTYPE,
                 "text/xml; charset=ISO-8859-1", CURLFORM_CONTENTHEADER, messageHeaders, CURLFORM_END);
    std::vector<std::string> paths;
    paths.reserve(filePaths.size());
    for (size_t i = 0; i < filePaths.size(); ++i) {
        ostring name("binary_attachment_");
        name << static_cast<unsigned long>(i);
        paths.push_back(FileSystemPath::toNative(filePaths[i]));
        curl_slist* partHeaders = lists.add(
            {"Content-Transfer-Encoding: binary", "Content-ID: <" + Detail::utf8(contentIds[i]) + ">"});
        const std::string partName = Detail::bytes(name);
        curl_formadd(&first, &last, CURLFORM_COPYNAME, partName.c_str(), CURLFORM_FILE, paths.back().c_str(),
                     CURLFORM_CONTENTTYPE, "application/octet-stream", CURLFORM_CONTENTHEADER, partHeaders,
                     CURLFORM_END);
    }
    // The form is freed after the request (and on every other way out).
    const std::unique_ptr<curl_httppost, void (*)(curl_httppost*)> owned(first, [](curl_httppost* f) {
        if (f)
            curl_formfree(f);
    });

    curl_slist* requestHeaders = lists.own(appendCustomHeaders(
        lineList({"Content-Type: multipart/related; type=\"text/xml\"; start=\"<" + messageId + ">\""})));

    setCurlHandleToDefaults();
    m_requestURL = getBaseURL();
    setTextOption(CURLOPT_URL, Detail::bytes(m_requestURL));
    setOption(CURLOPT_HTTPPOST, first);
    setOption(CURLOPT_WRITEFUNCTION, &streamWriteCallback);
    setOption(CURLOPT_WRITEDATA, asData(&reply));
    setOption(CURLOPT_HTTPHEADER, requestHeaders);
    if (!perform())
        return false;
    readResponseCode();
    return true;
}

} // namespace PBN::Net
