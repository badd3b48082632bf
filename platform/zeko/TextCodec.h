// Narrow texts the callers pass as file paths, turned into the UTF-8 that Linux file names use.
#pragma once

#include <string>

namespace zeko::sim {

class TextCodec {
public:
    // The viewer's narrow text: byte b is U+00b.
    static std::string latin1ToUtf8(const std::string& text);
    // The camera manager's multibyte text: Windows-1252, its five undefined bytes kept as U+0081 ...
    static std::string cp1252ToUtf8(const std::string& text);
};

} // namespace zeko::sim
