#pragma once

#include <cstdint>
#include <iosfwd>
#include <vector>

#include "pemblon/core/Export.h"
#include "pemblon/strings/ostring.h"

namespace PBN {
namespace Strings {

// A version number: unsigned numbers joined by a separator, then an optional trailing text
// (1.2.3, 2.0-beta, 4::1). Versions compare by their numbers only.
class PBN_API Version {
public:
    // Separator ".", no numbers, no suffix.
    Version();
    // An empty sep means ".". Digits build a number, a whole separator ends it (an empty number
    // reads as 0) and any other character stops the parse: the rest becomes the suffix.
    Version(const ostring& text, const ostring& sep);
    Version(const Version& other);
    Version& operator=(const Version& other);
    virtual ~Version();

    ostring sep() const { return _sep; }
    // Taken as given; the numbers are not parsed again.
    void sep(const ostring& value) { _sep = value; }
    ostring suffix() const { return _suffix; }
    void suffix(const ostring& value) { _suffix = value; }

    unsigned int size() const { return static_cast<unsigned int>(_numbers.size()); }
    // No bounds check.
    unsigned int& operator[](const unsigned int& i) { return _numbers[i]; }
    const unsigned int& operator[](const unsigned int& i) const { return _numbers[i]; }

    // Adds 1 to the last number; a version without numbers stays as it is.
    void increment();
    // Appends n as a new last number.
    void branch(const unsigned int& n);

    // -1 / 1 at the first differing number, -2 / 2 when a's numbers are a prefix of b's / b's of
    // a's, 0 when the numbers are equal. Separators and suffixes play no part.
    static int compare(const Version& a, const Version& b);
    bool operator==(const Version& other) const { return compare(*this, other) == 0; }
    bool operator!=(const Version& other) const { return compare(*this, other) != 0; }
    bool operator<(const Version& other) const { return compare(*this, other) < 0; }
    bool operator<=(const Version& other) const { return compare(*this, other) < 1; }
    bool operator>(const Version& other) const { return compare(*this, other) > 0; }
    bool operator>=(const Version& other) const { return compare(*this, other) >= 0; }

protected:
    void parse(const ostring& text);

private:
    ostring _sep;
    std::vector<unsigned int> _numbers;
    ostring _suffix;
};

// The numbers joined by the separator, then the suffix.
PBN_API std::ostream& operator<<(std::ostream& os, const Version& v);

} // namespace Strings
} // namespace PBN
