#include "tolvane/tests/ViewerTestSupport.h"

#include "tolvane/res/StringIds.h"

#include "platform/zeko/zeko_api.h"
#include "platform/zeko/zeko_sim_control.h"
#include "tolvane/ViewerRules.h"
#include "tolvane/properties/GainTab.h"
#include "tolvane/properties/ImageSizeTab.h"
#include "tolvane/properties/PropertiesDialog.h"
#include "tolvane/properties/SaveTab.h"
#include "tolvane/properties/Slider.h"
#include "tolvane/properties/TimingTab.h"
#include "tolvane/properties/WhiteTab.h"
#include "tolvane_model/Camera.h"
#include "tolvane_model/Config.h"

#include <cstdio>
#include <string>
#include <utility>
#include <vector>
#include <wx/uiaction.h>

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
    EXPECT_EQ(dialog->GetTitle(), text(ids::PropertiesTitle) + wxT("Tolvane"));
    EXPECT_EQ(dialog->getNotebook()->GetPageCount(), 5u);
    EXPECT_NE(dialog->getWhiteTab(), nullptr);
}

TEST_F(PropertiesTest, GainAndExposureReachTheCamera) {
    open();
    GainTab* gain = dialog->getGainTab();
    gain->getRed()->setValue(40.7);
    pump(100);
    auto gains = writes("zk_SetHardwareGain");
    ASSERT_EQ(gains.size(), 1u);
    EXPECT_EQ(gains[0].ints[2], 40); // all four sent, as integers
    EXPECT_EQ(gains[0].ints[1], static_cast<long long>(gain->getMaster()->getValue()));
    // Each colour's slider goes to its own gain.
    gain->getGreen()->setValue(50);
    gain->getBlue()->setValue(60);
    pump(100);
    gains = writes("zk_SetHardwareGain");
    ASSERT_EQ(gains.size(), 3u);
    EXPECT_EQ(gains[2].ints[2], 40);
    EXPECT_EQ(gains[2].ints[3], 50);
    EXPECT_EQ(gains[2].ints[4], 60);
    EXPECT_EQ(Camera::getInstance()->getRedGain(), 40);
    EXPECT_EQ(Camera::getInstance()->getGreenGain(), 50);
    EXPECT_EQ(Camera::getInstance()->getBlueGain(), 60);

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

// After the message that the camera was unplugged, an edit in the dialog left open says so too,
// not only the failed call's name and code.
TEST_F(PropertiesTest, AnEditAfterTheCameraWasUnpluggedSaysItIsGone) {
    open();
    ZkSimCamera camera{};
    ASSERT_EQ(zksim_GetCamera(0, &camera), 0);
    ASSERT_EQ(zksim_SetCameraConnected(camera.deviceId, 0), 0);
    pumpUntil([&] { return !main->isLive(); }, 2000);
    pump(200);
    ASSERT_FALSE(main->isLive());
    ASSERT_EQ(boxes->messages.size(), 1u);
    wxString gone = text(ids::CameraGone);
    gone.Replace(wxT("%s"), Camera::getInstance()->getName().wxstr());
    dialog->getGainTab()->getRed()->setValue(45);
    pump(100);
    zksim_SetCameraConnected(camera.deviceId, 1);
    ASSERT_EQ(boxes->messages.size(), 2u);
    EXPECT_TRUE(boxes->messages[1].Contains(wxT("zk_SetHardwareGain"))) << boxes->messages[1];
    EXPECT_TRUE(boxes->messages[1].Contains(gone)) << boxes->messages[1];
}

TEST_F(PropertiesTest, TheSaveTabFollowsTheSavedState) {
    open();
    SaveTab* save = dialog->getSaveTab();
    dialog->getGainTab()->getGreen()->setValue(33);
    pump(100);
    save->refresh();
    EXPECT_EQ(save->getStatus()->GetLabel(), text(ids::SettingsNotSaved));
    EXPECT_EQ(save->getStatus()->GetForegroundColour(), *wxRED);
    click(save, SaveTab::ID_SAVE);
    EXPECT_EQ(save->getStatus()->GetLabel(), text(ids::SettingsSaved));
    EXPECT_EQ(save->getStatus()->GetForegroundColour(), ViewerRules::savedColour());
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
    EXPECT_EQ(white->getButton()->GetLabel(), text(ids::Start));
    click(white, WhiteTab::ID_START_STOP);
    EXPECT_EQ(white->getButton()->GetLabel(), text(ids::Stop));
    EXPECT_TRUE(white->isRunning());
    click(white, WhiteTab::ID_START_STOP);
    EXPECT_EQ(white->getButton()->GetLabel(), text(ids::Start));
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
    EXPECT_EQ(dialog->getTimingTab()->getRateField()->GetValue(), text(ids::Optimising));
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
    EXPECT_NE(timing->getRateField()->GetValue(), text(ids::Optimising));
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

namespace {

void enter(Slider* slider, const wxString& typed) {
    slider->getValueField()->ChangeValue(typed);
    wxCommandEvent event(wxEVT_TEXT_ENTER, slider->getValueField()->GetId());
    event.SetEventObject(slider->getValueField());
    slider->getValueField()->GetEventHandler()->ProcessEvent(event);
}

} // namespace

// In French a rate is typed "12,5": the camera gets 12.5 im/s, as with "12.5", and the field
// shows it with a comma; text that is no number still applies 0.
TEST_F(PropertiesTest, NumbersAreReadWithACommaOrAPointAndShownWithTheLanguagesSeparator) {
    command(MainWnd::ID_FRENCH);
    open();
    TimingTab* timing = dialog->getTimingTab();
    for (const wxString& typed : {wxString(wxT("12,5")), wxString(wxT("12.5"))}) {
        timing->getRateField()->ChangeValue(typed);
        click(timing, TimingTab::ID_APPLY);
        EXPECT_EQ(writes("zk_SetFrameRate").back().doubles[0], 12.5) << typed;
        const double rate = Camera::getInstance()->getFrameRate();
        EXPECT_NEAR(rate, 12.5, 0.1) << typed;
        EXPECT_EQ(timing->getRateField()->GetValue(), ViewerRules::numberText(rate, wxT(',')));
    }
    EXPECT_TRUE(timing->getRateField()->GetValue().Contains(wxT(",")) ||
                timing->getRateField()->GetValue() == wxT("12") ||
                timing->getRateField()->GetValue() == wxT("13"));
    timing->getRateField()->ChangeValue(wxT("abc"));
    click(timing, TimingTab::ID_APPLY);
    EXPECT_EQ(writes("zk_SetFrameRate").back().doubles[0], 0.0);

    Slider* exposure = timing->getExposure();
    timing->getRateField()->ChangeValue(wxT("10"));
    click(timing, TimingTab::ID_APPLY);
    for (const wxString& typed : {wxString(wxT("12,5")), wxString(wxT("13.5"))}) {
        zksim_JournalClear();
        enter(exposure, typed);
        pump(100);
        ASSERT_EQ(writes("zk_SetExposureTime").size(), 1u) << typed;
        EXPECT_EQ(writes("zk_SetExposureTime")[0].doubles[0], typed == wxT("12,5") ? 12.0 : 13.0);
    }
    zksim_JournalClear();
    enter(exposure, wxT("abc"));
    pump(100);
    EXPECT_TRUE(writes("zk_SetExposureTime").empty());

    command(MainWnd::ID_ENGLISH);
    timing->getRateField()->ChangeValue(wxT("12,5"));
    click(timing, TimingTab::ID_APPLY);
    EXPECT_EQ(timing->getRateField()->GetValue(),
              ViewerRules::numberText(Camera::getInstance()->getFrameRate(), '.'));
    EXPECT_TRUE(boxes->messages.empty());
}

// The camera rounds the area to its steps: the fields show what it took, not what was typed.
TEST_F(PropertiesTest, TheAreaFieldsShowWhatTheCameraTook) {
    open();
    ImageSizeTab* size = dialog->getImageSizeTab();
    enter(size->getWidthSlider(), wxT("641"));
    pump(100);
    enter(size->getHeightSlider(), wxT("481"));
    pump(100);
    Camera* camera = Camera::getInstance();
    EXPECT_LT(camera->getWidth(), 641);
    EXPECT_LT(camera->getHeight(), 481);
    EXPECT_EQ(size->getWidthSlider()->getValueField()->GetValue(),
              wxString::Format(wxT("%d"), camera->getWidth()));
    EXPECT_EQ(size->getHeightSlider()->getValueField()->GetValue(),
              wxString::Format(wxT("%d"), camera->getHeight()));
    EXPECT_EQ(size->getWidthSlider()->getValue(), camera->getWidth());
}

TEST_F(PropertiesTest, TheRateFieldShowsTheClockSearchTextWholeSavedIsReadableAndNoTabIsSqueezed) {
    for (const int language : {MainWnd::ID_FRENCH, MainWnd::ID_ENGLISH}) {
        command(language);
        open();
        wxTextCtrl* rate = dialog->getTimingTab()->getRateField();
        EXPECT_GE(rate->GetClientSize().GetWidth(), rate->GetTextExtent(text(ids::Optimising)).GetWidth())
            << text(ids::Optimising);
        SaveTab* save = dialog->getSaveTab();
        click(save, SaveTab::ID_SAVE);
        EXPECT_EQ(save->getStatus()->GetForegroundColour(), ViewerRules::savedColour());
        EXPECT_GE(ViewerRules::contrastRatio(save->getStatus()->GetForegroundColour(),
                                             save->getStatus()->GetBackgroundColour()),
                  4.5);
        click(save, SaveTab::ID_REMOVE);
        // Made smaller than its contents, it keeps the room every tab needs.
        dialog->SetSize(300, 200);
        pump(100);
        for (size_t page = 0; page < dialog->getNotebook()->GetPageCount(); ++page) {
            const wxWindow* tab = dialog->getNotebook()->GetPage(page);
            EXPECT_GE(tab->GetSize().GetHeight(), tab->GetBestSize().GetHeight()) << page;
            EXPECT_GE(tab->GetSize().GetWidth(), tab->GetBestSize().GetWidth()) << page;
        }
        dialog->Destroy();
        dialog = nullptr;
        pump(20);
        command(MainWnd::ID_LIVE); // off: open() starts it again
    }
}

namespace {

// Returns the code the modal dialog ended with after Escape; 0 when Escape left it open (the
// dialog is then ended by force).
int escapeFromModal(wxDialog* dialog) {
    dialog->CallAfter([dialog] { pressEscape(dialog); });
    wxTimer stuck;
    stuck.Bind(wxEVT_TIMER, [dialog](wxTimerEvent&) {
        if (dialog->IsModal())
            dialog->EndModal(0);
    });
    stuck.StartOnce(3000);
    return dialog->ShowModal();
}

} // namespace

// Ctrl+Tab and Ctrl+Page Down go to the next tab, Ctrl+Shift+Tab and Ctrl+Page Up back, pressed
// on the keyboard while a field inside a tab has the focus, as on the desktop.
TEST_F(PropertiesTest, CtrlTabAndCtrlPageKeysChangeTheTabFromAnyControl) {
    open();
    ASSERT_TRUE(waitForKeyboard(dialog));
    wxAuiNotebook* notebook = dialog->getNotebook();
    wxWindow* field = dialog->getGainTab()->getMaster()->getValueField();
    field->SetFocus();
    ASSERT_TRUE(pumpUntil([&] { return wxWindow::FindFocus() == field; }, 3000));
    wxUIActionSimulator keys;
    std::vector<int> tabs;
    for (const auto& [key, modifiers] :
         std::vector<std::pair<int, int>>{{WXK_TAB, wxMOD_CONTROL},
                                          {WXK_PAGEDOWN, wxMOD_CONTROL},
                                          {WXK_TAB, wxMOD_CONTROL | wxMOD_SHIFT},
                                          {WXK_PAGEUP, wxMOD_CONTROL},
                                          {WXK_PAGEUP, wxMOD_CONTROL}}) {
        const int before = notebook->GetSelection();
        keys.Char(key, modifiers);
        // Each key changes the tab; a slow machine (the race checks) can take longer than a
        // person would notice to deliver it.
        pumpUntil([&] { return notebook->GetSelection() != before; }, 3000);
        pump(50);
        tabs.push_back(notebook->GetSelection());
    }
    const int last = static_cast<int>(notebook->GetPageCount()) - 1;
    EXPECT_EQ(tabs, (std::vector<int>{1, 2, 1, 0, last}));
    EXPECT_TRUE(dialog->IsShown());
}

TEST_F(PropertiesTest, EscapeOrItsButtonClosesTheDialog) {
    startLive();
    dialog = new PropertiesDialog(main);
    EXPECT_NE(escapeFromModal(dialog), 0);
    wxWindow* close = dialog->FindWindow(wxID_CLOSE);
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->GetLabel(), text(ids::Close));
    dialog->CallAfter([close] {
        wxCommandEvent click(wxEVT_BUTTON, wxID_CLOSE);
        click.SetEventObject(close);
        close->GetEventHandler()->ProcessEvent(click);
    });
    wxTimer stuck;
    stuck.Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
        if (dialog->IsModal())
            dialog->EndModal(0);
    });
    stuck.StartOnce(3000);
    EXPECT_NE(dialog->ShowModal(), 0);
}

