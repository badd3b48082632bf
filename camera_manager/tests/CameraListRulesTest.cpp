#include "camera_manager/core/rules/CameraListRules.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace CameraListRules;

// Texts by number as "#n", so that each test sees which string was chosen.
std::u16string Text(int id) {
    const std::string number = "#" + std::to_string(id);
    return std::u16string(number.begin(), number.end());
}

CameraState Usb() {
    CameraState c;
    c.deviceId = 1;
    c.cameraId = 1;
    c.model = u"ZK1480LE-C";
    c.serial = u"4102812345";
    return c;
}

CameraState GigE() {
    CameraState c;
    c.deviceId = 1001;
    c.cameraId = 2;
    c.model = u"ZK5240CP-M";
    c.serial = u"4103900017";
    c.statusFlags = 0x101;
    c.controlStatus = 0x080000A3;
    return c;
}

TEST(CameraListRules, ModelColumnInsertsADashAfterThePrefix) {
    EXPECT_EQ(ModelColumn(u"ZK1480LE-C"), u"ZK-1480LE-C");
    EXPECT_EQ(ModelColumn(u"ZK5240CP-M"), u"ZK-5240CP-M");
    EXPECT_EQ(ModelColumn(u"ZKABCDx"), u"ZK-ABCDx");
    EXPECT_EQ(ModelColumn(u"ZK1480"), u"ZK1480");     // nothing after the code
    EXPECT_EQ(ModelColumn(u"ZK14G0LE"), u"ZK14G0LE"); // G is no hex digit
    EXPECT_EQ(ModelColumn(u"ZK148-LE"), u"ZK148-LE"); // '-' is no letter or digit
    EXPECT_EQ(ModelColumn(u"XY1480LE-C"), u"XY1480LE-C");
    EXPECT_EQ(ModelColumn(u""), u"");
}

TEST(CameraListRules, UsbRowsFollowUseAndStatusBits) {
    CameraState c = Usb();
    RowTexts r = MakeRow(c, Text);
    EXPECT_EQ(r.columns[0], u"#151");
    EXPECT_EQ(r.image, 0);
    EXPECT_EQ(r.columns[1], u"#151");
    EXPECT_EQ(r.columns[2], u"#112");
    EXPECT_EQ(r.columns[3], u"1");
    EXPECT_EQ(r.columns[4], u"1");
    EXPECT_EQ(r.columns[5], u"ZK-1480LE-C");
    EXPECT_EQ(r.columns[6], u"4102812345");

    c.status = 2;
    r = MakeRow(c, Text);
    EXPECT_EQ(r.columns[0], u"#151");
    EXPECT_EQ(r.image, 1);
    EXPECT_EQ(r.columns[1], u"#152");

    c.status = 0;
    c.used = 1;
    r = MakeRow(c, Text);
    EXPECT_EQ(r.columns[0], u"#152");
    EXPECT_EQ(r.image, 1);
    EXPECT_EQ(r.columns[1], u"#152");
}

TEST(CameraListRules, GigERowsFollowFreeAndAvailableBits) {
    CameraState c = GigE();
    RowTexts r = MakeRow(c, Text);
    EXPECT_EQ(r.columns[0], u"#151");
    EXPECT_EQ(r.image, 3);
    EXPECT_EQ(r.columns[1], u"#151");
    EXPECT_EQ(r.columns[2], u"#113");

    c.deviceType = -127;
    c.starterFirmware = 0x01010025;
    c.driverIncludedStarterFirmware = 0x01010026;
    EXPECT_EQ(MakeRow(c, Text).image, 8);
    c.deviceType = -128; // only -127 and -124 compare the firmware
    EXPECT_EQ(MakeRow(c, Text).image, 3);

    c.controlStatus = 0;
    r = MakeRow(c, Text);
    EXPECT_EQ(r.image, 5);
    EXPECT_EQ(r.columns[1], u"#152");

    c.statusFlags = 0;
    c.controlStatus = 1;
    r = MakeRow(c, Text);
    EXPECT_EQ(r.columns[0], u"#152");
    EXPECT_EQ(r.image, 4);
}

