#include "pemblon/net/MultipartParser.h"

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
    m_delimiter = "\r\n--" + m_boundary;
    consume(end + 2);
    m_state = Header;
    return true;
}

bool MultipartParser::readHeader() {
    const char* bytes = static_cast<const char*>(m_pending.GetData());
    const size_t length = m_pending.GetDataLen();
    size_t blockLength = 0;
    size_t skip = 0;
    if (length >= 2 && bytes[0] == '\r' && bytes[1] == '\n') {
        // A part without header lines.
        skip = 2;
    } else {
        const size_t end = m_pending.Find("\r\n\r\n", 4);
        if (end == kNotFound)
            return false;
        blockLength = end;
        skip = end + 4;
    }
    m_partOpen = blockLength > 0 && m_sink.acceptHeader(bytes, blockLength);
    consume(skip);
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
    // The two bytes after the delimiter decide what follows.
    if (m_pending.GetDataLen() < m_delimiter.size() + 2)
        return false;
    if (m_partOpen)
        m_sink.endPart();
    m_partOpen = false;
    const char* after = static_cast<const char*>(m_pending.GetData()) + m_delimiter.size();
    const bool nextPart = after[0] == '\r' && after[1] == '\n';
    const bool closing = after[0] == '-' && after[1] == '-';
    consume(m_delimiter.size() + 2);
    if (nextPart) {
        m_state = Header;
    } else if (closing) {
        m_state = Epilogue;
    }
    // Otherwise (neither a line break nor the close) the bytes up to the next delimiter belong
    // to no part and are dropped as they come.
    return true;
}

} // namespace PBN::Net
