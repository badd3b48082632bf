#include "camera_manager/core/rules/ParameterTreeBuilder.h"

#include "camera_manager/core/records/BoundedText.h"
#include "camera_manager/core/records/CameraEntry.h"
#include "camera_manager/core/records/CameraEntryBuilder.h"
#include "camera_manager/res/StringTable.h"
#include "platform/win/ResourceStrings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

namespace {

using namespace ParameterTreeBuilder;
using Node = ParameterTreeBuilder::Node;

std::u16string Text(int id) {
    static const bool registered = [] {
        SetProgramResourceStrings(managerStrings, managerStringCount);
        return true;
    }();
    (void)registered;
    return LoadResourceString(static_cast<unsigned>(id));
}

const std::u16string deg = u"\u00B0";

void Put32(uint8_t* p, size_t at, uint32_t v) {
    std::memcpy(p + at, &v, 4);
}
void Put16(uint8_t* p, size_t at, uint16_t v) {
    std::memcpy(p + at, &v, 2);
}
void PutBytes(uint8_t* p, size_t at, std::initializer_list<uint8_t> bytes) {
    for (uint8_t b : bytes)
        p[at++] = b;
}

CameraEntry GigEEntry() {
    uint8_t record[112] = {};
    Put32(record, 0, 2);
    Put32(record, 4, 1001);
    Put32(record, 8, 57);
    std::memcpy(record + 16, "4103900017", 10);
    std::memcpy(record + 32, "ZK5240CP-M", 10);
    uint8_t info[640] = {};
    Put16(info, 16, 64);
    Put32(info, 20, 0x01010025);
    Put32(info, 24, 0x02030405);
    Put32(info, 28, 0x101);
    Put16(info, 36, 0x0230);
    Put16(info, 38, 1000);
    PutBytes(info, 40, {0x02, 0x5A, 0x4B, 0x00, 0x10, 0x01});
    Put16(info, 46, 3);
    PutBytes(info, 60, {192, 168, 10, 21});
    PutBytes(info, 64, {255, 255, 255, 0});
    std::memcpy(info + 92, "ABCDEFGH", 8);
    Put32(info, 252, 0x080000A3);
    PutBytes(info, 408, {192, 168, 10, 1});
    PutBytes(info, 412, {255, 255, 255, 0});
    PutBytes(info, 420, {0x02, 0x5A, 0x4B, 0x00, 0x00, 0x01});
    Put32(info, 428, 1);
    Put32(info, 448, 4);
    Put32(info, 452, 1);
    Put16(info, 456, 1);
    Put32(info, 560, 0x01010020);
    Put32(info, 564, 0x01010030);
    CameraEntry e;
    CameraEntryBuilder::FromListRecord(e, record, 0);
    CameraEntryBuilder::FromEthInfo(e, info);
    return e;
}

// Texts of a tree by item data, depth-first.
void Collect(const std::vector<Node>& nodes, std::map<long, Node>& out) {
    for (const Node& n : nodes) {
        out[n.data] = n;
        Collect(n.children, out);
    }
}

std::map<long, Node> ByData(const std::vector<Node>& nodes) {
    std::map<long, Node> out;
    Collect(nodes, out);
    return out;
}

TEST(ParameterTreeBuilder, TemperatureInCelsiusAndFahrenheitOrInvalid) {
    EXPECT_EQ(TemperatureText(u"T", 0x0190, Text), u"T\t25.0" + deg + u" C  (77.0" + deg + u" F)");
    EXPECT_EQ(TemperatureText(u"T", 0xFFF0, Text), u"T\t-1.0" + deg + u" C  (30.2" + deg + u" F)");
    EXPECT_EQ(TemperatureText(u"T", 0x0230, Text), u"T\t35.0" + deg + u" C  (95.0" + deg + u" F)");
    EXPECT_EQ(TemperatureText(u"T", 0xFFFF, Text), u"T\tInvalid");
    EXPECT_EQ(TemperatureText(u"T", 0, Text), u"T\t0.0" + deg + u" C  (32.0" + deg + u" F)");
}

TEST(ParameterTreeBuilder, AddressesMacsAndPacketFilter) {
    EXPECT_EQ(CameraAddressText(u"IP", u"0.0.0.0"), u"IP\t-");
    EXPECT_EQ(CameraAddressText(u"IP", u"10.0.0.1"), u"IP\t10.0.0.1");
    EXPECT_EQ(AdapterAddressText(u"IP", u"0.0.0.0", Text), u"IP\tInvalid");
    EXPECT_EQ(CameraMacText(u"MAC", u"00-00-00-12-34-56", Text), u"MAC\tHardware defect");
    EXPECT_EQ(CameraMacText(u"MAC", u"80-00-00-12-34-56", Text), u"MAC\tInternal SerNo. too high");
    EXPECT_EQ(CameraMacText(u"MAC", u"02-5A-4B-00-10-01", Text), u"MAC\t02-5A-4B-00-10-01");
    EXPECT_EQ(PacketFilterText(u"F", 0xFFFF, Text), u"F\t0");
    EXPECT_EQ(PacketFilterText(u"F", 0, Text), u"F\tpass all");
    EXPECT_EQ(PacketFilterText(u"F", 1, Text), u"F\tblock ZKGET");
    EXPECT_EQ(PacketFilterText(u"F", 2, Text), u"F\tblock all");
    EXPECT_EQ(PacketFilterText(u"F", 7, Text), u"F\t7");
    EXPECT_EQ(UserEepromText(u"E", u"ABCDEFGH"), u"E\tABCDEFGH...");
    EXPECT_EQ(UserEepromText(u"E", u"ABCDEFG"), u"E\tABCDEFG");
}

TEST(ParameterTreeBuilder, BitChildrenSkipReservedBits) {
    const auto status = BitNodes(0x101, 2000, 5000, Text);
    EXPECT_EQ(status.size(), 23u);
    EXPECT_EQ(status[0].text, u"b00 - Ready to op.\t1");
    EXPECT_EQ(status[0].data, 5000);
    const auto free =
        std::find_if(status.begin(), status.end(), [](const Node& n) { return n.data == 5008; });
    ASSERT_NE(free, status.end());
    EXPECT_EQ(free->text, u"b08 - Free\t1");
    EXPECT_EQ(std::count_if(status.begin(), status.end(), [](const Node& n) { return n.data == 5007; }), 0);
    const auto control = BitNodes(0x080000A3, 2050, 6000, Text);
    EXPECT_EQ(control.size(), 16u);
    EXPECT_EQ(control.back().text, u"b31 - Removing\t0");
}

TEST(ParameterTreeBuilder, GigETreeHoldsEveryGroupInOrderWithItsValues) {
    const CameraEntry e = GigEEntry();
    const auto tree = GigETree(e, {u"Simulated adapter", u"1.0", u"1-1-2020"}, Text);
    ASSERT_EQ(tree.size(), 3u);
    EXPECT_EQ(tree[0].text, u"Device");
    EXPECT_EQ(tree[1].text, u"Local network adapter");
    EXPECT_EQ(tree[2].text, u"Local driver");
    EXPECT_TRUE(tree[0].bold);
    EXPECT_EQ(tree[0].flag, NodeDevice);
    ASSERT_EQ(tree[0].children.size(), 3u);
    EXPECT_EQ(tree[0].children[1].data, 1500);
    auto n = ByData(tree);
    EXPECT_EQ(n[1102].text, u"Runtime firmware version\t2.03.1029");
    EXPECT_EQ(n[1103].text, u"Starter firmware version\t1.01.0037");
    EXPECT_EQ(n[1104].text, u"User EEPROM (8 chars)\tABCDEFGH...");
    EXPECT_EQ(n[1105].text, u"COM port number\t103");
    EXPECT_EQ(n[1106].text, u"Camera temperature\t35.0" + deg + u" C  (95.0" + deg + u" F)");
    EXPECT_EQ(n[1116].text, u"Device statusflags\t0x00000101");
    EXPECT_EQ(n[1116].flag, NodeStatusFlags);
    EXPECT_EQ(n[1117].children.size(), 16u);
    EXPECT_EQ(n[1501].text, u"Sensor ID\t57");
    EXPECT_EQ(n[1508].text, u"Image memory size\t64 MB");
    EXPECT_EQ(n[1201].text, u"MAC address\t02-5A-4B-00-10-01");
    EXPECT_EQ(n[1202].text, u"Current IP address\t192.168.10.21");
    EXPECT_EQ(n[1205].text, u"Persistent IP address\t-");
    EXPECT_EQ(n[1210].text, u"Paired host MAC\t-");
    EXPECT_EQ(n[1212].text, u"Link\t1000 Mbit/s");
    EXPECT_EQ(n[2101].text, u"Designation\tSimulated adapter");
    EXPECT_EQ(n[2104].text, u"DHCP enabled\tYes");
    EXPECT_EQ(n[2105].text, u"Number of known devices\t4");
    EXPECT_EQ(n[2201].text, u"MAC address\t02-5A-4B-00-00-01");
    EXPECT_EQ(n[2205].text, u"IP range begin\tInvalid");
    EXPECT_EQ(n[2207].text, u"IP range valid\tNo");
    EXPECT_EQ(n[2408].text, u"Packet filter\tblock ZKGET");
    EXPECT_EQ(n[3013].text, u"Min. compatible starter FW\t1.01.0032");
    EXPECT_EQ(n[3014].text, u"Max. compatible starter FW\t1.01.0048");
}

TEST(ParameterTreeBuilder, AFailedInformationCallShowsTransferFailedEverywhere) {
    CameraEntry e = GigEEntry();
    CameraEntryBuilder::EthInfoFailed(e, 141);
    auto n = ByData(GigETree(e, {u"Unknown", u"Unknown", u"Unknown"}, Text));
    for (long data :
         {1201L, 1202L, 1203L, 1205L, 1206L, 1208L, 1209L, 1210L, 1211L, 2201L, 2202L, 2203L, 2205L, 2206L})
        EXPECT_TRUE(n[data].text.ends_with(u"\tTransfer failed")) << data << " " << ToUtf8(n[data].text);
    EXPECT_EQ(n[2408].text, u"Packet filter\t0");
    EXPECT_EQ(n[1102].text, u"Runtime firmware version\t0.00.0000");
    EXPECT_EQ(n[1105].text, u"COM port number\t100");
    EXPECT_EQ(n[1104].text, u"User EEPROM (8 chars)\t0");
    EXPECT_EQ(n[1116].text, u"Device statusflags\t0x00000000");
}

TEST(ParameterTreeBuilder, UsbTreeWithItsChainToTheController) {
    // Camera under hub 2 under hub 1 under the controller.
    std::map<std::u16string, Instance> usb{{u"6&cam&0", {u"5&hub2&0", u"3", u"USB\\HUB2"}},
                                           {u"5&hub2&0", {u"4&hub1&0", u"1", u"USB\\HUB1"}}};
    std::map<std::u16string, Instance> pci{{u"4&hub1&0", {u"3&pci&0", u"", u"PCI\\CTRL"}}};
    auto find = [&](const std::u16string& key, const std::u16string& prefix) -> std::optional<Instance> {
        auto& table = key.ends_with(u"PCI") ? pci : usb;
        auto it = table.find(prefix);
        if (it == table.end())
            return std::nullopt;
        return it->second;
    };
    auto describe = [](const std::u16string& key) -> std::optional<std::u16string> {
        if (key == u"USB\\HUB1")
            return std::nullopt;
        return u"Desc of " + key;
    };
    const auto chain = UsbChain(u"6&cam&0", u"2", find, describe, Text);
    ASSERT_EQ(chain.size(), 3u);
    EXPECT_EQ(chain[0].text, u"1. Hub\tDesc of USB\\HUB2 (Port 2)");
    EXPECT_EQ(chain[0].data, 2001);
    EXPECT_EQ(chain[1].text, u"2. Hub\tNot available (Port 3)");
    EXPECT_EQ(chain[2].text, u"3. Controller\tDesc of PCI\\CTRL");

    uint8_t record[112] = {};
    Put32(record, 4, 1);
    Put32(record, 8, 12);
    CameraEntry e;
    CameraEntryBuilder::FromListRecord(e, record, 0);
    const auto tree = UsbTree(e, chain, Text);
    ASSERT_EQ(tree.size(), 2u);
    EXPECT_EQ(tree[0].children[0].text, u"Sensor ID\t12");
    EXPECT_EQ(tree[0].children[0].data, 1001);
    EXPECT_EQ(tree[1].text, u"USB");
    EXPECT_EQ(tree[1].data, 2000);
    EXPECT_EQ(tree[1].flag, NodeUsb);
    EXPECT_EQ(tree[1].children.size(), 3u);
}

TEST(ParameterTreeBuilder, ACyclicHubChainEnds) {
    auto cyclic = [](const std::u16string& key, const std::u16string& prefix) -> std::optional<Instance> {
        if (key.ends_with(u"PCI"))
            return std::nullopt;
        return Instance{prefix == u"a" ? u"b" : u"a", u"1", u"K"};
    };
    auto endless = [](const std::u16string& key, const std::u16string& prefix) -> std::optional<Instance> {
        if (key.ends_with(u"PCI"))
            return std::nullopt;
        return Instance{prefix + u"x", u"1", u"K"};
    };
    auto describe = [](const std::u16string&) -> std::optional<std::u16string> { return u"d"; };
    EXPECT_EQ(UsbChain(u"a", u"1", cyclic, describe, Text).size(), 2u);
    EXPECT_EQ(UsbChain(u"a", u"1", endless, describe, Text).size(), static_cast<size_t>(maxHubs));
}

TEST(ParameterTreeBuilderTest, TextChangesNameTheChangedRowsOfATreeOfTheSameShapeOnly) {
    const std::vector<Node> shown = {
        {u"Device",
         1000,
         true,
         0,
         {{u"Temperature\t25", 1106, false, -1, {}}, {u"ID\t7", 1001, false, -1, {}}}},
        {u"Driver", 3000, true, 1, {{u"Min\t1.0", 3013, false, -1, {}}}}};
    EXPECT_EQ(TextChanges(shown, shown), std::vector<TextChange>());

    std::vector<Node> fresh = shown;
    fresh[0].children[1].text = u"ID\t8";
    fresh[1].children[0].text = u"Min\t1.1";
    // Depth-first positions: Device 0, Temperature 1, ID 2, Driver 3, Min 4.
    const std::vector<TextChange> expected = {{2, u"ID\t8"}, {4, u"Min\t1.1"}};
    EXPECT_EQ(TextChanges(shown, fresh), expected);

    // Rows that come or go, or change their data, weight or flag, need a new tree.
    std::vector<Node> more = shown;
    more[1].children.push_back({u"Max\t2.0", 3014, false, -1, {}});
    EXPECT_FALSE(TextChanges(shown, more));
    std::vector<Node> otherData = shown;
    otherData[0].children[0].data = 1107;
    EXPECT_FALSE(TextChanges(shown, otherData));
    std::vector<Node> otherWeight = shown;
    otherWeight[1].bold = false;
    EXPECT_FALSE(TextChanges(shown, otherWeight));
    EXPECT_FALSE(TextChanges(shown, {}));
}

} // namespace
