#include "platform/common/RegistryFolder.h"

#include <cstdlib>

std::string RegistryFolder() {
    if (const char* dir = std::getenv("ZEKO_REGISTRY_DIR"); dir && *dir)
        return dir;
    if (const char* dir = std::getenv("XDG_CONFIG_HOME"); dir && *dir)
        return std::string(dir) + "/zeko";
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::string(home) + "/.config/zeko";
    return "/tmp/zeko";
}
