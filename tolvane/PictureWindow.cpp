#include "tolvane/PictureWindow.h"

#include "pemblon/core/Exception.h"
#include "pemblon/core/HelperFuncs.h"
#include "tolvane/MainWnd.h"
#include "tolvane/ViewerRules.h"
#include "tolvane/res/StringIds.h"

#include <algorithm>
#include <wx/clipbrd.h>
#include <wx/dcbuffer.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/sizer.h>

using PBN::HelperFuncs;
using PBN::Strings::ostring;
using Tolvane::ViewerRules::text;

namespace Tolvane {

namespace {

wxBitmap toolPicture(const wxString& name) {
    const wxString path = HelperFuncs::getAppDir().wxstr() + wxT("res/") + name;
    if (wxFileExists(path)) {
        wxLogNull quiet;
        wxBitmap bitmap = HelperFuncs::loadBitmap(ostring(path));
        if (bitmap.IsOk())
            return bitmap;
    }
    return wxBitmap(16, 16);
}

} // namespace

wxBEGIN_EVENT_TABLE(PictureWindow, wxWindow) EVT_MENU(ID_SAVE, PictureWindow::onSave)
    EVT_MENU(ID_COPY, PictureWindow::onCopy) EVT_COMBOBOX(ID_ZOOM, PictureWindow::onZoomSelected)
        EVT_TEXT_ENTER(ID_ZOOM, PictureWindow::onZoomEnter) EVT_SIZE(PictureWindow::onSize)
            wxEND_EVENT_TABLE()

                PictureWindow::PictureWindow(MainWnd* parent, const wxBitmap& bitmap)
    : wxWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, 0, wxPanelNameStr), mainWnd(parent),
      image(bitmap.ConvertToImage()) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    toolBar = new wxToolBar(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTB_HORIZONTAL);
    toolBar->SetToolBitmapSize(wxSize(16, 16));
    toolBar->AddTool(ID_SAVE, wxEmptyString, toolPicture(wxT("save.bmp")));
    toolBar->AddTool(ID_COPY, wxEmptyString, toolPicture(wxT("copy.bmp")));
    wxArrayString choices;
    for (const char* choice : ViewerRules::zoomChoiceTexts)
        choices.Add(choice);
    choices.Add(text(ids::ZoomFit));
    zoomBox = new wxComboBox(toolBar, ID_ZOOM, wxT("100 %"), wxDefaultPosition, wxDefaultSize, choices,
                             wxCB_DROPDOWN | wxTE_PROCESS_ENTER);
    toolBar->AddControl(zoomBox);
    toolBar->Realize();
    sizer->Add(toolBar, 0, wxEXPAND);

    view = new wxScrolledWindow(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxHSCROLL | wxVSCROLL);
    view->SetBackgroundStyle(wxBG_STYLE_PAINT);
    view->SetScrollRate(1, 1);
    view->SetVirtualSize(image.GetSize());
    view->Bind(wxEVT_PAINT, &PictureWindow::onPaint, this);
    view->Bind(wxEVT_ERASE_BACKGROUND, [](wxEraseEvent&) {});
    sizer->Add(view, 1, wxEXPAND);

    relabel();
    zoom(1.0);
    SetSizer(sizer);
    Layout();
    Bind(wxEVT_CHAR_HOOK, &PictureWindow::onCharHook, this);
}

void PictureWindow::onCharHook(wxKeyEvent& event) {
    // Floating, the picture has a window of its own without the menu bar: Alt and a menu's letter
    // open that menu of the main window, as they do where the main window has the focus.
    if (event.GetModifiers() == wxMOD_ALT && wxGetTopLevelParent(this) != mainWnd &&
        mainWnd->openMenuFor(event))
        return;
    event.Skip();
}

