#include "platform/win/TempFolder.h"

#include <cstdlib>

std::string GetTemporaryFolder() {
    for (const char* name : {"TEMP", "TMPDIR"})
        if (const char* value = std::getenv(name); value && *value)
            return value;
    return "/tmp";
}
