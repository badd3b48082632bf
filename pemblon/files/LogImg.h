#pragma once

#include "pemblon/core/Export.h"
#include "pemblon/files/LogManip.h"

#include <cstdint>

namespace PBN {
namespace Files {

// An image in a log message, aligned through its "style" attribute.
class PBN_API LogImg : public LogManip {
public:
    // Keywords written: RIGHT "right"/-, LEFT "left"/-, CENTER "center"/"middle", TOP -/"top",
    // BOTTOM -/"bottom" (horizontal/vertical); a value without a keyword writes nothing.
    enum Align : int32_t { RIGHT = 0, LEFT = 1, CENTER = 2, TOP = 3, BOTTOM = 4 };

    // No source; LEFT and TOP.
    LogImg();
    LogImg(const Strings::ostring& src, const Align& align, const Align& valign);
    LogImg(const LogImg& other);
    LogImg& operator=(const LogImg& other);
    ~LogImg() override;

    const Strings::ostring& getSrc() const { return src; }
    const Align& getAlign() const { return align; }
    const Align& getVAlign() const { return valign; }

    // The "style" text: "text-align: H; vertical-align: V;".
    Strings::ostring style() const;

    bool operator==(const LogImg& other) const;
    bool operator!=(const LogImg& other) const { return !(*this == other); }

private:
    Strings::ostring src;
    Align align;
    Align valign;
};

} // namespace Files
} // namespace PBN
