#include "camera_manager/diagnostics/dialogs/DlgSerial.h"
#include "camera_manager/core/records/CameraEntry.h"
#include "camera_manager/core/records/CameraList.h"
#include "camera_manager/diagnostics/dialogs/AdditionalFunctions.h"
#include "camera_manager/tests/AnswerDialogs.h"
#include "camera_manager/tests/ManagerTestSupport.h"
#include "platform/win/PortDevices.h"
#include "platform/win/Registry.h"
#include "platform/win/SerialPort.h"
#include "platform/win/tests/PtyBridge.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <pty.h>
#include <thread>
#include <time.h>
#include <unistd.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/display.h>
#include <wx/frame.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

namespace {

using namespace std::chrono_literals;

const auto* const environment =
    ::testing::AddGlobalTestEnvironment(new cmtest::WxTestEnvironment([] { return new wxApp(); }));

// Handles what the GUI thread was handed until the condition holds or two seconds passed.
template <class Condition> bool pumpUntil(Condition condition, std::chrono::milliseconds limit = 2000ms) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        wxTheApp->ProcessPendingEvents();
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

// Port A (the camera's COM105) and COM1 are the two ends of one cable; the test holds a third
// pty pair whose end it reads and writes as "the other side" of a single port.
class DlgSerialTest : public cmtest::ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        entry_.SetDeviceComportOffset(5);
        win::SetComPortLookup([this](unsigned n) {
            if (n == 1)
                return cable_.endA();
            if (n == 105)
                return cable_.endB();
            if (n == 7)
                return probe_.endA();
            if (n == 8)
                return probe_.endB();
            return std::string();
        });
        hook_.Register();
        dialog_ = new DlgSerial(nullptr, &entry_);
        dialog_->Show();
    }
    void TearDown() override {
        delete dialog_; // now, before the cable goes: its hang-up would reach the next test
        wxTheApp->ProcessPendingEvents();
        hook_.Unregister();
        win::SetComPortLookup(nullptr);
        ManagerTest::TearDown();
    }
    // Without the terminal of the fixture: one GigE camera of the simulator whose serial connector
    // is one end of the cable, with COM1 a real device on the other end. Null when not listed.
    CameraEntry* cameraOnTheCable(CameraList& gige, const std::string& keys) {
        dialog_->Destroy();
        dialog_ = nullptr;
        win::SetComPortLookup(nullptr);
        if (!win::setSerialDevicePort(1, cable_.endA()))
            return nullptr;
        useCameras("[camera]\ndevice_id = 1001\nserial = S1001\nsensor = ZK5240-M\nmac = 02-00-00-00-00-01\n"
                   "starter_fw = 0x1000021\n" +
                   keys + "serial_line = " + cable_.endB() + "\n");
        if (!FillCameraList(gige, FillGigE) || gige.GetCount() != 1)
            return nullptr;
        return gige.At(0);
    }
    template <class T> T* control(int id) { return dynamic_cast<T*>(dialog_->FindWindow(id)); }
    void click(int id) {
        wxCommandEvent event(wxEVT_BUTTON, id);
        event.SetEventObject(dialog_->FindWindow(id));
        dialog_->FindWindow(id)->GetEventHandler()->ProcessEvent(event);
    }
    void select(int id, int index) {
        control<wxChoice>(id)->SetSelection(index);
        wxCommandEvent event(wxEVT_CHOICE, id);
        event.SetInt(index);
        dialog_->FindWindow(id)->GetEventHandler()->ProcessEvent(event);
    }
    void toggleBroadcast(bool on) {
        control<wxCheckBox>(1252)->SetValue(on);
        wxCommandEvent event(wxEVT_CHECKBOX, 1252);
        event.SetInt(on);
        dialog_->FindWindow(1252)->GetEventHandler()->ProcessEvent(event);
    }
    // Reads from a port until count bytes came or half a second passed.
    static std::string readSome(win::SerialPort& port, size_t count) {
        std::string got;
        const auto end = std::chrono::steady_clock::now() + 500ms;
        while (got.size() < count && std::chrono::steady_clock::now() < end) {
            char buffer[256];
            const ssize_t n = port.read(buffer, sizeof buffer, 20);
            if (n < 0)
                break;
            got.append(buffer, static_cast<size_t>(n));
        }
        return got;
    }

    CameraEntry entry_;
    wintest::PtyBridge cable_, probe_;
    cmtest::AnswerDialogs hook_;
    DlgSerial* dialog_ = nullptr;
};

} // namespace

