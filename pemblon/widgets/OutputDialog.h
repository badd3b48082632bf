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
// colour, with a "Close" button. Lines added later appear at once, in the colour in effect then.
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
    void append(const Line& line);

    Strings::ostring _message;
    std::vector<Line> _lines;
    wxColour _outputColour;
    wxColour _errorColour;
    wxStaticText* _label;
    wxTextCtrl* _text;
    wxButton* _close;
};

} // namespace Widgets
} // namespace PBN
