#include "ferrulon/mpfloat.h"

#include <algorithm>
#include <cctype>
#include <cfloat>
#include <climits>
#include <cstddef>
#include <istream>
#include <locale>
#include <new>
#include <ostream>
#include <sstream>
#include <string>
#include <type_traits>

#include "ferrulon/mpfloatAccess.h"

#if defined(__SANITIZE_ADDRESS__)
#define FRX_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define FRX_ADDRESS_SANITIZER 1
#endif
#endif
#ifdef FRX_ADDRESS_SANITIZER
#include <sanitizer/asan_interface.h>
#endif

using PBN::Strings::ostring;

static_assert(std::is_standard_layout_v<mpfloat>, "mpfloat must stay usable as an MPFR number");
static_assert(mpfloat::ROUND_NEAREST == 0 && mpfloat::ROUND_TO_ZERO == 1 && mpfloat::ROUND_UP == 2 &&
              mpfloat::ROUND_DOWN == 3);

unsigned long mpfloat::_currPrec = static_cast<unsigned long>(mpfr_get_default_prec());
mpfr_rnd_t mpfloat::_currRound = mpfr_get_default_rounding_mode();

namespace {

// MPFR keeps the constants it computed (pi, log 2, Euler's constant and those its functions need)
// in per-thread caches; the main thread's are given back when the library is unloaded.
struct MpfrCaches {
    ~MpfrCaches() { mpfr_free_cache(); }
} mpfrCaches;

// mpfr_init2 and mpfr_set_prec abort on a precision outside MPFR's range.
mpfr_prec_t validPrec(const unsigned long& prec) {
    return static_cast<mpfr_prec_t>(
        std::clamp<unsigned long>(prec, MPFR_PREC_MIN, static_cast<unsigned long>(MPFR_PREC_MAX)));
}

// Every new value needs a counter and an MPFR number, and results are made and dropped at a
// high rate: a list per thread keeps the storage of values whose last holder went, so that a
// stream of results costs neither GMP's allocator nor operator new. A spare is a counter's block
// with the released MPFR number parked in it; a new value takes the first one and sets its
// precision, and MPFR reallocates the limbs only when they are too few. A spare may return to
// another thread's list than the one it came from; each list clears its numbers and frees its
// blocks when its thread ends, and values released after that go straight back to GMP.
struct SpareBlock {
    SpareBlock* next;
    __mpfr_struct number;
};

constexpr std::size_t kBlockSize = std::max(sizeof(PBN::RefCounter), sizeof(SpareBlock));

struct SparePool {
    SpareBlock* head;
    unsigned size;
    bool closed;
    bool drainArmed;
};

// At most this many spares of at most kSpareBits each per thread (numbers of more bits are
// cleared at once), so that a thread holds on to little memory once its values are gone.
constexpr unsigned kPoolLimit = 128;
constexpr mpfr_prec_t kSpareBits = 32768;

// Trivial and zero-initialised, so that reaching it costs no guard; the initial-exec model
// avoids a call per access.
thread_local SparePool pool __attribute__((tls_model("initial-exec")));

// A parked number's limbs belong to nobody: AddressSanitizer reports a value that still reads them.
void parkLimbs(mpfr_srcptr number, bool parked) {
#ifdef FRX_ADDRESS_SANITIZER
    const std::size_t bytes = static_cast<std::size_t>((mpfr_get_prec(number) + GMP_NUMB_BITS - 1) /
                                                       GMP_NUMB_BITS * static_cast<long>(sizeof(mp_limb_t)));
    if (parked) {
        __asan_poison_memory_region(number->_mpfr_d, bytes);
    } else {
        __asan_unpoison_memory_region(number->_mpfr_d, bytes);
    }
#else
    (void)number;
    (void)parked;
#endif
}

struct PoolDrain {
    ~PoolDrain() {
        while (pool.head != nullptr) {
            SpareBlock* block = pool.head;
            pool.head = block->next;
            parkLimbs(&block->number, false);
            mpfr_clear(&block->number);
            ::operator delete(block);
        }
        pool.size = 0;
        pool.closed = true;
    }
};

// A fresh NaN of `prec` bits in `number`, and its counter with count 1.
PBN::RefCounter* newStorage(mpfr_ptr number, mpfr_prec_t prec) {
    if (SpareBlock* spare = pool.head) {
        pool.head = spare->next;
        --pool.size;
        *number = spare->number;
        parkLimbs(number, false);
        mpfr_set_prec(number, prec);
        return new (spare) PBN::RefCounter(1);
    }
    mpfr_init2(number, prec);
    return new (::operator new(kBlockSize)) PBN::RefCounter(1);
}

// The counter's destructor has nothing to do; its block is reused or freed without it.
void deleteStorage(mpfr_ptr number, PBN::RefCounter* counter) {
    if (pool.closed || pool.size >= kPoolLimit || mpfr_get_prec(number) > kSpareBits) {
        mpfr_clear(number);
        ::operator delete(counter);
        return;
    }
    if (!pool.drainArmed) {
        static thread_local PoolDrain drain; // empties the list when this thread ends
        (void)drain;
        pool.drainArmed = true;
    }
    parkLimbs(number, true);
    pool.head = new (counter) SpareBlock{pool.head, *number};
    ++pool.size;
}

// Sets out from the whole of `text` in `base` (0 or 2 to 62). False when anything but white space
// is left over, a NUL inside the text included (a wide character without a narrow form becomes
// one), or when nothing was read; out is then whatever MPFR made of the text.
bool readWhole(mpfr_ptr out, const std::string& text, int base, mpfr_rnd_t rnd) {
    const char* begin = text.c_str();
    char* end = nullptr;
    mpfr_strtofr(out, begin, &end, base, rnd);
    if (end == begin) {
        return false;
    }
    const char* const last = begin + text.size();
    while (end < last && std::isspace(static_cast<unsigned char>(*end))) {
        ++end;
    }
    return end == last;
}

} // namespace

