#pragma once

#include <cstdint>

#include "pemblon/core/Export.h"

namespace PBN {

// A plain use counter (not atomic; one thread at a time). Every change returns the new count,
// the postfix forms included.
class PBN_API RefCounter {
public:
    RefCounter(const int32_t& count = 0);
    RefCounter(const RefCounter& other);
    RefCounter& operator=(const RefCounter& other);
    RefCounter& operator=(const int32_t& count);
    virtual ~RefCounter();

    bool operator==(const RefCounter& other) const;
    bool operator!=(const RefCounter& other) const;

    int32_t& value();
    int32_t operator++();
    int32_t operator++(int);
    int32_t operator--();
    int32_t operator--(int);
    int32_t incr();
    int32_t decr();

private:
    int32_t m_count;
};

} // namespace PBN
