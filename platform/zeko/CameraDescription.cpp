#include "platform/zeko/CameraDescription.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>
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

bool parseInteger(const std::string& text, long long minimum, long long maximum, long long& out) {
    if (text.empty())
        return false;
    // Decimal, or hexadecimal after "0x": a leading zero does not make a number octal.
    const size_t digits = (text[0] == '-' || text[0] == '+') ? 1 : 0;
    const bool hex = text.size() > digits + 1 && text[digits] == '0' && (text[digits + 1] | 0x20) == 'x';
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(text.c_str(), &end, hex ? 16 : 10);
    if (errno != 0 || *end != '\0' || v < minimum || v > maximum)
        return false;
    out = v;
    return true;
}

bool parseDouble(const std::string& text, double& out) {
    if (text.empty())
        return false;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (*end != '\0' || !std::isfinite(v))
        return false;
    out = v;
    return true;
}

bool parseBool(const std::string& text, bool& out) {
    std::string t = text;
    for (char& ch : t)
        if (ch >= 'A' && ch <= 'Z')
            ch = static_cast<char>(ch - 'A' + 'a');
    if (t == "1" || t == "yes" || t == "true" || t == "on") {
        out = true;
        return true;
    }
    if (t == "0" || t == "no" || t == "false" || t == "off") {
        out = false;
        return true;
    }
    return false;
}

// Dotted "a.b.c.d" in host order (a in the high byte).
bool parseIp(const std::string& text, uint32_t& out) {
    unsigned a, b, c, d;
    char tail;
    if (std::sscanf(text.c_str(), "%u.%u.%u.%u%c", &a, &b, &c, &d, &tail) != 4 || a > 255 || b > 255 ||
        c > 255 || d > 255)
        return false;
    out = (a << 24) | (b << 16) | (c << 8) | d;
    return true;
}

// "02-5A-4B-00-10-01" or with colons.
bool parseMac(const std::string& text, std::array<uint8_t, 6>& out) {
    unsigned v[6];
    char s[5];
    char tail;
    if (std::sscanf(text.c_str(), "%2x%c%2x%c%2x%c%2x%c%2x%c%2x%c", &v[0], &s[0], &v[1], &s[1], &v[2], &s[2],
                    &v[3], &s[3], &v[4], &s[4], &v[5], &tail) != 11)
        return false;
    for (char sep : s)
        if (sep != '-' && sep != ':')
            return false;
    for (int i = 0; i < 6; ++i)
        out[i] = static_cast<uint8_t>(v[i]);
    return true;
}

