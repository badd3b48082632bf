#include "tolvane/tests/ViewerTestSupport.h"

#include "platform/zeko/zeko_api.h"
#include "platform/zeko/zeko_sim_control.h"
#include "tolvane/properties/GainTab.h"
#include "tolvane/properties/ImageSizeTab.h"
#include "tolvane/properties/PropertiesDialog.h"
#include "tolvane/properties/SaveTab.h"
#include "tolvane/properties/Slider.h"
#include "tolvane/properties/TimingTab.h"
#include "tolvane/properties/WhiteTab.h"
#include "tolvane_model/Camera.h"
#include "tolvane_model/Config.h"

#include <string>

using namespace Tolvane;
using namespace Tolvane::Properties;
using namespace Tolvane::test;
using Tolvane_model::Camera;

namespace {

// Journal entries of function that write (their first value is not the "read" code).
std::vector<ZkSimCall> writes(const char* function) {
    std::vector<ZkSimCall> found;
    for (int i = 0; i < zksim_JournalSize(); ++i) {
        ZkSimCall call;
        zksim_JournalEntry(i, &call);
        if (std::string(call.function) != function)
            continue;
        const bool read = (call.intCount > 1 && call.ints[1] >= 0x8000) ||
                          (call.doubleCount > 0 && call.doubles[0] >= 32768.0);
        if (!read)
            found.push_back(call);
    }
    return found;
}

class PropertiesTest : public ViewerTest {
protected:
    void open() {
        startLive();
        zksim_JournalClear();
        dialog = new PropertiesDialog(main);
        dialog->Show();
        pump(100);
    }
    void TearDown() override {
        if (dialog)
            dialog->Destroy();
        pump(20);
        ViewerTest::TearDown();
    }
    void click(wxWindow* window, int id) {
        wxCommandEvent event(wxEVT_BUTTON, id);
        event.SetEventObject(window);
        window->GetEventHandler()->ProcessEvent(event);
    }
    PropertiesDialog* dialog = nullptr;
};

} // namespace

TEST_F(PropertiesTest, OpeningTheDialogChangesNothingOnTheCamera) {
    open();
    pump(200);
    EXPECT_TRUE(writes("zk_SetHardwareGain").empty());
    EXPECT_TRUE(writes("zk_SetExposureTime").empty());
    EXPECT_TRUE(writes("zk_SetBrightness").empty());
    EXPECT_EQ(zksim_JournalCount("zk_SetImageSize"), 0);
    EXPECT_EQ(dialog->GetTitle(), text(16) + wxT("Tolvane"));
    EXPECT_EQ(dialog->getNotebook()->GetPageCount(), 5u);
    EXPECT_NE(dialog->getWhiteTab(), nullptr);
}

TEST_F(PropertiesTest, GainAndExposureReachTheCamera) {
    open();
    dialog->getGainTab()->getRed()->setValue(40.7);
    pump(100);
    auto gains = writes("zk_SetHardwareGain");
    ASSERT_EQ(gains.size(), 1u);
    EXPECT_EQ(gains[0].ints[2], 40); // all four sent, as integers
    EXPECT_EQ(gains[0].ints[1], static_cast<long long>(dialog->getGainTab()->getMaster()->getValue()));

    // Typed and applied with Enter.
    Slider* exposure = dialog->getTimingTab()->getExposure();
    exposure->getValueField()->ChangeValue(wxT("12"));
    wxCommandEvent enter(wxEVT_TEXT_ENTER, exposure->getValueField()->GetId());
    enter.SetEventObject(exposure->getValueField());
    exposure->getValueField()->GetEventHandler()->ProcessEvent(enter);
    pump(100);
    auto times = writes("zk_SetExposureTime");
    ASSERT_EQ(times.size(), 1u);
    EXPECT_EQ(times[0].doubles[0], 12.0);
    EXPECT_NEAR(Camera::getInstance()->getExposure(), 12.0, 0.5);

    // Brightness goes alone.
    dialog->getGainTab()->getBrightness()->setValue(140);
    pump(100);
    ASSERT_EQ(writes("zk_SetBrightness").size(), 1u);
    EXPECT_EQ(writes("zk_SetBrightness")[0].ints[1], 140);
}

TEST_F(PropertiesTest, TheSaveTabFollowsTheSavedState) {
    open();
    SaveTab* save = dialog->getSaveTab();
    dialog->getGainTab()->getGreen()->setValue(33);
    pump(100);
    save->refresh();
    EXPECT_EQ(save->getStatus()->GetLabel(), text(81));
    EXPECT_EQ(save->getStatus()->GetForegroundColour(), *wxRED);
    click(save, SaveTab::ID_SAVE);
    EXPECT_EQ(save->getStatus()->GetLabel(), text(80));
    EXPECT_EQ(save->getStatus()->GetForegroundColour(), *wxGREEN);
    EXPECT_NE(readFile(settingsPath()).find("<UserGreenGain>33</UserGreenGain>"), std::string::npos);
    click(save, SaveTab::ID_REMOVE);
    EXPECT_EQ(readFile(settingsPath()).find("<UserGreenGain>"), std::string::npos);
    EXPECT_TRUE(boxes->messages.empty());
}

