// Shared by the viewer's window tests: a running wx application on the simulator, a main window
// whose file questions the test answers, message boxes answered and recorded, and helpers that
// let events run, read the screen and call the picture and film tools.
#pragma once

#include "pemblon/tests/support/AnsweredDialogs.h"
#include "platform/zeko/tests/RunCommand.h"
#include "tolvane/MainWnd.h"

#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include <wx/dialog.h>
#include <wx/image.h>
#include <wx/modalhook.h>

namespace Tolvane {
class RecordDialog;
}

namespace Tolvane::test {

// Lets events, timers, pending calls and idle handlers run for ms milliseconds.
void pump(int ms);
// Lets events run until done() holds or ms milliseconds passed; returns done().
template <class F> bool pumpUntil(F done, int ms);
// Escape as the toolkit delivers it to a dialog, whichever of its controls has the focus.
void pressEscape(wxDialog* dialog);
// A click of the mouse's left button in the middle of the control, as the user gives it.
void clickWithMouse(wxWindow* control);
// Raises the top-level window and waits until the keyboard reaches it (it is the active one);
// false after 3 s.
bool waitForKeyboard(wxWindow* topLevel);
// Destroys the window's X window from another X client (xdotool windowclose), as xkill or a
// window manager's "kill" do.
void destroyFromOutside(wxWindow* topLevel);
// The screen's pixels under a window's client area, read back from the X server.
wxImage grabScreen(wxWindow* window);
using zeko::test::runCommand;
// The text of string-table item id in the active language.
wxString text(unsigned id);
// The program folder's settings file, which the main window reads and writes.
std::string settingsPath();
std::string readFile(const std::string& path);
// Number of journal entries of function whose first integer after the handle is value.
int journalCalls(const char* function);

// Answers every message box with OK and keeps their texts; the test's own dialogs run.
class MessageBoxes : public AnsweredDialogs {
public:
    MessageBoxes() : AnsweredDialogs(true) {
        answer = [](wxDialog* dialog) {
            return dynamic_cast<wxMessageDialogBase*>(dialog) ? int(wxID_OK) : int(wxID_NONE);
        };
    }
};

// The main window with the file dialog and the replace question answered by the test.
class TestMainWnd : public MainWnd {
public:
    TestMainWnd();
    struct Answer {
        wxString path;
        int filterIndex = 0;
    };
    std::deque<Answer> answers; // next answers of askSavePath; none left: cancel
    std::vector<wxString> askedNames;
    std::vector<int> offeredFilters;
    std::vector<wxString> offeredWildcards;
    bool replace = true;
    int replaceQuestions = 0;
    // Called with the record dialog while it runs modally.
    std::function<void(Tolvane::RecordDialog&)> driveRecordDialog;

    bool askSavePath(const wxString& title, const wxString& folder, const wxString& name,
                     const wxString& wildcard, int& filterIndex, wxString& path) override;
    bool confirmReplace(const wxString& path) override;

protected:
    void runRecordDialog(const wxString& path) override;
};

// One main window per test on a fresh simulator; the camera files go to a temporary folder.
class ViewerTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    void command(int id);
    void startLive();
    TestMainWnd* main = nullptr;
    MessageBoxes* boxes = nullptr;
    std::string dir;
};

template <class F> bool pumpUntil(F done, int ms) {
    for (int waited = 0; waited < ms && !done(); waited += 20)
        pump(20);
    return done();
}

} // namespace Tolvane::test
