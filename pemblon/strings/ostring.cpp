// PBN::Strings::ostring: storage, conversion, comparison, concatenation, searching. The encodings
// and key transformation live in StringEncodings.cpp.

#include "pemblon/strings/ostring.h"

#include "pemblon/core/Defines.h"
#include "pemblon/core/Exception.h"
#include "pemblon/strings/StringPatterns.h"
#include "platform/common/Cp1252.h"
#include "platform/common/Utf.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <ostream>
#include <stdexcept>

#include <glib.h>
#if defined(__x86_64__)
#include <immintrin.h>
#endif
#include <wx/filename.h>
#include <wx/translation.h>

namespace PBN {
namespace Strings {

namespace {

// ---- form mapping: byte b <-> U+00b, written out (glibc's classic ctype maps >= 0x80 to WEOF) ----
inline wchar_t widenChar(char c) {
    return static_cast<wchar_t>(static_cast<unsigned char>(c));
}
inline char narrowChar(wchar_t c) {
    return static_cast<uint32_t>(c) < 256u ? static_cast<char>(static_cast<unsigned char>(c)) : '\0';
}
inline uint32_t unitOf(char c) {
    return static_cast<unsigned char>(c);
}
inline uint32_t unitOf(wchar_t c) {
    return static_cast<uint32_t>(c);
}

static_assert(sizeof(wchar_t) == 4, "wide text counts 32-bit units");

// Both directions take 16 characters a step with SSE2 (every x86-64 processor has it), so that
// they stay fast whatever the optimisation level; the remainder goes one by one.
std::wstring widenAll(const char* p, size_t n) {
    std::wstring w(n, L'\0');
    wchar_t* out = w.data();
    size_t i = 0;
#if defined(__x86_64__)
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= n; i += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i low = _mm_unpacklo_epi8(bytes, zero);
        const __m128i high = _mm_unpackhi_epi8(bytes, zero);
        __m128i* to = reinterpret_cast<__m128i*>(out + i);
        _mm_storeu_si128(to, _mm_unpacklo_epi16(low, zero));
        _mm_storeu_si128(to + 1, _mm_unpackhi_epi16(low, zero));
        _mm_storeu_si128(to + 2, _mm_unpacklo_epi16(high, zero));
        _mm_storeu_si128(to + 3, _mm_unpackhi_epi16(high, zero));
    }
#endif
    for (; i < n; ++i)
        out[i] = widenChar(p[i]);
    return w;
}
inline std::wstring widenAll(const std::string& s) {
    return widenAll(s.data(), s.size());
}

std::string narrowAll(const wchar_t* p, size_t n) {
    std::string s(n, '\0');
    char* out = s.data();
    size_t i = 0;
#if defined(__x86_64__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i above = _mm_set1_epi32(~0xFF);
    // Characters at or above 256 become 0; the rest fit the signed and unsigned packs.
    const auto keep = [&](const wchar_t* at) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        return _mm_and_si128(v, _mm_cmpeq_epi32(_mm_and_si128(v, above), zero));
    };
    for (; i + 16 <= n; i += 16) {
        const __m128i first = _mm_packs_epi32(keep(p + i), keep(p + i + 4));
        const __m128i second = _mm_packs_epi32(keep(p + i + 8), keep(p + i + 12));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(first, second));
    }
#endif
    for (; i < n; ++i)
        out[i] = narrowChar(p[i]);
    return s;
}
inline std::string narrowAll(const std::wstring& w) {
    return narrowAll(w.data(), w.size());
}

// A "narrow result made from a text" goes through set() with appEncoding, which
// converts nothing (from == to) and keeps the bytes up to the first NUL.
inline size_t nulCut(const std::string& s) {
    const void* z = std::memchr(s.data(), 0, s.size());
    return z ? static_cast<size_t>(static_cast<const char*>(z) - s.data()) : s.size();
}
inline void cutAtNul(std::string& s) {
    s.resize(nulCut(s));
}

// ---- number text: classic formatting, independent of setlocale and of the global locale ----
template <class T> std::string intText(T v) {
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}
// The "%g" conversion with precision 6: what a default-configured output stream writes.
std::string dblText(double v) {
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 6);
    return std::string(buf, r.ptr);
}

// ---- ordering of units as unsigned values; a prefix sorts first ----
template <class A, class B> int compareUnits(const A* a, size_t na, const B* b, size_t nb) {
    const size_t n = std::min(na, nb);
    for (size_t i = 0; i < n; ++i) {
        const uint32_t x = unitOf(a[i]), y = unitOf(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return na < nb ? -1 : (na > nb ? 1 : 0);
}

// ---- case-insensitive comparison of C strings, classic A-Z folding only ----
inline uint32_t foldLower(uint32_t c) {
    return (c >= 'A' && c <= 'Z') ? c + 32 : c;
}

// Narrow: the runtime's strcasecmp semantics, without its dependence on setlocale. A wide prefix
// step skips the blocks in which both texts agree after folding and a holds no NUL; it reads only
// inside the strings (their sizes are known), so nothing is read past a buffer. The byte loop then
// settles the order from the first block that differs.
#if defined(__x86_64__)
// One 32-byte block: a mask of the bytes that agree after folding where a holds no NUL.
__attribute__((target("avx2"))) inline __m256i ciSameAvx2(const char* a, const char* b) {
    const __m256i bias = _mm256_set1_epi8(static_cast<char>(128 - 'A')); // 'A' -> -128
    const __m256i limit = _mm256_set1_epi8(static_cast<char>(-128 + 26));
    const __m256i bit = _mm256_set1_epi8(0x20);
    const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a));
    const __m256i y = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b));
    const __m256i fx =
        _mm256_or_si256(x, _mm256_and_si256(_mm256_cmpgt_epi8(limit, _mm256_add_epi8(x, bias)), bit));
    const __m256i fy =
        _mm256_or_si256(y, _mm256_and_si256(_mm256_cmpgt_epi8(limit, _mm256_add_epi8(y, bias)), bit));
    return _mm256_andnot_si256(_mm256_cmpeq_epi8(x, _mm256_setzero_si256()), _mm256_cmpeq_epi8(fx, fy));
}
__attribute__((target("avx2"))) size_t ciEqualPrefixAvx2(const char* a, const char* b, size_t n) {
    size_t i = 0;
    for (; i + 128 <= n; i += 128) {
        const __m256i m01 = _mm256_and_si256(ciSameAvx2(a + i, b + i), ciSameAvx2(a + i + 32, b + i + 32));
        const __m256i m23 =
            _mm256_and_si256(ciSameAvx2(a + i + 64, b + i + 64), ciSameAvx2(a + i + 96, b + i + 96));
        if (_mm256_movemask_epi8(_mm256_and_si256(m01, m23)) != -1)
            break;
    }
    for (; i + 64 <= n; i += 64)
        if (_mm256_movemask_epi8(
                _mm256_and_si256(ciSameAvx2(a + i, b + i), ciSameAvx2(a + i + 32, b + i + 32))) != -1)
            break;
    for (; i + 32 <= n; i += 32)
        if (_mm256_movemask_epi8(ciSameAvx2(a + i, b + i)) != -1)
            break;
    return i;
}
size_t ciEqualPrefixSse2(const char* a, const char* b, size_t n) {
    const __m128i bias = _mm_set1_epi8(static_cast<char>(128 - 'A'));
    const __m128i limit = _mm_set1_epi8(static_cast<char>(-128 + 26));
    const __m128i bit = _mm_set1_epi8(0x20);
    const __m128i zero = _mm_setzero_si128();
    size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
        const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
        const __m128i fx = _mm_or_si128(x, _mm_and_si128(_mm_cmpgt_epi8(limit, _mm_add_epi8(x, bias)), bit));
        const __m128i fy = _mm_or_si128(y, _mm_and_si128(_mm_cmpgt_epi8(limit, _mm_add_epi8(y, bias)), bit));
        const __m128i ok = _mm_andnot_si128(_mm_cmpeq_epi8(x, zero), _mm_cmpeq_epi8(fx, fy));
        if (_mm_movemask_epi8(ok) != 0xFFFF)
            break;
    }
    return i;
}
#endif

