#include "platform/win/FileVersion.h"

#include "platform/win/WideText.h"

#include <cstring>
#include <elf.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace win {

namespace {

constexpr char stampPrefix[] = "ZEKO_FILE_VERSION=";
constexpr char sectionName[] = ".zeko_version";
constexpr DWORD blockMagic = 0x49564B5A; // "ZKVI"
constexpr DWORD fixedSignature = 0xFEEF04BD;

struct VersionBlock {
    DWORD magic;
    VS_FIXEDFILEINFO info;
};

bool readAt(int fd, uint64_t offset, void* data, size_t size, uint64_t fileSize) {
    if (offset > fileSize || size > fileSize - offset)
        return false;
    return ::pread(fd, data, size, off_t(offset)) == ssize_t(size);
}

bool findStampSection(int fd, uint64_t fileSize, std::string& contents) {
    Elf64_Ehdr header;
    if (!readAt(fd, 0, &header, sizeof header, fileSize) ||
        std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64 ||
        header.e_shentsize != sizeof(Elf64_Shdr) || header.e_shnum == 0 ||
        header.e_shstrndx >= header.e_shnum)
        return false;
    std::vector<Elf64_Shdr> sections(header.e_shnum);
    if (!readAt(fd, header.e_shoff, sections.data(), sections.size() * sizeof(Elf64_Shdr), fileSize))
        return false;
    const Elf64_Shdr& names = sections[header.e_shstrndx];
    if (names.sh_size > (1u << 20))
        return false;
    std::string nameTable(names.sh_size, '\0');
    if (!readAt(fd, names.sh_offset, nameTable.data(), nameTable.size(), fileSize))
        return false;
    for (const Elf64_Shdr& section : sections) {
        if (section.sh_name >= nameTable.size() || section.sh_type == SHT_NOBITS)
            continue;
        if (std::strncmp(nameTable.c_str() + section.sh_name, sectionName,
                         nameTable.size() - section.sh_name) != 0)
            continue;
        if (section.sh_size > 4096)
            return false;
        contents.assign(section.sh_size, '\0');
        return readAt(fd, section.sh_offset, contents.data(), contents.size(), fileSize);
    }
    return false;
}

bool fixedInfo(const std::string& path, VS_FIXEDFILEINFO& info) {
    std::string version;
    uint16_t n[4];
    if (!readVersionStamp(path, version) || !parseVersionText(version, n))
        return false;
    info = VS_FIXEDFILEINFO{};
    info.dwSignature = fixedSignature;
    info.dwStrucVersion = 0x00010000;
    info.dwFileVersionMS = info.dwProductVersionMS = DWORD(n[0]) << 16 | n[1];
    info.dwFileVersionLS = info.dwProductVersionLS = DWORD(n[2]) << 16 | n[3];
    return true;
}

} // namespace

bool parseVersionText(const std::string& text, uint16_t numbers[4]) {
    size_t pos = 0;
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            if (pos >= text.size() || text[pos] != '.')
                return false;
            ++pos;
        }
        unsigned value = 0;
        const size_t start = pos;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && pos - start < 6)
            value = value * 10 + unsigned(text[pos++] - '0');
        if (pos == start || value > 65535)
            return false;
        numbers[i] = uint16_t(value);
    }
    return pos == text.size();
}

bool readVersionStamp(const std::string& path, std::string& version) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    std::string contents;
    const bool found =
        ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && findStampSection(fd, uint64_t(st.st_size), contents);
    ::close(fd);
    if (!found)
        return false;
    // The section may hold padding; the stamp is the first NUL-terminated text in it.
    const size_t pos = contents.find(stampPrefix);
    if (pos == std::string::npos)
        return false;
    const size_t start = pos + sizeof stampPrefix - 1;
    const size_t end = contents.find('\0', start);
    if (end == std::string::npos)
        return false;
    version = contents.substr(start, end - start);
    return true;
}

} // namespace win

DWORD GetFileVersionInfoSizeW(const WCHAR* path, DWORD* handle) {
    if (handle)
        *handle = 0;
    VS_FIXEDFILEINFO info;
    return win::fixedInfo(win::toUtf8(win::fromBuffer(path)), info) ? DWORD(sizeof(win::VersionBlock)) : 0;
}

BOOL GetFileVersionInfoW(const WCHAR* path, DWORD, DWORD size, void* data) {
    win::VersionBlock block{};
    if (!data || size < sizeof block || !win::fixedInfo(win::toUtf8(win::fromBuffer(path)), block.info))
        return FALSE;
    block.magic = win::blockMagic;
    std::memcpy(data, &block, sizeof block);
    return TRUE;
}

BOOL VerQueryValueW(const void* block, const WCHAR* subBlock, void** buffer, UINT* length) {
    if (!block || !buffer || !length || win::fromBuffer(subBlock) != u"\\")
        return FALSE;
    const auto* data = static_cast<const win::VersionBlock*>(block);
    if (data->magic != win::blockMagic)
        return FALSE;
    *buffer = const_cast<VS_FIXEDFILEINFO*>(&data->info);
    *length = sizeof(VS_FIXEDFILEINFO);
    return TRUE;
}
