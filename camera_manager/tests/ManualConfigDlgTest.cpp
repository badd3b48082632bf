// The manual GigE configuration dialog against the simulator (run under xvfb-run): what its
// commands send, what they show, and what they put back.
#include "camera_manager/core/dialogs/ManualConfigDlg.h"
#include "camera_manager/core/controls/IpAddressCtrl.h"
#include "camera_manager/core/dialogs/AutomaticEthConfiguration.h"
#include "camera_manager/core/records/CameraList.h"
#include "camera_manager/tests/AnswerDialogs.h"
#include "camera_manager/tests/ConfigurationJournal.h"
#include "camera_manager/tests/ManagerTestSupport.h"
#include "platform/win/ArpProbe.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/frame.h>
#include <wx/msgdlg.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <cstdlib>
#include <memory>

namespace {

using cmtest::ConfigurationCall;
using cmtest::ConfigurationCalls;
using Ints = std::vector<long long>;

const auto* const environment =
    ::testing::AddGlobalTestEnvironment(new cmtest::WxTestEnvironment([] { return new wxApp(); }));

// Camera 10.0.0.5/8 paired with adapter 3 at 192.168.10.7/24.
const char* const camera1001 =
    "[camera]\ndevice_id = 1001\nserial = S1001\nsensor = ZK5240-M\n"
    "mac = 02-00-00-00-00-01\npersistent_ip = 10.0.0.5\npersistent_mask = 255.0.0.0\n"
    "adapter_id = 3\nadapter_ip = 192.168.10.7\nadapter_mask = 255.255.255.0\n";

constexpr long long deviceId = 1001 | 0x8000;

void pump() {
    for (int i = 0; i < 5; ++i)
        wxTheApp->Yield(true), wxMilliSleep(5);
}

class ManualConfigDlgTest : public cmtest::ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        answers_.answer = [this](wxDialog* dialog) {
            if (auto* box = dynamic_cast<wxMessageDialog*>(dialog))
                styles_.push_back(box->GetMessageDialogStyle());
            return wxID_OK;
        };
        answers_.Register();
        prober_ = std::make_shared<win::FixedArpProber>();
        win::SetArpProber(prober_);
    }
    void TearDown() override {
        dialog_.reset();
        answers_.Unregister();
        win::SetArpProber(nullptr);
        ManagerTest::TearDown();
    }

    // Opens the dialog (shown, not modal) on the camera of the description.
    ManualConfigDlg& open(const std::string& description = camera1001) {
        useCameras(description);
        cameras_.Clear();
        EXPECT_TRUE(FillCameraList(cameras_, FillGigE));
        EXPECT_EQ(cameras_.GetCount(), 1u);
        dialog_ = std::make_unique<ManualConfigDlg>(nullptr, *cameras_.At(0));
        dialog_->Show();
        pump();
        zksim_JournalClear();
        return *dialog_;
    }
    IpAddressCtrl& field(int id) { return *dynamic_cast<IpAddressCtrl*>(dialog_->FindWindow(id)); }
    wxTextCtrl& timeout() { return *dynamic_cast<wxTextCtrl*>(dialog_->FindWindow(1120)); }
    // The status text without the line breaks that wrap it into its frame.
    wxString status() {
        wxString text = dynamic_cast<wxStaticText*>(dialog_->FindWindow(1182))->GetLabel();
        text.Replace("\n", " ");
        return text;
    }
    bool applyEnabled() { return dialog_->FindWindow(1104)->IsEnabled(); }
    // What a user types: the text changes and the field reports it.
    void type(int id, const wxString& text) {
        dynamic_cast<wxTextCtrl*>(dialog_->FindWindow(id))->SetValue(text);
    }
    void click(int id) {
        wxCommandEvent event(wxEVT_BUTTON, id);
        event.SetEventObject(dialog_->FindWindow(id));
        dialog_->FindWindow(id)->GetEventHandler()->ProcessEvent(event);
        pump();
    }
    // The persistent address the simulated camera now reports.
    std::u16string cameraAddress() {
        CameraList again;
        EXPECT_TRUE(FillCameraList(again, FillGigE));
        return again.At(0)->GetDevicePersistentIpAddress();
    }
    static bool hasIcon(long style) {
        return style & (wxICON_ERROR | wxICON_WARNING | wxICON_INFORMATION | wxICON_QUESTION);
    }

    cmtest::AnswerDialogs answers_;
    std::vector<long> styles_;
    std::shared_ptr<win::FixedArpProber> prober_;
    CameraList cameras_;
    std::unique_ptr<ManualConfigDlg> dialog_;
};

