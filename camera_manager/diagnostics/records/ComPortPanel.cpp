#include "camera_manager/diagnostics/records/ComPortPanel.h"

#include "camera_manager/core/records/CameraEntryBuilder.h"
#include "camera_manager/core/records/CameraInterfaceLibrary.h"
#include "camera_manager/core/records/StoreMessages.h"
#include "camera_manager/res/StringIds.h"
#include "platform/win/Registry.h"
#include "platform/win/ResourceStrings.h"
#include "platform/win/WideText.h"

#include <cstring>

namespace {

std::u16string number(uint32_t value) {
    return win::fromUtf8(std::to_string(value));
}

bool startsWith(const std::u16string& text, std::u16string_view prefix) {
    return text.size() >= prefix.size() && std::u16string_view(text).substr(0, prefix.size()) == prefix;
}

} // namespace

uint32_t ParseBroadcastComport(const std::optional<std::u16string>& text) {
    constexpr uint32_t fallback = 255;
    if (!text)
        return fallback;
    // Read as a decimal number the way the system's wide-to-number conversion does: leading
    // blanks, digits up to the first other character.
    size_t i = 0;
    while (i < text->size() && ((*text)[i] == u' ' || (*text)[i] == u'\t'))
        ++i;
    uint64_t value = 0;
    bool digits = false;
    for (; i < text->size() && (*text)[i] >= u'0' && (*text)[i] <= u'9' && value <= COMDB_MAX_PORTS; ++i) {
        value = value * 10 + ((*text)[i] - u'0');
        digits = true;
    }
    if (!digits || value < 1 || value > COMDB_MAX_PORTS)
        return fallback;
    return static_cast<uint32_t>(value);
}

uint32_t ReadBroadcastComport() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"SYSTEM\\CurrentControlSet\\Services\\zeko\\Parameters", 0,
                      KEY_READ, &key) != ERROR_SUCCESS)
        return ParseBroadcastComport(std::nullopt);
    char16_t buffer[255] = {};
    DWORD size = sizeof buffer - sizeof(char16_t); // keeps a terminating zero
    DWORD type = 0;
    LONG result =
        RegQueryValueExW(key, u"BroadcastComport", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return ParseBroadcastComport(std::nullopt);
    return ParseBroadcastComport(win::fromBuffer(buffer));
}

std::optional<std::array<uint8_t, 6>> ParseMacAddress(const std::u16string& text) {
    return ParseMacText(text, u'-');
}

std::array<uint8_t, comportRecordSize> BuildComportRecord(int16_t offset) {
    std::array<uint8_t, comportRecordSize> record{};
    const uint32_t kind = 1;
    std::memcpy(record.data(), &kind, sizeof kind);
    std::memcpy(record.data() + 4, &offset, sizeof offset);
    return record;
}

std::u16string VirtualComPortHardwareId(uint32_t port) {
    return std::u16string(virtualComPortHardwareId) + u" (COM" + number(port) + u")";
}

std::optional<win::PortDevice> FindVirtualComPortDevice(int offset) {
    if (offset + 100 < 1)
        return std::nullopt;
    const std::u16string wanted = VirtualComPortHardwareId(static_cast<uint32_t>(100 + offset));
    for (const win::PortDevice& device : win::listPortDevices())
        if (win::equalNoCase(device.hardwareId, wanted))
            return device;
    return std::nullopt;
}

bool RemoveVirtualComPortDevice(int offset) {
    std::optional<win::PortDevice> device = FindVirtualComPortDevice(offset);
    return device && win::removePortDevice(device->instance);
}

std::vector<uint32_t> RemoveAllVirtualComPortDevices() {
    std::vector<uint32_t> removed;
    for (const win::PortDevice& device : win::listPortDevices())
        if (startsWith(device.hardwareId, u"ZekoComport (COM") && win::removePortDevice(device.instance))
            removed.push_back(device.port);
    return removed;
}

