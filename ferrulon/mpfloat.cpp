#include "ferrulon/mpfloat.h"

#include <algorithm>
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

// Every new value needs a counter, and results are made and dropped at a high rate: a free list
// per thread keeps the allocator out of that path. Listed blocks hold no live counter. A block
// may return to another thread's list than the one it came from; each list frees its blocks
// when its thread ends, and counters released after that go straight back to the allocator.
struct FreeBlock {
    FreeBlock* next;
};
static_assert(sizeof(FreeBlock) <= sizeof(PBN::RefCounter));

struct CounterPool {
    FreeBlock* head;
    unsigned size;
    bool closed;
    bool drainArmed;
};

constexpr unsigned kPoolLimit = 256;

// Trivial and zero-initialised, so that reaching it costs no guard; the initial-exec model
// avoids a call per access.
thread_local CounterPool pool __attribute__((tls_model("initial-exec")));

struct PoolDrain {
    ~PoolDrain() {
        while (pool.head != nullptr) {
            FreeBlock* block = pool.head;
            pool.head = block->next;
            ::operator delete(block);
        }
        pool.size = 0;
        pool.closed = true;
    }
};

PBN::RefCounter* newCounter() {
    void* block;
    if (pool.head != nullptr) {
        block = pool.head;
        pool.head = pool.head->next;
        --pool.size;
    } else {
        block = ::operator new(sizeof(PBN::RefCounter));
    }
    return new (block) PBN::RefCounter(1);
}

// The counter's destructor has nothing to do; its storage is reused or freed without it.
void deleteCounter(PBN::RefCounter* counter) {
    if (pool.closed || pool.size >= kPoolLimit) {
        ::operator delete(counter);
        return;
    }
    if (!pool.drainArmed) {
        static thread_local PoolDrain drain; // frees the list when this thread ends
        (void)drain;
        pool.drainArmed = true;
    }
    pool.head = new (counter) FreeBlock{pool.head};
    ++pool.size;
}

} // namespace

// ---- storage ----

mpfloat::mpfloat(Fresh, const unsigned long& prec) : counter(newCounter()) {
    mpfr_init2(number, validPrec(prec));
}

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
    // mpfr_set_str aborts on any other base.
    if (base == 0 || (base >= 2 && base <= 62)) {
        mpfr_set_str(number, text.str().c_str(), base, rnd);
    }
}

void mpfloat::destroy() {
    mpfr_clear(number);
    deleteCounter(counter);
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
        os.put(os.widen('E'));
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
    const std::string text = narrowToken(token);
    mpfloatAccess::update(
        x, [&](mpfr_ptr out) { mpfr_set_str(out, text.c_str(), 10, mpfloat::getDefaultRndMode()); });
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