TEST_F(ManualConfigDlgTest, OpensWithTheCameraAndAdapterValues) {
    open();
    EXPECT_EQ(dynamic_cast<wxStaticBox*>(dialog_->FindWindow(1137))->GetLabel(), "Selected device ID 1001");
    EXPECT_EQ(field(1041).GetValue(), "10.0.0.5");
    EXPECT_EQ(field(1140).GetValue(), "255.0.0.0");
    EXPECT_EQ(field(1107).GetValue(), "0.0.0.0");
    EXPECT_EQ(field(1108).GetValue(), "0.0.0.0");
    EXPECT_EQ(timeout().GetValue(), "100");
    EXPECT_FALSE(applyEnabled());
    EXPECT_EQ(status(), "The camera uses the persistent IP address.");
    EXPECT_FALSE(dialog_->FindWindow(1252)->IsShown());

    // Clearing the camera fields, and the hidden DHCP box, change the status text.
    type(1041, "0.0.0.0");
    EXPECT_TRUE(applyEnabled());
    type(1140, "0.0.0.0");
    EXPECT_EQ(status(), "The camera has no persistent IP address and will use an address from the IP range.");
    auto* dhcp = dynamic_cast<wxCheckBox*>(dialog_->FindWindow(1252));
    dhcp->SetValue(true);
    wxCommandEvent box(wxEVT_CHECKBOX, 1252);
    box.SetEventObject(dhcp);
    dhcp->GetEventHandler()->ProcessEvent(box);
    EXPECT_EQ(status(), "The camera uses DHCP or the IP range.");
}

// Over its owner, wherever that stands on the screen, not at the screen's centre.
TEST_F(ManualConfigDlgTest, OpensCentredOnItsOwner) {
    useCameras(camera1001);
    cameras_.Clear();
    ASSERT_TRUE(FillCameraList(cameras_, FillGigE));
    wxFrame owner(nullptr, wxID_ANY, "owner", wxPoint(0, 0), wxSize(900, 700));
    owner.Show();
    pump();
    ManualConfigDlg dialog(&owner, *cameras_.At(0));
    const wxRect parent = owner.GetRect();
    const wxRect placed = dialog.GetRect();
    EXPECT_NEAR(placed.x + placed.width / 2, parent.x + parent.width / 2, 2);
    EXPECT_NEAR(placed.y + placed.height / 2, parent.y + parent.height / 2, 2);
}

TEST_F(ManualConfigDlgTest, OkWithApplyDisabledSendsNothing) {
    open();
    type(1120, "100"); // the same number does not count as a change
    EXPECT_FALSE(applyEnabled());
    click(wxID_OK);
    EXPECT_EQ(dialog_->GetReturnCode(), wxID_OK);
    EXPECT_TRUE(ConfigurationCalls().empty());
    EXPECT_TRUE(answers_.messages.empty());
}

TEST_F(ManualConfigDlgTest, ApplySendsTheChangedCameraAddressOnly) {
    open();
    type(1041, "10.0.0.9");
    click(1104);
    std::vector<ConfigurationCall> calls = ConfigurationCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].function, "zk_SetPersistentIpCfg");
    EXPECT_EQ(calls[0].ints, (Ints{deviceId, 0x0A000009, 0xFF000000, 12}));
    EXPECT_FALSE(applyEnabled());
    EXPECT_TRUE(answers_.messages.empty());
    EXPECT_EQ(cameraAddress(), u"10.0.0.9");

    // Typed back, the old address is a change again and reaches the camera.
    zksim_JournalClear();
    type(1041, "10.0.0.5");
    click(1104);
    calls = ConfigurationCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].ints, (Ints{deviceId, 0x0A000005, 0xFF000000, 12}));
    EXPECT_EQ(cameraAddress(), u"10.0.0.5");
}

