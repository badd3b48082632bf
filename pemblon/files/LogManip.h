#pragma once

#include "pemblon/core/Export.h"
#include "pemblon/strings/ostring.h"

#include <cstdint>

namespace PBN {
namespace Files {

// A markup request written into a LogStream: an attribute, an element (opened or empty), the end
// of an element, an image, a link, or the end of the message.
class PBN_API LogManip {
public:
    enum Manip : int32_t { ATTR = 0, TAG = 1, END_TAG = 2, IMAGE = 3, ANCHOR = 4, END_MSG = 5 };

    // Ends the message and saves it.
    LogManip();
    // An element; `empty` ones take no content and the stream stays where it is.
    LogManip(const Strings::ostring& name, const bool& empty);
    LogManip(const Manip& manip, const Strings::ostring& name, const bool& empty);
    // An attribute of the current element.
    LogManip(const Strings::ostring& name, const Strings::ostring& value);
    LogManip(const LogManip& other);
    LogManip& operator=(const LogManip& other);
    virtual ~LogManip();

    const Manip& getManip() const { return manip; }
    const Strings::ostring& getName() const { return name; }
    const Strings::ostring& getValue() const { return value; }
    const bool& isEmpty() const { return empty; }
    const bool& doSave() const { return save; }
    void setSave(const bool& value_) { save = value_; }

    // Manip, name, empty flag and value; not the save flag.
    bool operator==(const LogManip& other) const;
    bool operator!=(const LogManip& other) const { return !(*this == other); }

private:
    Manip manip;
    Strings::ostring name;
    bool empty;
    Strings::ostring value;
    bool save;
};

} // namespace Files
} // namespace PBN
