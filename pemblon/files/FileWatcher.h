#pragma once

#include "pemblon/core/Export.h"
#include "pemblon/core/ListenerList.h"
#include "pemblon/files/FileChangedEvent.h"
#include "pemblon/files/FileWatcherListener.h"
#include "pemblon/strings/ostring.h"

#include <cstdint>
#include <memory>

#include <wx/datetime.h>
#include <wx/event.h>
#include <wx/filename.h>

namespace PBN {
namespace Files {

namespace Private {
class InternalFileWatcherTimer;
}

// Watches one file or directory by polling its modification time on a wx timer, and tells
// its listeners when the time changes (MODIFIED) or the path is gone (MISSING, at every poll
// while it stays gone). Times are compared to the millisecond. For the GUI thread only.
class PBN_API FileWatcher : public wxEvtHandler {
public:
    enum ChangeType : uint32_t { NO_CHANGE = 0, MISSING = 1, MODIFIED = 2 };

    // No path: never reports anything.
    FileWatcher();
    // Reads the path's modification time at once when it exists. Not watching.
    explicit FileWatcher(const Strings::ostring& path);
    // The path only: no listeners, not watching.
    FileWatcher(const FileWatcher& other);
    FileWatcher& operator=(const FileWatcher& other);
    ~FileWatcher() override;

    // Polls every `ms` milliseconds; 0 stops watching.
    void startWatching(const unsigned int& ms);
    void stopWatching();
    // The polling interval, 0 when not watching.
    unsigned int lapse() const;
    // One poll: a check, and on a change one event to every listener in registration order.
    void onLapse();
    // One check without notifying; `previous` (when given) receives the time held before it.
    ChangeType change(wxDateTime* previous = nullptr);

    wxFileName filename() const;
    wxDateTime lastModificationTime() const;
    bool exists() const;
    bool isDir() const;

    // Equal when both names are valid and denote the same path; two invalid names differ.
    bool operator==(const wxFileName& other) const;
    bool operator==(const Strings::ostring& other) const;
    bool operator==(const FileWatcher& other) const;
    bool operator!=(const wxFileName& other) const;
    bool operator!=(const Strings::ostring& other) const;
    bool operator!=(const FileWatcher& other) const;

    // A listener already registered is not added twice.
    void addListener(FileWatcherListener* listener);
    void removeListener(FileWatcherListener* listener);

private:
    // The path's modification time, to the millisecond; invalid when it cannot be read.
    wxDateTime readModificationTime() const;

    ListenerList<FileWatcherListener> m_listeners;
    unsigned int m_lapse;
    wxFileName m_fileName;
    wxDateTime m_lastModification;
    std::unique_ptr<Private::InternalFileWatcherTimer> m_timer;
};

// The payload of a FileChangedEvent; it lives on the watcher's stack for one dispatch.
struct __FileChangedEventData {
    FileWatcher* watcher;
    FileWatcher::ChangeType type;
    // The modification time held before this check; invalid when none had been read.
    wxDateTime time;
};

} // namespace Files
} // namespace PBN
