// libFuzzer target: arbitrary bytes read as numbers, through the text constructor (any base,
// valid or not) and the narrow and wide stream extractors, then written back in several bases.
// Every value but NaN that operator<< writes must read back to the same value at the same
// precision, and reading must leave other holders alone: a difference is reported as a crash.

#include "ferrulon/mpfloat.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

using PBN::Strings::ostring;

namespace {

void roundTrip(const mpfloat& x) {
    if (isNan(x)) {
        return;
    }
    std::ostringstream out;
    out << x;
    std::istringstream in(out.str());
    mpfloat back(0, mpfloat::ROUND_NEAREST, x.getPrecision());
    in >> back;
    if (isNan(back) || back != x || sign(back) != sign(x)) {
        std::abort();
    }
}

void writeInBases(const mpfloat& x, int digits) {
    for (int base : {2, 10, 16, 36, 62, -36, 0, 63, -1}) {
        std::ostringstream out;
        x.put(out, mpfloat::ROUND_NEAREST, 0, base, digits);
        std::wostringstream wide;
        x.put(wide, mpfloat::ROUND_DOWN, 0, base, digits);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) {
        return 0;
    }
    // First byte: base (-1 .. 64, out of range on purpose now and then); second: precision.
    const int base = static_cast<int>(data[0] % 66) - 1;
    const unsigned long prec = 1 + data[1] * 8UL;
    const mpfr_rnd_t rnd = static_cast<mpfr_rnd_t>(data[1] % 4);
    const std::string text(reinterpret_cast<const char*>(data + 2), size - 2);

    const mpfloat parsed(ostring(text.c_str()), base, rnd, prec);
    roundTrip(parsed);
    writeInBases(parsed, static_cast<int>(data[0]) - 128);

    // Every token of the text, narrow and wide, into one value that is shared meanwhile: the
    // loops must end, and the other holder must keep its value.
    mpfloat x(0, mpfloat::ROUND_NEAREST, prec);
    const mpfloat holder(x);
    std::istringstream narrow(text);
    while (narrow >> x) {
        roundTrip(x);
    }
    std::wstring wideText;
    for (unsigned char c : text) {
        wideText.push_back(static_cast<wchar_t>(c));
    }
    std::wistringstream wide(wideText);
    while (wide >> x) {
        roundTrip(x);
    }
    if (!isZero(holder)) {
        std::abort();
    }
    return 0;
}
