#include "pemblon/core/Version.h"

#include <algorithm>
#include <ostream>
#include <sstream>
#include <string>

#include "pemblon/core/Defines.h"

namespace PBN {
namespace Strings {

namespace {

// The number is read the way a standard stream reads it, so an out-of-range number gives what
// the stream gives (the largest value).
unsigned int readNumber(const std::wstring& token) {
    unsigned int value = 0;
    std::istringstream in(std::string(token.begin(), token.end()));
    in >> value;
    return value;
}

} // namespace

Version::Version() : _sep(Defines::defaultVersionSeparator()) {}

Version::Version(const ostring& text, const ostring& sep)
    : _sep(sep.size() ? sep : Defines::defaultVersionSeparator()) {
    parse(text);
}

Version::Version(const Version& other) = default;

Version& Version::operator=(const Version& other) {
    if (this != &other) {
        _sep = other._sep;
        _numbers = other._numbers;
        _suffix = other._suffix;
    }
    return *this;
}

Version::~Version() {}

void Version::increment() {
    if (!_numbers.empty())
        ++_numbers.back();
}

void Version::branch(const unsigned int& n) {
    _numbers.push_back(n);
}

int Version::compare(const Version& a, const Version& b) {
    const std::size_t shared = std::min(a._numbers.size(), b._numbers.size());
    for (std::size_t i = 0; i < shared; ++i)
        if (a._numbers[i] != b._numbers[i])
            return a._numbers[i] < b._numbers[i] ? -1 : 1;
    if (a._numbers.size() == b._numbers.size())
        return 0;
    return b._numbers.size() > a._numbers.size() ? -2 : 2;
}

void Version::parse(const ostring& text) {
    const std::wstring t = text.wstr();
    const std::wstring s = _sep.wstr();
    std::wstring token;
    std::size_t i = 0;
    bool stopped = false;
    while (i < t.size()) {
        const wchar_t c = t[i];
        if (c >= L'0' && c <= L'9') {
            token += c;
            ++i;
        } else if (!s.empty() && t.compare(i, s.size(), s) == 0) {
            _numbers.push_back(readNumber(token));
            token.clear();
            i += s.size();
        } else {
            stopped = true;
            break;
        }
    }
    if (!token.empty())
        _numbers.push_back(readNumber(token));
    if (stopped)
        _suffix = text.substr(static_cast<unsigned int>(i));
}

std::ostream& operator<<(std::ostream& os, const Version& v) {
    const std::string sep = v.sep().str();
    for (unsigned int i = 0; i < v.size(); ++i) {
        if (i)
            os << sep;
        os << v[i];
    }
    return os << v.suffix().str();
}

} // namespace Strings
} // namespace PBN
