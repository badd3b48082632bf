#include "camera_manager/core/rules/CameraListRules.h"

#include "camera_manager/res/StringIds.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace CameraListRules {

const std::u16string modelPrefix = u"ZK";
const std::array<int, 8> pictures = {1072, 1097, 1124, 1328, 1340, 1341, 1351, 1352};
const std::array<int, 4> cameraButtons = {1085, 1092, 1086, 1087};

namespace {

bool IsHex(char16_t c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
bool IsAlnum(char16_t c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Prefix, three hex digits and a letter or digit at `from`.
bool MatchesCode(const std::u16string& text, size_t from) {
    if (text.length() < from + 4)
        return false;
    for (size_t i = 0; i < 3; ++i)
        if (!IsHex(text[from + i]))
            return false;
    return IsAlnum(text[from + 3]);
}

// The model column as the USB picture rule reads it: prefix "-" code "LE-".
bool IsLeModel(const std::u16string& column) {
    const size_t p = modelPrefix.length();
    if (!column.starts_with(modelPrefix) || column.length() < p + 1 || column[p] != u'-')
        return false;
    return MatchesCode(column, p + 1) && column.length() >= p + 5 && column.substr(p + 5, 3) == u"LE-";
}

std::u16string Numbered(const StringLookup& text, uint32_t deviceId, const std::u16string& message) {
    return text(ids::DeviceStatusPrefix) + u" " + FormatAscii("%d", static_cast<int>(deviceId)) + u": " +
           message;
}

// The integer at the start of a text (after blanks, with an optional sign), 0 when there is none.
long LeadingInteger(const std::u16string& text) {
    size_t i = 0;
    while (i < text.length() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    const bool negative = i < text.length() && text[i] == u'-';
    if (i < text.length() && (text[i] == u'-' || text[i] == u'+'))
        ++i;
    long value = 0;
    for (; i < text.length() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        value = value * 10 + (text[i] - u'0');
    return negative ? -value : value;
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

std::u16string ModelColumn(const std::u16string& model) {
    const size_t p = modelPrefix.length();
    if (model.starts_with(modelPrefix) && model.length() >= p + 5 && MatchesCode(model, p))
        return modelPrefix + u"-" + model.substr(p);
    return model;
}

RowTexts MakeRow(const CameraState& camera, const StringLookup& text) {
    RowTexts row;
    const std::u16string yes = text(ids::Yes);
    const std::u16string no = text(ids::No);
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
    row.columns[3] = FormatAscii("%d", static_cast<int>(camera.cameraId));
    row.columns[4] = FormatAscii("%d", static_cast<int>(camera.deviceId));
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

std::u16string FormatAscii(const char* format, ...) {
    char buffer[64];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    const size_t length = n < 0 ? 0 : std::min(static_cast<size_t>(n), sizeof buffer - 1);
    return std::u16string(buffer, buffer + length);
}

std::u16string FirmwareVersionText(uint32_t v) {
    return FormatAscii("%d.%02d.%04d", static_cast<int>(v >> 24), static_cast<int>((v >> 16) & 0xFF),
                       static_cast<int>(v & 0xFFFF));
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
                const std::u16string message =
                    expertMode ? text(ids::StarterFirmwareIncompatibleRequested) + u" " +
                                     FirmwareVersionText(c.driverIncludedStarterFirmware) + u"."
                               : text(ids::StarterFirmwareIncompatible);
                d.text = Numbered(text, c.deviceId, message);
                d.code = 1;
            }
        } else if (a) {
            d.enabled = {false, true, true, true};
            const int message = GigEMessage(c);
            d.text = Numbered(text, c.deviceId, message ? text(message) : std::u16string());
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
            d.text = text(ids::EthInfoFailedPrefix) + u" " +
                     FormatAscii("%d", static_cast<int>(c.ethInfoResult)) + text(ids::EthInfoFailedSuffix);
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
    auto copy = [](char16_t* out, const std::u16string& in) {
        for (size_t i = 0; i < 16 && i < in.length(); ++i)
            out[i] = in[i];
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

int CompareRows(const std::u16string& a, const std::u16string& b, int column, bool ascending) {
    int result;
    if (column == 3 || column == 4) {
        const long x = LeadingInteger(a);
        const long y = LeadingInteger(b);
        result = x < y ? -1 : (x > y ? 1 : 0);
    } else {
        const int c = a.compare(b);
        result = c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    return ascending ? result : -result;
}

} // namespace CameraListRules
