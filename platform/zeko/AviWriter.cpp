#include "platform/zeko/AviWriter.h"

#include "platform/zeko/zeko_tools.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <numeric>
#include <unistd.h>

namespace zeko::sim {

namespace {

constexpr size_t kFlushAt = 8u << 20;
constexpr uint32_t kFlagHasIndex = 0x10;
constexpr uint32_t kFlagIsInterleaved = 0x100;
constexpr uint32_t kIndexKeyFrame = 0x10;
constexpr int kMaxSide = 16384;

// Little-endian record builder.
class Bytes {
public:
    explicit Bytes(std::vector<uint8_t>& out) : out_(out) {}
    void fourcc(const char* f) {
        for (int i = 0; i < 4; ++i)
            out_.push_back(static_cast<uint8_t>(f[i]));
    }
    void u8(uint8_t v) { out_.push_back(v); }
    void u16(uint16_t v) {
        u8(static_cast<uint8_t>(v));
        u8(static_cast<uint8_t>(v >> 8));
    }
    void u32(uint32_t v) {
        u16(static_cast<uint16_t>(v));
        u16(static_cast<uint16_t>(v >> 16));
    }
    void u64(uint64_t v) {
        u32(static_cast<uint32_t>(v));
        u32(static_cast<uint32_t>(v >> 32));
    }
    void zeros(size_t n) { out_.insert(out_.end(), n, 0); }

private:
    std::vector<uint8_t>& out_;
};

uint32_t le32(uint32_t v) {
    uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                    static_cast<uint8_t>(v >> 24)};
    uint32_t out;
    std::memcpy(&out, b, 4);
    return out;
}

// Sizes of the fixed header: everything before the first frame.
constexpr uint32_t kIndxData = 24 + 16 * AviWriter::kSuperIndexEntries;
constexpr uint32_t kStrlList = 12 + (8 + 56) + (8 + 40) + (8 + kIndxData);
constexpr uint32_t kOdmlList = 12 + 8 + 248;
constexpr uint32_t kHdrlList = 12 + (8 + 56) + kStrlList + kOdmlList;
constexpr uint64_t kFirstMovi = 12 + kHdrlList;
constexpr uint64_t kHeaderSize = kFirstMovi + 12;

} // namespace

AviWriter::~AviWriter() {
    if (fd_ >= 0)
        close();
}

int AviWriter::setImageSize(int width, int height, int x, int y, int linePadding) {
    if (state_ == State::Closed || totalFrames_ > 0 || state_ == State::Recording)
        return ZKAVI_WRONG_STATE;
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide || x < 0 || y < 0 ||
        linePadding < 0 || x > kMaxSide || y > kMaxSide || linePadding > kMaxSide)
        return ZKAVI_INVALID_PARAMETER;
    // A frame row is width + linePadding pixels: the area must lie inside it.
    if (x > linePadding)
        return ZKAVI_INVALID_PARAMETER;
    width_ = width;
    height_ = height;
    x_ = x;
    y_ = y;
    padding_ = linePadding;
    return ZKAVI_SUCCESS;
}

int AviWriter::setQuality(int quality) {
    if (quality < 1 || quality > 100)
        return ZKAVI_INVALID_PARAMETER;
    quality_ = quality;
    return ZKAVI_SUCCESS;
}

int AviWriter::setFrameRate(double rate) {
    if (state_ == State::Closed)
        return ZKAVI_WRONG_STATE;
    if (!std::isfinite(rate) || rate < 0.001 || rate > 10000.0)
        return ZKAVI_INVALID_PARAMETER;
    rate_ = rate;
    return ZKAVI_SUCCESS;
}

int AviWriter::open(const std::string& path) {
    if (state_ != State::Idle)
        return ZKAVI_WRONG_STATE;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return ZKAVI_FILE_ERROR;
    return open(fd);
}

int AviWriter::open(int fd) {
    if (state_ != State::Idle)
        return ZKAVI_WRONG_STATE;
    if (fd < 0)
        return ZKAVI_FILE_ERROR;
    fd_ = fd;
    const std::vector<uint8_t> h = header();
    if (!append(h.data(), h.size()) || !flush()) {
        ::close(fd_);
        fd_ = -1;
        return ZKAVI_FILE_ERROR;
    }
    state_ = State::Open;
    return ZKAVI_SUCCESS;
}

int AviWriter::start() {
    if (state_ != State::Open && state_ != State::Stopped)
        return ZKAVI_WRONG_STATE;
    if (width_ == 0)
        return ZKAVI_INVALID_PARAMETER;
    openFirstSegment();
    state_ = State::Recording;
    return patchSizes() ? ZKAVI_SUCCESS : ZKAVI_FILE_ERROR;
}

