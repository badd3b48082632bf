#include "camera_manager/core/controls/IpAddressCtrl.h"
#include "camera_manager/core/dialogs/NetworkConfigDlg.h"
#include "camera_manager/core/records/CameraInterfaceLibrary.h"
#include "camera_manager/core/records/CameraList.h"
#include "camera_manager/tests/AnswerDialogs.h"
#include "camera_manager/tests/GuiTestSupport.h"
#include "camera_manager/tests/ManagerTestSupport.h"
#include "platform/win/AdapterTcpip.h"
#include "platform/win/Adapters.h"
#include "platform/win/NetworkBindings.h"
#include "platform/win/Registry.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/treectrl.h>
#include <wx/utils.h>

namespace {

const std::u16string classKey =
    u"SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002bE10318}\\";
const std::u16string interfaces = u"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\";
const uint8_t intelMac[6] = {0x00, 0x1B, 0x21, 0xAB, 0x00, 0x07};
const uint8_t realtekMac[6] = {0x00, 0x1B, 0x21, 0xAB, 0x00, 0x0C};

// Machine registry values the tests lay out.
void setText(const std::u16string& path, const char16_t* name, const std::u16string& text) {
    cmtest::setRegistryString(HKEY_LOCAL_MACHINE, path, name, text);
}

void setDword(const std::u16string& path, const char16_t* name, DWORD value) {
    cmtest::setRegistryDword(HKEY_LOCAL_MACHINE, path, name, value);
}

std::u16string readText(const std::u16string& path, const char16_t* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return u"<missing>";
    WCHAR buffer[64] = {};
    DWORD size = sizeof buffer - 2;
    DWORD type = 0;
    const LONG result = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? std::u16string(buffer) : u"<missing>";
}

// How often the journal holds the function, with these leading integer arguments.
int journalCount(const char* function, std::initializer_list<long long> ints = {}) {
    int count = 0;
    for (int i = 0; i < zksim_JournalSize(); ++i) {
        ZkSimCall call{};
        if (zksim_JournalEntry(i, &call) == 0 && std::string(call.function) == function &&
            size_t(call.intCount) >= ints.size() && std::equal(ints.begin(), ints.end(), call.ints))
            ++count;
    }
    return count;
}

uint32_t maxPacketOf(const uint8_t mac[6]) {
    uint8_t record[ZK_ADAPTER_CFG_SIZE] = {};
    EXPECT_EQ(
        ZekoApi::zk_AccessAdapterCfgByMAC(mac, ZK_ADAPTER_GET, ZK_ADAPTER_CFG_RECORD, record, sizeof record),
        0);
    return record[84] | record[85] << 8 | record[86] << 16 | uint32_t(record[87]) << 24;
}

void setMaxPacket(const uint8_t mac[6], uint32_t value) {
    ASSERT_EQ(ZekoApi::zk_AccessAdapterCfgByMAC(mac, ZK_ADAPTER_SET, ZK_ADAPTER_CFG_MAX_PACKET, &value, 4),
              0);
}

class NetworkConfigDlgTest : public cmtest::ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        win::SetAdapterSource([] {
            std::vector<win::AdapterRecord> list(2);
            list[0].name = "{A1}";
            std::copy(intelMac, intelMac + 6, list[0].mac);
            list[1].name = "{B2}";
            std::copy(realtekMac, realtekMac + 6, list[1].mac);
            return list;
        });
        // Intel: bound, static 192.168.10.1/24. Realtek: not bound, DHCP without a lease.
        // {C3}: in the configuration, but the adapter is gone.
        setText(u"SYSTEM\\CurrentControlSet\\Enum\\PCI\\VEN_8086&DEV_10D3\\4&1&0", u"Driver",
                u"{4D36E972-E325-11CE-BFC1-08002bE10318}\\0007");
        setText(u"SYSTEM\\CurrentControlSet\\Enum\\PCI\\VEN_10EC&DEV_8168\\4&2&0", u"Driver",
                u"{4D36E972-E325-11CE-BFC1-08002bE10318}\\0012");
        setText(classKey + u"0007", u"NetCfgInstanceId", u"{A1}");
        setText(classKey + u"0012", u"NetCfgInstanceId", u"{B2}");
        setDword(interfaces + u"{A1}", u"EnableDHCP", 0);
        setText(interfaces + u"{A1}", u"IPAddress", u"192.168.10.1");
        setText(interfaces + u"{A1}", u"SubnetMask", u"255.255.255.0");
        ASSERT_EQ(win::EnableDhcp(12), win::TCPIP_SUCCESS);
        win::NetConfiguration c;
        c.adapters = {{u"{A1}", u"Intel(R) Gigabit CT", u"PCI\\VEN_8086&DEV_10D3\\4&1&0"},
                      {u"{B2}", u"Realtek PCIe GbE", u"PCI\\VEN_10EC&DEV_8168\\4&2&0"},
                      {u"{C3}", u"Removed adapter", u"PCI\\VEN_1\\1"}};
        c.services = {{u"other", u"Other service", {{u"other->{B2}", u"{B2}", true}}},
                      {u"zk_eth",
                       u"Gigabit Ethernet Zeko",
                       {{u"zk_eth->{A1}", u"{A1}", true},
                        {u"zk_eth->{B2}", u"{B2}", false},
                        {u"zk_eth->{C3}", u"{C3}", true}}}};
        store(c);
        answers_.Register();
        answers_.answer = [this](wxDialog* dialog) {
            if (dialog == dialog_) {
                dialog->Show();
                cmtest::Pump(30);
                body_();
                dialog->Hide();
                return int(wxID_OK);
            }
            if (replies_.empty())
                return int(wxID_OK);
            const int reply = replies_.front();
            replies_.pop_front();
            return reply;
        };
    }
    void TearDown() override {
        answers_.Unregister();
        win::SetAdapterSource({});
        win::FailAdapterAddressChanges(0, 0);
        ManagerTest::TearDown();
    }
    void store(const win::NetConfiguration& configuration) {
        win::NetConfigWriteLock lock;
        ASSERT_TRUE(lock.Acquire(1000, u"test"));
        ASSERT_TRUE(win::WriteNetConfiguration(lock, configuration));
    }
    // Runs the dialog with body driving it while it is shown.
    void run(const std::function<void()>& body) {
        NetworkConfigDlg dialog(nullptr, cameras_);
        dialog_ = &dialog;
        body_ = body;
        dialog.ShowModal();
        dialog_ = nullptr;
    }
    template <class T> T* control(int id) { return dynamic_cast<T*>(dialog_->FindWindow(id)); }
    wxTreeCtrl* tree() { return control<wxTreeCtrl>(1083); }
    wxTreeItemId child(int index) {
        wxTreeItemIdValue cookie;
        wxTreeItemId item = tree()->GetFirstChild(tree()->GetRootItem(), cookie);
        while (index-- > 0 && item.IsOk())
            item = tree()->GetNextChild(tree()->GetRootItem(), cookie);
        return item;
    }
    void select(const wxTreeItemId& item) {
        ASSERT_TRUE(item.IsOk());
        tree()->SelectItem(item);
        cmtest::Pump(10);
    }
    void click(int id) {
        wxCommandEvent event(wxEVT_BUTTON, id);
        event.SetEventObject(dialog_->FindWindow(id));
        dialog_->FindWindow(id)->ProcessWindowEvent(event);
    }
    void toggleJumbo(bool checked) {
        auto* box = control<wxCheckBox>(1252);
        box->SetValue(checked);
        wxCommandEvent event(wxEVT_CHECKBOX, 1252);
        event.SetEventObject(box);
        event.SetInt(checked);
        box->ProcessWindowEvent(event);
    }
    // The control's text; a wrapped label as one line.
    wxString text(int id) {
        if (auto* field = control<wxTextCtrl>(id))
            return field->GetValue();
        wxString label = dialog_->FindWindow(id)->GetLabel();
        label.Replace("\n", " ");
        return label;
    }
    bool shown(int id) { return dialog_->FindWindow(id)->IsShown(); }

    cmtest::AnswerDialogs answers_;
    std::deque<int> replies_;
    CameraList cameras_;
    NetworkConfigDlg* dialog_ = nullptr;
    std::function<void()> body_;
};