TEST_F(ManualConfigDlgTest, OkAppliesPendingChangesAndClearedFieldsDeleteTheAddress) {
    open();
    type(1041, "0.0.0.0");
    type(1140, "0.0.0.0");
    click(wxID_OK);
    const std::vector<ConfigurationCall> calls = ConfigurationCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].ints, (Ints{deviceId, 0, 0, 12}));
    EXPECT_EQ(cameraAddress(), u"0.0.0.0");
}

TEST_F(ManualConfigDlgTest, AFailedCameraCallIsSummarisedAndKeepsTheEntry) {
    open();
    type(1041, "10.0.0.9");
    zksim_InjectFailure("zk_SetPersistentIpCfg", 3, 1);
    click(1104);
    ASSERT_EQ(answers_.messages.size(), 1u);
    EXPECT_EQ(answers_.messages[0], "The following modifications could not be made:\n\n"
                                    "- Setting of the persistent IP address or subnetmask  (Errorcode 3)\n");
    EXPECT_TRUE(styles_[0] & wxICON_ERROR);
    EXPECT_EQ(field(1041).GetValue(), "10.0.0.9");
    // Still a change: the next Apply sends it again.
    zksim_JournalClear();
    click(1104);
    EXPECT_EQ(ConfigurationCalls().size(), 1u);
    EXPECT_EQ(cameraAddress(), u"10.0.0.9");
}

TEST_F(ManualConfigDlgTest, RangeAndTimeoutAreSentWithTheTimeoutLimited) {
    open();
    type(1107, "192.168.10.50");
    type(1108, "192.168.10.99");
    type(1120, "70000");
    click(1104);
    std::vector<ConfigurationCall> calls = ConfigurationCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].function, "zk_SetAutoCfgIpRange");
    EXPECT_EQ(calls[0].ints, (Ints{3, 0xC0A80A32, 0xC0A80A63, 65536}));
    EXPECT_EQ(timeout().GetValue(), "65536");

    // Now the reference: the same values again send nothing; a negative time-out is 65536 too,
    // which is what the adapter already has.
    zksim_JournalClear();
    click(1104);
    type(1120, "-5");
    EXPECT_TRUE(applyEnabled());
    click(1104);
    calls = ConfigurationCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].ints, (Ints{3, 0xC0A80A32, 0xC0A80A63, 65536}));

    // Both 0 clears the range.
    zksim_JournalClear();
    type(1107, "0.0.0.0");
    type(1108, "0.0.0.0");
    click(1104);
    calls = ConfigurationCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].ints, (Ints{3, 0, 0, 65536}));
    EXPECT_TRUE(answers_.messages.empty());
}

