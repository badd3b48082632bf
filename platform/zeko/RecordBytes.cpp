#include "platform/zeko/RecordBytes.h"

#include <algorithm>

namespace zeko::sim {

void putIp(void* record, size_t offset, uint32_t hostOrder) {
    auto* p = static_cast<uint8_t*>(record) + offset;
    p[0] = static_cast<uint8_t>(hostOrder >> 24);
    p[1] = static_cast<uint8_t>(hostOrder >> 16);
    p[2] = static_cast<uint8_t>(hostOrder >> 8);
    p[3] = static_cast<uint8_t>(hostOrder);
}

void putText(void* record, size_t offset, size_t width, const std::string& text) {
    auto* p = static_cast<char*>(record) + offset;
    std::memset(p, 0, width);
    std::memcpy(p, text.data(), std::min(text.size(), width - 1));
}

} // namespace zeko::sim
