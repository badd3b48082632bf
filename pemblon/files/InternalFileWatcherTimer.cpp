#include "pemblon/files/InternalFileWatcherTimer.h"

#include "pemblon/files/FileWatcher.h"

namespace PBN {
namespace Files {
namespace Private {

InternalFileWatcherTimer::InternalFileWatcherTimer(FileWatcher* watcher) : m_watcher(watcher) {}

void InternalFileWatcherTimer::Notify() {
    if (m_watcher)
        m_watcher->onLapse();
}

} // namespace Private
} // namespace Files
} // namespace PBN
