#include "pemblon/files/LogManip.h"

namespace PBN {
namespace Files {

LogManip::LogManip() : manip(END_MSG), empty(true), save(true) {}

LogManip::LogManip(const Strings::ostring& name_, const bool& empty_)
    : manip(TAG), name(name_), empty(empty_), save(false) {}

LogManip::LogManip(const Manip& manip_, const Strings::ostring& name_, const bool& empty_)
    : manip(manip_), name(name_), empty(empty_), save(false) {}

LogManip::LogManip(const Strings::ostring& name_, const Strings::ostring& value_)
    : manip(ATTR), name(name_), empty(true), value(value_), save(false) {}

LogManip::LogManip(const LogManip& other) = default;
LogManip& LogManip::operator=(const LogManip& other) = default;
LogManip::~LogManip() = default;

bool LogManip::operator==(const LogManip& other) const {
    return manip == other.manip && name == other.name && empty == other.empty && value == other.value;
}

} // namespace Files
} // namespace PBN