TEST_F(ManualConfigDlgTest, RefusedRangesRestoreTheirFieldsAndSendNothing) {
    const char* const hostZero = "The host ID part of the IP range begin must not be 0!";
    const char* const broadcast =
        "The IP range end must not be equal to the broadcast address of the subnet!";
    const wxString summary = "The following modifications could not be made:\n\n- Setting of the automatic "
                             "configuration range or the probe timeout  (Errorcode -1)\n";
    struct Case {
        const char* begin;
        const char* end;
        wxString message;
        const char* beginAfter;
        const char* endAfter;
    } cases[] = {
        {"192.168.10.0", "192.168.10.20", hostZero, "192.168.10.1", "192.168.10.20"},
        {"192.168.10.1", "192.168.10.255", broadcast, "192.168.10.1", "192.168.10.254"},
        {"192.168.10.0", "192.168.10.255", wxString(hostZero) + "\n" + broadcast, "192.168.10.1",
         "192.168.10.254"},
        {"192.168.10.1", "10.0.0.1", "The IP range begin must be less than or equal to the IP range end!",
         "192.168.10.1", "192.168.10.254"},
    };
    open();
    // A range the adapter accepts first, so that there is one to go back to.
    type(1107, "192.168.10.1");
    type(1108, "192.168.10.254");
    click(1104);
    for (const Case& c : cases) {
        zksim_JournalClear();
        answers_.messages.clear();
        styles_.clear();
        type(1107, c.begin);
        type(1108, c.end);
        click(1104);
        EXPECT_TRUE(ConfigurationCalls().empty()) << c.begin << " " << c.end;
        ASSERT_EQ(answers_.messages.size(), 2u);
        EXPECT_EQ(answers_.messages[0], c.message);
        EXPECT_FALSE(hasIcon(styles_[0]));
        EXPECT_EQ(answers_.messages[1], summary);
        EXPECT_TRUE(styles_[1] & wxICON_ERROR);
        // Only the offending fields go back; a valid one keeps the user's text.
        EXPECT_EQ(field(1107).GetValue(), c.beginAfter);
        EXPECT_EQ(field(1108).GetValue(), c.endAfter);
    }
}

TEST_F(ManualConfigDlgTest, SuggestedRangeSpansTheAdapterNetwork) {
    open("[camera]\ndevice_id = 1001\nserial = S1001\nsensor = ZK5240-M\nmac = 02-00-00-00-00-01\n"
         "persistent_ip = 10.0.0.5\npersistent_mask = 255.0.0.0\n"
         "adapter_id = 3\nadapter_ip = 192.168.1.10\nadapter_mask = 255.255.255.0\n");
    type(1120, "250");
    click(1125);
    EXPECT_EQ(field(1107).GetValue(), "192.168.1.1");
    EXPECT_EQ(field(1108).GetValue(), "192.168.1.254");
    EXPECT_EQ(timeout().GetValue(), "100");
    EXPECT_EQ(field(1041).GetValue(), "0.0.0.0");
    EXPECT_EQ(field(1140).GetValue(), "0.0.0.0");
    EXPECT_EQ(status(), "The camera has no persistent IP address and will use an address from the IP range.");
    click(wxID_OK);
    const std::vector<ConfigurationCall> calls = ConfigurationCalls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].ints, (Ints{deviceId, 0, 0, 12}));
    EXPECT_EQ(calls[1].ints, (Ints{3, 0xC0A80101, 0xC0A801FE, 100}));
}

TEST_F(ManualConfigDlgTest, SuggestedAddressIsTheFirstThatNobodyAnswers) {
    prober_ = std::make_shared<win::FixedArpProber>(std::set<uint32_t>{0xC0A80A01, 0xC0A80A02, 0xC0A80A03});
    win::SetArpProber(prober_);
    open();
    click(1175);
    EXPECT_EQ(field(1041).GetValue(), "192.168.10.4");
    EXPECT_EQ(field(1140).GetValue(), "255.255.255.0");
    EXPECT_EQ(prober_->probed, (std::vector<uint32_t>{0xC0A80A01, 0xC0A80A02, 0xC0A80A03, 0xC0A80A04}));
    EXPECT_TRUE(applyEnabled());
    EXPECT_TRUE(ConfigurationCalls().empty());
}

TEST_F(ManualConfigDlgTest, AnUnknownAnswerIsNeverTakenForAFreeAddress) {
    win::SetArpProber(std::make_shared<win::FixedArpProber>(std::set<uint32_t>{}, false));
    open();
    click(1175);
    EXPECT_EQ(field(1041).GetValue(), "10.0.0.5");
    EXPECT_EQ(field(1140).GetValue(), "255.0.0.0");
    ASSERT_EQ(answers_.messages.size(), 1u);
    EXPECT_TRUE(answers_.messages[0].StartsWith("The IP addresses of the subnet could not be probed:\n\n"));
    EXPECT_TRUE(answers_.messages[0].Contains("no permission"));
    EXPECT_FALSE(applyEnabled());
}

