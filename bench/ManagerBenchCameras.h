// The camera manager's benchmarks run on n simulated cameras in a temporary state folder.
#pragma once

#include <string>

namespace zeko::bench {

// A temporary folder for the simulator's state and the registry, made once per process.
const std::string& benchFolder();
// n cameras, half USB and half GigE (odd indices), each with its own device id, serial and
// MAC; the simulator and the registry use benchFolder(), the program's own strings are set and
// the interface library is loaded afresh on its next call.
void useBenchCameras(int n);

} // namespace zeko::bench
