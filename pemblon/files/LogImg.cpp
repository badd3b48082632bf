#include "pemblon/files/LogImg.h"

namespace PBN {
namespace Files {

using Strings::ostring;

LogImg::LogImg() : LogManip(IMAGE, "img", true), align(LEFT), valign(TOP) {}

LogImg::LogImg(const ostring& src_, const Align& align_, const Align& valign_)
    : LogManip(IMAGE, "img", true), src(src_), align(align_), valign(valign_) {}

LogImg::LogImg(const LogImg& other) = default;
LogImg& LogImg::operator=(const LogImg& other) = default;
LogImg::~LogImg() = default;

ostring LogImg::style() const {
    const char* h = "";
    switch (align) {
    case RIGHT:
        h = "right";
        break;
    case LEFT:
        h = "left";
        break;
    case CENTER:
        h = "center";
        break;
    default:
        break;
    }
    const char* v = "";
    switch (valign) {
    case CENTER:
        v = "middle";
        break;
    case TOP:
        v = "top";
        break;
    case BOTTOM:
        v = "bottom";
        break;
    default:
        break;
    }
    return ostring("text-align: ") + h + "; vertical-align: " + v + ";";
}

bool LogImg::operator==(const LogImg& other) const {
    return LogManip::operator==(other) && src == other.src && align == other.align && valign == other.valign;
}

} // namespace Files
} // namespace PBN
