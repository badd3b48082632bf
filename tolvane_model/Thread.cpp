#include "tolvane_model/Thread.h"

#include "platform/zeko/zeko_api.h"
#include "tolvane_model/Camera.h"
#include "tolvane_model/CameraListener.h"

#include <condition_variable>

namespace Tolvane_model {

namespace {

struct Workers {
    std::mutex mutex;
    std::condition_variable ended;
    int count = 0;
};

// Never destroyed: a worker may still end while the program's static objects go.
Workers& workers() {
    static Workers* all = new Workers();
    return *all;
}

} // namespace

Thread::Thread(const int& type_, CameraListener* listener)
    : wxThread(wxTHREAD_DETACHED), type(type_), target(std::make_shared<Target>()) {
    target->listener = listener;
    {
        std::lock_guard<std::mutex> lock(workers().mutex);
        ++workers().count;
    }
    // Taken here, on the caller's thread, so the worker never reaches the camera object.
    target->handle = Camera::_instance ? Camera::_instance->getCamHandle() : 0;
}

Thread::~Thread() {
    // Runs on the worker, inside the toolkit's own deletion of it, which its end of program
    // waits for once this has begun.
    std::lock_guard<std::mutex> lock(workers().mutex);
    --workers().count;
    workers().ended.notify_all();
}

int Thread::running() {
    std::lock_guard<std::mutex> lock(workers().mutex);
    return workers().count;
}

bool Thread::waitForAll(const std::chrono::milliseconds& timeout) {
    std::unique_lock<std::mutex> lock(workers().mutex);
    return workers().ended.wait_for(lock, timeout, [] { return workers().count == 0; });
}

int Thread::getType() const {
    return type;
}

std::shared_ptr<Thread::Target> Thread::getTarget() const {
    return target;
}

wxThread::ExitCode Thread::Entry() {
    if (type != 0)
        return 0;
    try {
        // Failures are only skipped: a closed camera answers every call with an error code.
        const uint32_t handle = target->handle;
        int clock = 0;
        double rate = 0.0;
        if (zk_fn407(handle, 0, 5000, &clock, &rate) == 0) {
            zk_SetPixelClock(handle, clock);
            double frameTime = 0.0, longest = 0.0, step = 0.0;
            if (zk_fn271(handle, &frameTime, &longest, &step) == 0 && frameTime > 0.0 &&
                rate < 1.0 / frameTime)
                rate = 1.0 / frameTime;
            zk_SetFrameRate(handle, rate, &rate);
        }
        std::lock_guard<std::recursive_mutex> lock(target->mutex);
        if (target->listener)
            target->listener->optimizeEnd();
    } catch (...) {
        // Nothing may leave the worker thread.
    }
    return 0;
}

} // namespace Tolvane_model
