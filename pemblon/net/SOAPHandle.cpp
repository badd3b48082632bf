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

constexpr char32_t kLatin1Last = 0xFF;

// The envelope as the bytes of its ISO-8859-1 label. A character the charset lacks becomes a
// character reference where XML reads one (text and attribute values; a CDATA section is closed and
// opened again around it); in a name, a comment, a processing instruction or a document type
// declaration it cannot be sent, and the envelope is refused with the reason.
class Latin1Envelope {
public:
    explicit Latin1Envelope(const ostring& envelope) {
        const std::string utf8 = Detail::utf8(envelope);
        for (const wxUniChar c : wxString::FromUTF8(utf8.data(), utf8.size()))
            m_text.push_back(static_cast<char32_t>(c.GetValue()));
    }

    bool build(std::string& out, std::string& reason) {
        m_out.reserve(m_text.size() + 64);
        size_t at = declaration();
        while (at < m_text.size() && m_reason.empty()) {
            if (m_text[at] != U'<') {
                referenced(m_text[at++]);
            } else if (startsWith(at, "<!--")) {
                at = markup(at, until(at + 4, "-->"), "a comment");
            } else if (startsWith(at, "<![CDATA[")) {
                at = cdata(at);
            } else if (startsWith(at, "<?")) {
                at = markup(at, until(at + 2, "?>"), "a processing instruction");
            } else if (startsWith(at, "<!")) {
                at = markup(at, doctypeEnd(at), "the document type declaration");
            } else {
                at = tag(at);
            }
        }
        out = std::move(m_out);
        reason = m_reason;
        return m_reason.empty();
    }

private:
    bool startsWith(size_t at, const char* ascii) const {
        for (size_t i = 0; ascii[i]; ++i) {
            if (at + i >= m_text.size() || m_text[at + i] != static_cast<char32_t>(ascii[i]))
                return false;
        }
        return true;
    }
    // Where the first `ascii` from `from` on starts; npos when there is none.
    size_t find(size_t from, const char* ascii) const {
        for (size_t at = from; at < m_text.size(); ++at) {
            if (startsWith(at, ascii))
                return at;
        }
        return std::u32string::npos;
    }
    // Just past the first `ascii` from `from` on; the end of the text when there is none.
    size_t until(size_t from, const char* ascii) const {
        const size_t at = find(from, ascii);
        return at == std::u32string::npos ? m_text.size() : at + std::char_traits<char>::length(ascii);
    }
    size_t doctypeEnd(size_t at) const {
        char32_t quote = 0;
        int subset = 0;
        for (++at; at < m_text.size(); ++at) {
            const char32_t c = m_text[at];
            if (quote) {
                quote = c == quote ? 0 : quote;
            } else if (c == U'"' || c == U'\'') {
                quote = c;
            } else if (c == U'[') {
                ++subset;
            } else if (c == U']') {
                --subset;
            } else if (c == U'>' && subset <= 0) {
                return at + 1;
            }
        }
        return m_text.size();
    }

