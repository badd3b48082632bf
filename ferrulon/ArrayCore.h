#pragma once

// The array core that Matrix and ComplexMatrix share: shapes, element counts, the broadcast rule
// with its messages, and the element loops. Library-internal; not installed.

#include <algorithm>
#include <cassert>
#include <memory>

namespace FRX {
namespace ArrayCore {

// A read-only view of an array's shape.
struct Shape {
    unsigned dimCount;
    const unsigned* dims;
    unsigned total;
};

// Every dimension at most 1 (also true without dimensions).
bool isScalar(const Shape& shape);

// The product of the sizes (1 without dimensions). Throws PBN::Exception (SEVERE) when it does
// not fit an unsigned int, instead of allocating too little.
unsigned elementCount(const unsigned& dimCount, const unsigned* dims);

// Texts thrown when the dimension counts differ, or when one dimension differs.
struct Mismatch {
    const char* countDiffers;
    const char* sizeDiffers;
};

// How the right operand pairs with the left one: true when its element 0 is applied to every
// element, false when element k pairs with element k. An operand without elements is never
// broadcast. Throws PBN::Exception (SEVERE) with the matching text when neither fits.
bool broadcasts(const Shape& left, const Shape& right, const Mismatch& texts);

// Same dimension count and sizes.
bool sameShape(const Shape& a, const Shape& b);

// Writes op(left element, right element) to out (which may be the left array itself), under the
// pairing above. The shapes are checked before any element is written.
template <typename T, typename Op>
void combine(T* out, const T* items, const Shape& left, const T* right, const Shape& rightShape,
             const Mismatch& texts, Op op) {
    if (broadcasts(left, rightShape, texts)) {
        const T r = right[0];
        for (unsigned k = 0; k < left.total; ++k) {
            out[k] = op(items[k], r);
        }
    } else {
        for (unsigned k = 0; k < left.total; ++k) {
            out[k] = op(items[k], right[k]);
        }
    }
}

// out[k] = op(items[k]) for every element; out may be items.
template <typename T, typename Op> void forEach(T* out, const T* items, const unsigned& total, Op op) {
    for (unsigned k = 0; k < total; ++k) {
        out[k] = op(items[k]);
    }
}

// Copies source's elements into items when both shapes are equal (nothing to allocate, nothing
// that can fail), and tells whether it did.
template <typename T>
bool copyIntoSameShape(T* items, const Shape& shape, const T* source, const Shape& sourceShape) {
    if (!sameShape(shape, sourceShape)) {
        return false;
    }
    std::copy(source, source + shape.total, items);
    return true;
}

// Storage for n doubles, or null for none; every element 0 when `zeroed`, else unset. An array
// of 32 MiB or more is mapped on its own, aligned to 2 MiB and advised to use 2 MiB pages, so
// that its first touch costs one fault per 2 MiB instead of one per 4 KiB. The last block of
// 1 to 256 MiB a thread released is kept and serves that thread's next request of its size.
// Throws std::bad_alloc. Release with releaseDoubles and the same n.
double* allocateDoubles(const unsigned& n, bool zeroed);
void releaseDoubles(double* items, const unsigned& n) noexcept;

// A new array of n elements, value-initialised (0, or 0 + 0i), or null for none.
template <typename T> T* allocate(const unsigned& n) {
    return n == 0 ? nullptr : new T[n]();
}

// A new array holding the first n elements of source.
template <typename T> T* duplicate(const T* source, const unsigned& n) {
    std::unique_ptr<T[]> copy(allocate<T>(n));
    if (n != 0) {
        std::copy(source, source + n, copy.get());
    }
    return copy.release();
}

// A new M of the given sizes with every element set to v (M: Matrix or ComplexMatrix).
template <typename M, typename T> M filled(const unsigned& dimCount, const unsigned* dims, const T& v) {
    M m(dimCount, dims);
    for (unsigned k = 0, n = elementCount(dimCount, dims); k < n; ++k) {
        m(k) = v;
    }
    return m;
}

// Flat positions: the first index runs fastest.
inline unsigned flatIndex(const unsigned* dims, const unsigned& i, const unsigned& j) {
    return i + dims[0] * j;
}
inline unsigned flatIndex(const unsigned* dims, const unsigned& i, const unsigned& j, const unsigned& k) {
    return i + dims[0] * (j + dims[1] * k);
}

} // namespace ArrayCore
} // namespace FRX
