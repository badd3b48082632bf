// The simulated scene: colour bars over a grey ramp with a warm cast that white balance removes,
// a marker that moves with the frame number, and the frame number as 16 black or white blocks
// in the top-left corner of the area of interest (decodable by tests, untouched by the tone).
#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <vector>

namespace zeko::sim {

struct Tone {
    int masterGain = 0; // 0..100
    int redGain = 0;
    int greenGain = 0;
    int blueGain = 0;
    int brightness = 128; // 0..255, 128 leaves the levels
    int gamma = 100;      // 100 = 1.0
    bool whiteBalance = false;
    bool operator==(const Tone&) const = default;
};

class TestPattern {
public:
    static constexpr int kCounterBits = 16;
    static constexpr int kCounterBlock = 6;
    static constexpr int kCounterOrigin = 4;
    static constexpr int kMarkerSize = 32;

    // A monochrome sensor keeps no colour scene: it can never render one.
    TestPattern(int sensorWidth, int sensorHeight, bool colorSensor = true);

    // Renders frame `frame` of the area (x, y, width, height) to dest: rows of `stride` pixels,
    // bytesPerPixel 3 (R, G, B) or 1 (grey). The caller guarantees the area fits the sensor.
    // Several threads may render at once.
    void render(uint8_t* dest, int stride, int bytesPerPixel, bool colorSensor, int x, int y, int width,
                int height, uint64_t frame, const Tone& tone) const;

    // Reads the frame number back from a rendered image.
    static int decodeCounter(const uint8_t* image, int stride, int bytesPerPixel);

private:
    using Tables = std::array<std::array<uint8_t, 256>, 4>; // red, green, blue, grey

    Tables tables(const Tone& tone) const;
    void marker(uint64_t frame, int& x, int& y) const;

    int width_;
    int height_;
    int barRows_;
    // Every row of the bars is alike, and so is every row of the ramp: the scene is two rows,
    // the bars' then the ramp's, whatever the sensor's height.
    std::vector<uint8_t> rgb_;  // 3 bytes per pixel; empty for a monochrome sensor
    std::vector<uint8_t> grey_; // the luminance without the cast
    mutable std::mutex tablesMutex_;
    mutable Tables lut_{};
    mutable Tone tone_;
    mutable bool tablesValid_ = false;
};

} // namespace zeko::sim
