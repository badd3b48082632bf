#include "camera_manager/core/records/ManagerStartup.h"

#include "camera_manager/core/records/BoundedText.h"
#include "camera_manager/res/StringIds.h"
#include "platform/win/FileVersion.h"
#include "platform/win/Registry.h"

#include <cstring>
#include <vector>

const char16_t managerRegistryKey[] = u"Software\\Marvek\\Zeko\\Camera Manager";

namespace {

const char16_t languageKey[] = u"Software\\Marvek\\Zeko\\Camera Manager\\Language";
constexpr size_t languageBytes = 40;

// Windows language ids of the languages, by index.
constexpr LANGID languageIds[ids::LanguageCount] = {1033, 1031, 1034, 1046, 1040, 1036, 1043,
                                                    1045, 1029, 1038, 1028, 1041, 1042};

bool versionOf(const std::u16string& path, WCHAR* buffer, size_t bytes) {
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    if (size == 0)
        return false;
    std::vector<uint8_t> block(size_t(size) * 2);
    if (!GetFileVersionInfoW(path.c_str(), handle, DWORD(block.size()), block.data()))
        return false;
    void* data = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), u"\\", &data, &length) || length < sizeof(VS_FIXEDFILEINFO))
        return false;
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(data);
    SafeFormatWide(buffer, bytes, "%d.%d.%d.%d", int(info->dwFileVersionMS >> 16),
                   int(info->dwFileVersionMS & 0xFFFF), int(info->dwFileVersionLS >> 16),
                   int(info->dwFileVersionLS & 0xFFFF));
    return true;
}

