#pragma once

#include "pemblon/tests/support/AnsweredDialogs.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

namespace i18ntest {

// The modal dialogs answered so far and what their message boxes showed.
extern AnsweredDialogs dialogs;

inline std::string dataDir() {
    return I18N_DATA_DIR;
}

// A fresh folder, removed with the object.
class TempDir {
public:
    TempDir() {
        static int counter = 0;
        path = std::filesystem::temp_directory_path() /
               ("pbn-i18n-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~TempDir() { std::filesystem::remove_all(path); }
    std::string file(const std::string& name) const { return (path / name).string(); }
    std::filesystem::path path;
};

inline void writeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace i18ntest