TEST_F(DlgSerialTest, StartsWithTheCameraPortAndDefaultLists) {
    EXPECT_EQ(control<wxStaticBox>(1289)->GetLabel(), "Virtual COM port (COM105)");
    for (int baud : {1032, 1033}) {
        EXPECT_EQ(control<wxChoice>(baud)->GetCount(), 11u);
        EXPECT_EQ(control<wxChoice>(baud)->GetStringSelection(), "115200");
    }
    EXPECT_EQ(control<wxChoice>(1281)->GetStringSelection(), "none");
    EXPECT_EQ(control<wxChoice>(1309)->GetString(3), "CR-LF");
    EXPECT_EQ(control<wxChoice>(1296)->GetString(0),
              "Source file  ->  COM1  ->  COM105  ->  Destination file");
    EXPECT_EQ(control<wxChoice>(1296)->GetString(1),
              "Source file  ->  COM105  ->  COM1  ->  Destination file");
    toggleBroadcast(true);
    EXPECT_EQ(control<wxStaticBox>(1289)->GetLabel(), "Virtual COM port (COM255)"); // none registered
    toggleBroadcast(false);
    EXPECT_EQ(control<wxStaticBox>(1289)->GetLabel(), "Virtual COM port (COM105)");
}

// Over the window it is opened from, wherever that stands, not at the screen's centre; kept
// inside the work area where its owner's centre is too near the edge.
TEST_F(DlgSerialTest, OpensCentredOnItsOwnerInsideTheWorkArea) {
    const wxRect area = wxDisplay(0u).GetClientArea();
    for (const wxPoint at : {wxPoint(area.x, area.y), wxPoint(area.GetRight() - 700, area.y + 200)}) {
        wxFrame owner(nullptr, wxID_ANY, "owner", at, wxSize(700, 500));
        owner.Show();
        pumpUntil([] { return false; }, 50ms);
        DlgSerial terminal(&owner, &entry_);
        const wxRect parent = owner.GetRect();
        const wxRect placed = terminal.GetRect();
        const auto inside = [](int ownerStart, int ownerLength, int length, int areaStart, int areaLength) {
            return std::clamp(ownerStart + ownerLength / 2 - length / 2, areaStart,
                              areaStart + areaLength - length);
        };
        EXPECT_NEAR(placed.x, inside(parent.x, parent.width, placed.width, area.x, area.width), 2);
        EXPECT_NEAR(placed.y, inside(parent.y, parent.height, placed.height, area.y, area.height), 2);
    }
}

TEST_F(DlgSerialTest, BroadcastPortComesFromTheRegistryAndIsOpenedInstead) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"SYSTEM\\CurrentControlSet\\Services\\zeko\\Parameters", 0,
                              nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const std::u16string seven = u"7";
    RegSetValueExW(key, u"BroadcastComport", 0, REG_SZ, reinterpret_cast<const BYTE*>(seven.c_str()), 4);
    RegCloseKey(key);
    dialog_->Destroy();
    dialog_ = new DlgSerial(nullptr, &entry_);
    toggleBroadcast(true);
    EXPECT_EQ(control<wxStaticBox>(1289)->GetLabel(), "Virtual COM port (COM7)");
    click(1104);
    EXPECT_EQ(control<wxButton>(1104)->GetLabel(), "Disconnect");
    EXPECT_FALSE(control<wxCheckBox>(1252)->IsEnabled());
    win::SerialPort other;
    ASSERT_TRUE(other.open("COM8"));
    ASSERT_TRUE(other.write("hello", 5));
    EXPECT_TRUE(pumpUntil([&] { return control<wxTextCtrl>(1269)->GetValue() == "hello"; }));
}

TEST_F(DlgSerialTest, SendPutsTheLineAndItsLineEndOnTheWire) {
    click(1104);
    ASSERT_EQ(control<wxButton>(1104)->GetLabel(), "Disconnect");
    EXPECT_FALSE(control<wxButton>(1162)->IsEnabled()); // no transfer while a port is connected
    win::SerialPort com1;
    ASSERT_TRUE(com1.open("COM1"));
    ASSERT_TRUE(com1.configure("baud=115200 parity=N data=8 stop=1"));
    struct Case {
        std::wstring text;
        int lineEnd;
        std::string wire;
    };
    const std::string full = std::string(100, 'x') + "\r\n";
    for (const Case& c : {Case{L"", 0, ""}, Case{L"", 3, "\r\n"}, Case{L"abc", 1, "abc\r"},
                          Case{L"abc", 2, "abc\n"}, Case{std::wstring(100, L'x'), 3, full}}) {
        control<wxTextCtrl>(1266)->ChangeValue(c.text);
        control<wxChoice>(1306)->SetSelection(c.lineEnd);
        click(1270);
        EXPECT_EQ(readSome(com1, c.wire.size() + 1), c.wire) << c.lineEnd;
    }
    EXPECT_TRUE(hook_.messages.empty());
}

