#pragma once

#include <cstdint>
#include <vector>

#include "pemblon/core/Export.h"
#include "pemblon/strings/ostring.h"

class wxFile;

namespace PBN {
namespace Files {

// A byte buffer of fixed capacity with a write end (bytesCount) and a read position (tell):
// values are appended at the write end and read back in order.
//
// Multi-byte values follow the byte-order flag: true stores them least significant byte first;
// false swaps each pair of neighbours of that layout (16-bit values big-endian, 32-bit values
// b1 b0 b3 b2). int, long and float all take 4 bytes and double 8, as files written on Windows
// hold them: long and unsigned long keep their low 32 bits.
//
// Reads never go past the stored bytes: a value that does not lie wholly below bytesCount reads
// as 0 and leaves the position alone.
class PBN_API Buffer {
public:
    // Throws std::bad_alloc for a capacity beyond 32 bits.
    Buffer(const unsigned long& size = 0);
    virtual ~Buffer();

    unsigned long size() const { return _size; }
    unsigned long bytesCount() const { return _bytesCount; }
    unsigned long tell() const { return _pos; }
    // Changes the capacity and returns n minus the old one. The first bytes are kept; the write
    // end and the read position are lowered to n. Throws std::bad_alloc beyond 32 bits.
    int size(const unsigned long& n);
    bool full(const unsigned long& n) const;
    bool end(const unsigned long& n) const;
    bool littleEndian() const { return _littleEndian; }
    // Converts nothing already stored.
    void littleEndian(const bool& value) { _littleEndian = value; }

    // The data at the read position; *count (when given) receives the bytes stored from there.
    const unsigned char* peek(unsigned long* count);
    // The new position is clamped to bytesCount; a relative offset wraps in 32 bits, so that
    // (unsigned long)-n moves back n bytes.
    unsigned long seek(const unsigned long& offset, const bool& fromBegin);
    // Forgets the stored bytes; the read position stays.
    void flush();
    // Reads from the file's position into the free room. False at the end of the file, and also
    // after a read error (nothing is added then), so that a read loop stops.
    bool readFromFile(wxFile& file);

    // Each refuses with false, changing nothing, when the value does not fit.
    bool append(const unsigned char* bytes, const unsigned long& count);
    bool append(const char& value);
    bool append(const unsigned char& value);
    bool append(const short& value);
    bool append(const unsigned short& value);
    bool append(const int& value);
    bool append(const unsigned int& value);
    bool append(const long& value);
    bool append(const unsigned long& value);
    bool append(const float& value);
    bool append(const double& value);
    // unicode: UTF-16LE units whatever the byte-order flag; otherwise one byte per character.
    bool append(const Strings::ostring& text, const bool& unicode);

    char getChar();
    unsigned char getUChar();
    short getShort();
    unsigned short getUShort();
    int getInt();
    unsigned int getUInt();
    long getLong(); // sign-extended from 32 bits
    unsigned long getULong();
    float getFloat();
    double getDouble();
    // length bytes from the read position (negative: up to the write end; bounded by it). With
    // unicode, (length + 1) / 2 UTF-16LE units, the last one a lone byte when length is odd; the
    // result is then wide even when empty. The position advances by the bytes taken.
    Strings::ostring getString(const long& length, const bool& unicode);

    // Replaces the content by the file's. Throws Exception (SEVERE) when the file is missing, is
    // 4 GiB or larger, cannot be opened or cannot be read.
    void readFile(const Strings::ostring& path);
    // Writes the stored bytes. False, writing nothing, when the file exists and overwrite is
    // false, and also when the bytes could not all be written. Throws Exception (SEVERE) when the
    // file cannot be opened.
    bool writeToFile(const Strings::ostring& path, const bool& overwrite);
    // Adds the stored bytes at the end of the file (a missing file is created). Throws Exception
    // (SEVERE) when the file cannot be opened.
    void appendToFile(const Strings::ostring& path);
    // The lines of a text file (DOS line ends accepted). Throws as readFile.
    static void getFilesStrings(const Strings::ostring& path, std::vector<Strings::ostring>& lines);

    // A new[] NUL-terminated base64 text of the stored bytes, null when there are none.
    char* base64Encode(const bool& lines) const;
    // Replaces the content by the decoded bytes: capacity and bytesCount are their count.
    void base64Decode(const char* text, const unsigned int& length);
    static unsigned int base64EncodeStep(const unsigned char* in, unsigned int& length, char* out,
                                         int* lineCount, int* state, const bool& lineBreaks);
    static unsigned int base64EncodeClose(char* out, int* lineCount, int* state, const bool& lineBreaks);
    static unsigned int base64DecodeStep(const char* text, unsigned int& length, unsigned char* out,
                                         int* quadCount, unsigned int* bits);

    // A new[] copy of the stored bytes XORed with key.str() (unchanged with an empty key); null
    // when nothing is stored.
    unsigned char* crypt(const Strings::ostring& key);

private:
    Buffer(const Buffer&) = delete;
    Buffer& operator=(const Buffer&) = delete;

    bool put(std::uint64_t value, unsigned width);
    std::uint64_t take(unsigned width, bool& ok);

    bool _littleEndian;
    unsigned char* _data;
    std::uint32_t _size;
    std::uint32_t _bytesCount;
    std::uint32_t _pos;
};

} // namespace Files
} // namespace PBN
