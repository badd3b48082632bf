#include "pemblon/core/ByteStream.h"

#include <algorithm>
#include <memory>

#include <wx/file.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/log.h>

namespace PBN {

using Strings::ostring;

namespace {

// Constant-initialised, so no stream made during static initialisation can find it unbuilt.
std::mutex g_lock;

using Guard = std::lock_guard<std::mutex>;

} // namespace

std::mutex& ByteStream::lock() {
    return g_lock;
}

ByteStream::ByteStream() : _active(false), _maxSize(0), _totalSize(0), _beginPtr(0), _readPtr(0) {}

ByteStream::ByteStream(const ostring& tmpFilePath, const std::uint32_t& maxSize)
    : _active(true), _maxSize(maxSize), _tmpFilePath(tmpFilePath), _totalSize(0), _beginPtr(0), _readPtr(0) {
    const wxString name = tmpFilePath.wxstr();
    wxLogNull quiet;
    if (!name.empty()) {
        if (!wxFileExists(name)) {
            wxFile created;
            created.Create(name, false);
        }
        wxFileName(name).Touch();
    }
    Guard guard(lock());
    refreshTotalSizeLocked();
}

ByteStream::ByteStream(const ByteStream& other) : _active(false), _maxSize(0), _readPtr(0) {
    Guard guard(lock());
    copyFieldsLocked(other);
}

ByteStream& ByteStream::operator=(const ByteStream& other) {
    if (this != &other) {
        // One lock guards both objects: taking it once is all there is to take.
        Guard guard(lock());
        copyFieldsLocked(other);
    }
    return *this;
}

ByteStream::~ByteStream() {}

void ByteStream::copyFieldsLocked(const ByteStream& other) {
    _active = other._active;
    _maxSize = other._maxSize;
    _tmpFilePath = other._tmpFilePath;
    _totalSize = other._totalSize;
    _beginPtr = other._beginPtr;
    _readPtr = other._readPtr;
    _window = other._window;
}

std::uint32_t ByteStream::getMaxSize() const {
    Guard guard(lock());
    return _maxSize;
}

wxULongLong ByteStream::getTotalSize() const {
    Guard guard(lock());
    return _totalSize;
}

wxULongLong ByteStream::getBeginPtr() const {
    Guard guard(lock());
    return _beginPtr;
}

std::uint32_t ByteStream::getReadPtr() const {
    Guard guard(lock());
    return _readPtr;
}

wxULongLong ByteStream::getPos() const {
    Guard guard(lock());
    return positionLocked();
}

ostring ByteStream::getTmpFilePath() const {
    Guard guard(lock());
    return _tmpFilePath;
}

std::uint64_t ByteStream::positionLocked() const {
    return _beginPtr.GetValue() + _readPtr;
}

void ByteStream::refreshTotalSizeLocked() {
    wxLogNull quiet;
    const wxString name = _tmpFilePath.wxstr();
    const wxULongLong size = name.empty() ? wxInvalidSize : wxFileName::GetSize(name);
    _totalSize = size == wxInvalidSize ? wxULongLong(0) : size;
}

void ByteStream::refillLocked(std::uint64_t position) {
    _window.clear();
    _beginPtr = position;
    _readPtr = 0;
    if (!_maxSize || position >= _totalSize.GetValue())
        return;
    wxLogNull quiet;
    wxFile file;
    if (!file.Open(_tmpFilePath.wxstr(), wxFile::read) ||
        file.Seek(static_cast<wxFileOffset>(position)) == wxInvalidOffset)
        return;
    const std::uint32_t wanted =
        static_cast<std::uint32_t>(std::min<std::uint64_t>(_maxSize, _totalSize.GetValue() - position));
    std::unique_ptr<unsigned char[]> bytes(new unsigned char[wanted]);
    std::uint32_t got = 0;
    while (got < wanted) {
        const ssize_t r = file.Read(bytes.get() + got, wanted - got);
        if (r <= 0)
            break;
        got += static_cast<std::uint32_t>(r);
    }
    _window.append(bytes.get(), got);
}

std::uint32_t ByteStream::extract(ByteArray& out, const std::uint32_t& offset,
                                  const std::int32_t& count) const {
    Guard guard(lock());
    if (!_active)
        return 0;
    if (count < 0)
        _window.extract(0, _window.size(), out);
    else
        _window.extract(offset, static_cast<std::uint32_t>(count), out);
    return out.size();
}

void ByteStream::deleteTmpFile() {
    Guard guard(lock());
    wxLogNull quiet;
    if (!_tmpFilePath.wxstr().empty())
        wxRemoveFile(_tmpFilePath.wxstr());
    _active = false;
}

unsigned int ByteStream::read(ByteArray& out, const unsigned int& count) {
    Guard guard(lock());
    if (!_active)
        return 0;
    refreshTotalSizeLocked();
    out.clear();
    if (!count || positionLocked() >= _totalSize.GetValue())
        return 0;
    const std::uint32_t inWindow = _readPtr < _window.size() ? _window.size() - _readPtr : 0;
    if (inWindow >= count) {
        _window.extract(_readPtr, count, out);
        _readPtr += count;
        return count;
    }
    _window.extract(_readPtr, inWindow, out);
    refillLocked(_beginPtr.GetValue() + std::max(_readPtr, _window.size()));
    const std::uint32_t more = std::min<std::uint32_t>(count - inWindow, _window.size());
    out.append(_window.getBuffer(), more);
    _readPtr = more;
    return out.size();
}

std::uint64_t ByteStream::seekFromBeginLocked(std::uint64_t position) {
    const std::uint64_t target = std::min<std::uint64_t>(position, _totalSize.GetValue());
    const std::uint64_t begin = _beginPtr.GetValue();
    if (target >= begin && target <= begin + _window.size() && _window.size())
        _readPtr = static_cast<std::uint32_t>(target - begin);
    else
        refillLocked(target);
    return target;
}

wxULongLong ByteStream::seekFromBegin(const wxULongLong& position) {
    Guard guard(lock());
    if (!_active)
        return 0;
    refreshTotalSizeLocked();
    return seekFromBeginLocked(position.GetValue());
}

wxULongLong ByteStream::seekFromEnd(const wxLongLong& offset) {
    Guard guard(lock());
    if (!_active)
        return 0;
    refreshTotalSizeLocked();
    if (offset == 0)
        return positionLocked();
    const std::uint64_t total = _totalSize.GetValue();
    const std::int64_t delta = offset.GetValue();
    std::uint64_t target = total;
    if (delta < 0)
        target = std::uint64_t(-(delta + 1)) + 1 >= total ? 0 : total - (std::uint64_t(-(delta + 1)) + 1);
    return seekFromBeginLocked(target);
}

wxULongLong ByteStream::seek(const wxLongLong& offset) {
    Guard guard(lock());
    if (!_active)
        return 0;
    refreshTotalSizeLocked();
    const std::uint64_t current = positionLocked();
    if (offset == 0)
        return current;
    const std::int64_t delta = offset.GetValue();
    std::uint64_t target;
    if (delta < 0) {
        const std::uint64_t back = std::uint64_t(-(delta + 1)) + 1;
        target = back >= current ? 0 : current - back;
    } else {
        const std::uint64_t ahead = std::uint64_t(delta);
        target = ahead > ~current ? ~std::uint64_t(0) : current + ahead;
    }
    return seekFromBeginLocked(target);
}

void ByteStream::write(const ByteArray&) {
    Guard guard(lock());
}

void ByteStream::write(const unsigned char*, const std::uint32_t&) {
    Guard guard(lock());
}

} // namespace PBN
