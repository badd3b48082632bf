#include "tolvane/tests/ViewerTestSupport.h"

#include "tolvane/res/StringIds.h"

#include "pemblon/core/HelperFuncs.h"
#include "platform/common/DesktopClose.h"
#include "platform/common/tests/DisplayChild.h"
#include "platform/zeko/zeko_sim_control.h"
#include "platform/zeko/zeko_tools.h"
#include "tolvane/RecordAdvParameters.h"
#include "tolvane/RecordDialog.h"
#include "tolvane/Tolvane_App.h"
#include "tolvane/properties/PropertiesDialog.h"
#include "tolvane_model/Camera.h"
#include "tolvane_model/Config.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <vector>
#include <wx/eventfilter.h>
#include <wx/time.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

using namespace Tolvane;
using namespace Tolvane::test;
using Tolvane_model::Camera;
using Tolvane_model::Config;
using zeko::test::DisplayChild;

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

void type(wxTextCtrl* field, const wxString& value) {
    field->SetValue(value);
} // sends the text event

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
        // A dialog that a stray key opened above it goes first, from its own loop, which holds
        // the dialog's.
        guard.Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
            if (!running)
                return;
            for (auto node = wxTopLevelWindows.GetLast(); node; node = node->GetPrevious())
                if (auto* above = dynamic_cast<wxDialog*>(node->GetData());
                    above && above != running && above->IsModal()) {
                    above->EndModal(wxID_CANCEL);
                    guard.StartOnce(100);
                    return;
                }
            running->EndModal(wxID_CANCEL);
        });
    }
    void TearDown() override {
        if (main) // else its close took the settings with it
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

namespace {

// Steps run one after the other from a timer, in whichever loop runs then: a step that ends a
// modal loop must run in that loop itself, not in a nested one. Each step is tried every 50 ms
// until it returns true.
class Steps {
public:
    explicit Steps(std::vector<std::function<bool()>> steps) : steps(std::move(steps)) {
        timer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
            if (done < this->steps.size() && this->steps[done]())
                ++done;
        });
        timer.Start(50);
    }
    size_t done = 0;

private:
    std::vector<std::function<bool()>> steps;
    wxTimer timer;
};

} // namespace

// Escape pressed on the keyboard closes the dialog as its close box does, before and during a
// film. Record and Pause pressed with the keyboard disable themselves: the focus goes to Stop
// while the film runs and to Record while it is paused, so that the keys still reach the dialog.
TEST_F(RecordingTest, EscapeClosesTheDialog) {
    startLive();
    Camera::getInstance()->setAOI(160, 120); // small frames: the film's ticks leave the loop free
    wxUIActionSimulator keys;
    std::unique_ptr<Steps> steps;
    bool guarded = false;
    guard.Bind(wxEVT_TIMER, [&](wxTimerEvent& event) {
        guarded = true;
        event.Skip();
    });
    record("unused", [&](RecordDialog& shown) {
        shown.Raise(); // as a window manager does
        RecordDialog* dialog = &shown;
        steps = std::make_unique<Steps>(std::vector<std::function<bool()>>{[&, dialog] {
            if (!dialog->IsActive())
                return false;
            keys.Char(WXK_ESCAPE);
            return true;
        }});
    });
    steps.reset();
    EXPECT_FALSE(guarded) << "Escape left the dialog open";
    std::vector<std::string> focus;
    int waited = 0;
    record("escaped", [&](RecordDialog& shown) {
        shown.Raise();
        RecordDialog* dialog = &shown; // the steps run after this returns
        auto focused = [dialog] {
            const wxWindow* at = wxWindow::FindFocus();
            return at == dialog->recordButton()  ? "record"
                   : at == dialog->pauseButton() ? "pause"
                   : at == dialog->stopButton()  ? "stop"
                                                 : "elsewhere";
        };
        steps = std::make_unique<Steps>(
            std::vector<std::function<bool()>>{[&, dialog, focused] {
                                                   if (!dialog->IsActive())
                                                       return false;
                                                   focus.push_back(focused());
                                                   keys.Char(WXK_SPACE); // Record
                                                   return true;
                                               },
                                               [&, dialog, focused] {
                                                   if (dialog->recordButton()->IsEnabled() || ++waited < 4)
                                                       return false;
                                                   focus.push_back(focused());
                                                   keys.Char(WXK_TAB, wxMOD_SHIFT);
                                                   return true;
                                               },
                                               [&] {
                                                   keys.Char(WXK_SPACE); // Pause
                                                   waited = 0;
                                                   return true;
                                               },
                                               [&, dialog, focused] {
                                                   if (dialog->pauseButton()->IsEnabled() || ++waited < 2)
                                                       return false;
                                                   focus.push_back(focused());
                                                   keys.Char(WXK_SPACE); // Record again: the film resumes
                                                   waited = 0;
                                                   return true;
                                               },
                                               [&, dialog, focused] {
                                                   if (dialog->recordButton()->IsEnabled() || ++waited < 4)
                                                       return false;
                                                   focus.push_back(focused());
                                                   keys.Char(WXK_ESCAPE);
                                                   return true;
                                               }});
    });
    steps.reset();
    EXPECT_FALSE(guarded) << "Escape left the dialog open during the film";
    EXPECT_EQ(focus, (std::vector<std::string>{"record", "stop", "record", "stop"}));
    const int frames = zksim_JournalCount("zkavi_AddFrame");
    pump(300);
    EXPECT_GT(zksim_JournalCount("zkavi_AddFrame"), frames) << "the film stopped with the dialog";
    Camera::getInstance()->stopRecording();
    EXPECT_EQ(zksim_JournalCount("zkavi_OpenAVI"), 1);
    EXPECT_EQ(probe(dir + "/escaped.avi").find("nb_read_frames=0"), std::string::npos);
}

