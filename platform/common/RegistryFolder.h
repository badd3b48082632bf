#pragma once

// The folder of the camera manager's registry store, which the simulator's state and the
// virtual COM port links share: both sides must name the same folder. ZEKO_REGISTRY_DIR, else
// $XDG_CONFIG_HOME/zeko, else ~/.config/zeko, else /tmp/zeko when there is no home either.

#include <string>

std::string RegistryFolder();