void PictureWindow::fitZoomBox() {
    // Wide enough for every choice and for the longest percentage a typed value becomes, in the
    // active language's decimal separator: a bounded percentage has at most six digits.
    int widest = 0;
    for (const wxString& t : {zoomBox->GetString(ViewerRules::zoomFitIndex), ViewerRules::zoomText(888.888),
                              ViewerRules::zoomText(ViewerRules::maxZoomPercent)})
        widest = std::max(widest, zoomBox->GetTextExtent(t).GetWidth());
    for (const char* choice : ViewerRules::zoomChoiceTexts)
        widest = std::max(widest, zoomBox->GetTextExtent(choice).GetWidth());
    // Two characters more: before the box is on screen the toolkit leaves its own padding out.
    const wxSize size = zoomBox->GetSizeFromTextSize(widest + 2 * zoomBox->GetCharWidth());
    if (size.GetWidth() == zoomBox->GetSize().GetWidth())
        return;
    zoomBox->SetMinSize(wxSize(size.GetWidth(), -1));
    zoomBox->SetSize(wxSize(size.GetWidth(), zoomBox->GetSize().GetHeight()));
    toolBar->Realize();
}

void PictureWindow::relabel() {
    toolBar->SetToolShortHelp(ID_SAVE, text(ids::SavePicture));
    toolBar->SetToolLongHelp(ID_SAVE, text(ids::SavePictureHelp));
    toolBar->SetToolShortHelp(ID_COPY, text(ids::CopyPicture));
    toolBar->SetToolLongHelp(ID_COPY, text(ids::CopyPictureHelp));
    // Changing the fit entry's text must not change what the box shows.
    const int selected = zoomBox->GetSelection();
    const wxString value = zoomBox->GetValue();
    zoomBox->SetString(ViewerRules::zoomFitIndex, text(ids::ZoomFit));
    if (selected == ViewerRules::zoomFitIndex)
        zoomBox->SetSelection(selected);
    else
        zoomBox->ChangeValue(value);
    fitZoomBox();
}

void PictureWindow::zoom(const double& factor) {
    // Only the size changes here: the paint scales what the view shows, so that a large zoom
    // costs no more time or memory than the window.
    scale = 1.0;
    shownSize = image.GetSize();
    if (factor > 0) {
        scale = factor;
        shownSize = ViewerRules::scaledSize(image.GetSize(), factor);
        view->SetVirtualSize(shownSize);
    } else {
        Layout();
        view->SetVirtualSize(0, 0);
        const double fit = ViewerRules::fitScale(view->GetClientSize(), image.GetSize());
        if (fit != 0) {
            scale = fit;
            shownSize = ViewerRules::scaledSize(image.GetSize(), fit);
        }
    }
    drawn = wxBitmap();
}

wxBitmap PictureWindow::visiblePart(const wxRect& visible, wxPoint& at) {
    const wxRect source = ViewerRules::zoomSource(visible, image.GetSize(), shownSize);
    if (source.IsEmpty())
        return wxBitmap();
    const wxRect target = ViewerRules::zoomTarget(source, image.GetSize(), shownSize);
    at = target.GetPosition();
    if (drawn.IsOk() && source == drawnSource && target == drawnTarget)
        return drawn;
    wxImage part = image.GetSubImage(source);
    part.Rescale(target.GetWidth(), target.GetHeight(), ViewerRules::zoomQuality(scale));
    drawn = wxBitmap(part);
    drawnSource = source;
    drawnTarget = target;
    return drawn;
}

void PictureWindow::onZoomSelected(wxCommandEvent&) {
    const int selection = zoomBox->GetSelection();
    if (selection < 0)
        return;
    zoom(ViewerRules::zoomChoiceFactor(selection));
    view->Refresh();
    view->Update();
}

void PictureWindow::onZoomEnter(wxCommandEvent&) {
    const auto percent = ViewerRules::parseZoomPercent(zoomBox->GetValue());
    if (!percent)
        return; // not a number: the current zoom stays
    zoomBox->ChangeValue(ViewerRules::zoomText(*percent));
    zoom(*percent / 100.0);
    view->Refresh();
    view->Update();
}

