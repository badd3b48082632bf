#pragma once

#include "tolvane_model/Export.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>

#include <wx/thread.h>

namespace Tolvane_model {

class CameraListener;

// The worker that searches the camera's best pixel clock and frame rate (type 0, the only type
// with work), then calls the listener's optimizeEnd on this thread. Detached: it deletes itself
// when Entry returns. Camera::optimizeClock starts it.
//
// The worker never touches the camera object: it takes the camera handle when it is built (on
// the caller's thread), so the camera may be deleted while the search runs. Its listener sits in
// a Target shared with the camera, so that Camera::removeListener can clear it, under the
// target's lock, while the search still runs.
class TVM_API Thread : public wxThread {
public:
    struct Target {
        std::recursive_mutex mutex;
        CameraListener* listener = nullptr;
        uint32_t handle = 0;
    };

    Thread(const int& type = 0, CameraListener* listener = nullptr);
    ~Thread() override;

    int getType() const;
    // Workers of the whole process not yet deleted. The toolkit tears its thread bookkeeping
    // down when the program ends and a detached worker still inside its search at that moment
    // would end on freed state, so whoever ends the program waits for them first.
    static int running();
    // False when workers are still left after the timeout.
    static bool waitForAll(const std::chrono::milliseconds& timeout);
    // The state shared with the camera (an addition for Camera::removeListener).
    std::shared_ptr<Target> getTarget() const;

protected:
    ExitCode Entry() override;

private:
    int type;
    std::shared_ptr<Target> target;
};

} // namespace Tolvane_model
