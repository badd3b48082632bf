// The camera model's calls, with the argument shapes it uses.
#include "platform/zeko/TestPattern.h"
#include "platform/zeko/tests/SimTestSupport.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <thread>
#include <unistd.h>

namespace zeko::sim::test {

namespace {

struct Started {
    uint32_t handle = 0;
    char* memory = nullptr;
    int memoryId = 0;
    int width = 0;
    int height = 0;
    bool color = true;
};

class CameraModelApiTest : public SimTest {
protected:
    // What the camera model does at start, with factory settings.
    Started start() {
        Started s;
        s.handle = openFirst();
        unsigned char info[ZK_SENSORINFO_SIZE];
        EXPECT_EQ(zk_GetSensorInfo(s.handle, info), 0);
        s.width = static_cast<int>(at<uint32_t>(info, 36));
        s.height = static_cast<int>(at<uint32_t>(info, 40));
        const std::string name(reinterpret_cast<char*>(info + 2));
        s.color = !name.ends_with("-M");
        const uint32_t h = s.handle;
        EXPECT_EQ(zk_SetHardwareGain(h, -1, 10, 20, 30), 0);
        EXPECT_EQ(zk_SetBrightness(h, 128), 0);
        double rate = 0;
        EXPECT_EQ(zk_SetFrameRate(h, ZK_GET_DEFAULT_FRAMERATE, &rate), 0);
        EXPECT_EQ(zk_SetFrameRate(h, rate, &rate), 0);
        EXPECT_EQ(zk_SetGamma(h, 100), 0);
        EXPECT_EQ(zk_SetBlCompensation(h, 1, 10, 0), 0);
        EXPECT_EQ(zk_SetColorCorrection(h, 1, nullptr), 0);
        EXPECT_EQ(zk_SetColorMode(h, s.color ? ZK_CM_RGB24 : ZK_CM_MONO8), 0);
        EXPECT_EQ(zk_SetPixelClock(h, 30), 0);
        double exposure = 0;
        EXPECT_EQ(zk_SetExposureTime(h, 5.0, &exposure), 0);
        double a = 128.0, b = 0.0;
        EXPECT_EQ(zk_SetAutoParameter(h, ZK_SET_AUTO_REFERENCE, &a, &b), 0);
        a = 0.0;
        EXPECT_EQ(zk_SetAutoParameter(h, ZK_SET_ENABLE_AUTO_SHUTTER, &a, &b), 0);
        EXPECT_EQ(zk_SetAutoParameter(h, ZK_SET_ENABLE_AUTO_WHITEBALANCE, &a, &b), 0);
        EXPECT_EQ(a, 0.0); // set codes leave the caller's variables alone
        EXPECT_EQ(b, 0.0);
        zk_fn333(h, 2, 0);
        EXPECT_EQ(zk_SetBinning(h, 0), 0);
        EXPECT_EQ(zk_SetImageSize(h, s.width, s.height), 0);
        EXPECT_EQ(zk_SetDisplayMode(h, 1), 0);
        EXPECT_EQ(zk_AllocImageMem(h, s.width, s.height, s.color ? 24 : 8, &s.memory, &s.memoryId), 0);
        EXPECT_EQ(zk_SetImageMem(h, s.memory, s.memoryId), 0);
        EXPECT_EQ(zk_ClearSequence(h), 0);
        EXPECT_EQ(zk_AddToSequence(h, s.memory, s.memoryId), 0);
        EXPECT_EQ(zk_SetExternalTrigger(h, 0), 0);
        EXPECT_EQ(zk_CaptureVideo(h, 1), 0);
        return s;
    }

    const uint8_t* image(uint32_t h) {
        int number = 0;
        char* first = nullptr;
        char* last = nullptr;
        EXPECT_EQ(zk_fn70(h, &number, &first, &last), 0);
        return reinterpret_cast<const uint8_t*>(last);
    }

    static long residentBytes() {
        long size = 0, resident = 0;
        if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(f, "%ld %ld", &size, &resident) != 2)
                resident = 0;
            std::fclose(f);
        }
        return resident * sysconf(_SC_PAGESIZE);
    }

    // Mean of one channel over a block of the image (rows of stride pixels).
    static double mean(const uint8_t* img, int stride, int bpp, int channel, int x, int y, int w, int h) {
        double sum = 0;
        for (int r = y; r < y + h; ++r)
            for (int c = x; c < x + w; ++c)
                sum += img[(static_cast<size_t>(r) * stride + c) * bpp + channel];
        return sum / (w * h);
    }
};

} // namespace

