#pragma once

// Resource strings: a table of numbered UTF-16 texts. The program registers its own table at
// start; a per-language library (loaded with LoadLibraryW) exports its table through the C
// function named by ZEKO_RESOURCE_STRINGS_SYMBOL. The current resource handle (null: the
// program) says where LoadResourceString looks first.

#include "platform/win/System.h"

#include <string>

struct ResourceString {
    UINT id;
    const char16_t* text;
};

// What a language library exports: its table and the number of entries.
typedef const ResourceString* (*ResourceStringsFunction)(size_t* count);
#define ZEKO_RESOURCE_STRINGS_SYMBOL "ZekoResourceStrings"

void SetProgramResourceStrings(const ResourceString* table, size_t count);
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE module);

// The string of a module (null: the program) copied into the buffer (chars, with terminator);
// its length, 0 when the module has no such string.
int LoadStringW(HINSTANCE module, UINT id, WCHAR* buffer, int chars);

// The string from the current resource handle, or the program's own when that lacks it;
// "" when neither has it.
std::u16string LoadResourceString(UINT id);

namespace win {
// The table of a module, or null when it exports none or an unusable one.
const ResourceString* moduleStrings(HINSTANCE module, size_t* count);
} // namespace win
