#pragma once

#include <wx/string.h>

class wxWindow;

namespace Tolvane {

// Shows the viewer's compiled help document in the CHM viewer xchm, started on its own: the
// toolkit reads no .chm file here, and a fresh system has no program registered for one.
class HelpViewer {
public:
    explicit HelpViewer(const wxString& document);
    // Starts the viewer on the document. Throws: PBN::Exception (SEVERE) when the document is
    // missing or the viewer cannot be started.
    void displayContents();
    // The command that shows the document (program and argument), for tests.
    static wxString viewerProgram();
    const wxString& getDocument() const { return document; }

private:
    wxString document;
};

} // namespace Tolvane
