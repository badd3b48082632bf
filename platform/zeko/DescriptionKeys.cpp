#include "platform/zeko/DescriptionKeys.h"

#include "platform/zeko/DescriptionError.h"

#include "platform/common/Cp1252.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sstream>

namespace zeko::sim {

namespace {

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

using Reader =
    std::function<void(CameraDescription& camera, const std::string& key, const std::string& value)>;

struct Key {
    std::string_view name;
    Reader read;
};

template <class T> Reader integer(T CameraDescription::*field, long long minimum, long long maximum) {
    return [=](CameraDescription& c, const std::string& key, const std::string& value) {
        long long n = 0;
        if (!parseInteger(value, minimum, maximum, n))
            throw DescriptionError("bad value for " + key + " (expected an integer from " +
                                   std::to_string(minimum) + " to " + std::to_string(maximum) + ")");
        c.*field = static_cast<T>(n);
    };
}

// The file is UTF-8; the camera's records hold the suite's narrow text (Windows-1252).
std::string narrowText(const std::string& key, const std::string& value) {
    std::string narrow;
    if (!Cp1252::fromUtf8(value, narrow))
        throw DescriptionError("bad value for " + key +
                               " (UTF-8 text of characters that Windows-1252 holds expected)");
    return narrow;
}

Reader text(std::string CameraDescription::*field) {
    return [=](CameraDescription& c, const std::string& key, const std::string& value) {
        c.*field = narrowText(key, value);
    };
}

// A file name, kept as the UTF-8 bytes Linux names files with.
Reader path(std::string CameraDescription::*field) {
    return [=](CameraDescription& c, const std::string&, const std::string& value) { c.*field = value; };
}

// Longer texts are cut to what the camera's record holds.
Reader cutText(std::string CameraDescription::*field, size_t width) {
    return [=](CameraDescription& c, const std::string& key, const std::string& value) {
        c.*field = narrowText(key, value).substr(0, width);
    };
}

Reader yesNo(bool CameraDescription::*field) {
    return [=](CameraDescription& c, const std::string& key, const std::string& value) {
        if (!parseBool(value, c.*field))
            throw DescriptionError("bad value for " + key + " (yes or no)");
    };
}

Reader ip(uint32_t CameraDescription::*field) {
    return [=](CameraDescription& c, const std::string& key, const std::string& value) {
        if (!parseIp(value, c.*field))
            throw DescriptionError("bad IP address for " + key);
    };
}

Reader mac(std::array<uint8_t, 6> CameraDescription::*field) {
    return [=](CameraDescription& c, const std::string& key, const std::string& value) {
        if (!parseMac(value, c.*field))
            throw DescriptionError("bad MAC address for " + key);
    };
}

Reader firmware(uint32_t CameraDescription::*field) {
    return [=](CameraDescription& c, const std::string& key, const std::string& value) {
        if (!parseFirmware(value, c.*field))
            throw DescriptionError("bad firmware version for " + key);
    };
}

void readFrameRate(CameraDescription& c, const std::string&, const std::string& value) {
    if (!parseDouble(value, c.defaultRate) || c.defaultRate <= 0)
        throw DescriptionError("bad value for frame_rate");
}

void readEeprom(CameraDescription& c, const std::string& key, const std::string& value) {
    std::string narrow = narrowText(key, value);
    if (narrow.size() > 64)
        throw DescriptionError("eeprom holds at most 64 bytes");
    c.eeprom = std::move(narrow);
}

void readRevisions(CameraDescription& c, const std::string&, const std::string& value) {
    std::istringstream list(value);
    for (auto& r : c.revisions) {
        long long v;
        std::string item;
        if (!(list >> item) || !parseInteger(item, 0, 0xFFFF, v))
            throw DescriptionError("revisions needs eleven numbers");
        r = static_cast<uint16_t>(v);
    }
}

using D = CameraDescription;

const std::vector<Key>& table() {
    static const std::vector<Key> keys = {
        // Identity.
        {"device_id", integer(&D::deviceId, 1, 0x7FFF)},
        {"camera_id", integer(&D::cameraId, 1, 254)},
        {"sensor_id", integer(&D::sensorId, 0, 0xFFFFFFFFLL)},
        {"serial", text(&D::serial)},
        {"model", text(&D::model)},
        // Sensor.
        {"sensor", text(&D::sensorName)},
        {"width", integer(&D::width, 1, 16384)},
        {"height", integer(&D::height, 1, 16384)},
        {"color", yesNo(&D::color)},
        {"x_step", integer(&D::xStep, 1, 256)},
        {"y_step", integer(&D::yStep, 1, 256)},
        {"clock_min", integer(&D::clockMin, 1, 1000)},
        {"clock_max", integer(&D::clockMax, 1, 1000)},
        {"clock", integer(&D::clockDefault, 1, 1000)},
        {"frame_rate", readFrameRate},
        // Camera list.
        {"status_flags", integer(&D::statusFlags, 0, 0xFFFFFFFFLL)},
        {"device_type", integer(&D::deviceType, -128, 127)},
        {"housing", integer(&D::housing, 0, 0xFFFF)},
        {"in_use", yesNo(&D::inUseElsewhere)},
        {"connected", yesNo(&D::connected)},
        // Camera information.
        {"manufacturer", cutText(&D::manufacturer, 19)},
        {"version", cutText(&D::version, 9)},
        {"qc_date", cutText(&D::qcDate, 11)},
        {"info_type", integer(&D::infoType, 0, 255)},
        {"revisions", readRevisions},
        // The camera's own memory.
        {"eeprom", readEeprom},
        {"persistent_ip", ip(&D::persistentIp)},
        {"persistent_mask", ip(&D::persistentMask)},
        {"starter_fw", firmware(&D::starterFirmware)},
        {"runtime_fw", firmware(&D::runtimeFirmware)},
        {"driver_starter_fw", firmware(&D::driverStarterFirmware)},
        {"comport_offset", integer(&D::comportOffset, -99, 156)},
        {"serial_line", path(&D::serialLine)},
        // GigE only.
        {"mac", mac(&D::mac)},
        {"ip", ip(&D::ip)},
        {"mask", ip(&D::mask)},
        {"gateway", ip(&D::gateway)},
        {"adapter_id", integer(&D::adapterId, 0, 0xFFFFFFFFLL)},
        {"adapter_ip", ip(&D::adapterIp)},
        {"adapter_mask", ip(&D::adapterMask)},
        {"adapter_mac", mac(&D::adapterMac)},
        {"device_status_flags", integer(&D::deviceStatusFlags, 0, 0xFFFFFFFFLL)},
        {"control_status", integer(&D::controlStatus, 0, 0xFFFFFFFFLL)},
        {"temperature", integer(&D::temperature, 0, 0xFFFF)},
    };
    return keys;
}

} // namespace

void DescriptionKeys::read(CameraDescription& camera, const std::string& key, const std::string& value) {
    const auto& keys = table();
    const auto it = std::find_if(keys.begin(), keys.end(), [&](const Key& k) { return k.name == key; });
    if (it == keys.end())
        throw DescriptionError("unknown key " + key);
    it->read(camera, key, value);
}

std::vector<std::string_view> DescriptionKeys::names() {
    std::vector<std::string_view> out;
    for (const Key& k : table())
        out.push_back(k.name);
    return out;
}

} // namespace zeko::sim