int CountVirtualComPortDevices(uint32_t broadcastPort, bool& broadcastFound) {
    broadcastFound = false;
    int count = 0;
    std::u16string previous;
    const std::u16string broadcastId = VirtualComPortHardwareId(broadcastPort);
    for (const win::PortDevice& device : win::listPortDevices()) {
        if (!startsWith(device.hardwareId, virtualComPortHardwareId))
            continue;
        if (count == 0 || device.hardwareId != previous)
            ++count;
        previous = device.hardwareId;
        broadcastFound = broadcastFound || device.hardwareId == broadcastId;
    }
    return count;
}

bool InstallVirtualComPort(bool& rebootNeeded, uint32_t* installedPort) {
    rebootNeeded = false;
    std::optional<win::PortDevice> device = win::installPortDevice(virtualComPortHardwareId);
    if (!device)
        return false;
    size_t open = device->friendlyName.find(u"(COM");
    if (open == std::u16string::npos)
        return false;
    std::u16string tail = device->friendlyName.substr(open);
    if (!win::setPortDeviceHardwareId(device->instance,
                                      std::u16string(virtualComPortHardwareId) + u" " + tail))
        return false;
    // "(COMn)" without "(COM" and ")" read as a decimal number.
    uint32_t port = 0;
    for (size_t i = 4; i < tail.size() && tail[i] >= u'0' && tail[i] <= u'9' && port <= COMDB_MAX_PORTS; ++i)
        port = port * 10 + (tail[i] - u'0');
    if (installedPort)
        *installedPort = port;
    return port != 0;
}

ComPortPanel::ComPortPanel(ComPortCamera& camera, ComPortUi& ui)
    : camera_(camera), ui_(ui), broadcastPort_(ReadBroadcastComport()) {}

bool ComPortPanel::isUsed(uint32_t port) const {
    return port >= 1 && port <= 256 && flags_[port - 1] != Free;
}

std::u16string ComPortPanel::text(unsigned stringId) const {
    return LoadResourceString(stringId);
}

std::u16string ComPortPanel::buttonText(unsigned stringId, uint32_t port) const {
    return text(stringId) + u" (COM" + number(port) + u")";
}

LONG ComPortPanel::ScanComPortDatabase(HCOMDB database) {
    flags_.fill(Used);
    LONG result = ERROR_SUCCESS;
    for (;;) {
        DWORD port = 0;
        result = ComDBClaimNextFreePort(database, &port);
        if (result != ERROR_SUCCESS)
            break;
        if (port > 256) {
            ComDBReleasePort(database, port);
            break;
        }
        flags_[port - 1] = Free;
        if (port == 256)
            break;
    }
    for (uint32_t port = 1; port <= 256; ++port)
        if (flags_[port - 1] == Free)
            ComDBReleasePort(database, port);
    // A store that can be read but not written (a read-only folder, a full disk) refuses every
    // claim: what it holds is read instead, so that no free number is shown as used.
    // One that cannot be read at all (a folder in its place) holds no claim.
    if (result != ERROR_SUCCESS && result != ERROR_NO_MORE_FREE_PORTS) {
        const std::optional<std::set<uint32_t>> claimed = win::claimedPorts();
        for (uint32_t port = 1; port <= 256; ++port)
            flags_[port - 1] = claimed && claimed->count(port) ? Used : Free;
        result = ERROR_SUCCESS;
    }
    return result;
}

void ComPortPanel::FillComPortCombo() {
    controls_.comboItems.clear();
    controls_.comboSelection = -1;
    flags_.fill(Free);
    HCOMDB database = HCOMDB_INVALID_HANDLE_VALUE;
    if (ComDBOpen(&database) != ERROR_SUCCESS || database == HCOMDB_INVALID_HANDLE_VALUE)
        return;
    ScanComPortDatabase(database);
    for (uint32_t port = 1; port <= 256; ++port) {
        std::u16string item = u"COM" + number(port);
        if (port == broadcastPort_)
            item += u" (Broadcast)";
        else if (isUsed(port))
            item += u" (" + text(ids::PortUsed) + u")";
        controls_.comboItems.push_back(item);
    }
    ComDBClose(database);
    controls_.comboSelection = 99;
    // A store set aside or found to be no file on the way is named once.
    for (const win::UnreadableFile& file : win::TakeUnreadableFiles())
        ui_.ShowMessage(UnreadableFileMessage(file), ComPortUi::Icon::Error);
}

