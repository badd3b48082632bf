#include "tolvane/MainWnd.h"

#include "pemblon/core/Exception.h"
#include "pemblon/core/HelperFuncs.h"
#include "pemblon/strings/StringTable.h"
#include "tolvane/HelpViewer.h"
#include "tolvane/PictureWindow.h"
#include "tolvane/RecordDialog.h"
#include "tolvane/ViewerRules.h"
#include "tolvane/properties/PropertiesDialog.h"
#include "tolvane/res/StringIds.h"
#include "tolvane_model/Camera.h"
#include "tolvane_model/Config.h"

#include <cstdlib>
#include <gtk/gtk.h>
#include <wx/dcclient.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/statusbr.h>
#include <wx/time.h>
#include <wx/toolbar.h>
#include <wx/utils.h>

using PBN::HelperFuncs;
using PBN::Strings::ostring;
using PBN::Strings::StringTable;
using Tolvane::ViewerRules::text;
using Tolvane_model::Camera;

namespace Tolvane {

namespace {

wxString appFile(const wxString& relative) {
    return HelperFuncs::getAppDir().wxstr() + relative;
}

// A tool picture from the program's res/ folder; a blank one of the tool size when it is missing,
// so that the tool bar keeps its tool size.
wxBitmap toolBitmap(const wxString& name) {
    const wxString path = appFile(wxT("res/") + name);
    if (wxFileExists(path)) {
        wxLogNull quiet;
        wxBitmap bitmap = HelperFuncs::loadBitmap(ostring(path));
        if (bitmap.IsOk())
            return bitmap;
    }
    return wxBitmap(16, 16);
}

// Every window's default folder, created when missing so that the file dialog opens there.
wxString defaultFolder(const wxString& lastFolder, const wxString& name) {
    if (!lastFolder.empty())
        return lastFolder;
    const wxString folder = appFile(name);
    if (!wxDirExists(folder)) {
        wxLogNull quiet;
        wxFileName::Mkdir(folder, wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
    }
    return folder;
}

} // namespace

wxBEGIN_EVENT_TABLE(MainWnd, wxFrame) EVT_MENU(ID_QUIT, MainWnd::onQuit) EVT_MENU(ID_ABOUT, MainWnd::onAbout)
    EVT_MENU(ID_FRENCH, MainWnd::onLanguage) EVT_MENU(ID_ENGLISH, MainWnd::onLanguage)
        EVT_MENU(ID_LIVE, MainWnd::onLive) EVT_MENU(ID_LIVE_TOOL, MainWnd::onLive)
            EVT_MENU(ID_PROPERTIES, MainWnd::onProperties) EVT_MENU(ID_HELP, MainWnd::onHelp)
                EVT_MENU(ID_GRAB_TOOL, MainWnd::onGrab) EVT_MENU(ID_GRAB, MainWnd::onGrab)
                    EVT_MENU(ID_RECORD_TOOL, MainWnd::onRecord) EVT_MENU(ID_RECORD, MainWnd::onRecord)
                        EVT_TIMER(ID_TIMER, MainWnd::onTimer) EVT_CLOSE(MainWnd::onClose)
                            EVT_SIZE(MainWnd::onSize) EVT_AUI_PANE_CLOSE(MainWnd::onPaneClose)
                                wxEND_EVENT_TABLE()

