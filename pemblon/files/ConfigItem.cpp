#include "pemblon/files/ConfigItem.h"

#include "pemblon/files/SplitBlanks.h"
#include "pemblon/xml/XMLDoc.h"
#include "pemblon/xml/XMLTree.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <locale>
#include <sstream>
#include <string_view>
#include <type_traits>

namespace PBN {
namespace Files {

using Strings::ostring;

namespace {

// ---- acceptance tests, the same as ostring::isInt and ostring::isFloat on a piece that
// holds no blank (list pieces never do, and single texts are trimmed first) ----

std::string_view trimBlanks(std::string_view s) {
    const size_t start = s.find_first_not_of(" \r\n\t");
    if (start == std::string_view::npos)
        return {};
    return s.substr(start, s.find_last_not_of(" \r\n\t") - start + 1);
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isIntText(std::string_view s) {
    s = trimBlanks(s);
    if (!s.empty() && (s[0] == '-' || s[0] == '+'))
        s.remove_prefix(1);
    if (s.empty())
        return false;
    for (char c : s)
        if (!isDigit(c))
            return false;
    return true;
}

// What stream insertion writes for a value without digits: "nan", "inf" (signed or not).
bool isNonFiniteText(std::string_view s) {
    if (!s.empty() && (s[0] == '-' || s[0] == '+'))
        s.remove_prefix(1);
    if (s.size() != 3)
        return false;
    std::string lower(s);
    for (char& c : lower)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    return lower == "nan" || lower == "inf";
}

bool isFloatText(std::string_view s) {
    s = trimBlanks(s);
    // So that whatever set() writes reads back, NaN and the infinities included.
    if (isNonFiniteText(s))
        return true;
    if (!s.empty() && (s[0] == '-' || s[0] == '+'))
        s.remove_prefix(1);
    if (s.empty())
        return false;
    bool digit = false, point = false;
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (isDigit(c)) {
            digit = true;
        } else if (c == '.' && !point) {
            point = true;
        } else if ((c == 'e' || c == 'E') && i + 1 < s.size()) {
            return isIntText(s.substr(i + 1));
        } else {
            return false;
        }
    }
    return digit;
}

// ---- readers: what a narrow stream extracts from an accepted text ----

// Out of range: nothing. The sign may be '+', which from_chars does not take.
bool readLongLong(std::string_view s, long long& value) {
    s = trimBlanks(s);
    if (!s.empty() && s[0] == '+')
        s.remove_prefix(1);
    value = 0;
    auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    return ec == std::errc() && ptr == s.data() + s.size();
}

// A value the type cannot hold is no value: false, rather than the nearest bound.
template <class I> bool readInteger(std::string_view s, I& value) {
    long long v = 0;
    if (!readLongLong(s, v) || v < static_cast<long long>(std::numeric_limits<I>::min()) ||
        v > static_cast<long long>(std::numeric_limits<I>::max()))
        return false;
    value = static_cast<I>(v);
    return true;
}

// False when the value is too large for the type; a value too small for it reads as zero.
template <class F> bool readFloat(std::string_view s, F& value) {
    s = trimBlanks(s);
    if (!s.empty() && s[0] == '+')
        s.remove_prefix(1);
    value = 0;
    if (isNonFiniteText(s)) {
        const bool negative = s[0] == '-';
        const bool nan = s.back() == 'n' || s.back() == 'N';
        value = nan ? std::numeric_limits<F>::quiet_NaN() : std::numeric_limits<F>::infinity();
        if (negative)
            value = -value;
        return true;
    }
    const auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec == std::errc::result_out_of_range) {
        const size_t e = s.find_first_of("eE");
        const bool underflow = e != std::string_view::npos && e + 1 < s.size() && s[e + 1] == '-';
        value = underflow && s[0] == '-' ? -F(0) : F(0);
        return underflow;
    }
    return ec == std::errc();
}

// ---- splitting: pieces between blanks, tabs and line ends, empties dropped; one pass ----

template <class F> void forEachPiece(const std::string& text, F&& f) {
    size_t i = 0;
    const size_t n = text.size();
    while (i < n) {
        while (i < n && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n'))
            ++i;
        if (i >= n)
            break;
        size_t start = i;
        while (i < n && text[i] != ' ' && text[i] != '\t' && text[i] != '\r' && text[i] != '\n')
            ++i;
        if (!f(std::string_view(text.data() + start, i - start)))
            return;
    }
}

std::vector<ostring> splitPieces(const ostring& text) {
    if (text.isUnicode())
        return Private::splitBlanks(text);
    std::vector<ostring> pieces;
    forEachPiece(text.str(), [&](std::string_view piece) {
        pieces.emplace_back(std::string(piece).c_str());
        return true;
    });
    return pieces;
}

// A bare zone offset "+hh:mm" or "-hh:mm": dateToString writes it after a blank.
bool isZoneOffset(std::string_view s) {
    return s.size() == 6 && (s[0] == '+' || s[0] == '-') && isDigit(s[1]) && isDigit(s[2]) && s[3] == ':' &&
           isDigit(s[4]) && isDigit(s[5]);
}

std::ostringstream classicStream() {
    std::ostringstream os;
    os.imbue(std::locale::classic());
    return os;
}

template <class T> ostring numberText(const T& value) {
    std::ostringstream os = classicStream();
    if constexpr (std::is_same_v<T, short> || std::is_same_v<T, unsigned short>)
        os << static_cast<int>(value);
    else
        os << value;
    return ostring(os.str().c_str());
}

ostring longLongText(long long value) {
    std::ostringstream os = classicStream();
    os << static_cast<int32_t>(value >> 32) << ' ' << static_cast<uint32_t>(value & 0xFFFFFFFFu);
    return ostring(os.str().c_str());
}

ostring uLongLongText(unsigned long long value) {
    std::ostringstream os = classicStream();
    os << static_cast<uint32_t>(value >> 32) << ' ' << static_cast<uint32_t>(value & 0xFFFFFFFFu);
    return ostring(os.str().c_str());
}

// The written text of one value (lists join these).
template <class T> ostring textOf(const T& value) {
    if constexpr (std::is_same_v<T, ostring>)
        return value;
    else if constexpr (std::is_same_v<T, bool>)
        return value ? "true" : "false";
    else if constexpr (std::is_same_v<T, wxLongLong>)
        return longLongText(value.GetValue());
    else if constexpr (std::is_same_v<T, wxULongLong>)
        return uLongLongText(value.GetValue());
    else if constexpr (std::is_same_v<T, wxDateTime>)
        return XML::XMLDoc::dateToString(value, true, false, true);
    else
        return numberText(value);
}

// One piece of a list, or a whole single text, for the types read piece by piece.
// False when the type does not accept it.
template <class T> bool readPiece(std::string_view s, T& value) {
    if constexpr (std::is_same_v<T, bool>) {
        const ostring text(std::string(s).c_str());
        if (!isIntText(s) && !ci_eq(text, "true") && !ci_eq(text, "false"))
            return false;
        value = XML::XMLDoc::castBoolean(text);
        return true;
    } else if constexpr (std::is_same_v<T, float> || std::is_same_v<T, double>) {
        return isFloatText(s) && readFloat<T>(s, value);
    } else if constexpr (std::is_same_v<T, unsigned int>) {
        // Read wide enough for every unsigned 32-bit value; bits of a negative one.
        long long v = 0;
        if (!isIntText(s) || !readLongLong(s, v) || v < std::numeric_limits<int>::min() || v > 0xFFFFFFFFLL)
            return false;
        value = static_cast<unsigned int>(static_cast<unsigned long long>(v) & 0xFFFFFFFFu);
        return true;
    } else {
        return isIntText(s) && readInteger<T>(s, value);
    }
}

// The integers of a text, each read as 64 bits, for the 64-bit types. Appends what it reads
// before the first piece that is not an integer; false then.
bool readNumbers(const std::string& text, std::vector<long long>& numbers) {
    bool ok = true;
    forEachPiece(text, [&](std::string_view piece) {
        long long v = 0;
        if (!isIntText(piece) || !readLongLong(piece, v)) {
            ok = false;
            return false;
        }
        numbers.push_back(v);
        return true;
    });
    return ok;
}

long long joinWords(long long hi, long long lo) {
    return static_cast<long long>((static_cast<unsigned long long>(hi) << 32) |
                                  (static_cast<unsigned long long>(lo) & 0xFFFFFFFFu));
}

void setOk(bool* ok, bool value) {
    if (ok)
        *ok = value;
}

} // namespace

template <class T> ConfigItem<T>::ConfigItem(Config& config) : m_config(&config) {}
template <class T> ConfigItem<T>::ConfigItem(const ConfigItem& other) : m_config(other.m_config) {}

template <class T> ConfigItem<T>& ConfigItem<T>::operator=(const ConfigItem& other) {
    m_config = other.m_config;
    return *this;
}

template <class T> ConfigItem<T>::~ConfigItem() = default;

template <class T> T ConfigItem<T>::get(const ostring& key, bool* ok) const {
    bool found = false;
    const ostring text = ConfigItem<ostring>(*m_config).get(key, &found);
    if constexpr (std::is_same_v<T, wxDateTime>) {
        setOk(ok, found && text.size() > 0);
        return XML::XMLDoc::stringToDate(text);
    } else if constexpr (std::is_same_v<T, wxLongLong> || std::is_same_v<T, wxULongLong>) {
        std::vector<long long> numbers;
        bool read = found && text.size() > 0 && readNumbers(text.str(), numbers);
        const bool unsignedType = std::is_same_v<T, wxULongLong>;
        // Two numbers are two 32-bit words: a high word outside its type's range, or a low word
        // with more than 32 bits, holds no value of the type.
        const bool wordsFit =
            numbers.size() != 2 ||
            ((unsignedType ? numbers[0] >= 0 && numbers[0] <= 0xFFFFFFFFLL
                           : numbers[0] >= std::numeric_limits<int32_t>::min() &&
                                 numbers[0] <= std::numeric_limits<int32_t>::max()) &&
             numbers[1] >= std::numeric_limits<int32_t>::min() && numbers[1] <= 0xFFFFFFFFLL);
        if (numbers.empty() || numbers.size() > 2 || !wordsFit ||
            (unsignedType && (numbers[0] < 0 || (numbers.size() == 2 && numbers[1] < 0)))) {
            setOk(ok, false);
            return T(0);
        }
        setOk(ok, read);
        if (numbers.size() == 1)
            return T(numbers[0]);
        return T(joinWords(numbers[0], numbers[1]));
    } else {
        T value{};
        if (!found || text.size() == 0 || !readPiece(text.str(), value)) {
            setOk(ok, false);
            return T{};
        }
        if constexpr (std::is_same_v<T, unsigned int>) {
            // A negative text is refused, with its bits as the value.
            long long v = 0;
            if (!readLongLong(text.str(), v)) {
                setOk(ok, false);
                return 0u;
            }
            if (v < 0 || v > 0xFFFFFFFFLL) {
                setOk(ok, false);
                return v < 0 && v >= std::numeric_limits<int>::min() ? value : 0u;
            }
        }
        setOk(ok, true);
        return value;
    }
}

template <> ostring ConfigItem<ostring>::get(const ostring& key, bool* ok) const {
    const Config::Item item = m_config->resolve(key, false, nullptr);
    setOk(ok, item.found);
    if (!item.found)
        return ostring();
    return item.isAttribute ? item.attr.getValue() : item.node.getText();
}

template <> bool ConfigItem<ostring>::set(const ostring& key, const ostring& value) const {
    bool created = false;
    XML::XMLTree::textToUtf8(value); // text XML cannot hold is refused before the item is made
    Config::Item item = m_config->resolve(key, true, &created);
    if (!item.found)
        return false;
    if (item.isAttribute) {
        item.attr.setValue(value);
    } else {
        item.node.clearChildren();
        item.node.setText(value, true);
    }
    return !created;
}

template <class T> bool ConfigItem<T>::set(const ostring& key, const T& value) const {
    return ConfigItem<ostring>(*m_config).set(key, textOf(value));
}

template <class T> void ConfigItem<T>::getList(const ostring& key, std::vector<T>& out, bool* ok) const {
    bool found = false;
    const ostring text = ConfigItem<ostring>(*m_config).get(key, &found);
    if (!found || text.size() == 0) {
        setOk(ok, false);
        return;
    }
    if constexpr (std::is_same_v<T, ostring>) {
        for (ostring& piece : splitPieces(text))
            out.push_back(std::move(piece));
        setOk(ok, true);
    } else if constexpr (std::is_same_v<T, wxLongLong> || std::is_same_v<T, wxULongLong>) {
        std::vector<long long> numbers;
        const bool read = readNumbers(text.str(), numbers);
        if (numbers.size() % 2 != 0) {
            setOk(ok, false);
            return;
        }
        for (size_t i = 0; i < numbers.size(); i += 2) {
            if constexpr (std::is_same_v<T, wxLongLong>)
                out.push_back(T(joinWords(numbers[i], numbers[i + 1])));
            else
                out.push_back(T(static_cast<unsigned long long>(joinWords(numbers[i], numbers[i + 1]))));
        }
        setOk(ok, read);
    } else if constexpr (std::is_same_v<T, wxDateTime>) {
        // A zone offset other than +00:00 is written after a blank; it belongs to the date
        // before it.
        std::vector<std::string> dates;
        forEachPiece(text.str(), [&](std::string_view piece) {
            if (isZoneOffset(piece) && !dates.empty())
                dates.back().append(" ").append(piece);
            else
                dates.emplace_back(piece);
            return true;
        });
        for (const std::string& date : dates)
            out.push_back(XML::XMLDoc::stringToDate(ostring(date.c_str())));
        setOk(ok, true);
    } else {
        bool good = true;
        forEachPiece(text.str(), [&](std::string_view piece) {
            T value{};
            if (!readPiece(piece, value)) {
                good = false;
                return false;
            }
            out.push_back(value);
            return true;
        });
        setOk(ok, good);
    }
}

template <class T> std::vector<T> ConfigItem<T>::getList(const ostring& key, bool* ok) const {
    std::vector<T> out;
    getList(key, out, ok);
    return out;
}

template <class T> bool ConfigItem<T>::setList(const ostring& key, const std::vector<T>& values) const {
    std::wstring text;
    for (size_t i = 0; i < values.size(); ++i) {
        if (i)
            text += L' ';
        text += textOf<T>(values[i]).wstr();
    }
    return ConfigItem<ostring>(*m_config).set(key, ostring(text));
}

template <class T> ostring ConfigItem<T>::defaultValue(const T& value) {
    if constexpr (std::is_same_v<T, wxDateTime>)
        return ostring(value.Format(wxDefaultDateTimeFormat));
    else
        return textOf(value);
}

template <class T> ostring ConfigItem<T>::defaultList(const std::vector<T>& values) {
    std::wstring text;
    for (size_t i = 0; i < values.size(); ++i) {
        if (i)
            text += L' ';
        if constexpr (std::is_same_v<T, ostring>) {
            text += L'"';
            for (wchar_t c : values[i].wstr()) {
                if (c == L'"')
                    text += L'\\';
                text += c;
            }
            text += L'"';
        } else {
            text += textOf<T>(values[i]).wstr();
        }
    }
    return ostring(text);
}

template class ConfigItem<bool>;
template class ConfigItem<short>;
template class ConfigItem<unsigned short>;
template class ConfigItem<int>;
template class ConfigItem<unsigned int>;
template class ConfigItem<wxLongLong>;
template class ConfigItem<wxULongLong>;
template class ConfigItem<float>;
template class ConfigItem<double>;
template class ConfigItem<wxDateTime>;
template class ConfigItem<ostring>;

} // namespace Files
} // namespace PBN