// Every tab shows whole in either language, the longer French too.
TEST_F(PropertiesTest, EveryTabFitsInBothLanguages) {
    wxSize sizes[2];
    int i = 0;
    for (const int language : {MainWnd::ID_FRENCH, MainWnd::ID_ENGLISH}) {
        command(language);
        open();
        wxAuiNotebook* notebook = dialog->getNotebook();
        for (size_t page = 0; page < notebook->GetPageCount(); ++page) {
            notebook->SetSelection(page);
            pump(30);
            wxWindow* tab = notebook->GetPage(page);
            const wxSize best = tab->GetBestSize(), got = tab->GetClientSize();
            EXPECT_GE(got.GetWidth(), best.GetWidth()) << notebook->GetPageText(page);
            EXPECT_GE(got.GetHeight(), best.GetHeight()) << notebook->GetPageText(page);
        }
        wxWindow* defaults = dialog->getGainTab()->FindWindow(GainTab::ID_DEFAULTS);
        ASSERT_NE(defaults, nullptr);
        EXPECT_GE(defaults->GetSize().GetWidth(), defaults->GetBestSize().GetWidth());
        EXPECT_LE(defaults->GetRect().GetBottom(), dialog->getGainTab()->GetClientSize().GetHeight());
        sizes[i++] = dialog->GetSize();
        dialog->Destroy();
        dialog = nullptr;
        pump(20);
        command(MainWnd::ID_LIVE); // off: open() starts it again
    }
    std::printf("Properties: French %dx%d, English %dx%d\n", sizes[0].x, sizes[0].y, sizes[1].x, sizes[1].y);
}
