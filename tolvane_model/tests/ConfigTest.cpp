// The settings object over res/config.xml: lookups, conversions, the write step and its failures.

#include "tolvane_model/tests/ModelTestSupport.h"

#include "pemblon/core/Exception.h"
#include "pemblon/xml/XMLException.h"

#include <climits>

using PBN::Strings::ostring;
using Tolvane_model::Config;

namespace tvmtest {
namespace {

class ConfigTest : public ModelTest {
protected:
    Config& config() { return *Config::getInstance(); }
    // Replaces the settings file with one camera element "CAM" and loads it.
    void loadCamera(const std::string& children) {
        writeFile(configPath(), configWith("CAM", children));
        config().load(configPath().c_str());
    }
};

// Runs `call` and expects the settings error: text 64, SEVERE.
template <class F> void expectSettingsError(F call) {
    try {
        call();
        ADD_FAILURE() << "no exception";
    } catch (const PBN::Exception& e) {
        EXPECT_EQ(e.getMessage().str(), tolvaneText(64));
        EXPECT_EQ(e.getSeverity(), PBN::Exception::SEVERE);
    }
}

TEST_F(ConfigTest, ShippedFileServesBothDefaultCamerasWithEveryFactoryValue) {
    for (const char* camera : {"ZK1480-C", "ZK5240-M"}) {
        SCOPED_TRACE(camera);
        EXPECT_EQ(config().getMasterGain(camera), 0);
        EXPECT_NO_THROW(config().getRedGain(camera));
        EXPECT_NO_THROW(config().getGreenGain(camera));
        EXPECT_NO_THROW(config().getBlueGain(camera));
        EXPECT_FALSE(config().getAutoGain(camera));
        EXPECT_EQ(config().getBrightness(camera), 128);
        EXPECT_DOUBLE_EQ(config().getExposure(camera), 20.0);
        EXPECT_EQ(config().getClock(camera), 30);
        EXPECT_EQ(config().getGamma(camera), 100);
        EXPECT_TRUE(config().getBLEnable(camera));
        EXPECT_NO_THROW(config().getBlackLevel(camera));
        EXPECT_NO_THROW(config().getColorMode(camera));
        EXPECT_NO_THROW(config().getColorCorrection(camera));
        EXPECT_FALSE(config().isUserDefined(camera));
    }
    // Names are found ignoring case.
    EXPECT_EQ(config().getClock("zk1480-c"), 30);
    EXPECT_EQ(config().getLanguage().str(), "French");
}

TEST_F(ConfigTest, AutoGainTrueInAnyCaseMakesTheMasterGainAutomaticButOneDoesNot) {
    loadCamera("<MasterGain>42</MasterGain><AutoGain>TRUE</AutoGain>");
    EXPECT_EQ(config().getMasterGain("CAM"), -1);
    loadCamera("<MasterGain>42</MasterGain><AutoGain>1</AutoGain>");
    EXPECT_EQ(config().getMasterGain("CAM"), 42);
    EXPECT_TRUE(config().getAutoGain("CAM"));
    loadCamera("<MasterGain>42</MasterGain>");
    EXPECT_EQ(config().getMasterGain("CAM"), 42);
}

TEST_F(ConfigTest, MissingCameraOrBadFactoryValueThrowsTheSettingsError) {
    loadCamera("<MasterGain>12abc</MasterGain><RedGain></RedGain><Exposure>x</Exposure>");
    expectSettingsError([&] { config().getMasterGain("CAM"); });
    expectSettingsError([&] { config().getRedGain("CAM"); });
    expectSettingsError([&] { config().getExposure("CAM"); });
    expectSettingsError([&] { config().getGamma("CAM"); });
    expectSettingsError([&] { config().getBLEnable("CAM"); });
    expectSettingsError([&] { config().getClock("OTHER"); });
    expectSettingsError([&] { config().isUserDefined("OTHER"); });
    long value = 7;
    expectSettingsError([&] { config().getUserMasterGain("OTHER", value); });
    expectSettingsError([&] { config().setUserMasterGain("OTHER", 1); });
    writeFile(configPath(), "<Tolvane><Language>English</Language></Tolvane>");
    config().load(configPath().c_str());
    expectSettingsError([&] { config().getClock("CAM"); });
}

TEST_F(ConfigTest, UserGettersReportMissingOrBadValuesAndLeaveTheOutput) {
    loadCamera(
        "<UserMasterGain>12abc</UserMasterGain><UserRedGain></UserRedGain><UserBlueGain>9</UserBlueGain>"
        "<UserWidth>640</UserWidth><UserAutoGain>no</UserAutoGain><UserExposure>2.5</UserExposure>");
    long value = 7;
    EXPECT_FALSE(config().getUserMasterGain("CAM", value));
    EXPECT_FALSE(config().getUserRedGain("CAM", value));
    EXPECT_FALSE(config().getUserGreenGain("CAM", value));
    EXPECT_EQ(value, 7);
    EXPECT_TRUE(config().getUserBlueGain("CAM", value));
    EXPECT_EQ(value, 9);
    int width = 1, height = 2;
    EXPECT_FALSE(config().getUserSizes("CAM", width, height));
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 2);
    bool autoGain = true;
    EXPECT_TRUE(config().getUserAutoGain("CAM", autoGain));
    EXPECT_FALSE(autoGain);
    double exposure = 0.0, rate = 3.0;
    EXPECT_TRUE(config().getUserExposure("CAM", exposure));
    EXPECT_DOUBLE_EQ(exposure, 2.5);
    EXPECT_FALSE(config().getUserFramerate("CAM", rate));
    EXPECT_DOUBLE_EQ(rate, 3.0);
}

TEST_F(ConfigTest, UserSettersAppendOnceAndRewriteTheFile) {
    config().setUserMasterGain("ZK1480-C", 33);
    config().setUserMasterGain("ZK1480-C", 34);
    config().setUserSizes("ZK1480-C", 640, 480);
    config().setUserFramerate("ZK1480-C", 12.5);
    config().setUserAutoGain("ZK1480-C", false);

    Config reread(config());
    reread.load(configPath().c_str());
    long master = 0;
    ASSERT_TRUE(reread.getUserMasterGain("ZK1480-C", master));
    EXPECT_EQ(master, 34);
    int width = 0, height = 0;
    ASSERT_TRUE(reread.getUserSizes("ZK1480-C", width, height));
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480);
    double rate = 0.0;
    ASSERT_TRUE(reread.getUserFramerate("ZK1480-C", rate));
    EXPECT_DOUBLE_EQ(rate, 12.5);
    EXPECT_TRUE(reread.isUserDefined("ZK1480-C"));
    EXPECT_FALSE(reread.isUserDefined("ZK5240-M"));

