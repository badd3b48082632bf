#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace PBN {
namespace Strings {

// The regular expressions behind ostring's match, find and replace: Perl syntax, case-sensitive,
// no other option, the pattern compiled afresh on every call. A pattern that does not compile
// throws PBN::Exception (SEVERE) with the translated "Invalid regular expression" message naming
// `shown`; errors raised while matching pass through. Kept apart from ostring.cpp, whose
// compilation the regular expression library's templates otherwise doubled.
class StringPatterns {
public:
    // One match: its absolute start and its length.
    struct Hit {
        size_t start, length;
    };
    // Whether the whole of text matches.
    static bool matchesWhole(const std::string& text, const std::string& pattern, const std::wstring& shown);
    // Every match from the start. Each search treats its start as the beginning of a text; after
    // an empty match the next search starts one unit further on, and the search stops once that
    // passes the end, so a pattern such as "a*" ends.
    static std::vector<Hit> searchAll(const std::string& text, const std::string& pattern,
                                      const std::wstring& shown);
    static std::vector<Hit> searchAll(const std::wstring& text, const std::wstring& pattern);

protected:
    StringPatterns() = default;
};

} // namespace Strings
} // namespace PBN
