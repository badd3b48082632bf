#include "pemblon/net/MultipartParser.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace PBN::Net {

namespace {

constexpr size_t kNotFound = static_cast<size_t>(-1);
// Bytes taken from one write at a time, so that a large write is never held whole.
constexpr size_t kSlice = 256 * 1024;
// A line this long without its end is no boundary line (a boundary has at most 70 characters).
constexpr size_t kMaxBoundaryLine = 4096;

} // namespace

MultipartParser::MultipartParser(Sink& sink, size_t capacity)
    : m_sink(sink), m_state(Preamble), m_start(0), m_searched(0), m_bodySkip(0), m_atLineStart(true),
      m_partOpen(false) {
    m_pending.reserve(capacity);
}

void MultipartParser::feed(const char* data, size_t size) {
    while (size > 0 && m_state != Epilogue) {
        const size_t n = std::min(size, kSlice);
        // Consumed bytes go once they outnumber the rest, so that each byte moves at most once
        // on average.
        if (m_start > 0 && m_start >= pendingSize()) {
            m_pending.erase(0, m_start);
            m_start = 0;
        }
        m_pending.append(data, n);
        data += n;
        size -= n;
        bool progress = true;
        while (progress) {
            switch (m_state) {
            case Preamble:
                progress = findBoundaryLine();
                break;
            case Header:
                progress = readHeader();
                break;
            case Body:
                progress = readBody();
                break;
            case Epilogue:
                progress = false;
                break;
            }
        }
    }
    if (m_state == Epilogue) {
        m_pending.clear();
        m_start = 0;
    }
}

void MultipartParser::finish() {
    if (m_state == Preamble) {
        refuse("the body holds no boundary line");
    } else if (m_state == Header) {
        refuse("the body ends inside the part's header block");
    } else if (m_state == Body && m_partOpen) {
        // A delimiter cut short of its line end still ends the part.
        const size_t at = find(m_delimiter);
        toPart(at == kNotFound ? pendingSize() : at);
        m_sink.endPart();
        m_partOpen = false;
    }
    m_state = Epilogue;
    m_pending.clear();
    m_start = 0;
    m_searched = 0;
    m_bodySkip = 0;
}

size_t MultipartParser::find(const std::string& pattern, size_t searched) const {
    const size_t size = pendingSize();
    const size_t from = searched >= pattern.size() ? searched - (pattern.size() - 1) : 0;
    if (pattern.empty() || from + pattern.size() > size)
        return kNotFound;
    const void* at = memmem(pending() + from, size - from, pattern.data(), pattern.size());
    return at == nullptr ? kNotFound : static_cast<size_t>(static_cast<const char*>(at) - pending());
}

void MultipartParser::consume(size_t n) {
    if (n == 0)
        return;
    m_start += std::min(n, pendingSize());
    m_searched = 0;
    if (m_start == m_pending.size()) {
        m_pending.clear();
        m_start = 0;
    }
}

void MultipartParser::toPart(size_t n) {
    const size_t skip = std::min(m_bodySkip, n);
    m_bodySkip -= skip;
    if (n > skip && m_partOpen)
        m_sink.partData(pending() + skip, n - skip);
    consume(n);
}

void MultipartParser::refuse(const char* reason) {
    m_partOpen = false;
    m_sink.refusePart(reason);
}

bool MultipartParser::findBoundaryLine() {
    if (m_atLineStart) {
        // "--" opening the body (or a line found before); a shorter start may still become one.
        if (pendingSize() < 2)
            return false;
        if (pending()[0] != '-' || pending()[1] != '-')
            m_atLineStart = false;
    }
    if (!m_atLineStart) {
        const size_t at = find("\n--", m_searched);
        if (at == kNotFound) {
            // Keep what may begin a "\n--" split across writes.
            if (pendingSize() > 2)
                consume(pendingSize() - 2);
            m_searched = pendingSize();
            return false;
        }
        consume(at + 1);
        m_atLineStart = true;
    }
    const size_t size = pendingSize();
    const size_t end = find("\n", std::max<size_t>(m_searched, 2));
    if (end == kNotFound) {
        if (size > kMaxBoundaryLine) {
            // No boundary line after all: look further on.
            consume(2);
            m_atLineStart = false;
            return true;
        }
        m_searched = size;
        return false;
    }
    const bool crlf = pending()[end - 1] == '\r';
    m_eol = crlf ? "\r\n" : "\n";
    m_boundary.assign(pending() + 2, (crlf ? end - 1 : end) - 2);
    // A boundary never ends in a blank: blanks there are the transport padding MIME allows.
    while (!m_boundary.empty() && (m_boundary.back() == ' ' || m_boundary.back() == '\t'))
        m_boundary.pop_back();
    m_delimiter = m_eol + "--" + m_boundary;
    m_headerEnd = m_eol + m_eol;
    consume(end + 1);
    m_state = Header;
    return true;
}

