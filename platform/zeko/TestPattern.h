// The simulated scene: colour bars over a grey ramp with a warm cast that white balance removes,
// a marker that moves with the frame number, and the frame number as 16 black or white blocks
// in the top-left corner of the area of interest (decodable by tests, untouched by the tone).
#pragma once

#include <array>
#include <cstdint>
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

    TestPattern(int sensorWidth, int sensorHeight);

    // Renders frame `frame` of the area (x, y, width, height) to dest: rows of `stride` pixels,
    // bytesPerPixel 3 (R, G, B) or 1 (grey). The caller guarantees the area fits the sensor.
    void render(uint8_t* dest, int stride, int bytesPerPixel, bool colorSensor, int x, int y, int width,
                int height, uint64_t frame, const Tone& tone);

    // Reads the frame number back from a rendered image.
    static int decodeCounter(const uint8_t* image, int stride, int bytesPerPixel);

private:
    void updateTables(const Tone& tone);
    void marker(uint64_t frame, int& x, int& y) const;

    int width_;
    int height_;
    std::vector<uint8_t> rgb_;                      // the scene, 3 bytes per sensor pixel
    std::vector<uint8_t> grey_;                     // its luminance without the cast
    std::array<std::array<uint8_t, 256>, 4> lut_{}; // red, green, blue, grey
    Tone tone_;
    bool tablesValid_ = false;
};

} // namespace zeko::sim