    void byte(char32_t c) { m_out += static_cast<char>(static_cast<unsigned char>(c)); }
    // Where XML reads a character reference: a character the charset lacks becomes one.
    void referenced(char32_t c) {
        if (c <= kLatin1Last) {
            byte(c);
            return;
        }
        char reference[16];
        snprintf(reference, sizeof reference, "&#x%X;", static_cast<unsigned>(c));
        m_out += reference;
    }
    // Where no reference is read: such a character cannot be sent under the label.
    size_t markup(size_t from, size_t to, const char* where) {
        for (size_t at = from; at < to; ++at) {
            if (m_text[at] > kLatin1Last) {
                char code[16];
                snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(m_text[at]));
                m_reason = std::string("the envelope holds ") + code + " in " + where +
                           ", where ISO-8859-1 lacks it and XML reads no character reference";
                return m_text.size();
            }
            byte(m_text[at]);
        }
        return to;
    }
    // A reference inside a CDATA section would be read as its own text: the section is closed
    // before it and opened again after it.
    size_t cdata(size_t from) {
        const size_t open = from + 9;
        const size_t close = find(open, "]]>");
        const bool closed = close != std::u32string::npos;
        const size_t contentEnd = closed ? close : m_text.size();
        m_out += "<![CDATA[";
        for (size_t at = open; at < contentEnd; ++at) {
            if (m_text[at] > kLatin1Last) {
                m_out += "]]>";
                referenced(m_text[at]);
                m_out += "<![CDATA[";
            } else {
                byte(m_text[at]);
            }
        }
        if (closed)
            m_out += "]]>";
        return closed ? close + 3 : m_text.size();
    }
    // A start or end tag: references only inside attribute values.
    size_t tag(size_t from) {
        char32_t quote = 0;
        for (size_t at = from; at < m_text.size(); ++at) {
            const char32_t c = m_text[at];
            if (quote) {
                quote = c == quote ? 0 : quote;
                referenced(c);
                continue;
            }
            if (c == U'"' || c == U'\'')
                quote = c;
            if (c == U'>') {
                byte(c);
                return at + 1;
            }
            if (markup(at, at + 1, "a name") != at + 1)
                return m_text.size();
        }
        return m_text.size();
    }

    // The envelope goes out with an XML declaration naming ISO-8859-1 (its own named another
    // encoding, or none, which means UTF-8; without one a reader takes UTF-8), so that a reader that
    // trusts it reads what one that trusts the label reads. A leading byte order mark is dropped:
    // in ISO-8859-1 it would be text before the declaration, which no reader takes.
    size_t declaration() {
        const size_t start = !m_text.empty() && m_text[0] == U'\uFEFF' ? 1 : 0;
        if (!startsWith(start, "<?xml") || m_text.size() < start + 6 ||
            !(m_text[start + 5] == U' ' || m_text[start + 5] == U'\t' || m_text[start + 5] == U'\r' ||
              m_text[start + 5] == U'\n')) {
            m_out += "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>";
            return start;
        }
        const size_t end = until(start + 5, "?>");
        std::u32string decl = m_text.substr(start, end - start);
        const std::u32string latin1 = U"ISO-8859-1";
        const size_t name = decl.find(U"encoding");
        size_t valueStart = std::u32string::npos, valueEnd = std::u32string::npos;
        if (name != std::u32string::npos) {
            valueStart = decl.find_first_of(U"\"'", name);
            if (valueStart != std::u32string::npos)
                valueEnd = decl.find(decl[valueStart], valueStart + 1);
        }
        if (valueEnd != std::u32string::npos) {
            decl.replace(valueStart + 1, valueEnd - valueStart - 1, latin1);
        } else {
            // After the version, which comes first.
            size_t after = decl.size() >= 2 && startsWith(end - 2, "?>") ? decl.size() - 2 : decl.size();
            const size_t version = decl.find(U"version");
            const size_t open =
                version == std::u32string::npos ? version : decl.find_first_of(U"\"'", version);
            const size_t close = open == std::u32string::npos ? open : decl.find(decl[open], open + 1);
            if (close != std::u32string::npos)
                after = close + 1;
            decl.insert(after, U" encoding=\"" + latin1 + U"\"");
        }
        for (const char32_t c : decl) {
            if (c > kLatin1Last) {
                m_reason = "the envelope's XML declaration holds a character ISO-8859-1 lacks";
                return m_text.size();
            }
            byte(c);
        }
        return end;
    }

    std::u32string m_text;
    std::string m_out;
    std::string m_reason;
};

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
    if (contentIds.size() < filePaths.size()) {
        refuse("the message names " + std::to_string(contentIds.size()) +
               (contentIds.size() == 1 ? " Content-ID for " : " Content-IDs for ") +
               std::to_string(filePaths.size()) + " files; every file needs one");
        return false;
    }
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
    std::string message, reason;
    if (!Latin1Envelope(envelope).build(message, reason)) {
        refuse(reason);
        return false;
    }
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
