#pragma once

// Start-up of the camera manager: the user-interface language and its per-language resource
// library, file versions, and the check of the camera interface library's version.

#include "platform/win/ResourceStrings.h"

#include <string>
#include <vector>

// The registry key of the camera manager's settings under HKEY_CURRENT_USER.
extern const char16_t managerRegistryKey[];

// Language index 0 to 12 of a Windows language id; any other language gives 0 (English).
int LanguageIndexFromLangId(LANGID langId);
// The language code of an index ("en", "de" ...: string 3000 + index).
std::u16string LanguageCode(int index);
// The index of a language code, or -1.
int LanguageIndexFromCode(const std::u16string& code);

// The stored language code, or the system language's (written back, 40 bytes) when none is
// stored. True with the code in the buffer; false when the default could not be stored.
bool ReadLanguageSetting(WCHAR* buffer, size_t bytes);
// Stores a language code under "Language" (40 bytes written).
bool WriteLanguageSetting(const std::u16string& code);

// The resource library of a language code: "<program folder>/%s_%s.%s" of strings 354, the
// code and 355. False for a code that is not made of letters alone.
bool ResourceLibraryPath(const std::u16string& code, std::u16string& path);
// True when the library has a version and it equals the program's own.
bool CheckResourceLibrary(const std::u16string& fileName);
// Loads the library of a language code when CheckResourceLibrary accepts it; null otherwise.
HINSTANCE LoadResourceLibrary(const std::u16string& code);

// File versions as "%d.%d.%d.%d"; false when the file has no version (the buffer is then left
// as it was).
bool GetProgramVersionString(WCHAR* buffer, size_t bytes);
bool GetFileVersionString(const std::u16string& path, WCHAR* buffer, size_t bytes);
bool GetWindowsFileVersionString(const std::u16string& relativePath, WCHAR* buffer, size_t bytes);
bool GetLibraryVersionString(const std::u16string& fileName, WCHAR* buffer, size_t bytes);

// The interface library's version against the program's needs: 0 no library (or no version),
// 1 wrong major version or no program version, 2 too old, 3 newer and accepted, 4 the version
// the program was made for.
int InterfaceVersionVerdict(bool haveLibraryVersion, const std::u16string& libraryVersion,
                            bool haveProgramVersion);
int CheckInterfaceLibraryVersion();

// One line of the language combo box: "  " and the language's own name; image and data are
// the language index.
struct LanguageItem {
    std::u16string text;
    int image;
    int data;
};
// Lists the languages whose resource library is acceptable. When current is null, the English
// library is loaded, made the resource handle and returned in *english (the caller frees it),
// and "en" is stored as the language; otherwise current stays the resource handle.
bool FillLanguageCombo(std::vector<LanguageItem>& items, HINSTANCE current, HINSTANCE* english);
