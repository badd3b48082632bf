#pragma once

// The update check behind "Check updates": downloads the maker's update list (a profile file),
// writes each listed version into the Update column of the general-information lists, marks
// every row by comparing installed and listed versions, and tells the user what is out of date.
// The decisions are plain functions; the dialog supplies the rows and the message boxes.

#include "platform/win/WebDownload.h"

#include <cstdint>
#include <string>
#include <vector>

// One row of the driver or Direct3D list as the check sees it. marker is "-1" until checked.
struct VersionRow {
    std::u16string version; // installed version, or "Not found"
    std::u16string update;  // listed version, or "Not found"
    std::u16string marker = u"-1";
};

enum class VersionList { Drivers, Direct3D };

struct UpdateListKey {
    const char16_t* section;
    const char16_t* key;
    VersionList list;
    int row;
};

// The keys of the update list in reading order; API_DLL and TOOLS_DLL each fill two rows.
extern const UpdateListKey updateListKeys[];
extern const size_t updateListKeyCount;

// a.b.c.d packed as a*2^48 + b*2^32 + c*2^16 + d by addition (a part above 65535 carries into
// the next); fewer than four parts give 0. Computed without overflow in unsigned arithmetic.
int64_t ParseVersionNumber(std::u16string text);

// "3" installed missing (0), "1" listed older, "2" listed newer, "0" equal.
std::u16string UpdateMarker(int64_t installed, int64_t listed);

struct UpdateFlags {
    bool update = false;  // a driver row has a newer version listed
    bool directX = false; // a Direct3D library is missing or older than listed
};

// Writes the markers of both lists from their Version and Update columns.
UpdateFlags MarkVersionRows(std::vector<VersionRow>& drivers, std::vector<VersionRow>& direct3d);

// Fills the Update column of both lists from a downloaded update list file; missing keys read
// notFound. A file in which no key holds a version of four parts is no update list: the rows
// stay as they were and the answer is false.
bool ReadUpdateList(const std::string& listPath, const std::u16string& notFound,
                    std::vector<VersionRow>& drivers, std::vector<VersionRow>& direct3d);

// Where the update list is fetched from: ZEKO_UPDATE_LIST_URL; empty when it is not set.
std::string UpdateListUrl();
// The setup page ("Download updates", and Yes to question 527): the folder the update list lies
// in on its server, up to the last "/" of the address's path; empty without an update list.
std::string SetupPageUrl();
// The temporary file the list is downloaded to: <temporary folder>/ZekoUpdates.txt.
std::string UpdateListPath();

// What the check needs of its dialog.
class UpdateCheckUi {
public:
    enum class Icon { Error, Warning, Information };
    virtual ~UpdateCheckUi() = default;
    virtual void ShowMessage(unsigned stringId, Icon icon) = 0;
    virtual void ShowText(const std::u16string& text, Icon icon) = 0;
    virtual bool AskYesNo(unsigned stringId) = 0;
    virtual void OpenSetupPage() = 0;
    virtual void RefreshLists() = 0;
};

// The download half of the check; it may run on a worker thread, and cancel stops it at once.
DownloadResult DownloadUpdateList(DownloadCancel* cancel = nullptr);
// The other half, on the dialog's thread: messages, the lists and the question. Lists stay
// unchanged when the download failed (524 when no session can be made, nothing when it was
// cancelled, 523 for every other failure: address, HTTP status, time-out, cut-short body, file)
// and when the file is no update list (NotAnUpdateList). A folder, a pipe or anything else that is
// no file in the list's place is named instead of 523.
void ApplyUpdateList(const DownloadResult& download, std::vector<VersionRow>& drivers,
                     std::vector<VersionRow>& direct3d, UpdateCheckUi& ui);
// Both halves in one go.
void CheckForUpdates(std::vector<VersionRow>& drivers, std::vector<VersionRow>& direct3d, UpdateCheckUi& ui);