TEST_F(NetworkConfigDlgTest, TreeListsTheServiceBindingsOfPresentAdapters) {
    run([&] {
        const wxTreeItemId root = tree()->GetRootItem();
        EXPECT_EQ(tree()->GetItemText(root), "Gigabit Ethernet Zeko");
        EXPECT_EQ(tree()->GetItemImage(root), 11);
        EXPECT_EQ(tree()->GetChildrenCount(root, false), 2u); // the removed adapter is left out
        EXPECT_EQ(tree()->GetItemText(child(0)), "Intel(R) Gigabit CT");
        EXPECT_EQ(tree()->GetItemImage(child(0)), 9);
        EXPECT_EQ(tree()->GetItemText(child(1)), "Realtek PCIe GbE");
        EXPECT_EQ(tree()->GetItemImage(child(1)), 10);
        EXPECT_EQ(text(1181), "The Gigabit Ethernet Zeko network service is bound to 1 network adapter. "
                              "Choose a network adapter to see or change its settings.");
        EXPECT_EQ(text(1182), "0");
        EXPECT_EQ(dialog_->FindWindow(1181)->GetForegroundColour(), *wxBLACK);
        EXPECT_TRUE(shown(1193));
        for (int id : {1191, 1192, 1183, 1184, 1190, 1104, 1125, 1252, 1032, 1175})
            EXPECT_FALSE(shown(id)) << id;
    });
    EXPECT_TRUE(answers_.messages.empty());
}