// The portable step: eight bytes at a time.
size_t ciEqualPrefixWords(const char* a, const char* b, size_t n) {
    constexpr uint64_t ones = 0x0101010101010101ull, highs = 0x8080808080808080ull;
    auto fold = [](uint64_t x) {
        const uint64_t hept = x & 0x7F7F7F7F7F7F7F7Full;
        const uint64_t geA = hept + 0x3F3F3F3F3F3F3F3Full; // high bit: byte >= 'A' (7-bit part)
        const uint64_t gtZ = hept + 0x2525252525252525ull; // high bit: byte > 'Z'
        const uint64_t upper = (geA ^ gtZ) & ~x & highs;   // ASCII and in 'A'..'Z'
        return x | (upper >> 2);
    };
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t x, y;
        std::memcpy(&x, a + i, 8);
        std::memcpy(&y, b + i, 8);
        if (((x - ones) & ~x & highs) != 0) // a NUL in a
            break;
        if (x != y && fold(x) != fold(y))
            break;
    }
    return i;
}

int ciCompareNarrow(const char* a, size_t na, const char* b, size_t nb) {
    const size_t n = std::min(na, nb);
#if defined(__x86_64__)
    // PBN_STRINGS_NO_AVX2 lets the tests run the SSE2 step on an AVX2 machine.
    static const bool avx2 = __builtin_cpu_supports("avx2") && std::getenv("PBN_STRINGS_NO_AVX2") == nullptr;
    size_t i = n >= 32 ? (avx2 ? ciEqualPrefixAvx2(a, b, n) : ciEqualPrefixSse2(a, b, n)) : 0;
#else
    size_t i = 0;
#endif
    i += ciEqualPrefixWords(a + i, b + i, n - i);
    // a[na] and b[nb] are the strings' terminating NULs.
    for (;; ++i) {
        const uint32_t x = foldLower(static_cast<unsigned char>(a[i]));
        const uint32_t y = foldLower(static_cast<unsigned char>(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
        if (x == 0)
            return 0;
    }
}

int ciCompareWide(const wchar_t* a, const wchar_t* b) {
    for (;; ++a, ++b) {
        const uint32_t x = foldLower(static_cast<uint32_t>(*a));
        const uint32_t y = foldLower(static_cast<uint32_t>(*b));
        if (x != y)
            return x < y ? -1 : 1;
        if (x == 0)
            return 0;
    }
}

// ---- glob over NUL-terminated texts (lengths: up to the first NUL) ----
// The first index at or after `from` whose unit is `u`, or n.
inline size_t nextUnit(const char* s, size_t from, size_t n, uint32_t u) {
    if (u > 255u || from >= n)
        return n;
    const void* p = std::memchr(s + from, static_cast<int>(u), n - from);
    return p ? static_cast<size_t>(static_cast<const char*>(p) - s) : n;
}
inline size_t nextUnit(const wchar_t* s, size_t from, size_t n, uint32_t u) {
    if (from >= n)
        return n;
    const wchar_t* p = std::wmemchr(s + from, static_cast<wchar_t>(u), n - from);
    return p ? static_cast<size_t>(p - s) : n;
}
template <class S, class P> bool globUnits(const S* s, size_t sn, const P* p, size_t pn) {
    size_t si = 0, pi = 0;
    auto sc = [&](size_t i) -> uint32_t { return i < sn ? unitOf(s[i]) : 0u; };
    auto pc = [&](size_t i) -> uint32_t { return i < pn ? unitOf(p[i]) : 0u; };
    while (sc(si) != 0 && pc(pi) != '*') {
        if (pc(pi) != sc(si) && pc(pi) != '?')
            return false;
        ++pi;
        ++si;
    }
    size_t mp = 0, cp = 0;
    while (sc(si) != 0) {
        if (pc(pi) == '*') {
            if (pc(++pi) == 0)
                return true;
            mp = pi;
            cp = si + 1;
        } else if (pc(pi) == sc(si) || pc(pi) == '?') {
            ++pi;
            ++si;
        } else {
            pi = mp;
            si = cp++;
            // Every retry whose first text character differs from a literal pattern character
            // fails at once: go straight to the next place where that character occurs.
            const uint32_t lit = pc(mp);
            if (lit != '?' && lit != '*' && lit != 0 && sc(si) != lit) {
                si = nextUnit(s, si, sn, lit);
                cp = si + 1;
            }
        }
    }
    while (pc(pi) == '*')
        ++pi;
    return pc(pi) == 0;
}

template <class C> size_t cLength(const std::basic_string<C>& s) {
    if constexpr (sizeof(C) == 1)
        return nulCut(s);
    else {
        const size_t z = s.find(C(0));
        return z == std::basic_string<C>::npos ? s.size() : z;
    }
}

bool isCharsetChar(const std::string& name) {
    return name.size() == 4 && foldLower(name[0]) == 'c' && foldLower(name[1]) == 'h' &&
           foldLower(name[2]) == 'a' && foldLower(name[3]) == 'r';
}

// Trimming set: whether a unit (as a wide code) is in the set.
struct TrimSet {
    bool bytes[256] = {};
    std::wstring wide;
    explicit TrimSet(const std::wstring& w) : wide(w) {
        for (wchar_t c : w)
            if (static_cast<uint32_t>(c) < 256u)
                bytes[static_cast<uint32_t>(c)] = true;
    }
    bool has(uint32_t c) const {
        if (c < 256u)
            return bytes[c];
        return wide.find(static_cast<wchar_t>(c)) != std::wstring::npos;
    }
};

// Decimal/number-test helpers on a narrow copy.
std::string trimmedNumberCopy(std::string s) {
    cutAtNul(s);
    static const char ws[] = " \r\n\t";
    const size_t e = s.find_last_not_of(ws);
    if (e == std::string::npos)
        return std::string();
    s.resize(e + 1);
    const size_t b = s.find_first_not_of(ws);
    return s.substr(b);
}
bool isIntText(const std::string& text) {
    const std::string s = trimmedNumberCopy(text);
    if (s.empty())
        return false;
    size_t i = (s[0] == '-' || s[0] == '+') ? 1 : 0;
    if (i == s.size())
        return false;
    for (; i < s.size(); ++i)
        if (s[i] < '0' || s[i] > '9')
            return false;
    return true;
}

using Hit = StringPatterns::Hit;

} // namespace

// Helpers that need the representation.
struct ostringImpl {
    // The in-place append must cut a narrow target at its first NUL, which needs to
    // know whether the target holds one. So that k appends stay linear, a narrow object remembers
    // in its idle wide member how long a prefix is known to hold no NUL: {nulFreeTag, length}. The
    // idle member is never read as text (every read goes to the live member). Appends at the end
    // keep the record true; every other change of the narrow text drops it (forgetNulFree).
    static constexpr wchar_t nulFreeTag = static_cast<wchar_t>(0x4E554C46); // "NULF"
    static size_t knownNulFree(const ostring& s) {
        if (s.m_wstr.size() == 2 && s.m_wstr[0] == nulFreeTag)
            return std::min<size_t>(static_cast<uint32_t>(s.m_wstr[1]), s.m_str.size());
        return 0;
    }
    static void rememberNulFree(ostring& s, size_t n) {
        if (n > 0xFFFFFFFFu) {
            s.m_wstr.clear();
            return;
        }
        s.m_wstr.assign({nulFreeTag, static_cast<wchar_t>(static_cast<uint32_t>(n))});
    }
    // Every change of a narrow text other than an append at its end drops the record.
    static void forgetNulFree(ostring& s) {
        if (!s.m_unicode)
            s.m_wstr.clear();
    }
    // Where the narrow target's first NUL is (size() when none), scanning only the unknown part.
    static size_t firstNul(ostring& s) {
        const size_t known = knownNulFree(s);
        const size_t n = s.m_str.size();
        const void* z = std::memchr(s.m_str.data() + known, 0, n - known);
        return z ? static_cast<size_t>(static_cast<const char*>(z) - s.m_str.data()) : n;
    }

    static ostring narrowResult(std::string&& s) {
        ostring r;
        cutAtNul(s);
        r.m_str = std::move(s);
        return r;
    }
    static ostring wideResult(std::wstring&& w) {
        ostring r;
        r.m_unicode = true;
        r.m_wstr = std::move(w);
        return r;
    }
    // The needle as findFirstOf/findLastOf compare it in a narrow text: the substring there is
    // built through set() and so ends at a NUL, which means a needle that holds a NUL (or a wide
    // character without a narrow form) is never found. False: never found.
    static bool narrowNeedle(const ostring& n, std::string& out) {
        if (n.m_unicode) {
            out.resize(n.m_wstr.size());
            for (size_t i = 0; i < n.m_wstr.size(); ++i) {
                const uint32_t c = static_cast<uint32_t>(n.m_wstr[i]);
                if (c == 0 || c >= 256u)
                    return false;
                out[i] = static_cast<char>(c);
            }
            return true;
        }
        out = n.m_str;
        return std::memchr(out.data(), 0, out.size()) == nullptr;
    }
    static std::wstring wideNeedle(const ostring& n) { return n.m_unicode ? n.m_wstr : widenAll(n.m_str); }

    // Every occurrence search, in place. A searcher prepared once for a
    // needle, then asked for the next occurrence at or after a position.
    struct Finder {
        const ostring& text;
        bool findable = true;
        std::string n8;
        std::wstring nw;
        size_t len = 0;
        Finder(const ostring& t, const ostring& needle) : text(t) {
            if (t.m_unicode) {
                nw = wideNeedle(needle);
                len = nw.size();
            } else {
                findable = narrowNeedle(needle, n8);
                len = n8.size();
            }
            if (len == 0)
                findable = false;
        }
        // findFirstOf's rule: -1 when the text is empty or start (as signed) is not below size.
        int next(unsigned int start) const {
            const int size = static_cast<int>(text.size());
            if (!findable || size == 0 || static_cast<int>(start) >= size)
                return -1;
            const size_t p = text.m_unicode ? text.m_wstr.find(nw, start) : text.m_str.find(n8, start);
            return p == std::string::npos ? -1 : static_cast<int>(p);
        }
    };

    static void appendText(ostring& target, const std::string& text) {
        if (target.m_unicode) {
            const size_t old = target.m_wstr.size();
            target.m_wstr.resize(old + text.size());
            for (size_t i = 0; i < text.size(); ++i)
                target.m_wstr[old + i] = widenChar(text[i]);
        } else {
            // The in-place append builds a narrow result: a target that holds a NUL is cut there
            // and gets nothing; otherwise the value's text is kept up to its own first NUL.
            const size_t cut = firstNul(target);
            if (cut != target.m_str.size()) {
                target.m_str.resize(cut);
            } else {
                target.m_str.append(text.data(), nulCut(text));
            }
            rememberNulFree(target, target.m_str.size());
        }
    }
    static void appendOstring(ostring& target, const ostring& v) {
        if (&target == &v) {
            const ostring copy(v);
            appendOstring(target, copy);
            return;
        }
        if (target.m_unicode) {
            if (v.m_unicode)
                target.m_wstr.append(v.m_wstr);
            else
                target.m_wstr.append(widenAll(v.m_str));
            return;
        }
        const size_t cut = firstNul(target);
        if (cut != target.m_str.size()) {
            target.m_str.resize(cut);
        } else if (v.m_unicode) {
            std::string n = narrowAll(v.m_wstr);
            target.m_str.append(n.data(), nulCut(n));
        } else {
            target.m_str.append(v.m_str.data(), nulCut(v.m_str));
        }
        rememberNulFree(target, target.m_str.size());
    }
    static ostring valueFirst(const std::string& text, const ostring& s) {
        if (s.m_unicode) {
            std::wstring w = widenAll(text);
            w.append(s.m_wstr);
            return wideResult(std::move(w));
        }
        std::string n = text;
        n.append(s.m_str);
        return narrowResult(std::move(n));
    }
    static ostring plusChar8(const ostring& l, char c) {
        std::string n = l.m_str;
        cutAtNul(n);
        n.push_back(c);
        ostring r;
        r.m_str = std::move(n);
        return r;
    }
    static ostring plusInt(const ostring& l, unsigned long long v) {
        if (l.m_unicode) {
            std::wstring w = l.m_wstr;
            w.push_back(static_cast<wchar_t>(v & 0xFFFFu));
            return wideResult(std::move(w));
        }
        return plusChar8(l, static_cast<char>(static_cast<unsigned char>(v & 0xFFu)));
    }
    static ostring plusText(const ostring& l, const std::string& text) {
        if (l.m_unicode) {
            std::wstring w = l.m_wstr;
            w.append(widenAll(text));
            return wideResult(std::move(w));
        }
        return narrowResult(l.m_str + text);
    }
    static void appendUnit(ostring& s, unsigned long long v) {
        if (s.m_unicode)
            s.m_wstr.push_back(static_cast<wchar_t>(v & 0xFFFFu));
        else
            s.m_str.push_back(static_cast<char>(static_cast<unsigned char>(v & 0xFFu)));
    }
    static int exactCompare(const ostring& a, const ostring& b) {
        if (!a.m_unicode && !b.m_unicode) { // memcmp: unsigned bytes, a prefix first
            const int c = a.m_str.compare(b.m_str);
            return c < 0 ? -1 : (c > 0 ? 1 : 0);
        }
        if (a.m_unicode && b.m_unicode)
            return compareUnits(a.m_wstr.data(), a.m_wstr.size(), b.m_wstr.data(), b.m_wstr.size());
        if (a.m_unicode)
            return compareUnits(a.m_wstr.data(), a.m_wstr.size(), b.m_str.data(), b.m_str.size());
        return compareUnits(a.m_str.data(), a.m_str.size(), b.m_wstr.data(), b.m_wstr.size());
    }
    static bool exactEqual(const ostring& a, const ostring& b) {
        if (a.size() != b.size())
            return false;
        if (!a.m_unicode && !b.m_unicode)
            return a.m_str == b.m_str;
        if (a.m_unicode && b.m_unicode)
            return a.m_wstr == b.m_wstr;
        return exactCompare(a, b) == 0;
    }
    // The left operand is brought into the right operand's form.
    static int ciCompare(const ostring& a, const ostring& b) {
        if (!b.m_unicode) {
            if (!a.m_unicode)
                return ciCompareNarrow(a.m_str.c_str(), a.m_str.size(), b.m_str.c_str(), b.m_str.size());
            const std::string l = narrowAll(a.m_wstr);
            return ciCompareNarrow(l.c_str(), l.size(), b.m_str.c_str(), b.m_str.size());
        }
        if (a.m_unicode)
            return ciCompareWide(a.m_wstr.c_str(), b.m_wstr.c_str());
        const std::wstring l = widenAll(a.m_str);
        return ciCompareWide(l.c_str(), b.m_wstr.c_str());
    }
};

// ======================= construction and conversion =======================

ostring::ostring() : m_unicode(false) {}
ostring::ostring(const char& c) : m_unicode(false), m_str(1, c) {}
ostring::ostring(const wchar_t& c) : m_unicode(true), m_wstr(1, c) {}
ostring::ostring(const char* text) : m_unicode(false), m_str(text ? text : "") {}
ostring::ostring(const wchar_t* text) : m_unicode(true), m_wstr(text ? text : L"") {}
ostring::ostring(const std::wstring& text) : m_unicode(true), m_wstr(text) {}
ostring::ostring(const wxString& text) : m_unicode(true) {
    const auto& buf = text.wc_str(); // a pointer, or a buffer in UTF-8 builds of wx
    const wchar_t* p = buf;
    m_wstr.assign(p, std::wcslen(p)); // up to the first NUL
}
ostring::ostring(const std::string& bytes, const ostring& charset) : m_unicode(false) {
    set(bytes, charset);
}
ostring::ostring(const ostring& other) = default;
ostring::ostring(ostring&& other) noexcept
    : m_unicode(other.m_unicode), m_str(std::move(other.m_str)), m_wstr(std::move(other.m_wstr)) {}
ostring& ostring::operator=(const ostring& other) {
    if (this != &other) {
        m_unicode = other.m_unicode;
        m_str = other.m_str;
        m_wstr = other.m_wstr;
    }
    return *this;
}
ostring& ostring::operator=(ostring&& other) noexcept {
    if (this != &other) {
        m_unicode = other.m_unicode;
        m_str = std::move(other.m_str);
        m_wstr = std::move(other.m_wstr);
    }
    return *this;
}
ostring::~ostring() = default;

ostring& ostring::clear() {
    ostringImpl::forgetNulFree(*this);
    if (m_unicode)
        m_wstr.clear();
    else
        m_str.clear();
    return *this;
}

std::string ostring::str() const {
    return m_unicode ? narrowAll(m_wstr) : m_str;
}
std::wstring ostring::wstr() const {
    return m_unicode ? m_wstr : widenAll(m_str);
}
std::wstring ostring::dstr() const {
    return wstr();
}
wxString ostring::wxstr() const {
    const std::wstring w = wstr();
    return wxString(w.c_str()); // up to the first NUL
}
bool ostring::isUnicode() const {
    return m_unicode;
}

wchar_t ostring::widen(const char& c) {
    return widenChar(c);
}
char ostring::narrow(const wchar_t& c) {
    return narrowChar(c);
}

std::string ostring::convert(const std::string& bytes, const ostring& from, const ostring& to,
                             std::string* error) {
    if (bytes.empty())
        return bytes;
    if (from == to)
        return bytes;
    // "CHAR" (Defines::appEncoding) is resolved here only, so that the literal from == to
    // short-cut above still holds; it names CP1252 (docs/linux.md).
    std::string f = from.str(), t = to.str();
    if (isCharsetChar(f))
        f = "CP1252";
    if (isCharsetChar(t))
        t = "CP1252";
    GError* err = nullptr;
    gsize written = 0;
    // The whole input, NULs included, and every byte written: UTF-16 and UTF-32 hold NULs.
    gchar* out = g_convert(bytes.data(), static_cast<gssize>(bytes.size()), t.c_str(), f.c_str(), nullptr,
                           &written, &err);
    if (out == nullptr) {
        if (err != nullptr && error != nullptr)
            *error = err->message;
        if (err != nullptr)
            g_error_free(err);
        return bytes;
    }
    std::string result(out, written);
    g_free(out);
    if (err != nullptr)
        g_error_free(err);
    return result;
}

namespace {

// A wide text with characters at or above 256 as UTF-8. Units below 256 read as str() reads them
// (0x80-0x9F are the CP1252 characters they were widened from); pairs and lone surrogates follow
// the suite's one rule for text that is no character.
std::string wideToUtf8(const std::wstring& w) {
    std::wstring characters = w;
    for (wchar_t& c : characters)
        if (static_cast<uint32_t>(c) >= 0x80 && static_cast<uint32_t>(c) < 0xA0)
            c = static_cast<wchar_t>(Cp1252::toUnicode(static_cast<unsigned char>(c)));
    return Utf::toUtf8(characters);
}

} // namespace

std::string ostring::get(const ostring& charset) const {
    if (size() == 0)
        return std::string();
    // Wide text that str() can hold whole converts as narrow text does.
    if (!m_unicode ||
        std::all_of(m_wstr.begin(), m_wstr.end(), [](wchar_t c) { return static_cast<uint32_t>(c) < 256u; }))
        return convert(str(), Defines::appEncoding(), charset, nullptr);
    // Characters str() would turn into NUL: from UTF-8, which a failed conversion gives back.
    return convert(wideToUtf8(m_wstr), ostring("UTF-8"), charset, nullptr);
}

ostring& ostring::set(const std::string& bytes, const ostring& charset) {
    ostringImpl::forgetNulFree(*this);
    const std::string in(bytes.data(), nulCut(bytes));
    std::string r = convert(in, charset, Defines::appEncoding(), nullptr);
    if (m_unicode)
        m_wstr = widenAll(r);
    else
        m_str = std::move(r);
    return *this;
}

ostring& ostring::setUnicode(const bool& unicode) {
    if (unicode && !m_unicode) {
        m_wstr = widenAll(m_str);
        m_str.clear();
        m_unicode = true;
    } else if (!unicode && m_unicode) {
        m_str = narrowAll(m_wstr);
        m_wstr.clear();
        m_unicode = false;
    }
    return *this;
}

unsigned int ostring::size() const {
    return static_cast<unsigned int>(m_unicode ? m_wstr.size() : m_str.size());
}
char ostring::at(const unsigned int& i) const {
    if (i >= size())
        return '\0';
    return m_unicode ? narrowChar(m_wstr[i]) : m_str[i];
}
wchar_t ostring::wat(const unsigned int& i) const {
    if (i >= size())
        return L'\0';
    return m_unicode ? m_wstr[i] : widenChar(m_str[i]);
}
wchar_t ostring::operator[](const unsigned int& i) const {
    return wat(i);
}

ostring& ostring::resize(const unsigned int& n, const char& c) {
    ostringImpl::forgetNulFree(*this);
    if (m_unicode)
        m_wstr.resize(n, widenChar(c));
    else
        m_str.resize(n, c);
    return *this;
}
ostring& ostring::resize(const unsigned int& n, const wchar_t& c) {
    ostringImpl::forgetNulFree(*this);
    if (m_unicode)
        m_wstr.resize(n, c);
    else
        m_str.resize(n, narrowChar(c));
    return *this;
}
ostring& ostring::append(const unsigned int& count, const char& c) {
    if (m_unicode)
        m_wstr.append(count, widenChar(c));
    else
        m_str.append(count, c);
    return *this;
}
ostring& ostring::append(const unsigned int& count, const wchar_t& c) {
    if (m_unicode)
        m_wstr.append(count, c);
    else
        m_str.append(count, narrowChar(c));
    return *this;
}
ostring& ostring::insert(const unsigned int& pos, const unsigned int& count, const char& c) {
    ostringImpl::forgetNulFree(*this);
    if (m_unicode)
        m_wstr.insert(pos, count, widenChar(c));
    else
        m_str.insert(pos, count, c);
    return *this;
}
ostring& ostring::insert(const unsigned int& pos, const unsigned int& count, const wchar_t& c) {
    ostringImpl::forgetNulFree(*this);
    if (m_unicode)
        m_wstr.insert(pos, count, c);
    else
        m_str.insert(pos, count, narrowChar(c));
    return *this;
}
ostring& ostring::insert(const unsigned int& pos, const ostring& other) {
    ostringImpl::forgetNulFree(*this);
    if (m_unicode)
        m_wstr.insert(pos, other.wstr());
    else
        m_str.insert(pos, other.str());
    return *this;
}

ostring& ostring::operator+=(const char& c) {
    if (m_unicode)
        m_wstr.push_back(widenChar(c));
    else
        m_str.push_back(c);
    return *this;
}
ostring& ostring::operator+=(const wchar_t& c) {
    if (m_unicode)
        m_wstr.push_back(c);
    else
        m_str.push_back(narrowChar(c));
    return *this;
}
ostring& ostring::operator+=(const short& v) {
    ostringImpl::appendUnit(*this, static_cast<unsigned long long>(v));
    return *this;
}
ostring& ostring::operator+=(const int& v) {
    ostringImpl::appendUnit(*this, static_cast<unsigned long long>(v));
    return *this;
}
ostring& ostring::operator+=(const long& v) {
    ostringImpl::appendUnit(*this, static_cast<unsigned long long>(v));
    return *this;
}
ostring& ostring::operator+=(const long long& v) {
    ostringImpl::appendUnit(*this, static_cast<unsigned long long>(v));
    return *this;
}
ostring& ostring::operator+=(const unsigned int& v) {
    ostringImpl::appendUnit(*this, v);
    return *this;
}
ostring& ostring::operator+=(const unsigned long& v) {
    ostringImpl::appendUnit(*this, v);
    return *this;
}
ostring& ostring::operator+=(const unsigned long long& v) {
    ostringImpl::appendUnit(*this, v);
    return *this;
}
ostring& ostring::operator+=(const float& v) {
    return *this += static_cast<double>(v);
}
ostring& ostring::operator+=(const double& v) {
    const std::string t = dblText(v);
    if (m_unicode)
        m_wstr.append(widenAll(t));
    else
        m_str.append(t);
    return *this;
}
ostring& ostring::operator+=(const ostring& other) {
    if (m_unicode)
        m_wstr.append(other.m_unicode ? other.m_wstr : widenAll(other.m_str));
    else
        m_str.append(other.m_unicode ? narrowAll(other.m_wstr) : other.m_str);
    return *this;
}

// ======================= comparison, case, trimming, glob =======================

bool ostring::operator==(const ostring& other) const {
    return ostringImpl::exactEqual(*this, other);
}
bool ostring::operator!=(const ostring& other) const {
    return !ostringImpl::exactEqual(*this, other);
}
bool ostring::operator<(const ostring& other) const {
    return ostringImpl::exactCompare(*this, other) < 0;
}
bool ostring::operator<=(const ostring& other) const {
    return ostringImpl::exactCompare(*this, other) <= 0;
}
bool ostring::operator>(const ostring& other) const {
    return ostringImpl::exactCompare(*this, other) > 0;
}
bool ostring::operator>=(const ostring& other) const {
    return ostringImpl::exactCompare(*this, other) >= 0;
}

bool ostring::ci_eq(const ostring& other) const {
    return ostringImpl::ciCompare(*this, other) == 0;
}
bool ostring::ci_lt(const ostring& other) const {
    return ostringImpl::ciCompare(*this, other) < 0;
}
bool ostring::ci_gt(const ostring& other) const {
    return ostringImpl::ciCompare(*this, other) > 0;
}
bool ostring::ci_lte(const ostring& other) const {
    return ci_lt(other) || ci_eq(other);
}
bool ostring::ci_gte(const ostring& other) const {
    return ci_gt(other) || ci_eq(other);
}

// Classic mapping only. A wide character at or above 256 is left as it is: narrowing it and
// widening it back would turn it into NUL.
ostring& ostring::toUpper() {
    if (m_unicode) {
        for (wchar_t& c : m_wstr)
            if (c >= L'a' && c <= L'z')
                c = static_cast<wchar_t>(c - 32);
    } else {
        for (char& c : m_str)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 32);
    }
    return *this;
}
ostring& ostring::toLower() {
    if (m_unicode) {
        for (wchar_t& c : m_wstr)
            if (c >= L'A' && c <= L'Z')
                c = static_cast<wchar_t>(c + 32);
    } else {
        for (char& c : m_str)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c + 32);
    }
    return *this;
}

