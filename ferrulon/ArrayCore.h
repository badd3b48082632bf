#pragma once

// The array core that Matrix and ComplexMatrix share: shapes, element counts, the broadcast rule
// with its messages, storage, and every operation on the arrays' fields, written once over the
// element type. Library-internal; not installed.

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>

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

// Uninitialised storage of `bytes` bytes, aligned for double and FRX::Complex, or null for 0;
// every byte 0 when `zeroed`. Blocks of 1 MiB and more are mapped on their own (from 4 MiB on
// 2 MiB aligned and advised to use 2 MiB pages: a first touch then costs one fault per 2 MiB
// instead of one per 4 KiB); smaller ones come from malloc. A released mapped block goes back to
// the system, except that the newest one below 32 MiB is kept for the next request of its length
// while other mapped blocks live; it goes back when the last of them is released. Throws
// std::bad_alloc. Release with releaseStorage and the same size.
void* allocateStorage(std::size_t bytes, bool zeroed);
void releaseStorage(void* items, std::size_t bytes) noexcept;

// A new array holding the first n elements of source, or null for none.
template <typename T> T* duplicate(const T* source, const unsigned& n) {
    if (n == 0) {
        return nullptr;
    }
    T* copy = new T[n];
    std::copy(source, source + n, copy);
    return copy;
}

// Flat positions: the first index runs fastest.
inline unsigned flatIndex(const unsigned* dims, const unsigned& i, const unsigned& j) {
    return i + dims[0] * j;
}
inline unsigned flatIndex(const unsigned* dims, const unsigned& i, const unsigned& j, const unsigned& k) {
    return i + dims[0] * (j + dims[1] * k);
}

// Builds the elements as value-initialised ones (0, or 0 + 0i).
struct Zeros {};

// The operations of Matrix and ComplexMatrix (A, which befriends this) on their fields `items`,
// `dims`, `dimCount` and `total`. Every result is built in one pass: its storage is taken
// uninitialised and each element constructed in place from the operation's value. Element
// operations do not throw; storage and shape failures throw before any element of an existing
// array changes.
struct Array {
    template <typename A> using Element = std::remove_pointer_t<decltype(A::items)>;

    template <typename A> static Shape shape(const A& a) { return Shape{a.dimCount, a.dims, a.total}; }

    // The size of dimension n; 0 past the last dimension.
    template <typename A> static unsigned dimension(const A& a, const unsigned& n) {
        return n < a.dimCount ? a.dims[n] : 0;
    }

    // Element access (not bounds-checked; debug builds assert).
    template <typename A> static auto& at(A& a, const unsigned& i) {
        assert(i < a.total);
        return a.items[i];
    }
    template <typename A> static auto& at(A& a, const unsigned& i, const unsigned& j) {
        assert(a.dimCount >= 1);
        return at(a, flatIndex(a.dims, i, j));
    }
    template <typename A> static auto& at(A& a, const unsigned& i, const unsigned& j, const unsigned& k) {
        assert(a.dimCount >= 2);
        return at(a, flatIndex(a.dims, i, j, k));
    }

    // Gives the empty array `a` the sizes and `total` elements, element k constructed from
    // fill(k).
    template <typename A, typename Fill>
    static void build(A& a, const unsigned& dimCount, const unsigned* dims, const unsigned& total,
                      Fill fill) {
        using T = Element<A>;
        assert(a.items == nullptr && a.dims == nullptr);
        std::unique_ptr<unsigned[]> sizes(duplicate(dims, dimCount));
        T* items = static_cast<T*>(allocateStorage(std::size_t(total) * sizeof(T), false));
        for (unsigned k = 0; k < total; ++k) {
            ::new (static_cast<void*>(items + k)) T(fill(k));
        }
        a.items = items;
        a.dims = sizes.release();
        a.dimCount = dimCount;
        a.total = total;
    }
    template <typename A>
    static void build(A& a, const unsigned& dimCount, const unsigned* dims, const unsigned& total, Zeros) {
        using T = Element<A>;
        if constexpr (std::is_trivially_default_constructible_v<T>) {
            // Zeroed storage is all 0.0; a fresh mapping is so without being touched.
            assert(a.items == nullptr && a.dims == nullptr);
            std::unique_ptr<unsigned[]> sizes(duplicate(dims, dimCount));
            a.items = static_cast<T*>(allocateStorage(std::size_t(total) * sizeof(T), true));
            a.dims = sizes.release();
            a.dimCount = dimCount;
            a.total = total;
        } else {
            build(a, dimCount, dims, total, [](unsigned) { return T(); });
        }
    }

