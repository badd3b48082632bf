#pragma once

#include <cstdint>

#include "pemblon/core/Export.h"

namespace PBN {

// A plain use counter (not atomic; one thread at a time). Every change returns the new count,
// the postfix forms included. The count operations are inline: shared-storage values (Ferrulon's
// numbers) count on every copy and result.
class PBN_API RefCounter {
public:
    RefCounter(const int32_t& count = 0) : m_count(count) {}
    RefCounter(const RefCounter& other);
    RefCounter& operator=(const RefCounter& other);
    RefCounter& operator=(const int32_t& count);
    virtual ~RefCounter();

    bool operator==(const RefCounter& other) const;
    bool operator!=(const RefCounter& other) const;

    int32_t& value() { return m_count; }
    int32_t operator++() { return ++m_count; }
    int32_t operator++(int) { return ++m_count; }
    int32_t operator--() { return --m_count; }
    int32_t operator--(int) { return --m_count; }
    int32_t incr() { return ++m_count; }
    int32_t decr() { return --m_count; }

private:
    int32_t m_count;
};

} // namespace PBN