TEST_F(NetworkConfigDlgTest, SelectionShowsTheAdaptersAddressesMacAndDhcpState) {
    setMaxPacket(intelMac, 1998);
    run([&] {
        select(child(0));
        EXPECT_FALSE(shown(1193));
        for (int id : {1191, 1192, 1183, 1184, 1190, 1104, 1125, 1252})
            EXPECT_TRUE(shown(id)) << id;
        EXPECT_FALSE(shown(1032));
        EXPECT_FALSE(control<wxButton>(1125)->IsEnabled());
        EXPECT_EQ(text(1192), "00 - 1B - 21 - AB - 00 - 07");
        EXPECT_EQ(text(1183), "192.168.10.1");
        EXPECT_EQ(text(1184), "255.255.255.0");
        EXPECT_EQ(text(1190), "Dynamic Host Configuration Protocol (DHCP) disabled");
        EXPECT_EQ(text(1104), "Disable Zeko network service");
        EXPECT_TRUE(control<wxCheckBox>(1252)->GetValue());
        EXPECT_EQ(journalCount("zk_AccessAdapterCfgByMAC", {ZK_ADAPTER_GET, ZK_ADAPTER_CFG_RECORD}), 1);
        EXPECT_EQ(dialog_->adapterIndex, 7);

        // Not bound: no record is read; DHCP without a lease shows the automatic address.
        select(child(1));
        EXPECT_EQ(journalCount("zk_AccessAdapterCfgByMAC", {ZK_ADAPTER_GET, ZK_ADAPTER_CFG_RECORD}), 1);
        EXPECT_EQ(text(1192), "00 - 1B - 21 - AB - 00 - 0C");
        EXPECT_EQ(text(1183), "169.254.1.12");
        EXPECT_EQ(text(1184), "255.255.0.0");
        EXPECT_EQ(text(1190), "Dynamic Host Configuration Protocol (DHCP) enabled");
        EXPECT_EQ(text(1104), "Enable Zeko network service");

        // Back on an adapter whose record reports normal packets: the box follows it.
        setMaxPacket(intelMac, 1450);
        select(child(0));
        EXPECT_FALSE(control<wxCheckBox>(1252)->GetValue());

        select(tree()->GetRootItem());
        EXPECT_TRUE(shown(1193));
        for (int id : {1191, 1192, 1183, 1184, 1190, 1104, 1125, 1252})
            EXPECT_FALSE(shown(id)) << id;
    });
}

TEST_F(NetworkConfigDlgTest, ChangeServiceSwitchesTheBindingAndKeepsTheAdapterSelected) {
    run([&] {
        select(child(0));
        click(1104);
        EXPECT_FALSE(win::ReadNetConfiguration().path(u"zk_eth->{A1}")->enabled);
        EXPECT_EQ(tree()->GetItemImage(child(0)), 10);
        EXPECT_EQ(text(1182), "1");
        EXPECT_EQ(text(1181).Left(62), "The Gigabit Ethernet Zeko network service is not bound to any ");
        EXPECT_EQ(dialog_->FindWindow(1181)->GetForegroundColour(), wxColour(230, 0, 0));
        EXPECT_EQ(tree()->GetSelection(), child(0));
        EXPECT_EQ(text(1104), "Enable Zeko network service");
        click(1104);
        EXPECT_TRUE(win::ReadNetConfiguration().path(u"zk_eth->{A1}")->enabled);
        EXPECT_EQ(text(1104), "Disable Zeko network service");
        // Another service's binding to the same adapter is left alone.
        EXPECT_TRUE(win::ReadNetConfiguration().path(u"other->{B2}")->enabled);
    });
    EXPECT_TRUE(answers_.messages.empty());
}

