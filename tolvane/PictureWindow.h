#pragma once

#include <wx/bitmap.h>
#include <wx/combobox.h>
#include <wx/image.h>
#include <wx/scrolwin.h>
#include <wx/toolbar.h>
#include <wx/window.h>

namespace Tolvane {

class MainWnd;

// A grabbed picture in a floating pane of the main window: shown at a chosen zoom, copied to the
// clipboard, saved as BMP, JPEG, TIFF or PNG, always at its full size.
class PictureWindow : public wxWindow {
public:
    enum Ids { ID_SAVE = 14, ID_COPY = 18, ID_ZOOM = 19 };

    PictureWindow(MainWnd* parent, const wxBitmap& bitmap);

    void relabel();
    // The number its pane's caption shows after text 35, given when it was grabbed.
    size_t getNumber() const { return number; }
    void setNumber(const size_t& n) { number = n; }
    // factor > 0 scales by it; 0 or less fits the picture into the view.
    void zoom(const double& factor);
    void save();
    void copy();

    const wxImage& getImage() const { return image; }
    // The picture's size at the current zoom, and the part of it the view last drew.
    const wxSize& getShownSize() const { return shownSize; }
    const wxBitmap& getDrawnBitmap() const { return drawn; }
    wxComboBox* getZoomBox() const { return zoomBox; }
    wxScrolledWindow* getView() const { return view; }

    // Saves the full-size picture to path in the type its extension names (any case). Returns
    // false, saving nothing, for another extension or when the file cannot be written.
    bool saveTo(const wxString& path) const;

private:
    void fitZoomBox();
    void onSave(wxCommandEvent& event);
    void onCopy(wxCommandEvent& event);
    void onZoomSelected(wxCommandEvent& event);
    void onZoomEnter(wxCommandEvent& event);
    void onSize(wxSizeEvent& event);
    void onCharHook(wxKeyEvent& event);
    void onPaint(wxPaintEvent& event);
    // The zoomed picture under visible (in the zoomed picture's coordinates), to be drawn at at;
    // kept while the zoom and the visible pixels stay.
    wxBitmap visiblePart(const wxRect& visible, wxPoint& at);

    MainWnd* mainWnd;
    wxToolBar* toolBar;
    wxComboBox* zoomBox;
    wxScrolledWindow* view;
    wxImage image;
    double scale = 1.0;
    wxSize shownSize;
    wxBitmap drawn;
    wxRect drawnSource, drawnTarget;
    size_t number = 0;

    wxDECLARE_EVENT_TABLE();
};

} // namespace Tolvane
