#pragma once

// Win32 types and services that the camera manager calls: the registry, the Windows folder and
// file versions, modules and resource strings, the system language and the network adapters.
// Wide text is UTF-16 (WCHAR is char16_t), as on Windows, so that byte sizes given in calls and
// text kept in records mean what they mean there.

#include "platform/win/Win32.h"

#include <cstddef>
#include <cstdint>

typedef char16_t WCHAR;
typedef int32_t BOOL;
typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef int32_t LONG;
typedef uint16_t LANGID;
typedef DWORD REGSAM;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

// Win32 error codes the services return.
constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_FILE_NOT_FOUND = 2;
constexpr LONG ERROR_ACCESS_DENIED = 5;
constexpr LONG ERROR_INVALID_HANDLE = 6;
constexpr LONG ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr LONG ERROR_INVALID_PARAMETER = 87;
constexpr LONG ERROR_BUFFER_OVERFLOW = 111;
constexpr LONG ERROR_MORE_DATA = 234;
constexpr LONG ERROR_NO_MORE_ITEMS = 259;
constexpr LONG ERROR_CANTWRITE = 1013;
