#include "platform/zeko/CameraDescription.h"

#include "platform/zeko/DescriptionError.h"
#include "platform/zeko/DescriptionKeys.h"

#include <algorithm>
#include <set>
#include <sstream>

namespace zeko::sim {

namespace {

std::string trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    const auto last = s.find_last_not_of(" \t\r");
    return s.substr(first, last - first + 1);
}

} // namespace

// ASCII only and locale-free: GTK changes the C locale at start-up.
bool CameraDescription::isXmlName(const std::string& name) {
    auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    if (name.empty() || !(letter(name[0]) || name[0] == '_'))
        return false;
    if (name.size() >= 3 && (name[0] | 0x20) == 'x' && (name[1] | 0x20) == 'm' && (name[2] | 0x20) == 'l')
        return false;
    return std::all_of(name.begin(), name.end(), [&](char c) {
        return letter(c) || (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '.';
    });
}

std::vector<CameraDescription> CameraDescription::defaults() {
    CameraDescription usb;
    usb.deviceId = 1;
    usb.cameraId = 1;
    usb.sensorId = 0x71;
    usb.serial = "4102812345";
    usb.model = "ZK1480LE-C";
    usb.sensorName = "ZK1480-C";
    usb.width = 1280;
    usb.height = 1024;
    usb.color = true;
    usb.xStep = 4;
    usb.yStep = 2;
    usb.clockMin = 5;
    usb.clockMax = 40;
    usb.clockDefault = 30;
    usb.defaultRate = 15.0;
    usb.deviceType = 'A';
    usb.housing = 0x0100;
    usb.infoType = 'A';
    usb.revisions = {3, 7, 2, 4, 1, 1, 0, 5, 12, 1, 2};

    CameraDescription eth;
    eth.deviceId = 1001;
    eth.cameraId = 2;
    eth.sensorId = 0x1E;
    eth.serial = "4103900017";
    eth.model = "ZK5240CP-M";
    eth.sensorName = "ZK5240-M";
    eth.width = 752;
    eth.height = 480;
    eth.color = false;
    eth.xStep = 8;
    eth.yStep = 2;
    eth.clockMin = 5;
    eth.clockMax = 40;
    eth.clockDefault = 25;
    eth.defaultRate = 30.0;
    eth.deviceType = 16;
    eth.housing = 0x0200;
    eth.infoType = 16;
    eth.revisions = {4, 9, 3, 5, 2, 2, 0, 6, 14, 2, 3};
    eth.mac = {0x02, 0x5A, 0x4B, 0x00, 0x10, 0x01};
    eth.ip = 0xC0A80A15;   // 192.168.10.21
    eth.mask = 0xFFFFFF00; // 255.255.255.0
    eth.gateway = 0;
    eth.adapterId = 1;
    eth.adapterIp = 0xC0A80A01; // 192.168.10.1
    eth.adapterMask = 0xFFFFFF00;
    eth.adapterMac = {0x02, 0x5A, 0x4B, 0x00, 0x00, 0x01};
    return {usb, eth};
}

std::vector<CameraDescription> CameraDescription::parse(const std::string& text, std::string& error) {
    std::vector<CameraDescription> cameras;
    std::vector<std::set<std::string>> keysSeen;
    std::istringstream in(text);
    std::string line;
    int lineNo = 0;
    auto fail = [&](const std::string& why) {
        error = "line " + std::to_string(lineNo) + ": " + why;
        return std::vector<CameraDescription>{};
    };

    while (std::getline(in, line)) {
        ++lineNo;
        line = trim(line);
        if (line.empty() || line[0] == '#' || line[0] == ';')
            continue;
        if (line == "[camera]") {
            cameras.emplace_back();
            keysSeen.emplace_back();
            continue;
        }
        if (line.front() == '[')
            return fail("unknown section " + line);
        const auto eq = line.find('=');
        if (eq == std::string::npos)
            return fail("expected key = value");
        if (cameras.empty())
            return fail("a key outside a [camera] section");
        const std::string key = trim(line.substr(0, eq));
        const std::string value = trim(line.substr(eq + 1));
        CameraDescription& c = cameras.back();
        keysSeen.back().insert(key);

        try {
            DescriptionKeys::read(c, key, value);
        } catch (const DescriptionError& why) {
            return fail(why.what());
        }
    }

    std::set<uint32_t> deviceIds;
    std::set<std::string> serials;
    std::set<std::array<uint8_t, 6>> macs;
    for (size_t i = 0; i < cameras.size(); ++i) {
        CameraDescription& c = cameras[i];
        const std::string where = "camera " + std::to_string(i + 1) + ": ";
        auto bad = [&](const std::string& why) {
            error = where + why;
            return std::vector<CameraDescription>{};
        };
        const bool nameSaysMono = c.sensorName.size() >= 2 && c.sensorName.ends_with("-M");
        if (!keysSeen[i].count("color"))
            c.color = !nameSaysMono;
        if (!keysSeen[i].count("sensor") || !isXmlName(c.sensorName) || c.sensorName.size() > 31)
            return bad("sensor must be a valid XML element name of at most 31 characters");
        if (c.color == nameSaysMono)
            return bad("a monochrome sensor name ends in \"-M\" and a colour one does not");
        if (c.serial.empty() || c.serial.size() > 15 || !serials.insert(c.serial).second)
            return bad("serial must be unique, 1 to 15 characters");
        if (c.serial.find_first_of(" \t[]=/") != std::string::npos)
            return bad("serial must not contain blanks, brackets, '=' or '/'");
        if (c.model.size() > 15)
            return bad("model holds at most 15 characters");
        if (!deviceIds.insert(c.deviceId).second)
            return bad("device_id " + std::to_string(c.deviceId) + " is used twice");
        if (c.width % c.xStep != 0 || c.height % c.yStep != 0)
            return bad("width and height must be multiples of x_step and y_step");
        if (!(c.clockMin <= c.clockDefault && c.clockDefault <= c.clockMax))
            return bad("clock_min <= clock <= clock_max is required");
        // A zero MAC is what a caller sends when it could not read the camera's: it names no camera.
        const bool noMac = std::all_of(c.mac.begin(), c.mac.end(), [](uint8_t b) { return b == 0; });
        if (c.gige() && (noMac || !macs.insert(c.mac).second))
            return bad("a GigE camera needs a MAC address of its own");
    }
    error.clear();
    return cameras;
}

} // namespace zeko::sim
