#pragma once

#include "pemblon/core/Export.h"

#include <wx/timer.h>

namespace PBN {
namespace Files {

class FileWatcher;

namespace Private {

// The watcher's polling timer: each tick is one FileWatcher::onLapse.
class PBN_API InternalFileWatcherTimer : public wxTimer {
public:
    explicit InternalFileWatcherTimer(FileWatcher* watcher);
    void Notify() override;

private:
    FileWatcher* m_watcher;
};

} // namespace Private
} // namespace Files
} // namespace PBN
