#include "platform/win/System.h"

#include "platform/win/WideText.h"

#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

namespace win {

namespace {

struct LanguageRegion {
    const char* language;
    uint16_t primary;
    const char* regions; // region codes in sub-language order, starting at 1
};

// Primary language ids with the regions of their sub-languages (1, 2, 3 ...).
constexpr LanguageRegion languages[] = {
    {"ar", 0x01, "SA IQ EG LY DZ MA TN OM YE SY JO LB KW AE BH QA"},
    {"bg", 0x02, "BG"},
    {"ca", 0x03, "ES"},
    {"zh", 0x04, "TW CN HK SG MO"},
    {"cs", 0x05, "CZ"},
    {"da", 0x06, "DK"},
    {"de", 0x07, "DE CH AT LU LI"},
    {"el", 0x08, "GR"},
    {"en", 0x09, "US GB AU CA NZ IE ZA JM 029 BZ TT ZW PH"},
    {"es", 0x0A, "ES MX ES GT CR PA DO VE CO PE AR EC CL UY PY BO SV HN NI PR US"},
    {"fi", 0x0B, "FI"},
    {"fr", 0x0C, "FR BE CA CH LU MC"},
    {"he", 0x0D, "IL"},
    {"hu", 0x0E, "HU"},
    {"is", 0x0F, "IS"},
    {"it", 0x10, "IT CH"},
    {"ja", 0x11, "JP"},
    {"ko", 0x12, "KR"},
    {"nl", 0x13, "NL BE"},
    {"nb", 0x14, "NO"},
    {"pl", 0x15, "PL"},
    {"pt", 0x16, "BR PT"},
    {"ro", 0x18, "RO"},
    {"ru", 0x19, "RU"},
    {"hr", 0x1A, "HR"},
    {"sk", 0x1B, "SK"},
    {"sv", 0x1D, "SE FI"},
    {"tr", 0x1F, "TR"},
    {"uk", 0x22, "UA"},
    {"sl", 0x24, "SI"},
};

std::string lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = char(c + 32);
    return text;
}

} // namespace

LANGID langIdFromLocaleName(const std::string& locale) {
    std::string name = locale.substr(0, locale.find_first_of(".@"));
    if (name.empty() || name == "C" || name == "POSIX")
        return 0x0409;
    const size_t sep = name.find_first_of("_-");
    const std::string language = lower(name.substr(0, sep));
    const std::string region = sep == std::string::npos ? "" : name.substr(sep + 1);
    for (const LanguageRegion& entry : languages) {
        if (language != entry.language)
            continue;
        if (region.empty())
            return LANGID(0x0400 | entry.primary);
        // The first sub-language whose region matches.
        unsigned sub = 1;
        for (const char* p = entry.regions; *p; ++sub) {
            const char* end = std::strchr(p, ' ');
            const size_t len = end ? size_t(end - p) : std::strlen(p);
            if (region.size() == len && std::strncmp(region.c_str(), p, len) == 0)
                return LANGID((sub << 10) | entry.primary);
            p += len;
            while (*p == ' ')
                ++p;
        }
        return entry.primary;
    }
    return 0;
}

std::string programFolder() {
    char path[4096];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return ".";
    std::string file(path, size_t(n));
    const size_t slash = file.rfind('/');
    return slash == std::string::npos || slash == 0 ? std::string("/") : file.substr(0, slash);
}

std::string windowsFolder() {
    if (const char* root = std::getenv("ZEKO_WINDOWS_ROOT"); root && *root) {
        std::string folder = root;
        while (folder.size() > 1 && folder.back() == '/')
            folder.pop_back();
        return folder;
    }
    const std::string program = programFolder();
    const size_t slash = program.rfind('/');
    const std::string parent =
        slash == std::string::npos || slash == 0 ? std::string() : program.substr(0, slash);
    return parent + "/windows";
}

} // namespace win

namespace {

// Copies text into a character buffer as GetWindowsDirectoryW does.
UINT copyOut(const std::u16string& text, WCHAR* buffer, UINT size) {
    if (!buffer || size <= text.size())
        return UINT(text.size() + 1);
    std::memcpy(buffer, text.c_str(), (text.size() + 1) * sizeof(WCHAR));
    return UINT(text.size());
}

} // namespace

UINT GetWindowsDirectoryW(WCHAR* buffer, UINT size) {
    return copyOut(win::fromUtf8(win::windowsFolder()), buffer, size);
}

DWORD GetModuleFileNameW(HMODULE module, WCHAR* buffer, DWORD size) {
    std::string file;
    if (!module) {
        char path[4096];
        const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
        if (n <= 0)
            return 0;
        file.assign(path, size_t(n));
    } else {
        struct link_map* map = nullptr;
        if (::dlinfo(module, RTLD_DI_LINKMAP, &map) != 0 || !map || !map->l_name)
            return 0;
        file = map->l_name;
    }
    if (!buffer || size == 0)
        return 0;
    const std::u16string text = win::fromUtf8(file);
    const size_t n = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(buffer, text.data(), n * sizeof(WCHAR));
    buffer[n] = 0;
    return DWORD(n);
}

HMODULE LoadLibraryW(const WCHAR* fileName) {
    const std::string name = win::toUtf8(win::fromBuffer(fileName));
    if (name.empty())
        return nullptr;
    void* handle = nullptr;
    if (name.find('/') == std::string::npos) {
        const std::string local = win::programFolder() + "/" + name;
        if (::access(local.c_str(), F_OK) == 0)
            handle = ::dlopen(local.c_str(), RTLD_NOW | RTLD_LOCAL);
    }
    if (!handle)
        handle = ::dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    return static_cast<HMODULE>(handle);
}

FARPROC GetProcAddress(HMODULE module, const char* name) {
    if (!module || !name)
        return nullptr;
    return reinterpret_cast<FARPROC>(::dlsym(module, name));
}

BOOL FreeLibrary(HMODULE module) {
    return module && ::dlclose(module) == 0;
}

LANGID GetSystemDefaultLangID() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"})
        if (const char* value = std::getenv(variable); value && *value)
            return win::langIdFromLocaleName(value);
    return 0x0409;
}
