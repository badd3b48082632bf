// One film: RIFF AVI with MJPEG frames, an AVI 1.0 index for the first RIFF segment and the
// OpenDML extension (super index, standard indexes, AVIX segments) for films past ~1 GiB.
// Every frame reaches the file (the kernel, not the disk) as it is added, and the counts and
// sizes are patched into the header every few frames, at least every quarter of a second and at
// close, so that a film whose process died reads up to its last moments: until the close writes
// the indexes, the header says the film has none, and readers walk its chunks. A film cut short
// by a full disk keeps, and counts, the frames that reached it whole. Not locked: the caller
// serialises calls on one writer.
#pragma once

#include "platform/zeko/MjpegEncoder.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace zeko::sim {

class AviWriter {
public:
    static constexpr uint64_t kDefaultSegmentLimit = 1ULL << 30;
    static constexpr int kSuperIndexEntries = 256;
    static constexpr uint32_t kPatchEvery = 32; // frames between header patches while recording
    static constexpr std::chrono::milliseconds kPatchInterval{250}; // and the longest time between

    AviWriter() = default;
    ~AviWriter();
    AviWriter(const AviWriter&) = delete;
    AviWriter& operator=(const AviWriter&) = delete;

    // Each returns a zeko_tools result code.
    int setImageSize(int width, int height, int x, int y, int linePadding);
    int setQuality(int quality);
    int open(const std::string& path);
    // Writes into a descriptor the writer then owns (for example an in-memory file).
    int open(int fd);
    int setFrameRate(double rate);
    int start();
    int stop();
    int addFrame(const uint8_t* frame);
    int close();

    // Bytes in the file so far, headers and indexes included.
    uint64_t size() const { return position_; }
    uint32_t frames() const { return totalFrames_; }
    bool isOpen() const { return fd_ >= 0; }
    // RIFF sizes are 32-bit: the limit stays below 2 GiB whatever is asked.
    void setSegmentLimit(uint64_t bytes) {
        segmentLimit_ = bytes ? std::min<uint64_t>(bytes, 0x7FFF0000u) : kDefaultSegmentLimit;
    }

private:
    struct Segment {
        uint64_t riffPos = 0; // the 'RIFF' fourcc
        uint64_t moviPos = 0; // the 'LIST' fourcc of its movi list
        uint32_t frames = 0;
        std::vector<uint32_t> offsets; // chunk header positions relative to moviPos
        std::vector<uint32_t> sizes;   // chunk data sizes
    };
    struct SuperEntry {
        uint64_t offset;
        uint32_t size;
        uint32_t duration;
    };

    std::vector<uint8_t> header() const;
    bool append(const void* data, size_t size);
    bool flush();
    bool patch(uint64_t position, const void* data, size_t size);
    // The first segment is the RIFF the header begins, so opening it writes nothing; a later
    // call does nothing.
    void openFirstSegment();
    bool beginSegment();
    bool finishSegment();
    bool patchSizes();
    uint64_t segmentReserve(const Segment& s) const;
    // End of a segment's last frame chunk (of its movi header when it has none).
    static uint64_t framesEnd(const Segment& s);
    // After a failed write: forgets the frames that did not reach the file whole and cuts the
    // file after the last whole one, so that counts and indexes describe only readable frames.
    void keepWholeFrames();
    // Sets the end of the file, dropping whatever was not yet written.
    void cut(uint64_t end);

    int width_ = 0, height_ = 0, x_ = 0, y_ = 0, padding_ = 0;
    int quality_ = 75;
    double rate_ = 25.0;
    enum class State { Idle, Open, Recording, Stopped, Closed } state_ = State::Idle;
    bool failed_ = false;
    int fd_ = -1;
    uint64_t position_ = 0;         // logical end of the file
    uint64_t flushed_ = 0;          // bytes already handed to the kernel
    std::vector<uint8_t> pending_;  // bytes after flushed_
    std::vector<Segment> segments_; // the last one is open while recording
    bool segmentOpen_ = false;
    bool firstIndexed_ = true; // false when a full disk left no room for the first idx1
    std::chrono::steady_clock::time_point patchedAt_;
    std::vector<SuperEntry> superIndex_;
    uint32_t totalFrames_ = 0;
    uint32_t maxChunk_ = 0;
    uint64_t segmentLimit_ = kDefaultSegmentLimit;
    MjpegEncoder encoder_;
};

} // namespace zeko::sim
