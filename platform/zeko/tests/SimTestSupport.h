// Shared by the simulator's tests: a fresh simulator on a temporary state folder per test, and
// helpers that run ffprobe and ffmpeg.
#pragma once

#include "platform/zeko/tests/RunCommand.h"
#include "platform/zeko/zeko_api.h"
#include "platform/zeko/zeko_sim_control.h"
#include "platform/zeko/zeko_tools.h"

#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zeko::sim::test {

class SimTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Starts the simulator again on the same state folder: what a program restart sees.
    void restart();
    uint32_t openFirst();
    std::string dir_;
};

using zeko::test::runCommand;
bool haveTool(const char* tool);
void removeTree(const std::string& path);

template <class T> T at(const void* record, size_t offset) {
    T v;
    std::memcpy(&v, static_cast<const uint8_t*>(record) + offset, sizeof v);
    return v;
}
template <class T> void setAt(void* record, size_t offset, T v) {
    std::memcpy(static_cast<uint8_t*>(record) + offset, &v, sizeof v);
}

} // namespace zeko::sim::test
