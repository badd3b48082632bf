#include "camera_manager/tests/ManagerTestSupport.h"

#include "camera_manager/core/CameraInterfaceLibrary.h"
#include "camera_manager/res/StringTable.h"
#include "platform/win/RegistryStore.h"

#include <cstdlib>
#include <filesystem>

namespace cmtest {

std::string libDir() {
    const char* dir = std::getenv("ZEKO_CM_TEST_LIB_DIR");
    return dir ? dir : "";
}

void ManagerTest::SetUp() {
    char pattern[] = "/tmp/zeko_cm_test_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
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

} // namespace cmtest
