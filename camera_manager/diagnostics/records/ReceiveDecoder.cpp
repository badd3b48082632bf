#include "camera_manager/diagnostics/records/ReceiveDecoder.h"

#include "platform/win/WideText.h"

#include <cstring>

namespace {

// Bytes of the character a UTF-8 lead byte starts; 1 for anything else.
size_t sequenceLength(unsigned char lead) {
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    if (lead >= 0xE0)
        return lead <= 0xEF ? 3 : 1;
    if (lead >= 0xC2)
        return 2;
    return 1;
}

// Where an unfinished character at the end of text starts (text.size() when none).
size_t unfinishedTail(const std::string& text) {
    const size_t size = text.size();
    for (size_t back = 1; back <= 3 && back <= size; ++back) {
        const auto c = static_cast<unsigned char>(text[size - back]);
        if ((c & 0xC0) == 0x80)
            continue; // a continuation byte: look further back for its lead
        return sequenceLength(c) > back ? size - back : size;
    }
    return size;
}

} // namespace

std::u16string ReceiveDecoder::decode(const char* bytes, size_t size) {
    const void* zero = std::memchr(bytes, '\0', size);
    const size_t shown = zero ? static_cast<size_t>(static_cast<const char*>(zero) - bytes) : size;
    std::string text = std::move(pending_);
    text.append(bytes, shown);
    pending_.clear();
    if (zero) {
        // A zero byte ends the text; what followed it is not shown, nor kept.
        return win::fromUtf8(text);
    }
    const size_t tail = unfinishedTail(text);
    pending_ = text.substr(tail);
    text.resize(tail);
    return win::fromUtf8(text);
}