TEST_F(NetworkConfigDlgTest, LockHeldByAnotherProgramNamesItAndChangesNothing) {
    win::NetConfigWriteLock other;
    ASSERT_TRUE(other.Acquire(1000, u"Network Setup Assistant"));
    run([&] {
        select(child(0));
        click(1104);
        EXPECT_EQ(tree()->GetItemImage(child(0)), 9);
    });
    ASSERT_EQ(answers_.messages.size(), 1u);
    EXPECT_EQ(answers_.messages[0],
              "This network property is already controlled by the following application:"
              "\n\n\"Network Setup Assistant\"");
    other.Release();
    EXPECT_TRUE(win::ReadNetConfiguration().path(u"zk_eth->{A1}")->enabled);
}

TEST_F(NetworkConfigDlgTest, StaticAddressAppliedAfterTheQuestion) {
    run([&] {
        select(child(0));
        control<wxTextCtrl>(1183)->SetValue("192.168.20.5"); // as typed: marks the address changed
        EXPECT_TRUE(control<wxButton>(1125)->IsEnabled());
        replies_ = {wxID_NO};
        click(1125);
        EXPECT_EQ(readText(interfaces + u"{A1}", u"IPAddress"), u"192.168.10.1");
        EXPECT_EQ(journalCount("zk_FetchTCPIP_Setup"), 0);

        control<wxTextCtrl>(1183)->SetValue("192.168.20.5");
        replies_ = {wxID_YES, wxID_OK};
        click(1125);
        EXPECT_EQ(readText(interfaces + u"{A1}", u"IPAddress"), u"192.168.20.5");
        EXPECT_EQ(journalCount("zk_FetchTCPIP_Setup"), 1);
        EXPECT_FALSE(control<wxButton>(1125)->IsEnabled());
        EXPECT_FALSE(dialog_->ipChanged);
        EXPECT_EQ(text(1183), "192.168.20.5");

        // A mask that is no mask, and an address another adapter has.
        control<wxTextCtrl>(1184)->SetValue("255.0.255.0");
        replies_ = {wxID_YES, wxID_OK};
        click(1125);
        EXPECT_EQ(readText(interfaces + u"{A1}", u"SubnetMask"), u"255.255.255.0");
        win::FailAdapterAddressChanges(win::TCPIP_ADDRESS_CONFLICT, 1);
        control<wxTextCtrl>(1184)->SetValue("255.255.0.0");
        replies_ = {wxID_YES, wxID_OK};
        click(1125);
        EXPECT_TRUE(dialog_->ipChanged);
    });
    ASSERT_EQ(answers_.messages.size(), 7u);
    EXPECT_EQ(answers_.messages[0], "Do you want to assign a static IP address and subnetmask (DHCP will be "
                                    "deactivated) ?");
    EXPECT_EQ(answers_.messages[2], "IP address and subnetmask of the adapter changed successfully.");
    EXPECT_EQ(answers_.messages[4],
              "The IP address and subnetmask of the network adapter could not be changed.");
    EXPECT_EQ(answers_.messages[6],
              "The IP address of the adapter has been changed but may result in an address "
              "conflict.");
    EXPECT_EQ(journalCount("zk_FetchTCPIP_Setup"), 1);
}

TEST_F(NetworkConfigDlgTest, OkAppliesPendingChangesBeforeClosing) {
    run([&] {
        select(child(0));
        click(wxID_OK); // nothing pending: closes without a question
        EXPECT_FALSE(dialog_->IsShown());
        dialog_->Show();
        control<wxTextCtrl>(1184)->SetValue("255.255.0.0");
        replies_ = {wxID_YES, wxID_OK};
        click(wxID_OK);
        EXPECT_FALSE(dialog_->IsShown());
    });
    EXPECT_EQ(readText(interfaces + u"{A1}", u"SubnetMask"), u"255.255.0.0");
    EXPECT_EQ(answers_.messages.size(), 2u);
}

