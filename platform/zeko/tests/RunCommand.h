// Tests that look at what a program wrote with the tools people use (ffprobe, identify, xmllint)
// run them through the shell.
#pragma once

#include <string>

namespace zeko::test {

// Output of a shell command, and its exit status (-1 when it did not exit normally).
std::string runCommand(const std::string& command, int* status = nullptr);

} // namespace zeko::test
