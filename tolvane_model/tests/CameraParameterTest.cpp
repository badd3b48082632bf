// Camera parameters: what each getter and setter asks of the camera, the area of interest, the
// saved mark, and storing and dropping the user settings.

#include "tolvane_model/tests/ModelTestSupport.h"

#include "pemblon/core/Exception.h"

using Tolvane_model::Camera;
using Tolvane_model::Config;

namespace tvmtest {
namespace {

class CameraParameterTest : public ModelTest {
protected:
    void SetUp() override {
        ModelTest::SetUp();
        camera().init();
        zksim_JournalClear();
    }
    Camera& camera() { return *Camera::getInstance(); }
    Config& config() { return *Config::getInstance(); }
};

TEST_F(CameraParameterTest, SettersReachTheCameraAndGettersReadItBack) {
    camera().setGain(10, 20, 30, 40);
    EXPECT_EQ(camera().getGain(), 10);
    EXPECT_EQ(camera().getRedGain(), 20);
    EXPECT_EQ(camera().getGreenGain(), 30);
    EXPECT_EQ(camera().getBlueGain(), 40);
    EXPECT_EQ(lastCall("zk_SetHardwareGain").ints[1], ZK_GET_BLUE_GAIN);

    camera().setBrightness(77);
    EXPECT_EQ(camera().getBrightness(), 77);
    EXPECT_EQ(lastCall("zk_SetBrightness").ints[1], ZK_GET_CURRENT);

    camera().setAutoGain(true);
    EXPECT_TRUE(camera().isGainAuto());
    EXPECT_EQ(lastCall("zk_SetAutoParameter").ints[1], ZK_GET_ENABLE_AUTO_GAIN);
    camera().setAutoGain(false);
    EXPECT_FALSE(camera().isGainAuto());

    camera().setExposure(12.5);
    EXPECT_NEAR(camera().getExposure(), 12.5, 0.05);
    EXPECT_EQ(lastCall("zk_SetExposureTime").doubles[0], ZK_GET_EXPOSURE_TIME);
    camera().setFrameRate(8.0);
    EXPECT_NEAR(camera().getFrameRate(), 8.0, 0.01);
    EXPECT_EQ(lastCall("zk_SetFrameRate").doubles[0], ZK_GET_FRAMERATE);

    camera().doWhiteBalance();
    EXPECT_EQ(lastCall("zk_SetAutoParameter").ints[1], ZK_SET_ENABLE_AUTO_WHITEBALANCE);
    EXPECT_EQ(lastCall("zk_SetAutoParameter").doubles[0], 1.0);
    camera().stopWhiteBalance();
    EXPECT_EQ(lastCall("zk_SetAutoParameter").doubles[0], 0.0);

    camera().setAOI(640, 480);
    camera().setDefaultAOI();
    const ZkSimCall aoi = lastCall("zk_SetAOI");
    EXPECT_EQ(aoi.ints[1], ZK_SET_AOI);
    EXPECT_EQ(camera().getWidth(), 1280);
    EXPECT_EQ(camera().getHeight(), 1024);
    EXPECT_EQ(camera().getPosX(), 0);
    EXPECT_EQ(camera().getPosY(), 0);
}

TEST_F(CameraParameterTest, AreaIsRoundedToTheStepsCentredAndKeepsExposureAndRate) {
    camera().setFrameRate(7.0);
    camera().setExposure(9.0);
    const double rate = camera().getFrameRate();
    const double exposure = camera().getExposure();
    camera().setAOI(1001, 601);
    EXPECT_EQ(lastCall("zk_SetImageSize").ints[1], 1000);
    EXPECT_EQ(lastCall("zk_SetImageSize").ints[2], 600);
    EXPECT_EQ(camera().getWidth(), 1000);
    EXPECT_EQ(camera().getHeight(), 600);
    EXPECT_EQ(camera().getPosX(), 140);
    EXPECT_EQ(camera().getPosY(), 212);
    EXPECT_DOUBLE_EQ(camera().getFrameRate(), rate);
    EXPECT_DOUBLE_EQ(camera().getExposure(), exposure);
}

TEST_F(CameraParameterTest, StepsOfZeroCountAsOne) {
    zksim_InjectFailure("zk_SetImagePos", 0, 0);
    EXPECT_NO_THROW(camera().setAOI(1001, 601));
    zksim_ClearFailures();
    EXPECT_EQ(lastCall("zk_SetImageSize").ints[1], 1001);
    EXPECT_EQ(lastCall("zk_SetImageSize").ints[2], 601);
}

TEST_F(CameraParameterTest, SavedMarkIsClearedOnlyByTheUserFacingSetters) {
    camera().saveUserSettings();
    EXPECT_TRUE(config().getConfSaved());
    camera().setAutoGain(true);
    camera().setDefaultGain();
    camera().setDefaultBrightness();
    EXPECT_TRUE(config().getConfSaved());
    const std::vector<std::function<void()>> changes = {
        [&] { camera().setGain(1, 2, 3, 4); },  [&] { camera().setBrightness(5); },
        [&] { camera().setExposure(6.0); },     [&] { camera().setFrameRate(7.0); },
        [&] { camera().setAOI(640, 480); },     [&] { camera().setDefaultExposure(); },
        [&] { camera().setDefaultFrameRate(); }};
    for (size_t i = 0; i < changes.size(); ++i) {
        config().setConfSaved(true);
        changes[i]();
        EXPECT_FALSE(config().getConfSaved()) << "change " << i;
    }
}

TEST_F(CameraParameterTest, AutomaticFactoryGainIsSentAsMinusOneThenSwitchedOn) {
    const std::string text = readFile(configPath());
    writeFile(configPath(), text.substr(0, text.find("<AutoGain>false</AutoGain>")) +
                                "<AutoGain>TRUE</AutoGain>" +
                                text.substr(text.find("<AutoGain>false</AutoGain>") + 26));
    config().load(configPath().c_str());
    zksim_JournalClear();
    camera().setDefaultGain();
    EXPECT_EQ(calls(), (std::vector<std::string>{"zk_SetHardwareGain", "zk_SetAutoParameter"}));
    EXPECT_EQ(lastCall("zk_SetHardwareGain").ints[1], -1);
    EXPECT_EQ(lastCall("zk_SetAutoParameter").ints[1], ZK_SET_ENABLE_AUTO_GAIN);
    EXPECT_EQ(lastCall("zk_SetAutoParameter").doubles[0], 1.0);
}

TEST_F(CameraParameterTest, GettersOfGainAndBrightnessNeverThrow) {
    camera().exit();
    EXPECT_NO_THROW(camera().getGain());
    EXPECT_NO_THROW(camera().getBrightness());
    EXPECT_THROW(camera().getFrameRate(), PBN::Exception);
}

TEST_F(CameraParameterTest, UserSettingsAreStoredInOrderAndResetToFactoryValues) {
    camera().setGain(10, 20, 30, 40);
    camera().setBrightness(50);
    camera().setAOI(640, 480);
    config().setConfSaved(false);
    camera().saveUserSettings();
    EXPECT_TRUE(config().getConfSaved());

    const std::string text = readFile(configPath());
    const char* order[] = {"<UserMasterGain>10<", "<UserRedGain>20<",     "<UserGreenGain>30<",
                           "<UserBlueGain>40<",   "<UserAutoGain>false<", "<UserBrightness>50<",
                           "<UserExposure>",      "<UserFramerate>",      "<UserWidth>640<",
                           "<UserHeight>480<"};
    size_t at = 0;
    for (const char* element : order) {
        const size_t found = text.find(element);
        ASSERT_NE(found, std::string::npos) << element;
        EXPECT_GT(found, at) << element;
        at = found;
    }

    // A restart uses them.
    camera().init();
    EXPECT_EQ(camera().getWidth(), 640);
    EXPECT_EQ(camera().getGain(), 10);

    config().setConfSaved(false);
    camera().resetUserSettings();
    EXPECT_TRUE(config().getConfSaved());
    EXPECT_FALSE(config().isUserDefined("ZK1480-C"));
    EXPECT_EQ(readFile(configPath()).find("<User"), std::string::npos);
    EXPECT_EQ(camera().getWidth(), 1280);
    EXPECT_EQ(camera().getBrightness(), 128);
}

} // namespace
} // namespace tvmtest
