#pragma once

#include <cstddef>
#include <string>

#include "pemblon/core/Export.h"
#include "pemblon/core/wxSearchableMemoryBuffer.h"

namespace PBN::Net {

// Splits a MIME multipart body into parts as its bytes arrive, in writes of any size: the
// same parts come out whether the body arrives in one write or one byte at a time. The
// boundary is the one the body itself opens with (a line "--boundary" at the start of the body
// or after a line break, blanks at its end not counted); bytes before it and after the closing
// delimiter are dropped. A delimiter may be followed by blanks before its line end. A part whose
// header block does not end (an empty line ended by CR LF) before the next delimiter is refused,
// so that no part is given another's body.
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
        // A part the parser itself cannot take (its body is skipped), and why.
        virtual void refusePart(const char* reason) { (void)reason; }
    };

    // A header block longer than this is refused instead of being held in memory.
    static constexpr size_t kMaxHeaderBlock = 64 * 1024;
    // Transport padding (blanks after a delimiter) longer than this ends the part like any other
    // text after a delimiter.
    static constexpr size_t kMaxPadding = 1024;

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
