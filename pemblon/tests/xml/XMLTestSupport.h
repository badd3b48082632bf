#pragma once

#include "pemblon/xml/XMLDoc.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>
#include <unistd.h>

namespace xmltest {

inline std::string dataPath(const std::string& name) {
    return std::string(PBN_XML_TEST_DATA) + "/" + name;
}

inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// A fresh folder under the build's temporary space, removed with its files afterwards.
class TempDir {
public:
    TempDir() {
        char templ[] = "/tmp/pbnxmlXXXXXX";
        path = mkdtemp(templ);
    }
    ~TempDir() {
        std::string cmd = "rm -rf '" + path + "'";
        if (std::system(cmd.c_str()) != 0) {
        }
    }
    std::string file(const std::string& name) const { return path + "/" + name; }
    std::string path;
};

// A document built from text held in the test.
inline PBN::XML::XMLDoc parse(const std::string& text, bool keepBlanks = false) {
    return PBN::XML::XMLDoc(true, PBN::Strings::ostring(text.c_str()), keepBlanks, false,
                            PBN::Strings::ostring("mem"));
}

} // namespace xmltest