TEST(CameraListRules, PictureByKindDeviceTypeHousingAndModel) {
    CameraState g = GigE();
    EXPECT_EQ(PictureFor(g), 1072);
    g.deviceType = -127;
    EXPECT_EQ(PictureFor(g), 1328);
    g.housing = 0x0512;
    EXPECT_EQ(PictureFor(g), 1341);
    g.deviceType = -124;
    EXPECT_EQ(PictureFor(g), 1352);

    CameraState u = Usb();
    EXPECT_EQ(PictureFor(u), 1124);
    u.model = u"ZK1480CE-C";
    EXPECT_EQ(PictureFor(u), 1097);
    u.deviceTypeFromList = 'A';
    EXPECT_EQ(PictureFor(u), 1340);
    u.deviceTypeFromList = 'C';
    EXPECT_EQ(PictureFor(u), 1351);
}

TEST(CameraListRules, NoSelectionDisablesEverythingAndEmptiesTheStatus) {
    const StatusDecision d = DecideStatus(nullptr, false, false, Text);
    EXPECT_EQ(d.picture, 0);
    EXPECT_EQ(d.enabled, (std::array<bool, 4>{false, false, false, false}));
    EXPECT_FALSE(d.keepStatus);
    EXPECT_TRUE(d.text.empty());
}

TEST(CameraListRules, UsbStatusAndButtons) {
    CameraState c = Usb();
    StatusDecision d = DecideStatus(&c, false, false, Text);
    EXPECT_EQ(d.enabled, (std::array<bool, 4>{true, false, false, false}));
    EXPECT_EQ(d.text, u"#264 1: #263");
    EXPECT_EQ(d.code, 0);

    c.used = 1;
    d = DecideStatus(&c, false, false, Text);
    EXPECT_EQ(d.enabled[0], false);
    EXPECT_EQ(d.text, u"#264 1: #269");
    EXPECT_EQ(d.code, 2);

    c.used = 0;
    const std::pair<uint32_t, const char16_t*> cases[] = {{3, u"#398"}, {1, u"#399"}, {2, u"#453"}};
    for (const auto& [status, message] : cases) {
        c.status = status;
        d = DecideStatus(&c, false, false, Text);
        EXPECT_FALSE(d.enabled[0]);
        EXPECT_EQ(d.text, std::u16string(u"#264 1: ") + message);
        EXPECT_EQ(d.code, 1);
    }
}

TEST(CameraListRules, GigEReadyCameraWithAndWithoutMatchingFirmware) {
    CameraState c = GigE();
    StatusDecision d = DecideStatus(&c, false, false, Text);
    EXPECT_EQ(d.enabled, (std::array<bool, 4>{true, true, true, true}));
    EXPECT_EQ(d.text, u"#264 1001: #263");
    EXPECT_EQ(d.code, 0);

    c.deviceType = -124;
    c.starterFirmware = 1;
    c.driverIncludedStarterFirmware = 0x0102002A;
    d = DecideStatus(&c, true, false, Text);
    EXPECT_EQ(d.text, u"#264 1001: #559 1.02.0042.");
    EXPECT_EQ(d.code, 1);
    d = DecideStatus(&c, false, false, Text);
    EXPECT_EQ(d.text, u"#264 1001: #560");
}

TEST(CameraListRules, GigEFreeButUnavailableGivesTheFirstApplyingMessage) {
    CameraState c = GigE();
    // Start from a camera that passes every check but the available bit.
    c.statusFlags = 0x101;
    c.controlStatus = (1u << 27) | (1u << 5) | (1u << 1) | (1u << 7);
    StatusDecision d = DecideStatus(&c, false, false, Text);
    EXPECT_EQ(d.enabled, (std::array<bool, 4>{false, true, true, true}));
    EXPECT_EQ(d.text, u"#264 1001: ");
    EXPECT_EQ(d.code, 1);

    struct Case {
        uint32_t flags, control;
        const char16_t* message;
    };
    const uint32_t good = c.controlStatus;
    const Case cases[] = {
        {0x101, good & ~(1u << 27), u"#272"},
        {0x101, good | (1u << 31), u"#272"},
        {0x100, good, u"#273"},
        {0x80000101, good, u"#274"},
        {0x101, good & ~(1u << 5), u"#271"},
        {0x101, good | (1u << 6), u"#270"},
        {0x101, good & ~(1u << 1), u"#266"},
        {0x101, good & ~(1u << 7), u"#625"},
        {0x100, 0, u"#272"}, // the first rule wins
    };
    for (const Case& k : cases) {
        c.statusFlags = k.flags;
        c.controlStatus = k.control;
        EXPECT_EQ(DecideStatus(&c, false, false, Text).text, std::u16string(u"#264 1001: ") + k.message)
            << std::hex << k.flags << " " << k.control;
    }
}

