#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

// A fresh directory per test, removed afterwards.
class TempDir {
public:
    TempDir() {
        static int counter = 0;
        _path = std::filesystem::temp_directory_path() /
                ("pemblon_bytes_" + std::to_string(getpid()) + "_" + std::to_string(++counter));
        std::filesystem::remove_all(_path);
        std::filesystem::create_directories(_path);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(_path, ec);
    }
    std::string file(const std::string& name) const { return (_path / name).string(); }

    static void write(const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    static std::string read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::filesystem::path _path;
};
