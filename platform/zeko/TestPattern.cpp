#include "platform/zeko/TestPattern.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace zeko::sim {

namespace {

// Level of the bars and the cast of the simulated light: a warm scene that white balance corrects.
constexpr int kBarLevel = 192;
constexpr double kCast[3] = {1.0, 0.95, 0.85};

constexpr uint8_t kBars[8][3] = {{1, 1, 1}, {1, 1, 0}, {0, 1, 1}, {0, 1, 0},
                                 {1, 0, 1}, {1, 0, 0}, {0, 0, 1}, {0, 0, 0}};

} // namespace

TestPattern::TestPattern(int sensorWidth, int sensorHeight, bool colorSensor)
    : width_(sensorWidth), height_(sensorHeight), barRows_(sensorHeight * 3 / 4),
      rgb_(colorSensor ? static_cast<size_t>(sensorWidth) * 2 * 3 : 0),
      grey_(static_cast<size_t>(sensorWidth) * 2) {
    for (int line = 0; line < 2; ++line) {
        for (int col = 0; col < width_; ++col) {
            int plain[3];
            if (line == 0) {
                const int bar = std::min(7, col * 8 / width_);
                for (int c = 0; c < 3; ++c)
                    plain[c] = kBars[bar][c] ? kBarLevel : 16;
            } else {
                const int level = width_ > 1 ? col * 255 / (width_ - 1) : 128;
                plain[0] = plain[1] = plain[2] = level;
            }
            const size_t at = static_cast<size_t>(line) * width_ + col;
            if (!rgb_.empty())
                for (int c = 0; c < 3; ++c)
                    rgb_[at * 3 + c] = static_cast<uint8_t>(std::lround(plain[c] * kCast[c]));
            grey_[at] = static_cast<uint8_t>((77 * plain[0] + 150 * plain[1] + 29 * plain[2]) >> 8);
        }
    }
}

TestPattern::Tables TestPattern::tables(const Tone& tone) const {
    std::lock_guard lock(tablesMutex_);
    if (tablesValid_ && tone == tone_)
        return lut_;
    const double master = 1.0 + std::clamp(tone.masterGain, 0, 100) / 100.0;
    const double channel[4] = {1.0 + std::clamp(tone.redGain, 0, 100) / 100.0,
                               1.0 + std::clamp(tone.greenGain, 0, 100) / 100.0,
                               1.0 + std::clamp(tone.blueGain, 0, 100) / 100.0, 1.0};
    const double offset = (std::clamp(tone.brightness, 0, 255) - 128) / 2.0;
    const double exponent = 100.0 / std::clamp(tone.gamma, 1, 1000);
    for (int c = 0; c < 4; ++c) {
        const double balance = (tone.whiteBalance && c < 3) ? 1.0 / kCast[c] : 1.0;
        for (int v = 0; v < 256; ++v) {
            double f = v * master * channel[c] * balance + offset;
            f = std::clamp(f, 0.0, 255.0);
            f = 255.0 * std::pow(f / 255.0, exponent);
            lut_[c][v] = static_cast<uint8_t>(std::lround(std::clamp(f, 0.0, 255.0)));
        }
    }
    tone_ = tone;
    tablesValid_ = true;
    return lut_;
}

void TestPattern::marker(uint64_t frame, int& x, int& y) const {
    const int travel = std::max(1, width_ - kMarkerSize);
    const uint64_t steps = frame * 8;
    x = static_cast<int>(steps % static_cast<uint64_t>(travel));
    y = std::max(0, height_ * 3 / 8 - kMarkerSize / 2);
}

void TestPattern::render(uint8_t* dest, int stride, int bytesPerPixel, bool colorSensor, int x, int y,
                         int width, int height, uint64_t frame, const Tone& tone) const {
    if (width <= 0 || height <= 0)
        return;
    const Tables lut = tables(tone);
    int mx, my;
    marker(frame, mx, my);
    const auto& lr = lut[0];
    const auto& lg = lut[1];
    const auto& lb = lut[2];
    const auto& ly = lut[3];
    // The area's part of the bars' row and of the ramp's, toned once; each image row is a copy.
    const size_t lineBytes = static_cast<size_t>(width) * bytesPerPixel;
    std::vector<uint8_t> lines(lineBytes * 2);
    for (int line = 0; line < 2; ++line) {
        const size_t first = static_cast<size_t>(line) * width_ + x;
        uint8_t* out = &lines[line * lineBytes];
        if (bytesPerPixel == 3 && colorSensor && !rgb_.empty()) {
            const uint8_t* in = &rgb_[first * 3];
            for (int col = 0; col < width; ++col) {
                out[col * 3] = lr[in[col * 3]];
                out[col * 3 + 1] = lg[in[col * 3 + 1]];
                out[col * 3 + 2] = lb[in[col * 3 + 2]];
            }
        } else {
            const uint8_t* in = &grey_[first];
            if (bytesPerPixel == 1) {
                for (int col = 0; col < width; ++col)
                    out[col] = ly[in[col]];
            } else {
                for (int col = 0; col < width; ++col)
                    out[col * 3] = out[col * 3 + 1] = out[col * 3 + 2] = ly[in[col]];
            }
        }
    }
    for (int row = 0; row < height; ++row) {
        const int sy = y + row;
        uint8_t* out = dest + static_cast<size_t>(row) * stride * bytesPerPixel;
        std::memcpy(out, &lines[sy < barRows_ ? 0 : lineBytes], lineBytes);
        // The marker, in sensor coordinates, so that it shows where the area of interest lies.
        if (sy >= my && sy < my + kMarkerSize) {
            const int from = std::max(mx, x) - x;
            const int to = std::min(mx + kMarkerSize, x + width) - x;
            if (from < to)
                std::memset(out + from * bytesPerPixel, ly[255],
                            static_cast<size_t>(to - from) * bytesPerPixel);
        }
        // The frame number, raw black and white blocks.
        if (row >= kCounterOrigin && row < kCounterOrigin + kCounterBlock) {
            for (int bit = 0; bit < kCounterBits; ++bit) {
                const int from = kCounterOrigin + bit * kCounterBlock;
                const int to = std::min(from + kCounterBlock, width);
                const uint8_t level = (frame >> (kCounterBits - 1 - bit)) & 1 ? 255 : 0;
                if (from < to)
                    std::memset(out + from * bytesPerPixel, level,
                                static_cast<size_t>(to - from) * bytesPerPixel);
            }
        }
    }
}

int TestPattern::decodeCounter(const uint8_t* image, int stride, int bytesPerPixel) {
    int value = 0;
    const int row = kCounterOrigin + kCounterBlock / 2;
    for (int bit = 0; bit < kCounterBits; ++bit) {
        const int col = kCounterOrigin + bit * kCounterBlock + kCounterBlock / 2;
        const uint8_t v = image[(static_cast<size_t>(row) * stride + col) * bytesPerPixel];
        value = (value << 1) | (v >= 128 ? 1 : 0);
    }
    return value;
}

} // namespace zeko::sim