TEST_F(NetworkConfigDlgTest, PacketFilterChangeReachesTheAdapter) {
    run([&] {
        select(child(0));
        auto* filter = control<wxChoice>(1032);
        EXPECT_EQ(filter->GetSelection(), 0);
        filter->SetSelection(2);
        wxCommandEvent event(wxEVT_CHOICE, 1032);
        event.SetEventObject(filter);
        filter->ProcessWindowEvent(event);
        EXPECT_TRUE(control<wxButton>(1125)->IsEnabled());
        zksim_InjectFailure("zk_AccessAdapterCfgByMAC", ZK_NO_SUCCESS, 1);
        click(1125);
        EXPECT_EQ(dialog_->packetFilter, 0);
        EXPECT_TRUE(dialog_->filterChanged);
        EXPECT_EQ(filter->GetSelection(), 0); // the adapter's filter, read again
        filter->SetSelection(2);
        click(1125);
        EXPECT_EQ(
            journalCount("zk_AccessAdapterCfgByMAC", {ZK_ADAPTER_SET, ZK_ADAPTER_CFG_PACKET_FILTER, 4, 2}),
            2);
        EXPECT_EQ(journalCount("zk_FetchTCPIP_Setup"), 1);
        EXPECT_FALSE(dialog_->filterChanged);
        EXPECT_EQ(dialog_->packetFilter, 2);
        EXPECT_EQ(filter->GetSelection(), 2); // read back from the adapter
    });
    ASSERT_EQ(answers_.messages.size(), 2u);
    EXPECT_EQ(answers_.messages[0], "The packet filter of the network adapter could not be changed.");
    EXPECT_EQ(answers_.messages[1], "The packet filter of the network adapter was changed successfully.");
}

TEST_F(NetworkConfigDlgTest, JumboPacketsAndAFailedSetKeepsTheBoxTrue) {
    run([&] {
        select(child(0));
        auto* box = control<wxCheckBox>(1252);
        ASSERT_FALSE(box->GetValue());
        toggleJumbo(true); // the adapter handles 9014 bytes: no question
        EXPECT_EQ(maxPacketOf(intelMac), 1998u);
        EXPECT_TRUE(box->GetValue());

        zksim_InjectFailure("zk_AccessAdapterCfgByMAC", ZK_NO_SUCCESS, 1);
        toggleJumbo(false); // the set fails: the box shows the adapter's state again
        EXPECT_TRUE(box->GetValue());
        EXPECT_EQ(maxPacketOf(intelMac), 1998u);
        toggleJumbo(false);
        EXPECT_EQ(maxPacketOf(intelMac), 1450u);

        zksim_InjectFailure("zk_AccessAdapterCfgByMAC", ZK_NO_SUCCESS, 0);
        toggleJumbo(true); // read and set fail
        EXPECT_FALSE(box->GetValue());
        zksim_ClearFailures();

        zksim_SetAdapterPacketSize(1514);
        replies_ = {wxID_CANCEL};
        const int setsBefore =
            journalCount("zk_AccessAdapterCfgByMAC", {ZK_ADAPTER_SET, ZK_ADAPTER_CFG_MAX_PACKET});
        toggleJumbo(true);
        EXPECT_FALSE(box->GetValue());
        EXPECT_EQ(journalCount("zk_AccessAdapterCfgByMAC", {ZK_ADAPTER_SET, ZK_ADAPTER_CFG_MAX_PACKET}),
                  setsBefore);
        replies_ = {wxID_OK};
        toggleJumbo(true);
        EXPECT_TRUE(box->GetValue());
        EXPECT_EQ(maxPacketOf(intelMac), 1998u);
    });
    ASSERT_EQ(answers_.messages.size(), 2u);
    EXPECT_EQ(answers_.messages[0].Left(40), "The network adapter is not configured to");
}

