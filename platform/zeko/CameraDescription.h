// One simulated camera as the description file gives it: identity, sensor, timing, and what a
// real camera keeps in its own memory (the state file may override those values).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zeko::sim {

struct CameraDescription {
    uint32_t deviceId = 1;
    uint32_t cameraId = 1;
    uint32_t sensorId = 0;
    std::string serial;
    std::string model;
    std::string sensorName;
    int width = 1280;
    int height = 1024;
    bool color = true;
    int xStep = 4;
    int yStep = 2;
    int clockMin = 5;
    int clockMax = 40;
    int clockDefault = 30;
    double defaultRate = 15.0;

    // Camera list.
    uint32_t statusFlags = 0;
    int8_t deviceType = 0;
    uint16_t housing = 0;
    bool inUseElsewhere = false;
    bool connected = true;

    // Camera information and revisions.
    std::string manufacturer = "Zeko Imaging";
    std::string version = "V1.00";
    std::string qcDate = "2026-01-15";
    uint8_t infoType = 0;
    uint16_t sensorHardware = 1;
    uint16_t cypress = 2;
    uint32_t blackfin = 0;
    std::array<uint16_t, 11> revisions{};

    // What the camera keeps in its own memory.
    std::string eeprom;
    uint32_t persistentIp = 0; // host order
    uint32_t persistentMask = 0;
    uint32_t starterFirmware = 0x01010025;
    uint32_t runtimeFirmware = 0x03150107;
    int16_t comportOffset = 0;
    std::string serialLine; // the device wired to the camera's serial connector, if any

    // GigE only.
    std::array<uint8_t, 6> mac{};
    uint32_t ip = 0; // host order
    uint32_t mask = 0;
    uint32_t gateway = 0;
    uint32_t adapterId = 1;
    uint32_t adapterIp = 0;
    uint32_t adapterMask = 0;
    std::array<uint8_t, 6> adapterMac{};
    uint32_t driverStarterFirmware = 0x01010025;
    uint32_t deviceStatusFlags = 0x101;
    uint32_t controlStatus = 0x080000A3;
    uint16_t temperature = 0x0230;

    bool gige() const { return deviceId >= 1000; }
    bool operator==(const CameraDescription&) const = default;

    // One colour USB camera and one monochrome GigE camera.
    static std::vector<CameraDescription> defaults();

    // Parses a description file; on failure returns nothing and explains why in error.
    static std::vector<CameraDescription> parse(const std::string& text, std::string& error);

    // True for a sensor name the viewer can use as an XML element name.
    static bool isXmlName(const std::string& name);
};

} // namespace zeko::sim
