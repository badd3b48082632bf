#include "pemblon/core/ByteArray.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <iomanip>
#include <limits>
#include <memory>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include <wx/file.h>
#include <wx/log.h>

#include "pemblon/core/Base64Text.h"
#include "pemblon/core/Defines.h"
#include "platform/common/Utf.h"

namespace PBN {

using Strings::ostring;

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr unsigned char kSkip = 0xFF;
constexpr unsigned char kPad = 0xFE;

struct DecodeTable {
    unsigned char v[256];
    constexpr DecodeTable() : v() {
        for (int i = 0; i < 256; ++i)
            v[i] = kSkip;
        for (int i = 0; i < 64; ++i)
            v[static_cast<unsigned char>(kAlphabet[i])] = static_cast<unsigned char>(i);
        v[static_cast<unsigned char>('=')] = kPad;
    }
};
constexpr DecodeTable kDecode;

inline void encodeGroup(unsigned b0, unsigned b1, unsigned b2, char* out) {
    out[0] = kAlphabet[b0 >> 2];
    out[1] = kAlphabet[((b0 & 0x03) << 4) | (b1 >> 4)];
    out[2] = kAlphabet[((b1 & 0x0F) << 2) | (b2 >> 6)];
    out[3] = kAlphabet[b2 & 0x3F];
}

constexpr int kGroupsPerLine = 19; // 76 characters

// Bit of *bits that remembers, across calls, that the third character of the quad was "=".
constexpr unsigned int kThirdWasPad = 1u << 31;

} // namespace

ByteArray::ByteArray() : _size(0), _data(nullptr) {}

ByteArray::ByteArray(const unsigned char* bytes, const std::uint32_t& count) : _size(0), _data(nullptr) {
    append(bytes, count);
}

ByteArray::ByteArray(const ostring& text, const bool& wide) : _size(0), _data(nullptr) {
    append(text, wide);
}

ByteArray::ByteArray(const ByteArray& other) : _size(0), _data(nullptr) {
    append(other._data, other._size);
}

ByteArray& ByteArray::operator=(const ByteArray& other) {
    if (this != &other) {
        unsigned char* copy = nullptr;
        if (other._size) {
            copy = new unsigned char[other._size];
            std::memcpy(copy, other._data, other._size);
        }
        replace(copy, other._size);
    }
    return *this;
}

ByteArray::~ByteArray() {
    delete[] _data;
}

void ByteArray::replace(unsigned char* data, std::uint32_t size) {
    delete[] _data;
    _data = size ? data : nullptr;
    _size = size;
    if (!size)
        delete[] data;
}

bool ByteArray::operator==(const ByteArray& other) const {
    return _size == other._size && (_size == 0 || std::memcmp(_data, other._data, _size) == 0);
}

bool ByteArray::operator!=(const ByteArray& other) const {
    return !(*this == other);
}

unsigned char ByteArray::operator[](const std::uint32_t& index) const {
    return index < _size ? _data[index] : 0;
}

void ByteArray::setAt(const std::uint32_t& index, const unsigned char& byte) {
    if (index < _size)
        _data[index] = byte;
}

void ByteArray::clear() {
    replace(nullptr, 0);
}

void ByteArray::append(const unsigned char* bytes, const std::uint32_t& count) {
    if (!bytes || !count)
        return;
    const std::uint64_t total = std::uint64_t(_size) + count;
    if (total > std::numeric_limits<std::uint32_t>::max())
        throw std::bad_alloc();
    unsigned char* grown = new unsigned char[total];
    if (_size)
        std::memcpy(grown, _data, _size);
    // bytes may point into our own block, which stays alive until replace().
    std::memcpy(grown + _size, bytes, count);
    replace(grown, static_cast<std::uint32_t>(total));
}

void ByteArray::append(const unsigned char& byte, const std::uint32_t& count) {
    if (!count)
        return;
    const std::uint32_t old = _size;
    const unsigned char value = byte;
    if (std::uint64_t(old) + count > std::numeric_limits<std::uint32_t>::max())
        throw std::bad_alloc();
    resize(old + count);
    std::memset(_data + old, value, _size - old);
}

