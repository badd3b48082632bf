#pragma once

#include <cstdint>

#include <wx/datetime.h>

#include "pemblon/core/Export.h"

namespace PBN {

// Base of every event the library's producers hand to their listeners. An event lives for one
// dispatch on the producer's stack; listeners must not keep it or its data.
class PBN_API Event {
public:
    Event();
    explicit Event(const void* privateData);
    Event(const Event& other);
    Event& operator=(const Event& other);
    virtual ~Event();

    bool operator==(const Event& other) const;
    bool operator!=(const Event& other) const;

    // Milliseconds since the event was made (or reset); wraps at 32 bits.
    uint32_t ticks() const;
    uint32_t getTicks() const;
    // Whole seconds since the event was made (or reset).
    double clock() const;
    double getClock() const;
    wxDateTime timestamp() const;
    wxDateTime getTimestamp() const;
    const void* privateData() const;
    bool canceled() const;
    void cancel(const bool& cancel = true);

    // The clock that events age by: monotonic milliseconds, so idle time counts and a sleeping
    // process does not freeze its events.
    static uint32_t processorClock();

protected:
    // New time stamp and start clock; the data and the flag stay.
    void reset();

private:
    wxDateTime m_timestamp;
    uint32_t m_startClock;
    const void* m_privateData;
    bool m_canceled;
};

} // namespace PBN
