// The main dialog's support-file commands: "Create support file" (buttons 1104 and 1145) and
// "Open support file" (1143).
#include "camera_manager/core/controls/WxText.h"
#include "camera_manager/core/dialogs/CZekoManagerDlg.h"
#include "camera_manager/core/records/BoundedText.h"
#include "camera_manager/core/records/ManagerStartup.h"
#include "camera_manager/diagnostics/dialogs/ShowSupportFileDlg.h"
#include "camera_manager/diagnostics/records/SupportFileCollector.h"
#include "camera_manager/diagnostics/records/SupportFileFormat.h"
#include "camera_manager/diagnostics/records/SupportFileOpening.h"
#include "camera_manager/res/StringIds.h"
#include "platform/win/ResourceStrings.h"
#include "platform/win/WideText.h"

#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/msgdlg.h>
#include <wx/progdlg.h>
#include <wx/utils.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <memory>

namespace {

// Stops the main dialog's refresh for the length of a command and refreshes at once
// afterwards, on every way out.
class RefreshPause {
public:
    explicit RefreshPause(CZekoManagerDlg& dialog) : dialog(dialog) { dialog.StopRefresh(); }
    ~RefreshPause() { dialog.RefreshNow(); }

private:
    CZekoManagerDlg& dialog;
};

wxString filter() {
    return ResourceText(ids::SupportFileFilter).BeforeLast('|').BeforeLast('|');
}

} // namespace

SupportFileContent GatherSupportFileContent(CZekoManagerDlg& dialog,
                                            const std::function<void(int)>& progress) {
    SupportFileContent content;
    WCHAR version[30] = {};
    GetProgramVersionString(version, sizeof version);
    content.programVersion = WideField(version, 30);
    content.hubLabel = LoadResourceString(ids::Hub);
    content.controllerLabel = LoadResourceString(ids::Controller);
    const size_t total = size_t(dialog.cameraLists[0].GetCount()) + size_t(dialog.cameraLists[1].GetCount());
    size_t k = 0;
    for (int list = 0; list < 2; ++list) {
        auto& cameras = list == 0 ? content.usbCameras : content.ethCameras;
        for (size_t n = 0; n < size_t(dialog.cameraLists[list].GetCount()); ++n, ++k) {
            if (total >= 2 && progress)
                progress(int(k * 100 / total));
            CameraEntry* entry = dialog.cameraLists[list].At(n);
            std::u16string name, driverVersion, driverDate;
            dialog.GetHostAdapterByMac(WideField(entry->GetAdapterMacAddress(), 20), name, driverVersion,
                                       driverDate);
            entry->SetAdapterName(name);
            entry->SetAdapterDriverVersion(driverVersion);
            entry->SetAdapterDriverDate(driverDate);
            SupportCamera camera;
            // A fresh record per camera: a camera whose query fails never shows another's values.
            dialog.ReadCamInfo(entry, &camera.info);
            if (list == 0)
                CollectUsbPath(entry->GetUsbEnumIndex(), camera.hubs, camera.controller);
            camera.entry = *entry;
            cameras.push_back(std::move(camera));
        }
    }
    CollectInstalledDriverVersions(content.drivers);
    content.system = CollectSystemInfo();
    content.adapters = CollectAdapters();
    content.controllers = CollectUsbControllers();
    if (total >= 2 && progress)
        progress(100);
    return content;
}

void CZekoManagerDlg::CreateSupportFile() {
    RefreshPause pause(*this);
    wxFileDialog chooser(nullptr, wxEmptyString, wxEmptyString, ResourceText(ids::SupportFileDefaultName),
                         filter(), wxFD_SAVE);
    if (chooser.ShowModal() != wxID_OK)
        return;
    wxString path = chooser.GetPath();
    if (wxFileName(path).GetExt().empty())
        path += "." + ResourceText(ids::SupportFileExtension);
    if (wxFileName::FileExists(path) &&
        wxMessageBox(ResourceText(ids::OverwriteQuestion), ResourceText(ids::AppTitle),
                     wxYES_NO | wxICON_WARNING, this) != wxYES)
        return;

    std::unique_ptr<wxProgressDialog> progress;
    const size_t total = size_t(cameraLists[0].GetCount()) + size_t(cameraLists[1].GetCount());
    if (total >= 2)
        progress = std::make_unique<wxProgressDialog>(ResourceText(ids::Progress), wxEmptyString, 100, this,
                                                      wxPD_APP_MODAL | wxPD_AUTO_HIDE);
    const SupportFileContent content = GatherSupportFileContent(*this, [&progress](int position) {
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
                     ResourceText(ids::AppTitle), wxOK | wxICON_ERROR, this);
}

void CZekoManagerDlg::OpenSupportFile() {
    RefreshPause pause(*this);
    wxFileDialog chooser(nullptr, wxEmptyString, wxEmptyString, wxEmptyString, filter(),
                         wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (chooser.ShowModal() != wxID_OK)
        return;
    OpenSupportFileAt(*this, FromWx(chooser.GetPath()));
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

void OpenSupportFileAt(CZekoManagerDlg& owner, const std::u16string& path) {
    std::ifstream in(win::toUtf8(path), std::ios::binary);
    std::string bytes;
    int error = 0;
    if (in) {
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (in.bad())
            error = EIO;
    } else {
        error = errno ? errno : ENOENT;
    }
    if (error) {
        wxMessageBox(ResourceText(ids::SupportFileNotOpened) + "\n" + ToWx(path) + "\n" +
                         wxString::FromUTF8(SystemErrorText(win32Code(error))).Trim(),
                     ResourceText(ids::AppTitle), wxOK | wxICON_ERROR, &owner);
        return;
    }
    std::u16string header;
    const SupportFileForm form = ClassifySupportFile(bytes, header);
    if (form == SupportFileForm::Foreign) {
        wxMessageBox(ToWx(ForeignVersionMessage(header)), ResourceText(ids::AppTitle), wxOK | wxICON_ERROR,
                     &owner);
        return;
    }
    auto* viewer = new ShowSupportFileDlg(&owner, path, std::move(bytes), form == SupportFileForm::Binary);
    viewer->Show();
}
