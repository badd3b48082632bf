#include "pemblon/core/RefCounter.h"

namespace PBN {

RefCounter::RefCounter(const RefCounter& other) = default;

RefCounter& RefCounter::operator=(const RefCounter& other) {
    m_count = other.m_count;
    return *this;
}

RefCounter& RefCounter::operator=(const int32_t& count) {
    m_count = count;
    return *this;
}

RefCounter::~RefCounter() = default;

bool RefCounter::operator==(const RefCounter& other) const {
    return m_count == other.m_count;
}

bool RefCounter::operator!=(const RefCounter& other) const {
    return m_count != other.m_count;
}

} // namespace PBN