TEST_F(CameraModelApiTest, StartsWithTheModelsSequenceAndGivesNonZeroHandle) {
    const Started s = start();
    EXPECT_NE(s.handle, 0u);
    EXPECT_EQ(s.width, 1280);
    EXPECT_EQ(s.height, 1024);
    unsigned char info[ZK_SENSORINFO_SIZE];
    std::memset(info, 0xAA, sizeof info);
    ASSERT_EQ(zk_GetSensorInfo(s.handle, info), 0);
    EXPECT_STREQ(reinterpret_cast<char*>(info + 2), "ZK1480-C");
    EXPECT_EQ(info[33], 0); // the name's terminator always falls inside
    EXPECT_EQ(at<uint32_t>(info, 36), 1280u);
    EXPECT_EQ(at<uint32_t>(info, 40), 1024u);
    for (size_t i : {0u, 1u, 34u, 35u})
        EXPECT_EQ(info[i], 0) << i;
    for (size_t i = 44; i < sizeof info; ++i)
        EXPECT_EQ(info[i], 0) << i;
    EXPECT_GT(zksim_JournalCount("zk_SetGamma"), 0);
}

TEST_F(CameraModelApiTest, QueriesReturnTheirValueAsTheResult) {
    const uint32_t h = start().handle;
    ASSERT_EQ(zk_SetHardwareGain(h, 40, 5, 6, 7), 0);
    EXPECT_EQ(zk_SetHardwareGain(h, ZK_GET_CURRENT, 0, 0, 0), 40);
    EXPECT_EQ(zk_SetHardwareGain(h, ZK_GET_RED_GAIN, 0, 0, 0), 5);
    EXPECT_EQ(zk_SetHardwareGain(h, ZK_GET_GREEN_GAIN, 0, 0, 0), 6);
    EXPECT_EQ(zk_SetHardwareGain(h, ZK_GET_BLUE_GAIN, 0, 0, 0), 7);
    // The settings' automatic master gain (-1) leaves that gain as it is and still succeeds.
    ASSERT_EQ(zk_SetHardwareGain(h, -1, 8, -1, 9), 0);
    EXPECT_EQ(zk_SetHardwareGain(h, ZK_GET_CURRENT, 0, 0, 0), 40);
    EXPECT_EQ(zk_SetHardwareGain(h, ZK_GET_GREEN_GAIN, 0, 0, 0), 6);
    EXPECT_EQ(zk_SetHardwareGain(h, ZK_GET_BLUE_GAIN, 0, 0, 0), 9);

    ASSERT_EQ(zk_SetBrightness(h, 300), 0); // clamped, not refused
    EXPECT_EQ(zk_SetBrightness(h, ZK_GET_CURRENT), 255);

    double on = 1.0, unused = 0.0;
    ASSERT_EQ(zk_SetAutoParameter(h, ZK_SET_ENABLE_AUTO_GAIN, &on, &unused), 0);
    double state = 0.0, second = 0.0;
    ASSERT_EQ(zk_SetAutoParameter(h, ZK_GET_ENABLE_AUTO_GAIN, &state, &second), 0);
    EXPECT_NE(state, 0.0);
    EXPECT_EQ(zk_SetAutoParameter(h, 0x1234, &state, &second), ZK_INVALID_PARAMETER);
}

