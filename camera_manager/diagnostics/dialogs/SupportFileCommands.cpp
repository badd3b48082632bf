#include "camera_manager/diagnostics/dialogs/SupportFileCommands.h"

#include "camera_manager/core/controls/WxText.h"
#include "camera_manager/diagnostics/dialogs/ShowSupportFileDlg.h"
#include "camera_manager/diagnostics/records/SupportFileCollector.h"
#include "camera_manager/diagnostics/records/SupportFileFormat.h"
#include "camera_manager/diagnostics/records/SupportFileOpening.h"
#include "camera_manager/res/StringIds.h"
#include "platform/common/StoreFile.h"
#include "platform/win/ResourceStrings.h"
#include "platform/win/WideText.h"

#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/msgdlg.h>
#include <wx/progdlg.h>
#include <wx/utils.h>

#include <cerrno>
#include <memory>

namespace {

// Stops the host's refresh for the length of a command and refreshes at once afterwards, on
// every way out.
class RefreshPause {
public:
    explicit RefreshPause(SupportFileHost& host) : host(host) { host.StopRefresh(); }
    ~RefreshPause() { host.RefreshNow(); }

private:
    SupportFileHost& host;
};

wxString filter() {
    return ResourceText(ids::SupportFileFilter).BeforeLast('|').BeforeLast('|');
}

} // namespace

void SupportFileCommands::Create() {
    RefreshPause pause(host);
    wxWindow* const window = host.HostWindow();
    wxFileDialog chooser(nullptr, ResourceText(ids::FileChooserSave), wxEmptyString,
                         ResourceText(ids::SupportFileDefaultName), filter(), wxFD_SAVE);
    if (chooser.ShowModal() != wxID_OK)
        return;
    wxString path = chooser.GetPath();
    if (wxFileName(path).GetExt().empty())
        path += "." + ResourceText(ids::SupportFileExtension);
    if (wxFileName::FileExists(path) &&
        wxMessageBox(ResourceText(ids::OverwriteQuestion), ResourceText(ids::AppTitle),
                     wxYES_NO | wxICON_WARNING, window) != wxYES)
        return;

    std::unique_ptr<wxProgressDialog> progress;
    const size_t total = size_t(host.ListedCameras(0).GetCount()) + size_t(host.ListedCameras(1).GetCount());
    if (total >= 2)
        progress = std::make_unique<wxProgressDialog>(ResourceText(ids::Progress), wxEmptyString, 100, window,
                                                      wxPD_APP_MODAL | wxPD_AUTO_HIDE);
    const SupportFileContent content = GatherSupportFileContent(host, [&progress](int position) {
        if (progress)
            progress->Update(position);
    });
    if (progress) {
        wxMilliSleep(200);
        progress.reset();
    }
    std::u16string units = BuildSupportText(content);
    ScrambleSupportText(units);
    std::string reason;
    if (!WriteFileReplacing(std::string(path.utf8_str()), StoreSupportUnits(units), reason))
        wxMessageBox(ResourceText(ids::SupportFileNotWritten) + "\n" + path + "\n" +
                         wxString::FromUTF8(reason),
                     ResourceText(ids::AppTitle), wxOK | wxICON_ERROR, window);
}

void SupportFileCommands::Open() {
    RefreshPause pause(host);
    wxFileDialog chooser(nullptr, ResourceText(ids::FileChooserOpen), wxEmptyString, wxEmptyString, filter(),
                         wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (chooser.ShowModal() != wxID_OK)
        return;
    OpenSupportFileAt(host, FromWx(chooser.GetPath()));
}

namespace {

// The Win32 code of a failed read, for SystemErrorText.
DWORD win32Code(int error) {
    switch (error) {
    case ENOENT:
        return 2;
    case ENOTDIR:
        return 3;
    case EACCES:
    case EPERM:
    case EISDIR:
        return 5;
    case ENOMEM:
        return 8;
    default:
        return 31;
    }
}

} // namespace

void OpenSupportFileAt(SupportFileHost& owner, const std::u16string& path) {
    // The chooser lists pipes and devices too: such a thing is named, never opened in a way that
    // could wait.
    std::string bytes;
    wxString cause;
    switch (readStoreFile(win::toUtf8(path), bytes)) {
    case StoreFileRead::Read:
        break;
    case StoreFileRead::Missing:
        cause = wxString::FromUTF8(SystemErrorText(win32Code(ENOENT))).Trim();
        break;
    case StoreFileRead::Folder:
        cause = ResourceText(ids::PathIsAFolder);
        break;
    case StoreFileRead::NotAFile:
        cause = ResourceText(ids::PathIsNotAFile);
        break;
    case StoreFileRead::Failed:
        cause = wxString::FromUTF8(SystemErrorText(win32Code(errno))).Trim();
        break;
    }
    std::u16string header;
    const SupportFileForm form = cause.empty() ? ClassifySupportFile(bytes, header) : SupportFileForm::Text;
    if (cause.empty() && form == SupportFileForm::Text && !HoldsSupportText(bytes))
        cause = ResourceText(ids::NotASupportFile);
    if (!cause.empty()) {
        wxMessageBox(ResourceText(ids::SupportFileNotOpened) + "\n" + ToWx(path) + "\n" + cause,
                     ResourceText(ids::AppTitle), wxOK | wxICON_ERROR, owner.HostWindow());
        return;
    }
    if (form == SupportFileForm::Foreign) {
        wxMessageBox(ToWx(ForeignVersionMessage(header)), ResourceText(ids::AppTitle), wxOK | wxICON_ERROR,
                     owner.HostWindow());
        return;
    }
    auto* viewer = new ShowSupportFileDlg(&owner, path, std::move(bytes), form == SupportFileForm::Binary);
    viewer->Show();
    if (viewer->Incomplete())
        wxMessageBox(ToWx(SupportFileIncompleteMessage(viewer->Cut())), ResourceText(ids::AppTitle),
                     wxOK | wxICON_WARNING, viewer);
}
