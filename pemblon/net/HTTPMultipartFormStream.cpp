#include "pemblon/net/HTTPMultipartFormStream.h"

#include <algorithm>
#include <cwchar>

#include <wx/filefn.h>
#include <wx/log.h>

#include "pemblon/core/HelperFuncs.h"
#include "pemblon/net/MultipartParser.h"
#include "pemblon/net/NetText.h"

namespace PBN::Net {

using Strings::ostring;

// The parser's sink: a part's header and body files.
class HTTPMultipartFormStream::Files : public MultipartParser::Sink {
public:
    explicit Files(HTTPMultipartFormStream& stream) : m_stream(stream) {}

    bool acceptHeader(const char* block, size_t length) override {
        HTTPMultipartFormStream& s = m_stream;
        if (!s.decodeHeader(Detail::decodeReceived(block, length))) {
            refusePart("its header names no Content-ID in angle brackets or no Content-Type");
            return false;
        }
        wxLogNull quiet;
        const wxString dir = s.m_dir.wxstr();
        if (!wxDirExists(dir))
            wxMkdir(dir, 0777);
        const ostring base = s.freeBasePath(s.m_contentIds.back());
        const wxString partPath = (base + ostring(".part")).wxstr();
        const wxString headPath = (base + ostring(".head")).wxstr();
        // No file call on a file that did not open (wx asserts), and a part whose files cannot be
        // made is no part.
        auto part = std::make_unique<wxFileOutputStream>(partPath);
        bool made = part->IsOk();
        if (made) {
            wxFileOutputStream head(headPath);
            made = head.IsOk() && head.Write(block, length).IsOk() &&
                   head.Write(s.m_parser->lineEnd().data(), s.m_parser->lineEnd().size()).IsOk() &&
                   head.Close();
        }
        if (!made) {
            part.reset();
            for (const wxString& path : {partPath, headPath})
                if (wxFileExists(path))
                    wxRemoveFile(path);
            s.m_contentIds.pop_back();
            s.m_contentTypes.pop_back();
            s.m_fileError = true;
            refusePart("its files cannot be made in the folder");
            return false;
        }
        s.m_partBases.push_back(base);
        s.m_takenBases.insert(base.wstr());
        s.m_partFile = std::move(part);
        return true;
    }

    void partData(const char* data, size_t length) override {
        if (m_stream.m_partFile)
            m_stream.m_partFile->Write(data, length);
    }

    void refusePart(const char* reason) override {
        HTTPMultipartFormStream& s = m_stream;
        ostring text("part ");
        text << static_cast<unsigned long>(s.m_contentIds.size() + s.m_refusals.size() + 1);
        s.m_refusals.push_back(text + ostring(" of the body: ") + ostring(reason));
    }