void ByteArray::append(const ByteArray& other) {
    if (&other == this) {
        const ByteArray copy(other);
        append(copy._data, copy._size);
    } else {
        append(other._data, other._size);
    }
}

void ByteArray::append(const ostring& text, const bool& wide) {
    if (wide) {
        const std::u16string units = Utf::toUtf16(std::wstring_view(text.wstr()));
        std::vector<unsigned char> bytes(units.size() * 2);
        for (std::size_t i = 0; i < units.size(); ++i) {
            bytes[2 * i] = static_cast<unsigned char>(units[i] & 0xFF);
            bytes[2 * i + 1] = static_cast<unsigned char>(units[i] >> 8);
        }
        append(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    } else if (text.isUnicode()) {
        // The low byte of each character, not the narrowed character: str() would turn every
        // character above 255 into 0.
        const std::wstring chars = text.wstr();
        std::vector<unsigned char> bytes(chars.size());
        for (std::size_t i = 0; i < chars.size(); ++i)
            bytes[i] = static_cast<unsigned char>(static_cast<std::uint32_t>(chars[i]) & 0xFF);
        append(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    } else {
        const std::string bytes = text.str();
        append(reinterpret_cast<const unsigned char*>(bytes.data()),
               static_cast<std::uint32_t>(bytes.size()));
    }
}

void ByteArray::remove(const std::uint32_t& offset, const std::int32_t& count) {
    if (!_size || offset >= _size || count == 0)
        return;
    if (count < 0) {
        resize(offset);
        return;
    }
    const std::uint32_t n = std::min<std::uint32_t>(static_cast<std::uint32_t>(count), _size - offset);
    const std::uint32_t remaining = _size - n;
    unsigned char* kept = remaining ? new unsigned char[remaining] : nullptr;
    if (remaining) {
        std::memcpy(kept, _data, offset);
        std::memcpy(kept + offset, _data + offset + n, _size - offset - n);
    }
    replace(kept, remaining);
}

void ByteArray::resize(const std::uint32_t& newSize) {
    const std::uint32_t n = newSize;
    if (n == _size)
        return;
    if (!n) {
        clear();
        return;
    }
    unsigned char* block = new unsigned char[n];
    const std::uint32_t kept = std::min(n, _size);
    if (kept)
        std::memcpy(block, _data, kept);
    if (n > kept)
        std::memset(block + kept, 0, n - kept);
    replace(block, n);
}

void ByteArray::extract(const std::uint32_t& offset, const std::uint32_t& length, ByteArray& out) const {
    if (&out == this) {
        ByteArray part;
        extract(offset, length, part);
        out = part;
        return;
    }
    out.clear();
    if (offset < _size)
        out.append(_data + offset, std::min(length, _size - offset));
}

std::uint64_t ByteArray::readValue(std::uint32_t offset, unsigned width, bool littleEndian) const {
    // 64-bit sum: offset + width must not wrap past the bound check.
    if (std::uint64_t(offset) + width > _size)
        return 0;
    const unsigned char* p = _data + offset;
    std::uint64_t value = 0;
    if constexpr (std::endian::native == std::endian::little) {
        // Fixed sizes, so that each copy is one load rather than a call.
        if (width == 2) {
            std::uint16_t v;
            std::memcpy(&v, p, 2);
            value = v;
        } else if (width == 4) {
            std::uint32_t v;
            std::memcpy(&v, p, 4);
            value = v;
        } else {
            std::memcpy(&value, p, 8);
        }
        if (!littleEndian) // exchange the two bytes of every 16-bit pair
            value = ((value & 0x00FF00FF00FF00FFull) << 8) | ((value >> 8) & 0x00FF00FF00FF00FFull);
        return value;
    }
    for (unsigned k = 0; k < width; ++k) {
        // Byte k of the value (least significant first) sits at k, or at its pair neighbour.
        const unsigned at = littleEndian ? k : (k ^ 1u);
        value |= std::uint64_t(p[at]) << (8 * k);
    }
    return value;
}

std::int16_t ByteArray::getShort(const std::uint32_t& offset, const bool& littleEndian) const {
    return static_cast<std::int16_t>(readValue(offset, 2, littleEndian));
}

std::uint16_t ByteArray::getUShort(const std::uint32_t& offset, const bool& littleEndian) const {
    return static_cast<std::uint16_t>(readValue(offset, 2, littleEndian));
}

std::int32_t ByteArray::getInt(const std::uint32_t& offset, const bool& littleEndian) const {
    return static_cast<std::int32_t>(readValue(offset, 4, littleEndian));
}

std::uint32_t ByteArray::getUInt(const std::uint32_t& offset, const bool& littleEndian) const {
    return static_cast<std::uint32_t>(readValue(offset, 4, littleEndian));
}

float ByteArray::getFloat(const std::uint32_t& offset, const bool& littleEndian) const {
    const std::uint32_t bits = static_cast<std::uint32_t>(readValue(offset, 4, littleEndian));
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

double ByteArray::getDouble(const std::uint32_t& offset, const bool& littleEndian) const {
    const std::uint64_t bits = readValue(offset, 8, littleEndian);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

ostring ByteArray::getUnicode() const {
    const std::uint32_t count = _size / 2;
    std::u16string units(count, u'\0');
    for (std::uint32_t i = 0; i < count; ++i)
        units[i] = static_cast<char16_t>(_data[2 * i] | (_data[2 * i + 1] << 8));
    return ostring(Utf::toWide(units));
}

ostring ByteArray::getString(const ostring& encoding) const {
    std::string bytes(reinterpret_cast<const char*>(_data), _size);
    if (encoding.size())
        bytes = ostring::convert(bytes, encoding, Defines::appEncoding(), nullptr);
    // Built byte by byte: the constructors from bytes stop at the first NUL.
    ostring text;
    for (char c : bytes)
        text += c;
    return text;
}

ostring ByteArray::toString(const OutputType& type, const std::uint32_t& offset, const std::int32_t& count,
                            const ostring& sep, const ostring& lineSep, const std::uint32_t& perLine) const {
    std::ostringstream out;
    if (offset < _size) {
        std::uint32_t end = _size;
        if (count >= 0)
            end = static_cast<std::uint32_t>(std::min<std::uint64_t>(_size, std::uint64_t(offset) + count));
        const std::string sepText = sep.str();
        const std::string lineText = lineSep.str();
        std::uint32_t onLine = 0;
        for (std::uint32_t i = offset; i < end; ++i) {
            const unsigned value = _data[i];
            switch (type) {
            case Binary:
                for (int bit = 7; bit >= 0; --bit)
                    out << (((value >> bit) & 1) ? '1' : '0');
                out << 'b';
                break;
            case Octal:
                out << std::oct << std::showbase << std::setw(4) << std::setfill('0') << value;
                break;
            case Hexadecimal:
                out << std::hex << std::nouppercase << std::showbase << std::setw(2) << std::setfill('0')
                    << value;
                break;
            case Decimal:
            default:
                out << std::dec << std::noshowbase << std::setw(3) << std::setfill('0') << value;
                break;
            }
            out << std::dec << std::noshowbase;
            ++onLine;
            if (!lineText.empty() && onLine == perLine) {
                out << lineText;
                onLine = 0;
            } else {
                out << sepText;
            }
        }
    }
    return ostring(out.str(), Defines::appEncoding());
}

char* ByteArray::base64Encode(const bool& lineBreaks) const {
    return Detail::base64Text(_data, _size, lineBreaks);
}

void ByteArray::base64Decode(const char* text, const std::uint32_t& length) {
    clear();
    if (!text || !length)
        return;
    // Every three bytes need four counted characters.
    const std::uint32_t room = length / 4 * 3;
    if (!room)
        return;
    std::unique_ptr<unsigned char[]> bytes(new unsigned char[room]);
    int quadCount = 0;
    unsigned int bits = 0;
    unsigned int len = length;
    const unsigned int n = base64DecodeStep(text, len, bytes.get(), &quadCount, &bits);
    append(bytes.get(), n);
}

unsigned int ByteArray::base64EncodeStep(const unsigned char* in, unsigned int& length, char* out,
                                         int* lineCount, int* state, const bool& lineBreaks) {
    if (!in || !out || !lineCount || !state || !length)
        return 0;
    const unsigned int st = static_cast<unsigned int>(*state);
    unsigned carried = st & 0xFF;
    unsigned char held[2] = {static_cast<unsigned char>((st >> 8) & 0xFF),
                             static_cast<unsigned char>((st >> 16) & 0xFF)};
    if (carried > 2)
        carried = 0;
    const unsigned char* p = in;
    const unsigned char* const end = in + length;
    char* o = out;
    int groups = *lineCount;

    auto afterGroup = [&]() {
        if (lineBreaks && ++groups >= kGroupsPerLine) {
            *o++ = '\n';
            groups = 0;
        }
    };

    // Complete the group begun by the previous call.
    if (carried) {
        unsigned char group[3] = {held[0], held[1], 0};
        while (carried < 3 && p < end)
            group[carried++] = *p++;
        if (carried == 3) {
            encodeGroup(group[0], group[1], group[2], o);
            o += 4;
            carried = 0;
            afterGroup();
        } else {
            held[0] = group[0];
            held[1] = group[1];
        }
    }
    if (carried == 0) {
        if (lineBreaks) {
            while (end - p >= 3) {
                const std::size_t fit = std::min<std::size_t>((end - p) / 3, kGroupsPerLine - groups);
                for (std::size_t g = 0; g < fit; ++g, p += 3, o += 4)
                    encodeGroup(p[0], p[1], p[2], o);
                groups += static_cast<int>(fit);
                if (groups >= kGroupsPerLine) {
                    *o++ = '\n';
                    groups = 0;
                }
            }
        } else {
            for (; end - p >= 3; p += 3, o += 4)
                encodeGroup(p[0], p[1], p[2], o);
        }
        while (p < end)
            held[carried++] = *p++;
    }
    *state = static_cast<int>(carried | (unsigned(held[0]) << 8) | (unsigned(held[1]) << 16));
    *lineCount = groups;
    length = carried;
    return static_cast<unsigned int>(o - out);
}

unsigned int ByteArray::base64EncodeClose(char* out, int* lineCount, int* state, const bool& lineBreaks) {
    if (!out || !lineCount || !state)
        return 0;
    const unsigned int st = static_cast<unsigned int>(*state);
    const unsigned carried = st & 0xFF;
    const unsigned b0 = (st >> 8) & 0xFF;
    const unsigned b1 = (st >> 16) & 0xFF;
    char* o = out;
    if (carried == 1) {
        char group[4];
        encodeGroup(b0, 0, 0, group);
        *o++ = group[0];
        *o++ = group[1];
        *o++ = '=';
        *o++ = '=';
    } else if (carried == 2) {
        char group[4];
        encodeGroup(b0, b1, 0, group);
        *o++ = group[0];
        *o++ = group[1];
        *o++ = group[2];
        *o++ = '=';
    }
    if (lineBreaks)
        *o++ = '\n';
    *state = 0;
    *lineCount = 0;
    return static_cast<unsigned int>(o - out);
}

unsigned int ByteArray::base64DecodeStep(const char* text, unsigned int& length, unsigned char* out,
                                         int* quadCount, unsigned int* bits) {
    if (!text || !out || !quadCount || !bits || !length)
        return 0;
    int count = *quadCount & 3;
    bool thirdPad = (*bits & kThirdWasPad) != 0;
    std::uint32_t acc = *bits & 0xFFFFFF;
    unsigned char* o = out;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    const unsigned char* const end = p + length;
    while (p < end) {
        // Whole quads of plain alphabet characters take the short way.
        if (count == 0) {
            while (end - p >= 4) {
                const unsigned a = kDecode.v[p[0]], b = kDecode.v[p[1]], c = kDecode.v[p[2]],
                               d = kDecode.v[p[3]];
                if ((a | b | c | d) & 0xC0)
                    break;
                const std::uint32_t v = (a << 18) | (b << 12) | (c << 6) | d;
                o[0] = static_cast<unsigned char>(v >> 16);
                o[1] = static_cast<unsigned char>(v >> 8);
                o[2] = static_cast<unsigned char>(v);
                o += 3;
                p += 4;
            }
            if (p == end)
                break;
        }
        unsigned v = kDecode.v[*p++];
        if (v == kSkip)
            continue;
        const bool pad = v == kPad;
        if (pad)
            v = 0;
        acc = ((acc << 6) | v) & 0xFFFFFF;
        ++count;
        if (count == 3) {
            thirdPad = pad;
        } else if (count == 4) {
            *o++ = static_cast<unsigned char>(acc >> 16);
            if (!thirdPad)
                *o++ = static_cast<unsigned char>(acc >> 8);
            if (!pad)
                *o++ = static_cast<unsigned char>(acc);
            count = 0;
            acc = 0;
            thirdPad = false;
        }
    }
    *quadCount = count;
    *bits = acc | (thirdPad ? kThirdWasPad : 0);
    return static_cast<unsigned int>(o - out);
}

void ByteArray::cryptStep(unsigned char* data, const std::uint32_t& length, const unsigned char* key,
                          const std::uint32_t& keyLength, std::uint32_t* keyPos) {
    if (!data || !key || !length || !keyLength)
        return;
    std::uint32_t pos = keyPos ? *keyPos : 0;
    if (pos >= keyLength)
        pos = 0;
    for (std::uint32_t i = 0; i < length; ++i) {
        data[i] ^= key[pos];
        if (++pos == keyLength)
            pos = 0;
    }
    if (keyPos)
        *keyPos = pos;
}

unsigned char* ByteArray::crypt(const ostring& key) const {
    if (!_size)
        return nullptr;
    unsigned char* copy = new unsigned char[_size];
    std::memcpy(copy, _data, _size);
    const std::string k = key.str();
    std::uint32_t pos = 0;
    cryptStep(copy, _size, reinterpret_cast<const unsigned char*>(k.data()),
              static_cast<std::uint32_t>(k.size()), &pos);
    return copy;
}

ByteArray ByteArray::readFile(const ostring& path) {
    ByteArray result;
    const wxString name = path.wxstr();
    wxLogNull quiet; // failures are reported by the empty result, not by wx's log
    if (name.empty() || !wxFile::Exists(name))
        return result;
    wxFile file(name, wxFile::read);
    if (!file.IsOpened())
        return result;
    const wxFileOffset length = file.Length();
    if (length <= 0 || std::uint64_t(length) > std::numeric_limits<std::uint32_t>::max())
        return result;
    const std::uint32_t n = static_cast<std::uint32_t>(length);
    std::unique_ptr<unsigned char[]> bytes(new unsigned char[n]);
    std::uint32_t got = 0;
    while (got < n) {
        const ssize_t r = file.Read(bytes.get() + got, n - got);
        if (r <= 0)
            break;
        got += static_cast<std::uint32_t>(r);
    }
    // A short read would leave bytes of unknown value: better no data than wrong data.
    if (got == n)
        result.replace(bytes.release(), n);
    return result;
}

bool ByteArray::writeToFile(const ostring& path) const {
    wxLogNull quiet;
    wxFile file;
    if (!file.Open(path.wxstr(), wxFile::write,
                   wxS_IRUSR | wxS_IWUSR | wxS_IRGRP | wxS_IWGRP | wxS_IROTH | wxS_IWOTH))
        return false;
    const bool ok = _size == 0 || file.Write(_data, _size) == _size;
    return file.Close() && ok;
}

bool ByteArray::appendToFile(const ostring& path) const {
    wxLogNull quiet;
    if (!wxFile::Exists(path.wxstr()))
        return writeToFile(path);
    wxFile file;
    if (!file.Open(path.wxstr(), wxFile::write_append))
        return false;
    const bool ok = _size == 0 || file.Write(_data, _size) == _size;
    return file.Close() && ok;
}

} // namespace PBN
