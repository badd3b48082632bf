#pragma once

// File versions. A file carries its version as a stamp that our build writes into it: the text
// "ZEKO_FILE_VERSION=" and four dotted numbers, NUL-terminated, in an ELF section named
// ".zeko_version". The version block that GetFileVersionInfoW fills holds the numbers as a
// fixed file version, which VerQueryValueW hands out for the sub-block "\".

#include "platform/win/WinApi.h"

#include <string>

struct VS_FIXEDFILEINFO {
    DWORD dwSignature;
    DWORD dwStrucVersion;
    DWORD dwFileVersionMS;
    DWORD dwFileVersionLS;
    DWORD dwProductVersionMS;
    DWORD dwProductVersionLS;
    DWORD dwFileFlagsMask;
    DWORD dwFileFlags;
    DWORD dwFileOS;
    DWORD dwFileType;
    DWORD dwFileSubtype;
    DWORD dwFileDateMS;
    DWORD dwFileDateLS;
};

// The size of the file's version block; 0 when the file has no stamp or cannot be read.
DWORD GetFileVersionInfoSizeW(const WCHAR* path, DWORD* handle);
BOOL GetFileVersionInfoW(const WCHAR* path, DWORD handle, DWORD size, void* data);
BOOL VerQueryValueW(const void* block, const WCHAR* subBlock, void** buffer, UINT* length);

namespace win {

// The stamp's version text of an ELF file ("3.31.0.0"); false when there is none.
bool readVersionStamp(const std::string& path, std::string& version);
// Four numbers of 0 to 65535 separated by dots, nothing else.
bool parseVersionText(const std::string& text, uint16_t numbers[4]);

} // namespace win