bool MultipartParser::readHeader() {
    const size_t size = pendingSize();
    if (size < m_eol.size())
        return false;
    if (std::memcmp(pending(), m_eol.data(), m_eol.size()) == 0) {
        // No header lines: the line end opens the body, or is the next delimiter's.
        refuse("the part has no header lines");
        m_bodySkip = m_eol.size();
        m_state = Body;
        return true;
    }
    // Only what starts within the first kMaxHeaderBlock bytes counts, however the bytes arrive.
    const auto within = [](size_t at) { return at != kNotFound && at <= kMaxHeaderBlock; };
    const size_t end = find(m_headerEnd, m_searched);
    const size_t next = find(m_delimiter, m_searched);
    if (within(next) && (!within(end) || next < end)) {
        // Header lines ended otherwise (by other line ends): what follows up to the delimiter is
        // no part's.
        const std::string reason = "the part's header block does not end, with an empty line ended by " +
                                   std::string(m_eol.size() == 2 ? "CR LF" : "LF") +
                                   ", before the next delimiter";
        refuse(reason.c_str());
        m_state = Body;
        return true;
    }
    if (!within(end)) {
        if (size < kMaxHeaderBlock + std::max(m_headerEnd.size(), m_delimiter.size())) {
            m_searched = size;
            return false;
        }
        refuse("the part's header block is too long");
        m_state = Body;
        return true;
    }
    m_partOpen = end > 0 && m_sink.acceptHeader(pending(), end);
    // The last header line's end goes; the empty line's opens the body, or is the delimiter's
    // when the part has no body.
    consume(end + m_eol.size());
    m_bodySkip = m_eol.size();
    m_state = Body;
    return true;
}

bool MultipartParser::readBody() {
    const size_t at = find(m_delimiter, m_searched);
    if (at == kNotFound) {
        // Everything but what may be the start of a delimiter split across writes.
        const size_t keep = m_delimiter.size() - 1;
        if (pendingSize() > keep)
            toPart(pendingSize() - keep);
        return false;
    }
    toPart(at);
    // What follows the delimiter decides: "--" closes, blanks then a line end start the next
    // part, and anything else makes it a line of the body that only begins like a delimiter.
    const char* after = pending();
    const size_t size = pendingSize();
    const size_t first = m_delimiter.size();
    if (size < first + 1)
        return false;
    if (after[first] == '-') {
        if (size < first + 2)
            return false;
        if (after[first + 1] == '-') {
            m_bodySkip = 0;
            if (m_partOpen)
                m_sink.endPart();
            m_partOpen = false;
            consume(first + 2);
            m_state = Epilogue;
            return true;
        }
    }
    size_t lineEnd = first;
    while (lineEnd < size && lineEnd - first <= kMaxPadding &&
           (after[lineEnd] == ' ' || after[lineEnd] == '\t'))
        ++lineEnd;
    bool delimiter = false;
    if (lineEnd - first <= kMaxPadding) {
        if (lineEnd == size)
            return false;
        const size_t have = std::min(size - lineEnd, m_eol.size());
        delimiter = std::memcmp(after + lineEnd, m_eol.data(), have) == 0;
        if (delimiter && have < m_eol.size())
            return false;
    }
    if (!delimiter) {
        toPart(first); // the line end before the body still goes
        return true;
    }
    m_bodySkip = 0;
    if (m_partOpen)
        m_sink.endPart();
    m_partOpen = false;
    consume(lineEnd + m_eol.size());
    m_state = Header;
    return true;
}

} // namespace PBN::Net
