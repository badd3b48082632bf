// JPEG compression of one film frame through libjpeg-turbo; the compressor and its output buffer
// are kept from frame to frame.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zeko::sim {

class MjpegEncoder {
public:
    MjpegEncoder();
    ~MjpegEncoder();
    MjpegEncoder(const MjpegEncoder&) = delete;
    MjpegEncoder& operator=(const MjpegEncoder&) = delete;

    // Compresses width x height pixels of 3 bytes in B, G, R order, rows strideBytes apart, top row
    // first. False when libjpeg fails; data() and size() then describe nothing.
    bool encode(const uint8_t* pixels, size_t strideBytes, int width, int height, int quality);
    const uint8_t* data() const { return buffer_; }
    size_t size() const { return size_; }

private:
    struct State;
    State* state_;
    unsigned char* buffer_ = nullptr;
    unsigned long capacity_ = 0;
    unsigned long allocated_ = 0;
    size_t size_ = 0;
};

} // namespace zeko::sim
