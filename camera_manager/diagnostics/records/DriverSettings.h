#pragma once

// The driver settings of the additional-functions dialog, without its window: when the COM
// port panel is offered, the processor idle-state boxes, the parameter set used at camera
// start, and the key sequence that reveals "Delete all virtual Zeko COM ports".

#include <cstdint>
#include <functional>

// The camera API's configuration call on one 32-bit value; 0 is success.
using ConfigurationCall = std::function<int(uint32_t command, uint32_t* value)>;
// Through the interface library (zk_Configuration).
ConfigurationCall DriverConfiguration();

enum class ComPanelGate {
    Available,
    Disabled,          // no camera: nothing to say
    Wow64,             // string 605
    UnsupportedCamera, // string 540
};
// hasCamera false: deviceId and deviceType are not looked at.
ComPanelGate DecideComPanel(bool hasCamera, uint32_t deviceId, uint8_t deviceType, bool wow64);

struct IdleStateView {
    bool mainsEnabled = true, batteryEnabled = true;
    bool mainsTicked = false, batteryTicked = false;
    uint32_t flags = 0; // bit 0 mains, bit 1 battery
};
IdleStateView ReadIdleStateSettings(const ConfigurationCall& call);

constexpr uint32_t idleMainsBit = 0x1, idleBatteryBit = 0x2;
// Sets or clears bit in flags and writes them. On failure the bit goes back to what it was
// (the caller puts the tick back from the returned flags too); returns whether it was written.
bool WriteIdleState(const ConfigurationCall& call, uint32_t& flags, uint32_t bit, bool ticked);

struct ParameterSetView {
    int selected = 0; // 0, 1, 2, or -1 for none
    bool enabled = false;
};
ParameterSetView ReadParameterSetSetting(const ConfigurationCall& call);
// Writes the set; when the driver refuses it, the selection shows what the driver holds.
ParameterSetView WriteParameterSet(const ConfigurationCall& call, int set);

// The last nine keys typed; Matches() when they are the service sequence.
class KeyRing {
public:
    void Add(uint32_t keyCode);
    bool Matches() const;
    void Clear();

private:
    char16_t keys_[9] = {};
    int count_ = 0;
};
// The hidden button is for GigE cameras (device id above 1000) whose type is not -127.
bool HiddenButtonAllowed(bool hasCamera, uint32_t deviceId, uint8_t deviceType);