int AviWriter::stop() {
    if (state_ != State::Recording)
        return ZKAVI_WRONG_STATE;
    state_ = State::Stopped;
    return patchSizes() ? ZKAVI_SUCCESS : ZKAVI_FILE_ERROR;
}

uint64_t AviWriter::segmentReserve(const Segment& s) const {
    const uint64_t n = s.frames + 1;
    const uint64_t idx1 = (&s == &segments_.front()) ? 8 + 16 * n : 0;
    return idx1 + 8 + 24 + 8 * n;
}

int AviWriter::addFrame(const uint8_t* frame) {
    if (state_ != State::Recording)
        return ZKAVI_WRONG_STATE;
    if (!frame)
        return ZKAVI_INVALID_PARAMETER;
    if (failed_)
        return ZKAVI_FILE_ERROR;
    // Rows of width + padding pixels; the area starts at column x of row y.
    const size_t stride = static_cast<size_t>(width_ + padding_) * 3;
    const uint8_t* first = frame + static_cast<size_t>(y_) * stride + static_cast<size_t>(x_) * 3;
    if (!encoder_.encode(first, stride, width_, height_, quality_))
        return ZKAVI_COMPRESSION_ERROR;
    const size_t length = encoder_.size();
    const uint64_t chunk = 8 + length + (length & 1);
    if (chunk > 0x7FFFFFFFu)
        return ZKAVI_COMPRESSION_ERROR;

    if (segments_.back().frames > 0 &&
        position_ - segments_.back().riffPos + chunk + segmentReserve(segments_.back()) > segmentLimit_) {
        // The super index has room for a fixed number of segments; past that the film is full.
        if (segments_.size() >= static_cast<size_t>(kSuperIndexEntries))
            return ZKAVI_FILE_ERROR;
        if (!finishSegment() || !beginSegment()) {
            failed_ = true;
            return ZKAVI_FILE_ERROR;
        }
    }
    Segment& s = segments_.back();
    const uint64_t offset = position_ - s.moviPos;
    std::vector<uint8_t> head;
    Bytes b(head);
    b.fourcc("00dc");
    b.u32(static_cast<uint32_t>(length));
    static const uint8_t zero = 0;
    if (!append(head.data(), head.size()) || !append(encoder_.data(), length) ||
        ((length & 1) && !append(&zero, 1))) {
        failed_ = true;
        keepWholeFrames();
        return ZKAVI_FILE_ERROR;
    }
    s.offsets.push_back(static_cast<uint32_t>(offset));
    s.sizes.push_back(static_cast<uint32_t>(length));
    ++s.frames;
    ++totalFrames_;
    maxChunk_ = std::max<uint32_t>(maxChunk_, static_cast<uint32_t>(length));
    const bool patchDue =
        totalFrames_ % kPatchEvery == 0 || std::chrono::steady_clock::now() - patchedAt_ >= kPatchInterval;
    if (!(patchDue ? patchSizes() : flush())) {
        failed_ = true;
        keepWholeFrames();
        return ZKAVI_FILE_ERROR;
    }
    return ZKAVI_SUCCESS;
}

uint64_t AviWriter::framesEnd(const Segment& s) {
    if (s.frames == 0)
        return s.moviPos + 12;
    return s.moviPos + s.offsets.back() + 8 + s.sizes.back() + (s.sizes.back() & 1);
}

void AviWriter::keepWholeFrames() {
    // Only the open segment can hold frames that never reached the file: a finished one was
    // flushed before the next began.
    if (!segmentOpen_ || segments_.empty())
        return;
    Segment& s = segments_.back();
    while (s.frames > 0 && framesEnd(s) > flushed_) {
        s.offsets.pop_back();
        s.sizes.pop_back();
        --s.frames;
        --totalFrames_;
    }
    uint64_t end = framesEnd(s);
    if (s.frames == 0 && segments_.size() > 1) {
        // A segment begun but left without a whole frame is dropped with its own header.
        end = s.riffPos;
        segments_.pop_back();
        segmentOpen_ = false;
    }
    cut(end);
}

void AviWriter::cut(uint64_t end) {
    pending_.clear();
    // Returns the space of a chunk written in part, which the indexes written at close need.
    if (end < flushed_ && ::ftruncate(fd_, static_cast<off_t>(end)) != 0)
        return;
    flushed_ = position_ = end;
}

void AviWriter::openFirstSegment() {
    if (!segments_.empty())
        return;
    Segment first;
    first.riffPos = 0;
    first.moviPos = kFirstMovi;
    segments_.push_back(first);
    segmentOpen_ = true;
}

