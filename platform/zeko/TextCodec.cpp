#include "platform/zeko/TextCodec.h"

#include "platform/common/Cp1252.h"

namespace zeko::sim {

std::string TextCodec::cp1252ToUtf8(const std::string& text) {
    return Cp1252::toUtf8(text);
}

} // namespace zeko::sim