// A paste longer than the send line is cut at its 100 characters, as a Windows edit control
// does, where the field it goes into already holds text too. The text goes in at the caret as
// GTK's paste puts it there.
TEST_F(DlgSerialTest, APasteBeyondTheSendLineIsCutAtItsLength) {
    auto* field = control<wxTextCtrl>(1266);
    const wxString digits = "0123456789";
    wxString text;
    for (int i = 0; i < 10; ++i)
        text += digits;
    field->WriteText(text + "X");
    EXPECT_EQ(field->GetValue(), text);
    field->ChangeValue("");
    field->WriteText(wxString('a', 1 << 20));
    EXPECT_EQ(field->GetValue(), wxString('a', 100));
    field->ChangeValue("start end");
    field->SetInsertionPoint(6);
    field->WriteText(text);
    EXPECT_EQ(field->GetValue(), "start " + text.Left(91) + "end");
    field->WriteText("more");
    EXPECT_EQ(field->GetValue(), "start " + text.Left(91) + "end");
}

TEST_F(DlgSerialTest, BothPortsTalkThroughTheCable) {
    click(1104);
    click(1105);
    control<wxTextCtrl>(1266)->ChangeValue("to B");
    click(1270);
    control<wxTextCtrl>(1267)->ChangeValue("to A");
    control<wxChoice>(1309)->SetSelection(2);
    click(1272);
    EXPECT_TRUE(pumpUntil([&] { return control<wxTextCtrl>(1271)->GetValue() == "to B"; }));
    EXPECT_TRUE(pumpUntil([&] { return control<wxTextCtrl>(1269)->GetValue() == "to A\n"; }));
    click(1125);
    EXPECT_EQ(control<wxTextCtrl>(1269)->GetValue(), "");
}

TEST_F(DlgSerialTest, ReceivedTextStopsAtAZeroByteAndKeepsGrowing) {
    click(1104);
    win::SerialPort com1;
    ASSERT_TRUE(com1.open("COM1"));
    ASSERT_TRUE(com1.write("ab\0cd", 5));
    ASSERT_TRUE(pumpUntil([&] { return control<wxTextCtrl>(1269)->GetValue() == "ab"; }));
    std::this_thread::sleep_for(50ms);
    ASSERT_TRUE(com1.write("ef", 2));
    EXPECT_TRUE(pumpUntil([&] { return control<wxTextCtrl>(1269)->GetValue() == "abef"; }));
}

TEST_F(DlgSerialTest, DisconnectEndsTheReaderAtOnceAndFreesThePort) {
    click(1104);
    ASSERT_EQ(control<wxButton>(1104)->GetLabel(), "Disconnect");
    const auto start = std::chrono::steady_clock::now();
    click(1104);
    EXPECT_LT(std::chrono::steady_clock::now() - start,
              1000ms); // no forced wait: a reader that hung would take seconds
    EXPECT_EQ(control<wxButton>(1104)->GetLabel(), "Connect");
    EXPECT_TRUE(control<wxButton>(1162)->IsEnabled());
    EXPECT_TRUE(control<wxCheckBox>(1252)->IsEnabled());
    win::SerialPort again;
    EXPECT_TRUE(again.open("COM105"));
}

TEST_F(DlgSerialTest, BaudChangeDisconnectsTheConnectedPort) {
    click(1105);
    ASSERT_EQ(control<wxButton>(1105)->GetLabel(), "Disconnect");
    select(1033, 3);
    EXPECT_EQ(control<wxButton>(1105)->GetLabel(), "Connect");
    win::SerialPort again;
    EXPECT_TRUE(again.open("COM1"));
    again.close();
    control<wxTextCtrl>(1267)->ChangeValue("x");
    click(1272);
    ASSERT_EQ(hook_.messages.size(), 1u);
    EXPECT_EQ(hook_.messages[0], "Please connect the COM port first");
}