void PictureWindow::onSize(wxSizeEvent& event) {
    if (zoomBox)
        fitZoomBox();
    if (zoomBox && zoomBox->GetSelection() == ViewerRules::zoomFitIndex) {
        zoom(-1);
        view->Refresh();
    }
    Layout();
    Refresh();
    event.Skip();
}

void PictureWindow::onPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(view);
    view->DoPrepareDC(dc);
    const wxSize client = view->GetClientSize();
    wxPoint at;
    const wxBitmap part = visiblePart(wxRect(view->CalcUnscrolledPosition(wxPoint(0, 0)), client), at);
    if (part.IsOk())
        dc.DrawBitmap(part, at);
    dc.SetBrush(*wxYELLOW_BRUSH);
    dc.SetPen(*wxTRANSPARENT_PEN);
    const wxSize virtualSize = view->GetVirtualSize();
    const int fillWidth = std::max(client.GetWidth(), virtualSize.GetWidth());
    const int fillHeight = std::max(client.GetHeight(), virtualSize.GetHeight());
    dc.DrawRectangle(0, shownSize.GetHeight(), fillWidth, fillHeight);
    dc.DrawRectangle(shownSize.GetWidth(), 0, fillWidth, fillHeight);
}

void PictureWindow::onCopy(wxCommandEvent&) {
    copy();
}

void PictureWindow::copy() {
    if (!wxTheClipboard->Open())
        return;
    wxTheClipboard->SetData(new wxBitmapDataObject(wxBitmap(image)));
    wxTheClipboard->Close();
}

void PictureWindow::onSave(wxCommandEvent&) {
    save();
}

bool PictureWindow::saveTo(const wxString& path) const {
    const wxBitmapType type = ViewerRules::pictureType(wxFileName(path).GetExt());
    if (type == wxBITMAP_TYPE_INVALID)
        return false;
    // Written beside the target and renamed into place, so a failed save leaves an older file whole.
    const wxString temporary = path + wxT(".part");
    wxLogNull quiet;
    if (!image.SaveFile(temporary, type)) {
        wxRemoveFile(temporary);
        return false;
    }
    if (!wxRenameFile(temporary, path, true)) {
        wxRemoveFile(temporary);
        return false;
    }
    return true;
}

void PictureWindow::save() {
    wxString folder = mainWnd->getLastFolder();
    if (folder.empty()) {
        folder = HelperFuncs::getAppDir().wxstr() + wxT("Images");
        if (!wxDirExists(folder)) {
            wxLogNull quiet;
            wxFileName::Mkdir(folder, wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
        }
    }
    int filterIndex = ViewerRules::pictureFilterIndex(mainWnd->getLastPictureExtension());
    wxString path;
    if (!mainWnd->askSavePath(text(ids::SaveAs), folder, ViewerRules::proposedName(folder, wxEmptyString),
                              ViewerRules::pictureWildcard(), filterIndex, path))
        return;
    // The file dialog does not add the chosen type's extension here; its overwrite prompt saw the
    // name without it.
    const wxString completed =
        ViewerRules::withDefaultExtension(path, ViewerRules::pictureExtension(filterIndex));
    const wxFileName name(completed);
    if (!name.IsOk() || name.GetFullName().empty() ||
        ViewerRules::pictureType(name.GetExt()) == wxBITMAP_TYPE_INVALID) {
        PBN::Exception(ostring(text(ids::InvalidFileName)), PBN::Exception::SEVERE).display(this, false);
        return;
    }
    if (completed != path && wxFileExists(completed) && !mainWnd->confirmReplace(completed))
        return;
    mainWnd->setLastFolder(name.GetPath(wxPATH_GET_VOLUME));
    mainWnd->setLastPictureExtension(name.GetExt());
    if (!saveTo(completed))
        PBN::Exception(ostring(text(ids::PictureNotSaved)), PBN::Exception::SEVERE).display(this, false);
}

} // namespace Tolvane