    // Frees both arrays; `a` is left as it was (the destructor's work).
    template <typename A> static void release(A& a) noexcept {
        using T = Element<A>;
        if constexpr (!std::is_trivially_destructible_v<T>) {
            // The exact type of every element is T: no virtual call.
            for (unsigned k = 0; k < a.total; ++k) {
                a.items[k].T::~T();
            }
        }
        releaseStorage(a.items, std::size_t(a.total) * sizeof(T));
        delete[] a.dims;
    }

    template <typename A> static void swap(A& a, A& b) noexcept {
        std::swap(a.items, b.items);
        std::swap(a.dims, b.dims);
        std::swap(a.dimCount, b.dimCount);
        std::swap(a.total, b.total);
    }

    template <typename A> static void make(A& a, const unsigned& dimCount, const unsigned* dims) {
        build(a, dimCount, dims, elementCount(dimCount, dims), Zeros{});
    }

    template <typename A> static void copy(A& a, const A& other) {
        const auto* items = other.items;
        build(a, other.dimCount, other.dims, other.total, [items](unsigned k) { return items[k]; });
    }

    // A deep copy, into a's storage when the shapes are equal (nothing to allocate, nothing that
    // can fail); a is unchanged when it fails.
    template <typename A> static A& assign(A& a, const A& other) {
        if (&a == &other) {
            return a;
        }
        if (sameShape(shape(a), shape(other))) {
            std::copy(other.items, other.items + other.total, a.items);
        } else {
            A copied(other);
            swap(a, copied);
        }
        return a;
    }

    template <typename A> static A& take(A& a, A&& other) noexcept {
        if (&a != &other) {
            A taken(std::move(other));
            swap(a, taken);
        }
        return a;
    }

    // a = op(a element, right element) under the broadcast rule; the shapes are checked first.
    template <typename A, typename Op> static A& apply(A& a, const A& right, const Mismatch& texts, Op op) {
        using T = Element<A>;
        if (broadcasts(shape(a), shape(right), texts)) {
            const T r = right.items[0];
            for (unsigned k = 0; k < a.total; ++k) {
                a.items[k] = op(a.items[k], r);
            }
        } else {
            for (unsigned k = 0; k < a.total; ++k) {
                a.items[k] = op(a.items[k], right.items[k]);
            }
        }
        return a;
    }

    // A new array of a's shape holding op(a element, right element); the shapes are checked
    // before its storage is taken.
    template <typename A, typename Op>
    static A combined(const A& a, const A& right, const Mismatch& texts, Op op) {
        using T = Element<A>;
        A result;
        const T* x = a.items;
        const T* y = right.items;
        if (broadcasts(shape(a), shape(right), texts)) {
            const T r = y[0];
            build(result, a.dimCount, a.dims, a.total, [x, &r, op](unsigned k) { return op(x[k], r); });
        } else {
            build(result, a.dimCount, a.dims, a.total, [x, y, op](unsigned k) { return op(x[k], y[k]); });
        }
        return result;
    }

    template <typename A, typename Op> static A& applyEach(A& a, Op op) {
        for (unsigned k = 0; k < a.total; ++k) {
            a.items[k] = op(a.items[k]);
        }
        return a;
    }

    // A new array of a's shape holding op(a element).
    template <typename A, typename Op> static A mapped(const A& a, Op op) {
        A result;
        const auto* x = a.items;
        build(result, a.dimCount, a.dims, a.total, [x, op](unsigned k) { return op(x[k]); });
        return result;
    }

    // Same shape and test(a element, b element) for every pair.
    template <typename A, typename Test> static bool equal(const A& a, const A& b, Test test) {
        return sameShape(shape(a), shape(b)) && everyPair(a, b, test);
    }
    template <typename A, typename Test> static bool everyPair(const A& a, const A& b, Test test) {
        for (unsigned k = 0; k < a.total; ++k) {
            if (!test(a.items[k], b.items[k])) {
                return false;
            }
        }
        return true;
    }

    // A new A of the given sizes with every element v.
    template <typename A, typename T>
    static A filled(const unsigned& dimCount, const unsigned* dims, const T& v) {
        A result;
        build(result, dimCount, dims, elementCount(dimCount, dims), [&v](unsigned) { return v; });
        return result;
    }
};

} // namespace ArrayCore
} // namespace FRX