TEST_F(CameraModelApiTest, AreaOfInterestFollowsTheModelsCentring) {
    const uint32_t h = start().handle;
    // setAOI(1001, 601) on a camera with steps 4 and 2.
    ASSERT_EQ(zk_SetImagePos(h, 0, 0), 0);
    const int xs = zk_SetImagePos(h, ZK_GET_POS_X_STEP, ZK_GET_POS_X_STEP);
    const int ys = zk_SetImagePos(h, ZK_GET_POS_Y_STEP, ZK_GET_POS_Y_STEP);
    EXPECT_EQ(xs, 4);
    EXPECT_EQ(ys, 2);
    ASSERT_EQ(zk_SetImageSize(h, 1001 - 1001 % xs, 601 - 601 % ys), 0);
    const int a = zk_SetImagePos(h, ZK_GET_POS_X_MAX, ZK_GET_POS_X_MAX) / 2;
    const int b = zk_SetImagePos(h, ZK_GET_POS_Y_MAX, ZK_GET_POS_Y_MAX) / 2;
    EXPECT_EQ(a, 140);
    EXPECT_EQ(b, 212);
    ASSERT_EQ(zk_SetImagePos(h, a - a % xs, b - b % ys), 0);
    int x = -1, y = -1, w = -1, hh = -1;
    ASSERT_EQ(zk_SetAOI(h, ZK_GET_AOI, &x, &y, &w, &hh), 0);
    EXPECT_EQ(w, 1000);
    EXPECT_EQ(hh, 600);
    EXPECT_EQ(x, 140);
    EXPECT_EQ(y, 212);

    // Out-of-sensor requests are clamped and rounded down to the steps.
    x = 1279, y = 3, w = 5000, hh = 7;
    ASSERT_EQ(zk_SetAOI(h, ZK_SET_AOI, &x, &y, &w, &hh), 0);
    ASSERT_EQ(zk_SetAOI(h, ZK_GET_AOI, &x, &y, &w, &hh), 0);
    EXPECT_EQ(w, 1280);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(hh % 2, 0);
    EXPECT_GT(hh, 0);
    EXPECT_EQ(y % 2, 0);
    EXPECT_LE(y + hh, 1024);
    EXPECT_EQ(zk_SetAOI(h, ZK_GET_AOI, nullptr, &y, &w, &hh), ZK_INVALID_PARAMETER);

    // A larger size at a position near the edge moves the area back inside the sensor.
    ASSERT_EQ(zk_SetImageSize(h, 64, 64), 0);
    ASSERT_EQ(zk_SetImagePos(h, 1200, 900), 0);
    ASSERT_EQ(zk_SetImageSize(h, 640, 480), 0);
    ASSERT_EQ(zk_SetAOI(h, ZK_GET_AOI, &x, &y, &w, &hh), 0);
    EXPECT_EQ(w, 640);
    EXPECT_EQ(hh, 480);
    EXPECT_EQ(x + w, 1280);
    EXPECT_EQ(y + hh, 1024);
}

TEST_F(CameraModelApiTest, FrameRateIsBoundByClockAndAreaAndExposureByFrameTime) {
    const uint32_t h = start().handle;
    double rate = 0;
    ASSERT_EQ(zk_SetFrameRate(h, ZK_GET_DEFAULT_FRAMERATE, &rate), 0);
    EXPECT_DOUBLE_EQ(rate, 15.0);
    ASSERT_EQ(zk_SetFrameRate(h, 1000.0, &rate), 0);
    const double fullFrameMax = rate;
    EXPECT_LT(fullFrameMax, 30.0);
    EXPECT_GT(fullFrameMax, 15.0);
    double current = 0;
    ASSERT_EQ(zk_SetFrameRate(h, ZK_GET_FRAMERATE, &current), 0);
    EXPECT_DOUBLE_EQ(current, fullFrameMax);

    // A slower pixel clock lowers the maximum; the current rate follows.
    ASSERT_EQ(zk_SetPixelClock(h, 10), 0);
    ASSERT_EQ(zk_SetFrameRate(h, ZK_GET_FRAMERATE, &current), 0);
    EXPECT_NEAR(current, fullFrameMax / 3, 0.01);
    ASSERT_EQ(zk_SetPixelClock(h, 1000), 0); // clamped to the camera's range, answered with 0
    ASSERT_EQ(zk_SetFrameRate(h, 1000.0, &rate), 0);
    EXPECT_GT(rate, fullFrameMax);

    // A smaller area allows a higher rate.
    ASSERT_EQ(zk_SetImageSize(h, 320, 240), 0);
    ASSERT_EQ(zk_SetFrameRate(h, 1000.0, &rate), 0);
    EXPECT_GT(rate, 100.0);

    // Exposure is in milliseconds, at most one frame time.
    ASSERT_EQ(zk_SetFrameRate(h, 10.0, &rate), 0);
    double exposure = 0;
    ASSERT_EQ(zk_SetExposureTime(h, 500.0, &exposure), 0);
    EXPECT_DOUBLE_EQ(exposure, 100.0);
    ASSERT_EQ(zk_SetFrameRate(h, 20.0, &rate), 0);
    ASSERT_EQ(zk_SetExposureTime(h, ZK_GET_EXPOSURE_TIME, &exposure), 0);
    EXPECT_DOUBLE_EQ(exposure, 50.0);
    EXPECT_EQ(zk_SetExposureTime(h, NAN, &exposure), ZK_INVALID_PARAMETER);

    double lo = 0, hi = 0, step = 0;
    ASSERT_EQ(zk_fn271(h, &lo, &hi, &step), 0);
    ASSERT_GT(lo, 0.0);
    double maxRate = 0;
    ASSERT_EQ(zk_SetFrameRate(h, 1e6, &maxRate), 0);
    EXPECT_NEAR(1.0 / lo, maxRate, 1e-6);
    EXPECT_GT(hi, lo);

    int clock = 0;
    double best = 0;
    ASSERT_EQ(zk_fn407(h, 0, 5000, &clock, &best), 0);
    EXPECT_EQ(clock, 40);
    EXPECT_GT(best, 0.0);
}

