#include "pemblon/strings/StringPatterns.h"

#include "pemblon/core/Defines.h"
#include "pemblon/core/Exception.h"
#include "pemblon/strings/ostring.h"

#include <boost/format.hpp>
#include <boost/regex.hpp>
#include <wx/translation.h>

namespace PBN {
namespace Strings {

namespace {

using Hit = StringPatterns::Hit;

template <class Regex, class Text> Regex compileRegex(const Text& text, const std::wstring& shown) {
    try {
        return Regex(text);
    } catch (const boost::regex_error& e) {
        static const wchar_t original[] = L"Invalid regular expression \"%1%\": %2%.";
        // The library's reason, one byte a character.
        const std::wstring reason = ostring(e.what()).wstr();
        auto format = [&](const std::wstring& tmpl) {
            boost::wformat fmt(tmpl);
            fmt.exceptions(boost::io::all_error_bits ^
                           (boost::io::too_many_args_bit | boost::io::too_few_args_bit));
            fmt % shown % reason;
            return fmt.str();
        };
        std::wstring message;
        try {
            message = format(wxGetTranslation(original, Defines::name().wxstr()).ToStdWstring());
        } catch (const boost::io::format_error&) {
            // A translation with a broken place-holder must not replace the error being reported.
            message = format(original);
        }
        throw PBN::Exception(ostring(message), PBN::Exception::SEVERE);
    }
}

template <class Str, class Regex> std::vector<Hit> searchEvery(const Str& text, const Regex& re) {
    std::vector<Hit> hits;
    const auto begin = text.begin(), end = text.end();
    const size_t n = text.size();
    size_t start = 0;
    boost::match_results<typename Str::const_iterator> m;
    while (start <= n) {
        if (!boost::regex_search(begin + static_cast<std::ptrdiff_t>(start), end, m, re,
                                 boost::match_default))
            break;
        const size_t pos = start + static_cast<size_t>(m.position());
        const size_t len = static_cast<size_t>(m.length());
        hits.push_back(Hit{pos, len});
        start = pos + len + (len == 0 ? 1 : 0);
    }
    return hits;
}

} // namespace

bool StringPatterns::matchesWhole(const std::string& text, const std::string& pattern,
                                  const std::wstring& shown) {
    const boost::regex rx = compileRegex<boost::regex>(pattern, shown);
    return boost::regex_match(text, rx, boost::match_default);
}

std::vector<Hit> StringPatterns::searchAll(const std::string& text, const std::string& pattern,
                                           const std::wstring& shown) {
    return searchEvery(text, compileRegex<boost::regex>(pattern, shown));
}

std::vector<Hit> StringPatterns::searchAll(const std::wstring& text, const std::wstring& pattern) {
    return searchEvery(text, compileRegex<boost::wregex>(pattern, pattern));
}

} // namespace Strings
} // namespace PBN