ostring& ostring::trimLeft(const ostring& chars) {
    ostringImpl::forgetNulFree(*this);
    if (size() == 0 || chars.size() == 0)
        return *this;
    const TrimSet set(chars.wstr());
    const size_t n = size();
    size_t i = 0;
    while (i < n && set.has(m_unicode ? unitOf(m_wstr[i]) : unitOf(m_str[i])))
        ++i;
    if (m_unicode)
        m_wstr.erase(0, i);
    else
        m_str.erase(0, i);
    return *this;
}
ostring& ostring::trimRight(const ostring& chars) {
    ostringImpl::forgetNulFree(*this);
    if (size() == 0 || chars.size() == 0)
        return *this;
    const TrimSet set(chars.wstr());
    size_t n = size();
    while (n > 0 && set.has(m_unicode ? unitOf(m_wstr[n - 1]) : unitOf(m_str[n - 1])))
        --n;
    if (m_unicode)
        m_wstr.resize(n);
    else
        m_str.resize(n);
    return *this;
}
ostring& ostring::trim(const ostring& chars) {
    trimRight(chars);
    return trimLeft(chars);
}

bool ostring::glob(const ostring& pattern) const {
    if (size() == 0 || pattern.size() == 0)
        return size() == 0 && pattern.size() == 0;
    // Matched as NUL-terminated wide texts; a narrow side is widened unit by unit on the fly.
    if (m_unicode) {
        const size_t sn = cLength(m_wstr);
        if (pattern.m_unicode)
            return globUnits(m_wstr.data(), sn, pattern.m_wstr.data(), cLength(pattern.m_wstr));
        return globUnits(m_wstr.data(), sn, pattern.m_str.data(), cLength(pattern.m_str));
    }
    const size_t sn = cLength(m_str);
    if (pattern.m_unicode)
        return globUnits(m_str.data(), sn, pattern.m_wstr.data(), cLength(pattern.m_wstr));
    return globUnits(m_str.data(), sn, pattern.m_str.data(), cLength(pattern.m_str));
}

