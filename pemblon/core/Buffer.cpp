#include "pemblon/core/Buffer.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <string>

#include <boost/format.hpp>
#include <wx/file.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/intl.h>
#include <wx/log.h>

#include "pemblon/core/Base64Text.h"
#include "pemblon/core/ByteArray.h"
#include "pemblon/core/Defines.h"
#include "pemblon/core/Exception.h"
#include "platform/common/Utf.h"

namespace PBN {
namespace Files {

using Strings::ostring;

namespace {

constexpr std::uint64_t kMax32 = std::numeric_limits<std::uint32_t>::max();

std::uint32_t checkedSize(unsigned long n) {
    if (std::uint64_t(n) > kMax32)
        throw std::bad_alloc();
    return static_cast<std::uint32_t>(n);
}

// The translated message with the path put in for %1%, thrown as SEVERE.
[[noreturn]] void fail(const char* text, const ostring& path) {
    const wxString translated = wxGetTranslation(wxString(text), Defines::name().wxstr());
    boost::wformat format(translated.ToStdWstring());
    format.exceptions(boost::io::no_error_bits);
    throw Exception(ostring((format % path.wstr()).str()), Exception::SEVERE);
}

} // namespace

Buffer::Buffer(const unsigned long& size)
    : _littleEndian(std::endian::native == std::endian::little), _data(nullptr), _size(0), _bytesCount(0),
      _pos(0) {
    this->size(size);
}

Buffer::~Buffer() {
    size(0);
}

int Buffer::size(const unsigned long& n) {
    const std::uint32_t newSize = checkedSize(n);
    const int delta = static_cast<int>(static_cast<std::int64_t>(newSize) - static_cast<std::int64_t>(_size));
    if (newSize == _size)
        return 0;
    if (newSize == 0) {
        delete[] _data;
        _data = nullptr;
        _size = _bytesCount = _pos = 0;
        return delta;
    }
    unsigned char* block = new unsigned char[newSize];
    if (_size)
        std::memcpy(block, _data, std::min(_size, newSize));
    delete[] _data;
    _data = block;
    _size = newSize;
    _bytesCount = std::min(_bytesCount, newSize);
    _pos = std::min(_pos, newSize);
    return delta;
}

bool Buffer::full(const unsigned long& n) const {
    return std::uint64_t(_bytesCount) + n >= _size;
}

bool Buffer::end(const unsigned long& n) const {
    return std::uint64_t(_pos) + n >= _size;
}

const unsigned char* Buffer::peek(unsigned long* count) {
    if (count)
        *count = _bytesCount > _pos ? _bytesCount - _pos : 0;
    return _data ? _data + _pos : nullptr;
}

unsigned long Buffer::seek(const unsigned long& offset, const bool& fromBegin) {
    if (fromBegin)
        _pos = static_cast<std::uint32_t>(std::min<std::uint64_t>(offset, _bytesCount));
    else
        _pos = std::min<std::uint32_t>(_pos + static_cast<std::uint32_t>(offset), _bytesCount);
    return _pos;
}

void Buffer::flush() {
    _bytesCount = 0;
}

bool Buffer::readFromFile(wxFile& file) {
    if (_bytesCount < _size) {
        wxLogNull quiet;
        const ssize_t got = file.Read(_data + _bytesCount, _size - _bytesCount);
        // wxInvalidOffset (-1) added as it comes would shrink bytesCount by one.
        if (got == wxInvalidOffset)
            return false;
        _bytesCount += static_cast<std::uint32_t>(got);
    }
    return !file.Eof();
}

bool Buffer::append(const unsigned char* bytes, const unsigned long& count) {
    if (std::uint64_t(_bytesCount) + count > _size)
        return false;
    if (count) {
        if (!bytes)
            return false;
        std::memmove(_data + _bytesCount, bytes, count);
        _bytesCount += static_cast<std::uint32_t>(count);
    }
    return true;
}

bool Buffer::put(std::uint64_t value, unsigned width) {
    if (std::uint64_t(_bytesCount) + width > _size)
        return false;
    unsigned char* p = _data + _bytesCount;
    for (unsigned k = 0; k < width; ++k)
        p[_littleEndian || width == 1 ? k : (k ^ 1u)] = static_cast<unsigned char>(value >> (8 * k));
    _bytesCount += width;
    return true;
}

std::uint64_t Buffer::take(unsigned width, bool& ok) {
    ok = std::uint64_t(_pos) + width <= _bytesCount;
    if (!ok)
        return 0;
    const unsigned char* p = _data + _pos;
    std::uint64_t value = 0;
    for (unsigned k = 0; k < width; ++k)
        value |= std::uint64_t(p[_littleEndian || width == 1 ? k : (k ^ 1u)]) << (8 * k);
    _pos += width;
    return value;
}

bool Buffer::append(const char& value) {
    return put(static_cast<unsigned char>(value), 1);
}
bool Buffer::append(const unsigned char& value) {
    return put(value, 1);
}
bool Buffer::append(const short& value) {
    return put(static_cast<std::uint16_t>(value), 2);
}
bool Buffer::append(const unsigned short& value) {
    return put(value, 2);
}
bool Buffer::append(const int& value) {
    return put(static_cast<std::uint32_t>(value), 4);
}
bool Buffer::append(const unsigned int& value) {
    return put(value, 4);
}
bool Buffer::append(const long& value) {
    return put(static_cast<std::uint32_t>(value), 4);
}
bool Buffer::append(const unsigned long& value) {
    return put(static_cast<std::uint32_t>(value), 4);
}

bool Buffer::append(const float& value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return put(bits, 4);
}

bool Buffer::append(const double& value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return put(bits, 8);
}

bool Buffer::append(const ostring& text, const bool& unicode) {
    if (unicode) {
        const std::u16string units = Utf::toUtf16(std::wstring_view(text.wstr()));
        if (std::uint64_t(_bytesCount) + 2 * std::uint64_t(units.size()) > _size)
            return false;
        unsigned char* p = _data + _bytesCount;
        for (const char16_t u : units) {
            *p++ = static_cast<unsigned char>(u & 0xFF);
            *p++ = static_cast<unsigned char>(u >> 8);
        }
        _bytesCount += static_cast<std::uint32_t>(2 * units.size());
        return true;
    }
    const std::string bytes = text.str();
    return append(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

char Buffer::getChar() {
    bool ok;
    return static_cast<char>(take(1, ok));
}

unsigned char Buffer::getUChar() {
    bool ok;
    return static_cast<unsigned char>(take(1, ok));
}

short Buffer::getShort() {
    bool ok;
    return static_cast<short>(take(2, ok));
}

unsigned short Buffer::getUShort() {
    bool ok;
    return static_cast<unsigned short>(take(2, ok));
}

int Buffer::getInt() {
    bool ok;
    return static_cast<int>(static_cast<std::uint32_t>(take(4, ok)));
}

unsigned int Buffer::getUInt() {
    bool ok;
    return static_cast<unsigned int>(take(4, ok));
}

long Buffer::getLong() {
    bool ok;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(take(4, ok)));
}

unsigned long Buffer::getULong() {
    bool ok;
    return static_cast<std::uint32_t>(take(4, ok));
}

float Buffer::getFloat() {
    bool ok;
    const std::uint32_t bits = static_cast<std::uint32_t>(take(4, ok));
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return ok ? value : 0.0f;
}

double Buffer::getDouble() {
    bool ok;
    const std::uint64_t bits = take(8, ok);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return ok ? value : 0.0;
}

ostring Buffer::getString(const long& length, const bool& unicode) {
    const std::uint32_t available = _bytesCount > _pos ? _bytesCount - _pos : 0;
    // Bounded by the stored bytes: an unsigned bytesCount - pos past the write end, or a length
    // beyond it, would otherwise read far outside the block.
    const std::uint32_t n =
        length < 0 ? available : static_cast<std::uint32_t>(std::min<std::uint64_t>(length, available));
    const unsigned char* p = _data ? _data + _pos : nullptr;
    _pos += n;
    if (unicode) {
        std::u16string units((n + 1) / 2, u'\0');
        for (std::uint32_t i = 0; i < units.size(); ++i) {
            const std::uint32_t lo = 2 * i;
            // An odd count leaves a lone last byte; it becomes the low byte of the last unit.
            units[i] = static_cast<char16_t>(p[lo] | (lo + 1 < n ? p[lo + 1] << 8 : 0));
        }
        return ostring(Utf::toWide(units));
    }
    ostring text;
    // Byte by byte: the constructors from bytes stop at the first NUL.
    for (std::uint32_t i = 0; i < n; ++i)
        text += static_cast<char>(p[i]);
    return text;
}

void Buffer::readFile(const ostring& path) {
    const wxString name = path.wxstr();
    wxLogNull quiet;
    if (name.empty() || !wxFileName::FileExists(name))
        fail("The file \"%1%\" was not found.", path);
    const wxULongLong length = wxFileName::GetSize(name);
    if (length == wxInvalidSize || length.GetValue() > kMax32)
        fail("The file \"%1%\" is too big to be read with Buffer::readFile function.", path);
    wxFile file;
    if (!file.Open(name, wxFile::read))
        fail("Impossible to open file \"%1%\".", path);
    size(static_cast<unsigned long>(length.GetValue()));
    _bytesCount = 0;
    while (_bytesCount < _size) {
        const ssize_t got = file.Read(_data + _bytesCount, _size - _bytesCount);
        if (got == wxInvalidOffset)
            fail("Impossible to open file \"%1%\".", path);
        if (got == 0)
            break;
        _bytesCount += static_cast<std::uint32_t>(got);
    }
}

bool Buffer::writeToFile(const ostring& path, const bool& overwrite) {
    const wxString name = path.wxstr();
    wxLogNull quiet;
    if (!overwrite && wxFileExists(name))
        return false;
    wxFile file;
    if (name.empty() || !file.Open(name, wxFile::write))
        fail("Impossible to open file \"%1%\".", path);
    const bool ok = _bytesCount == 0 || file.Write(_data, _bytesCount) == _bytesCount;
    return file.Close() && ok;
}

void Buffer::appendToFile(const ostring& path) {
    const wxString name = path.wxstr();
    wxLogNull quiet;
    if (!wxFileExists(name)) {
        writeToFile(path, true);
        return;
    }
    wxFile file;
    if (!file.Open(name, wxFile::write_append))
        fail("Impossible to open file \"%1%\".", path);
    if (_bytesCount)
        file.Write(_data, _bytesCount);
}

void Buffer::getFilesStrings(const ostring& path, std::vector<ostring>& lines) {
    Buffer buffer;
    buffer.readFile(path);
    ostring text = buffer.getString(-1, false);
    text.dosToUnix();
    lines = text.tokenize(ostring("\n"), true);
}

char* Buffer::base64Encode(const bool& lines) const {
    return Detail::base64Text(_data, _bytesCount, lines);
}

void Buffer::base64Decode(const char* text, const unsigned int& length) {
    size(0);
    if (!text || !length)
        return;
    const std::uint32_t room = static_cast<std::uint32_t>(std::uint64_t(length) * 3 / 4);
    if (!room)
        return;
    std::unique_ptr<unsigned char[]> bytes(new unsigned char[room]);
    int quadCount = 0;
    unsigned int bits = 0;
    unsigned int len = length;
    const unsigned int n = ByteArray::base64DecodeStep(text, len, bytes.get(), &quadCount, &bits);
    if (!n)
        return;
    _data = bytes.release();
    _size = _bytesCount = n;
    _pos = 0;
}

unsigned int Buffer::base64EncodeStep(const unsigned char* in, unsigned int& length, char* out,
                                      int* lineCount, int* state, const bool& lineBreaks) {
    return ByteArray::base64EncodeStep(in, length, out, lineCount, state, lineBreaks);
}

unsigned int Buffer::base64EncodeClose(char* out, int* lineCount, int* state, const bool& lineBreaks) {
    return ByteArray::base64EncodeClose(out, lineCount, state, lineBreaks);
}

unsigned int Buffer::base64DecodeStep(const char* text, unsigned int& length, unsigned char* out,
                                      int* quadCount, unsigned int* bits) {
    return ByteArray::base64DecodeStep(text, length, out, quadCount, bits);
}

unsigned char* Buffer::crypt(const ostring& key) {
    if (!_bytesCount)
        return nullptr;
    unsigned char* copy = new unsigned char[_bytesCount];
    std::memcpy(copy, _data, _bytesCount);
    const std::string k = key.str();
    std::uint32_t pos = 0;
    ByteArray::cryptStep(copy, _bytesCount, reinterpret_cast<const unsigned char*>(k.data()),
                         static_cast<std::uint32_t>(k.size()), &pos);
    return copy;
}

} // namespace Files
} // namespace PBN
