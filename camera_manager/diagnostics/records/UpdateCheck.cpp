#include "camera_manager/diagnostics/records/UpdateCheck.h"

#include "camera_manager/core/records/StoreMessages.h"
#include "camera_manager/res/StringIds.h"
#include "platform/common/StoreFile.h"
#include "platform/win/ProfileText.h"
#include "platform/win/ResourceStrings.h"
#include "platform/win/SystemInfo.h"
#include "platform/win/WideText.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <iterator>

const UpdateListKey updateListKeys[] = {
    {u"ZEKO_DRIVERS", u"USB_KERNEL", VersionList::Drivers, 0},
    {u"ZEKO_DRIVERS", u"ETH_KERNEL", VersionList::Drivers, 1},
    {u"ZEKO_DRIVERS", u"COMPORT_KERNEL", VersionList::Drivers, 2},
    {u"ZEKO_DRIVERS", u"API_DLL", VersionList::Drivers, 3},
    {u"ZEKO_DRIVERS", u"API_DLL", VersionList::Drivers, 4},
    {u"ZEKO_DRIVERS", u"TOOLS_DLL", VersionList::Drivers, 5},
    {u"ZEKO_DRIVERS", u"TOOLS_DLL", VersionList::Drivers, 6},
    {u"ZEKO_DRIVERS", u"ACTIVEX", VersionList::Drivers, 7},
    {u"ZEKO_DRIVERS", u"DIRECTSHOW", VersionList::Drivers, 8},
    {u"ZEKO_DRIVERS", u"TWAIN", VersionList::Drivers, 9},
    {u"THIRD_PARTY_DRIVERS", u"HALCON_hAcqu", VersionList::Drivers, 10},
    {u"THIRD_PARTY_DRIVERS", u"HALCON_parhAcqu", VersionList::Drivers, 11},
    {u"THIRD_PARTY_DRIVERS", u"HALCON_hAcquxl", VersionList::Drivers, 12},
    {u"THIRD_PARTY_DRIVERS", u"LABVIEW_DLL", VersionList::Drivers, 13},
    {u"THIRD_PARTY_DRIVERS", u"CVB_DRIVER", VersionList::Drivers, 14},
    {u"THIRD_PARTY_DRIVERS", u"NEUROCHECK_DLL", VersionList::Drivers, 15},
    {u"THIRD_PARTY_DRIVERS", u"COGNEX_DLL", VersionList::Drivers, 16},
    {u"THIRD_PARTY_DRIVERS", u"GENICAM_INTERFACE", VersionList::Drivers, 17},
    {u"DIRECT3D_DLLS", u"DIRECT3D9_DLL", VersionList::Direct3D, 0},
    {u"DIRECT3D_DLLS", u"DIRECT3D9_EXTENSIONS_DLL", VersionList::Direct3D, 1},
};
const size_t updateListKeyCount = std::size(updateListKeys);

namespace {

// strtol on one token: leading blanks and a sign, digits up to the first other character,
// saturating as strtol does.
long tokenValue(const std::u16string& token) {
    std::string narrow;
    for (char16_t c : token)
        narrow.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    // The list was written for a 32-bit long: values saturate at its limits.
    long value = std::strtol(narrow.c_str(), nullptr, 10);
    return std::clamp<long>(value, INT32_MIN, INT32_MAX);
}

} // namespace

