#pragma once

// GUI tests: answers every modal dialog at once and remembers what was asked, and starts wx for
// a whole test program.

#include "pemblon/tests/support/AnsweredDialogs.h"

#include <gtest/gtest.h>
#include <wx/modalhook.h>
#include <wx/string.h>

#include <functional>
#include <vector>

class wxApp;

namespace cmtest {

// Every modal dialog answered at once (answer decides, else wxID_OK), the message texts kept.
using AnswerDialogs = AnsweredDialogs;

// Starts wx with the application `makeApp` returns before the first test and ends it after the
// last; `callOnInit` also runs the application's OnInit.
class WxTestEnvironment : public ::testing::Environment {
public:
    WxTestEnvironment(std::function<wxApp*()> makeApp, bool callOnInit = false)
        : makeApp_(std::move(makeApp)), callOnInit_(callOnInit) {}
    void SetUp() override;
    void TearDown() override;

private:
    std::function<wxApp*()> makeApp_;
    bool callOnInit_;
};

} // namespace cmtest