    // Appended after the factory values, in the order written, each once.
    const std::string text = readFile(configPath());
    const size_t factory = text.find("<ColorCorrection>");
    const size_t gain = text.find("<UserMasterGain>34</UserMasterGain>");
    const size_t w = text.find("<UserWidth>640</UserWidth>");
    const size_t h = text.find("<UserHeight>480</UserHeight>");
    ASSERT_NE(gain, std::string::npos);
    EXPECT_LT(factory, gain);
    EXPECT_LT(gain, w);
    EXPECT_LT(w, h);
    EXPECT_EQ(text.find("<UserMasterGain>", gain + 1), std::string::npos);
}

TEST_F(ConfigTest, WrittenFileLoadsAndRewritesToTheSameBytes) {
    config().setUserSizes("ZK5240-M", 320, 240);
    config().setLanguage("English");
    const std::string first = readFile(configPath());
    config().load(configPath().c_str());
    config().setLanguage("English");
    EXPECT_EQ(readFile(configPath()), first);
    EXPECT_NE(first.find("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"), std::string::npos);
}

TEST_F(ConfigTest, ClearUserSettingsRemovesOnlyNamesBeginningWithUserInThatCase) {
    loadCamera("<UserWidth>1</UserWidth><MasterGain>5</MasterGain><UserMasterGain>3</UserMasterGain>"
               "<userRedGain>4</userRedGain><UserAnything>x</UserAnything><Gamma>1</Gamma>");
    EXPECT_TRUE(config().isUserDefined("CAM"));
    EXPECT_TRUE(config().clearUserSettings("CAM"));
    EXPECT_FALSE(config().isUserDefined("CAM"));
    EXPECT_EQ(config().getMasterGain("CAM"), 5);
    EXPECT_EQ(config().getGamma("CAM"), 1);
    long red = 0;
    EXPECT_TRUE(config().getUserRedGain("CAM", red)); // found ignoring case, kept by the exact removal
    const std::string text = readFile(configPath());
    EXPECT_EQ(text.find("UserWidth"), std::string::npos);
    EXPECT_EQ(text.find("UserAnything"), std::string::npos);
}

TEST_F(ConfigTest, LanguageIsEscapedAndDefaultsToFrenchWithoutWriting) {
    writeFile(configPath(),
              "<?xml version=\"1.0\"?>\n<Tolvane><CameraSettings><CAM/></CameraSettings></Tolvane>\n");
    config().load(configPath().c_str());
    const std::string before = readFile(configPath());
    EXPECT_EQ(config().getLanguage().str(), "French");
    EXPECT_EQ(readFile(configPath()), before);
    config().setLanguage("Fish & Chips");
    EXPECT_NE(readFile(configPath()).find("Fish &amp; Chips"), std::string::npos);
    config().load(configPath().c_str());
    EXPECT_EQ(config().getLanguage().str(), "Fish & Chips");
}

