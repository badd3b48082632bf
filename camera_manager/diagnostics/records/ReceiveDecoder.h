#pragma once

// Turns the bytes a port delivers, piece by piece, into text, read as UTF-8 whatever the
// locale. A character split between two pieces is kept whole; a byte sequence that is no
// UTF-8 shows as U+FFFD and decoding goes on. A zero byte ends the text of its piece.

#include <cstddef>
#include <string>

class ReceiveDecoder {
public:
    std::u16string decode(const char* bytes, size_t size);
    void reset() { pending_.clear(); }

private:
    std::string pending_; // the start of a character whose rest has not come yet
};
