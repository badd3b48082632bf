#include "tolvane/tests/ViewerTestSupport.h"

#include "platform/zeko/zeko_sim_control.h"
#include "tolvane/RecordAdvParameters.h"
#include "tolvane/RecordDialog.h"
#include "tolvane_model/Config.h"

#include <filesystem>
#include <wx/timer.h>

using namespace Tolvane;
using namespace Tolvane::test;
using Tolvane_model::Config;

namespace {

void click(wxWindow* window, int id) {
    wxCommandEvent event(wxEVT_BUTTON, id);
    event.SetEventObject(window);
    window->GetEventHandler()->ProcessEvent(event);
}

void tick(wxCheckBox* box, bool on) {
    box->SetValue(on);
    wxCommandEvent event(wxEVT_CHECKBOX, box->GetId());
    event.SetInt(on);
    event.SetEventObject(box);
    box->GetEventHandler()->ProcessEvent(event);
}

void type(wxTextCtrl* field, const wxString& value) { field->SetValue(value); } // sends the text event

std::string probe(const std::string& film) {
    return runCommand("ffprobe -v error -count_frames -select_streams v:0 -show_entries "
                      "stream=codec_type,width,height,nb_read_frames -of default=nw=1 '" +
                      film + "' 2>&1");
}

class RecordingTest : public ViewerTest {
protected:
    void SetUp() override {
        ViewerTest::SetUp();
        Config::getInstance()->resetUserRecordSettings();
        main->setLastFolder(wxString(dir));
        // A film that never ends would hang the test: the dialog is closed after 20 s at most.
        guard.Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
            if (running)
                running->EndModal(wxID_CANCEL);
        });
    }
    void TearDown() override {
        Config::getInstance()->resetUserRecordSettings();
        ViewerTest::TearDown();
    }
    // Records from the dialog as the user would; then() runs once record was pressed.
    void record(const std::string& name, std::function<void(RecordDialog&)> then) {
        main->answers.push_back({wxString(dir + "/" + name), 0});
        main->driveRecordDialog = [this, then](RecordDialog& dialog) {
            running = &dialog;
            guard.StartOnce(20000);
            then(dialog);
        };
        command(MainWnd::ID_RECORD);
        guard.Stop();
        running = nullptr;
    }
    wxTimer guard;
    RecordDialog* running = nullptr;
};

} // namespace

TEST_F(RecordingTest, AFilmOfOneSecondAtTenFramesEndsByItselfAndClosesTheDialog) {
    startLive();
    bool recording = false;
    record("film", [&](RecordDialog& dialog) {
        RecordAdvParameters* advanced = dialog.createAdvancedParameters();
        tick(advanced->lengthAutoBox(), false);
        type(advanced->lengthField(), wxT("1"));
        tick(advanced->rateAutoBox(), false);
        type(advanced->rateField(), wxT("10"));
        advanced->replayChoice()->SetStringSelection(wxT("10"));
        click(&dialog, RecordDialog::ID_RECORD);
        recording = !dialog.recordButton()->IsEnabled() && dialog.pauseButton()->IsEnabled() &&
                    dialog.stopButton()->IsEnabled();
    });
    EXPECT_TRUE(recording);
    const std::string film = dir + "/film.avi";
    ASSERT_TRUE(std::filesystem::exists(film));
    const std::string probed = probe(film);
    EXPECT_NE(probed.find("codec_type=video"), std::string::npos) << probed;
    EXPECT_NE(probed.find("width=1280"), std::string::npos) << probed;
    EXPECT_NE(probed.find("height=1024"), std::string::npos) << probed;
    EXPECT_NE(probed.find("nb_read_frames=10"), std::string::npos) << probed;
    EXPECT_TRUE(boxes->messages.empty());
    EXPECT_TRUE(main->isLive());
}

