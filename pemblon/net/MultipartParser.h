#pragma once

#include <cstddef>
#include <string>

#include "pemblon/core/Export.h"

namespace PBN::Net {

// Splits a MIME multipart body into parts as its bytes arrive, in writes of any size: the
// same parts come out whether the body arrives in one write or one byte at a time, in time and
// memory linear in the body. The boundary is the one the body itself opens with (a line
// "--boundary" at the start of the body or after a line break, blanks at its end not counted);
// bytes before it and after the closing delimiter are dropped. The opening line's end sets the
// body's line ends: CR LF, or LF alone throughout. A delimiter may be followed by blanks before
// its line end; one followed by other text is no delimiter, and stays in the part's body. A part
// may end right after its header block, without a body. A part whose header block does not end
// (an empty line) before the next delimiter or the end of the body is refused, so that no part is
// given another's body.
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
    // Transport padding (blanks after a delimiter) longer than this makes the line no delimiter.
    static constexpr size_t kMaxPadding = 1024;

    // 0 before the first boundary line, 1 in a header block, 2 in a body, 3 after the close.
    enum State { Preamble = 0, Header = 1, Body = 2, Epilogue = 3 };

    // `capacity`: the bytes held for the next write at first.
    explicit MultipartParser(Sink& sink, size_t capacity = 8192);

    void feed(const char* data, size_t size);
    // The body has ended: a body without a boundary line, or a part still in its header block, is
    // refused; an open part ends with the bytes it has. Later writes are ignored.
    void finish();
    State state() const { return m_state; }
    const std::string& boundary() const { return m_boundary; }
    // The body's line end, once its opening line is read: "\r\n" or "\n".
    const std::string& lineEnd() const { return m_eol; }
    // Whether the sink took the part being read.
    bool partOpen() const { return m_partOpen; }

private:
    // Each returns false when it needs more bytes.
    bool findBoundaryLine();
    bool readHeader();
    bool readBody();
    const char* pending() const { return m_pending.data() + m_start; }
    size_t pendingSize() const { return m_pending.size() - m_start; }
    // Where `pattern` first starts in the pending bytes, or -1; the first `searched` bytes are
    // known to hold no match that ends within them.
    size_t find(const std::string& pattern, size_t searched = 0) const;
    // Drops the first n pending bytes.
    void consume(size_t n);
    // Hands the first n pending bytes to the open part (but for the line end that still opens
    // the body) and drops them.
    void toPart(size_t n);
    void refuse(const char* reason);

    Sink& m_sink;
    State m_state;
    std::string m_pending;
    size_t m_start;     // pending bytes begin here in m_pending
    size_t m_searched;  // pending bytes searched without a match since the last consume
    size_t m_bodySkip;  // the line end before the body, still at the start of the pending bytes
    bool m_atLineStart; // the pending bytes begin a line (the body's start, at first)
    bool m_partOpen;
    std::string m_boundary;
    std::string m_eol;       // "\r\n", or "\n" for a body whose lines end in LF alone
    std::string m_delimiter; // line end, "--", boundary
    std::string m_headerEnd; // two line ends
};

} // namespace PBN::Net
