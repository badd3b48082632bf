#pragma once

// For the test programs of every folder: answers each modal dialog at once instead of running
// its loop, and keeps what each message box showed. Register it once wx has started, or make it
// registered for its own lifetime (a test's local hook).

#include <wx/dialog.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>

#include <functional>
#include <string>
#include <vector>

class AnsweredDialogs : public wxModalDialogHook {
public:
    explicit AnsweredDialogs(bool registerNow = false) : registeredHere(registerNow) {
        if (registerNow)
            Register();
    }
    ~AnsweredDialogs() override {
        if (registeredHere)
            Unregister();
    }
    AnsweredDialogs(const AnsweredDialogs&) = delete;
    AnsweredDialogs& operator=(const AnsweredDialogs&) = delete;

    // The dialogs entered, message boxes or not.
    int count = 0;
    // What each message box showed, in order.
    std::vector<wxString> messages;
    std::vector<wxString> captions;
    std::vector<long> styles;
    // Decides the answer (wxID_NONE lets the dialog run its loop); unset: wxID_OK.
    std::function<int(wxDialog*)> answer;

    // The last message box's text as UTF-8; empty before the first.
    std::string lastMessage() const {
        return messages.empty() ? std::string() : messages.back().utf8_string();
    }

protected:
    int Enter(wxDialog* dialog) override {
        ++count;
        if (auto* box = dynamic_cast<wxMessageDialogBase*>(dialog)) {
            messages.push_back(box->GetMessage());
            captions.push_back(box->GetCaption());
            styles.push_back(box->GetMessageDialogStyle());
        }
        return answer ? answer(dialog) : wxID_OK;
    }
    void Exit(wxDialog*) override {}

private:
    bool registeredHere;
};