// ---- storage ----

mpfloat::mpfloat(Fresh, const unsigned long& prec) : counter(newStorage(number, validPrec(prec))) {}

mpfloat::mpfloat() : mpfloat(Fresh{}, _currPrec) {}

mpfloat::mpfloat(const float& value, const mpfr_rnd_t& rnd, const unsigned long& prec)
    : mpfloat(Fresh{}, prec) {
    mpfr_set_d(number, static_cast<double>(value), rnd);
}

mpfloat::mpfloat(const double& value, const mpfr_rnd_t& rnd, const unsigned long& prec)
    : mpfloat(Fresh{}, prec) {
    mpfr_set_ld(number, static_cast<long double>(value), rnd);
}

mpfloat::mpfloat(const short& value, const mpfr_rnd_t& rnd, const unsigned long& prec)
    : mpfloat(Fresh{}, prec) {
    mpfr_set_si(number, value, rnd);
}

mpfloat::mpfloat(const unsigned short& value, const mpfr_rnd_t& rnd, const unsigned long& prec)
    : mpfloat(Fresh{}, prec) {
    mpfr_set_ui(number, value, rnd);
}

mpfloat::mpfloat(const int& value, const mpfr_rnd_t& rnd, const unsigned long& prec)
    : mpfloat(Fresh{}, prec) {
    mpfr_set_si(number, value, rnd);
}

mpfloat::mpfloat(const unsigned int& value, const mpfr_rnd_t& rnd, const unsigned long& prec)
    : mpfloat(Fresh{}, prec) {
    mpfr_set_ui(number, value, rnd);
}

mpfloat::mpfloat(const long& value, const mpfr_rnd_t& rnd, const unsigned long& prec)
    : mpfloat(Fresh{}, prec) {
    mpfr_set_si(number, value, rnd);
}

mpfloat::mpfloat(const unsigned long& value, const mpfr_rnd_t& rnd, const unsigned long& prec)
    : mpfloat(Fresh{}, prec) {
    mpfr_set_ui(number, value, rnd);
}

mpfloat::mpfloat(const ostring& text, const int& base, const mpfr_rnd_t& rnd, const unsigned long& prec)
    : mpfloat(Fresh{}, prec) {
    // MPFR aborts on any other base.
    if ((base == 0 || (base >= 2 && base <= 62)) && !readWhole(number, text.str(), base, rnd)) {
        mpfr_set_nan(number);
    }
}

void mpfloat::destroy() {
    deleteStorage(number, counter);
}

mpfloat& mpfloat::copy(const mpfloat& source, const mpfr_rnd_t& rnd, const unsigned long& prec) {
    // Holding the source's storage first keeps it readable when the source is this value.
    const mpfloat keep(source);
    *this = mpfloatAccess::make(prec, [&](mpfr_ptr out) { mpfr_set(out, keep.number, rnd); });
    return *this;
}

// ---- defaults and precision ----

void mpfloat::setDefaultPrecision(const unsigned long& prec) {
    mpfr_set_default_prec(validPrec(prec));
    _currPrec = static_cast<unsigned long>(validPrec(prec));
}

unsigned long mpfloat::getDefaultPrecision() {
    return _currPrec;
}

