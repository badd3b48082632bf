#pragma once

#include <cstddef>
#include <string>

#include "pemblon/core/Export.h"
#include "pemblon/core/wxSearchableMemoryBuffer.h"

namespace PBN::Net {

// Splits a MIME multipart body into parts as its bytes arrive, in writes of any size: the
// same parts come out whether the body arrives in one write or one byte at a time. The
// boundary is the one the body itself opens with (a line "--boundary" at the start of the body
// or after a line break); bytes before it and after the closing delimiter are dropped.
//
// What becomes of a part is the sink's business; the parser only tells it where each part's
// header block and body bytes are.
class PBN_API MultipartParser {
public:
    class Sink {
    public:
        virtual ~Sink() = default;
        // A part's header block, without its final empty line. Returns true when the part is
        // taken; the body of a refused part is skipped.
        virtual bool acceptHeader(const char* block, size_t length) = 0;
        virtual void partData(const char* data, size_t length) = 0;
        virtual void endPart() = 0;
    };

    // 0 before the first boundary line, 1 in a header block, 2 in a body, 3 after the close.
    enum State { Preamble = 0, Header = 1, Body = 2, Epilogue = 3 };

    explicit MultipartParser(Sink& sink, size_t capacity = 8192);

    void feed(const char* data, size_t size);
    State state() const { return m_state; }
    const std::string& boundary() const { return m_boundary; }
    // Whether the sink took the part being read.
    bool partOpen() const { return m_partOpen; }

private:
    // Each returns false when it needs more bytes.
    bool findBoundaryLine();
    bool readHeader();
    bool readBody();
    // Drops the first n pending bytes.
    void consume(size_t n);
    void toPart(size_t n);

    Sink& m_sink;
    State m_state;
    wxSearchableMemoryBuffer m_pending;
    bool m_atLineStart; // the pending bytes begin a line (the body's start, at first)
    bool m_partOpen;
    std::string m_boundary;
    std::string m_delimiter;
};

} // namespace PBN::Net
