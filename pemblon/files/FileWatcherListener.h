#pragma once

#include "pemblon/core/Export.h"
#include "pemblon/files/FileChangedEvent.h"

namespace PBN {
namespace Files {

// Receives the changes a FileWatcher sees. Remove it from the watcher before destroying it.
class PBN_API FileWatcherListener {
public:
    FileWatcherListener(const FileWatcherListener&) {}
    FileWatcherListener& operator=(const FileWatcherListener&) { return *this; }
    virtual ~FileWatcherListener();

    // Called on the thread that runs the wx event loop. A listener may destroy the watcher
    // that calls it; the listeners after it are then not called.
    virtual void onFileChangedEvent(FileChangedEvent& event);

protected:
    FileWatcherListener() {}
};

} // namespace Files
} // namespace PBN
