#pragma once

#include "pemblon/core/Event.h"
#include "pemblon/core/Export.h"

namespace PBN {
namespace Strings {

// Filled and owned by the string table for the time of the dispatch.
struct __LangChangedEventData;

class PBN_API LangChangedEvent : public PBN::Event {
public:
    LangChangedEvent();
    explicit LangChangedEvent(const __LangChangedEventData* data);
    LangChangedEvent(const LangChangedEvent& other);
    LangChangedEvent& operator=(const LangChangedEvent& other);
    virtual ~LangChangedEvent();

    const __LangChangedEventData* data() const;
};

} // namespace Strings
} // namespace PBN
