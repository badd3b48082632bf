#pragma once

#include "pemblon/core/Event.h"
#include "pemblon/core/Export.h"

namespace PBN {
namespace Strings {

// Filled and owned by the string table for the time of the dispatch.
struct __LangChangingEventData;

class PBN_API LangChangingEvent : public PBN::Event {
public:
    LangChangingEvent();
    explicit LangChangingEvent(const __LangChangingEventData* data);
    LangChangingEvent(const LangChangingEvent& other);
    LangChangingEvent& operator=(const LangChangingEvent& other);
    virtual ~LangChangingEvent();

    const __LangChangingEventData* data() const;
};

} // namespace Strings
} // namespace PBN
