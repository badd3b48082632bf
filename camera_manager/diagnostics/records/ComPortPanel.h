#pragma once

// The virtual COM port panel of the additional-functions dialog, without its window: the COM
// state of the selected camera, the port list, the button states and texts, and the actions
// behind Install, Save, Delete and "Delete all virtual Zeko COM ports". The dialog shows what
// controls() holds after each call.

#include "platform/win/PortDevices.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// What the panel needs of the camera; the dialog writes offset back into the camera entry.
struct ComPortCamera {
    int16_t offset = 0; // COM port = 100 + offset
    std::u16string mac; // "00-11-22-33-44-55"
    uint32_t starterFirmware = 0;
};

class ComPortUi {
public:
    enum class Icon { Error, Information };
    virtual ~ComPortUi() = default;
    virtual void ShowMessage(const std::u16string& text, Icon icon) = 0;
};

struct ComPortControls {
    bool labelEnabled = false, comboEnabled = false, installEnabled = false, saveEnabled = false,
         deleteEnabled = false, sendReceiveEnabled = false;
    std::u16string status, installText, saveText, deleteText;
    std::vector<std::u16string> comboItems;
    int comboSelection = -1;
};

constexpr char16_t virtualComPortHardwareId[] = u"ZekoComport";
constexpr uint32_t starterFirmwareWithComPort = 0x1000020; // Save needs a newer one
constexpr size_t comportRecordSize = 80;

// "BroadcastComport" as text: a decimal number 1 to 256, anything else (missing, 0, not a
// number, out of range) gives 255.
uint32_t ParseBroadcastComport(const std::optional<std::u16string>& text);
// Reads HKLM\SYSTEM\CurrentControlSet\Services\zeko\Parameters "BroadcastComport".
uint32_t ReadBroadcastComport();
// The six bytes of "xx-xx-xx-xx-xx-xx" at the start of text (hex, case-sensitive pattern
// as the camera entry writes it); nullopt when it does not match.
std::optional<std::array<uint8_t, 6>> ParseMacAddress(const std::u16string& text);
// The camera's port record: u32 1, i16 offset, zeros.
std::array<uint8_t, comportRecordSize> BuildComportRecord(int16_t offset);
// "ZekoComport (COMn)"
std::u16string VirtualComPortHardwareId(uint32_t port);

std::optional<win::PortDevice> FindVirtualComPortDevice(int offset);
bool RemoveVirtualComPortDevice(int offset);
// Removes every virtual port device; returns the numbers they held.
std::vector<uint32_t> RemoveAllVirtualComPortDevices();
// Counts virtual port devices (a device with the same id as the one before counts once);
// broadcastFound tells whether the broadcast port's device is among them.
int CountVirtualComPortDevices(uint32_t broadcastPort, bool& broadcastFound);
// Installs one device and renames its hardware id after the number it got. false when any step
// fails (a device whose driver installation failed is removed again).
bool InstallVirtualComPort(bool& rebootNeeded, uint32_t* installedPort = nullptr);

class ComPortPanel {
public:
    // flags of COM n at index n - 1
    enum Flag : uint8_t { Free = 0, Used = 1, Claimed = 3 };

    ComPortPanel(ComPortCamera& camera, ComPortUi& ui);

    // Marks every number in use or free; the database is as before afterwards.
    LONG ScanComPortDatabase(HCOMDB database);
    void FillComPortCombo();
    void UpdateComPortState();
    void OnComPortSelChange(int item);
    void OnInstallComPort();
    void OnSaveComPort();
    void OnDeleteComPort();
    void OnDeleteAllVirtualComPorts();

    const ComPortControls& controls() const { return controls_; }
    int comState() const { return comState_; }
    uint32_t selectedPort() const { return selectedPort_; }
    uint32_t broadcastPort() const { return broadcastPort_; }
    bool connected() const { return connected_; }
    bool isUsed(uint32_t port) const;

private:
    void installComPort();
    void deleteComPort();
    void deleteAllVirtualComPorts();
    // Runs a change of the store; its messages are shown afterwards, or, when the store could
    // not be saved, only the reason why.
    template <typename Action> void changeStore(Action action);
    void say(const std::u16string& message, ComPortUi::Icon icon);
    void claimFreeBelow(HCOMDB database, uint32_t port);
    void releaseClaimed(HCOMDB database);
    bool InstallBroadcastComPort();
    bool InstallSelectedComPort();
    void SaveComPortInCamera();
    void DeleteComPortInCamera();
    void DeleteComPortOnComputer();
    bool SendComportRecord(int16_t newOffset);
    std::u16string buttonText(unsigned stringId, uint32_t port) const;
    std::u16string text(unsigned stringId) const;

    ComPortCamera& camera_;
    ComPortUi& ui_;
    ComPortControls controls_;
    std::array<uint8_t, 256> flags_{};
    uint32_t broadcastPort_;
    uint32_t selectedPort_ = 100;
    int comState_ = 3;
    bool connected_ = false;
    bool collecting_ = false;
    std::vector<std::pair<std::u16string, ComPortUi::Icon>> said_;
};