bool AviWriter::beginSegment() {
    Segment s;
    s.riffPos = position_;
    std::vector<uint8_t> head;
    Bytes b(head);
    b.fourcc("RIFF");
    b.u32(4 + 12);
    b.fourcc("AVIX");
    s.moviPos = position_ + 12;
    b.fourcc("LIST");
    b.u32(4);
    b.fourcc("movi");
    segments_.push_back(std::move(s));
    segmentOpen_ = true;
    return append(head.data(), head.size());
}

bool AviWriter::finishSegment() {
    Segment& s = segments_.back();
    const bool first = segments_.size() == 1;
    std::vector<uint8_t> out;
    Bytes b(out);
    if (s.frames > 0) {
        const uint64_t ixPos = position_;
        b.fourcc("ix00");
        b.u32(24 + 8 * s.frames);
        b.u16(2); // longs per entry
        b.u8(0);  // sub type
        b.u8(1);  // index of chunks
        b.u32(s.frames);
        b.fourcc("00dc");
        b.u64(s.moviPos);
        b.u32(0);
        for (uint32_t i = 0; i < s.frames; ++i) {
            b.u32(s.offsets[i] + 8); // to the data, from the base
            b.u32(s.sizes[i]);       // bit 31 clear: key frame
        }
        superIndex_.push_back(SuperEntry{ixPos, static_cast<uint32_t>(out.size()), s.frames});
    }
    const uint64_t dataEnd = position_;
    const uint64_t moviEnd = position_ + out.size();
    if (first) {
        b.fourcc("idx1");
        b.u32(16 * s.frames);
        for (uint32_t i = 0; i < s.frames; ++i) {
            b.fourcc("00dc");
            b.u32(kIndexKeyFrame);
            b.u32(s.offsets[i] - 8); // from the 'movi' fourcc
            b.u32(s.sizes[i]);
        }
    }
    if (!append(out.data(), out.size()) || !flush()) {
        // No room for the indexes (a full disk): the segment ends after its last frame, and the
        // header says it has no index, so readers find the frames by walking the chunks.
        cut(dataEnd);
        if (s.frames > 0)
            superIndex_.pop_back();
        if (first)
            firstIndexed_ = false;
        segmentOpen_ = false;
        const uint32_t moviSize = le32(static_cast<uint32_t>(dataEnd - s.moviPos - 8));
        const uint32_t riffSize = le32(static_cast<uint32_t>(dataEnd - s.riffPos - 8));
        patch(s.moviPos + 4, &moviSize, 4);
        patch(s.riffPos + 4, &riffSize, 4);
        return false;
    }
    const uint32_t moviSize = le32(static_cast<uint32_t>(moviEnd - s.moviPos - 8));
    const uint32_t riffSize = le32(static_cast<uint32_t>(position_ - s.riffPos - 8));
    segmentOpen_ = false;
    return patch(s.moviPos + 4, &moviSize, 4) && patch(s.riffPos + 4, &riffSize, 4);
}

bool AviWriter::patchSizes() {
    if (!flush())
        return false;
    patchedAt_ = std::chrono::steady_clock::now();
    const std::vector<uint8_t> h = header();
    if (!patch(0, h.data(), h.size()))
        return false;
    if (segmentOpen_ && segments_.size() > 1) {
        const Segment& s = segments_.back();
        const uint32_t moviSize = le32(static_cast<uint32_t>(position_ - s.moviPos - 8));
        const uint32_t riffSize = le32(static_cast<uint32_t>(position_ - s.riffPos - 8));
        return patch(s.moviPos + 4, &moviSize, 4) && patch(s.riffPos + 4, &riffSize, 4);
    }
    return true;
}

int AviWriter::close() {
    if (state_ == State::Idle || state_ == State::Closed)
        return ZKAVI_WRONG_STATE;
    bool ok = !failed_;
    openFirstSegment();
    if (segmentOpen_)
        ok = finishSegment() && ok;
    ok = patchSizes() && ok;
    ok = ::close(fd_) == 0 && ok;
    fd_ = -1;
    state_ = State::Closed;
    return ok ? ZKAVI_SUCCESS : ZKAVI_FILE_ERROR;
}