// Without a window manager a new dialog does not get the X keyboard focus: the keys reach it
// through its grab while the main window keeps the focus. Record and Escape work all the same.
TEST_F(RecordingTest, EscapeClosesTheDialogWhileTheMainWindowKeepsTheKeyboard) {
    startLive();
    Camera::getInstance()->setAOI(160, 120);
    ASSERT_TRUE(waitForKeyboard(main));
    wxUIActionSimulator keys;
    std::unique_ptr<Steps> steps;
    bool guarded = false, recorded = false;
    guard.Bind(wxEVT_TIMER, [&](wxTimerEvent& event) {
        guarded = true;
        event.Skip();
    });
    int waited = 0;
    record("grabbed", [&](RecordDialog& shown) {
        RecordDialog* dialog = &shown;
        steps = std::make_unique<Steps>(
            std::vector<std::function<bool()>>{[&, dialog] {
                                                   if (!dialog->IsShownOnScreen() || ++waited < 6)
                                                       return false;
                                                   keys.Char(WXK_SPACE); // Record
                                                   waited = 0;
                                                   return true;
                                               },
                                               [&, dialog] {
                                                   if (dialog->recordButton()->IsEnabled() || ++waited < 4)
                                                       return false;
                                                   recorded = true;
                                                   keys.Char(WXK_ESCAPE);
                                                   return true;
                                               }});
    });
    steps.reset();
    EXPECT_TRUE(recorded);
    EXPECT_FALSE(guarded) << "Escape left the dialog open during the film";
    Camera::getInstance()->stopRecording();
}

// The advanced parameters closed by another X client (their window destroyed) are made anew at
// the next press of their button: the toolkit cannot show the old window again.
TEST_F(RecordingTest, AdvancedParametersDestroyedFromOutsideAreMadeAnew) {
    startLive();
    int step = 0;
    bool shownAgain = false;
    wxTimer steps;
    record("unused", [&](RecordDialog& dialog) {
        wxWindow* button = dialog.FindWindow(RecordDialog::ID_ADVANCED);
        ASSERT_NE(button, nullptr);
        // Each step runs from the loop that runs then, the advanced dialog's included.
        steps.Bind(wxEVT_TIMER, [&, button](wxTimerEvent&) {
            RecordAdvParameters* advanced = dialog.advancedParameters();
            const bool open = advanced && advanced->IsModal() && advanced->IsShownOnScreen();
            if (step == 0 && open) {
                pump(200);
                destroyFromOutside(advanced);
                step = 1;
            } else if (step == 1 && !open) {
                pump(200);
                clickWithMouse(button);
                step = 2;
            } else if (step == 2 && open) {
                pump(300);
                shownAgain = !DesktopClose::isDestroyed(*advanced);
                advanced->EndModal(wxID_OK);
                step = 3;
            } else if (step == 3 && !open) {
                dialog.EndModal(wxID_CANCEL);
                step = 4;
            }
        });
        steps.Start(50);
        ASSERT_TRUE(waitForKeyboard(&dialog));
        clickWithMouse(button);
    });
    steps.Stop();
    EXPECT_EQ(step, 4);
    EXPECT_TRUE(shownAgain);
    EXPECT_TRUE(boxes->messages.empty());
}

