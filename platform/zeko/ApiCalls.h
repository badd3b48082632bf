// What the camera model's and the camera manager's calls share: the inventory, the journal and
// the test settings, and running a zeko_api call through the journal, on an open session when
// the call names a camera handle.
#pragma once

#include "platform/zeko/CallJournal.h"
#include "platform/zeko/CameraInventory.h"
#include "platform/zeko/ChangeCounter.h"
#include "platform/zeko/SimulatorSettings.h"
#include "platform/zeko/zeko_api.h"

#include <cstdint>
#include <initializer_list>

namespace zeko::sim {

class ApiCalls {
protected:
    ApiCalls(CameraInventory& inventory, CallJournal& journal, const SimulatorSettings& settings)
        : inventory_(inventory), journal_(journal), settings_(settings) {}

    // The body's result, journalled; an exception from it becomes ZK_NO_SUCCESS. A call that
    // may change a camera counts as a change as it starts and as it ends, so that a poll during
    // a long one (a firmware upload) and a poll after it both see one.
    template <class Body>
    int call(const char* function, std::initializer_list<long long> ints,
             std::initializer_list<double> doubles, Body&& body) {
        const bool changes = !ChangeCounter::changesNothing(function);
        if (changes)
            inventory_.changes().count();
        const int result = journal_.run(function, ints, doubles, ZK_NO_SUCCESS, body);
        if (changes)
            inventory_.changes().count();
        return result;
    }

    // call() with the session of `handle`: the inventory's lock is held throughout, and an unknown
    // or unplugged handle is refused before the body runs.
    template <class Body>
    int sessionCall(uint32_t handle, const char* function, std::initializer_list<long long> ints,
                    std::initializer_list<double> doubles, Body&& body) {
        return call(function, ints, doubles, [&] { return inventory_.withSession(handle, body); });
    }

    CameraInventory& inventory_;
    CallJournal& journal_;
    const SimulatorSettings& settings_;
};

} // namespace zeko::sim
