#pragma once

// PBN::Strings::ostring, Pemblon's string type.
//
// An ostring holds its text either narrow (std::string, one byte per character, the application
// charset "CHAR" = CP1252 on Linux) or wide (std::wstring), and remembers which form is live.
// Every length, index and position counts units of the live form. Byte b maps to U+00b and back;
// a wide character at or above 256 narrows to the NUL byte, in place.
//
// Nothing here throws on its own except where a comment says so (std::out_of_range from
// positions past the end, PBN::Exception from a regular expression that does not compile);
// allocation failures pass through.

#include "pemblon/core/Export.h"

#include <iosfwd>
#include <string>
#include <vector>

#include <wx/longlong.h>
#include <wx/string.h>

namespace PBN {
namespace Strings {

class PBN_API ostring {
public:
    // Not-found value of the searches, and "to the end" as a substr length.
    static constexpr int npos = -1;

    // ---- construction and assignment ----
    ostring();                                                 // narrow, empty
    ostring(const char& c);                                    // narrow, one byte
    ostring(const wchar_t& c);                                 // wide, one character
    ostring(const char* text);                                 // narrow, up to the NUL (null: empty)
    ostring(const wchar_t* text);                              // wide, up to the NUL (null: empty)
    ostring(const std::wstring& text);                         // wide, the whole string
    ostring(const wxString& text);                             // wide, up to the first NUL
    ostring(const std::string& bytes, const ostring& charset); // narrow, through set()
    ostring(const ostring& other);
    ostring(ostring&& other) noexcept;
    ostring& operator=(const ostring& other);
    ostring& operator=(ostring&& other) noexcept;
    virtual ~ostring();

    // Empties the live text; the form stays.
    ostring& clear();

    // ---- conversions out ----
    std::string str() const;   // wide text narrowed one character at a time (>= 256 -> 0)
    std::wstring wstr() const; // narrow text widened byte by byte
    std::wstring dstr() const; // same as wstr()
    wxString wxstr() const;    // wstr() up to its first NUL
    bool isUnicode() const;

    static wchar_t widen(const char& c);
    static char narrow(const wchar_t& c); // 0 when the character is 256 or above

    // ---- character sets ----
    // bytes read in `from`, re-encoded in `to` (GLib g_convert; "CHAR" is CP1252). Empty input, or
    // from == to, gives the input back. On failure the input comes back and *error (when given)
    // receives GLib's message.
    static std::string convert(const std::string& bytes, const ostring& from, const ostring& to,
                               std::string* error = nullptr);
    // The text as bytes in `charset`: convert(str(), appEncoding, charset). Wide text holding a
    // character at or above 256 converts from its UTF-8 instead (units below 256 still read as
    // str() reads them), so that no character becomes NUL; when `charset` cannot hold a character,
    // the conversion fails and gives that UTF-8 back.
    std::string get(const ostring& charset) const;
    // Replaces the text by `bytes` (up to the first NUL) read in `charset`; the form is kept.
    ostring& set(const std::string& bytes, const ostring& charset);
    // Switches the form (true: wide).
    ostring& setUnicode(const bool& unicode);

    // ---- element access (an index at or past size() gives 0) ----
    unsigned int size() const;
    char at(const unsigned int& i) const;
    wchar_t wat(const unsigned int& i) const;
    wchar_t operator[](const unsigned int& i) const;

    // ---- growing in place (the form is kept) ----
    ostring& resize(const unsigned int& n, const char& c);
    ostring& resize(const unsigned int& n, const wchar_t& c);
    ostring& append(const unsigned int& count, const char& c);
    ostring& append(const unsigned int& count, const wchar_t& c);
    // Throw std::out_of_range when pos > size().
    ostring& insert(const unsigned int& pos, const unsigned int& count, const char& c);
    ostring& insert(const unsigned int& pos, const unsigned int& count, const wchar_t& c);
    ostring& insert(const unsigned int& pos, const ostring& other);

    // An integer appends ONE character: its low 8 bits on narrow text, its low 16 bits on wide.
    ostring& operator+=(const char& c);
    ostring& operator+=(const wchar_t& c);
    ostring& operator+=(const short& v);
    ostring& operator+=(const int& v);
    ostring& operator+=(const long& v);
    ostring& operator+=(const long long& v);
    ostring& operator+=(const unsigned int& v);
    ostring& operator+=(const unsigned long& v);
    ostring& operator+=(const unsigned long long& v);
    ostring& operator+=(const float& v);  // "%g" text, precision 6
    ostring& operator+=(const double& v); // "%g" text, precision 6
    ostring& operator+=(const ostring& other);