TEST_F(RecordingTest, WithoutStoredValuesTheFilmGetsTheDefaultsAndPauseResumesIt) {
    startLive();
    record("paused", [&](RecordDialog& dialog) {
        click(&dialog, RecordDialog::ID_RECORD);
        pump(300);
        click(&dialog, RecordDialog::ID_PAUSE);
        EXPECT_TRUE(dialog.recordButton()->IsEnabled());
        EXPECT_FALSE(dialog.pauseButton()->IsEnabled());
        EXPECT_TRUE(dialog.stopButton()->IsEnabled());
        pump(200);
        click(&dialog, RecordDialog::ID_RECORD);
        pump(300);
        click(&dialog, RecordDialog::ID_STOP);
    });
    EXPECT_EQ(zksim_JournalCount("zkavi_OpenAVI"), 1); // one film, resumed
    bool replayRate25 = false;
    for (int i = 0; i < zksim_JournalSize(); ++i) {
        ZkSimCall call;
        zksim_JournalEntry(i, &call);
        if (std::string(call.function) == "zkavi_SetFrameRate")
            replayRate25 = call.doubleCount > 0 && call.doubles[0] == 25;
    }
    EXPECT_TRUE(replayRate25);
    const std::string probed = probe(dir + "/paused.avi");
    EXPECT_NE(probed.find("codec_type=video"), std::string::npos) << probed;
    EXPECT_EQ(probed.find("nb_read_frames=0"), std::string::npos) << probed;
}

TEST_F(RecordingTest, AdvancedParametersShowTheStoredValuesAndTheirSavedState) {
    startLive();
    record("unused", [&](RecordDialog& dialog) {
        RecordAdvParameters* p = dialog.createAdvancedParameters();
        // No stored values: the defaults, saved (green).
        EXPECT_TRUE(p->lengthAutoBox()->GetValue());
        EXPECT_FALSE(p->lengthField()->IsEnabled());
        EXPECT_EQ(p->sizeField()->GetValue(), wxT("2048"));
        EXPECT_EQ(p->sizeUnitBox()->GetValue(), wxT("MB"));
        EXPECT_EQ(p->replayChoice()->GetStringSelection(), wxT("25"));
        EXPECT_EQ(p->statusText()->GetLabel(), text(80));
        EXPECT_EQ(p->getLength(), -1);
        EXPECT_EQ(p->getMaxSize(), 2048);

        // Auto off brings the earlier text back; an edit turns the state red.
        tick(p->lengthAutoBox(), false);
        EXPECT_TRUE(p->lengthField()->IsEnabled());
        EXPECT_EQ(p->lengthField()->GetValue(), wxT("60"));
        EXPECT_EQ(p->statusText()->GetLabel(), text(81));
        p->lengthUnitBox()->SetValue(wxT("min"));
        type(p->lengthField(), wxT("2"));
        EXPECT_EQ(p->getLength(), 120);
        tick(p->rateAutoBox(), false);
        type(p->rateField(), wxT("30"));
        p->rateUnitBox()->SetValue(wxT("im/min"));
        EXPECT_EQ(p->getFrameRate(), 0.5);
        type(p->sizeField(), wxT("2"));
        p->sizeUnitBox()->SetValue(wxT("GB"));
        EXPECT_EQ(p->getMaxSize(), 2048);
        type(p->sizeField(), wxT(""));
        EXPECT_EQ(p->getMaxSize(), 2048); // an empty size is not a film of no frames

        click(p, RecordAdvParameters::ID_SAVE);
        EXPECT_EQ(p->statusText()->GetLabel(), text(80));
        Config* config = Config::getInstance();
        EXPECT_TRUE(config->isUserRecordingDefined());
        EXPECT_EQ(config->getAviUserLength(), 120);
        EXPECT_EQ(config->getAviUserFrameRate(), 0);
        EXPECT_EQ(config->getAviUserMaxSize(), 2048);

        click(p, RecordAdvParameters::ID_REMOVE);
        EXPECT_FALSE(config->isUserRecordingDefined());
        EXPECT_TRUE(p->lengthAutoBox()->GetValue());
        EXPECT_EQ(p->statusText()->GetLabel(), text(80));
        dialog.EndModal(wxID_CANCEL);
    });
    EXPECT_FALSE(std::filesystem::exists(dir + "/unused.avi"));
}
