#include "camera_manager/core/dialogs/CameraListRules.h"

#include "camera_manager/res/StringIds.h"

#include <algorithm>
#include <cstring>

namespace CameraListRules {

const wxString modelPrefix = wxT("ZK");
const std::array<int, 8> pictures = {1072, 1097, 1124, 1328, 1340, 1341, 1351, 1352};
const std::array<int, 4> cameraButtons = {1085, 1092, 1086, 1087};

namespace {

bool IsHex(wxUniChar c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
bool IsAlnum(wxUniChar c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Prefix, three hex digits and a letter or digit at `from`.
bool MatchesCode(const wxString& text, size_t from) {
    if (text.length() < from + 4)
        return false;
    for (size_t i = 0; i < 3; ++i)
        if (!IsHex(text[from + i]))
            return false;
    return IsAlnum(text[from + 3]);
}

// The model column as the USB picture rule reads it: prefix "-" code "LE-".
bool IsLeModel(const wxString& column) {
    const size_t p = modelPrefix.length();
    if (!column.StartsWith(modelPrefix) || column.length() < p + 1 || column[p] != '-')
        return false;
    return MatchesCode(column, p + 1) && column.Mid(p + 5, 3) == wxT("LE-");
}

wxString Numbered(const StringLookup& text, uint32_t deviceId, const wxString& message) {
    return wxString::Format(wxT("%s %d: %s"), text(ids::DeviceStatusPrefix), static_cast<int>(deviceId),
                            message);
}

bool Bit(uint32_t value, int bit) {
    return (value >> bit) & 1u;
}

int GigEMessage(const CameraState& c) {
    const uint32_t cs = c.controlStatus;
    const uint32_t sf = c.statusFlags;
    if (!Bit(cs, 27) || Bit(cs, 31))
        return ids::InternalDriverError;
    if (!Bit(sf, 0))
        return ids::InternalDeviceError;
    if (Bit(sf, 31))
        return ids::RuntimeFirmwareCorrupted;
    if (!Bit(cs, 5))
        return ids::DeviceIncompatible;
    if (Bit(cs, 6))
        return ids::AdapterUsesDhcp;
    if (!Bit(cs, 1) && !Bit(cs, 2))
        return ids::CameraMisconfigured;
    if (!Bit(cs, 7))
        return ids::AdapterNeedsJumboPackets;
    return 0;
}

} // namespace

bool FirmwareOk(const CameraState& camera) {
    if (camera.deviceType == -127 || camera.deviceType == -124)
        return camera.starterFirmware == camera.driverIncludedStarterFirmware;
    return true;
}

wxString ModelColumn(const wxString& model) {
    const size_t p = modelPrefix.length();
    if (model.StartsWith(modelPrefix) && model.length() >= p + 5 && MatchesCode(model, p))
        return wxString::Format(wxT("%s-%s"), modelPrefix, model.Mid(p));
    return model;
}

RowTexts MakeRow(const CameraState& camera, const StringLookup& text) {
    RowTexts row;
    const wxString yes = text(ids::Yes);
    const wxString no = text(ids::No);
    if (!camera.IsGigE()) {
        const bool unusable = (camera.status & 3u) != 0;
        if (camera.used) {
            row.columns[0] = no;
            row.image = 1;
            row.columns[1] = no;
        } else if (unusable) {
            row.columns[0] = yes;
            row.image = 1;
            row.columns[1] = no;
        } else {
            row.columns[0] = yes;
            row.image = 0;
            row.columns[1] = yes;
        }
        row.columns[2] = text(ids::UsbTag);
    } else {
        const bool a = Bit(camera.statusFlags, 8);
        const bool c = Bit(camera.controlStatus, 0);
        if (a && c) {
            row.columns[0] = yes;
            row.image = FirmwareOk(camera) ? 3 : 8;
            row.columns[1] = yes;
        } else if (a) {
            row.columns[0] = yes;
            row.image = 5;
            row.columns[1] = no;
        } else {
            row.columns[0] = no;
            row.image = 4;
            row.columns[1] = no;
        }
        row.columns[2] = text(ids::EthTag);
    }
    row.columns[3] = wxString::Format(wxT("%d"), static_cast<int>(camera.cameraId));
    row.columns[4] = wxString::Format(wxT("%d"), static_cast<int>(camera.deviceId));
    row.columns[5] = ModelColumn(camera.model);
    row.columns[6] = camera.serial;
    return row;
}

int PictureFor(const CameraState& camera) {
    if (camera.IsGigE()) {
        switch (camera.deviceType) {
        case -127:
            return (camera.housing & 0xFF00) == 0x500 ? 1341 : 1328;
        case -124:
            return 1352;
        default:
            return 1072;
        }
    }
    if (IsLeModel(ModelColumn(camera.model)))
        return 1124;
    switch (camera.deviceTypeFromList) {
    case 'A':
        return 1340;
    case 'C':
        return 1351;
    default:
        return 1097;
    }
}

wxString FirmwareVersionText(uint32_t v) {
    return wxString::Format(wxT("%d.%02d.%04d"), static_cast<int>(v >> 24),
                            static_cast<int>((v >> 16) & 0xFF), static_cast<int>(v & 0xFFFF));
}

StatusDecision DecideStatus(const CameraState* camera, bool expertMode, bool selectionChanged,
                            const StringLookup& text) {
    StatusDecision d;
    if (!camera)
        return d; // nothing shown, all four disabled, empty status
    const CameraState& c = *camera;
    d.picture = PictureFor(c);
    if (c.IsGigE()) {
        const bool a = Bit(c.statusFlags, 8);
        const bool ctl = Bit(c.controlStatus, 0);
        if (a && ctl) {
            d.enabled = {true, true, true, true};
            if (FirmwareOk(c)) {
                d.text = Numbered(text, c.deviceId, text(ids::CameraReady));
                d.code = 0;
            } else {
                const wxString message =
                    expertMode ? text(ids::StarterFirmwareIncompatibleRequested) + wxT(" ") +
                                     FirmwareVersionText(c.driverIncludedStarterFirmware) + wxT(".")
                               : text(ids::StarterFirmwareIncompatible);
                d.text = Numbered(text, c.deviceId, message);
                d.code = 1;
            }
        } else if (a) {
            d.enabled = {false, true, true, true};
            const int message = GigEMessage(c);
            d.text = Numbered(text, c.deviceId, message ? text(message) : wxString());
            d.code = 1;
        } else if (ctl) {
            // A passing state between ticks: the line keeps what it showed for this camera. Shown
            // for another camera it would be wrong, so it is emptied then.
            d.keepStatus = !selectionChanged;
        } else if (Bit(c.controlStatus, 12) || Bit(c.controlStatus, 9)) {
            d.text = Numbered(text, c.deviceId, text(ids::CameraOpenedByYou));
            d.code = 2;
        } else {
            d.text = Numbered(text, c.deviceId, text(ids::CameraUsedByOtherHost));
            d.code = 1;
        }
        if (c.ethInfoResult != 0) {
            d.keepStatus = false;
            d.text = wxString::Format(wxT("%s %d%s"), text(ids::EthInfoFailedPrefix),
                                      static_cast<int>(c.ethInfoResult), text(ids::EthInfoFailedSuffix));
            d.code = 1;
        }
        return d;
    }
    // USB: only the camera information button can apply.
    if (c.used) {
        d.text = Numbered(text, c.deviceId, text(ids::CameraOpenedByYou));
        d.code = 2;
    } else if (c.status & 3u) {
        const int message = (c.status & 3u) == 3u ? ids::UploadImpossibleNoFullspeed
                            : (c.status & 1u)     ? ids::UploadImpossible
                                                  : ids::NoFullspeedUsb;
        d.text = Numbered(text, c.deviceId, text(message));
        d.code = 1;
    } else {
        d.enabled[0] = true;
        d.text = Numbered(text, c.deviceId, text(ids::CameraReady));
        d.code = 0;
    }
    return d;
}

Snapshot MakeSnapshot(const CameraState& c) {
    Snapshot s;
    std::memset(&s, 0, sizeof s);
    s.deviceId = c.deviceId;
    s.cameraId = c.cameraId;
    s.used = c.used;
    s.sensorId = c.sensorId;
    auto copy = [](char16_t* out, const wxString& in) {
        for (size_t i = 0; i < 16 && i < in.length(); ++i)
            out[i] = static_cast<char16_t>(static_cast<wxUint32>(in[i].GetValue()));
    };
    copy(s.serial, c.serial);
    copy(s.model, c.model);
    s.status = c.status;
    s.statusFlags = c.statusFlags;
    s.controlStatus = c.controlStatus;
    return s;
}

bool SnapshotsDiffer(const std::vector<Snapshot>& a, const std::vector<Snapshot>& b) {
    if (a.size() != b.size())
        return true;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::memcmp(&a[i], &b[i], sizeof(Snapshot)) != 0)
            return true;
    return false;
}

int CompareRows(const wxString& a, const wxString& b, int column, bool ascending) {
    int result;
    if (column == 3 || column == 4) {
        long x = 0, y = 0;
        a.ToLong(&x);
        b.ToLong(&y);
        result = x < y ? -1 : (x > y ? 1 : 0);
    } else {
        const int c = a.compare(b);
        result = c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    return ascending ? result : -result;
}

} // namespace CameraListRules
