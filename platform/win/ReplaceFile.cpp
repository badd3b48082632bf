#include "platform/win/ReplaceFile.h"

#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace win {

bool replaceFileContents(const std::string& path, const std::string& bytes) {
    const std::string temporary = path + ".tmp" + std::to_string(::getpid());
    {
        std::ofstream file(temporary, std::ios::trunc | std::ios::binary);
        file << bytes;
        file.flush();
        if (!file) {
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace win
