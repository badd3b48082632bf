#pragma once

#include <wx/aui/auibook.h>
#include <wx/dialog.h>

namespace Tolvane::Properties {

class GainTab;
class ImageSizeTab;
class WhiteTab;
class TimingTab;
class SaveTab;

// The running camera's parameters, one tab per group; every change reaches the camera at once.
class PropertiesDialog : public wxDialog {
public:
    enum Ids { ID_NOTEBOOK = 47 };

    explicit PropertiesDialog(wxWindow* parent);

    wxAuiNotebook* getNotebook() const { return notebook; }
    GainTab* getGainTab() const { return gainTab; }
    ImageSizeTab* getImageSizeTab() const { return imageSizeTab; }
    // Null for a monochrome camera.
    WhiteTab* getWhiteTab() const { return whiteTab; }
    TimingTab* getTimingTab() const { return timingTab; }
    SaveTab* getSaveTab() const { return saveTab; }

private:
    void onPageChanging(wxAuiNotebookEvent& event);

    wxAuiNotebook* notebook;
    GainTab* gainTab;
    ImageSizeTab* imageSizeTab;
    WhiteTab* whiteTab = nullptr;
    TimingTab* timingTab;
    SaveTab* saveTab;
};

} // namespace Tolvane::Properties