std::vector<uint8_t> AviWriter::header() const {
    // Sizes of the first segment: final once it is finished, else up to the current end.
    uint64_t riffEnd = std::max<uint64_t>(position_, kHeaderSize);
    uint64_t moviEnd = riffEnd;
    uint32_t firstFrames = 0;
    bool indexed = false; // the idx1 is only written when the first segment is finished
    if (!segments_.empty()) {
        firstFrames = segments_.front().frames;
        if (segments_.size() > 1 || !segmentOpen_) {
            indexed = firstIndexed_;
            riffEnd = segments_.size() > 1 ? segments_[1].riffPos : position_;
            // The first movi list ends where its idx1 begins, or with the file when it has none.
            moviEnd = firstIndexed_ ? riffEnd - (8 + 16ULL * firstFrames) : riffEnd;
        }
    }
    uint32_t scale = 1000;
    uint32_t rate = static_cast<uint32_t>(std::llround(rate_ * 1000.0));
    const uint32_t divisor = std::gcd(scale, rate);
    scale /= divisor;
    rate /= divisor;
    const uint32_t suggested = maxChunk_ ? maxChunk_ + 8 : 0;

    std::vector<uint8_t> out;
    out.reserve(kHeaderSize);
    Bytes b(out);
    b.fourcc("RIFF");
    b.u32(static_cast<uint32_t>(riffEnd - 8));
    b.fourcc("AVI ");
    b.fourcc("LIST");
    b.u32(kHdrlList - 8);
    b.fourcc("hdrl");

    b.fourcc("avih");
    b.u32(56);
    b.u32(static_cast<uint32_t>(std::llround(1e6 / rate_)));
    b.u32(static_cast<uint32_t>(std::min<double>(0xFFFFFFFFu, std::ceil(maxChunk_ * rate_))));
    b.u32(0);
    b.u32((indexed ? kFlagHasIndex : 0) | kFlagIsInterleaved);
    b.u32(firstFrames); // AVI 1.0 readers see the first segment
    b.u32(0);
    b.u32(1);
    b.u32(suggested);
    b.u32(static_cast<uint32_t>(width_));
    b.u32(static_cast<uint32_t>(height_));
    b.zeros(16);

    b.fourcc("LIST");
    b.u32(kStrlList - 8);
    b.fourcc("strl");
    b.fourcc("strh");
    b.u32(56);
    b.fourcc("vids");
    b.fourcc("MJPG");
    b.u32(0);
    b.u16(0);
    b.u16(0);
    b.u32(0);
    b.u32(scale);
    b.u32(rate);
    b.u32(0);
    b.u32(totalFrames_);
    b.u32(suggested);
    b.u32(0xFFFFFFFFu);
    b.u32(0);
    b.u16(0);
    b.u16(0);
    b.u16(static_cast<uint16_t>(width_));
    b.u16(static_cast<uint16_t>(height_));

    b.fourcc("strf");
    b.u32(40);
    b.u32(40);
    b.u32(static_cast<uint32_t>(width_));
    b.u32(static_cast<uint32_t>(height_));
    b.u16(1);
    b.u16(24);
    b.fourcc("MJPG");
    b.u32(static_cast<uint32_t>(static_cast<uint64_t>(width_) * height_ * 3));
    b.zeros(16);

    b.fourcc("indx");
    b.u32(kIndxData);
    b.u16(4); // longs per entry
    b.u8(0);
    b.u8(0); // index of indexes
    b.u32(static_cast<uint32_t>(superIndex_.size()));
    b.fourcc("00dc");
    b.zeros(12);
    for (const SuperEntry& e : superIndex_) {
        b.u64(e.offset);
        b.u32(e.size);
        b.u32(e.duration);
    }
    b.zeros(16 * (kSuperIndexEntries - superIndex_.size()));

    b.fourcc("LIST");
    b.u32(kOdmlList - 8);
    b.fourcc("odml");
    b.fourcc("dmlh");
    b.u32(248);
    b.u32(totalFrames_);
    b.zeros(244);

    b.fourcc("LIST");
    b.u32(static_cast<uint32_t>(moviEnd - kFirstMovi - 8));
    b.fourcc("movi");
    return out;
}

bool AviWriter::append(const void* data, size_t size) {
    const auto* p = static_cast<const uint8_t*>(data);
    pending_.insert(pending_.end(), p, p + size);
    position_ += size;
    return pending_.size() < kFlushAt || flush();
}

bool AviWriter::flush() {
    size_t done = 0;
    while (done < pending_.size()) {
        const ssize_t n = ::pwrite(fd_, pending_.data() + done, pending_.size() - done,
                                   static_cast<off_t>(flushed_ + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            // Keep the counts honest: what did not reach the file is not part of it.
            flushed_ += done;
            position_ = flushed_;
            pending_.clear();
            return false;
        }
        done += static_cast<size_t>(n);
    }
    flushed_ += done;
    pending_.clear();
    return true;
}

bool AviWriter::patch(uint64_t position, const void* data, size_t size) {
    if (position + size > flushed_ && !flush())
        return false;
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(fd_, static_cast<const uint8_t*>(data) + done, size - done,
                                   static_cast<off_t>(position + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

} // namespace zeko::sim
