#include "camera_manager/core/controls/WxText.h"
#include "camera_manager/core/dialogs/SetCamID.h"
#include "camera_manager/core/records/CameraInterfaceLibrary.h"
#include "camera_manager/tests/AnswerDialogs.h"
#include "camera_manager/tests/ManagerTestSupport.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/msgdlg.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

const auto* const environment =
    ::testing::AddGlobalTestEnvironment(new cmtest::WxTestEnvironment([] { return new wxApp(); }));

constexpr int UsbDevice = 1, UsbCameraId = 1;
constexpr int GigEDevice = 1001, GigECameraId = 2;

const wxString Opened = "The camera cannot be opened.\n\nErrorcode ";
const wxString Invalid = "Invalid camera ID. Must be in the range of [1...254].";
const wxString Empty = "Please enter a valid camera ID or push cancel.";
const wxString Question =
    "Do you really want to change the content of the EEPROM? Please note that the EEPROM "
    "can contain important information!\n\nOld:  ";

wxTextCtrl* field(wxDialog& dialog, int id) {
    return wxDynamicCast(dialog.FindWindow(id), wxTextCtrl);
}

std::vector<ZkSimCall> journal(const std::string& function) {
    std::vector<ZkSimCall> calls;
    for (int i = 0, n = zksim_JournalSize(); i < n; ++i) {
        ZkSimCall call;
        if (zksim_JournalEntry(i, &call) == 0 && function == call.function)
            calls.push_back(call);
    }
    return calls;
}

std::string eepromBytes(int deviceId) {
    uint32_t handle = uint32_t(deviceId) | ZK_USE_DEVICE_ID;
    EXPECT_EQ(ZekoApi::zk_InitCamera(&handle, nullptr), 0);
    char bytes[ZK_EEPROM_SIZE] = {};
    EXPECT_EQ(ZekoApi::zk_ReadEEPROM(handle, 0, bytes, ZK_EEPROM_SIZE), 0);
    ZekoApi::zk_ExitCamera(handle);
    return std::string(bytes, sizeof bytes);
}

uint32_t simulatedCameraId(int deviceId) {
    for (int i = 0; i < zksim_CameraCount(); ++i) {
        ZkSimCamera camera;
        if (zksim_GetCamera(i, &camera) == 0 && camera.deviceId == uint32_t(deviceId))
            return camera.cameraId;
    }
    return 0;
}

class CameraInfoDialogTest : public cmtest::ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        hook_.answer = [this](wxDialog* dialog) -> int {
            auto* box = dynamic_cast<wxMessageDialog*>(dialog);
            if (!box)
                return wxID_NONE; // the camera information dialog itself runs
            styles_.push_back(box->GetMessageDialogStyle());
            return box->GetMessage().StartsWith(Question) ? questionAnswer_ : wxID_OK;
        };
        hook_.Register();
    }
    void TearDown() override {
        hook_.Unregister();
        ManagerTest::TearDown();
    }

    // Runs the dialog modally; `drive` runs inside its modal loop once it is shown. A dialog that
    // is still open afterwards is ended with wxID_ABORT.
    int run(int deviceId, int cameraId, const std::function<void(SetCamID&)>& drive) {
        SetCamID dialog(nullptr, deviceId, cameraId);
        dialog.Bind(wxEVT_INIT_DIALOG, [&](wxInitDialogEvent& event) {
            event.Skip();
            dialog.CallAfter([&] {
                for (int i = 0; i < 10; ++i)
                    wxTheApp->Yield(true), wxMilliSleep(5);
                if (const char* dir = std::getenv("ZEKO_SHOT_DIR"); dir && *dir)
                    std::system(("import -window root '" + std::string(dir) + "/camera_info_" +
                                 std::to_string(deviceId) + ".png'")
                                    .c_str());
                drive(dialog);
                if (dialog.IsModal())
                    dialog.EndModal(wxID_ABORT);
            });
        });
        return dialog.ShowModal();
    }

    // Types the ID and text into the fields and presses OK.
    static void confirm(SetCamID& dialog, const wxString& cameraId, const wxString* text = nullptr) {
        field(dialog, 1100)->ChangeValue(cameraId);
        if (text)
            field(dialog, 1151)->ChangeValue(*text);
        auto* ok = wxDynamicCast(dialog.FindWindow(wxID_OK), wxButton);
        wxCommandEvent click(wxEVT_BUTTON, wxID_OK);
        click.SetEventObject(ok);
        ok->ProcessWindowEvent(click);
    }

    // Writes a text through the dialog, answering the question with Yes.
    void writeText(int deviceId, int cameraId, const wxString& text) {
        questionAnswer_ = wxID_YES;
        ASSERT_EQ(run(deviceId, cameraId,
                      [&](SetCamID& d) { confirm(d, wxString::Format("%d", cameraId), &text); }),
                  wxID_OK);
    }

    // The text the dialog shows at start.
    wxString shownText(int deviceId, int cameraId) {
        wxString shown;
        run(deviceId, cameraId, [&](SetCamID& d) { shown = field(d, 1151)->GetValue(); });
        return shown;
    }

    cmtest::AnswerDialogs hook_;
    std::vector<long> styles_;
    int questionAnswer_ = wxID_NO;
};