void mpfloat::setDefaultRndMode(const mpfr_rnd_t& rnd) {
    mpfr_set_default_rounding_mode(rnd);
    _currRound = rnd;
}

mpfr_rnd_t mpfloat::getDefaultRndMode() {
    return _currRound;
}

void mpfloat::setPrecision(const unsigned long& prec) {
    if (counter->value() > 1) {
        *this = mpfloat(Fresh{}, prec);
    } else {
        mpfr_set_prec(number, validPrec(prec));
    }
}

unsigned long mpfloat::getPrecision() const {
    return static_cast<unsigned long>(mpfr_get_prec(number));
}

void mpfloat::changePrec(const mpfr_rnd_t& rnd, const unsigned long& prec) {
    if (counter->value() > 1) {
        copy(*this, rnd, prec);
    } else {
        mpfr_prec_round(number, validPrec(prec), rnd);
    }
}

int mpfloat::canRound(unsigned long err, const mpfr_rnd_t& rnd1, const mpfr_rnd_t& rnd2,
                      const unsigned long& prec) const {
    return mpfr_can_round(number, static_cast<mpfr_exp_t>(err), rnd1, rnd2, validPrec(prec));
}

// ---- constants ----

mpfloat mpfloat::Pi(const mpfr_rnd_t& rnd, const unsigned long& prec) {
    return mpfloatAccess::make(prec, [&](mpfr_ptr out) { mpfr_const_pi(out, rnd); });
}

mpfloat mpfloat::Log2(const mpfr_rnd_t& rnd, const unsigned long& prec) {
    return mpfloatAccess::make(prec, [&](mpfr_ptr out) { mpfr_const_log2(out, rnd); });
}

mpfloat mpfloat::Euler(const mpfr_rnd_t& rnd, const unsigned long& prec) {
    return mpfloatAccess::make(prec, [&](mpfr_ptr out) { mpfr_const_euler(out, rnd); });
}

// ---- predicates ----

bool isZero(const mpfloat& x) {
    return mpfr_zero_p(mpfloatAccess::num(x)) != 0;
}

bool isInf(const mpfloat& x) {
    return mpfr_inf_p(mpfloatAccess::num(x)) != 0;
}

bool isNan(const mpfloat& x) {
    return mpfr_nan_p(mpfloatAccess::num(x)) != 0;
}

bool isNumber(const mpfloat& x) {
    return mpfr_number_p(mpfloatAccess::num(x)) != 0;
}

int sign(const mpfloat& x) {
    return mpfr_signbit(mpfloatAccess::num(x)) ? -1 : 1;
}

// ---- conversions ----

namespace {

template <typename T> T clampedSigned(const mpfloat& x, const mpfr_rnd_t& rnd) {
    const long v = mpfr_get_si(mpfloatAccess::num(x), rnd);
    return static_cast<T>(std::clamp<long>(v, std::numeric_limits<T>::min(), std::numeric_limits<T>::max()));
}

template <typename T> T clampedUnsigned(const mpfloat& x, const mpfr_rnd_t& rnd) {
    const unsigned long v = mpfr_get_ui(mpfloatAccess::num(x), rnd);
    return static_cast<T>(std::min<unsigned long>(v, std::numeric_limits<T>::max()));
}

} // namespace

short toShort(const mpfloat& x, const mpfr_rnd_t& rnd) {
    return clampedSigned<short>(x, rnd);
}

unsigned short toUShort(const mpfloat& x, const mpfr_rnd_t& rnd) {
    return clampedUnsigned<unsigned short>(x, rnd);
}

int toInt(const mpfloat& x, const mpfr_rnd_t& rnd) {
    return clampedSigned<int>(x, rnd);
}

unsigned int toUInt(const mpfloat& x, const mpfr_rnd_t& rnd) {
    return clampedUnsigned<unsigned int>(x, rnd);
}

long toLong(const mpfloat& x, const mpfr_rnd_t& rnd) {
    return mpfr_get_si(mpfloatAccess::num(x), rnd);
}

unsigned long toULong(const mpfloat& x, const mpfr_rnd_t& rnd) {
    return mpfr_get_ui(mpfloatAccess::num(x), rnd);
}

float toFloat(const mpfloat& x, const mpfr_rnd_t& rnd) {
    const double v = mpfr_get_d(mpfloatAccess::num(x), rnd);
    return static_cast<float>(v > FLT_MAX ? FLT_MAX : v);
}

double toDouble(const mpfloat& x, const mpfr_rnd_t& rnd) {
    return mpfr_get_d(mpfloatAccess::num(x), rnd);
}

// ---- text output ----

