#pragma once

#include "pemblon/core/Export.h"
#include "pemblon/files/LogManip.h"

namespace PBN {
namespace Files {

// A link in a log message; the text written after it is the link text, up to end_tag.
class PBN_API LogAnchor : public LogManip {
public:
    // No target, same window.
    LogAnchor();
    // `blank`: open in a new window.
    LogAnchor(const Strings::ostring& href, const bool& blank);
    LogAnchor(const LogAnchor& other);
    LogAnchor& operator=(const LogAnchor& other);
    ~LogAnchor() override;

    const Strings::ostring& getHref() const { return href; }
    const bool& isBlank() const { return blank; }

    bool operator==(const LogAnchor& other) const;
    bool operator!=(const LogAnchor& other) const { return !(*this == other); }

private:
    Strings::ostring href;
    bool blank;
};

} // namespace Files
} // namespace PBN
