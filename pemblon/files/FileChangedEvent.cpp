#include "pemblon/files/FileChangedEvent.h"

namespace PBN {
namespace Files {

FileChangedEvent::FileChangedEvent() = default;
FileChangedEvent::FileChangedEvent(const __FileChangedEventData* data) : Event(data) {}
FileChangedEvent::FileChangedEvent(const FileChangedEvent& other) = default;

FileChangedEvent& FileChangedEvent::operator=(const FileChangedEvent& other) {
    Event::operator=(other);
    return *this;
}

FileChangedEvent::~FileChangedEvent() = default;

const __FileChangedEventData* FileChangedEvent::data() const {
    return static_cast<const __FileChangedEventData*>(privateData());
}

} // namespace Files
} // namespace PBN