TEST(CameraListRules, GigEBusyCamerasAndPassingStates) {
    CameraState c = GigE();
    c.statusFlags = 0;
    c.controlStatus = 1u << 12;
    StatusDecision d = DecideStatus(&c, false, false, Text);
    EXPECT_EQ(d.enabled, (std::array<bool, 4>{false, false, false, false}));
    EXPECT_EQ(d.text, u"#264 1001: #269");
    EXPECT_EQ(d.code, 2);
    c.controlStatus = 1u << 9;
    EXPECT_EQ(DecideStatus(&c, false, false, Text).code, 2);
    c.controlStatus = 0;
    d = DecideStatus(&c, false, false, Text);
    EXPECT_EQ(d.text, u"#264 1001: #267");
    EXPECT_EQ(d.code, 1);

    // Not free but available: the status stays for the same camera and empties for a new one.
    c.controlStatus = 1;
    d = DecideStatus(&c, false, false, Text);
    EXPECT_TRUE(d.keepStatus);
    EXPECT_EQ(d.enabled, (std::array<bool, 4>{false, false, false, false}));
    d = DecideStatus(&c, false, true, Text);
    EXPECT_FALSE(d.keepStatus);
    EXPECT_TRUE(d.text.empty());
}

TEST(CameraListRules, AFailedInformationCallOverridesTheStatus) {
    CameraState c = GigE();
    c.ethInfoResult = 141;
    const StatusDecision d = DecideStatus(&c, false, false, Text);
    EXPECT_EQ(d.text, u"#325 141#326");
    EXPECT_EQ(d.code, 1);
    EXPECT_FALSE(d.keepStatus);
}

TEST(CameraListRules, SnapshotsDifferInCountOrAnyComparedField) {
    const std::vector<Snapshot> a{MakeSnapshot(Usb()), MakeSnapshot(GigE())};
    EXPECT_FALSE(SnapshotsDiffer(a, {MakeSnapshot(Usb()), MakeSnapshot(GigE())}));
    EXPECT_TRUE(SnapshotsDiffer(a, {MakeSnapshot(Usb())}));
    EXPECT_TRUE(SnapshotsDiffer(a, {MakeSnapshot(GigE()), MakeSnapshot(Usb())}));
    CameraState g = GigE();
    g.controlStatus ^= 1;
    EXPECT_TRUE(SnapshotsDiffer(a, {MakeSnapshot(Usb()), MakeSnapshot(g)}));
    CameraState u = Usb();
    u.serial = u"4102812346";
    EXPECT_TRUE(SnapshotsDiffer(a, {MakeSnapshot(u), MakeSnapshot(GigE())}));
    u = Usb();
    u.serial = u"0123456789ABCDEFGHIJ"; // longer than the record keeps
    EXPECT_EQ(MakeSnapshot(u).serial[15], u'F');
}

TEST(CameraListRules, SortComparesIdsAsNumbersAndOtherColumnsAsText) {
    EXPECT_LT(CompareRows(u"9", u"10", 4, true), 0);
    EXPECT_GT(CompareRows(u"9", u"10", 4, false), 0);
    EXPECT_GT(CompareRows(u"9", u"10", 5, true), 0);
    EXPECT_EQ(CompareRows(u"ZK", u"ZK", 5, false), 0);
    EXPECT_LT(CompareRows(u"2", u"12", 3, true), 0);
}

TEST(CameraListRules, FirmwareVersionText) {
    EXPECT_EQ(FirmwareVersionText(0x01020304), u"1.02.0772");
    EXPECT_EQ(FirmwareVersionText(0), u"0.00.0000");
}

} // namespace