int ostring::wideWriterSlot() {
    static const int slot = std::ios_base::xalloc();
    return slot;
}

std::ostream& operator<<(std::ostream& os, const ostring& s) {
    if (s.isUnicode()) {
        if (const auto* writer =
                static_cast<const ostring::WideWriter*>(os.pword(ostring::wideWriterSlot()))) {
            writer->write(os, s);
            return os;
        }
    }
    return os << s.str();
}
std::wostream& operator<<(std::wostream& os, const ostring& s) {
    return os << s.wstr();
}
ostring operator<<(const wchar_t* text, const ostring& s) {
    std::wstring w(text ? text : L"");
    w.append(s.wstr());
    return ostring(w);
}
ostring operator<<(const std::wstring& text, const ostring& s) {
    return ostring(text + s.wstr());
}

// ======================= regular expressions =======================

bool ostring::match(const ostring& re) const {
    // Text and pattern both narrow; a wide character above 255 takes part as NUL.
    return StringPatterns::matchesWhole(str(), re.str(), re.wstr());
}

std::vector<ostring> ostring::find(const ostring& re, std::vector<unsigned int>& positions) const {
    std::vector<ostring> out;
    if (size() == 0)
        return out;
    // Each position counts from the end of the previous match (the first from the start).
    size_t prevEnd = 0;
    if (m_unicode) {
        for (const Hit& h : StringPatterns::searchAll(m_wstr, re.wstr())) {
            positions.push_back(static_cast<unsigned int>(h.start - prevEnd));
            out.push_back(ostringImpl::wideResult(m_wstr.substr(h.start, h.length)));
            prevEnd = h.start + h.length;
        }
    } else {
        for (const Hit& h : StringPatterns::searchAll(m_str, re.str(), re.wstr())) {
            positions.push_back(static_cast<unsigned int>(h.start - prevEnd));
            ostring piece;
            piece.m_str.assign(m_str, h.start, h.length);
            out.push_back(std::move(piece));
            prevEnd = h.start + h.length;
        }
    }
    return out;
}