TEST_F(ConfigTest, RecordingValuesAreSavedInOrderCutAndReset) {
    EXPECT_FALSE(config().isUserRecordingDefined());
    EXPECT_EQ(config().getAviUserLength(), 0);
    EXPECT_EQ(config().getAviUserReplayFrameRate(), 0);
    config().setRecordConfSaved(false);
    config().saveUserRecordSettings(12.9, -1.0, 2048.0, 25);
    EXPECT_TRUE(config().getRecordConfSaved());
    EXPECT_TRUE(config().isUserRecordingDefined());
    EXPECT_EQ(config().getAviUserLength(), 12);
    EXPECT_EQ(config().getAviUserFrameRate(), -1);
    EXPECT_EQ(config().getAviUserMaxSize(), 2048);
    EXPECT_EQ(config().getAviUserReplayFrameRate(), 25);
    const std::string text = readFile(configPath());
    EXPECT_LT(text.find("AviUserLength"), text.find("AviUserFrameRate"));
    EXPECT_LT(text.find("AviUserFrameRate"), text.find("AviUserMaxSize"));
    EXPECT_LT(text.find("AviUserMaxSize"), text.find("AviUserReplayFrameRate"));
    EXPECT_GT(text.find("AviUserLength"), text.find("</CameraSettings>"));

    // Doubles beyond the range of long are held at its ends, not converted out of range.
    config().saveUserRecordSettings(1e300, -1e300, 2048.0, 25);
    EXPECT_EQ(config().getAviUserLength(), LONG_MAX);
    EXPECT_EQ(config().getAviUserFrameRate(), LONG_MIN);

    config().setRecordConfSaved(false);
    config().resetUserRecordSettings();
    EXPECT_TRUE(config().getRecordConfSaved());
    EXPECT_FALSE(config().isUserRecordingDefined());
    EXPECT_EQ(readFile(configPath()).find("AviUser"), std::string::npos);
}

// A file that could not be written is reported as such, with its path, after text 64: it is
// whole, only its folder refuses it.
template <class F> void expectWriteError(F call, const std::string& path) {
    std::string reason = tolvaneText(107);
    ASSERT_NE(reason.find("%s"), std::string::npos);
    reason.replace(reason.find("%s"), 2, path);
    try {
        call();
        ADD_FAILURE() << "no exception";
    } catch (const PBN::Exception& e) {
        EXPECT_EQ(e.getMessage().str(), tolvaneText(64) + "\n" + reason);
        EXPECT_EQ(e.getSeverity(), PBN::Exception::SEVERE);
    }
}

TEST_F(ConfigTest, FailedWriteIsReportedAndNeverShownAsSaved) {
    config().setRecordConfSaved(false);
    // The folder disappears under the program: the file cannot be replaced any more.
    ASSERT_EQ(std::system(("rm -rf '" + dir_ + "'").c_str()), 0);
    expectWriteError([&] { config().setUserMasterGain("ZK1480-C", 3); }, configPath());
    expectWriteError([&] { config().saveUserRecordSettings(1, 2, 3, 4); }, configPath());
    EXPECT_FALSE(config().getRecordConfSaved());
    expectWriteError([&] { config().clearUserSettings("ZK1480-C"); }, configPath());
    expectWriteError([&] { config().resetUserRecordSettings(); }, configPath());
    EXPECT_FALSE(config().getRecordConfSaved());
    // The language is written at every start; a read-only installation still starts.
    EXPECT_NO_THROW(config().setLanguage("English"));
}

TEST_F(ConfigTest, FailedLoadKeepsTheDocumentAndNothingIsCreated) {
    EXPECT_THROW(config().load((dir_ + "/missing.xml").c_str()), PBN::XML::XMLException);
    EXPECT_EQ(config().getClock("ZK1480-C"), 30);
    EXPECT_NE(std::system(("test -e '" + dir_ + "/missing.xml'").c_str()), 0);
}

TEST_F(ConfigTest, UnloadedSettingsFailPerCameraAndGiveDefaults) {
    delete Config::getInstance();
    Config& fresh = *Config::getInstance();
    EXPECT_TRUE(fresh.getConfSaved());
    expectSettingsError([&] { fresh.getClock("ZK1480-C"); });
    EXPECT_EQ(fresh.getLanguage().str(), "French");
    EXPECT_EQ(fresh.getAviUserMaxSize(), 0);
}

} // namespace
} // namespace tvmtest
