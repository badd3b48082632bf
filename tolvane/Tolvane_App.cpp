#include "tolvane/Tolvane_App.h"

#include "pemblon/core/Exception.h"
#include "pemblon/core/HelperFuncs.h"
#include "pemblon/strings/StringTable.h"
#include "pemblon/xml/XMLDoc.h"
#include "pemblon/xml/XMLException.h"
#include "platform/common/DesktopClose.h"
#include "tolvane/MainWnd.h"

#include <clocale>
#include <exception>
#include <wx/filefn.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/msgdlg.h>
#include <wx/splash.h>

using PBN::HelperFuncs;
using PBN::Strings::ostring;
using PBN::Strings::StringTable;

namespace Tolvane {

bool Tolvane_App::loadStringTable(const ostring& path) {
    try {
        PBN::XML::XMLDoc document(path, true, false);
        StringTable::get().load("Tolvane", document.getRoot());
    } catch (const PBN::XML::XMLException&) {
        wxMessageBox(wxT("Error while loading string table."), wxT("String table error"),
                     wxOK | wxICON_INFORMATION);
        return false;
    }
    // "Auto" of the recording dialog comes from the helper library's catalogue.
    wxLogNull quiet;
    StringTable::get().load("Pemblon", wxLANGUAGE_FRENCH, "lang", "");
    return true;
}

bool Tolvane_App::OnInit() {
    // wx keeps GTK from setting the locale; only the character locale comes from the
    // environment, so that number texts keep the C locale's form.
    std::setlocale(LC_CTYPE, "");
    // A logout, kill or Ctrl+C quits as File → Quit does.
    DesktopClose::install();
    wxInitAllImageHandlers();
    wxSplashScreen* splash = nullptr;
    wxBitmap splashPicture;
    const wxString splashPath = HelperFuncs::getAppDir().wxstr() + wxT("res/accueil-tolvane.jpg");
    if (wxFileExists(splashPath)) {
        wxLogNull quiet;
        splashPicture.LoadFile(splashPath, wxBITMAP_TYPE_JPEG);
    }
    if (splashPicture.IsOk())
        splash =
            new wxSplashScreen(splashPicture, wxSPLASH_CENTRE_ON_SCREEN | wxSPLASH_NO_TIMEOUT, 0, nullptr,
                               wxID_ANY, wxDefaultPosition, wxDefaultSize, wxSIMPLE_BORDER | wxSTAY_ON_TOP);
    if (splash) {
        // The event loop has not run yet: let the splash window appear while the start-up goes on.
        splash->Update();
        wxYield();
    }
    mainWnd = nullptr;
    if (!wxApp::OnInit()) {
        if (splash)
            splash->Destroy();
        return false;
    }
    HelperFuncs::initLib(ostring("res/Pemblon.xml"));
    loadStringTable(HelperFuncs::getAppDir() + ostring("res/Tolvane.xml"));

    mainWnd = new MainWnd(wxPoint(0, 0), wxSize(800, 600));
    SetTopWindow(mainWnd);
    if (splash)
        splash->Destroy();
    mainWnd->Show(true);
    return true;
}

bool Tolvane_App::OnExceptionInMainLoop() {
    try {
        throw;
    } catch (const PBN::Exception& e) {
        e.display(GetTopWindow(), false);
    } catch (const std::exception& e) {
        PBN::Exception(ostring(e.what()), PBN::Exception::SEVERE).display(GetTopWindow(), false);
    } catch (...) {
        PBN::Exception(ostring("Unknown error"), PBN::Exception::SEVERE).display(GetTopWindow(), false);
    }
    return true; // the viewer goes on
}

void Tolvane_App::OnUnhandledException() {
    try {
        throw;
    } catch (const PBN::Exception& e) {
        e.display(nullptr, false);
    } catch (...) {
    }
}

} // namespace Tolvane