ostring& ostring::replace(const ostring& re, const ostring& with) {
    ostringImpl::forgetNulFree(*this);
    if (size() == 0)
        return *this;
    // The same matches as find(); the units between them (those skipped after an empty match
    // included) are copied, so replace("a*", "#") on "bc" gives "#b#c#".
    auto rebuild = [](const auto& text, const auto& hits, const auto& w) {
        std::decay_t<decltype(text)> out;
        out.reserve(text.size());
        size_t from = 0;
        for (const Hit& h : hits) {
            out.append(text, from, h.start - from);
            out.append(w);
            from = h.start + h.length;
        }
        if (from < text.size())
            out.append(text, from, std::string::npos);
        return out;
    };
    if (m_unicode) {
        const std::vector<Hit> hits = StringPatterns::searchAll(m_wstr, re.wstr());
        if (!hits.empty())
            m_wstr = rebuild(m_wstr, hits, with.wstr());
    } else {
        const std::vector<Hit> hits = StringPatterns::searchAll(m_str, re.str(), re.wstr());
        if (!hits.empty())
            m_str = rebuild(m_str, hits, with.str());
    }
    return *this;
}

// ======================= replacement, tokenizing, line ends =======================

ostring& ostring::replaceAll(const ostring& pattern, const ostring& with) {
    ostringImpl::forgetNulFree(*this);
    if (size() == 0)
        return *this;
    const ostringImpl::Finder finder(*this, pattern);
    int p = finder.next(0);
    if (p < 0)
        return *this;
    // The copied runs keep their embedded NULs: cutting each run at its first NUL, as a narrow
    // substring would, loses the rest of the run.
    if (m_unicode) {
        const std::wstring w = with.wstr();
        std::wstring out;
        out.reserve(m_wstr.size());
        size_t from = 0;
        while (p >= 0) {
            out.append(m_wstr, from, static_cast<size_t>(p) - from);
            out.append(w);
            from = static_cast<size_t>(p) + finder.len;
            p = finder.next(static_cast<unsigned int>(from));
        }
        out.append(m_wstr, from, std::wstring::npos);
        m_wstr.swap(out);
    } else {
        const std::string w = with.str();
        std::string out;
        out.reserve(m_str.size());
        size_t from = 0;
        while (p >= 0) {
            out.append(m_str, from, static_cast<size_t>(p) - from);
            out.append(w);
            from = static_cast<size_t>(p) + finder.len;
            p = finder.next(static_cast<unsigned int>(from));
        }
        out.append(m_str, from, std::string::npos);
        m_str.swap(out);
    }
    return *this;
}