TEST_F(CameraModelApiTest, LargestSensorOnSlowClockKeepsOneRateRangeAndGrabsWithinItsImageMemory) {
    // Full frame at 5 MHz allows about 0.02 frames per second, below the slowest rate of 0.5.
    ASSERT_EQ(zksim_UseDescription("[camera]\nserial=1\nsensor=BIG-M\nwidth=16384\nheight=16384\n"
                                   "clock_min=5\nclock=5\n"),
              0);
    zksim_SetDelays(0, 0);
    const uint32_t h = openFirst();
    double current = 0, byDefault = 0, fastest = 0;
    ASSERT_EQ(zk_SetFrameRate(h, ZK_GET_FRAMERATE, &current), 0);
    ASSERT_EQ(zk_SetFrameRate(h, ZK_GET_DEFAULT_FRAMERATE, &byDefault), 0);
    ASSERT_EQ(zk_SetFrameRate(h, 1000.0, &fastest), 0);
    EXPECT_DOUBLE_EQ(fastest, 0.5);
    EXPECT_DOUBLE_EQ(current, fastest);
    EXPECT_DOUBLE_EQ(byDefault, fastest);
    double lo = 0, hi = 0, step = 0;
    ASSERT_EQ(zk_fn271(h, &lo, &hi, &step), 0);
    EXPECT_DOUBLE_EQ(1.0 / lo, fastest);
    double exposure = 0;
    ASSERT_EQ(zk_SetExposureTime(h, ZK_GET_EXPOSURE_TIME, &exposure), 0);
    EXPECT_LE(exposure, 1000.0 / fastest);

    // The first frame of the whole sensor costs no memory beyond the image's own (already
    // written when allocated): no scene of the sensor's size, and none in colour.
    constexpr int kSide = 16384;
    char* memory = nullptr;
    int id = 0;
    ASSERT_EQ(zk_AllocImageMem(h, kSide, kSide, 8, &memory, &id), 0);
    ASSERT_EQ(zk_SetImageMem(h, memory, id), 0);
    ASSERT_EQ(zk_CaptureVideo(h, 1), 0);
    const long before = residentBytes();
    const uint8_t* img = image(h);
    EXPECT_LT(residentBytes() - before, 64L << 20);
    ASSERT_NE(img, nullptr);
    EXPECT_EQ(TestPattern::decodeCounter(img, kSide, 1), 0);
    EXPECT_EQ(img[100 * kSide + 100], 192);                     // the white bar
    EXPECT_EQ(img[(kSide - 1L) * kSide + kSide - 1], 255);      // the ramp's bright end
    EXPECT_EQ(img[(kSide - 1L) * kSide + kSide / 2 + 32], 128); // half way along it
    ASSERT_EQ(zk_ExitCamera(h), 0);
}