TEST_F(NetworkConfigDlgTest, AdapterUsedByAnOpenCameraIsNotChanged) {
    useCameras("[camera]\ndevice_id = 1001\nserial = S1001\nsensor = ZK5240-M\nmac = 02-00-00-00-00-01\n"
               "adapter_mac = 00-1B-21-AB-00-07\ndevice_status_flags = 0x1\n");
    ASSERT_TRUE(FillCameraList(cameras_, FillGigE));
    run([&] {
        select(child(0));
        control<wxTextCtrl>(1183)->SetValue("192.168.20.5");
        click(1125);
        EXPECT_EQ(readText(interfaces + u"{A1}", u"IPAddress"), u"192.168.10.1");
    });
    ASSERT_EQ(answers_.messages.size(), 1u);
    EXPECT_TRUE(
        answers_.messages[0].StartsWith("At least one Gigabit Ethernet Zeko camera is opened and linked"));
}

TEST_F(NetworkConfigDlgTest, AddressCheckWarnsAndFollowsAddressesThatAppear) {
    run([&] {
        select(child(1)); // 169.254.1.12 / 255.255.0.0
        dialog_->CheckAddresses();
        EXPECT_FALSE(shown(1349));
        EXPECT_FALSE(shown(1350));
        setText(interfaces + u"{B2}", u"IPAutoconfigurationMask", u"255.0.0.0");
        dialog_->CheckAddresses();
        EXPECT_FALSE(shown(1349));
        EXPECT_TRUE(shown(1350));

        // The static address is not there yet, then appears.
        setDword(interfaces + u"{A1}", u"EnableDHCP", 0);
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, (interfaces + u"{A1}").c_str());
        select(child(0));
        dialog_->CheckAddresses();
        EXPECT_TRUE(shown(1349));
        EXPECT_TRUE(shown(1350));
        EXPECT_EQ(dialog_->lastIp, u"-1");
        setText(interfaces + u"{A1}", u"IPAddress", u"10.1.2.3");
        setText(interfaces + u"{A1}", u"SubnetMask", u"255.255.0.0");
        dialog_->CheckAddresses();
        EXPECT_EQ(text(1183), "10.1.2.3");
        EXPECT_EQ(journalCount("zk_FetchTCPIP_Setup"), 1);
        EXPECT_FALSE(shown(1349));
        EXPECT_FALSE(shown(1350));

        select(tree()->GetRootItem());
        setText(interfaces + u"{A1}", u"IPAddress", u"0.0.0.0");
        dialog_->CheckAddresses();
        EXPECT_FALSE(shown(1349));
    });
}

TEST_F(NetworkConfigDlgTest, EnableDhcpAfterTheQuestion) {
    run([&] {
        select(child(0));
        EXPECT_TRUE(control<wxButton>(1175)->IsEnabled()); // static: DHCP can be enabled
        win::FailAdapterAddressChanges(1, 1);
        replies_ = {wxID_YES};
        click(1175);
        replies_ = {wxID_YES};
        click(1175);
        EXPECT_EQ(text(1190), "Dynamic Host Configuration Protocol (DHCP) enabled");
        EXPECT_EQ(text(1183), "169.254.1.7");
        EXPECT_FALSE(control<wxButton>(1175)->IsEnabled());
        EXPECT_EQ(journalCount("zk_FetchTCPIP_Setup"), 1);
    });
    ASSERT_EQ(answers_.messages.size(), 4u);
    EXPECT_EQ(answers_.messages[1], "DHCP could not be enabled!");
    EXPECT_EQ(answers_.messages[3], "DHCP was enabled successfully");
}

TEST_F(NetworkConfigDlgTest, MissingServiceClosesTheDialogThenSaysSo) {
    win::NetConfiguration c = win::ReadNetConfiguration();
    c.services.pop_back();
    store(c);
    bool shownDuringMessage = true;
    answers_.answer = [&](wxDialog* dialog) {
        if (dialog == dialog_)
            return int(wxID_NONE); // a real modal loop
        shownDuringMessage = dialog_->IsShown();
        return int(wxID_OK);
    };
    NetworkConfigDlg dialog(nullptr, cameras_);
    dialog_ = &dialog;
    EXPECT_EQ(dialog.ShowModal(), wxID_OK);
    dialog_ = nullptr;
    ASSERT_EQ(answers_.messages.size(), 1u);
    EXPECT_EQ(answers_.messages[0],
              "The Gigabit Ethernet Zeko network service is not installed. You can install "
              "the service with the Zeko setup.");
    EXPECT_FALSE(shownDuringMessage);
}

} // namespace
