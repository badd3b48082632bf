#pragma once

// Shared by ByteArray and Buffer. Not exported.

#include <cstdint>
#include <limits>

#include "pemblon/core/ByteArray.h"

namespace PBN::Detail {

// A new[] NUL-terminated base64 text of the bytes, null when there are none or when the text
// would not fit 32 bits.
inline char* base64Text(const unsigned char* data, const std::uint32_t& size, const bool& lineBreaks) {
    if (!size)
        return nullptr;
    // In 64 bits: 4n wraps 32-bit arithmetic from n = 2^30 on.
    const std::uint64_t n = size;
    std::uint64_t room = 4 * n / 3 + 6;
    if (lineBreaks)
        room += 4 * n / 216 + 1;
    if (room > std::numeric_limits<std::uint32_t>::max())
        return nullptr;
    char* text = new char[room];
    int lineCount = 0;
    int state = 0;
    unsigned int length = size;
    unsigned int written = ByteArray::base64EncodeStep(data, length, text, &lineCount, &state, lineBreaks);
    written += ByteArray::base64EncodeClose(text + written, &lineCount, &state, lineBreaks);
    text[written] = '\0';
    return text;
}

} // namespace PBN::Detail