// The viewer ended from the desktop, in a process of its own on a display of its own (run by the
// test below): ZEKO_CHILD_STATE says what it does (idle, live, or a film into ZEKO_CHILD_FOLDER)
// once shown, ZEKO_CHILD_ACTION=destroy that it then destroys its main window from another X
// client; otherwise its display server is killed.
TEST_F(RecordingTest, DISABLED_UntilTheDesktopEndsIt) {
    DisplayChild::leavesBehind(dir);
    DisplayChild::leavesBehind(std::getenv("ZEKO_SIM_STATE_DIR"));
    const std::string state = std::getenv("ZEKO_CHILD_STATE"), action = std::getenv("ZEKO_CHILD_ACTION");
    dir = std::getenv("ZEKO_CHILD_FOLDER");
    // What the viewer's own guard left: this guard comes before the main window's, so runs after.
    main->Close(true);
    pump(50);
    // The recording dialog is left as it was: hiding it on a dead display crashed in GTK.
    const RecordDialog* recording = nullptr;
    const DesktopClose::BeforeLeaving noted([&recording] {
        DisplayChild::note("cameras open " + std::to_string(zksim_JournalCount("zk_InitCamera") -
                                                            zksim_JournalCount("zk_ExitCamera")));
        DisplayChild::note("frames " + std::to_string(zksim_JournalCount("zkavi_AddFrame")));
        if (recording)
            DisplayChild::note(recording->IsShown() ? "dialog as it was" : "dialog hidden");
    });
    ASSERT_TRUE(Tolvane_App::loadStringTable(PBN::HelperFuncs::getAppDir() +
                                             PBN::Strings::ostring("res/Tolvane.xml")));
    main = new TestMainWnd();
    main->Show();
    main->setLastFolder(wxString(dir));
    ASSERT_TRUE(waitForKeyboard(main));
    const auto shown = [&] {
        DisplayChild::note("shown");
        if (action == "destroy")
            destroyFromOutside(main);
        pumpUntil([] { return false; }, 20000);
        DisplayChild::note("hung");
    };
    if (state != "idle") {
        startLive();
        Camera::getInstance()->setAOI(320, 240);
    }
    if (state == "film")
        record("film", [&](RecordDialog& dialog) {
            recording = &dialog;
            ASSERT_TRUE(waitForKeyboard(&dialog));
            clickWithMouse(dialog.recordButton());
            ASSERT_TRUE(pumpUntil([&] { return zksim_JournalCount("zkavi_AddFrame") > 3; }, 5000));
            shown();
        });
    else
        shown();
}

// A logout or a display server that ends or crashes, or another X client destroying the main
// window (xkill, a window manager's "kill", xdotool windowclose), leave no window to close: the
// viewer finishes the film whole, closes the camera and ends with status 0 at once, idle, live
// or during a film, under a window manager and without. It spun in cairo on the dead display,
// or ended with status 1 on an error of the window that was gone, the film left unfinished.
TEST(ViewerLeaving, TheFilmIsWholeAndTheCameraClosedWhenTheDesktopEndsTheViewer) {
    for (const char* state : {"idle", "live", "film"})
        for (const bool destroy : {false, true})
            for (const bool managed : {false, true}) {
                SCOPED_TRACE(std::string(state) + (destroy ? ", destroyed" : ", display killed") +
                             (managed ? ", openbox" : ", no window manager"));
                char folder[] = "/tmp/tolvane_leaving_XXXXXX";
                ASSERT_NE(mkdtemp(folder), nullptr);
                DisplayChild::Options options;
                options.test = "RecordingTest.DISABLED_UntilTheDesktopEndsIt";
                options.managed = managed;
                options.killDisplay = !destroy;
                options.env = {std::string("ZEKO_CHILD_STATE=") + state,
                               std::string("ZEKO_CHILD_ACTION=") + (destroy ? "destroy" : "kill"),
                               std::string("ZEKO_CHILD_FOLDER=") + folder};
                const DisplayChild end = DisplayChild::run(options);
                const std::string film = std::string(folder) + "/film.avi", probed = probe(film);
                runCommand(std::string("rm -rf '") + folder + "'");
                if (!end.display)
                    GTEST_SKIP() << "Xvfb or openbox did not start";
                ASSERT_TRUE(end.shown) << end.happened << end.stderrText;
                EXPECT_EQ(end.ending(), "exit 0") << end.happened << end.stderrText;
                EXPECT_EQ(end.happened.rfind("shown\ncameras open 0\nframes ", 0), 0u) << end.happened;
                if (std::string(state) == "film") {
                    const int frames =
                        std::atoi(end.happened.substr(end.happened.find("frames ") + 7).c_str());
                    EXPECT_GT(frames, 3);
                    EXPECT_NE(end.happened.find("\ndialog as it was\n"), std::string::npos) << end.happened;
                    EXPECT_NE(probed.find("nb_read_frames=" + std::to_string(frames) + "\n"),
                              std::string::npos)
                        << probed << " of " << frames;
                }
                EXPECT_NE(readFile(settingsPath()).find("</Tolvane>"), std::string::npos);
            }
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
        EXPECT_EQ(p->statusText()->GetLabel(), text(ids::SettingsSaved));
        EXPECT_EQ(p->getLength(), -1);
        EXPECT_EQ(p->getMaxSize(), 2048);

        // Auto off brings the earlier text back; an edit turns the state red.
        tick(p->lengthAutoBox(), false);
        EXPECT_TRUE(p->lengthField()->IsEnabled());
        EXPECT_EQ(p->lengthField()->GetValue(), wxT("60"));
        EXPECT_EQ(p->statusText()->GetLabel(), text(ids::SettingsNotSaved));
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
        EXPECT_EQ(p->statusText()->GetLabel(), text(ids::SettingsSaved));
        Config* config = Config::getInstance();
        EXPECT_TRUE(config->isUserRecordingDefined());
        EXPECT_EQ(config->getAviUserLength(), 120);
        EXPECT_EQ(config->getAviUserFrameRate(), 0);
        EXPECT_EQ(config->getAviUserMaxSize(), 2048);

        click(p, RecordAdvParameters::ID_REMOVE);
        EXPECT_FALSE(config->isUserRecordingDefined());
        EXPECT_TRUE(p->lengthAutoBox()->GetValue());
        EXPECT_EQ(p->statusText()->GetLabel(), text(ids::SettingsSaved));
        dialog.EndModal(wxID_CANCEL);
    });
    EXPECT_FALSE(std::filesystem::exists(dir + "/unused.avi"));
}

