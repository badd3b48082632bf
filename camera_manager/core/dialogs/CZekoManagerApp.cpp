#include "camera_manager/core/dialogs/CZekoManagerApp.h"

#include "camera_manager/core/controls/WindowBehaviour.h"
#include "camera_manager/core/controls/WxText.h"
#include "camera_manager/core/dialogs/CZekoManagerDlg.h"
#include "camera_manager/core/records/ManagerStartup.h"
#include "camera_manager/core/records/StoreMessages.h"
#include "camera_manager/core/rules/NetworkServiceRules.h"
#include "camera_manager/res/StringIds.h"
#include "camera_manager/res/StringTable.h"
#include "platform/common/DesktopClose.h"
#include "platform/win/NetworkSetup.h"
#include "platform/win/RegistryStore.h"
#include "platform/win/UnreadableFiles.h"

#include <clocale>
#include <cstdlib>
#include <string>
#include <wx/dialog.h>
#include <wx/msgdlg.h>

CZekoManagerApp::CZekoManagerApp() {
    SetProgramResourceStrings(managerStrings, managerStringCount);
}

bool CZekoManagerApp::OnInit() {
    // wx keeps GTK from setting the locale, so the program would run in "C" and take every
    // character beyond ASCII for an error. Only the character locale comes from the
    // environment: number texts are read and written in the C locale's form.
    std::setlocale(LC_CTYPE, "");
    // A logout, kill or Ctrl+C ends the program as its Close does: transfers stopped, settings
    // saved, port links removed. The display lost or the main dialog destroyed by another X
    // client save the settings and remove the links, and the program leaves.
    DesktopClose::install();
    // wxEntry turns a false OnInit into status 255; a normal close is a normal end.
    InitInstance();
    return true;
}

bool CZekoManagerApp::InitInstance() {
    SetAppName("Zeko Camera Manager");
    HINSTANCE resourceLibrary = nullptr;
    WCHAR language[20];
    if (ReadLanguageSetting(language, sizeof language) || language[0]) {
        resourceLibrary = LoadResourceLibrary(language);
        if (resourceLibrary)
            AfxSetResourceHandle(resourceLibrary);
    }
    // A start where no setup ran (the build tree) finds the network service installed, under
    // the name the service dialog looks for.
    win::EnsureNetworkSetup(LoadResourceString(NetworkServiceRules::ServiceNameId));
    // Settings files that could not be read were set aside on the way: say so once.
    win::RegistryStore::loadAll();
    win::checkPortStore();
    // The simulated camera driver keeps its state beside the registry (or where it is told); it
    // cannot tell the user itself that something else stands in its place.
    const char* stateFolder = std::getenv("ZEKO_SIM_STATE_DIR");
    win::RecordIfNotAFile(
        (stateFolder && *stateFolder ? std::string(stateFolder) : win::RegistryStore::folder()) +
        "/zeko_sim_state.ini");
    for (const win::UnreadableFile& file : win::TakeUnreadableFiles())
        wxMessageBox(ToWx(UnreadableFileMessage(file)), ResourceText(ids::AppTitle), wxOK | wxICON_WARNING);
    const int verdict = CheckInterfaceLibraryVersion();
    if (verdict > 2) {
        CZekoManagerDlg dialog(nullptr, resourceLibrary, wow64);
        SetTopWindow(&dialog);
        // Without a display, or without its window, the program leaves without its close: the
        // settings are saved all the same.
        const DesktopClose::BeforeLeaving saved([&dialog] { dialog.SaveSettings(); });
        dialog.RestorePlacement();
        dialog.ShowModal();
        exitCode = 0;
        return false;
    }
    wxMessageBox(
        ResourceText(verdict == 0 ? ids::InterfaceLibraryMissing : ids::InterfaceLibraryIncompatible),
        ResourceText(ids::AppTitle), wxOK | wxICON_ERROR);
    exitCode = 1;
    if (resourceLibrary) {
        AfxSetResourceHandle(nullptr);
        FreeLibrary(resourceLibrary);
    }
    return false;
}

int CZekoManagerApp::FilterEvent(wxEvent& event) {
    // Each dialog places itself (centred on its owner or on the screen) before it is shown; the
    // show puts it back inside the work area wherever that left it.
    return workArea.FilterEvent(event);
}
