#pragma once

// For the test programs of every folder: answers each modal dialog at once instead of running
// its loop, and keeps what each message box showed. Register it once wx has started.

#include <wx/dialog.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>

#include <functional>
#include <string>
#include <vector>

class AnsweredDialogs : public wxModalDialogHook {
public:
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
            captions.push_back(box->GetTitle());
            styles.push_back(box->GetMessageDialogStyle());
        }
        return answer ? answer(dialog) : wxID_OK;
    }
    void Exit(wxDialog*) override {}
};