// When the model stops recording by itself after a failure, the dialog goes at once (no Stop
// needed), with one message that says why, and the film counts only the frames it holds.
TEST_F(RecordingTest, AFailedFilmOrALostCameraClosesTheDialogAtOnceWithOneMessage) {
    startLive();
    wxLongLong closedAfter = 0;
    record("failed", [&](RecordDialog& dialog) {
        click(&dialog, RecordDialog::ID_RECORD);
        pump(300);
        zksim_InjectFailure("zkavi_AddFrame", ZKAVI_FILE_ERROR, 1);
        zksim_InjectFailure("zkavi_CloseAVI", ZKAVI_FILE_ERROR, 1);
        closedAfter = wxGetLocalTimeMillis();
    });
    closedAfter = wxGetLocalTimeMillis() - closedAfter;
    EXPECT_LT(closedAfter, 5000);
    ASSERT_EQ(boxes->messages.size(), 1u);
    EXPECT_TRUE(boxes->messages[0].Contains(wxT("zkavi_AddFrame"))) << boxes->messages[0];
    EXPECT_EQ(zksim_JournalCount("zkavi_ExitAVI"), 1);
    EXPECT_TRUE(main->isLive());
    EXPECT_NE(probe(dir + "/failed.avi").find("codec_type=video"), std::string::npos);

    boxes->messages.clear();
    ZkSimCamera camera{};
    ASSERT_EQ(zksim_GetCamera(0, &camera), 0);
    record("lost", [&](RecordDialog& dialog) {
        click(&dialog, RecordDialog::ID_RECORD);
        pump(300);
        zksim_SetCameraConnected(camera.deviceId, 0);
        closedAfter = wxGetLocalTimeMillis();
    });
    closedAfter = wxGetLocalTimeMillis() - closedAfter;
    EXPECT_LT(closedAfter, 5000);
    // The live view finds its camera gone on its next tick, which may come after the film's end.
    EXPECT_TRUE(pumpUntil([&] { return !main->isLive(); }, 5000))
        << "the live view went on without its camera";
    EXPECT_EQ(boxes->messages.size(), 1u);
    EXPECT_EQ(zksim_JournalCount("zkavi_ExitAVI"), 2);
    const std::string probed = probe(dir + "/lost.avi");
    EXPECT_NE(probed.find("codec_type=video"), std::string::npos) << probed;
    zksim_SetCameraConnected(camera.deviceId, 1);
}