    // ---- exact comparison (mixed forms compare the wide forms) ----
    bool operator==(const ostring& other) const;
    bool operator!=(const ostring& other) const;
    bool operator<(const ostring& other) const;
    bool operator<=(const ostring& other) const;
    bool operator>(const ostring& other) const;
    bool operator>=(const ostring& other) const;

    // ---- case-insensitive comparison (A-Z folded; stops at the first NUL; a mixed
    // pair brings this operand into the other's form) ----
    bool ci_eq(const ostring& other) const;
    bool ci_lt(const ostring& other) const;
    bool ci_gt(const ostring& other) const;
    bool ci_lte(const ostring& other) const;
    bool ci_gte(const ostring& other) const;

    // ---- case, trimming, wildcards ----
    ostring& toUpper(); // a-z only; other characters unchanged
    ostring& toLower(); // A-Z only; other characters unchanged
    ostring& trimLeft(const ostring& chars);
    ostring& trimRight(const ostring& chars);
    ostring& trim(const ostring& chars); // trimRight then trimLeft
    // Whole-text match: "*" any run, "?" one character, case-sensitive, no escapes.
    bool glob(const ostring& pattern) const;

    // ---- regular expressions (Perl syntax, case-sensitive) ----
    // A pattern that does not compile throws PBN::Exception (SEVERE); errors raised while matching
    // pass through.
    bool match(const ostring& re) const;
    // The matches, in the text's form; appends one position per match to `positions`: the first
    // from the start of the text, every later one from the end of the previous match.
    std::vector<ostring> find(const ostring& re, std::vector<unsigned int>& positions) const;
    // Replaces every match by `with`, taken literally.
    ostring& replace(const ostring& re, const ostring& with);

    // ---- plain replacement, tokenizing, line ends ----
    ostring& replaceAll(const ostring& pattern, const ostring& with);
    ostring& replaceAll(const std::vector<ostring>& patterns, const ostring& with);
    std::vector<ostring> tokenize(const ostring& separator, const bool& keepEmpty = false) const;
    std::vector<ostring> tokenize(const std::vector<ostring>& separators,
                                  const bool& keepEmpty = false) const;
    ostring& unixToDos(); // lone CR and lone LF become CRLF; CRLF stays
    ostring& dosToUnix(); // CRLF becomes LF; a lone CR stays

    // ---- concatenation (new value; the left operand is unchanged) ----
    // With an ostring: wide when either side is wide. With an integer: ONE character (low 8 bits
    // on narrow text, low 16 bits on wide), never digits. Float and double: "%g" text.
    ostring operator+(const ostring& other) const;
    ostring operator+(const char& c) const;
    ostring operator+(const wchar_t& c) const;
    ostring operator+(const short& v) const;
    ostring operator+(const int& v) const;
    ostring operator+(const unsigned int& v) const;
    ostring operator+(const long& v) const;
    ostring operator+(const unsigned long& v) const;
    ostring operator+(const long long& v) const;
    ostring operator+(const unsigned long long& v) const;
    ostring operator+(const float& v) const;
    ostring operator+(const double& v) const;

    // ---- substrings, number tests, searching, path join ----
    // A negative length means "to the end". Throws std::out_of_range when start > size().
    ostring substr(const unsigned int& start, const int& length = npos) const;
    bool isInt() const;
    bool isIntHexa() const;
    bool isFloat() const;
    // Position of the whole needle at or after start, or -1.
    int findFirstOf(const ostring& needle, const unsigned int& start = 0) const;
    // Start of the last whole needle ending at or before start (negative: from the end), or -1.
    int findLastOf(const ostring& needle, const int& start = npos) const;
    // Non-overlapping occurrences at or after start, ascending.
    std::vector<unsigned int> findAll(const ostring& needle, const unsigned int& start = 0) const;
    // Path join with "/" (in the left operand's form), unless one side already has it there.
    ostring operator/(const ostring& right) const;

