#include "camera_manager/diagnostics/records/SupportText.h"

#include <string>

void SupportText::AppendSection(std::u16string_view name) {
    units += u'[';
    units += name;
    units += u"]\n";
}

void SupportText::AppendTextEntry(std::u16string_view key, std::u16string_view value) {
    units += key;
    units += u'=';
    for (char16_t c : value)
        units += (c == u'\r' || c == u'\n') ? u' ' : c;
    units += u'\n';
}

void SupportText::AppendNumberEntry(std::u16string_view key, uint32_t value) {
    units += key;
    units += u'=';
    for (char c : std::to_string(int32_t(value)))
        units += char16_t(c);
    units += u'\n';
}

void SupportText::AppendBlankLine() {
    units += u'\n';
}