void ComPortPanel::say(const std::u16string& message, ComPortUi::Icon icon) {
    if (collecting_)
        said_.push_back({message, icon});
    else
        ui_.ShowMessage(message, icon);
}

template <typename Action> void ComPortPanel::changeStore(Action action) {
    win::takePortStoreFailure();
    collecting_ = true;
    said_.clear();
    action();
    collecting_ = false;
    // When the store could not be saved, its reason is the one failure to tell: the "not
    // installed" or "used by another application" that follows from it would not be true. What
    // did succeed (in the camera) is still said.
    const std::optional<win::PortStoreFailure> failure = win::takePortStoreFailure();
    if (failure)
        ui_.ShowMessage(PortStoreFailureMessage(*failure), ComPortUi::Icon::Error);
    for (const auto& [message, icon] : said_)
        if (!failure || icon == ComPortUi::Icon::Information)
            ui_.ShowMessage(message, icon);
    said_.clear();
}

void ComPortPanel::UpdateComPortState() {
    const int offset = camera_.offset;
    connected_ = FindVirtualComPortDevice(offset).has_value();
    ComPortControls& c = controls_;
    if (connected_) {
        comState_ = 1;
        selectedPort_ = static_cast<uint32_t>(100 + offset);
        c.labelEnabled = c.comboEnabled = c.installEnabled = c.saveEnabled = false;
        c.deleteEnabled = c.sendReceiveEnabled = true;
        c.deleteText = buttonText(ids::DeleteComPort, selectedPort_);
        c.status = text(ids::ComPortConnected);
    } else if (offset != 0) {
        comState_ = 2;
        const int port = 100 + offset;
        selectedPort_ = static_cast<uint32_t>(port);
        c.labelEnabled = c.comboEnabled = c.saveEnabled = c.sendReceiveEnabled = false;
        c.deleteEnabled = true;
        c.deleteText = buttonText(ids::DeleteComPortInCamera, selectedPort_);
        const bool valid = port >= 1 && port <= 256;
        c.installEnabled = valid;
        c.status = text(valid ? ids::ComPortMissingOnComputer : ids::InvalidComPortInCamera);
    } else {
        comState_ = 3;
        selectedPort_ = static_cast<uint32_t>(c.comboSelection + 1);
        c.labelEnabled = c.comboEnabled = c.saveEnabled = true;
        c.sendReceiveEnabled = false;
        c.deleteText = buttonText(ids::DeleteComPortOnComputer, selectedPort_);
        c.status = text(ids::ComPortDefault);
        const bool used = isUsed(selectedPort_);
        c.deleteEnabled = used;
        c.installEnabled = !used;
        // Without a port list there is no valid number to act on.
        if (selectedPort_ < 1 || selectedPort_ > 256)
            c.installEnabled = c.saveEnabled = c.deleteEnabled = false;
    }
    if (!c.comboItems.empty() && selectedPort_ >= 1 && selectedPort_ <= c.comboItems.size())
        c.comboSelection = static_cast<int>(selectedPort_) - 1;
    c.installText = buttonText(ids::InstallComPort, selectedPort_);
    c.saveText = buttonText(ids::SaveComPort, selectedPort_);
}

