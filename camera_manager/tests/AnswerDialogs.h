// GUI tests: answers every modal dialog at once and remembers what was asked, and starts wx for
// a whole test program.
#ifndef CAMERA_MANAGER_TESTS_ANSWERDIALOGS_H
#define CAMERA_MANAGER_TESTS_ANSWERDIALOGS_H

#include <gtest/gtest.h>
#include <wx/modalhook.h>
#include <wx/string.h>

#include <functional>
#include <vector>

class wxApp;

namespace cmtest {

class AnswerDialogs : public wxModalDialogHook {
public:
    // The message texts of the message boxes shown, in order.
    std::vector<wxString> messages;
    // Decides the answer of a dialog; unset: wxID_OK for every dialog.
    std::function<int(wxDialog*)> answer;

protected:
    int Enter(wxDialog* dialog) override;
    void Exit(wxDialog*) override {}
};

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

#endif