ostring& ostring::replaceAll(const std::vector<ostring>& patterns, const ostring& with) {
    for (const ostring& p : patterns)
        replaceAll(p, with);
    return *this;
}

std::vector<ostring> ostring::tokenize(const ostring& separator, const bool& keepEmpty) const {
    std::vector<ostring> out;
    if (size() == 0)
        return out;
    const ostringImpl::Finder finder(*this, separator);
    unsigned int start = 0;
    int p = finder.next(start);
    while (p >= 0) {
        ostring piece = substr(start, p - static_cast<int>(start));
        if (keepEmpty || piece.size() != 0)
            out.push_back(std::move(piece));
        start = static_cast<unsigned int>(p) + static_cast<unsigned int>(finder.len);
        p = finder.next(start);
    }
    if (start < size()) {
        ostring rest = substr(start, npos);
        if (keepEmpty || rest.size() != 0)
            out.push_back(std::move(rest));
    }
    return out;
}

std::vector<ostring> ostring::tokenize(const std::vector<ostring>& separators, const bool& keepEmpty) const {
    std::vector<ostring> out;
    if (size() == 0)
        return out;
    std::vector<ostringImpl::Finder> finders;
    finders.reserve(separators.size());
    for (const ostring& s : separators)
        finders.emplace_back(*this, s);
    // Next occurrence of each separator at or after the piece start; an earlier result stays valid
    // while it is not before the piece start (-2: not searched yet, -1: none left).
    std::vector<int> next(finders.size(), -2);
    unsigned int start = 0;
    for (;;) {
        int best = -1;
        size_t bestIdx = 0;
        for (size_t i = 0; i < finders.size(); ++i) {
            if (next[i] == -2 || (next[i] >= 0 && static_cast<unsigned int>(next[i]) < start))
                next[i] = finders[i].next(start);
            if (next[i] >= 0 && (best < 0 || next[i] < best)) {
                best = next[i];
                bestIdx = i;
            }
        }
        if (best < 0)
            break;
        ostring piece = substr(start, best - static_cast<int>(start));
        if (keepEmpty || piece.size() != 0)
            out.push_back(std::move(piece));
        start = static_cast<unsigned int>(best) + static_cast<unsigned int>(finders[bestIdx].len);
    }
    ostring rest = substr(start, npos);
    if (keepEmpty || rest.size() != 0)
        out.push_back(std::move(rest));
    return out;
}

