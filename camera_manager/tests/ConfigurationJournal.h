// The GigE configuration calls that reached the simulated camera library, in order.
#pragma once

#include "platform/zeko/zeko_sim_control.h"

#include <string>
#include <vector>

namespace cmtest {

struct ConfigurationCall {
    std::string function;
    std::vector<long long> ints; // zk_SetAutoCfgIpRange: adapter id, begin, end, time-out;
                                 // zk_SetPersistentIpCfg: device id, address, mask, size
    int result;
};

inline std::vector<ConfigurationCall> ConfigurationCalls() {
    std::vector<ConfigurationCall> calls;
    for (int i = 0; i < zksim_JournalSize(); ++i) {
        ZkSimCall c{};
        zksim_JournalEntry(i, &c);
        const std::string name = c.function;
        if (name == "zk_SetAutoCfgIpRange" || name == "zk_SetPersistentIpCfg")
            calls.push_back({name, std::vector<long long>(c.ints, c.ints + c.intCount), c.result});
    }
    return calls;
}

} // namespace cmtest
