#pragma once

// Text in fixed buffers. Every routine that writes into a buffer first zero-fills all of it,
// never writes past its byte size, always leaves a terminator inside it, and returns false when
// the text had to be cut or could not be converted.
//
// Multibyte text (serial numbers, model names, the user EEPROM, camera information) is
// Windows-1252 as Windows converts it; the five bytes that code page leaves undefined (0x81,
// 0x8D, 0x8F, 0x90, 0x9D) stand for U+0081, U+008D, U+008F, U+0090 and U+009D, so every byte
// from 1 to 255 converts to a character and back.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

typedef char16_t WCHAR;

// One multibyte character; one wide character (false when it has no multibyte form).
char16_t MultiByteCharToWide(unsigned char byte);
bool WideCharToMultiByte(char16_t c, char& byte);
// The text of at most maxBytes bytes, ending at the first zero byte.
std::u16string MultiByteToWide(const char* text, size_t maxBytes);
// Characters without a multibyte form become '?'; *lossless (when given) says whether none did.
std::string WideToMultiByte(std::u16string_view text, bool* lossless = nullptr);

bool SafeAnsiToWide(WCHAR* dest, size_t destBytes, const char* src);
// As SafeAnsiToWide, reading at most srcBytes bytes of a source that may lack a terminator.
bool SafeAnsiToWideBounded(WCHAR* dest, size_t destBytes, const char* src, size_t srcBytes);
bool SafeWideToAnsi(char* dest, size_t destBytes, const WCHAR* src);
bool SafeCopyWide(WCHAR* dest, size_t destBytes, const WCHAR* src);
// printf-style formatting of a UTF-8 format; the result is stored as UTF-16.
bool SafeFormatWide(WCHAR* dest, size_t destBytes, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
bool SafeFormatAnsi(char* dest, size_t destBytes, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
bool SafeCStringToAnsi(char* dest, size_t destBytes, std::u16string_view src);
bool SafeCStringToWide(WCHAR* dest, size_t destBytes, std::u16string_view src);
void ZeroBuffer(void* buffer, size_t bytes);

// Unit by unit: -1, 0 or 1. Null counts as empty.
int CompareWide(const WCHAR* a, const WCHAR* b);
int CompareAnsi(const char* a, const char* b);
int CompareCStrings(std::u16string_view a, std::u16string_view b);
// ASCII letters compared without case; 0 when equal.
int CompareWideNoCase(const WCHAR* a, const WCHAR* b);
// Units before the first zero, at most maxUnits (a field need not hold a terminator).
size_t WideLength(const WCHAR* text, size_t maxUnits);
size_t AnsiLength(const char* text, size_t maxBytes);

// The text of a fixed wide field, which ends at its first zero or at the field's end.
std::u16string WideField(const WCHAR* field, size_t units);
// UTF-16 and UTF-8 forms of program text (file names, formats).
std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text);