// A lone CR and a lone LF become CRLF and an existing CRLF stays. Three replaceAll passes
// ("\r", "\n", "\r\r\n") would turn CRLF into CRLF CRLF, adding a blank line.
ostring& ostring::unixToDos() {
    ostringImpl::forgetNulFree(*this);
    auto convertLines = [](const auto& in, auto& out) {
        using C = typename std::decay_t<decltype(in)>::value_type;
        out.reserve(in.size() + in.size() / 16);
        for (size_t i = 0; i < in.size(); ++i) {
            const C c = in[i];
            if (c == C('\r')) {
                out.push_back(C('\r'));
                out.push_back(C('\n'));
                if (i + 1 < in.size() && in[i + 1] == C('\n'))
                    ++i;
            } else if (c == C('\n')) {
                out.push_back(C('\r'));
                out.push_back(C('\n'));
            } else {
                out.push_back(c);
            }
        }
    };
    if (m_unicode) {
        std::wstring out;
        convertLines(m_wstr, out);
        m_wstr.swap(out);
    } else {
        std::string out;
        convertLines(m_str, out);
        m_str.swap(out);
    }
    return *this;
}

ostring& ostring::dosToUnix() {
    return replaceAll(ostring("\r\n"), ostring("\n"));
}

// ======================= concatenation and number text =======================

ostring ostring::operator+(const ostring& other) const {
    if (m_unicode)
        return ostringImpl::wideResult(m_wstr + other.wstr());
    if (other.m_unicode)
        return ostringImpl::wideResult(widenAll(m_str) + other.m_wstr);
    std::string n = m_str;
    cutAtNul(n);
    n.append(other.m_str);
    ostring r;
    r.m_str = std::move(n);
    return r;
}
ostring ostring::operator+(const char& c) const {
    if (m_unicode)
        return ostringImpl::wideResult(m_wstr + widenChar(c));
    return ostringImpl::plusChar8(*this, c);
}
ostring ostring::operator+(const wchar_t& c) const {
    if (m_unicode)
        return ostringImpl::wideResult(m_wstr + c);
    return ostringImpl::plusChar8(*this, narrowChar(c));
}
ostring ostring::operator+(const short& v) const {
    return ostringImpl::plusInt(*this, static_cast<unsigned long long>(v));
}
ostring ostring::operator+(const int& v) const {
    return ostringImpl::plusInt(*this, static_cast<unsigned long long>(v));
}
ostring ostring::operator+(const unsigned int& v) const {
    return ostringImpl::plusInt(*this, v);
}
ostring ostring::operator+(const long& v) const {
    return ostringImpl::plusInt(*this, static_cast<unsigned long long>(v));
}
ostring ostring::operator+(const unsigned long& v) const {
    return ostringImpl::plusInt(*this, v);
}
ostring ostring::operator+(const long long& v) const {
    return ostringImpl::plusInt(*this, static_cast<unsigned long long>(v));
}
ostring ostring::operator+(const unsigned long long& v) const {
    return ostringImpl::plusInt(*this, v);
}
ostring ostring::operator+(const float& v) const {
    return ostringImpl::plusText(*this, dblText(v));
}
ostring ostring::operator+(const double& v) const {
    return ostringImpl::plusText(*this, dblText(v));
}

ostring& operator<<(ostring& t, const short& v) {
    ostringImpl::appendText(t, intText(v));
    return t;
}
ostring& operator<<(ostring& t, const unsigned short& v) {
    ostringImpl::appendText(t, intText(v));
    return t;
}
ostring& operator<<(ostring& t, const int& v) {
    ostringImpl::appendText(t, intText(v));
    return t;
}
ostring& operator<<(ostring& t, const unsigned int& v) {
    ostringImpl::appendText(t, intText(v));
    return t;
}
ostring& operator<<(ostring& t, const long& v) {
    ostringImpl::appendText(t, intText(v));
    return t;
}
ostring& operator<<(ostring& t, const unsigned long& v) {
    ostringImpl::appendText(t, intText(v));
    return t;
}
ostring& operator<<(ostring& t, const long long& v) {
    ostringImpl::appendText(t, intText(v));
    return t;
}
ostring& operator<<(ostring& t, const unsigned long long& v) {
    ostringImpl::appendText(t, intText(v));
    return t;
}
ostring& operator<<(ostring& t, const float& v) {
    ostringImpl::appendText(t, dblText(v));
    return t;
}
ostring& operator<<(ostring& t, const double& v) {
    ostringImpl::appendText(t, dblText(v));
    return t;
}
ostring& operator<<(ostring& t, const wxLongLong& v) {
    ostringImpl::appendText(t, intText(static_cast<long long>(v.GetValue())));
    return t;
}
ostring& operator<<(ostring& t, const wxULongLong& v) {
    ostringImpl::appendText(t, intText(static_cast<unsigned long long>(v.GetValue())));
    return t;
}
ostring& operator<<(ostring& t, const ostring& v) {
    ostringImpl::appendOstring(t, v);
    return t;
}