TEST_F(DlgSerialTest, PortThatCannotBeOpenedIsReported) {
    entry_.SetDeviceComportOffset(40); // COM140: no device
    dialog_->Destroy();
    dialog_ = new DlgSerial(nullptr, &entry_);
    click(1104);
    EXPECT_EQ(control<wxButton>(1104)->GetLabel(), "Connect");
    ASSERT_EQ(hook_.messages.size(), 1u);
    EXPECT_EQ(hook_.messages[0], "The COM port can not be opened");
}

TEST_F(DlgSerialTest, SendFileChecksItsInputsFirst) {
    click(1162);
    control<wxTextCtrl>(1292)->ChangeValue(dir_ + "/source.bin");
    click(1162);
    control<wxTextCtrl>(1294)->ChangeValue(dir_ + "/destination.bin");
    select(1032, 7);
    click(1162);
    ASSERT_EQ(hook_.messages.size(), 3u);
    EXPECT_EQ(hook_.messages[0], "Please select source and destination file first");
    EXPECT_EQ(hook_.messages[1], "Please select source and destination file first");
    EXPECT_EQ(hook_.messages[2], "The baud rates of the virtual COM port and COM1 are different!");
    EXPECT_EQ(control<wxButton>(1162)->GetLabel(), "Send file");
}

TEST_F(DlgSerialTest, SendFileMovesTheFileAndReportsIt) {
    std::string data(70000, '\0');
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>(i * 7);
    std::ofstream(dir_ + "/source.bin", std::ios::binary)
        .write(data.data(), static_cast<std::streamsize>(data.size()));
    control<wxTextCtrl>(1292)->ChangeValue(dir_ + "/source.bin");
    control<wxTextCtrl>(1294)->ChangeValue(dir_ + "/destination.bin");
    control<wxChoice>(1296)->SetSelection(1);
    click(1162);
    ASSERT_TRUE(pumpUntil([&] { return !hook_.messages.empty(); }));
    EXPECT_EQ(hook_.messages[0], "File transfer complete");
    EXPECT_EQ(control<wxButton>(1162)->GetLabel(), "Send file");
    EXPECT_EQ(control<wxStaticText>(1304)->GetLabel(), "0");
    std::ifstream in(dir_ + "/destination.bin", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), data);
}

TEST_F(DlgSerialTest, ClosingDuringATransferIsSafe) {
    std::string data(4 * 1024 * 1024, 'z');
    std::ofstream(dir_ + "/source.bin", std::ios::binary)
        .write(data.data(), static_cast<std::streamsize>(data.size()));
    control<wxTextCtrl>(1292)->ChangeValue(dir_ + "/source.bin");
    control<wxTextCtrl>(1294)->ChangeValue(dir_ + "/destination.bin");
    cable_.pause(true);
    click(1162);
    EXPECT_EQ(control<wxButton>(1162)->GetLabel(), "Stop");
    std::this_thread::sleep_for(100ms);
    const auto start = std::chrono::steady_clock::now();
    delete dialog_;
    dialog_ = nullptr;
    EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms);
    wxTheApp->ProcessPendingEvents();
    EXPECT_TRUE(hook_.messages.empty());
    cable_.pause(false);
}

TEST_F(DlgSerialTest, NonAsciiTextCrossesWholeBothWays) {
    click(1104);
    click(1105);
    const wxString greeting = wxString::FromUTF8("Gruesse von B \xc3\xa4\xc3\xb6\xc3\xbc \xe2\x82\xac");
    control<wxTextCtrl>(1267)->ChangeValue(greeting);
    click(1272);
    EXPECT_TRUE(pumpUntil([&] { return control<wxTextCtrl>(1269)->GetValue() == greeting; }))
        << control<wxTextCtrl>(1269)->GetValue();
    control<wxTextCtrl>(1266)->ChangeValue(greeting);
    click(1270);
    EXPECT_TRUE(pumpUntil([&] { return control<wxTextCtrl>(1271)->GetValue() == greeting; }))
        << control<wxTextCtrl>(1271)->GetValue();
}

