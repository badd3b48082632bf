#include "ferrulon/ArrayCore.h"

#include <limits>

#include "pemblon/core/Exception.h"

namespace FRX {
namespace ArrayCore {

namespace {

[[noreturn]] void fail(const char* text) {
    throw PBN::Exception(PBN::Strings::ostring(text), PBN::Exception::SEVERE);
}

} // namespace

bool isScalar(const Shape& shape) {
    return std::all_of(shape.dims, shape.dims + shape.dimCount, [](unsigned d) { return d <= 1; });
}

unsigned elementCount(const unsigned& dimCount, const unsigned* dims) {
    unsigned total = 1;
    for (unsigned n = 0; n < dimCount; ++n) {
        if (dims[n] != 0 && total > std::numeric_limits<unsigned>::max() / dims[n]) {
            fail("Matrix too large");
        }
        total *= dims[n];
    }
    return total;
}

bool broadcasts(const Shape& left, const Shape& right, const Mismatch& texts) {
    if (right.total != 0 && isScalar(right)) {
        return true;
    }
    if (left.dimCount != right.dimCount) {
        fail(texts.countDiffers);
    }
    // A matrix without dimensions holds one element when it was given its (empty) list of
    // sizes, none when it was default-constructed: the totals tell them apart.
    if (!std::equal(left.dims, left.dims + left.dimCount, right.dims) || left.total != right.total) {
        fail(texts.sizeDiffers);
    }
    return false;
}

bool sameShape(const Shape& a, const Shape& b) {
    return a.dimCount == b.dimCount && a.total == b.total && std::equal(a.dims, a.dims + a.dimCount, b.dims);
}

} // namespace ArrayCore
} // namespace FRX