ostring operator<<(const short& v, const ostring& s) {
    return ostringImpl::valueFirst(intText(v), s);
}
ostring operator<<(const unsigned short& v, const ostring& s) {
    return ostringImpl::valueFirst(intText(v), s);
}
ostring operator<<(const int& v, const ostring& s) {
    return ostringImpl::valueFirst(intText(v), s);
}
ostring operator<<(const unsigned int& v, const ostring& s) {
    return ostringImpl::valueFirst(intText(v), s);
}
ostring operator<<(const long& v, const ostring& s) {
    return ostringImpl::valueFirst(intText(v), s);
}
ostring operator<<(const unsigned long& v, const ostring& s) {
    return ostringImpl::valueFirst(intText(v), s);
}
ostring operator<<(const long long& v, const ostring& s) {
    return ostringImpl::valueFirst(intText(v), s);
}
ostring operator<<(const unsigned long long& v, const ostring& s) {
    return ostringImpl::valueFirst(intText(v), s);
}
ostring operator<<(const float& v, const ostring& s) {
    return ostringImpl::valueFirst(dblText(v), s);
}
ostring operator<<(const double& v, const ostring& s) {
    return ostringImpl::valueFirst(dblText(v), s);
}
ostring operator<<(const wxLongLong& v, const ostring& s) {
    return ostringImpl::valueFirst(intText(static_cast<long long>(v.GetValue())), s);
}
ostring operator<<(const wxULongLong& v, const ostring& s) {
    return ostringImpl::valueFirst(intText(static_cast<unsigned long long>(v.GetValue())), s);
}
// Always narrow: the text, then the right operand's str(), as a narrow result.
ostring operator<<(const char* text, const ostring& s) {
    std::string n(text ? text : "");
    n.append(s.str());
    return ostring(n, Defines::appEncoding());
}
ostring operator<<(const std::string& bytes, const ostring& s) {
    return ostring(bytes + s.str(), Defines::appEncoding());
}

// ======================= substrings, number tests, search, path join ==============

ostring ostring::substr(const unsigned int& start, const int& length) const {
    if (size() == 0)
        return ostring();
    const size_t count = length < 0 ? std::string::npos : static_cast<size_t>(length);
    if (m_unicode)
        return ostringImpl::wideResult(m_wstr.substr(start, count)); // throws past the end
    return ostringImpl::narrowResult(m_str.substr(start, count));
}

bool ostring::isInt() const {
    if (size() == 0)
        return false;
    return isIntText(str());
}

bool ostring::isIntHexa() const {
    const unsigned int n = size();
    if (n <= 2)
        return false;
    if (wat(0) != L'0' || (wat(1) != L'x' && wat(1) != L'X'))
        return false;
    for (unsigned int i = 2; i < n; ++i) {
        const uint32_t c = unitOf(wat(i));
        const bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (!hex)
            return false;
    }
    return true;
}

bool ostring::isFloat() const {
    if (size() == 0)
        return false;
    const std::string s = trimmedNumberCopy(str());
    if (s.empty())
        return false;
    size_t i = (s[0] == '-' || s[0] == '+') ? 1 : 0;
    if (i == s.size())
        return false;
    bool digit = false, point = false;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (c >= '0' && c <= '9') {
            digit = true;
        } else if (c == '.') {
            if (point)
                return false;
            point = true;
        } else if ((c == 'e' || c == 'E') && i + 1 < s.size()) {
            return isIntText(s.substr(i + 1));
        } else {
            return false;
        }
    }
    return digit;
}

int ostring::findFirstOf(const ostring& needle, const unsigned int& start) const {
    return ostringImpl::Finder(*this, needle).next(start);
}

int ostring::findLastOf(const ostring& needle, const int& start) const {
    const size_t n = size();
    if (n == 0 || needle.size() == 0 || needle.size() > n)
        return -1;
    const ostringImpl::Finder finder(*this, needle);
    if (!finder.findable)
        return -1;
    // The match must end at or before `start` (taken as unsigned: negative or past the end means
    // from the end).
    const size_t last = static_cast<size_t>(static_cast<unsigned int>(start));
    size_t from;
    if (last >= n)
        from = std::string::npos;
    else if (last + 1 < finder.len)
        return -1;
    else
        from = last + 1 - finder.len;
    const size_t p = m_unicode ? m_wstr.rfind(finder.nw, from) : m_str.rfind(finder.n8, from);
    return p == std::string::npos ? -1 : static_cast<int>(p);
}

std::vector<unsigned int> ostring::findAll(const ostring& needle, const unsigned int& start) const {
    std::vector<unsigned int> out;
    if (size() == 0)
        return out;
    const ostringImpl::Finder finder(*this, needle);
    int p = finder.next(start);
    while (p >= 0) {
        out.push_back(static_cast<unsigned int>(p));
        p = finder.next(static_cast<unsigned int>(p) + static_cast<unsigned int>(finder.len));
    }
    return out;
}

ostring ostring::operator/(const ostring& right) const {
    // The first character of the native separator ("/" on Linux; HelperFuncs::getDirSep).
    const wchar_t sep = static_cast<wchar_t>(wxFileName::GetPathSeparator().GetValue());
    if (m_unicode) {
        std::wstring r = right.wstr();
        std::wstring out = m_wstr;
        const bool leftEnds = !out.empty() && out.back() == sep;
        const bool rightBegins = !r.empty() && r.front() == sep;
        if (!leftEnds && !rightBegins)
            out.push_back(sep);
        out.append(r);
        return ostringImpl::wideResult(std::move(out));
    }
    const char s8 = narrowChar(sep);
    const std::string r = right.str();
    std::string out = m_str;
    const bool leftEnds = !out.empty() && out.back() == s8;
    const bool rightBegins = !r.empty() && r.front() == s8;
    if (!leftEnds && !rightBegins)
        out.push_back(s8);
    out.append(r);
    return ostringImpl::narrowResult(std::move(out));
}

} // namespace Strings
} // namespace PBN

bool ci_eq(const PBN::Strings::ostring& a, const PBN::Strings::ostring& b) {
    return a.ci_eq(b);
}
bool ci_lt(const PBN::Strings::ostring& a, const PBN::Strings::ostring& b) {
    return a.ci_lt(b);
}
bool ci_gt(const PBN::Strings::ostring& a, const PBN::Strings::ostring& b) {
    return a.ci_gt(b);
}
bool ci_lte(const PBN::Strings::ostring& a, const PBN::Strings::ostring& b) {
    return a.ci_lte(b);
}
bool ci_gte(const PBN::Strings::ostring& a, const PBN::Strings::ostring& b) {
    return a.ci_gte(b);
}
