#pragma once

#include "pemblon/core/Event.h"
#include "pemblon/core/Export.h"

namespace PBN {
namespace Files {

// The payload, declared with FileWatcher (it carries its ChangeType).
struct __FileChangedEventData;

// Sent by a FileWatcher to its listeners when the watched path changed or went missing.
class PBN_API FileChangedEvent : public PBN::Event {
public:
    FileChangedEvent();
    explicit FileChangedEvent(const __FileChangedEventData* data);
    FileChangedEvent(const FileChangedEvent& other);
    FileChangedEvent& operator=(const FileChangedEvent& other);
    ~FileChangedEvent() override;

    const __FileChangedEventData* data() const;
};

} // namespace Files
} // namespace PBN
