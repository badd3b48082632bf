#include "platform/zeko/TextCodec.h"

#include "platform/common/Cp1252.h"
#include "platform/common/Utf.h"

namespace zeko::sim {

std::string TextCodec::latin1ToUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (unsigned char c : text)
        Utf::appendUtf8(out, c);
    return out;
}

std::string TextCodec::cp1252ToUtf8(const std::string& text) {
    return Cp1252::toUtf8(text);
}

} // namespace zeko::sim
