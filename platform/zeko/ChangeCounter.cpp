#include "platform/zeko/ChangeCounter.h"

#include <cerrno>
#include <cstring>
#include <sys/inotify.h>
#include <unistd.h>

namespace zeko::sim {

namespace {

// What the simulator's processes do to the folder when a camera changes: the state is replaced
// (a temporary file renamed over it), a claim touches its lock file and ends with its close.
// Mere reads and lock probes open files read-only and are left out, or every look would count.
constexpr uint32_t watchedEvents = IN_CLOSE_WRITE | IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                   IN_ATTRIB | IN_MODIFY | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

// The folder is shared with the camera manager's own settings, whose writes change no camera.
bool simulatorFile(const inotify_event& event) {
    return event.len > 0 && std::strncmp(event.name, "zeko_sim_", 9) == 0;
}

} // namespace

ChangeCounter::~ChangeCounter() {
    if (fd_ >= 0)
        ::close(fd_);
}

// A child made by fork shares the parent's watch: reading its events would take them from the
// parent, and removing it would end the parent's. The child makes one of its own.
void ChangeCounter::forgetInheritedWatch() {
    if (fd_ < 0 || owner_ == ::getpid())
        return;
    ::close(fd_);
    fd_ = wd_ = -1;
}

void ChangeCounter::watch(const std::string& folder) {
    std::lock_guard lock(mutex_);
    forgetInheritedWatch();
    if (folder == folder_ && wd_ >= 0)
        return;
    if (wd_ >= 0)
        ::inotify_rm_watch(fd_, wd_);
    wd_ = -1;
    folder_ = folder;
    count();
}

bool ChangeCounter::startWatch() {
    if (fd_ < 0) {
        fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        owner_ = ::getpid();
    }
    if (fd_ < 0 || folder_.empty())
        return false;
    wd_ = ::inotify_add_watch(fd_, folder_.c_str(), watchedEvents);
    return wd_ >= 0;
}

// True when an event tells of a change; a watch that ended (the folder was removed or moved)
// is started again at the next look.
bool ChangeCounter::takeEvents() {
    bool changed = false;
    alignas(inotify_event) char buffer[8192];
    while (true) {
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return changed;
        for (ssize_t at = 0; at + ssize_t(sizeof(inotify_event)) <= n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += ssize_t(sizeof(inotify_event) + event->len);
            if (event->mask & IN_Q_OVERFLOW) {
                changed = true;
            } else if (event->wd == wd_) {
                if (event->mask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF)) {
                    if (!(event->mask & IN_IGNORED))
                        ::inotify_rm_watch(fd_, wd_);
                    wd_ = -1;
                    changed = true;
                } else if (simulatorFile(*event)) {
                    changed = true;
                }
            }
        }
    }
}

uint32_t ChangeCounter::current() {
    std::lock_guard lock(mutex_);
    forgetInheritedWatch();
    // What happened before the watch stood is unknown: the look that starts it counts as well.
    if (wd_ < 0) {
        startWatch();
        count();
    } else if (takeEvents()) {
        count();
    }
    return count_.load(std::memory_order_relaxed);
}

bool ChangeCounter::changesNothing(std::string_view function) {
    for (std::string_view query :
         {"zk_GetChangeCount", "zk_GetCameraList", "zk_GetEthDeviceInfo", "zk_GetCameraInfo",
          "zk_GetCameraInfoEx", "zk_GetRevisionInfo", "zk_ReadEEPROM"})
        if (function == query)
            return true;
    return false;
}

} // namespace zeko::sim