namespace {

template <typename Ch>
std::basic_ostream<Ch>& putNumber(std::basic_ostream<Ch>& os, mpfr_srcptr x, const mpfr_rnd_t& rnd, int base,
                                  int digits) {
    const auto widen = [&os](const char* text) {
        for (; *text; ++text) {
            os.put(os.widen(*text));
        }
    };
    if (mpfr_inf_p(x)) {
        widen(mpfr_signbit(x) ? "-Inf" : "Inf");
        return os;
    }
    if (mpfr_nan_p(x)) {
        widen("NaN");
        return os;
    }
    if (mpfr_zero_p(x)) {
        widen(mpfr_signbit(x) ? "-0" : "0");
        return os;
    }
    mpfr_exp_t e = 0;
    char* text = mpfr_get_str(nullptr, &e, base, static_cast<size_t>(std::max(digits, 0)), x, rnd);
    if (text == nullptr) {
        os.setstate(std::ios_base::failbit);
        return os;
    }
    const char* d = text;
    if (*d == '-') {
        os.put(os.widen('-'));
        ++d;
    }
    os.put(os.widen(*d++));
    os.put(os.widen('.'));
    widen(d);
    if (e != 1) {
        // MPFR reads "e" and "E" as the exponent mark only up to base 10 (from base 15 they are
        // digits), "@" in any base.
        os.put(os.widen(base > 10 || base < -10 ? '@' : 'E'));
        os << static_cast<long>(e - 1);
    }
    mpfr_free_str(text);
    return os;
}

} // namespace

std::ostream& mpfloat::put(std::ostream& os, const mpfr_rnd_t& rnd, const unsigned long&, const int& base,
                           const int& digits) const {
    return putNumber(os, number, rnd, base, digits);
}

std::wostream& mpfloat::put(std::wostream& os, const mpfr_rnd_t& rnd, const unsigned long&, const int& base,
                            const int& digits) const {
    return putNumber(os, number, rnd, base, digits);
}

std::ostream& operator<<(std::ostream& os, const mpfloat& x) {
    return x.put(os, mpfloat::getDefaultRndMode(), mpfloat::getDefaultPrecision(), 10, 0);
}

std::wostream& operator<<(std::wostream& os, const mpfloat& x) {
    return x.put(os, mpfloat::getDefaultRndMode(), mpfloat::getDefaultPrecision(), 10, 0);
}

// ---- text input ----

namespace {

std::string narrowToken(const std::string& token) {
    return token;
}

std::string narrowToken(const std::wstring& token) {
    return ostring(token).str();
}

template <typename Ch> std::basic_istream<Ch>& readNumber(std::basic_istream<Ch>& is, mpfloat& x) {
    using Traits = std::char_traits<Ch>;
    if (!is.good()) {
        is.setstate(std::ios_base::failbit);
        return is;
    }
    is >> std::ws;
    std::basic_string<Ch> token;
    std::basic_streambuf<Ch>* in = is.rdbuf();
    const std::ctype<Ch>& types = std::use_facet<std::ctype<Ch>>(is.getloc());
    if (is.good()) {
        for (;;) {
            const typename Traits::int_type c = in->sgetc();
            if (Traits::eq_int_type(c, Traits::eof())) {
                is.setstate(std::ios_base::eofbit);
                break;
            }
            if (types.is(std::ctype_base::space, Traits::to_char_type(c))) {
                break;
            }
            token.push_back(Traits::to_char_type(c));
            in->sbumpc();
        }
    }
    if (token.empty()) {
        is.setstate(std::ios_base::failbit);
        return is;
    }
    // Read aside, so that a token that is not a number leaves x as it was.
    bool whole = false;
    const mpfloat read = mpfloatAccess::make(x.getPrecision(), [&](mpfr_ptr out) {
        whole = readWhole(out, narrowToken(token), 10, mpfloat::getDefaultRndMode());
    });
    if (!whole) {
        is.setstate(std::ios_base::failbit);
        return is;
    }
    x = read;
    return is;
}

} // namespace

std::istream& operator>>(std::istream& is, mpfloat& x) {
    return readNumber(is, x);
}

std::wistream& operator>>(std::wistream& is, mpfloat& x) {
    return readNumber(is, x);
}

// ---- concatenation ----

ostring operator+(const ostring& text, const mpfloat& x) {
    std::wostringstream out;
    out << text << x;
    return ostring(out.str());
}

ostring operator+(const mpfloat& x, const ostring& text) {
    std::wostringstream out;
    out << x << text;
    return ostring(out.str());
}

ostring& operator+=(ostring& text, const mpfloat& x) {
    text = text + x;
    return text;
}
