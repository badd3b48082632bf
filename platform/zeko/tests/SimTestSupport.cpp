#include "platform/zeko/tests/SimTestSupport.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

namespace zeko::sim::test {

void SimTest::SetUp() {
    char pattern[] = "/tmp/zeko_sim_test_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    setenv("ZEKO_SIM_STATE_DIR", dir_.c_str(), 1);
    unsetenv("ZEKO_SIM_CAMERAS");
    restart();
    zksim_JournalClear();
}

void SimTest::restart() {
    ASSERT_EQ(zksim_Reset(), 0) << zksim_DescriptionError();
    zksim_SetDelays(0, 0);
}

void SimTest::TearDown() {
    unsetenv("ZEKO_SIM_CAMERAS");
    zksim_Reset();
    removeTree(dir_);
}

uint32_t SimTest::openFirst() {
    uint32_t h = 0;
    EXPECT_EQ(zk_InitCamera(&h, nullptr), 0);
    EXPECT_NE(h, 0u);
    return h;
}

bool haveTool(const char* tool) {
    int status = -1;
    runCommand(std::string("command -v ") + tool + " >/dev/null 2>&1", &status);
    return status == 0;
}

void removeTree(const std::string& path) {
    if (path.size() > 5 && path.rfind("/tmp/", 0) == 0)
        runCommand("rm -rf '" + path + "'");
}

} // namespace zeko::sim::test