    void endPart() override {
        if (m_stream.m_partFile) {
            m_stream.m_partFile->Close();
            m_stream.m_partFile.reset();
        }
    }

private:
    HTTPMultipartFormStream& m_stream;
};

HTTPMultipartFormStream::HTTPMultipartFormStream(const ostring& dir)
    : m_dir(dir), m_files(std::make_unique<Files>(*this)),
      m_parser(std::make_unique<MultipartParser>(*m_files)), m_fileError(false) {}

HTTPMultipartFormStream::~HTTPMultipartFormStream() {
    // A body that ended without its closing delimiter leaves its part file open.
    if (m_partFile) {
        m_partFile->Close();
        m_partFile.reset();
    }
    wxLogNull quiet;
    if (wxDirExists(m_dir.wxstr())) {
        for (const ostring& base : m_partBases) {
            for (const char* suffix : {".part", ".head"}) {
                const wxString path = (base + ostring(suffix)).wxstr();
                if (wxFileExists(path))
                    wxRemoveFile(path);
            }
        }
    }
}

bool HTTPMultipartFormStream::IsOk() const {
    if (!wxStreamBase::IsOk() || m_fileError)
        return false;
    return !m_partFile || m_partFile->IsOk();
}

bool HTTPMultipartFormStream::IsSeekable() const {
    return false;
}

void HTTPMultipartFormStream::Sync() {
    wxOutputStream::Sync();
    if (m_partFile)
        m_partFile->Sync();
}

bool HTTPMultipartFormStream::Close() {
    m_parser->finish();
    if (!m_partFile)
        return true;
    const bool closed = m_partFile->Close();
    m_partFile.reset();
    return closed;
}

size_t HTTPMultipartFormStream::OnSysWrite(const void* buffer, size_t size) {
    if (size == 0)
        return 0;
    m_parser->feed(static_cast<const char*>(buffer), size);
    // A part that could not be stored fails the write, and so the download.
    if (!IsOk()) {
        m_lasterror = wxSTREAM_WRITE_ERROR;
        return 0;
    }
    return size;
}

unsigned int HTTPMultipartFormStream::getPartsCount() const {
    return static_cast<unsigned int>(m_contentIds.size());
}

ostring HTTPMultipartFormStream::getPartContentId(const unsigned int& i) const {
    return m_contentIds[i];
}

ostring HTTPMultipartFormStream::getPartContentType(const unsigned int& i) const {
    return m_contentTypes[i];
}

unsigned int HTTPMultipartFormStream::getRefusedCount() const {
    return static_cast<unsigned int>(m_refusals.size());
}

ostring HTTPMultipartFormStream::getRefusal(const unsigned int& i) const {
    return m_refusals[i];
}

ostring HTTPMultipartFormStream::getPartPath(const unsigned int& i) const {
    return m_partBases[i] + ostring(".part");
}

ostring HTTPMultipartFormStream::getPartPath(const ostring& contentId) const {
    for (size_t i = 0; i < m_contentIds.size(); ++i)
        if (m_contentIds[i] == contentId)
            return m_partBases[i] + ostring(".part");
    return basePath(contentId) + ostring(".part");
}

ostring HTTPMultipartFormStream::basePath(const ostring& contentId) const {
    // NAME_MAX is 255 bytes; the name also takes a number and ".part".
    constexpr size_t kMaxNameBytes = 200;
    ostring name = escapeFileName(contentId);
    const std::wstring chars = name.wstr();
    size_t bytes = 0;
    size_t kept = 0;
    for (; kept < chars.size(); ++kept) {
        const auto c = static_cast<unsigned long>(chars[kept]);
        bytes += c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
        if (bytes > kMaxNameBytes)
            break;
    }
    if (kept < chars.size())
        name = ostring(chars.substr(0, kept));
    return HelperFuncs::ensureDir(m_dir) + name;
}

ostring HTTPMultipartFormStream::freeBasePath(const ostring& contentId) {
    const ostring base = basePath(contentId);
    if (m_takenBases.count(base.wstr()) == 0)
        return base;
    // A Content-ID seen before gets a numbered name. "_22" is also the escape of a double quote,
    // so a numbered name may be another ID's: any name a part of this stream holds is passed over.
    unsigned long& n = m_nextNumber[base.wstr()];
    for (n = std::max(n, 2UL);; ++n) {
        ostring candidate = base + ostring("_");
        candidate << n;
        if (m_takenBases.count(candidate.wstr()) == 0) {
            ++n;
            return candidate;
        }
    }
}

ostring HTTPMultipartFormStream::escapeFileName(const ostring& name) {
    static const wchar_t kEscaped[] = L"_\\/:*?\"<>|.@";
    static const wchar_t kHex[] = L"0123456789ABCDEF";
    const std::wstring in = name.wstr();
    std::wstring out;
    out.reserve(in.size());
    for (const wchar_t c : in) {
        if (c < 0x20 || c == 0x7F || std::wcschr(kEscaped, c) != nullptr) {
            out += L'_';
            out += kHex[(c >> 4) & 0xF];
            out += kHex[c & 0xF];
        } else {
            out += c;
        }
    }
    return ostring(out);
}

bool HTTPMultipartFormStream::decodeHeader(const ostring& header) {
    const std::wstring text = header.wstr();
    if (text.empty())
        return false;
    const auto trimmed = [](const std::wstring& value) {
        const size_t first = value.find_first_not_of(L" \t");
        if (first == std::wstring::npos)
            return std::wstring();
        return value.substr(first, value.find_last_not_of(L" \t") - first + 1);
    };
    bool idFound = false;
    bool typeFound = false;
    size_t start = 0;
    while (start <= text.size() && !(idFound && typeFound)) {
        size_t end = text.find_first_of(L"\r\n", start);
        if (end == std::wstring::npos)
            end = text.size();
        const std::wstring line = text.substr(start, end - start);
        start = end + ((end + 1 < text.size() && text[end] == L'\r' && text[end + 1] == L'\n') ? 2 : 1);
        const size_t colon = line.find(L':');
        if (colon == std::wstring::npos)
            continue;
        const std::wstring name = line.substr(0, colon);
        const std::wstring value = trimmed(line.substr(colon + 1));
        if (name == L"Content-ID" && !idFound) {
            if (value.size() >= 2 && value.front() == L'<' && value.back() == L'>') {
                const size_t open = value.find(L'<');
                const size_t close = value.rfind(L'>');
                m_contentIds.emplace_back(value.substr(open + 1, close - open - 1));
                idFound = true;
            }
        } else if (name == L"Content-Type" && !typeFound) {
            m_contentTypes.emplace_back(value);
            typeFound = true;
        }
    }
    if (idFound && typeFound)
        return true;
    if (idFound)
        m_contentIds.pop_back();
    if (typeFound)
        m_contentTypes.pop_back();
    return false;
}

} // namespace PBN::Net
