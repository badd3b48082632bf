#pragma once

// Decisions of the camera information dialog, apart from its window: what counts as a camera ID,
// how the user EEPROM's bytes become text and back, what a confirmation has to change, and the
// texts of its messages.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace CameraInfoRules {

constexpr int MinCameraId = 1;
constexpr int MaxCameraId = 254;
// Characters the camera ID field takes.
constexpr int CameraIdFieldLength = 6;

// The camera ID field's text: empty, not a number from 1 to 254, or a valid ID. A number is
// made of decimal digits only; signs, blanks and other characters make it invalid.
enum class CameraIdStatus { Valid, Empty, Invalid };
struct CameraIdInput {
    CameraIdStatus status;
    int id; // the ID when valid, else 0
};
CameraIdInput ParseCameraId(std::u16string_view text);
// The message refusing a field that is not valid: 276 when it is empty, else 102.
unsigned CameraIdRefusal(CameraIdStatus status);

// The user EEPROM: 64 bytes of multibyte text at address 0, written from a zero-filled buffer
// with room for a terminator.
constexpr int EepromBytes = 64;
using EepromBuffer = std::array<char, EepromBytes + 1>;
// The text of the EEPROM's bytes: up to the first zero byte, at most 64 characters.
std::u16string EepromTextFromBytes(const char* bytes);
// The bytes of a text, zero-filled behind it. False (and the buffer all zero) when the text
// holds a character without a multibyte form or a zero character, or takes more than 64 bytes:
// such a text would reach the camera changed.
bool EepromBytesFromText(std::u16string_view text, EepromBuffer& bytes);

// What a confirmation asks of the camera.
struct Changes {
    bool cameraId;
    bool eeprom;
    bool any() const { return cameraId || eeprom; }
};
Changes CompareWithInitial(int initialCameraId, std::u16string_view initialText, int cameraId,
                           std::u16string_view text);

// The code reported for an EEPROM text that cannot be written unchanged (nothing reaches the
// camera then).
int UnconvertibleTextCode();

// The fields of the camera information record (the plain record of zk_GetCameraInfo), each
// ending at its first zero byte or at the end of the field.
struct CameraInfoTexts {
    std::u16string manufacturer;
    std::u16string version;
    std::u16string qcDate;
};
CameraInfoTexts TextsFromCameraInfo(const uint8_t* record);
// The board revision of the revision record (zk_GetRevisionInfo).
unsigned BoardRevision(const uint8_t* record);

// Texts of the dialog in the current language.
// The group caption: "Device ID: <device id>".
std::u16string DeviceIdCaption(int deviceId);
// Whether the board revision is the ETH one (GigE cameras have device ids from 1000 on).
bool HasEthRevision(int deviceId);
// An error box's text: the message, a blank line, "Errorcode <code>".
std::u16string ErrorText(unsigned messageId, int code);
// The question before the EEPROM is written, with the old and the new text.
std::u16string EepromQuestion(std::u16string_view oldText, std::u16string_view newText);

} // namespace CameraInfoRules
