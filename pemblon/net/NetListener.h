#pragma once

#include "pemblon/core/Export.h"

namespace PBN::Net {

class NetHandle;
class NetEvent;

// Told by a network handle when a transfer begins, how far it has come and when it ended. The
// handle never owns its listeners: one that dies first removes itself from the handle.
class PBN_API NetListener {
public:
    NetListener(const NetListener& other);
    NetListener& operator=(const NetListener& other);
    virtual ~NetListener();

    virtual void pbnNetBegin(const NetHandle* handle);
    // Called from libcurl's progress report; changing the event does not affect the transfer.
    virtual void pbnNetProgress(const NetHandle* handle, NetEvent& event);
    // Called after every transfer, whether it succeeded or not.
    virtual void pbnNetEnd(const NetHandle* handle);

protected:
    NetListener();
};

} // namespace PBN::Net
