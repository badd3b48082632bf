#include "camera_manager/core/rules/CameraInfoRules.h"

#include "camera_manager/core/records/BoundedText.h"
#include "camera_manager/res/StringIds.h"
#include "platform/win/ResourceStrings.h"
#include "platform/zeko/zeko_api.h"

#include <cstring>

namespace CameraInfoRules {

namespace {

// Offsets and sizes of the texts in the camera information record.
constexpr size_t ManufacturerAt = 12, ManufacturerBytes = 20;
constexpr size_t VersionAt = 32, VersionBytes = 10;
constexpr size_t QcDateAt = 42, QcDateBytes = 12;
constexpr size_t BoardRevisionAt = 14;

std::u16string decimal(int value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

} // namespace

CameraIdInput ParseCameraId(std::u16string_view text) {
    if (text.empty())
        return {CameraIdStatus::Empty, 0};
    int value = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9')
            return {CameraIdStatus::Invalid, 0};
        // Past the range the exact value no longer matters; stop before it can overflow.
        value = value > MaxCameraId ? value : value * 10 + (c - u'0');
    }
    if (value < MinCameraId || value > MaxCameraId)
        return {CameraIdStatus::Invalid, 0};
    return {CameraIdStatus::Valid, value};
}

unsigned CameraIdRefusal(CameraIdStatus status) {
    return status == CameraIdStatus::Empty ? ids::EmptyCameraId : ids::InvalidCameraId;
}

std::u16string EepromTextFromBytes(const char* bytes) {
    return MultiByteToWide(bytes, EepromBytes);
}

bool EepromBytesFromText(std::u16string_view text, EepromBuffer& bytes) {
    bytes.fill(0);
    if (text.size() > size_t(EepromBytes) || text.find(u'\0') != std::u16string_view::npos)
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (!WideCharToMultiByte(text[i], bytes[i])) {
            bytes.fill(0);
            return false;
        }
    }
    return true;
}

Changes CompareWithInitial(int initialCameraId, std::u16string_view initialText, int cameraId,
                           std::u16string_view text) {
    return {cameraId != initialCameraId, text != initialText};
}

int UnconvertibleTextCode() {
    return ZK_INVALID_PARAMETER;
}

CameraInfoTexts TextsFromCameraInfo(const uint8_t* record) {
    const char* bytes = reinterpret_cast<const char*>(record);
    return {MultiByteToWide(bytes + ManufacturerAt, ManufacturerBytes),
            MultiByteToWide(bytes + VersionAt, VersionBytes), MultiByteToWide(bytes + QcDateAt, QcDateBytes)};
}

unsigned BoardRevision(const uint8_t* record) {
    uint16_t revision;
    std::memcpy(&revision, record + BoardRevisionAt, sizeof revision);
    return revision;
}

std::u16string DeviceIdCaption(int deviceId) {
    return LoadResourceString(ids::DeviceIdCaption) + u" " + decimal(deviceId);
}

bool HasEthRevision(int deviceId) {
    return deviceId >= 1000;
}

std::u16string ErrorText(unsigned messageId, int code) {
    return LoadResourceString(messageId) + u"\n\n" + LoadResourceString(ids::Errorcode) + u" " +
           decimal(code);
}

std::u16string EepromQuestion(std::u16string_view oldText, std::u16string_view newText) {
    std::u16string text = LoadResourceString(ids::EepromChangeQuestion);
    text += u"\n\n" + LoadResourceString(ids::EepromOld) + u":  ";
    text += oldText;
    text += u"\n\n" + LoadResourceString(ids::EepromNew) + u":  ";
    text += newText;
    return text;
}

} // namespace CameraInfoRules
