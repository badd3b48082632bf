#pragma once

#include <vector>

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "pemblon/core/Export.h"
#include "pemblon/strings/ostring.h"

namespace PBN {
namespace Widgets {

// Shows a message above the output of some operation, each line in the output or the error
// colour, with a "Close" button. Lines added later appear at the next turn of the event loop, in
// the colours in effect then: those that arrive between two turns go into the text box together,
// one append for each run of one colour, so that the window answers whatever the rate of lines.
class PBN_API OutputDialog : public wxDialog {
public:
    struct Line {
        Strings::ostring text;
        bool error;
    };

    // Titled "Output", empty, no parent.
    OutputDialog();
    // Without a parent the application's top window is the parent.
    OutputDialog(const Strings::ostring& output, const Strings::ostring& message,
                 const Strings::ostring& title, wxWindow* parent);
    ~OutputDialog() override;

    void output(const Strings::ostring& text);
    void error(const Strings::ostring& text);
    void setOutputColour(const wxColour& colour) { _outputColour = colour; }
    void setErrorColour(const wxColour& colour) { _errorColour = colour; }

protected:
    void createCtrls();
    void initCtrls();

private:
    static wxWindow* parentOrTopWindow(wxWindow* parent);
    // Appends the lines not yet in the text box.
    void showPending();
    void schedulePending();

    Strings::ostring _message;
    std::vector<Line> _lines;
    // How many of the lines are in the text box, and whether an append of the others is queued.
    size_t _shown = 0;
    bool _showQueued = false;
    wxColour _outputColour;
    wxColour _errorColour;
    wxStaticText* _label;
    wxTextCtrl* _text;
    wxButton* _close;
};

} // namespace Widgets
} // namespace PBN
