// How often what the cameras show may have changed, so that a caller that polls the camera list
// reads it again only after a change. Every call of this process that may change a camera
// counts, and so does every change another process makes to the state folder's files: a state
// written, a camera claimed or let go (an inotify watch on the folder, read without waiting at
// each look).
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace zeko::sim {

class ChangeCounter {
public:
    ChangeCounter() = default;
    ~ChangeCounter();
    ChangeCounter(const ChangeCounter&) = delete;
    ChangeCounter& operator=(const ChangeCounter&) = delete;

    // Watches the folder from now on; one that does not exist yet is watched from the first
    // look that finds it.
    void watch(const std::string& folder);
    // A change made in this process.
    void count() { count_.fetch_add(1, std::memory_order_relaxed); }
    // The count, after what other processes changed since the last look. While the folder
    // cannot be watched, every look counts as a change.
    uint32_t current();

    // Whether a call of the interface library leaves every camera as it was (a query).
    static bool changesNothing(std::string_view function);

private:
    bool startWatch();
    bool takeEvents();
    void forgetInheritedWatch();

    std::atomic<uint32_t> count_{0};
    std::mutex mutex_; // guards what follows
    std::string folder_;
    int fd_ = -1;
    int wd_ = -1;
    pid_t owner_ = 0; // the process that made fd_
};

} // namespace zeko::sim