TEST_F(PropertiesTest, AutomaticGainDisablesTheMasterWhichFollowsTheCameraWithoutWriting) {
    open();
    GainTab* gain = dialog->getGainTab();
    gain->getAutoToggle()->SetValue(true);
    wxCommandEvent toggle(wxEVT_TOGGLEBUTTON, GainTab::ID_AUTO);
    toggle.SetInt(1);
    gain->GetEventHandler()->ProcessEvent(toggle);
    EXPECT_FALSE(gain->getMaster()->IsEnabled());
    EXPECT_TRUE(Camera::getInstance()->isGainAuto());
    zk_SetHardwareGain(Camera::getInstance()->getCamHandle(), 70, 10, 10, 10);
    zksim_JournalClear();
    pump(300);
    EXPECT_EQ(gain->getMaster()->getValue(), 70);
    EXPECT_TRUE(writes("zk_SetHardwareGain").empty()); // following never writes back
    const int reads = zksim_JournalCount("zk_SetHardwareGain");
    pump(300);
    EXPECT_LT(zksim_JournalCount("zk_SetHardwareGain") - reads, 200); // no busy loop
}

TEST_F(PropertiesTest, FrameRateApplySetsTheExposureRange) {
    open();
    TimingTab* timing = dialog->getTimingTab();
    timing->getRateField()->ChangeValue(wxT("10"));
    click(timing, TimingTab::ID_APPLY);
    EXPECT_EQ(timing->getRateField()->GetValue(), wxT("10"));
    EXPECT_EQ(timing->getExposure()->getMax(), 100);
    EXPECT_EQ(timing->getExposure()->getMaxLabel()->GetLabel(), wxT("100"));
    // A rate the camera reports as 0 keeps the last range.
    zksim_InjectFailure("zk_SetFrameRate", 0, 1);
    timing->getRateField()->ChangeValue(wxT("abc"));
    click(timing, TimingTab::ID_APPLY);
    EXPECT_GT(timing->getExposure()->getMax(), 0);
}

TEST_F(PropertiesTest, WhiteBalanceButtonTogglesItsLabel) {
    open();
    WhiteTab* white = dialog->getWhiteTab();
    ASSERT_NE(white, nullptr);
    EXPECT_EQ(white->getButton()->GetLabel(), text(72));
    click(white, WhiteTab::ID_START_STOP);
    EXPECT_EQ(white->getButton()->GetLabel(), text(71));
    EXPECT_TRUE(white->isRunning());
    click(white, WhiteTab::ID_START_STOP);
    EXPECT_EQ(white->getButton()->GetLabel(), text(72));
}

TEST_F(PropertiesTest, ImageSizeIsBoundedAndReachesTheCamera) {
    open();
    ImageSizeTab* size = dialog->getImageSizeTab();
    EXPECT_EQ(size->getWidthSlider()->getMinLabel()->GetLabel(), wxT("32"));
    EXPECT_EQ(size->getWidthSlider()->getMaxLabel()->GetLabel(), wxT("1280"));
    size->getWidthSlider()->setValue(10); // below the minimum
    pump(100);
    EXPECT_EQ(size->getWidthSlider()->getValue(), 32);
    EXPECT_EQ(Camera::getInstance()->getWidth(), 32);
    size->getWidthSlider()->setValue(640);
    pump(100);
    EXPECT_EQ(Camera::getInstance()->getWidth(), 640);
    click(size, ImageSizeTab::ID_DEFAULTS);
    EXPECT_EQ(Camera::getInstance()->getWidth(), 1280);
    EXPECT_EQ(size->getWidthSlider()->getValue(), 1280);
}

TEST_F(PropertiesTest, ClosingDuringTheClockSearchIsSafe) {
    open();
    zksim_SetDelays(800, 0);
    click(dialog->getTimingTab(), TimingTab::ID_OPTIMIZE);
    EXPECT_TRUE(dialog->getTimingTab()->isOptimizing());
    EXPECT_EQ(dialog->getTimingTab()->getRateField()->GetValue(), text(77));
    dialog->Destroy();
    dialog = nullptr;
    pump(1500);
    EXPECT_TRUE(main->isLive());
}

TEST_F(PropertiesTest, TheClockSearchEndsOnTheGuiThread) {
    open();
    zksim_SetDelays(100, 0);
    TimingTab* timing = dialog->getTimingTab();
    click(timing, TimingTab::ID_OPTIMIZE);
    EXPECT_TRUE(pumpUntil([&] { return !timing->isOptimizing(); }, 3000));
    EXPECT_NE(timing->getRateField()->GetValue(), text(77));
}

TEST_F(ViewerTest, AMonochromeCameraHasNoWhiteTabAndNoColourGains) {
    ASSERT_EQ(zksim_UseDescription("[camera]\ndevice_id = 1001\nserial = 4103900017\nsensor = ZK5240-M\n"
                                   "width = 752\nheight = 480\nmac = 02-5A-4B-00-10-01\n"),
              0)
        << zksim_DescriptionError();
    startLive();
    PropertiesDialog dialog(main);
    EXPECT_EQ(dialog.getWhiteTab(), nullptr);
    EXPECT_EQ(dialog.getNotebook()->GetPageCount(), 4u);
    EXPECT_FALSE(dialog.getGainTab()->getRed()->IsEnabled());
    EXPECT_FALSE(dialog.getGainTab()->getBlue()->IsEnabled());
    EXPECT_TRUE(dialog.getGainTab()->getMaster()->IsEnabled());
}