                                    MainWnd::MainWnd(const wxPoint& position, const wxSize& size)
    : wxFrame(nullptr, wxID_ANY, wxT("Tolvane"), position, size, wxDEFAULT_FRAME_STYLE),
      auiManager(nullptr, wxAUI_MGR_DEFAULT), timer(this, ID_TIMER), normalSize(size), filmKept([] {
          // Stopped first, so that the recording dialog is not told of the end: nothing of the
          // windows may run any more.
          try {
              Camera::getInstance()->stopRecording();
          } catch (const PBN::Exception&) {
          }
          Camera::destroyInstance();
      }) {
    auiManager.SetManagedWindow(this);
    auiManager.SetFlags(wxAUI_MGR_ALLOW_FLOATING | wxAUI_MGR_TRANSPARENT_DRAG | wxAUI_MGR_TRANSPARENT_HINT |
                        wxAUI_MGR_NO_VENETIAN_BLINDS_FADE);

    Maximize();
    SetTitle(wxString(wxT("Tolvane")) + wxT(" - ") + wxT("Dravolt sciences"));
    const wxString iconPath = appFile(wxT("res/Tolvane.ico"));
    if (wxFileExists(iconPath)) {
        wxLogNull quiet;
        wxIcon icon(iconPath, wxBITMAP_TYPE_ICO);
        if (icon.IsOk())
            SetIcon(icon);
    }

    try {
        Tolvane_model::Config::getInstance()->load();
    } catch (const PBN::Exception& e) {
        e.display(this, false);
    }

    buildMenus();
    buildToolBar();
    CreateStatusBar(3);
    const int widths[3] = {200, 170, -1};
    SetStatusWidths(3, widths);
    SetStatusBarPane(0);

    liveView =
        new wxScrolledWindow(this, ID_LIVE_VIEW, wxDefaultPosition, wxSize(800, 600), wxHSCROLL | wxVSCROLL);
    liveView->Bind(wxEVT_PAINT, &MainWnd::onLivePaint, this);
    const wxString welcomePath = appFile(wxT("res/accueil-tolvane.jpg"));
    if (wxFileExists(welcomePath)) {
        wxLogNull quiet;
        welcome.LoadFile(welcomePath, wxBITMAP_TYPE_JPEG);
    }
    if (!welcome.IsOk())
        welcome = wxBitmap(1, 1);
    welcomeSizer = new wxBoxSizer(wxVERTICAL);
    welcomeSizer->AddStretchSpacer(1);
    welcomeSizer->AddStretchSpacer(1);
    showWelcome(true);
    liveView->SetSizer(welcomeSizer, false);
    liveView->Layout();

    auiManager.AddPane(
        liveView,
        wxAuiPaneInfo().Name(wxT("Capture A")).CenterPane().Caption(text(ids::Live)).CaptionVisible(true));

    help = new HelpViewer(appFile(wxT("doc/Tolvane help.chm")));

    relabel(Tolvane_model::Config::getInstance()->getLanguage().wxstr());
    auiManager.Update();
}

bool MainWnd::Show(bool show) {
    // Under a window manager wx holds the first show back until the manager has told the frame's
    // size, and meanwhile realizes the window with its unset allocation widened to 2 x 1, so that
    // realizing lays nothing out: the X window is made 2 x 1. The held-back show then laid the
    // menus and the tool bar out in it before the manager's answer (GTK's "extra_space >= 0" for
    // their box and "Negative content width" for the tool bar at every start), and the manager
    // kept that size as the one to go back to from the maximised state. Given its default size
    // (the constructor's) as its allocation, the window is made and first laid out at that size.
    GtkWidget* window = GetHandle();
    if (show && window && !gtk_widget_get_realized(window)) {
        GtkAllocation allocation;
        gtk_widget_get_allocation(window, &allocation);
        int width = 0, height = 0;
        gtk_window_get_default_size(GTK_WINDOW(window), &width, &height);
        if (allocation.width <= 1 && allocation.height <= 1 && width > 1 && height > 1) {
            allocation = GtkAllocation{0, 0, width, height};
            gtk_widget_set_allocation(window, &allocation);
        }
    }
    return wxFrame::Show(show);
}

MainWnd::~MainWnd() {
    timer.Stop();
    if (liveView && liveView->GetSizer() != welcomeSizer)
        liveView->SetSizer(welcomeSizer, true);
    delete help;
    if (!closing)
        auiManager.UnInit();
}

void MainWnd::buildMenus() {
    auto* bar = new wxMenuBar();
    fileMenu = new wxMenu();
    fileMenu->Append(ID_QUIT, wxT("-"));
    cameraMenu = new wxMenu();
    cameraMenu->AppendCheckItem(ID_LIVE, wxT("-"));
    cameraMenu->Append(ID_GRAB, wxT("-"));
    cameraMenu->Append(ID_RECORD, wxT("-"));
    cameraMenu->AppendSeparator();
    cameraMenu->Append(ID_PROPERTIES, wxT("-"));
    languageMenu = new wxMenu();
    languageMenu->AppendRadioItem(ID_FRENCH, wxT("&Fran\u00e7ais"), wxT("Tolvane en fran\u00e7ais"));
    languageMenu->AppendRadioItem(ID_ENGLISH, wxT("&English"), wxT("Tolvane in english"));
    helpMenu = new wxMenu();
    helpMenu->Append(ID_HELP, wxT("-"));
    helpMenu->Append(ID_ABOUT, wxT("-"));
    bar->Append(fileMenu, wxT("-"));
    bar->Append(cameraMenu, wxT("-"));
    bar->Append(languageMenu, wxT("-"));
    bar->Append(helpMenu, wxT("-"));
    SetMenuBar(bar);
}

void MainWnd::buildToolBar() {
    wxToolBar* tools = CreateToolBar(wxTB_HORIZONTAL);
    const wxBitmap liveBitmap = toolBitmap(wxT("live.bmp"));
    tools->SetToolBitmapSize(liveBitmap.GetSize());
    tools->AddSeparator();
    tools->AddCheckTool(ID_LIVE_TOOL, wxEmptyString, liveBitmap);
    tools->AddTool(ID_GRAB_TOOL, wxEmptyString, toolBitmap(wxT("grab.bmp")));
    tools->AddTool(ID_RECORD_TOOL, wxEmptyString, toolBitmap(wxT("record.bmp")));
    tools->Realize();
    setLiveCommands();
}

void MainWnd::setLiveCommands() {
    if (wxToolBar* tools = GetToolBar()) {
        tools->EnableTool(ID_GRAB_TOOL, live);
        tools->EnableTool(ID_RECORD_TOOL, live);
        tools->ToggleTool(ID_LIVE_TOOL, live);
    }
    if (wxMenuBar* bar = GetMenuBar()) {
        bar->Enable(ID_GRAB, live);
        bar->Enable(ID_RECORD, live);
        bar->Enable(ID_PROPERTIES, live);
        bar->Check(ID_LIVE, live);
    }
}

void MainWnd::relabel(const wxString& language) {
    if (auto lang = ViewerRules::languageForName(language)) {
        wxLogNull quiet; // a locale the system lacks still switches the texts
        StringTable::get().setActiveLanguage(*lang);
        GetMenuBar()->Check(*lang == wxLANGUAGE_FRENCH ? ID_FRENCH : ID_ENGLISH, true);
    }
    try {
        Tolvane_model::Config::getInstance()->setLanguage(ostring(language));
    } catch (const PBN::Exception& e) {
        e.display(this, false);
    }

    wxMenuBar* bar = GetMenuBar();
    bar->SetMenuLabel(0, text(ids::MenuFile));
    bar->SetMenuLabel(1, text(ids::MenuCamera));
    bar->SetMenuLabel(2, text(ids::MenuLanguage));
    bar->SetMenuLabel(3, text(ids::MenuHelp));
    struct Item {
        int id;
        unsigned label, help;
    };
    for (const Item& item :
         {Item{ID_QUIT, ids::Quit, ids::QuitHelp}, Item{ID_LIVE, ids::Live, ids::LiveHelp},
          Item{ID_GRAB, ids::Grab, ids::GrabHelp}, Item{ID_RECORD, ids::Record, ids::RecordHelp},
          Item{ID_PROPERTIES, ids::Properties, ids::PropertiesHelp},
          Item{ID_HELP, ids::HelpContents, ids::HelpContentsHelp},
          Item{ID_ABOUT, ids::About, ids::AboutHelp}}) {
        bar->SetLabel(item.id, text(item.label));
        bar->SetHelpString(item.id, text(item.help));
    }
    wxToolBar* tools = GetToolBar();
    for (const Item& item :
         {Item{ID_LIVE_TOOL, ids::Live, ids::LiveHelp}, Item{ID_GRAB_TOOL, ids::Grab, ids::GrabHelp},
          Item{ID_RECORD_TOOL, ids::Record, ids::RecordHelp}}) {
        tools->SetToolShortHelp(item.id, text(item.label));
        tools->SetToolLongHelp(item.id, text(item.help));
    }
    SetStatusText(live ? text(ids::Live) : text(ids::CameraStopped), 1);
    sizeStatusFields();
    wxAuiPaneInfo& pane = auiManager.GetPane(liveView);
    if (pane.IsOk() && pane.IsShown()) {
        pane.Caption(text(ids::Live));
        auiManager.Update();
    }
    for (PictureWindow* picture : pictureWindows) {
        picture->relabel();
        wxAuiPaneInfo& picturePane = auiManager.GetPane(picture);
        if (picturePane.IsOk())
            picturePane.Caption(pictureCaption(picture->getNumber()));
    }
    if (!pictureWindows.empty())
        auiManager.Update();
}

wxString MainWnd::pictureCaption(const size_t& number) {
    return text(ids::Picture) + wxT(" ") + wxString::Format(wxT("%zu"), number);
}

void MainWnd::sizeStatusFields() {
    wxStatusBar* bar = GetStatusBar();
    auto widest = [bar](std::initializer_list<wxString> texts) {
        std::vector<int> widths;
        for (const wxString& t : texts)
            widths.push_back(bar->GetTextExtent(t).GetWidth());
        return widths;
    };
    // Field 0 shows the help of every menu item and tool, field 1 the camera's state.
    const int widths[3] = {
        ViewerRules::statusFieldWidth(
            widest({text(ids::QuitHelp), text(ids::LiveHelp), text(ids::GrabHelp), text(ids::RecordHelp),
                    text(ids::PropertiesHelp), text(ids::HelpContentsHelp), text(ids::AboutHelp),
                    languageMenu->GetHelpString(ID_FRENCH), languageMenu->GetHelpString(ID_ENGLISH)}),
            200),
        ViewerRules::statusFieldWidth(
            widest({text(ids::Live), text(ids::CameraStopped), text(ids::PleaseWait), text(ids::Stop)}), 170),
        -1};
    SetStatusWidths(3, widths);
}

void MainWnd::onQuit(wxCommandEvent&) {
    Close(true);
}

void MainWnd::onAbout(wxCommandEvent&) {
    wxMessageBox(
        ViewerRules::aboutText(Camera::getInstance()->getName().wxstr(), text(ids::AboutDescription)),
        text(ids::AboutHelp), wxOK | wxICON_INFORMATION, this);
}

void MainWnd::onLanguage(wxCommandEvent& event) {
    relabel(event.GetId() == ID_FRENCH ? wxT("French") : wxT("English"));
}

void MainWnd::onLive(wxCommandEvent&) {
    wxBusyCursor busy;
    SetStatusText(text(ids::PleaseWait), 1);
    if (live) {
        liveStop();
    } else {
        live = true;
        try {
            Camera* camera = Camera::getInstance();
            camera->init();
            timer.StartOnce(100);
            liveView->SetSizer(nullptr, false);
            showWelcome(false);
            liveView->SetScrollRate(10, 10);
            liveView->SetVirtualSize(camera->getWidth(), camera->getHeight());
        } catch (const PBN::Exception& e) {
            liveStop();
            setLiveCommands();
            SetStatusText(text(ids::Stop), 1);
            e.display(this, false);
            return;
        }
    }
    setLiveCommands();
    SetStatusText(live ? text(ids::Live) : text(ids::Stop), 1);
}

bool MainWnd::openMenuFor(const wxKeyEvent& key) {
    auto* window = GTK_WINDOW(GetHandle());
    // The toolkit's key value; mnemonics are kept in lower case.
    const guint value = gdk_keyval_to_lower(key.GetRawKeyCode());
    return window && gtk_window_mnemonic_activate(window, value, gtk_window_get_mnemonic_modifier(window));
}

void MainWnd::showWelcome(const bool& show) {
    // While the camera runs the picture is not a hidden child of the live view but none: the view
    // moves every child it has at each scroll step, and the toolkit complains of each hidden one.
    if (show == (welcomePicture != nullptr))
        return;
    if (show) {
        welcomePicture = new wxStaticBitmap(liveView, wxID_ANY, welcome);
        welcomeSizer->Insert(1, welcomePicture, 0, wxALIGN_CENTER);
    } else {
        welcomePicture->Destroy(); // leaves the welcome sizer too
        welcomePicture = nullptr;
    }
}

void MainWnd::liveStop() {
    timer.Stop();
    live = false;
    liveImage.clear();
    liveView->ClearBackground();
    liveView->SetVirtualSize(0, 0);
    liveView->SetScrollRate(0, 0);
    showWelcome(true);
    liveView->SetSizer(welcomeSizer, false);
    liveView->Layout();
    liveView->Refresh();
    SetStatusText(text(ids::CameraStopped), 1);
    SetStatusText(wxEmptyString, 2);
    try {
        Camera::getInstance()->exit();
    } catch (const PBN::Exception& e) {
        e.display(this, false);
    }
}

void MainWnd::onTimer(wxTimerEvent&) {
    if (!live)
        return;
    Camera* camera = Camera::getInstance();
    try {
        const wxLongLong started = wxGetLocalTimeMillis();
        const double rate = camera->getFrameRate();
        const int interval = ViewerRules::displayInterval(rate);
        timer.StartOnce(interval);
        if (unsigned char* data = camera->getActiveImage()) {
            const int maxWidth = camera->getMaxWidth(), maxHeight = camera->getMaxHeight();
            const int width = std::min(camera->getWidth(), maxWidth);
            const int height = std::min(camera->getHeight(), maxHeight);
            // Only the part of the area of interest that the view shows is converted and sent to
            // the display: the rest would be clipped anyway.
            wxRect visible(liveView->CalcUnscrolledPosition(wxPoint(0, 0)), liveView->GetClientSize());
            visible.Intersect(wxRect(0, 0, width, height));
            wxClientDC dc(liveView);
            if (!visible.IsEmpty())
                liveImage.update(dc, data, maxWidth, visible);
            liveArea = wxSize(width, height);
            if (!camera->isColor())
                std::free(data);
            sensorSize = wxSize(maxWidth, maxHeight);
            if (liveView->GetVirtualSize() != wxSize(width, height))
                liveView->SetVirtualSize(width, height);
            liveView->DoPrepareDC(dc);
            drawLive(dc);
        }
        SetStatusText(ViewerRules::frameRateStatus(text(ids::FrameRate), rate, text(ids::FramesPerSecond)),
                      2);
        // A tick slower than the frame period would find the next one already due, and the
        // event loop (and every yield in it, such as the recording's) would do nothing else.
        if (wxGetLocalTimeMillis() - started >= interval)
            timer.StartOnce(interval);
    } catch (const PBN::Exception& e) {
        liveStop();
        setLiveCommands();
        SetStatusText(text(ids::Stop), 1);
        e.display(this, false);
    }
}

void MainWnd::drawLive(wxDC& dc) {
    if (!liveImage.isOk())
        return;
    liveImage.draw(dc);
    const int width = liveArea.GetWidth(), height = liveArea.GetHeight();
    dc.SetBrush(*wxYELLOW_BRUSH);
    dc.SetPen(*wxTRANSPARENT_PEN);
    if (width < sensorSize.GetWidth())
        dc.DrawRectangle(width, 0, sensorSize.GetWidth() - width, sensorSize.GetHeight());
    if (height < sensorSize.GetHeight())
        dc.DrawRectangle(0, height, sensorSize.GetWidth(), sensorSize.GetHeight() - height);
}

void MainWnd::onLivePaint(wxPaintEvent&) {
    wxPaintDC dc(liveView);
    liveView->DoPrepareDC(dc);
    if (live)
        drawLive(dc);
}

void MainWnd::onProperties(wxCommandEvent&) {
    if (!live)
        return;
    Properties::PropertiesDialog dialog(this);
    dialog.ShowModal();
}

void MainWnd::onHelp(wxCommandEvent&) {
    try {
        help->displayContents();
    } catch (const PBN::Exception& e) {
        e.display(this, false);
    }
}

void MainWnd::onGrab(wxCommandEvent&) {
    if (!live)
        return;
    try {
        Camera* camera = Camera::getInstance();
        unsigned char* data = camera->getActiveImage();
        if (!data)
            return;
        const int maxWidth = camera->getMaxWidth(), maxHeight = camera->getMaxHeight();
        wxImage picture;
        {
            wxImage full(maxWidth, maxHeight, data, true);
            picture = full.Size(
                wxSize(std::min(camera->getWidth(), maxWidth), std::min(camera->getHeight(), maxHeight)),
                wxPoint(0, 0));
        }
        if (!camera->isColor())
            std::free(data);
        auto* window = new PictureWindow(this, wxBitmap(picture));
        pictureWindows.push_back(window);
        window->setNumber(pictureWindows.size());
        // Over the live area, not over the menus and tool bar; each next picture a step lower.
        const int step = 24 * static_cast<int>((pictureWindows.size() - 1) % 8);
        const wxPoint at = liveView->GetScreenPosition() + wxPoint(step, step);
        auiManager.AddPane(window, wxAuiPaneInfo()
                                       .Caption(pictureCaption(window->getNumber()))
                                       .Float()
                                       .FloatingPosition(at)
                                       .FloatingSize(400, 300)
                                       .MinSize(400, 300)
                                       .MaximizeButton(true)
                                       .DestroyOnClose(true));
        auiManager.Update();
    } catch (const PBN::Exception& e) {
        e.display(this, false);
    }
}

bool MainWnd::askSavePath(const wxString& title, const wxString& folder, const wxString& name,
                          const wxString& wildcard, int& filterIndex, wxString& path) {
    wxFileDialog dialog(this, title, folder, name, wildcard, wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    dialog.SetFilterIndex(filterIndex);
    if (dialog.ShowModal() != wxID_OK)
        return false;
    filterIndex = dialog.GetFilterIndex();
    path = dialog.GetPath();
    return true;
}

bool MainWnd::confirmReplace(const wxString& path) {
    wxString question = text(ids::ReplaceQuestion);
    question.Replace(wxT("%s"), path);
    return wxMessageBox(question, text(ids::ReplaceCaption), wxYES_NO | wxNO_DEFAULT | wxICON_QUESTION,
                        this) == wxYES;
}

void MainWnd::onRecord(wxCommandEvent&) {
    if (!live)
        return;
    const wxString folder = defaultFolder(lastFolder, wxT("Videos"));
    int filterIndex = 0;
    wxString path;
    // A bare pattern would get the toolkit's own label, in English whatever the language.
    if (!askSavePath(text(ids::SaveAs), folder, ViewerRules::proposedName(folder, wxT("avi")),
                     text(ids::FilmFiles) + wxT("|*.avi"), filterIndex, path))
        return;
    // The dialog's own overwrite prompt saw the name without the extension added here.
    const wxString completed = ViewerRules::withDefaultExtension(path, wxT("avi"));
    if (completed != path && wxFileExists(completed) && !confirmReplace(completed))
        return;
    lastFolder = wxFileName(completed).GetPath(wxPATH_GET_VOLUME);
    runRecordDialog(completed);
}

void MainWnd::runRecordDialog(const wxString& path) {
    RecordDialog dialog(this, path);
    dialog.ShowModal();
}

void MainWnd::onClose(wxCloseEvent& event) {
    closing = true;
    timer.Stop();
    live = false;
    StringTable::destroy();
    // A film still being recorded is finished whole before the camera goes.
    Camera::destroyInstance();
    delete Tolvane_model::Config::getInstance();
    auiManager.UnInit();
    event.Skip();
}

void MainWnd::onSize(wxSizeEvent& event) {
    // A window manager that brings the window back from the maximised state smaller than it was
    // made (the size of its menus and tool bar alone) is overruled with the size it was made with.
    const bool maximized = IsMaximized();
    if (!IsIconized() && ViewerRules::restoredSize(wasMaximized, maximized, GetSize(), normalSize))
        CallAfter([this] { SetSize(normalSize); });
    wasMaximized = maximized;
    if (liveView)
        liveView->Layout();
    event.Skip();
}

void MainWnd::onPaneClose(wxAuiManagerEvent& event) {
    wxWindow* window = event.GetPane() ? event.GetPane()->window : nullptr;
    auto found = std::find(pictureWindows.begin(), pictureWindows.end(), window);
    if (found != pictureWindows.end())
        pictureWindows.erase(found);
}

} // namespace Tolvane