TEST_F(CameraModelApiTest, ColourImageIsRgbAtTheTopLeftWithTheSensorsStride) {
    const Started s = start();
    zksim_SetFreeRunning(1);
    int x = 320, y = 256, w = 640, hh = 512;
    ASSERT_EQ(zk_SetAOI(s.handle, ZK_SET_AOI, &x, &y, &w, &hh), 0);
    const uint8_t* img = image(s.handle);
    ASSERT_EQ(img, reinterpret_cast<const uint8_t*>(s.memory));
    // Bars are 160 sensor pixels wide; the area starts at sensor column 320: green-ish cyan bar
    // (bar 2: no red) at the left, green (bar 3) next.
    // Rows 420.. keep clear of the moving marker.
    EXPECT_LT(mean(img, s.width, 3, 0, 20, 420, 100, 40), 40);
    EXPECT_GT(mean(img, s.width, 3, 1, 20, 420, 100, 40), 150);
    EXPECT_GT(mean(img, s.width, 3, 2, 20, 420, 100, 40), 120);
    EXPECT_LT(mean(img, s.width, 3, 2, 180, 420, 100, 40), 40); // green bar: no blue
    // Outside the area nothing is written.
    EXPECT_EQ(mean(img, s.width, 3, 0, 700, 600, 100, 100), 0.0);
    // Red bar at sensor columns 800..959 is at area columns 480..639: R high, G and B low.
    EXPECT_GT(mean(img, s.width, 3, 0, 500, 420, 100, 40), 150);
    EXPECT_LT(mean(img, s.width, 3, 1, 500, 420, 100, 40), 40);
}

TEST_F(CameraModelApiTest, FramesFollowTheFrameRate) {
    const Started s = start();
    double rate = 0;
    ASSERT_EQ(zk_SetFrameRate(s.handle, 2.0, &rate), 0);
    const auto period = std::chrono::milliseconds(500);
    const auto firstAsked = std::chrono::steady_clock::now();
    const int first = TestPattern::decodeCounter(image(s.handle), s.width, 3);
    // Within one frame period no new frame is produced. The period runs from the first request,
    // so a frame that took longer than the period to draw (the sanitizer build on a busy
    // machine) makes the next one due at once: the check holds only when drawing was quicker.
    const int second = TestPattern::decodeCounter(image(s.handle), s.width, 3);
    if (std::chrono::steady_clock::now() - firstAsked < period) {
        EXPECT_EQ(second, first);
    }
    // After a period, one new frame.
    std::this_thread::sleep_for(period + std::chrono::milliseconds(50));
    EXPECT_EQ(TestPattern::decodeCounter(image(s.handle), s.width, 3), second + 1);
    zksim_SetFreeRunning(1);
    EXPECT_EQ(TestPattern::decodeCounter(image(s.handle), s.width, 3), second + 2);
    // Without capture the image stays as it is.
    ASSERT_EQ(zk_StopLiveVideo(s.handle, 1), 0);
    EXPECT_EQ(TestPattern::decodeCounter(image(s.handle), s.width, 3), second + 2);
}

TEST_F(CameraModelApiTest, GainBrightnessGammaAndWhiteBalanceShowInThePixels) {
    const Started s = start();
    zksim_SetFreeRunning(1);
    auto bar = [&](int channel) { return mean(image(s.handle), s.width, 3, channel, 20, 420, 100, 100); };
    ASSERT_EQ(zk_SetHardwareGain(s.handle, 0, 0, 0, 0), 0);
    const double red = bar(0), blue = bar(2);
    EXPECT_GT(red - blue, 20); // the scene's warm cast
    double on = 1.0, zero = 0.0;
    ASSERT_EQ(zk_SetAutoParameter(s.handle, ZK_SET_ENABLE_AUTO_WHITEBALANCE, &on, &zero), 0);
    EXPECT_NEAR(bar(0), bar(2), 2.0);
    on = 0.0;
    ASSERT_EQ(zk_SetAutoParameter(s.handle, ZK_SET_ENABLE_AUTO_WHITEBALANCE, &on, &zero), 0);

    ASSERT_EQ(zk_SetHardwareGain(s.handle, 0, 0, 0, 30), 0);
    EXPECT_GT(bar(2), blue + 20);
    ASSERT_EQ(zk_SetHardwareGain(s.handle, 30, 0, 0, 0), 0);
    EXPECT_GT(bar(0), red + 20);
    ASSERT_EQ(zk_SetHardwareGain(s.handle, 0, 0, 0, 0), 0);
    ASSERT_EQ(zk_SetBrightness(s.handle, 40), 0);
    EXPECT_LT(bar(1), red - 20);
    ASSERT_EQ(zk_SetBrightness(s.handle, 128), 0);
    ASSERT_EQ(zk_SetGamma(s.handle, 200), 0);
    EXPECT_GT(bar(1), red + 10);
}

