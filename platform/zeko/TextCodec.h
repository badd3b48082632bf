// Narrow texts the callers pass as file paths, turned into the UTF-8 that Linux file names use.
#pragma once

#include <string>

namespace zeko::sim {

class TextCodec {
public:
    // The suite's narrow and multibyte text (the viewer's film paths, the camera manager's
    // texts): Windows-1252, its five undefined bytes kept as U+0081 ...
    static std::string cp1252ToUtf8(const std::string& text);
};

} // namespace zeko::sim
