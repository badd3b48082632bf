#include "pemblon/core/Maths.h"

#include <cmath>
#include <limits>
#include <type_traits>

namespace PBN {

namespace {

template <typename T> int16_t infSignOf(T x) {
    return std::isinf(x) ? (x < 0 ? -1 : 1) : 0;
}

template <typename T> int16_t zeroSignOf(T x) {
    return x == 0 ? (std::signbit(x) ? -1 : 1) : 0;
}

template <typename T> int16_t signOf(T x) {
    return x < 0 ? -1 : 1;
}

double roundAway(double x) {
    return std::trunc(x >= 0 ? x + 0.5 : x - 0.5);
}

// Converting a double outside the target range is undefined; give the x86 "integer
// indefinite" value explicitly instead of relying on the instruction.
int32_t toInt32(double x) {
    const double r = roundAway(x);
    if (!(r >= -2147483648.0 && r <= 2147483647.0))
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(r);
}

uint32_t toUInt32Via64(double x) {
    const double r = roundAway(x);
    if (std::isnan(r))
        return 0;
    int64_t v;
    if (r >= 9223372036854775808.0)
        v = std::numeric_limits<int64_t>::max();
    else if (r < -9223372036854775808.0)
        v = std::numeric_limits<int64_t>::min();
    else
        v = static_cast<int64_t>(r);
    return static_cast<uint32_t>(static_cast<uint64_t>(v));
}

template <typename T> T absInt(T x) {
    using U = std::make_unsigned_t<T>;
    // Negating as unsigned keeps the most negative value as it is, without overflow.
    return x < 0 ? static_cast<T>(static_cast<U>(0) - static_cast<U>(x)) : x;
}

template <typename T> T floatMax(T a, T b) {
    return a > b ? a : b;
}

template <typename T> T floatMin(T a, T b) {
    return a < b ? a : b;
}

template <typename T> T vectorMax(const std::vector<T>& v) {
    T result = std::numeric_limits<T>::lowest();
    for (const T& x : v)
        if (x > result)
            result = x;
    return result;
}

template <typename T> T vectorMin(const std::vector<T>& v) {
    T result = std::numeric_limits<T>::max();
    for (const T& x : v)
        if (x < result)
            result = x;
    return result;
}

// The half-width of a value's interval: |x|e, for floats computed in double and rounded back
// to float, as the comparisons have always done.
constexpr double epsD = std::numeric_limits<double>::epsilon();
constexpr double epsF = std::numeric_limits<float>::epsilon();

double spread(const double& x) {
    return std::fabs(x) * epsD;
}
double spread(const float& x) {
    return static_cast<float>(std::fabs(static_cast<double>(x)) * epsF);
}

template <typename T> bool ltOf(T a, T b) {
    return double(a) + spread(a) < double(b) - spread(b);
}
template <typename T> bool gtOf(T a, T b) {
    return double(a) - spread(a) > double(b) + spread(b);
}
template <typename T> bool lteOf(T a, T b) {
    return double(a) - spread(a) <= double(b) + spread(b);
}
template <typename T> bool gteOf(T a, T b) {
    return double(a) + spread(a) >= double(b) - spread(b);
}

} // namespace

Maths::~Maths() = default;

double Maths::getNan() {
    return std::numeric_limits<double>::quiet_NaN();
}
float Maths::getNanF() {
    return std::numeric_limits<float>::quiet_NaN();
}
double Maths::getPosInf() {
    return std::numeric_limits<double>::infinity();
}
float Maths::getPosInfF() {
    return std::numeric_limits<float>::infinity();
}
double Maths::getNegInf() {
    return -std::numeric_limits<double>::infinity();
}
float Maths::getNegInfF() {
    return -std::numeric_limits<float>::infinity();
}

bool Maths::isNan(const double& x) {
    return std::isnan(x);
}
bool Maths::isNan(const float& x) {
    return std::isnan(x);
}
bool Maths::isInf(const double& x) {
    return std::isinf(x);
}
bool Maths::isInf(const float& x) {
    return std::isinf(x);
}
int16_t Maths::infSign(const double& x) {
    return infSignOf(x);
}
int16_t Maths::infSign(const float& x) {
    return infSignOf(x);
}
bool Maths::isZero(const double& x) {
    return x == 0;
}
bool Maths::isZero(const float& x) {
    return x == 0;
}
int16_t Maths::zeroSign(const double& x) {
    return zeroSignOf(x);
}
int16_t Maths::zeroSign(const float& x) {
    return zeroSignOf(x);
}
bool Maths::isFinite(const double& x) {
    return std::isfinite(x);
}
bool Maths::isFinite(const float& x) {
    return std::isfinite(x);
}

bool Maths::isOdd(const int16_t& x) {
    return x & 1;
}
bool Maths::isOdd(const uint16_t& x) {
    return x & 1;
}
bool Maths::isOdd(const int32_t& x) {
    return x & 1;
}
bool Maths::isOdd(const uint32_t& x) {
    return x & 1;
}
bool Maths::isOdd(const long& x) {
    return x & 1;
}
bool Maths::isOdd(const unsigned long& x) {
    return x & 1;
}
bool Maths::isEven(const int16_t& x) {
    return !(x & 1);
}
bool Maths::isEven(const uint16_t& x) {
    return !(x & 1);
}
bool Maths::isEven(const int32_t& x) {
    return !(x & 1);
}
bool Maths::isEven(const uint32_t& x) {
    return !(x & 1);
}
bool Maths::isEven(const long& x) {
    return !(x & 1);
}
bool Maths::isEven(const unsigned long& x) {
    return !(x & 1);
}

int16_t Maths::sign(const int16_t& x) {
    return signOf(x);
}
int16_t Maths::sign(const int32_t& x) {
    return signOf(x);
}
int16_t Maths::sign(const long& x) {
    return signOf(x);
}
int16_t Maths::sign(const float& x) {
    return signOf(x);
}
int16_t Maths::sign(const double& x) {
    return signOf(x);
}

int16_t Maths::roundS(const double& x) {
    return static_cast<int16_t>(static_cast<uint16_t>(toInt32(x)));
}
int16_t Maths::roundS(const float& x) {
    return roundS(static_cast<double>(x));
}
uint16_t Maths::roundUS(const double& x) {
    return static_cast<uint16_t>(toInt32(x));
}
uint16_t Maths::roundUS(const float& x) {
    return roundUS(static_cast<double>(x));
}
int32_t Maths::roundI(const double& x) {
    return toInt32(x);
}
int32_t Maths::roundI(const float& x) {
    return toInt32(x);
}
int32_t Maths::roundL(const double& x) {
    return toInt32(x);
}
int32_t Maths::roundL(const float& x) {
    return toInt32(x);
}
uint32_t Maths::roundUI(const double& x) {
    return toUInt32Via64(x);
}
uint32_t Maths::roundUI(const float& x) {
    return toUInt32Via64(x);
}
uint32_t Maths::roundUL(const double& x) {
    return toUInt32Via64(x);
}
uint32_t Maths::roundUL(const float& x) {
    return toUInt32Via64(x);
}

int16_t Maths::max(const int16_t& a, const int16_t& b) {
    return a > b ? a : b;
}
uint16_t Maths::max(const uint16_t& a, const uint16_t& b) {
    return a > b ? a : b;
}
int32_t Maths::max(const int32_t& a, const int32_t& b) {
    return a > b ? a : b;
}
uint32_t Maths::max(const uint32_t& a, const uint32_t& b) {
    return a > b ? a : b;
}
long Maths::max(const long& a, const long& b) {
    return a > b ? a : b;
}
unsigned long Maths::max(const unsigned long& a, const unsigned long& b) {
    return a > b ? a : b;
}
float Maths::max(const float& a, const float& b) {
    return floatMax(a, b);
}
double Maths::max(const double& a, const double& b) {
    return floatMax(a, b);
}
int16_t Maths::min(const int16_t& a, const int16_t& b) {
    return a < b ? a : b;
}
uint16_t Maths::min(const uint16_t& a, const uint16_t& b) {
    return a < b ? a : b;
}
int32_t Maths::min(const int32_t& a, const int32_t& b) {
    return a < b ? a : b;
}
uint32_t Maths::min(const uint32_t& a, const uint32_t& b) {
    return a < b ? a : b;
}
long Maths::min(const long& a, const long& b) {
    return a < b ? a : b;
}
unsigned long Maths::min(const unsigned long& a, const unsigned long& b) {
    return a < b ? a : b;
}
float Maths::min(const float& a, const float& b) {
    return floatMin(a, b);
}
double Maths::min(const double& a, const double& b) {
    return floatMin(a, b);
}

int16_t Maths::abs(const int16_t& x) {
    return absInt(x);
}
int32_t Maths::abs(const int32_t& x) {
    return absInt(x);
}
long Maths::abs(const long& x) {
    return absInt(x);
}
float Maths::abs(const float& x) {
    return x < 0 ? -x : x;
}
double Maths::abs(const double& x) {
    return x < 0 ? -x : x;
}

int16_t Maths::max(const std::vector<int16_t>& v) {
    return vectorMax(v);
}
uint16_t Maths::max(const std::vector<uint16_t>& v) {
    return vectorMax(v);
}
int32_t Maths::max(const std::vector<int32_t>& v) {
    return vectorMax(v);
}
uint32_t Maths::max(const std::vector<uint32_t>& v) {
    return vectorMax(v);
}
long Maths::max(const std::vector<long>& v) {
    return vectorMax(v);
}
unsigned long Maths::max(const std::vector<unsigned long>& v) {
    return vectorMax(v);
}
float Maths::max(const std::vector<float>& v) {
    return vectorMax(v);
}
double Maths::max(const std::vector<double>& v) {
    return vectorMax(v);
}
int16_t Maths::min(const std::vector<int16_t>& v) {
    return vectorMin(v);
}
uint16_t Maths::min(const std::vector<uint16_t>& v) {
    return vectorMin(v);
}
int32_t Maths::min(const std::vector<int32_t>& v) {
    return vectorMin(v);
}
uint32_t Maths::min(const std::vector<uint32_t>& v) {
    return vectorMin(v);
}
long Maths::min(const std::vector<long>& v) {
    return vectorMin(v);
}
unsigned long Maths::min(const std::vector<unsigned long>& v) {
    return vectorMin(v);
}
float Maths::min(const std::vector<float>& v) {
    return vectorMin(v);
}
double Maths::min(const std::vector<double>& v) {
    return vectorMin(v);
}

void Maths::abs(std::vector<int16_t>& v) {
    for (auto& x : v)
        x = absInt(x);
}
void Maths::abs(std::vector<int32_t>& v) {
    for (auto& x : v)
        x = absInt(x);
}
void Maths::abs(std::vector<long>& v) {
    for (auto& x : v)
        x = absInt(x);
}
void Maths::abs(std::vector<float>& v) {
    for (auto& x : v)
        x = abs(x);
}
void Maths::abs(std::vector<double>& v) {
    for (auto& x : v)
        x = abs(x);
}

bool Maths::lt(const double& a, const double& b) {
    return ltOf(a, b);
}
bool Maths::lte(const double& a, const double& b) {
    return lteOf(a, b);
}
bool Maths::gt(const double& a, const double& b) {
    return gtOf(a, b);
}
bool Maths::gte(const double& a, const double& b) {
    return gteOf(a, b);
}
bool Maths::eq(const double& a, const double& b) {
    return lteOf(a, b) && gteOf(a, b);
}
bool Maths::neq(const double& a, const double& b) {
    return ltOf(a, b) || gtOf(a, b);
}
bool Maths::lt(const float& a, const float& b) {
    return ltOf(a, b);
}
bool Maths::lte(const float& a, const float& b) {
    return lteOf(a, b);
}
bool Maths::gt(const float& a, const float& b) {
    return gtOf(a, b);
}
bool Maths::gte(const float& a, const float& b) {
    return gteOf(a, b);
}
bool Maths::eq(const float& a, const float& b) {
    return lteOf(a, b) && gteOf(a, b);
}
bool Maths::neq(const float& a, const float& b) {
    return ltOf(a, b) || gtOf(a, b);
}

} // namespace PBN