TEST_F(CameraModelApiTest, MonochromeCameraGivesOneBytePerPixel) {
    zksim_SetCameraConnected(1, 0); // the colour camera is gone: the GigE mono one is first
    const Started s = start();
    EXPECT_FALSE(s.color);
    EXPECT_EQ(s.width, 752);
    zksim_SetFreeRunning(1);
    const uint8_t* img = image(s.handle);
    // White bar then yellow then ... at 94-pixel bars; black bar last.
    EXPECT_GT(mean(img, s.width, 1, 0, 10, 50, 60, 50), 150);
    EXPECT_LT(mean(img, s.width, 1, 0, 680, 50, 60, 50), 30);
    const int first = TestPattern::decodeCounter(img, s.width, 1);
    EXPECT_EQ(TestPattern::decodeCounter(image(s.handle), s.width, 1), first + 1);
}

TEST_F(CameraModelApiTest, StaleHandlesAndMemoriesGetErrorsNotCrashes) {
    const Started s = start();
    ASSERT_EQ(zk_StopLiveVideo(s.handle, 1), 0);
    ASSERT_EQ(zk_FreeImageMem(s.handle, s.memory, s.memoryId), 0);
    EXPECT_EQ(zk_FreeImageMem(s.handle, s.memory, s.memoryId), ZK_INVALID_MEMORY_POINTER);
    int number = 7;
    char* a = reinterpret_cast<char*>(1);
    char* b = reinterpret_cast<char*>(1);
    EXPECT_NE(zk_fn70(s.handle, &number, &a, &b), 0); // no memory left
    EXPECT_EQ(a, nullptr);
    EXPECT_EQ(b, nullptr);
    ASSERT_EQ(zk_ExitCamera(s.handle), 0);

    // Every call on the closed handle fails cleanly; fn70 gives null outputs.
    a = b = reinterpret_cast<char*>(1);
    EXPECT_EQ(zk_fn70(s.handle, &number, &a, &b), ZK_INVALID_CAMERA_HANDLE);
    EXPECT_EQ(a, nullptr);
    EXPECT_EQ(b, nullptr);
    EXPECT_EQ(zk_ExitCamera(s.handle), ZK_INVALID_CAMERA_HANDLE);
    EXPECT_EQ(zk_SetGamma(s.handle, 100), ZK_INVALID_CAMERA_HANDLE);
    EXPECT_EQ(zk_SetHardwareGain(s.handle, ZK_GET_CURRENT, 0, 0, 0), ZK_INVALID_CAMERA_HANDLE);
    int clock = 0;
    double rate = 0;
    EXPECT_EQ(zk_fn407(s.handle, 0, 5000, &clock, &rate), ZK_INVALID_CAMERA_HANDLE);
    EXPECT_EQ(zk_fn407(0, 0, 5000, &clock, &rate), ZK_INVALID_CAMERA_HANDLE);
    EXPECT_EQ(zk_GetSensorInfo(12345, nullptr), ZK_INVALID_CAMERA_HANDLE);

    // A new start gets a new handle, never the stale one, and starts from the defaults.
    const Started again = start();
    EXPECT_NE(again.handle, s.handle);
    int x, y, w, hh;
    ASSERT_EQ(zk_SetAOI(again.handle, ZK_GET_AOI, &x, &y, &w, &hh), 0);
    EXPECT_EQ(w, 1280);
    EXPECT_EQ(hh, 1024);
    char* foreign = nullptr;
    int foreignId = 0;
    ASSERT_EQ(zk_AllocImageMem(again.handle, 8, 8, 24, &foreign, &foreignId), 0);
    EXPECT_EQ(zk_SetImageMem(again.handle, again.memory, foreignId), ZK_INVALID_MEMORY_POINTER);
    EXPECT_EQ(zk_AllocImageMem(again.handle, 8, 8, 12, &foreign, &foreignId), ZK_INVALID_PARAMETER);
    EXPECT_EQ(zk_AllocImageMem(again.handle, 16385, 8, 24, &foreign, &foreignId), ZK_INVALID_PARAMETER);
}

TEST_F(CameraModelApiTest, UnpluggedCameraFailsUntilClosed) {
    const Started s = start();
    ASSERT_EQ(zksim_SetCameraConnected(1, 0), 0);
    int number;
    char *a, *b;
    EXPECT_NE(zk_fn70(s.handle, &number, &a, &b), 0);
    EXPECT_EQ(b, nullptr);
    EXPECT_EQ(zk_ExitCamera(s.handle), 0);
    ASSERT_EQ(zksim_SetCameraConnected(1, 1), 0);
    EXPECT_NE(openFirst(), 0u);
}

