#include "camera_manager/tests/ManagerTestSupport.h"

#include "camera_manager/core/records/CameraInterfaceLibrary.h"
#include "camera_manager/res/StringTable.h"
#include "platform/win/RegistryStore.h"

#include <cstdlib>
#include <filesystem>

namespace cmtest {

std::string libDir() {
    const char* dir = std::getenv("ZEKO_CM_TEST_LIB_DIR");
    if (!dir || !*dir)
        ADD_FAILURE() << "ZEKO_CM_TEST_LIB_DIR is not set: it names the build's lib folder (ctest sets it)";
    return dir ? dir : "";
}

void ManagerTest::SetUp() {
    // In memory where the machine has it: every registry value is written durably (fsync), and
    // a test that installs COM ports writes thousands, which a disk busy with builds makes slow.
    std::string pattern = std::filesystem::is_directory("/dev/shm") ? "/dev/shm/zeko_cm_test_XXXXXX"
                                                                    : "/tmp/zeko_cm_test_XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    setenv("ZEKO_REGISTRY_DIR", dir_.c_str(), 1);
    setenv("ZEKO_SIM_STATE_DIR", dir_.c_str(), 1);
    unsetenv("ZEKO_SIM_CAMERAS");
    unsetenv("ZEKO_WINDOWS_ROOT");
    win::RegistryStore::resetAll();
    SetProgramResourceStrings(managerStrings, managerStringCount);
    AfxSetResourceHandle(nullptr);
    ZekoApi::Unload();
    ASSERT_EQ(zksim_Reset(), 0);
    zksim_SetDelays(0, 0);
    zksim_JournalClear();
}

void ManagerTest::TearDown() {
    ZekoApi::Unload();
    zksim_Reset();
    unsetenv("ZEKO_WINDOWS_ROOT");
    win::RegistryStore::resetAll();
    std::filesystem::remove_all(dir_);
}

void ManagerTest::useWindowsFolder(const std::string& libraryName) {
    const std::string root = dir_ + "/windows";
    std::filesystem::create_directories(root + "/system32");
    if (!libraryName.empty())
        std::filesystem::copy_file(libDir() + "/lib" + libraryName + ".so",
                                   root + "/system32/zeko_api_64.dll",
                                   std::filesystem::copy_options::overwrite_existing);
    setenv("ZEKO_WINDOWS_ROOT", root.c_str(), 1);
    ZekoApi::Unload();
}

void ManagerTest::useCameras(const std::string& description) {
    ASSERT_EQ(zksim_UseDescription(description.c_str()), 0) << zksim_DescriptionError();
    zksim_SetDelays(0, 0);
}

namespace {
void setRegistryValue(HKEY root, const std::u16string& path, const char16_t* name, DWORD type,
                      const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), 0);
    EXPECT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size), 0);
    RegCloseKey(key);
}
} // namespace

void setRegistryString(HKEY root, const std::u16string& path, const char16_t* name,
                       const std::u16string& value) {
    setRegistryValue(root, path, name, REG_SZ, value.c_str(), DWORD((value.size() + 1) * sizeof(char16_t)));
}

void setRegistryDword(HKEY root, const std::u16string& path, const char16_t* name, DWORD value) {
    setRegistryValue(root, path, name, REG_DWORD, &value, sizeof value);
}

} // namespace cmtest
