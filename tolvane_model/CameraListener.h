#pragma once

#include "tolvane_model/Export.h"

namespace Tolvane_model {

// What the camera tells the viewer: a recording the camera ended by itself (length or size
// reached), and the end of a clock optimisation. Both do nothing unless overridden.
// recordEnd arrives on the GUI thread; optimizeEnd arrives on the optimising worker thread.
class TVM_API CameraListener {
public:
    CameraListener() = default;
    CameraListener(const CameraListener&) = default;
    CameraListener& operator=(const CameraListener&) = default;
    virtual ~CameraListener();

    virtual void recordEnd();
    virtual void optimizeEnd();
};

} // namespace Tolvane_model