// The device behind a connected port goes away (socat killed, an adapter pulled): the port is
// shown disconnected with a message, and nothing keeps spinning.
TEST_F(DlgSerialTest, HungUpLineEndsTheReaderAndIsShownDisconnected) {
    int master = -1, slave = -1;
    char name[128] = {};
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    ::close(slave);
    win::SetComPortLookup([&](unsigned n) { return n == 105 ? std::string(name) : cable_.endA(); });
    click(1104);
    click(1105);
    ASSERT_EQ(control<wxButton>(1104)->GetLabel(), "Disconnect");
    ::close(master);
    ASSERT_TRUE(pumpUntil([&] { return !hook_.messages.empty(); }));
    EXPECT_EQ(hook_.messages[0], "The connection to the COM port was lost. The port has been closed.");
    EXPECT_EQ(control<wxButton>(1104)->GetLabel(), "Connect");
    EXPECT_TRUE(control<wxCheckBox>(1252)->IsEnabled());
    EXPECT_EQ(control<wxButton>(1105)->GetLabel(), "Disconnect"); // the other port stays
    timespec before{}, after{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &before);
    pumpUntil([] { return false; }, 500ms);
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &after);
    const double cpu = double(after.tv_sec - before.tv_sec) + double(after.tv_nsec - before.tv_nsec) / 1e9;
    EXPECT_LT(cpu, 0.25); // a spinning reader would burn the whole half second
    EXPECT_EQ(hook_.messages.size(), 1u) << hook_.messages.back();
}

// Text still on its way to the window when the dialog goes is dropped with the session.
TEST_F(DlgSerialTest, ClosingWithTextOnItsWayIsSafe) {
    click(1104);
    win::SerialPort com1;
    ASSERT_TRUE(com1.open("COM1"));
    for (int i = 0; i < 50; ++i)
        ASSERT_TRUE(com1.write("0123456789", 10));
    std::this_thread::sleep_for(100ms); // the reader posts, nobody handles it yet
    delete dialog_;
    dialog_ = nullptr;
    wxTheApp->ProcessPendingEvents();
    EXPECT_TRUE(hook_.messages.empty()) << hook_.messages[0];
}

// The running program's path: Additional functions opens the camera, the panel installs its
// port, and Send / Receive connects the terminal to it. Nothing but the device store says where
// ports live: COM1 is a real device given its number there, the camera's port is served by the
// simulator while the camera is open.
struct PanelRun {
    std::vector<wxString> captions, received;
    std::vector<std::string> portLinks; // the registry folder's port links while the terminal ran
};

PanelRun runPanelAndTerminal(cmtest::AnswerDialogs& hook, CameraEntry* camera,
                             const std::function<void(wxDialog*, const std::function<void(int)>&)>& onPanel) {
    PanelRun run;
    AdditionalFunctions::runSerialTerminal = [&](wxWindow*, CameraEntry* entry) {
        DlgSerial terminal(nullptr, entry);
        terminal.Show();
        for (const auto& file : std::filesystem::directory_iterator(std::getenv("ZEKO_REGISTRY_DIR")))
            if (file.path().filename().string().starts_with("zeko_COM"))
                run.portLinks.push_back(file.path().filename().string());
        auto press = [&](int id) {
            wxCommandEvent event(wxEVT_BUTTON, id);
            event.SetEventObject(terminal.FindWindow(id));
            terminal.FindWindow(id)->GetEventHandler()->ProcessEvent(event);
        };
        run.captions.push_back(dynamic_cast<wxStaticBox*>(terminal.FindWindow(1289))->GetLabel());
        run.captions.push_back(dynamic_cast<wxChoice*>(terminal.FindWindow(1296))->GetString(0));
        press(1104);
        press(1105);
        run.captions.push_back(dynamic_cast<wxButton*>(terminal.FindWindow(1104))->GetLabel());
        auto* sendA = dynamic_cast<wxTextCtrl*>(terminal.FindWindow(1266));
        auto* sendB = dynamic_cast<wxTextCtrl*>(terminal.FindWindow(1267));
        auto* gotA = dynamic_cast<wxTextCtrl*>(terminal.FindWindow(1269));
        auto* gotB = dynamic_cast<wxTextCtrl*>(terminal.FindWindow(1271));
        sendA->ChangeValue(wxString::FromUTF8("camera \xc3\xa4"));
        press(1270);
        pumpUntil([&] { return !gotB->IsEmpty(); });
        run.received.push_back(gotB->GetValue());
        sendB->ChangeValue("COM1");
        press(1272);
        pumpUntil([&] { return !gotA->IsEmpty(); });
        run.received.push_back(gotA->GetValue());
    };
    hook.answer = [&](wxDialog* d) -> int {
        if (dynamic_cast<wxMessageDialog*>(d))
            return wxID_OK;
        onPanel(d, [d](int id) {
            wxCommandEvent event(wxEVT_BUTTON, id);
            event.SetEventObject(d->FindWindow(id));
            d->FindWindow(id)->GetEventHandler()->ProcessEvent(event);
        });
        return wxID_OK;
    };
    AdditionalFunctions functions(nullptr, camera, FALSE);
    functions.DoModal();
    AdditionalFunctions::runSerialTerminal = [](wxWindow*, CameraEntry*) {};
    hook.answer = nullptr;
    return run;
}

