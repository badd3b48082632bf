#include "camera_manager/diagnostics/records/SupportFileOpening.h"

#include "camera_manager/diagnostics/records/SupportFileFormat.h"
#include "camera_manager/res/StringIds.h"
#include "platform/win/ResourceStrings.h"
#include "platform/win/SystemInfo.h"
#include "platform/win/WideText.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <unistd.h>

namespace {

bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// "\d+[.]\d+[.]\d+[.]\d+" anywhere in the text.
bool holdsVersion(const std::u16string& text) {
    for (size_t start = 0; start < text.size(); ++start) {
        size_t i = start;
        int groups = 0;
        while (true) {
            const size_t digits = i;
            while (i < text.size() && isDigit(text[i]))
                ++i;
            if (i == digits)
                break;
            if (++groups == 4)
                return true;
            if (i >= text.size() || text[i] != u'.')
                break;
            ++i;
        }
    }
    return false;
}

void descramble(uint8_t* bytes, size_t n, uint8_t key) {
    for (size_t i = 0; i < n; ++i)
        bytes[i] ^= key;
}

// Reads n bytes at the position when the file holds them all.
bool take(std::string_view bytes, size_t& position, void* out, size_t n) {
    if (bytes.size() < position || bytes.size() - position < n)
        return false;
    std::memcpy(out, bytes.data() + position, n);
    position += n;
    return true;
}

} // namespace

SupportFileForm ClassifySupportFile(std::string_view bytes, std::u16string& header) {
    uint8_t raw[supportHeaderSize] = {};
    std::memcpy(raw, bytes.data(), std::min(bytes.size(), supportHeaderSize));
    descramble(raw, supportHeaderSize, 0x5E);
    header.clear();
    for (size_t i = 0; i < supportHeaderSize / 2; ++i) {
        const char16_t unit = char16_t(raw[2 * i] | raw[2 * i + 1] << 8);
        if (unit == 0)
            break;
        header += unit;
    }
    if (!holdsVersion(header))
        return SupportFileForm::Text;
    return header == u"3.80.0.0" ? SupportFileForm::Binary : SupportFileForm::Foreign;
}

std::u16string ForeignVersionMessage(const std::u16string& header) {
    return LoadResourceString(ids::SupportFileOtherVersion) + u"\n" +
           LoadResourceString(ids::SupportFileUseVersion) + u" " + header + u" " +
           LoadResourceString(ids::SupportFileToOpen);
}

std::u16string DecodeTextSupportFile(std::string_view bytes) {
    std::u16string units = ParseSupportUnits(bytes);
    UnscrambleSupportText(units);
    return units;
}

bool HoldsSupportText(std::string_view bytes) {
    static constexpr std::u16string_view first = u"[Camera Manager]\n";
    // A line holds one unit at least: as many lines as the section has units are enough.
    size_t end = 0;
    for (size_t n = 0; n < first.size() && end < bytes.size(); ++n) {
        const size_t line = bytes.find('\n', end);
        end = line == std::string_view::npos ? bytes.size() : line + 1;
    }
    return DecodeTextSupportFile(bytes.substr(0, end)).compare(0, first.size(), first) == 0;
}

bool WriteTemporaryProfile(const std::u16string& text, std::string& path) {
    std::u16string dos;
    dos.reserve(text.size() + text.size() / 8);
    for (char16_t c : text) {
        if (c == u'\n')
            dos += u'\r';
        dos += c;
    }
    const std::string bytes = win::toUtf8(dos);
    const std::string folder = win::temporaryFolder();
    std::random_device seed;
    std::mt19937_64 random(seed());
    int fd = -1;
    for (int attempt = 0; attempt < 50 && fd < 0; ++attempt) {
        char name[40];
        std::snprintf(name, sizeof name, "/support-%016llx.bin", (unsigned long long)random());
        path = folder + name;
        fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        return false;
    size_t done = 0;
    bool ok = true;
    while (ok && done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        if (ok)
            done += size_t(n);
    }
    ok = close(fd) == 0 && ok;
    if (!ok)
        unlink(path.c_str());
    return ok;
}

std::u16string SupportFileIncompleteMessage(SupportFileCut cut) {
    unsigned section = ids::SupportSectionCamera;
    switch (cut) {
    case SupportFileCut::Drivers:
        section = ids::SupportSectionDrivers;
        break;
    case SupportFileCut::System:
        section = ids::SupportSectionSystem;
        break;
    case SupportFileCut::Adapters:
        section = ids::SupportSectionAdapters;
        break;
    case SupportFileCut::Controllers:
        section = ids::SupportSectionControllers;
        break;
    default:
        break;
    }
    std::u16string text = LoadResourceString(ids::SupportFileIncomplete);
    const size_t at = text.find(u"%s");
    if (at != std::u16string::npos)
        text.replace(at, 2, LoadResourceString(section));
    return text;
}

BinarySupportFile ReadBinarySupportFile(std::string_view bytes) {
    BinarySupportFile file;
    // Every file holds both camera groups, the drivers, the system and the adapter count: one that
    // ends before any of them was cut there.
    auto cutIn = [&](SupportFileCut where) {
        file.incomplete = true;
        file.cut = where;
        return file;
    };
    size_t position = supportHeaderSize;
    for (size_t group = 0; group < 2; ++group) {
        int32_t count = 0;
        if (!take(bytes, position, &count, 4))
            return cutIn(SupportFileCut::Cameras);
        if (count <= 0)
            continue;
        file.groupPresent[group] = true;
        for (int32_t n = 0; n < count; ++n) {
            // Only whole records: a count beyond the file's size ends the group (and the file).
            if (bytes.size() - std::min(bytes.size(), position) <
                supportCameraRecordSize + supportCamInfoRecordSize)
                return cutIn(SupportFileCut::Cameras);
            BinaryCamera camera;
            uint8_t record[supportCameraRecordSize];
            take(bytes, position, record, sizeof record);
            descramble(record, sizeof record, 0x1D);
            std::memcpy(static_cast<void*>(&camera.entry), record, sizeof record);
            take(bytes, position, camera.info.data(), camera.info.size());
            descramble(camera.info.data(), camera.info.size(), 0xC6);
            file.groups[group].push_back(camera);
        }
    }
    file.hasDrivers = take(bytes, position, file.drivers.data(), file.drivers.size());
    if (!file.hasDrivers)
        return cutIn(SupportFileCut::Drivers);
    descramble(file.drivers.data(), file.drivers.size(), 0x48);
    file.hasSystem = take(bytes, position, file.system.data(), file.system.size());
    if (!file.hasSystem)
        return cutIn(SupportFileCut::System);
    descramble(file.system.data(), file.system.size(), 0xE9);
    uint8_t count[4];
    if (!take(bytes, position, count, 4))
        return cutIn(SupportFileCut::Adapters);
    descramble(count, 2, 0x27);
    const int32_t adapters = int32_t(uint32_t(count[0]) | uint32_t(count[1]) << 8 | uint32_t(count[2]) << 16 |
                                     uint32_t(count[3]) << 24);
    for (int32_t n = 0; n < adapters; ++n) {
        std::array<uint8_t, supportAdapterRecordSize> record;
        if (!take(bytes, position, record.data(), record.size())) {
            // A count beyond the records ends at the file's end; part of a record is a cut.
            if (position < bytes.size())
                return cutIn(SupportFileCut::Adapters);
            break;
        }
        descramble(record.data(), record.size(), 0x27);
        file.adapters.push_back(record);
    }
    return file;
}
