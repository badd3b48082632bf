#pragma once

// The Windows folder, the program's own file, modules (shared libraries through dlopen) and the
// system language.
//
// The Windows folder is ZEKO_WINDOWS_ROOT, or else the folder "windows" beside the folder of
// the running program (the build lays one out in the build tree: build/windows/system32).

#include "platform/win/WinApi.h"

#include <string>

typedef struct HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;
typedef void (*FARPROC)();

// Length written (without terminator); when the buffer is too small, the size needed with the
// terminator; 0 on failure. Sizes count characters.
UINT GetWindowsDirectoryW(WCHAR* buffer, UINT size);
// The file of the module (null: the running program), truncated to the buffer; its length.
DWORD GetModuleFileNameW(HMODULE module, WCHAR* buffer, DWORD size);

// A name without "/" is looked for in the program's folder first, then as dlopen does.
HMODULE LoadLibraryW(const WCHAR* fileName);
FARPROC GetProcAddress(HMODULE module, const char* name);
BOOL FreeLibrary(HMODULE module);

// The Windows language id of the user's locale: LC_ALL, else LC_MESSAGES, else LANG.
LANGID GetSystemDefaultLangID();

namespace win {

// The Windows language id of a locale name such as "de_AT.UTF-8": language and region give the
// primary and sub-language; a language alone gives its default region; "C", "POSIX" and the
// empty name give English (United States); an unknown language or region gives the neutral
// sub-language of the language, or 0 for an unknown language.
LANGID langIdFromLocaleName(const std::string& locale);
// The folder of the running program, without a trailing "/".
std::string programFolder();
std::string windowsFolder();

} // namespace win
