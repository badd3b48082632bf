#include "tolvane/properties/PropertiesDialog.h"

#include "pemblon/core/Exception.h"
#include "tolvane/ViewerRules.h"
#include "tolvane/properties/GainTab.h"
#include "tolvane/properties/ImageSizeTab.h"
#include "tolvane/properties/SaveTab.h"
#include "tolvane/properties/TimingTab.h"
#include "tolvane/properties/WhiteTab.h"
#include "tolvane/res/StringIds.h"
#include "tolvane_model/Camera.h"

#include <gtk/gtk.h>
#include <wx/button.h>
#include <wx/sizer.h>

using Tolvane::ViewerRules::text;

namespace Tolvane::Properties {

PropertiesDialog::PropertiesDialog(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(550, 400),
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER) {
    SetTitle(text(ids::PropertiesTitle) + wxT("Tolvane"));
    notebook = new wxAuiNotebook(this, ID_NOTEBOOK, wxDefaultPosition, wxDefaultSize,
                                 wxAUI_NB_TAB_SPLIT | wxAUI_NB_TAB_MOVE | wxAUI_NB_SCROLL_BUTTONS);
    bool color = true;
    try {
        color = Tolvane_model::Camera::getInstance()->isColor();
    } catch (const PBN::Exception& e) {
        e.display(this, false);
    }
    gainTab = new GainTab(notebook);
    notebook->AddPage(gainTab, text(ids::Gain));
    imageSizeTab = new ImageSizeTab(notebook);
    notebook->AddPage(imageSizeTab, text(ids::ImageSize));
    if (color) {
        whiteTab = new WhiteTab(notebook);
        notebook->AddPage(whiteTab, text(ids::WhiteBalance));
    }
    timingTab = new TimingTab(notebook);
    notebook->AddPage(timingTab, text(ids::Timing));
    saveTab = new SaveTab(notebook);
    notebook->AddPage(saveTab, text(ids::SaveSettings));
    notebook->SetSelection(0);

    // A button and Escape close it: without a window manager there is no close box.
    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(notebook, 1, wxEXPAND);
    top->Add(new wxButton(this, wxID_CLOSE, text(ids::Close)), 0, wxALIGN_RIGHT | wxALL, 5);
    SetEscapeId(wxID_CLOSE);
    SetSizer(top);
    // The notebook asks only for its current tab: room for the largest tab of the language shown,
    // so that the longer French labels show whole too.
    wxSize tabs;
    for (size_t page = 0; page < notebook->GetPageCount(); ++page)
        tabs.IncTo(notebook->GetPage(page)->GetBestSize());
    notebook->SetMinSize(tabs + wxSize(2, notebook->GetTabCtrlHeight() + 2));
    // Never smaller than that either: squeezed by the user or a window manager, the sliders and
    // buttons would get less than their own borders, and GTK complains of each.
    const wxSize needed = GetBestSize();
    SetMinSize(needed);
    wxSize size = GetSize();
    size.IncTo(needed);
    SetSize(size);
    Layout();

    // Without a window manager nothing holds another client (xdotool, a test) to those hints:
    // below them the dialog is not laid out, and it takes its size back. The toolkit would not
    // ask for a size it believes the window already has, so the request goes to X directly.
    Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
        const wxSize least = GetMinSize();
        if (event.GetSize().GetWidth() >= least.GetWidth() &&
            event.GetSize().GetHeight() >= least.GetHeight()) {
            event.Skip();
            return;
        }
        CallAfter([this] {
            wxSize size = GetSize();
            size.IncTo(GetMinSize());
            if (GdkWindow* window = gtk_widget_get_window(GetHandle()))
                gdk_window_resize(window, size.GetWidth(), size.GetHeight());
        });
    });
    notebook->Bind(wxEVT_AUINOTEBOOK_PAGE_CHANGING, &PropertiesDialog::onPageChanging, this);
    // The notebook takes its tab keys only while its tab strip has the focus.
    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
        const int step = ViewerRules::tabStep(event.GetKeyCode(), event.GetModifiers());
        if (step != 0 && notebook->GetPageCount() > 1)
            notebook->AdvanceSelection(step > 0);
        else
            event.Skip();
    });
}

void PropertiesDialog::onPageChanging(wxAuiNotebookEvent& event) {
    event.Skip();
    const int selection = event.GetSelection();
    if (selection < 0 || selection >= static_cast<int>(notebook->GetPageCount()))
        return;
    wxWindow* page = notebook->GetPage(selection);
    if (page == gainTab)
        gainTab->refresh();
    else if (page == timingTab)
        timingTab->refresh();
    else if (page == imageSizeTab)
        imageSizeTab->refresh();
    else if (page == saveTab)
        saveTab->refresh();
}

} // namespace Tolvane::Properties
