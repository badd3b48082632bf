#include "pemblon/strings/LangChangedEvent.h"

namespace PBN {
namespace Strings {

LangChangedEvent::LangChangedEvent() : Event() {}

LangChangedEvent::LangChangedEvent(const __LangChangedEventData* data) : Event(data) {}

LangChangedEvent::LangChangedEvent(const LangChangedEvent& other) = default;

LangChangedEvent& LangChangedEvent::operator=(const LangChangedEvent& other) = default;

LangChangedEvent::~LangChangedEvent() = default;

const __LangChangedEventData* LangChangedEvent::data() const {
    return static_cast<const __LangChangedEventData*>(privateData());
}

} // namespace Strings
} // namespace PBN