TEST_F(DlgSerialTest, PortInstalledByThePanelConnectsAfterARenumber) {
    CameraList gige;
    CameraEntry* camera = cameraOnTheCable(gige, "comport_offset = -3\n");
    ASSERT_TRUE(camera);
    ASSERT_EQ(camera->GetDeviceComportOffset(), -3); // COM97

    const PanelRun run =
        runPanelAndTerminal(hook_, camera, [](wxDialog* d, const std::function<void(int)>& press) {
            press(1272); // Delete in camera: the camera gives up COM97
            auto* combo = dynamic_cast<wxChoice*>(d->FindWindow(1032));
            combo->SetSelection(4);
            wxCommandEvent choose(wxEVT_CHOICE, 1032);
            choose.SetInt(4);
            choose.SetEventObject(combo);
            combo->GetEventHandler()->ProcessEvent(choose);
            press(1271); // Save COM5 in the camera
            press(1175); // Install COM5 on the computer
            press(1270); // Send / Receive
        });

    EXPECT_EQ(camera->GetDeviceComportOffset(), -95);
    ASSERT_EQ(run.captions.size(), 3u);
    EXPECT_EQ(run.captions[0], "Virtual COM port (COM5)");
    EXPECT_EQ(run.captions[1], "Source file  ->  COM1  ->  COM5  ->  Destination file");
    EXPECT_EQ(run.captions[2], "Disconnect") << "the installed port did not open";
    ASSERT_EQ(run.received.size(), 2u);
    EXPECT_EQ(run.received[0], wxString::FromUTF8("camera \xc3\xa4"));
    EXPECT_EQ(run.received[1], "COM1");
    // The port is served while the camera is open only.
    EXPECT_FALSE(win::SerialPort().open("COM5"));
}

// A factory-default camera (offset 0) is reached on COM100 once the panel installed that port,
// and the port's link goes when the camera closes.
TEST_F(DlgSerialTest, FactoryDefaultCameraIsServedOnCom100WhileOpen) {
    CameraList gige;
    CameraEntry* camera = cameraOnTheCable(gige, "");
    ASSERT_TRUE(camera);
    ASSERT_EQ(camera->GetDeviceComportOffset(), 0);
    const PanelRun run =
        runPanelAndTerminal(hook_, camera, [&](wxDialog*, const std::function<void(int)>& press) {
            press(1175); // Install COM100 (and the broadcast port)
            press(1270); // Send / Receive
        });

    EXPECT_EQ(run.portLinks, std::vector<std::string>{"zeko_COM100"});
    EXPECT_EQ(camera->GetDeviceComportOffset(), 0);
    ASSERT_EQ(run.captions.size(), 3u);
    EXPECT_EQ(run.captions[0], "Virtual COM port (COM100)");
    EXPECT_EQ(run.captions[2], "Disconnect") << "COM100 did not open";
    ASSERT_EQ(run.received.size(), 2u);
    EXPECT_EQ(run.received[0], wxString::FromUTF8("camera \xc3\xa4"));
    EXPECT_EQ(run.received[1], "COM1");
    const std::string link = dir_ + "/zeko_COM100";
    EXPECT_FALSE(std::filesystem::exists(link) || std::filesystem::is_symlink(link))
        << "the link outlived the camera";
    EXPECT_FALSE(win::SerialPort().open("COM100"));
}

// For a look by hand (--gtest_also_run_disabled_tests): the dialog runs modally with both ports
// on the cable until it is closed.
TEST_F(DlgSerialTest, DISABLED_RunByHand) {
    hook_.Unregister();
    dialog_->Destroy();
    dialog_ = nullptr;
    DlgSerial dialog(nullptr, &entry_);
    dialog.DoModal();
    hook_.Register();
}
