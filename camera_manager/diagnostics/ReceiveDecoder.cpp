#include "camera_manager/diagnostics/ReceiveDecoder.h"

std::wstring ReceiveDecoder::decode(const char* bytes, size_t size) {
    std::wstring text;
    size_t i = 0;
    while (i < size && bytes[i] != '\0') {
        wchar_t c = 0;
        const size_t n = std::mbrtowc(&c, bytes + i, size - i, &state_);
        if (n == static_cast<size_t>(-2)) // an unfinished character: the rest comes next time
            break;
        if (n == static_cast<size_t>(-1)) {
            text.push_back(L'\xfffd');
            state_ = std::mbstate_t{};
            ++i;
            continue;
        }
        if (n == 0) // a zero character completed from bytes held over
            break;
        text.push_back(c);
        i += n;
    }
    if (i < size && bytes[i] == '\0')
        state_ = std::mbstate_t{}; // what followed the zero byte is not shown
    return text;
}