TEST_F(CameraInfoDialogTest, ShowsTheUsbCamerasInformation) {
    useCameras(
        "[camera]\ndevice_id = 1\ncamera_id = 5\nserial = S1\nsensor = ZK1480-C\neeprom = Line 7 left\n"
        "manufacturer = Maker AG\nqc_date = 2025-11-30\nversion = V2.10\n"
        "revisions = 3 65000 2 4 1 1 0 5 12 1 2\n");
    zksim_JournalClear();
    wxString caption, label, manufacturer, date, version, revision, id, text;
    bool versionShown = true, revisionShown = true;
    EXPECT_EQ(run(1, 5,
                  [&](SetCamID& d) {
                      caption = d.FindWindow(1103)->GetLabel();
                      label = d.FindWindow(1172)->GetLabel();
                      manufacturer = field(d, 1166)->GetValue();
                      date = field(d, 1168)->GetValue();
                      version = field(d, 1167)->GetValue();
                      revision = field(d, 1171)->GetValue();
                      versionShown = d.FindWindow(1167)->IsShown();
                      revisionShown = d.FindWindow(1171)->IsShown();
                      id = field(d, 1100)->GetValue();
                      text = field(d, 1151)->GetValue();
                      EXPECT_TRUE(field(d, 1166)->GetBackgroundColour() == *wxWHITE);
                  }),
              wxID_ABORT);
    EXPECT_EQ(caption, "Device ID: 1");
    EXPECT_EQ(label, "USB revision");
    EXPECT_EQ(manufacturer, "Maker AG");
    EXPECT_EQ(date, "2025-11-30");
    EXPECT_EQ(version, "V2.10");
    EXPECT_EQ(revision, "65000");
    EXPECT_FALSE(versionShown);
    EXPECT_FALSE(revisionShown);
    EXPECT_EQ(id, "5");
    EXPECT_EQ(text, "Line 7 left");
    // Opened by device id once, read and closed again.
    const auto opens = journal("zk_InitCamera");
    ASSERT_EQ(opens.size(), 1u);
    EXPECT_EQ(opens[0].ints[0], 1 | ZK_USE_DEVICE_ID);
    EXPECT_EQ(zksim_JournalCount("zk_ExitCamera"), 1);
    EXPECT_TRUE(hook_.messages.empty());
}

TEST_F(CameraInfoDialogTest, GigECameraShowsItsEthRevision) {
    wxString caption, label, revision;
    run(GigEDevice, GigECameraId, [&](SetCamID& d) {
        caption = d.FindWindow(1103)->GetLabel();
        label = d.FindWindow(1172)->GetLabel();
        revision = field(d, 1171)->GetValue();
    });
    EXPECT_EQ(caption, "Device ID: 1001");
    EXPECT_EQ(label, "ETH revision");
    EXPECT_EQ(revision, "9");
}