TEST_F(ManualConfigDlgTest, ASuggestionProbesAtMostOneSlash16) {
    // Every address of a /8 network answers: the scan stops after 65,534 probes and keeps the
    // address field.
    std::set<uint32_t> everyone;
    for (uint32_t a = 0x0A000001; a <= 0x0A00FFFF; ++a)
        everyone.insert(a);
    prober_ = std::make_shared<win::FixedArpProber>(everyone);
    win::SetArpProber(prober_);
    open("[camera]\ndevice_id = 1001\nserial = S1001\nsensor = ZK5240-M\nmac = 02-00-00-00-00-01\n"
         "persistent_ip = 10.0.0.5\npersistent_mask = 255.0.0.0\n"
         "adapter_id = 3\nadapter_ip = 10.1.2.3\nadapter_mask = 255.0.0.0\n");
    click(1175);
    EXPECT_EQ(prober_->probed.size(), 65534u);
    EXPECT_EQ(prober_->probed.back(), 0x0A00FFFEu);
    EXPECT_EQ(field(1041).GetValue(), "10.0.0.5");
    EXPECT_EQ(field(1140).GetValue(), "255.0.0.0");
}

TEST_F(ManualConfigDlgTest, SuggestionsNeedAUsableAdapterAddress) {
    useCameras(camera1001);
    zksim_InjectFailure("zk_GetEthDeviceInfo", 3, 1);
    cameras_.Clear();
    ASSERT_TRUE(FillCameraList(cameras_, FillGigE));
    dialog_ = std::make_unique<ManualConfigDlg>(nullptr, *cameras_.At(0));
    dialog_->Show();
    zksim_JournalClear();
    // The unreadable texts show as empty addresses and are not changes of their own.
    EXPECT_EQ(field(1041).GetValue(), "0.0.0.0");
    click(1175);
    click(1125);
    EXPECT_TRUE(prober_->probed.empty());
    EXPECT_EQ(field(1107).GetValue(), "0.0.0.0");
    ASSERT_EQ(answers_.messages.size(), 2u);
    EXPECT_EQ(answers_.messages[0], "The IP address or the subnet mask of the network adapter is not valid.");
    click(wxID_OK);
    EXPECT_TRUE(ConfigurationCalls().empty());
}

TEST_F(ManualConfigDlgTest, AnAddressWithoutMaskGetsTheDefaultMaskWhenLeft) {
    open();
    type(1140, "0.0.0.0");
    type(1041, "10.0.0.9");
    wxFocusEvent left(wxEVT_KILL_FOCUS, 1041);
    left.SetEventObject(&field(1041));
    field(1041).GetEventHandler()->ProcessEvent(left);
    pump();
    EXPECT_EQ(field(1140).GetValue(), "255.255.255.0");
    // An empty address leaves the mask empty.
    type(1041, "0.0.0.0");
    type(1140, "0.0.0.0");
    field(1041).GetEventHandler()->ProcessEvent(left);
    pump();
    EXPECT_EQ(field(1140).GetValue(), "0.0.0.0");
}

TEST_F(ManualConfigDlgTest, AutomaticConfigurationReportsWithTheMatchingIcon) {
    useCameras(camera1001);
    CameraList list;
    ASSERT_TRUE(FillCameraList(list, FillGigE));
    RunAutomaticEthConfiguration(nullptr, *list.At(0));
    zksim_InjectFailure("zk_SetAutoCfgIpRange", 141, 1);
    RunAutomaticEthConfiguration(nullptr, *list.At(0));
    ASSERT_EQ(answers_.messages.size(), 2u);
    EXPECT_EQ(answers_.messages[0], "Automatic configuration completed successfully  ");
    EXPECT_TRUE(styles_[0] & wxICON_INFORMATION);
    EXPECT_EQ(answers_.messages[1], "The IP range could not be set!\nErrorcode: 141");
    EXPECT_TRUE(styles_[1] & wxICON_ERROR);
}

} // namespace
