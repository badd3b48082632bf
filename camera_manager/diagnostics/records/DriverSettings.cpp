#include "camera_manager/diagnostics/records/DriverSettings.h"

#include "camera_manager/core/records/CameraInterfaceLibrary.h"

namespace {

constexpr int8_t unsupportedDeviceType = -127;

// The service sequence "ZEKOCOMDA", kept only scrambled (each key code XOR 0x5A plus its
// position).
constexpr char16_t scrambledSequence[9] = {u'Z' ^ 0x5A, u'E' ^ 0x5B, u'K' ^ 0x5C, u'O' ^ 0x5D, u'C' ^ 0x5E,
                                           u'O' ^ 0x5F, u'M' ^ 0x60, u'D' ^ 0x61, u'A' ^ 0x62};

} // namespace

ConfigurationCall DriverConfiguration() {
    return [](uint32_t command, uint32_t* value) { return ZekoApi::zk_Configuration(command, value, 4); };
}

ComPanelGate DecideComPanel(bool hasCamera, uint32_t deviceId, uint8_t deviceType, bool wow64) {
    if (!hasCamera)
        return ComPanelGate::Disabled;
    if (wow64)
        return ComPanelGate::Wow64;
    if (deviceId < 1000 || static_cast<int8_t>(deviceType) == unsupportedDeviceType)
        return ComPanelGate::UnsupportedCamera;
    return ComPanelGate::Available;
}

IdleStateView ReadIdleStateSettings(const ConfigurationCall& call) {
    IdleStateView view;
    uint32_t options = 0;
    if (call(2, &options) != 0)
        return view;
    view.mainsEnabled = (options & idleMainsBit) != 0;
    view.batteryEnabled = (options & idleBatteryBit) != 0;
    uint32_t flags = 0;
    if (call(5, &flags) != 0)
        return view;
    view.flags = flags;
    view.mainsTicked = (flags & options & idleMainsBit) != 0;
    view.batteryTicked = (flags & options & idleBatteryBit) != 0;
    return view;
}

bool WriteIdleState(const ConfigurationCall& call, uint32_t& flags, uint32_t bit, bool ticked) {
    const uint32_t before = flags;
    uint32_t wanted = ticked ? flags | bit : flags & ~bit;
    if (call(4, &wanted) != 0) {
        flags = before;
        return false;
    }
    flags = ticked ? before | bit : before & ~bit;
    return true;
}

ParameterSetView ReadParameterSetSetting(const ConfigurationCall& call) {
    uint32_t capabilities = 0;
    if (call(1, &capabilities) == 0 && (capabilities & 0x4) != 0) {
        uint32_t set = 0xFFFFFFFFu;
        if (call(10, &set) == 0) {
            ParameterSetView view;
            view.enabled = true;
            view.selected = set <= 2 ? static_cast<int>(set) : -1;
            return view;
        }
    }
    return ParameterSetView{0, false};
}

ParameterSetView WriteParameterSet(const ConfigurationCall& call, int set) {
    uint32_t value = static_cast<uint32_t>(set);
    if (call(9, &value) == 0)
        return ParameterSetView{set, true};
    return ReadParameterSetSetting(call);
}

void KeyRing::Add(uint32_t keyCode) {
    keys_[count_] = static_cast<char16_t>(keyCode & 0xFFFF);
    count_ = (count_ + 1) % 9;
}

bool KeyRing::Matches() const {
    // Oldest key first.
    for (int i = 0; i < 9; ++i)
        if (static_cast<char16_t>(keys_[(count_ + i) % 9] ^ (0x5A + i)) != scrambledSequence[i])
            return false;
    return true;
}

void KeyRing::Clear() {
    for (char16_t& key : keys_)
        key = 0;
    count_ = 0;
}

bool HiddenButtonAllowed(bool hasCamera, uint32_t deviceId, uint8_t deviceType) {
    return hasCamera && deviceId > 1000 && static_cast<int8_t>(deviceType) != unsupportedDeviceType;
}
