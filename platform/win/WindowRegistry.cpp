#include "platform/win/Win32.h"

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>

#include <sys/syscall.h>
#include <unistd.h>

namespace {

struct Window {
    WNDPROC proc;
    std::thread::id owner;
    DWORD ownerTid;
};

struct Pending {
    HWND window;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result = 0;
    bool done = false;
};

struct Registry {
    std::mutex mutex;
    std::condition_variable changed;
    std::map<HWND, Window> windows;
    std::map<std::thread::id, std::deque<Pending*>> inboxes;
    // Handles are never reused, so a destroyed handle stays invalid for good.
    uintptr_t nextHandle = 0x10000;
};

// Made on first use, so that windows may be made from static constructors.
Registry& registry() {
    static Registry r;
    return r;
}

// Runs this thread's queued messages; the lock is held on entry and on return.
unsigned dispatchLocked(Registry& r, std::unique_lock<std::mutex>& lock) {
    unsigned count = 0;
    auto inbox = r.inboxes.find(std::this_thread::get_id());
    while (inbox != r.inboxes.end() && !inbox->second.empty()) {
        Pending* p = inbox->second.front();
        inbox->second.pop_front();
        auto w = r.windows.find(p->window);
        if (w != r.windows.end()) {
            WNDPROC proc = w->second.proc;
            lock.unlock();
            LRESULT result = proc(p->window, p->msg, p->wParam, p->lParam);
            lock.lock();
            p->result = result;
        }
        p->done = true;
        ++count;
        r.changed.notify_all();
        inbox = r.inboxes.find(std::this_thread::get_id());
    }
    return count;
}

} // namespace

DWORD GetCurrentProcessId() {
    return static_cast<DWORD>(getpid());
}

DWORD GetCurrentThreadId() {
    return static_cast<DWORD>(syscall(SYS_gettid));
}

HWND CreateMessageWindow(WNDPROC proc) {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    HWND h = reinterpret_cast<HWND>(r.nextHandle);
    r.nextHandle += 4;
    r.windows[h] = Window{proc, std::this_thread::get_id(), GetCurrentThreadId()};
    return h;
}

bool DestroyWindow(HWND window) {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    if (r.windows.erase(window) == 0)
        return false;
    // Senders still waiting on this window get 0, as for any dead window.
    for (auto& [tid, inbox] : r.inboxes) {
        for (auto it = inbox.begin(); it != inbox.end();) {
            if ((*it)->window == window) {
                (*it)->done = true;
                it = inbox.erase(it);
            } else {
                ++it;
            }
        }
    }
    r.changed.notify_all();
    return true;
}

bool IsWindow(HWND window) {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    return r.windows.count(window) != 0;
}

DWORD GetWindowThreadProcessId(HWND window, DWORD* processId) {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    auto it = r.windows.find(window);
    if (it == r.windows.end())
        return 0;
    if (processId)
        *processId = GetCurrentProcessId();
    return it->second.ownerTid;
}

LRESULT SendMessageW(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    Registry& r = registry();
    std::unique_lock<std::mutex> lock(r.mutex);
    auto it = r.windows.find(window);
    if (it == r.windows.end() || !it->second.proc)
        return 0;
    if (it->second.owner == std::this_thread::get_id()) {
        WNDPROC proc = it->second.proc;
        lock.unlock();
        return proc(window, msg, wParam, lParam);
    }
    Pending p{window, msg, wParam, lParam};
    r.inboxes[it->second.owner].push_back(&p);
    r.changed.notify_all();
    const auto self = std::this_thread::get_id();
    while (!p.done) {
        auto own = r.inboxes.find(self);
        if (own != r.inboxes.end() && !own->second.empty())
            dispatchLocked(r, lock);
        else
            r.changed.wait(lock);
    }
    return p.result;
}

unsigned DispatchSentMessages() {
    Registry& r = registry();
    std::unique_lock<std::mutex> lock(r.mutex);
    return dispatchLocked(r, lock);
}
