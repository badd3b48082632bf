#pragma once

#include <cstdint>

#include "pemblon/core/Export.h"
#include "pemblon/strings/ostring.h"

namespace PBN {

// An owned block of bytes of exactly the size it holds (no spare capacity). Nothing here throws
// except allocation failures (std::bad_alloc, also for growing past 4 GiB - 1): reads out of
// range give 0, writes out of range are ignored, and file operations report failure as false or
// as an empty array.
//
// Typed reads with littleEndian false swap the bytes of every 16-bit pair and keep the pairs in
// order: 16-bit values are big-endian, 32-bit values come as b1 b0 b3 b2. This matches the layout
// that Files::Buffer stores, which is what such data was written with.
class PBN_API ByteArray {
public:
    enum OutputType : std::uint32_t { Binary = 0, Octal = 1, Hexadecimal = 2, Decimal = 3 };

    ByteArray();
    // A null pointer gives an empty array whatever the count.
    ByteArray(const unsigned char* bytes, const std::uint32_t& count);
    // wide false: the low byte of each character; wide true: UTF-16LE code units, no BOM.
    ByteArray(const Strings::ostring& text, const bool& wide);
    ByteArray(const ByteArray& other);
    ByteArray& operator=(const ByteArray& other);
    virtual ~ByteArray();

    std::uint32_t size() const { return _size; }
    // The bytes themselves, not a copy; null when empty.
    unsigned char* getBuffer() { return _data; }
    const unsigned char* getBuffer() const { return _data; }

    bool operator==(const ByteArray& other) const;
    bool operator!=(const ByteArray& other) const;
    // 0 when index is not below size().
    unsigned char operator[](const std::uint32_t& index) const;
    // Ignored when index is not below size().
    void setAt(const std::uint32_t& index, const unsigned char& byte);

    void clear();
    // Nothing happens for a null pointer or a count of 0.
    void append(const unsigned char* bytes, const std::uint32_t& count);
    void append(const unsigned char& byte, const std::uint32_t& count);
    void append(const ByteArray& other);
    void append(const Strings::ostring& text, const bool& wide);
    // A negative count cuts the array at offset; otherwise at most size() - offset bytes go.
    void remove(const std::uint32_t& offset, const std::int32_t& count);
    // New bytes are 0.
    void resize(const std::uint32_t& newSize);
    // out receives min(length, size() - offset) bytes from offset (nothing when offset >= size()).
    void extract(const std::uint32_t& offset, const std::uint32_t& length, ByteArray& out) const;

    // Each gives 0 when offset + width exceeds size().
    std::int16_t getShort(const std::uint32_t& offset, const bool& littleEndian) const;
    std::uint16_t getUShort(const std::uint32_t& offset, const bool& littleEndian) const;
    std::int32_t getInt(const std::uint32_t& offset, const bool& littleEndian) const;
    std::uint32_t getUInt(const std::uint32_t& offset, const bool& littleEndian) const;
    float getFloat(const std::uint32_t& offset, const bool& littleEndian) const;
    double getDouble(const std::uint32_t& offset, const bool& littleEndian) const;

    // The bytes as UTF-16LE units (surrogate pairs joined) in a wide text; an odd last byte is
    // ignored.
    Strings::ostring getUnicode() const;
    // All bytes, NULs included, read in `encoding` and converted to the application encoding
    // (an empty name: taken as they are); the result is narrow.
    Strings::ostring getString(const Strings::ostring& encoding) const;
    // A dump of at most count bytes from offset (negative: to the end). Every byte is followed by
    // lineSep when it is the perLine-th since the last one (and lineSep is not empty), else by sep.
    Strings::ostring toString(const OutputType& type, const std::uint32_t& offset, const std::int32_t& count,
                              const Strings::ostring& sep, const Strings::ostring& lineSep,
                              const std::uint32_t& perLine) const;

    // A new[] NUL-terminated text the caller delete[]s; null when the array is empty or when the
    // text would not fit in 32-bit sizes. With line breaks a "\n" follows every 76 characters and
    // the text always ends with one.
    char* base64Encode(const bool& lineBreaks) const;
    // Replaces the content by the decoding of text; null or length 0 leaves the array empty.
    void base64Decode(const char* text, const std::uint32_t& length);

    // Streaming base64, so that large data can be coded piecewise. state holds the count of
    // carried input bytes (low byte) and those bytes; lineCount counts groups on the current
    // line. length comes back as the count of bytes carried in state. Returns the characters
    // written. out needs room for 4 * (length + 2) / 3 characters plus one "\n" per 19 groups.
    static unsigned int base64EncodeStep(const unsigned char* in, unsigned int& length, char* out,
                                         int* lineCount, int* state, const bool& lineBreaks);
    // Writes the carried bytes with their padding (and the final "\n" with line breaks); resets
    // the state and the line counter. Returns the characters written (at most 5).
    static unsigned int base64EncodeClose(char* out, int* lineCount, int* state, const bool& lineBreaks);
    // Characters outside the alphabet are skipped and "=" counts as a 0 digit; quadCount and bits
    // carry an unfinished quad to the next call. Returns the bytes written (at most 3 per quad).
    static unsigned int base64DecodeStep(const char* text, unsigned int& length, unsigned char* out,
                                         int* quadCount, unsigned int* bits);

    // XOR with a repeating key; *keyPos carries the key position across calls (a position at or
    // past keyLength restarts at 0). Nothing happens for null pointers or zero lengths.
    static void cryptStep(unsigned char* data, const std::uint32_t& length, const unsigned char* key,
                          const std::uint32_t& keyLength, std::uint32_t* keyPos);
    // A new[] copy XORed with key.str() from its first byte; an empty key gives an unchanged copy,
    // an empty array null. The array itself is unchanged.
    unsigned char* crypt(const Strings::ostring& key) const;

    // The whole file; a missing, unreadable, short-read or 4 GiB or larger file gives an empty array.
    static ByteArray readFile(const Strings::ostring& path);
    // Replaces the file's content (created with mode 0666); true when every byte was written.
    bool writeToFile(const Strings::ostring& path) const;
    // Adds the bytes at the end of the file; a missing file is written as by writeToFile.
    bool appendToFile(const Strings::ostring& path) const;

private:
    std::uint64_t readValue(std::uint32_t offset, unsigned width, bool littleEndian) const;
    void replace(unsigned char* data, std::uint32_t size);

    std::uint32_t _size;
    unsigned char* _data;
};

} // namespace PBN