void ComPortPanel::OnComPortSelChange(int item) {
    if (item < 0 || item >= static_cast<int>(controls_.comboItems.size()))
        return;
    const uint32_t port = static_cast<uint32_t>(item) + 1;
    if (port == broadcastPort_) {
        controls_.comboSelection = static_cast<int>(selectedPort_) - 1;
        return;
    }
    controls_.comboSelection = item;
    controls_.installEnabled = !isUsed(port);
    if (comState_ == 3)
        controls_.deleteEnabled = isUsed(port);
    selectedPort_ = port;
    controls_.installText = buttonText(ids::InstallComPort, port);
    controls_.saveText = buttonText(ids::SaveComPort, port);
    if (comState_ == 3)
        controls_.deleteText = buttonText(ids::DeleteComPortOnComputer, port);
    else if (comState_ == 1)
        controls_.deleteText = buttonText(ids::DeleteComPort, port);
}

void ComPortPanel::claimFreeBelow(HCOMDB database, uint32_t port) {
    for (uint32_t n = 1; n < port && n <= 256; ++n)
        if (flags_[n - 1] == Free && ComDBClaimPort(database, n, FALSE, nullptr) == ERROR_SUCCESS)
            flags_[n - 1] = Claimed;
}

void ComPortPanel::releaseClaimed(HCOMDB database) {
    for (uint32_t n = 1; n <= 256; ++n)
        if (flags_[n - 1] == Claimed) {
            ComDBReleasePort(database, n);
            flags_[n - 1] = Free;
        }
}

bool ComPortPanel::InstallBroadcastComPort() {
    bool reboot = false;
    uint32_t port = 0;
    bool ok = InstallVirtualComPort(reboot, &port);
    if (ok && port != broadcastPort_) {
        // The device did not get the broadcast number: it would never be found again.
        if (std::optional<win::PortDevice> wrong = FindVirtualComPortDevice(static_cast<int>(port) - 100))
            win::removePortDevice(wrong->instance);
        ok = false;
    }
    const bool success = ok && !reboot;
    say(text(success ? ids::BroadcastInstalledStart : ids::BroadcastFailedStart) + number(broadcastPort_) +
            text(success ? ids::BroadcastInstalledEnd : ids::BroadcastFailedEnd),
        success ? ComPortUi::Icon::Information : ComPortUi::Icon::Error);
    return success;
}

bool ComPortPanel::InstallSelectedComPort() {
    bool reboot = false;
    uint32_t port = 0;
    bool ok = InstallVirtualComPort(reboot, &port);
    if (ok && port != selectedPort_) {
        if (std::optional<win::PortDevice> wrong = FindVirtualComPortDevice(static_cast<int>(port) - 100))
            win::removePortDevice(wrong->instance);
        ok = false;
    }
    const bool success = ok && !reboot;
    say(text(success ? ids::ComPortInstalled : ids::ComPortNotInstalled),
        success ? ComPortUi::Icon::Information : ComPortUi::Icon::Error);
    return success;
}

void ComPortPanel::OnInstallComPort() {
    changeStore([this] { installComPort(); });
}

void ComPortPanel::installComPort() {
    const uint32_t wanted = selectedPort_;
    HCOMDB database = HCOMDB_INVALID_HANDLE_VALUE;
    if (ComDBOpen(&database) == ERROR_SUCCESS && database != HCOMDB_INVALID_HANDLE_VALUE) {
        // Another program may have changed the database since the list was filled.
        ScanComPortDatabase(database);
        if (!FindVirtualComPortDevice(static_cast<int>(broadcastPort_) - 100)) {
            if (!isUsed(broadcastPort_)) {
                if (broadcastPort_ >= 2)
                    claimFreeBelow(database, broadcastPort_);
                InstallBroadcastComPort();
                flags_[broadcastPort_ - 1] = Used;
                releaseClaimed(database);
            } else {
                say(text(ids::BroadcastFailedStart) + number(broadcastPort_) + text(ids::BroadcastFailedEnd),
                    ComPortUi::Icon::Error);
            }
        }
        if (wanted >= 1 && wanted <= 256 && !isUsed(wanted)) {
            claimFreeBelow(database, wanted);
            selectedPort_ = wanted;
            InstallSelectedComPort();
            releaseClaimed(database);
        } else {
            say(text(ids::ComPortNotInstalled), ComPortUi::Icon::Error);
        }
        ComDBClose(database);
    }
    FillComPortCombo();
    if (!controls_.comboItems.empty() && wanted >= 1 && wanted <= 256)
        controls_.comboSelection = static_cast<int>(wanted) - 1;
    UpdateComPortState();
}

