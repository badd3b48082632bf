// Shared by the camera manager's tests: a fresh registry and simulator state folder per test,
// the program's string table, and the interface library loaded from the build's Windows folder
// (or from a Windows folder of the test's own).
#pragma once

#include "platform/win/Registry.h"
#include "platform/zeko/zeko_api.h"
#include "platform/zeko/zeko_sim_control.h"

#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace cmtest {

class ManagerTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // A Windows folder of this test whose system32 holds the build library lib<name>.so as the
    // interface library (an empty name: no interface library).
    void useWindowsFolder(const std::string& libraryName);
    // Replaces the simulated cameras.
    void useCameras(const std::string& description);
    std::string dir_;
};

std::string libDir();

// Writes one registry value, creating its key.
void setRegistryString(HKEY root, const std::u16string& path, const char16_t* name,
                       const std::u16string& value);
void setRegistryDword(HKEY root, const std::u16string& path, const char16_t* name, DWORD value);

template <class T> void setAt(void* record, size_t offset, T v) {
    std::memcpy(static_cast<uint8_t*>(record) + offset, &v, sizeof v);
}

} // namespace cmtest