TEST_F(CameraInfoDialogTest, RefusesIdsOutsideOneTo254AndKeepsTheDialogOpen) {
    const std::pair<const char*, wxString> cases[] = {{"0", Invalid},   {"255", Invalid}, {"12a", Invalid},
                                                      {" 12", Invalid}, {"-5", Invalid},  {"", Empty}};
    for (const auto& [typed, message] : cases) {
        SCOPED_TRACE(typed);
        hook_.messages.clear();
        styles_.clear();
        zksim_JournalClear();
        wxString after;
        bool stayedOpen = false, focused = false;
        // Named in the capture: clang 14 cannot capture a structured binding implicitly.
        run(UsbDevice, UsbCameraId, [&, typed = typed](SetCamID& d) {
            field(d, 1151)->SetFocus(); // as after typing a text
            confirm(d, typed);
            stayedOpen = d.IsModal();
            after = field(d, 1100)->GetValue();
            focused = wxWindow::FindFocus() == d.FindWindow(1100);
        });
        ASSERT_EQ(hook_.messages.size(), 1u);
        EXPECT_EQ(hook_.messages[0], message);
        EXPECT_TRUE(styles_[0] & wxICON_ERROR);
        EXPECT_TRUE(stayedOpen);
        EXPECT_EQ(after, "1") << "the field shows the camera's ID again";
        EXPECT_TRUE(focused);
        EXPECT_EQ(zksim_JournalCount("zk_SetCameraID"), 0);
        EXPECT_EQ(zksim_JournalCount("zk_InitCamera"), 1) << "only the opening at start";
    }
    EXPECT_EQ(simulatedCameraId(UsbDevice), 1u);
}

TEST_F(CameraInfoDialogTest, Id254IsWrittenAndTheDialogCloses) {
    zksim_JournalClear();
    EXPECT_EQ(run(UsbDevice, UsbCameraId, [](SetCamID& d) { confirm(d, "254"); }), wxID_OK);
    const auto set = journal("zk_SetCameraID");
    ASSERT_EQ(set.size(), 1u);
    EXPECT_EQ(set[0].ints[1], 254);
    EXPECT_EQ(set[0].result, 0);
    EXPECT_EQ(simulatedCameraId(UsbDevice), 254u);
    EXPECT_EQ(zksim_JournalCount("zk_WriteEEPROM"), 0);
    EXPECT_TRUE(hook_.messages.empty()) << "an unchanged text asks nothing";
    // Opened twice by device id (start, confirm), without the starter firmware flag.
    for (const ZkSimCall& open : journal("zk_InitCamera"))
        EXPECT_EQ(open.ints[0], UsbDevice | ZK_USE_DEVICE_ID);
    EXPECT_EQ(zksim_JournalCount("zk_ExitCamera"), 2);
}

TEST_F(CameraInfoDialogTest, UnchangedIdAndTextCloseWithoutOpeningTheCamera) {
    EXPECT_EQ(run(GigEDevice, GigECameraId,
                  [](SetCamID& d) {
                      zksim_JournalClear();
                      confirm(d, "2");
                  }),
              wxID_OK);
    EXPECT_EQ(zksim_JournalCount("zk_InitCamera"), 0);
    EXPECT_EQ(zksim_JournalSize(), 0);
}

TEST_F(CameraInfoDialogTest, ChangedTextAnsweredNoWritesOnlyTheId) {
    questionAnswer_ = wxID_NO;
    const wxString text = "new text";
    EXPECT_EQ(run(UsbDevice, UsbCameraId, [&](SetCamID& d) { confirm(d, "9", &text); }), wxID_OK);
    ASSERT_EQ(hook_.messages.size(), 1u);
    EXPECT_EQ(hook_.messages[0], Question + "\n\nNew:  new text");
    EXPECT_TRUE(styles_[0] & wxNO_DEFAULT);
    EXPECT_TRUE(styles_[0] & wxICON_QUESTION);
    EXPECT_EQ(zksim_JournalCount("zk_SetCameraID"), 1);
    EXPECT_EQ(zksim_JournalCount("zk_WriteEEPROM"), 0);
    EXPECT_EQ(simulatedCameraId(UsbDevice), 9u);
    EXPECT_EQ(eepromBytes(UsbDevice), std::string(64, '\0'));
}