bool ComPortPanel::SendComportRecord(int16_t newOffset) {
    std::optional<std::array<uint8_t, 6>> mac = ParseMacAddress(camera_.mac);
    if (!mac)
        return false; // no address to send to
    std::array<uint8_t, comportRecordSize> record = BuildComportRecord(newOffset);
    return ZekoApi::zk_SetComportConfig(mac->data(), static_cast<uint16_t>(camera_.offset), record.data(),
                                        comportRecordSize, 0) == 0;
}

void ComPortPanel::SaveComPortInCamera() {
    const int16_t offset = static_cast<int16_t>(static_cast<int>(selectedPort_) - 100);
    if (SendComportRecord(offset)) {
        camera_.offset = offset;
        say(text(ids::ComPortSavedInCamera), ComPortUi::Icon::Information);
    } else {
        say(text(ids::ComPortNotSavedInCamera), ComPortUi::Icon::Error);
    }
}

void ComPortPanel::DeleteComPortInCamera() {
    if (SendComportRecord(0)) {
        if (camera_.offset != 0)
            say(text(ids::ComPortDeletedInCamera), ComPortUi::Icon::Information);
        camera_.offset = 0;
    } else {
        say(text(ids::ComPortNotDeletedInCamera), ComPortUi::Icon::Error);
    }
}

void ComPortPanel::DeleteComPortOnComputer() {
    if (!RemoveVirtualComPortDevice(static_cast<int>(selectedPort_) - 100)) {
        say(text(ids::ComPortNotDeletedOnComputer), ComPortUi::Icon::Error);
        return;
    }
    say(text(ids::ComPortDeletedOnComputer), ComPortUi::Icon::Information);
    bool broadcastFound = false;
    if (CountVirtualComPortDevices(broadcastPort_, broadcastFound) == 1 && broadcastFound)
        RemoveVirtualComPortDevice(static_cast<int>(broadcastPort_) - 100);
}

void ComPortPanel::OnSaveComPort() {
    if (camera_.starterFirmware > starterFirmwareWithComPort) {
        SaveComPortInCamera();
        UpdateComPortState();
    } else {
        say(text(ids::OldStarterFirmware), ComPortUi::Icon::Error);
    }
}

void ComPortPanel::OnDeleteComPort() {
    changeStore([this] { deleteComPort(); });
}

void ComPortPanel::deleteComPort() {
    switch (comState_) {
    case 1:
        DeleteComPortOnComputer();
        DeleteComPortInCamera();
        break;
    case 2:
        if (camera_.starterFirmware > starterFirmwareWithComPort)
            DeleteComPortInCamera();
        else
            say(text(ids::OldStarterFirmware), ComPortUi::Icon::Error);
        break;
    default:
        DeleteComPortOnComputer();
        break;
    }
    FillComPortCombo();
    UpdateComPortState();
}

void ComPortPanel::OnDeleteAllVirtualComPorts() {
    changeStore([this] { deleteAllVirtualComPorts(); });
}

void ComPortPanel::deleteAllVirtualComPorts() {
    HCOMDB database = HCOMDB_INVALID_HANDLE_VALUE;
    if (ComDBOpen(&database) == ERROR_SUCCESS && database != HCOMDB_INVALID_HANDLE_VALUE) {
        // Only the numbers of the removed devices; other devices keep their reservations.
        for (uint32_t port : RemoveAllVirtualComPortDevices())
            ComDBReleasePort(database, port);
        ComDBClose(database);
    }
    FillComPortCombo();
    UpdateComPortState();
}