namespace {

// The text split at ".": runs of dots count as one, so no part is empty; at most four parts.
std::vector<std::u16string> versionParts(const std::u16string& text) {
    std::vector<std::u16string> tokens;
    size_t start = 0;
    while (tokens.size() < 4 && start < text.size()) {
        size_t end = text.find(u'.', start);
        if (end == std::u16string::npos)
            end = text.size();
        if (end > start)
            tokens.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return tokens;
}

} // namespace

int64_t ParseVersionNumber(std::u16string text) {
    const std::vector<std::u16string> tokens = versionParts(text);
    if (tokens.size() < 4)
        return 0;
    // Unsigned arithmetic wraps where the signed sum would overflow; the bits are the same.
    uint64_t packed = static_cast<uint64_t>(tokenValue(tokens[0])) << 48;
    packed += static_cast<uint64_t>(tokenValue(tokens[1])) << 32;
    packed += static_cast<uint64_t>(tokenValue(tokens[2])) << 16;
    packed += static_cast<uint64_t>(tokenValue(tokens[3]));
    return static_cast<int64_t>(packed);
}

std::u16string UpdateMarker(int64_t installed, int64_t listed) {
    if (installed == 0)
        return u"3";
    if (listed < installed)
        return u"1";
    if (installed < listed)
        return u"2";
    return u"0";
}

UpdateFlags MarkVersionRows(std::vector<VersionRow>& drivers, std::vector<VersionRow>& direct3d) {
    UpdateFlags flags;
    for (VersionRow& row : drivers) {
        row.marker = UpdateMarker(ParseVersionNumber(row.version), ParseVersionNumber(row.update));
        flags.update = flags.update || row.marker == u"2";
    }
    for (VersionRow& row : direct3d) {
        row.marker = UpdateMarker(ParseVersionNumber(row.version), ParseVersionNumber(row.update));
        flags.directX = flags.directX || row.marker == u"2" || row.marker == u"3";
    }
    return flags;
}

bool ReadUpdateList(const std::string& listPath, const std::u16string& notFound,
                    std::vector<VersionRow>& drivers, std::vector<VersionRow>& direct3d) {
    const std::u16string file = win::fromUtf8(listPath);
    std::vector<VersionRow> newDrivers = drivers, newDirect3d = direct3d;
    std::u16string value(8192, u'\0');
    bool anyVersion = false;
    for (const UpdateListKey& key : updateListKeys) {
        std::vector<VersionRow>& rows = key.list == VersionList::Drivers ? newDrivers : newDirect3d;
        if (key.row >= static_cast<int>(rows.size()))
            continue;
        DWORD length = GetPrivateProfileStringW(key.section, key.key, notFound.c_str(), value.data(),
                                                static_cast<DWORD>(value.size()), file.c_str());
        rows[key.row].update = value.substr(0, length);
        anyVersion = anyVersion || versionParts(rows[key.row].update).size() == 4;
    }
    if (!anyVersion)
        return false;
    drivers = std::move(newDrivers);
    direct3d = std::move(newDirect3d);
    return true;
}

std::string UpdateListUrl() {
    const char* url = std::getenv("ZEKO_UPDATE_LIST_URL");
    return url ? url : "";
}

std::string SetupPageUrl() {
    const std::string list = UpdateListUrl();
    const std::string url = list.substr(0, list.find_first_of("?#"));
    const size_t scheme = url.find("://");
    if (scheme == std::string::npos)
        return "";
    if (url.find('/', scheme + 3) == std::string::npos)
        return url + "/";
    return url.substr(0, url.rfind('/') + 1);
}

std::string UpdateListPath() {
    return win::temporaryFolder() + "/ZekoUpdates.txt";
}

DownloadResult DownloadUpdateList(DownloadCancel* cancel) {
    DownloadOptions options;
    options.cancel = cancel;
    return DownloadToFile(UpdateListUrl(), UpdateListPath(), options);
}

void ApplyUpdateList(const DownloadResult& download, std::vector<VersionRow>& drivers,
                     std::vector<VersionRow>& direct3d, UpdateCheckUi& ui) {
    if (download.status == DownloadStatus::Cancelled)
        return;
    if (download.status == DownloadStatus::SessionFailed) {
        ui.ShowMessage(ids::InternetNotConnected, UpdateCheckUi::Icon::Error);
        return;
    }
    if (download.status == DownloadStatus::FileFailed) {
        const std::string path = UpdateListPath();
        const StoreFileRead kind = storeFileKind(path);
        if (kind == StoreFileRead::Folder || kind == StoreFileRead::NotAFile) {
            ui.ShowText(UpdateListNotStoredMessage(path, kind == StoreFileRead::Folder),
                        UpdateCheckUi::Icon::Error);
            return;
        }
    }
    if (download.status != DownloadStatus::Ok) {
        ui.ShowMessage(ids::UrlNotConnected, UpdateCheckUi::Icon::Error);
        return;
    }
    if (!ReadUpdateList(UpdateListPath(), LoadResourceString(ids::NotFound), drivers, direct3d)) {
        ui.ShowMessage(ids::NotAnUpdateList, UpdateCheckUi::Icon::Error);
        return;
    }
    UpdateFlags flags = MarkVersionRows(drivers, direct3d);
    ui.RefreshLists();
    if (flags.directX)
        ui.ShowMessage(ids::InstallDirectX, UpdateCheckUi::Icon::Warning);
    if (flags.update && ui.AskYesNo(ids::DriversOutOfDate))
        ui.OpenSetupPage();
}

void CheckForUpdates(std::vector<VersionRow>& drivers, std::vector<VersionRow>& direct3d, UpdateCheckUi& ui) {
    ApplyUpdateList(DownloadUpdateList(), drivers, direct3d, ui);
}