TEST_F(CameraInfoDialogTest, EepromTextRoundTripsThroughTheCameraAndARestart) {
    const wxString text = wxString::FromUTF8("Linie 3 \u2013 Pr\u00fcfplatz \u20ac5");
    writeText(GigEDevice, GigECameraId, text);
    ASSERT_EQ(hook_.messages.size(), 1u) << "only the question";
    EXPECT_EQ(hook_.messages[0], Question + "\n\nNew:  " + text);
    const auto writes = journal("zk_WriteEEPROM");
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].ints[1], 0);  // address
    EXPECT_EQ(writes[0].ints[2], 64); // bytes
    EXPECT_EQ(zksim_JournalCount("zk_SetCameraID"), 0);
    std::string expected = "Linie 3 \x96 Pr\xfc"
                           "fplatz \x80"
                           "5";
    expected.resize(64, '\0');
    EXPECT_EQ(eepromBytes(GigEDevice), expected);

    EXPECT_EQ(shownText(GigEDevice, GigECameraId), text);
    ASSERT_EQ(zksim_Reset(), 0); // the simulator starts again from its state file
    EXPECT_EQ(shownText(GigEDevice, GigECameraId), text);

    // A full 64 characters, then back to an empty EEPROM.
    const wxString full(wxUniChar(0xE9), 64);
    writeText(GigEDevice, GigECameraId, full);
    EXPECT_EQ(shownText(GigEDevice, GigECameraId), full);
    writeText(GigEDevice, GigECameraId, "");
    EXPECT_EQ(eepromBytes(GigEDevice), std::string(64, '\0'));
}

TEST_F(CameraInfoDialogTest, TextWithoutASingleByteFormIsNotWritten) {
    questionAnswer_ = wxID_YES;
    const wxString text = wxString::FromUTF8("camera \u65e5\u672c");
    EXPECT_EQ(run(UsbDevice, UsbCameraId, [&](SetCamID& d) { confirm(d, "3", &text); }), wxID_OK);
    ASSERT_EQ(hook_.messages.size(), 2u);
    EXPECT_TRUE(hook_.messages[1].StartsWith(
        "The information could not be written into the user EEPROM.\n\nErrorcode "));
    EXPECT_FALSE(hook_.messages[1].EndsWith(" 0"));
    EXPECT_TRUE(styles_[1] & wxICON_ERROR);
    EXPECT_EQ(zksim_JournalCount("zk_WriteEEPROM"), 0);
    EXPECT_EQ(simulatedCameraId(UsbDevice), 3u) << "the ID is still written";
}

TEST_F(CameraInfoDialogTest, OpensAfterAStarterFirmwareRefusal) {
    zksim_JournalClear();
    zksim_InjectFailure("zk_InitCamera", ZK_STARTER_FW_UPLOAD_NEEDED, 1);
    wxString manufacturer;
    EXPECT_EQ(run(GigEDevice, GigECameraId, [&](SetCamID& d) { manufacturer = field(d, 1166)->GetValue(); }),
              wxID_ABORT);
    EXPECT_EQ(manufacturer, "Zeko Imaging");
    EXPECT_TRUE(hook_.messages.empty());
    const auto opens = journal("zk_InitCamera");
    ASSERT_EQ(opens.size(), 2u);
    EXPECT_EQ(opens[0].ints[0], GigEDevice | ZK_USE_DEVICE_ID);
    EXPECT_EQ(opens[0].result, ZK_STARTER_FW_UPLOAD_NEEDED);
    EXPECT_EQ(opens[1].ints[0], GigEDevice | ZK_USE_DEVICE_ID | ZK_ALLOW_STARTER_FW_UPLOAD);
    EXPECT_EQ(opens[1].result, 0);
}

TEST_F(CameraInfoDialogTest, CameraThatCannotBeOpenedCancelsAtStart) {
    bool shown = false;
    zksim_InjectFailure("zk_InitCamera", ZK_CANT_OPEN_DEVICE, 1);
    EXPECT_EQ(run(UsbDevice, UsbCameraId, [&](SetCamID&) { shown = true; }), wxID_CANCEL);
    EXPECT_FALSE(shown);
    ASSERT_EQ(hook_.messages.size(), 1u);
    EXPECT_EQ(hook_.messages[0], Opened + "3");
    EXPECT_TRUE(styles_[0] & wxICON_ERROR);

    // A second refusal of the retry is reported with its code; no third try.
    hook_.messages.clear();
    zksim_JournalClear();
    zksim_InjectFailure("zk_InitCamera", ZK_STARTER_FW_UPLOAD_NEEDED, 0);
    EXPECT_EQ(run(GigEDevice, GigECameraId, [&](SetCamID&) { shown = true; }), wxID_CANCEL);
    EXPECT_FALSE(shown);
    ASSERT_EQ(hook_.messages.size(), 1u);
    EXPECT_EQ(hook_.messages[0], Opened + "184");
    EXPECT_EQ(zksim_JournalCount("zk_InitCamera"), 2);
    zksim_ClearFailures();

    // An unknown device.
    hook_.messages.clear();
    EXPECT_EQ(run(77, 4, [&](SetCamID&) { shown = true; }), wxID_CANCEL);
    EXPECT_EQ(hook_.messages.at(0), Opened + "141");
}

