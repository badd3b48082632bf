#include "pemblon/strings/LangChangingEvent.h"

namespace PBN {
namespace Strings {

LangChangingEvent::LangChangingEvent() : Event() {}

LangChangingEvent::LangChangingEvent(const __LangChangingEventData* data) : Event(data) {}

LangChangingEvent::LangChangingEvent(const LangChangingEvent& other) = default;

LangChangingEvent& LangChangingEvent::operator=(const LangChangingEvent& other) = default;

LangChangingEvent::~LangChangingEvent() = default;

const __LangChangingEventData* LangChangingEvent::data() const {
    return static_cast<const __LangChangingEventData*>(privateData());
}

} // namespace Strings
} // namespace PBN
