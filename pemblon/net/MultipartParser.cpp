#include "pemblon/net/MultipartParser.h"

#include <algorithm>
#include <cstring>

namespace PBN::Net {

namespace {

constexpr size_t kNotFound = static_cast<size_t>(-1);

} // namespace

MultipartParser::MultipartParser(Sink& sink, size_t capacity)
    : m_sink(sink), m_state(Preamble), m_pending(capacity), m_atLineStart(true), m_partOpen(false) {}

void MultipartParser::feed(const char* data, size_t size) {
    if (size == 0)
        return;
    if (m_state == Epilogue)
        return;
    m_pending.AppendData(data, size);
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
            m_pending.SetDataLen(0);
            progress = false;
            break;
        }
    }
}

void MultipartParser::consume(size_t n) {
    const size_t length = m_pending.GetDataLen();
    if (n >= length) {
        m_pending.SetDataLen(0);
        return;
    }
    char* bytes = static_cast<char*>(m_pending.GetData());
    std::memmove(bytes, bytes + n, length - n);
    m_pending.SetDataLen(length - n);
}

void MultipartParser::toPart(size_t n) {
    if (n > 0 && m_partOpen)
        m_sink.partData(static_cast<const char*>(m_pending.GetData()), n);
    consume(n);
}

bool MultipartParser::findBoundaryLine() {
    const char* bytes = static_cast<const char*>(m_pending.GetData());
    const size_t length = m_pending.GetDataLen();
    size_t lineStart = kNotFound;
    if (m_atLineStart) {
        // "--" opening the body (or a line found before); a shorter start may still become one.
        if (length < 2)
            return false;
        if (bytes[0] == '-' && bytes[1] == '-')
            lineStart = 0;
        m_atLineStart = false;
    }
    if (lineStart == kNotFound) {
        const size_t at = m_pending.Find("\r\n--", 4);
        if (at == kNotFound) {
            // Keep what may begin a "\r\n--" split across writes.
            if (length > 3)
                consume(length - 3);
            return false;
        }
        lineStart = at + 2;
    }
    consume(lineStart);
    const size_t end = m_pending.Find("\r\n", 2);
    if (end == kNotFound) {
        // The pending bytes now begin with the boundary line.
        m_atLineStart = true;
        return false;
    }
    m_boundary.assign(static_cast<const char*>(m_pending.GetData()) + 2, end - 2);
    // A boundary never ends in a blank: blanks there are the transport padding MIME allows.
    while (!m_boundary.empty() && (m_boundary.back() == ' ' || m_boundary.back() == '\t'))
        m_boundary.pop_back();
    m_delimiter = "\r\n--" + m_boundary;
    consume(end + 2);
    m_state = Header;
    return true;
}

bool MultipartParser::readHeader() {
    const char* bytes = static_cast<const char*>(m_pending.GetData());
    const size_t length = m_pending.GetDataLen();
    if (length >= 2 && bytes[0] == '\r' && bytes[1] == '\n') {
        // A part without header lines.
        m_partOpen = false;
        m_sink.refusePart("the part has no header lines");
        consume(2);
        m_state = Body;
        return true;
    }
    // Only what starts within the first kMaxHeaderBlock bytes counts, however the bytes arrive.
    const auto within = [](size_t at) { return at != kNotFound && at <= kMaxHeaderBlock; };
    const size_t end = m_pending.Find("\r\n\r\n", 4);
    const size_t next = m_pending.Find(m_delimiter.data(), m_delimiter.size());
    if (within(next) && (!within(end) || next < end)) {
        // Header lines ended otherwise (by bare LFs): what follows up to the delimiter is no part's.
        m_partOpen = false;
        m_sink.refusePart("the part's header block does not end, with an empty line ended by CR LF, before "
                          "the next delimiter");
        m_state = Body;
        return true;
    }
    if (!within(end)) {
        if (length < kMaxHeaderBlock + std::max<size_t>(4, m_delimiter.size()))
            return false;
        m_partOpen = false;
        m_sink.refusePart("the part's header block is too long");
        m_state = Body;
        return true;
    }
    m_partOpen = end > 0 && m_sink.acceptHeader(bytes, end);
    consume(end + 4);
    m_state = Body;
    return true;
}

bool MultipartParser::readBody() {
    const size_t length = m_pending.GetDataLen();
    const size_t at = m_pending.Find(m_delimiter.data(), m_delimiter.size());
    if (at == kNotFound) {
        // Everything but what may be the start of a delimiter split across writes.
        const size_t keep = m_delimiter.size() - 1;
        if (length > keep)
            toPart(length - keep);
        return false;
    }
    toPart(at);
    // What follows the delimiter decides: "--" closes, blanks then CR LF start the next part.
    const char* after = static_cast<const char*>(m_pending.GetData());
    const size_t size = m_pending.GetDataLen();
    const size_t first = m_delimiter.size();
    if (size < first + 2)
        return false;
    const bool closing = after[first] == '-' && after[first + 1] == '-';
    size_t lineEnd = first;
    while (lineEnd < size && lineEnd - first <= kMaxPadding &&
           (after[lineEnd] == ' ' || after[lineEnd] == '\t'))
        ++lineEnd;
    const bool padded = lineEnd - first <= kMaxPadding;
    if (!closing && padded && lineEnd + 2 > size)
        return false;
    const bool nextPart = !closing && padded && after[lineEnd] == '\r' && after[lineEnd + 1] == '\n';
    if (m_partOpen)
        m_sink.endPart();
    m_partOpen = false;
    if (nextPart) {
        consume(lineEnd + 2);
        m_state = Header;
    } else if (closing) {
        consume(first + 2);
        m_state = Epilogue;
    } else {
        // Neither a line end nor the close: the bytes up to the next delimiter belong to no part
        // and are dropped as they come.
        consume(first);
    }
    return true;
}

} // namespace PBN::Net
