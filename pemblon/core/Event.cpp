#include "pemblon/core/Event.h"

#include <chrono>

namespace PBN {

Event::Event() : Event(nullptr) {}

Event::Event(const void* privateData)
    : m_timestamp(wxDateTime::UNow()), m_startClock(processorClock()), m_privateData(privateData),
      m_canceled(false) {}

Event::Event(const Event& other) = default;

Event& Event::operator=(const Event& other) {
    if (this != &other) {
        m_timestamp = other.m_timestamp;
        m_startClock = other.m_startClock;
        m_privateData = other.m_privateData;
        m_canceled = other.m_canceled;
    }
    return *this;
}

Event::~Event() = default;

bool Event::operator==(const Event& other) const {
    return m_timestamp == other.m_timestamp && m_startClock == other.m_startClock &&
           m_privateData == other.m_privateData && m_canceled == other.m_canceled;
}

bool Event::operator!=(const Event& other) const {
    return !(*this == other);
}

uint32_t Event::ticks() const {
    return processorClock() - m_startClock;
}

uint32_t Event::getTicks() const {
    return ticks();
}

double Event::clock() const {
    return static_cast<double>(ticks() / 1000u);
}

double Event::getClock() const {
    return clock();
}

wxDateTime Event::timestamp() const {
    return m_timestamp;
}

wxDateTime Event::getTimestamp() const {
    return m_timestamp;
}

const void* Event::privateData() const {
    return m_privateData;
}

bool Event::canceled() const {
    return m_canceled;
}

void Event::cancel(const bool& cancel) {
    m_canceled = cancel;
}

uint32_t Event::processorClock() {
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void Event::reset() {
    m_timestamp = wxDateTime::UNow();
    m_startClock = processorClock();
}

} // namespace PBN
