#pragma once

#include "pemblon/strings/ostring.h"

#include <wx/app.h>

namespace Tolvane {

class MainWnd;

// The viewer's application: splash picture, the helper library, the string table, the main
// window. An exception that escapes a handler is shown, never ends the program.
class Tolvane_App : public wxApp {
public:
    bool OnInit() override;
    bool OnExceptionInMainLoop() override;
    void OnUnhandledException() override;

    MainWnd* getMainWnd() const { return mainWnd; }

    // Loads a string-table document (the program's res/Tolvane.xml) into the string table as
    // "Tolvane" and registers the helper library's French catalogue. Returns false, after showing
    // the one error box, when the document does not load; the texts are then empty.
    static bool loadStringTable(const PBN::Strings::ostring& path);

private:
    MainWnd* mainWnd = nullptr;
};

} // namespace Tolvane
