#pragma once

// The support text being written: INI-style lines of UTF-16 units, each ending in one line
// feed, no carriage return. Values are copied as they stand, except that a CR or LF inside
// one becomes a blank, so that every entry stays on its own line.

#include <cstdint>
#include <string>
#include <string_view>

class SupportText {
public:
    void AppendSection(std::u16string_view name);                             // "[%s]\n"
    void AppendTextEntry(std::u16string_view key, std::u16string_view value); // "%s=%s\n"
    void AppendNumberEntry(std::u16string_view key, uint32_t value);          // "%s=%d\n", signed
    void AppendBlankLine();                                                   // "\n"

    const std::u16string& Units() const { return units; }
    std::u16string& Units() { return units; }

private:
    std::u16string units;
};