// A length typed with a decimal comma ends the film as a point would; text that is no number
// still means no limit.
TEST_F(RecordingTest, AdvancedFieldsReadADecimalCommaOrPoint) {
    startLive();
    record("unused", [&](RecordDialog& dialog) {
        RecordAdvParameters* p = dialog.createAdvancedParameters();
        tick(p->lengthAutoBox(), false);
        tick(p->rateAutoBox(), false);
        for (const wxString& typed : {wxString(wxT("12,5")), wxString(wxT("12.5"))}) {
            type(p->lengthField(), typed);
            type(p->rateField(), typed);
            type(p->sizeField(), typed);
            p->sizeUnitBox()->SetValue(wxT("MB"));
            EXPECT_DOUBLE_EQ(p->getLength(), 12.5) << typed;
            EXPECT_DOUBLE_EQ(p->getFrameRate(), 12.5) << typed;
            EXPECT_DOUBLE_EQ(p->getMaxSize(), 12.5) << typed;
        }
        type(p->lengthField(), wxT("abc"));
        type(p->rateField(), wxT("abc"));
        type(p->sizeField(), wxT("abc"));
        EXPECT_EQ(p->getLength(), -1);
        EXPECT_EQ(p->getFrameRate(), -1);
        EXPECT_EQ(p->getMaxSize(), 2048);
        dialog.EndModal(wxID_CANCEL);
    });
}

namespace {

// Opens the properties once the film has begun and keeps them up until the film has taken
// `frames` more frames since their show (or `limitMs` have passed), counting what it took meanwhile.
class PropertiesDuringAFilm : public wxEventFilter {
public:
    PropertiesDuringAFilm(MainWnd* main, int frames, int limitMs) : main(main), frames(frames) {
        closer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
            for (wxWindow* window : wxTopLevelWindows)
                if (auto* properties = dynamic_cast<Properties::PropertiesDialog*>(window))
                    if (properties->IsModal() && shownAt >= 0 &&
                        (zksim_JournalCount("zkavi_AddFrame") - shownAt >= this->frames ||
                         wxGetLocalTimeMillis() > giveUpAt)) {
                        framesWhileOpen = zksim_JournalCount("zkavi_AddFrame") - shownAt;
                        properties->EndModal(wxID_CANCEL);
                    }
        });
        giveUpAt = wxGetLocalTimeMillis() + limitMs;
        wxEvtHandler::AddFilter(this);
        main->CallAfter([this] {
            closer.Start(20);
            wxCommandEvent open(wxEVT_MENU, MainWnd::ID_PROPERTIES);
            this->main->GetEventHandler()->ProcessEvent(open);
            closer.Stop();
            closed = true;
        });
    }
    ~PropertiesDuringAFilm() override { wxEvtHandler::RemoveFilter(this); }
    int FilterEvent(wxEvent& event) override {
        // The frames are counted from the dialog's show, not from the command: building the
        // dialog holds the GUI thread, and on a loaded machine that can take most of the span.
        if (shownAt < 0 && event.GetEventType() == wxEVT_INIT_DIALOG &&
            dynamic_cast<Properties::PropertiesDialog*>(event.GetEventObject()) != nullptr)
            shownAt = zksim_JournalCount("zkavi_AddFrame");
        return Event_Skip;
    }
    MainWnd* main;
    int frames;
    wxLongLong giveUpAt;
    wxTimer closer;
    int shownAt = -1, framesWhileOpen = -1;
    bool closed = false;
};

} // namespace

// The recording goes on while a dialog the user opened is up, its frames taken on their own
// thread, and the film holds every frame of its length.
TEST_F(RecordingTest, AFilmGoesOnWhilePropertiesStayOpen) {
    // A small sensor, so that every frame is written well within its period.
    ASSERT_EQ(zksim_UseDescription("[camera]\nserial = 200\nsensor = ZK1480-C\nwidth = 320\nheight = 240\n"),
              0);
    startLive();
    record("properties", [&](RecordDialog& dialog) {
        RecordAdvParameters* advanced = dialog.createAdvancedParameters();
        tick(advanced->lengthAutoBox(), false);
        type(advanced->lengthField(), wxT("3"));
        tick(advanced->rateAutoBox(), false);
        type(advanced->rateField(), wxT("10"));
        click(&dialog, RecordDialog::ID_RECORD);
        pump(200);
        dialog.Close(); // the close box: the film goes on
    });
    PropertiesDuringAFilm opener(main, 5, 20000);
    ASSERT_TRUE(pumpUntil([&] { return opener.closed; }, 30000));
    EXPECT_GE(opener.framesWhileOpen, 5);
    ASSERT_TRUE(pumpUntil([] { return zksim_JournalCount("zkavi_ExitAVI") == 1; }, 20000));
    const std::string probed = probe(dir + "/properties.avi");
    EXPECT_NE(probed.find("nb_read_frames=30"), std::string::npos) << probed;
    EXPECT_TRUE(boxes->messages.empty());
}