TEST_F(CameraInfoDialogTest, FailedEepromReadShowsAnEmptyTextAndNeverWipesTheEeprom) {
    const wxString text = "keep me";
    writeText(UsbDevice, UsbCameraId, text);
    hook_.messages.clear();
    zksim_InjectFailure("zk_ReadEEPROM", ZK_IO_REQUEST_FAILED, 1);
    wxString shown = "unset";
    // Only the ID changes: the empty text counts as unchanged, so nothing is asked or written.
    EXPECT_EQ(run(UsbDevice, UsbCameraId,
                  [&](SetCamID& d) {
                      shown = field(d, 1151)->GetValue();
                      zksim_JournalClear();
                      confirm(d, "6");
                  }),
              wxID_OK);
    EXPECT_EQ(shown, "");
    EXPECT_TRUE(hook_.messages.empty());
    EXPECT_EQ(zksim_JournalCount("zk_WriteEEPROM"), 0);
    EXPECT_EQ(zksim_JournalCount("zk_SetCameraID"), 1);
    EXPECT_EQ(shownText(UsbDevice, 6), text);
}

TEST_F(CameraInfoDialogTest, FailuresAtConfirmationAreReportedWithTheirCodes) {
    // The camera cannot be opened again: cancelled, nothing set.
    EXPECT_EQ(run(UsbDevice, UsbCameraId,
                  [](SetCamID& d) {
                      zksim_InjectFailure("zk_InitCamera", ZK_CANT_OPEN_DEVICE, 1);
                      confirm(d, "8");
                  }),
              wxID_CANCEL);
    ASSERT_EQ(hook_.messages.size(), 1u);
    EXPECT_EQ(hook_.messages[0], Opened + "3");
    EXPECT_EQ(zksim_JournalCount("zk_SetCameraID"), 0);

    // Both writes fail: two error boxes, and the dialog still closes with OK.
    hook_.messages.clear();
    questionAnswer_ = wxID_YES;
    const wxString text = "x";
    EXPECT_EQ(run(UsbDevice, UsbCameraId,
                  [&](SetCamID& d) {
                      zksim_InjectFailure("zk_SetCameraID", ZK_IO_REQUEST_FAILED, 1);
                      zksim_InjectFailure("zk_WriteEEPROM", ZK_INVALID_CAMERA_HANDLE, 1);
                      confirm(d, "8", &text);
                  }),
              wxID_OK);
    ASSERT_EQ(hook_.messages.size(), 3u);
    EXPECT_EQ(hook_.messages[1], "The camera ID could not be set.\n\nErrorcode 2");
    EXPECT_EQ(hook_.messages[2], "The information could not be written into the user EEPROM.\n\nErrorcode 1");
    EXPECT_EQ(simulatedCameraId(UsbDevice), 1u);
    EXPECT_EQ(zksim_JournalCount("zk_ExitCamera"), zksim_JournalCount("zk_InitCamera") - 1)
        << "every successful opening is closed";
}

TEST_F(CameraInfoDialogTest, EepromBytesTheFieldCannotShowAsTheyAreStayUntouched) {
    // Control bytes and the bytes Windows-1252 leaves undefined, written by another program.
    std::string bytes = "A\x01\tB\nC\r\x7f\x81\x8d\x8f\x90\x9d\xff";
    bytes.resize(64, '\0');
    uint32_t handle = UsbDevice | ZK_USE_DEVICE_ID;
    ASSERT_EQ(ZekoApi::zk_InitCamera(&handle, nullptr), 0);
    ASSERT_EQ(ZekoApi::zk_WriteEEPROM(handle, 0, bytes.data(), 64), 0);
    ZekoApi::zk_ExitCamera(handle);

    questionAnswer_ = wxID_YES;
    EXPECT_EQ(run(UsbDevice, UsbCameraId,
                  [](SetCamID& d) {
                      zksim_JournalClear();
                      confirm(d, "1");
                  }),
              wxID_OK);
    EXPECT_TRUE(hook_.messages.empty());
    EXPECT_EQ(zksim_JournalCount("zk_WriteEEPROM"), 0);
    EXPECT_EQ(eepromBytes(UsbDevice), bytes);
}

} // namespace