// "1.1.37" (major.minor.build) or a plain number.
bool parseFirmware(const std::string& text, uint32_t& out) {
    unsigned major, minor, build;
    char tail;
    if (std::sscanf(text.c_str(), "%u.%u.%u%c", &major, &minor, &build, &tail) == 3) {
        if (major > 255 || minor > 255 || build > 0xFFFF)
            return false;
        out = (major << 24) | (minor << 16) | build;
        return true;
    }
    long long v;
    if (!parseInteger(text, 0, 0xFFFFFFFFLL, v))
        return false;
    out = static_cast<uint32_t>(v);
    return true;
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

        long long n = 0;
        auto integer = [&](long long lo, long long hi) {
            if (!parseInteger(value, lo, hi, n))
                throw std::string("bad value for " + key + " (expected an integer from " +
                                  std::to_string(lo) + " to " + std::to_string(hi) + ")");
            return n;
        };
        auto ipValue = [&](uint32_t& out) {
            if (!parseIp(value, out))
                throw std::string("bad IP address for " + key);
        };
        auto macValue = [&](std::array<uint8_t, 6>& out) {
            if (!parseMac(value, out))
                throw std::string("bad MAC address for " + key);
        };
        auto fwValue = [&](uint32_t& out) {
            if (!parseFirmware(value, out))
                throw std::string("bad firmware version for " + key);
        };
        try {
            if (key == "device_id")
                c.deviceId = static_cast<uint32_t>(integer(1, 0x7FFF));
            else if (key == "camera_id")
                c.cameraId = static_cast<uint32_t>(integer(1, 254));
            else if (key == "sensor_id")
                c.sensorId = static_cast<uint32_t>(integer(0, 0xFFFFFFFFLL));
            else if (key == "serial")
                c.serial = value;
            else if (key == "model")
                c.model = value;
            else if (key == "sensor")
                c.sensorName = value;
            else if (key == "width")
                c.width = static_cast<int>(integer(1, 16384));
            else if (key == "height")
                c.height = static_cast<int>(integer(1, 16384));
            else if (key == "color") {
                if (!parseBool(value, c.color))
                    throw std::string("bad value for color (yes or no)");
            } else if (key == "x_step")
                c.xStep = static_cast<int>(integer(1, 256));
            else if (key == "y_step")
                c.yStep = static_cast<int>(integer(1, 256));
            else if (key == "clock_min")
                c.clockMin = static_cast<int>(integer(1, 1000));
            else if (key == "clock_max")
                c.clockMax = static_cast<int>(integer(1, 1000));
            else if (key == "clock")
                c.clockDefault = static_cast<int>(integer(1, 1000));
            else if (key == "frame_rate") {
                if (!parseDouble(value, c.defaultRate) || c.defaultRate <= 0)
                    throw std::string("bad value for frame_rate");
            } else if (key == "status_flags")
                c.statusFlags = static_cast<uint32_t>(integer(0, 0xFFFFFFFFLL));
            else if (key == "device_type")
                c.deviceType = static_cast<int8_t>(integer(-128, 127));
            else if (key == "housing")
                c.housing = static_cast<uint16_t>(integer(0, 0xFFFF));
            else if (key == "in_use") {
                if (!parseBool(value, c.inUseElsewhere))
                    throw std::string("bad value for in_use (yes or no)");
            } else if (key == "connected") {
                if (!parseBool(value, c.connected))
                    throw std::string("bad value for connected (yes or no)");
            } else if (key == "eeprom") {
                if (value.size() > 64)
                    throw std::string("eeprom holds at most 64 bytes");
                c.eeprom = value;
            } else if (key == "manufacturer")
                c.manufacturer = value.substr(0, 19);
            else if (key == "version")
                c.version = value.substr(0, 9);
            else if (key == "qc_date")
                c.qcDate = value.substr(0, 11);
            else if (key == "info_type")
                c.infoType = static_cast<uint8_t>(integer(0, 255));
            else if (key == "revisions") {
                std::istringstream list(value);
                for (auto& r : c.revisions) {
                    long long v;
                    std::string item;
                    if (!(list >> item) || !parseInteger(item, 0, 0xFFFF, v))
                        throw std::string("revisions needs eleven numbers");
                    r = static_cast<uint16_t>(v);
                }
            } else if (key == "persistent_ip")
                ipValue(c.persistentIp);
            else if (key == "persistent_mask")
                ipValue(c.persistentMask);
            else if (key == "starter_fw")
                fwValue(c.starterFirmware);
            else if (key == "runtime_fw")
                fwValue(c.runtimeFirmware);
            else if (key == "driver_starter_fw")
                fwValue(c.driverStarterFirmware);
            else if (key == "comport_offset")
                c.comportOffset = static_cast<int16_t>(integer(-99, 156));
            else if (key == "serial_line")
                c.serialLine = value;
            else if (key == "mac")
                macValue(c.mac);
            else if (key == "ip")
                ipValue(c.ip);
            else if (key == "mask")
                ipValue(c.mask);
            else if (key == "gateway")
                ipValue(c.gateway);
            else if (key == "adapter_id")
                c.adapterId = static_cast<uint32_t>(integer(0, 0xFFFFFFFFLL));
            else if (key == "adapter_ip")
                ipValue(c.adapterIp);
            else if (key == "adapter_mask")
                ipValue(c.adapterMask);
            else if (key == "adapter_mac")
                macValue(c.adapterMac);
            else if (key == "device_status_flags")
                c.deviceStatusFlags = static_cast<uint32_t>(integer(0, 0xFFFFFFFFLL));
            else if (key == "control_status")
                c.controlStatus = static_cast<uint32_t>(integer(0, 0xFFFFFFFFLL));
            else if (key == "temperature")
                c.temperature = static_cast<uint16_t>(integer(0, 0xFFFF));
            else
                return fail("unknown key " + key);
        } catch (const std::string& why) {
            return fail(why);
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
