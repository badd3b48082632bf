// Camera start: the calls made with factory and with user settings, monochrome cameras, the
// camera error, closing, and the current image.

#include "tolvane_model/tests/ModelTestSupport.h"

#include "pemblon/core/Exception.h"

#include <cstdlib>
#include <cstring>

using Tolvane_model::Camera;
using Tolvane_model::Config;

namespace tvmtest {
namespace {

// 748 x 482 pixels: not a multiple of 16, so the last pixels take the short path.
const char* monoCamera = "[camera]\nserial = 100\nsensor = ZK5240-M\nwidth = 748\nheight = 482\n";

class CameraStartTest : public ModelTest {
protected:
    Camera& camera() { return *Camera::getInstance(); }
};

TEST_F(CameraStartTest, FactoryStartCallsTheCameraInOrder) {
    camera().init();
    const std::vector<std::string> expected = {"zk_InitCamera",         "zk_GetSensorInfo",
                                               "zk_SetHardwareGain",    "zk_SetBrightness",
                                               "zk_SetFrameRate",       "zk_SetFrameRate", // factory values
                                               "zk_SetGamma",           "zk_SetBlCompensation",
                                               "zk_SetColorCorrection", "zk_SetColorMode",
                                               "zk_SetPixelClock",      "zk_SetExposureTime",
                                               "zk_SetAutoParameter",   "zk_SetAutoParameter",
                                               "zk_SetAutoParameter",   "zk_fn333",
                                               "zk_SetBinning",         "zk_SetImageSize",
                                               "zk_SetDisplayMode",     "zk_AllocImageMem",
                                               "zk_SetImageMem",        "zk_ClearSequence",
                                               "zk_AddToSequence",      "zk_SetExternalTrigger",
                                               "zk_CaptureVideo"};
    EXPECT_EQ(calls(), expected);

    const std::vector<ZkSimCall> all = journal();
    auto find = [&](const char* name, int nth = 0) {
        for (const ZkSimCall& c : all)
            if (std::string(c.function) == name && nth-- == 0)
                return c;
        return ZkSimCall{};
    };
    EXPECT_EQ(find("zk_SetFrameRate").doubles[0], ZK_GET_DEFAULT_FRAMERATE);
    EXPECT_EQ(find("zk_SetGamma").ints[1], 100);
    EXPECT_EQ(find("zk_SetBlCompensation").ints[1], 1);
    EXPECT_EQ(find("zk_SetColorMode").ints[1], ZK_CM_RGB24);
    EXPECT_EQ(find("zk_SetPixelClock").ints[1], 30);
    EXPECT_EQ(find("zk_SetExposureTime").doubles[0], 20.0);
    EXPECT_EQ(find("zk_SetAutoParameter", 0).ints[1], ZK_SET_AUTO_REFERENCE);
    EXPECT_EQ(find("zk_SetAutoParameter", 0).doubles[0], 128.0);
    EXPECT_EQ(find("zk_SetAutoParameter", 1).ints[1], ZK_SET_ENABLE_AUTO_SHUTTER);
    EXPECT_EQ(find("zk_SetAutoParameter", 2).ints[1], ZK_SET_ENABLE_AUTO_WHITEBALANCE);
    EXPECT_EQ(find("zk_SetAutoParameter", 2).doubles[0], 0.0);
    EXPECT_EQ(find("zk_SetImageSize").ints[1], 1280);
    EXPECT_EQ(find("zk_SetImageSize").ints[2], 1024);
    EXPECT_EQ(find("zk_AllocImageMem").ints[3], 24);
    EXPECT_EQ(camera().getName().str(), "ZK1480-C");
    EXPECT_EQ(camera().getSensor().str(), "ZK1480-C");
    EXPECT_TRUE(camera().isColor());
    EXPECT_EQ(camera().getMaxWidth(), 1280);
    EXPECT_EQ(camera().getMaxHeight(), 1024);
    EXPECT_NE(camera().getCamHandle(), 0u);
}

TEST_F(CameraStartTest, UserStartAppliesTheUserValuesAndMarksThemSaved) {
    Config& config = *Config::getInstance();
    config.setUserMasterGain("ZK1480-C", 11);
    config.setUserRedGain("ZK1480-C", 12);
    config.setUserGreenGain("ZK1480-C", 13);
    config.setUserBlueGain("ZK1480-C", 14);
    config.setUserBrightness("ZK1480-C", 99);
    config.setUserExposure("ZK1480-C", 5.0);
    config.setUserFramerate("ZK1480-C", 10.0);
    config.setUserSizes("ZK1480-C", 640, 480);
    config.setConfSaved(false);
    zksim_JournalClear();

    camera().init();
    const std::vector<std::string> expected = {
        "zk_InitCamera", "zk_GetSensorInfo", "zk_SetHardwareGain", "zk_SetAutoParameter", "zk_SetBrightness",
        "zk_SetGamma", "zk_SetBlCompensation", "zk_SetColorCorrection", "zk_SetColorMode", "zk_SetPixelClock",
        "zk_SetExposureTime", "zk_SetAutoParameter", "zk_SetAutoParameter", "zk_SetAutoParameter", "zk_fn333",
        "zk_SetBinning",
        // the area of interest, keeping exposure and rate
        "zk_SetExposureTime", "zk_SetFrameRate", "zk_SetImagePos", "zk_SetImagePos", "zk_SetImagePos",
        "zk_SetImageSize", "zk_SetImagePos", "zk_SetImagePos", "zk_SetImagePos", "zk_SetFrameRate",
        "zk_SetExposureTime", "zk_SetDisplayMode", "zk_AllocImageMem", "zk_SetImageMem", "zk_ClearSequence",
        "zk_AddToSequence", "zk_SetExternalTrigger", "zk_SetFrameRate", "zk_CaptureVideo"};
    EXPECT_EQ(calls(), expected);
    // No "UserAutoGain" in the file: automatic gain is switched on.
    const std::vector<ZkSimCall> all = journal();
    EXPECT_EQ(all[3].ints[1], ZK_SET_ENABLE_AUTO_GAIN);
    EXPECT_EQ(all[3].doubles[0], 1.0);
    EXPECT_EQ(all[2].ints[1], 11);
    EXPECT_EQ(all[2].ints[4], 14);
    EXPECT_EQ(lastCall("zk_SetFrameRate").doubles[0], 10.0);
    EXPECT_EQ(lastCall("zk_SetImageSize").ints[1], 640);
    EXPECT_EQ(camera().getWidth(), 640);
    EXPECT_EQ(camera().getHeight(), 480);
    EXPECT_EQ(camera().getBrightness(), 99);
    EXPECT_TRUE(config.getConfSaved());
}

TEST_F(CameraStartTest, IncompleteUserSizesFallBackToTheFullSensor) {
    writeFile(configPath(), readFile(configPath())
                                .replace(readFile(configPath()).find("</ZK1480-C>"), 0,
                                         "<UserMasterGain>5</UserMasterGain><UserWidth>640</UserWidth>"
                                         "<UserExposure>bad</UserExposure>"));
    Config::getInstance()->load(configPath().c_str());
    camera().init();
    EXPECT_EQ(lastCall("zk_SetImageSize").ints[1], 1280);
    EXPECT_EQ(lastCall("zk_SetImageSize").ints[2], 1024);
    EXPECT_EQ(camera().getWidth(), 1280);
    // Neither an unreadable exposure nor a missing rate is applied.
    EXPECT_EQ(zksim_JournalCount("zk_SetExposureTime"), 0);
    EXPECT_EQ(zksim_JournalCount("zk_SetFrameRate"), 0);
}

TEST_F(CameraStartTest, MonochromeCameraUsesGreyModeAndExpandsImages) {
    useCameras(monoCamera);
    camera().init();
    EXPECT_FALSE(camera().isColor());
    EXPECT_EQ(lastCall("zk_SetColorMode").ints[1], ZK_CM_MONO8);
    EXPECT_EQ(lastCall("zk_AllocImageMem").ints[3], 8);

    // At the slowest rate no new frame arrives between the two reads below.
    camera().setFrameRate(0.5);
    unsigned char* rgb = camera().getActiveImage();
    ASSERT_NE(rgb, nullptr);
    int number = 0;
    char* memory = nullptr;
    char* grey = nullptr;
    ASSERT_EQ(zk_fn70(camera().getCamHandle(), &number, &memory, &grey), 0);
    const size_t pixels = 748 * 482;
    size_t differences = 0;
    for (size_t i = 0; i < pixels; ++i)
        differences += rgb[3 * i] != static_cast<unsigned char>(grey[i]) || rgb[3 * i + 1] != rgb[3 * i] ||
                       rgb[3 * i + 2] != rgb[3 * i];
    EXPECT_EQ(differences, 0u);
    std::free(rgb);
}

TEST_F(CameraStartTest, ColourFlagFollowsEachStartedCamera) {
    useCameras(monoCamera);
    camera().init();
    EXPECT_FALSE(camera().isColor());
    // Anything after the M keeps a camera colour (its settings are missing, so the start fails).
    useCameras("[camera]\nserial = 101\nsensor = ZK5240-MX\nwidth = 752\nheight = 480\n");
    try {
        camera().init();
        ADD_FAILURE() << "no settings for ZK5240-MX";
    } catch (const PBN::Exception& e) {
        EXPECT_EQ(e.getMessage().str(), tolvaneText(64));
    }
    EXPECT_TRUE(camera().isColor());
}

TEST_F(CameraStartTest, FailingCallThrowsTextSixtyThreeWithNameAndCode) {
    zksim_InjectFailure("zk_SetGamma", ZK_INVALID_PARAMETER, 1);
    try {
        camera().init();
        ADD_FAILURE() << "no exception";
    } catch (const PBN::Exception& e) {
        EXPECT_EQ(e.getMessage().str(), "Camera error in zk_SetGamma, code 125");
        EXPECT_EQ(e.getSeverity(), PBN::Exception::SEVERE);
    }
    // The camera stays open without capture; the next start closes it first.
    EXPECT_NE(camera().getCamHandle(), 0u);
    EXPECT_EQ(zksim_JournalCount("zk_CaptureVideo"), 0);
    camera().init();
    EXPECT_EQ(zksim_JournalCount("zk_ExitCamera"), 1);
}

TEST_F(CameraStartTest, ExitClosesOnceAndDoesNothingWithoutACamera) {
    camera().exit();
    EXPECT_EQ(zksim_JournalSize(), 0);
    camera().init();
    zksim_JournalClear();
    camera().exit();
    EXPECT_EQ(calls(), (std::vector<std::string>{"zk_StopLiveVideo", "zk_FreeImageMem", "zk_ExitCamera"}));
    EXPECT_EQ(camera().getCamHandle(), 0u);
    camera().exit();
    EXPECT_EQ(zksim_JournalSize(), 3);
}

TEST_F(CameraStartTest, NoImageWithoutCameraOrAfterUnplugging) {
    EXPECT_EQ(camera().getActiveImage(), nullptr);
    useCameras(monoCamera);
    camera().init();
    ZkSimCamera sim{};
    ASSERT_EQ(zksim_GetCamera(0, &sim), 0);
    ASSERT_EQ(zksim_SetCameraConnected(sim.deviceId, 0), 0);
    EXPECT_EQ(camera().getActiveImage(), nullptr);
    // The unplugged camera counts as closed, so it can be started again once it is back.
    EXPECT_NO_THROW(camera().exit());
    EXPECT_EQ(camera().getCamHandle(), 0u);
    ASSERT_EQ(zksim_SetCameraConnected(sim.deviceId, 1), 0);
    try {
        camera().init();
    } catch (const PBN::Exception& e) {
        FAIL() << e.getMessage().str();
    }
    unsigned char* image = camera().getActiveImage();
    EXPECT_NE(image, nullptr);
    std::free(image);
}

// The viewer closes an unplugged camera once it has told so; the calls that still come (edits in
// a Properties dialog left open) say the camera is gone too, not only a bare code, until a camera
// is opened again. A camera closed by hand is not called gone.
TEST_F(CameraStartTest, CallsAfterAnUnpluggedCameraWasClosedStillSayItIsGone) {
    useCameras(monoCamera); // the only one: unplugged, no other can be started
    camera().init();
    std::string gone = tolvaneText(104);
    gone.replace(gone.find("%s"), 2, camera().getName().str());
    const auto setGainMessage = [this] {
        try {
            camera().setGain(10, 20, 30, 40);
        } catch (const PBN::Exception& e) {
            return e.getMessage().str();
        }
        return std::string("no exception");
    };
    ZkSimCamera sim{};
    ASSERT_EQ(zksim_GetCamera(0, &sim), 0);
    ASSERT_EQ(zksim_SetCameraConnected(sim.deviceId, 0), 0);
    EXPECT_EQ(setGainMessage(), "Camera error in zk_SetHardwareGain, code 1\n" + gone); // still open
    EXPECT_NO_THROW(camera().exit());
    ASSERT_EQ(camera().getCamHandle(), 0u);
    for (int edit = 0; edit < 2; ++edit)
        EXPECT_EQ(setGainMessage(), "Camera error in zk_SetHardwareGain, code 1\n" + gone) << edit;

    // Still gone when a new start finds no camera; no longer once one is open again.
    EXPECT_THROW(camera().init(), PBN::Exception);
    EXPECT_EQ(setGainMessage(), "Camera error in zk_SetHardwareGain, code 1\n" + gone);
    ASSERT_EQ(zksim_SetCameraConnected(sim.deviceId, 1), 0);
    camera().init();
    camera().exit();
    EXPECT_EQ(setGainMessage(), "Camera error in zk_SetHardwareGain, code 1");
}

TEST_F(CameraStartTest, DestroyingTheCameraSwallowsCloseFailures) {
    camera().init();
    zksim_InjectFailure("zk_StopLiveVideo", ZK_IO_REQUEST_FAILED, 0);
    EXPECT_NO_THROW(delete Camera::getInstance());
    zksim_ClearFailures();
}

} // namespace
} // namespace tvmtest