    // ---- encodings and key transformation (implemented in StringEncodings.cpp;
    // declared here so that the class has one header) ----
    ostring& base64Encode();
    ostring& base64Decode();
    // A new[] array of size() bytes (the caller delete[]s it), or null for an empty text or key.
    unsigned char* crypt(const ostring& key) const;
    ostring& encrypt(const ostring& key);
    ostring& decrypt(const ostring& key);

    // A narrow stream that can hold wide text whole (the XML stream builder) puts a WideWriter in
    // this stream slot; `os << text` then hands it a wide text instead of writing str().
    struct WideWriter {
        void (*write)(std::ostream& os, const ostring& text);
    };
    static int wideWriterSlot();

private:
    bool m_unicode;      // true: m_wstr is the live text
    std::string m_str;   // the text when narrow
    std::wstring m_wstr; // the text when wide; while narrow, a private record of ostring.cpp

    friend struct ostringImpl; // ostring.cpp's helpers
};

// ---- stream operators ----
PBN_API std::ostream& operator<<(std::ostream& os, const ostring& s);   // writes str()
PBN_API std::wostream& operator<<(std::wostream& os, const ostring& s); // writes wstr()
PBN_API ostring operator<<(const wchar_t* text, const ostring& s);      // wide result
PBN_API ostring operator<<(const std::wstring& text, const ostring& s); // wide result

// ---- in-place append of a value's decimal / "%g" text; returns the target ----
PBN_API ostring& operator<<(ostring& target, const short& v);
PBN_API ostring& operator<<(ostring& target, const unsigned short& v);
PBN_API ostring& operator<<(ostring& target, const int& v);
PBN_API ostring& operator<<(ostring& target, const unsigned int& v);
PBN_API ostring& operator<<(ostring& target, const long& v);               // Linux addition
PBN_API ostring& operator<<(ostring& target, const unsigned long& v);      // Linux addition
PBN_API ostring& operator<<(ostring& target, const long long& v);          // Linux addition
PBN_API ostring& operator<<(ostring& target, const unsigned long long& v); // Linux addition
PBN_API ostring& operator<<(ostring& target, const float& v);
PBN_API ostring& operator<<(ostring& target, const double& v);
PBN_API ostring& operator<<(ostring& target, const wxLongLong& v);
PBN_API ostring& operator<<(ostring& target, const wxULongLong& v);
PBN_API ostring& operator<<(ostring& target, const ostring& v);

// ---- value first; a new string: the value's text, then the right operand ----
// Numbers take the right operand's form; const char* and std::string always give narrow text.
PBN_API ostring operator<<(const short& v, const ostring& s);
PBN_API ostring operator<<(const unsigned short& v, const ostring& s);
PBN_API ostring operator<<(const int& v, const ostring& s);
PBN_API ostring operator<<(const unsigned int& v, const ostring& s);
PBN_API ostring operator<<(const long& v, const ostring& s);               // Linux addition
PBN_API ostring operator<<(const unsigned long& v, const ostring& s);      // Linux addition
PBN_API ostring operator<<(const long long& v, const ostring& s);          // Linux addition
PBN_API ostring operator<<(const unsigned long long& v, const ostring& s); // Linux addition
PBN_API ostring operator<<(const float& v, const ostring& s);
PBN_API ostring operator<<(const double& v, const ostring& s);
PBN_API ostring operator<<(const wxLongLong& v, const ostring& s);
PBN_API ostring operator<<(const wxULongLong& v, const ostring& s);
PBN_API ostring operator<<(const char* text, const ostring& s); // null: as empty
PBN_API ostring operator<<(const std::string& bytes, const ostring& s);

} // namespace Strings
} // namespace PBN

// ---- free case-insensitive comparisons (global namespace) ----
PBN_API bool ci_eq(const PBN::Strings::ostring& a, const PBN::Strings::ostring& b);
PBN_API bool ci_lt(const PBN::Strings::ostring& a, const PBN::Strings::ostring& b);
PBN_API bool ci_gt(const PBN::Strings::ostring& a, const PBN::Strings::ostring& b);
PBN_API bool ci_lte(const PBN::Strings::ostring& a, const PBN::Strings::ostring& b);
PBN_API bool ci_gte(const PBN::Strings::ostring& a, const PBN::Strings::ostring& b);
