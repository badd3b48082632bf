#include "platform/win/ResourceStrings.h"

#include <atomic>
#include <cstring>

namespace {

const ResourceString* programTable = nullptr;
size_t programCount = 0;
std::atomic<HINSTANCE> resourceHandle{nullptr};

// A limit that no real table reaches; a larger count marks a damaged library.
constexpr size_t maxStrings = 100000;

const char16_t* find(const ResourceString* table, size_t count, UINT id) {
    for (size_t i = 0; i < count; ++i)
        if (table[i].id == id && table[i].text)
            return table[i].text;
    return nullptr;
}

} // namespace

namespace win {

const ResourceString* moduleStrings(HINSTANCE module, size_t* count) {
    *count = 0;
    if (!module) {
        *count = programCount;
        return programTable;
    }
    auto function =
        reinterpret_cast<ResourceStringsFunction>(GetProcAddress(module, ZEKO_RESOURCE_STRINGS_SYMBOL));
    if (!function)
        return nullptr;
    size_t n = 0;
    const ResourceString* table = function(&n);
    if (!table || n > maxStrings)
        return nullptr;
    *count = n;
    return table;
}

} // namespace win

void SetProgramResourceStrings(const ResourceString* table, size_t count) {
    programTable = table;
    programCount = table ? count : 0;
}

HINSTANCE AfxGetResourceHandle() {
    return resourceHandle.load();
}

void AfxSetResourceHandle(HINSTANCE module) {
    resourceHandle.store(module);
}

int LoadStringW(HINSTANCE module, UINT id, WCHAR* buffer, int chars) {
    if (!buffer || chars <= 0)
        return 0;
    buffer[0] = 0;
    size_t count = 0;
    const ResourceString* table = win::moduleStrings(module, &count);
    const char16_t* text = table ? find(table, count, id) : nullptr;
    if (!text)
        return 0;
    size_t n = 0;
    while (text[n] && n + 1 < size_t(chars))
        ++n;
    std::memcpy(buffer, text, n * sizeof(WCHAR));
    buffer[n] = 0;
    return int(n);
}

std::u16string LoadResourceString(UINT id) {
    size_t count = 0;
    if (HINSTANCE module = AfxGetResourceHandle()) {
        const ResourceString* table = win::moduleStrings(module, &count);
        if (const char16_t* text = table ? find(table, count, id) : nullptr)
            return text;
    }
    const char16_t* text = find(programTable, programCount, id);
    return text ? std::u16string(text) : std::u16string();
}
