#include "camera_manager/core/records/CameraEntryLayout.h"

#include <cstring>
#include <type_traits>

// The record's layout is a file format: every field stays where it is.
static_assert(std::is_standard_layout_v<CameraEntry> && std::is_trivially_copyable_v<CameraEntry>);
static_assert(CameraEntryLayout::consistent());

const CameraField* CameraEntryLayout::find(std::u16string_view name) {
    const size_t index = indexOf(name);
    return index < count ? &fields[index] : nullptr;
}

uint32_t CameraEntryLayout::Number(const CameraEntry& entry, const CameraField& field, size_t index) {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(&entry) + field.offset + field.width * index;
    uint32_t value = 0;
    for (size_t i = 0; i < field.width; ++i)
        value |= uint32_t(p[i]) << (8 * i);
    return value;
}

void CameraEntryLayout::SetNumber(CameraEntry& entry, const CameraField& field, uint32_t value,
                                  size_t index) {
    uint8_t* p = reinterpret_cast<uint8_t*>(&entry) + field.offset + field.width * index;
    for (size_t i = 0; i < field.width; ++i)
        p[i] = uint8_t(value >> (8 * i));
}

const char16_t* CameraEntryLayout::Text(const CameraEntry& entry, const CameraField& field) {
    return reinterpret_cast<const char16_t*>(reinterpret_cast<const uint8_t*>(&entry) + field.offset);
}

char16_t* CameraEntryLayout::Text(CameraEntry& entry, const CameraField& field) {
    return reinterpret_cast<char16_t*>(reinterpret_cast<uint8_t*>(&entry) + field.offset);
}
