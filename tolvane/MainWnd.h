#pragma once

#include "platform/common/DesktopClose.h"
#include "tolvane/LiveImage.h"

#include <vector>
#include <wx/aui/aui.h>
#include <wx/frame.h>
#include <wx/scrolwin.h>
#include <wx/statbmp.h>
#include <wx/timer.h>

namespace Tolvane {

class PictureWindow;
class HelpViewer;

// The viewer's main frame: menus, tool bar, status bar, the live view pane, the floating grabbed
// pictures and the display timer that draws the camera's image. Camera errors are shown and
// never end the program.
class MainWnd : public wxFrame {
public:
    enum Ids {
        ID_QUIT = 1,
        ID_ABOUT = 2,
        ID_ENGLISH = 3,
        ID_FRENCH = 4,
        ID_LIVE = 5,
        ID_PROPERTIES = 6,
        ID_HELP = 7,
        ID_LIVE_TOOL = 8,
        ID_TIMER = 9,
        ID_GRAB_TOOL = 12,
        ID_GRAB = 13,
        ID_LIVE_VIEW = 17,
        ID_RECORD_TOOL = 32,
        ID_RECORD = 33,
    };

    MainWnd(const wxPoint& position, const wxSize& size);
    ~MainWnd() override;

    // The first show lays the window out at its own size, not at the toolkit's placeholder.
    bool Show(bool show = true) override;

    // Switches the language ("French" or "English"; another name keeps the language), stores the
    // name in the settings and sets every text again, picture windows included.
    void relabel(const wxString& language);
    void liveStop();

    const wxString& getLastFolder() const { return lastFolder; }
    void setLastFolder(const wxString& folder) { lastFolder = folder; }
    const wxString& getLastPictureExtension() const { return lastPictureExtension; }
    void setLastPictureExtension(const wxString& extension) { lastPictureExtension = extension; }

    // Asks for the file to save to; false when the user cancels. filterIndex is the filter shown
    // first and, on return, the one chosen. The file dialog is behind this one call so that the
    // picture and film commands share it.
    virtual bool askSavePath(const wxString& title, const wxString& folder, const wxString& name,
                             const wxString& wildcard, int& filterIndex, wxString& path);
    // Asks whether to replace an existing file.
    virtual bool confirmReplace(const wxString& path);

    // Opens the menu whose underlined letter an Alt key press gives, as the menu bar does when
    // this window has the focus; false when no menu has that letter.
    bool openMenuFor(const wxKeyEvent& key);

    bool isLive() const { return live; }
    wxScrolledWindow* getLiveView() const { return liveView; }
    const std::vector<PictureWindow*>& getPictureWindows() const { return pictureWindows; }
    wxAuiManager& getAuiManager() { return auiManager; }

protected:
    // Opens the recording dialog for a chosen film; a seam for tests that drive it themselves.
    virtual void runRecordDialog(const wxString& path);

private:
    void buildMenus();
    void buildToolBar();
    void setLiveCommands();
    void showWelcome(const bool& show);
    // Status fields 0 and 1 as wide as the longest text they show in the active language.
    void sizeStatusFields();
    static wxString pictureCaption(const size_t& number);
    void drawLive(wxDC& dc);

    void onQuit(wxCommandEvent& event);
    void onAbout(wxCommandEvent& event);
    void onLanguage(wxCommandEvent& event);
    void onLive(wxCommandEvent& event);
    void onProperties(wxCommandEvent& event);
    void onHelp(wxCommandEvent& event);
    void onGrab(wxCommandEvent& event);
    void onRecord(wxCommandEvent& event);
    void onTimer(wxTimerEvent& event);
    void onClose(wxCloseEvent& event);
    void onSize(wxSizeEvent& event);
    void onPaneClose(wxAuiManagerEvent& event);
    void onLivePaint(wxPaintEvent& event);

    wxAuiManager auiManager;
    wxTimer timer;
    HelpViewer* help = nullptr;
    wxMenu* fileMenu = nullptr;
    wxMenu* cameraMenu = nullptr;
    wxMenu* languageMenu = nullptr;
    wxMenu* helpMenu = nullptr;
    wxScrolledWindow* liveView = nullptr;
    // The size the window was made with, and whether it was maximised at the last size event.
    wxSize normalSize;
    bool wasMaximized = false;
    bool live = false;
    // The welcome picture, a child of the live view while the camera is off (null while live).
    wxBitmap welcome;
    wxStaticBitmap* welcomePicture = nullptr;
    wxSizer* welcomeSizer = nullptr;
    std::vector<PictureWindow*> pictureWindows;
    wxString lastFolder;
    wxString lastPictureExtension;

    // The last image drawn (the visible part of the area of interest), the area of interest and
    // the sensor size it came from: repainted when the view is exposed between ticks.
    LiveImage liveImage;
    wxSize liveArea;
    wxSize sensorSize;
    bool closing = false;
    // A viewer that leaves without its close (the display gone, the window destroyed by another
    // client) finishes the film and closes the camera as File → Quit does. The settings are
    // written as they change.
    DesktopClose::BeforeLeaving filmKept;

    wxDECLARE_EVENT_TABLE();
};

} // namespace Tolvane
