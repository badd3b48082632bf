#pragma once

// Numbers of the serial terminal's resource strings (camera_manager/res/StringTable.cpp).

#include <cstdint>

namespace ids {

constexpr uint32_t SerialConnect = 503;
constexpr uint32_t SerialDisconnect = 504;
constexpr uint32_t SerialCannotClose = 505;
constexpr uint32_t SerialCannotOpen = 506;
constexpr uint32_t SerialNotSent = 507;
constexpr uint32_t SerialNotConnected = 508;
constexpr uint32_t SerialNotReceived = 509;
constexpr uint32_t SerialParityNone = 510;
constexpr uint32_t SerialBytes = 528;
constexpr uint32_t SerialTransferComplete = 529;
constexpr uint32_t SerialTransferIncomplete = 530;
constexpr uint32_t SerialSendFile = 531;
constexpr uint32_t SerialStop = 532;
constexpr uint32_t SerialSourceFile = 533;
constexpr uint32_t SerialDestinationFile = 534;
constexpr uint32_t SerialSelectFiles = 535;
constexpr uint32_t SerialLineEndNone = 536; // 537 "CR", 538 "LF", 539 "CR-LF"
constexpr uint32_t SerialBaudsDiffer = 548;
// Texts of our own.
constexpr uint32_t SerialLineLost = 3220;
constexpr uint32_t SerialPartialKept = 3221; // %s: the file holding the data received
constexpr uint32_t SerialDestinationUnchanged = 3222;

} // namespace ids