TEST_F(CameraModelApiTest, InjectedFailuresAndJournal) {
    const uint32_t h = openFirst();
    zksim_InjectFailure("zk_SetGamma", 125, 1);
    EXPECT_EQ(zk_SetGamma(h, 100), 125);
    EXPECT_EQ(zk_SetGamma(h, 100), 0);
    zksim_InjectFailure("zk_CaptureVideo", 3, 0);
    EXPECT_EQ(zk_CaptureVideo(h, 1), 3);
    EXPECT_EQ(zk_CaptureVideo(h, 1), 3);
    zksim_ClearFailures();
    EXPECT_EQ(zk_CaptureVideo(h, 1), 0);

    zksim_JournalClear();
    double rate = 0;
    zk_SetFrameRate(h, 12.5, &rate);
    zk_SetHardwareGain(h, 1, 2, 3, 4);
    ASSERT_EQ(zksim_JournalSize(), 2);
    ZkSimCall call;
    ASSERT_EQ(zksim_JournalEntry(0, &call), 0);
    EXPECT_STREQ(call.function, "zk_SetFrameRate");
    EXPECT_EQ(call.doubleCount, 1);
    EXPECT_EQ(call.doubles[0], 12.5);
    ASSERT_EQ(zksim_JournalEntry(1, &call), 0);
    EXPECT_EQ(call.intCount, 5);
    EXPECT_EQ(call.ints[4], 4);
    EXPECT_NE(zksim_JournalEntry(2, &call), 0);
}

TEST_F(CameraModelApiTest, WorkerThreadAndMainThreadAtOnce) {
    const Started s = start();
    zksim_SetDelays(5, 0);
    std::atomic<bool> stop{false};
    std::atomic<int> optimised{0};
    std::thread worker([&] {
        while (!stop) {
            int clock = 0;
            double rate = 0, lo = 0, hi = 0, step = 0;
            if (zk_fn407(s.handle, 0, 5000, &clock, &rate) == 0) {
                zk_SetPixelClock(s.handle, clock);
                if (zk_fn271(s.handle, &lo, &hi, &step) == 0 && rate < 1 / lo)
                    rate = 1 / lo;
                zk_SetFrameRate(s.handle, rate, &rate);
                ++optimised;
            }
        }
    });
    zksim_SetFreeRunning(1);
    // Until both threads have done a fair amount of work; small areas keep slow sanitizers quick.
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    int frames = 0;
    while ((frames < 200 || optimised < 3) && std::chrono::steady_clock::now() < limit) {
        int n;
        char *a, *b;
        ASSERT_EQ(zk_fn70(s.handle, &n, &a, &b), 0);
        int x = 0, y = 0, w = 64 + 4 * (frames % 8), hh = 48;
        zk_SetAOI(s.handle, ZK_SET_AOI, &x, &y, &w, &hh);
        double g = 0;
        zk_SetFrameRate(s.handle, ZK_GET_FRAMERATE, &g);
        ++frames;
    }
    // The camera closes while the worker still calls: it gets error codes.
    ASSERT_EQ(zk_ExitCamera(s.handle), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    stop = true;
    worker.join();
    EXPECT_GE(frames, 200);
    EXPECT_GE(optimised.load(), 3);
}

// Run on its own by the test below: calls as a program makes them, without any test control
// until the end.
TEST(CallJournalInAProgram, DISABLED_CallsWithoutTestControls) {
    for (int i = 0; i < 5000; ++i)
        zk_ExitCamera(987654);
    std::printf("kept %d\n", zksim_JournalSize());
}

// The viewer's live view calls the simulator for as long as it runs: a journal that nobody reads
// would grow with every call.
TEST(CallJournalInAProgram, NothingIsKeptBeforeATestControlIsUsed) {
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    int status = -1;
    const std::string out =
        runCommand("ZEKO_SIM_STATE_DIR=/nonexistent '" + self +
                       "' --gtest_also_run_disabled_tests "
                       "--gtest_filter=CallJournalInAProgram.DISABLED_CallsWithoutTestControls 2>&1",
                   &status);
    ASSERT_EQ(status, 0) << out;
    EXPECT_NE(out.find("kept 0\n"), std::string::npos) << out;
}

} // namespace zeko::sim::test
