#pragma once

#include <cstdint>
#include <mutex>

#include <wx/longlong.h>

#include "pemblon/core/ByteArray.h"
#include "pemblon/core/Export.h"
#include "pemblon/strings/ostring.h"

namespace PBN {

// A byte stream whose content lives in a temporary file, of which only a window of at most
// maxSize bytes is held in memory; reads and seeks that leave the window refill it from the file.
//
// Content reaches the stream by writing the temporary file directly (write() changes nothing):
// the stream's length follows the file's, taken when the stream is made and again before every
// read and seek.
//
// One library-wide lock serialises every operation of every stream, so a stream may be shared
// between threads.
class PBN_API ByteStream {
public:
    // Creates the file when it is missing and sets its modification time to now.
    ByteStream(const Strings::ostring& tmpFilePath, const std::uint32_t& maxSize);
    ByteStream(const ByteStream& other);
    ByteStream& operator=(const ByteStream& other);
    // Leaves the temporary file in place.
    virtual ~ByteStream();

    std::uint32_t getMaxSize() const;
    wxULongLong getTotalSize() const;
    wxULongLong getBeginPtr() const;
    std::uint32_t getReadPtr() const;
    wxULongLong getPos() const;
    Strings::ostring getTmpFilePath() const;

    // Copies window bytes into out: count of them from offset (bounded by the window's end), or
    // the whole window for a negative count. Returns the bytes copied; 0 once deleted.
    std::uint32_t extract(ByteArray& out, const std::uint32_t& offset, const std::int32_t& count) const;
    // Removes the temporary file; reads and seeks then do nothing and return 0.
    void deleteTmpFile();

    // Replaces out by up to count bytes from the stream position: those left in the window and,
    // when they are not enough, those of one refill. Returns their count (0 at the end).
    virtual unsigned int read(ByteArray& out, const unsigned int& count);

    // Each returns the new position, clamped to the stream's length; 0 once deleted. A position
    // inside the window moves within it; any other refills the window from there. A zero offset
    // given to seekFromEnd or seek moves nothing and returns the current position.
    wxULongLong seekFromBegin(const wxULongLong& position);
    wxULongLong seekFromEnd(const wxLongLong& offset);
    wxULongLong seek(const wxLongLong& offset);

    // The stream is read-only: both change nothing.
    void write(const ByteArray& bytes);
    void write(const unsigned char* bytes, const std::uint32_t& count);

protected:
    // For derived streams: no file, nothing held, inactive until a derived class sets it up.
    ByteStream();

    // The one lock of every stream. The *Locked forms below expect it to be held: a derived
    // operation that needs one of them takes the lock once and calls them.
    static std::mutex& lock();
    void refreshTotalSizeLocked();
    void refillLocked(std::uint64_t position);
    std::uint64_t seekFromBeginLocked(std::uint64_t position);
    std::uint64_t positionLocked() const;

private:
    void copyFieldsLocked(const ByteStream& other);

    bool _active;
    std::uint32_t _maxSize;
    Strings::ostring _tmpFilePath;
    wxULongLong _totalSize;
    wxULongLong _beginPtr;
    std::uint32_t _readPtr;
    ByteArray _window;
};

} // namespace PBN
