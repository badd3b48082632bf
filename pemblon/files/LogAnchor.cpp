#include "pemblon/files/LogAnchor.h"

namespace PBN {
namespace Files {

LogAnchor::LogAnchor() : LogManip(ANCHOR, "a", false), blank(false) {}

LogAnchor::LogAnchor(const Strings::ostring& href_, const bool& blank_)
    : LogManip(ANCHOR, "a", false), href(href_), blank(blank_) {}

LogAnchor::LogAnchor(const LogAnchor& other) = default;
LogAnchor& LogAnchor::operator=(const LogAnchor& other) = default;
LogAnchor::~LogAnchor() = default;

bool LogAnchor::operator==(const LogAnchor& other) const {
    return LogManip::operator==(other) && href == other.href && blank == other.blank;
}

} // namespace Files
} // namespace PBN