bool lettersOnly(const std::u16string& code) {
    if (code.empty())
        return false;
    for (char16_t c : code)
        if (!((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')))
            return false;
    return true;
}

} // namespace

int LanguageIndexFromLangId(LANGID langId) {
    for (int i = 0; i < ids::LanguageCount; ++i)
        if (languageIds[i] == langId)
            return i;
    return 0;
}

std::u16string LanguageCode(int index) {
    return LoadResourceString(ids::LanguageCode + uint32_t(index));
}

int LanguageIndexFromCode(const std::u16string& code) {
    for (int i = 0; i < ids::LanguageCount; ++i)
        if (LanguageCode(i) == code)
            return i;
    return -1;
}

bool WriteLanguageSetting(const std::u16string& code) {
    WCHAR value[languageBytes / 2];
    SafeCStringToWide(value, sizeof value, code);
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, languageKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    const bool ok = RegSetValueExW(key, u"Language", 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                                   sizeof value) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

bool ReadLanguageSetting(WCHAR* buffer, size_t bytes) {
    HKEY key = nullptr;
    ZeroBuffer(buffer, bytes);
    if (RegOpenKeyExW(HKEY_CURRENT_USER, languageKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        DWORD type = 0;
        DWORD size = DWORD(bytes);
        const LONG result =
            RegQueryValueExW(key, u"Language", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
        RegCloseKey(key);
        // A value that fills the buffer has no room left for its terminator.
        if (bytes >= sizeof(WCHAR))
            buffer[bytes / sizeof(WCHAR) - 1] = 0;
        if (result == ERROR_SUCCESS && type == REG_SZ && buffer[0] != 0)
            return true;
        ZeroBuffer(buffer, bytes);
    }
    const std::u16string code = LanguageCode(LanguageIndexFromLangId(GetSystemDefaultLangID()));
    SafeCStringToWide(buffer, bytes, code);
    return WriteLanguageSetting(code);
}

bool ResourceLibraryPath(const std::u16string& code, std::u16string& path) {
    if (!lettersOnly(code))
        return false;
    WCHAR name[50];
    SafeFormatWide(name, sizeof name, "%s_%s.%s",
                   ToUtf8(LoadResourceString(ids::ResourceLibraryBase)).c_str(), ToUtf8(code).c_str(),
                   ToUtf8(LoadResourceString(ids::ResourceLibraryExtension)).c_str());
    path = FromUtf8(win::programFolder()) + u"/" + name;
    return true;
}

bool GetProgramVersionString(WCHAR* buffer, size_t bytes) {
    // Room for any path: a program installed deeper than 259 characters must still start.
    WCHAR path[4096];
    if (GetModuleFileNameW(nullptr, path, 4096) == 0)
        return false;
    return versionOf(path, buffer, bytes);
}

bool GetFileVersionString(const std::u16string& path, WCHAR* buffer, size_t bytes) {
    return versionOf(path, buffer, bytes);
}

bool GetWindowsFileVersionString(const std::u16string& relativePath, WCHAR* buffer, size_t bytes) {
    WCHAR folder[260];
    const UINT n = GetWindowsDirectoryW(folder, 260);
    if (n == 0 || n >= 260)
        return false;
    return versionOf(std::u16string(folder) + u"/" + relativePath, buffer, bytes);
}

bool GetLibraryVersionString(const std::u16string& fileName, WCHAR* buffer, size_t bytes) {
    return versionOf(fileName, buffer, bytes);
}

bool CheckResourceLibrary(const std::u16string& fileName) {
    // Room for the longest version text, so that two versions never compare equal cut short.
    WCHAR program[24] = {};
    WCHAR library[24] = {};
    GetProgramVersionString(program, sizeof program);
    if (!GetLibraryVersionString(fileName, library, sizeof library))
        return false;
    return CompareWide(program, library) == 0;
}

HINSTANCE LoadResourceLibrary(const std::u16string& code) {
    std::u16string path;
    if (!ResourceLibraryPath(code, path) || !CheckResourceLibrary(path))
        return nullptr;
    HINSTANCE module = LoadLibraryW(path.c_str());
    size_t count = 0;
    // A library without a usable string table is of no use: the program's own strings stay.
    if (module && !win::moduleStrings(module, &count)) {
        FreeLibrary(module);
        module = nullptr;
    }
    return module;
}

int InterfaceVersionVerdict(bool haveLibraryVersion, const std::u16string& libraryVersion,
                            bool haveProgramVersion) {
    if (!haveLibraryVersion)
        return 0;
    if (!haveProgramVersion)
        return 1;
    // The first two numbers; text that is not a number counts as 0.
    int numbers[2] = {0, 0};
    size_t pos = 0;
    for (int i = 0; i < 2 && pos <= libraryVersion.size(); ++i) {
        const size_t dot = libraryVersion.find(u'.', pos);
        const std::u16string token =
            libraryVersion.substr(pos, dot == std::u16string::npos ? dot : dot - pos);
        int value = 0;
        for (char16_t c : token) {
            if (c < u'0' || c > u'9')
                break;
            value = value * 10 + (c - u'0');
            if (value > 1000000)
                break;
        }
        numbers[i] = value;
        if (dot == std::u16string::npos)
            break;
        pos = dot + 1;
    }
    if (numbers[0] != 3)
        return 1;
    if (numbers[1] < 31)
        return 2;
    return numbers[1] == 31 ? 4 : 3;
}

int CheckInterfaceLibraryVersion() {
    WCHAR folder[260] = {};
    std::u16string system;
    const UINT n = GetWindowsDirectoryW(folder, 260);
    if (n == 0 || n >= 260)
        system = u"c:/windows/system32";
    else
        system = std::u16string(folder) + u"/system32";
    const std::u16string path = system + u"/" + LoadResourceString(ids::InterfaceLibraryFile);
    WCHAR library[20] = {};
    WCHAR program[20] = {};
    const bool haveLibrary = GetFileVersionString(path, library, sizeof library);
    const bool haveProgram = haveLibrary && GetProgramVersionString(program, sizeof program);
    return InterfaceVersionVerdict(haveLibrary, library, haveProgram);
}

bool FillLanguageCombo(std::vector<LanguageItem>& items, HINSTANCE current, HINSTANCE* english) {
    items.clear();
    if (english)
        *english = nullptr;
    const HINSTANCE before = AfxGetResourceHandle();
    for (int index = 0; index < ids::LanguageCount; ++index) {
        HINSTANCE module = LoadResourceLibrary(LanguageCode(index));
        if (!module)
            continue;
        WCHAR name[64];
        if (LoadStringW(module, ids::LanguageName + uint32_t(index), name, 64) > 0)
            items.push_back({u"  " + std::u16string(name), index, index});
        FreeLibrary(module);
    }
    if (current) {
        AfxSetResourceHandle(current);
    } else {
        HINSTANCE fallback = LoadResourceLibrary(LanguageCode(0));
        // Without an English library the program's own strings stay in use.
        AfxSetResourceHandle(fallback ? fallback : before);
        if (english)
            *english = fallback;
        else if (fallback)
            AfxSetResourceHandle(before), FreeLibrary(fallback);
        WriteLanguageSetting(LanguageCode(0));
    }
    return !items.empty();
}
