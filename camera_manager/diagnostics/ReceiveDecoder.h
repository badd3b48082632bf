#pragma once

// Turns the bytes a port delivers, piece by piece, into text in the current locale's multibyte
// encoding. A character split between two pieces is kept whole; a byte that cannot be decoded
// shows as U+FFFD and decoding goes on. A zero byte ends the text of its piece.

#include <cstddef>
#include <cwchar>
#include <string>

class ReceiveDecoder {
public:
    std::wstring decode(const char* bytes, size_t size);
    void reset() { state_ = std::mbstate_t{}; }

private:
    std::mbstate_t state_{};
};
