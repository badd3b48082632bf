#include "camera_manager/core/records/BoundedText.h"
#include "camera_manager/core/records/CamInfoRecord.h"
#include "camera_manager/core/records/CameraList.h"
#include "camera_manager/diagnostics/records/SupportFileCollector.h"
#include "camera_manager/diagnostics/records/SupportFileContent.h"
#include "camera_manager/diagnostics/records/SupportFileFormat.h"
#include "camera_manager/diagnostics/records/SupportFileOpening.h"
#include "camera_manager/diagnostics/records/SupportFilePages.h"
#include "camera_manager/res/StringTable.h"
#include "camera_manager/tests/ManagerTestSupport.h"
#include "platform/win/Registry.h"
#include "platform/win/ResourceStrings.h"
#include "platform/win/SystemInfo.h"
#include "platform/win/WideText.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using cmtest::ManagerTest;

std::string utf8(const std::u16string& text) {
    return win::toUtf8(text);
}

// The rows as indented lines, the way a reader compares trees.
void dump(const SupportRow& row, int depth, std::string& out) {
    out += std::string(size_t(depth) * 2, ' ') + (row.bold ? "*" : "") + utf8(row.text) + "\n";
    for (const SupportRow& child : row.children)
        dump(child, depth + 1, out);
}

std::string dump(const std::vector<SupportRow>& rows) {
    std::string out;
    for (const SupportRow& row : rows)
        dump(row, 0, out);
    return out;
}

const SupportRow* findRow(const std::vector<SupportRow>& rows, const std::u16string& prefix) {
    for (const SupportRow& row : rows) {
        if (row.text.compare(0, prefix.size(), prefix) == 0)
            return &row;
        if (const SupportRow* found = findRow(row.children, prefix))
            return found;
    }
    return nullptr;
}

std::string scrambledFile(const std::u16string& text) {
    std::u16string units = text;
    ScrambleSupportText(units);
    return StoreSupportUnits(units);
}

// A binary file by hand: the header, then the records, each XOR its key.
class BinaryFile {
public:
    explicit BinaryFile(const std::u16string& version = u"3.80.0.0") {
        std::string header(60, '\0');
        for (size_t i = 0; i < version.size() && i < 30; ++i) {
            header[2 * i] = char(version[i] & 0xFF);
            header[2 * i + 1] = char(version[i] >> 8);
        }
        add(header, 0x5E);
    }
    void count(int32_t n) { bytes.append(reinterpret_cast<const char*>(&n), 4); }
    void add(std::string record, uint8_t key) {
        for (char& c : record)
            c = char(uint8_t(c) ^ key);
        bytes += record;
    }
    std::string bytes;
};

std::string text16(std::string record, size_t offset, const std::u16string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        record[offset + 2 * i] = char(text[i] & 0xFF);
        record[offset + 2 * i + 1] = char(text[i] >> 8);
    }
    return record;
}

template <class T> std::string with(std::string record, size_t offset, T value) {
    std::memcpy(record.data() + offset, &value, sizeof value);
    return record;
}

class SupportFileReadTest : public ManagerTest {
protected:
    SupportFileContent defaultCameraContent() {
        CameraList usb, eth;
        EXPECT_TRUE(FillCameraList(usb, FillUsb));
        EXPECT_TRUE(FillCameraList(eth, FillGigE));
        SupportFileContent content;
        content.programVersion = u"1.0.0.0";
        content.hubLabel = u"Hub";
        content.controllerLabel = u"Controller";
        for (int list = 0; list < 2; ++list) {
            CameraList& cameras = list == 0 ? usb : eth;
            for (uint32_t n = 0; n < uint32_t(cameras.GetCount()); ++n) {
                SupportCamera camera;
                camera.entry = *cameras.At(n);
                ReadCameraInformation(camera.entry.GetDeviceId(), camera.info);
                (list == 0 ? content.usbCameras : content.ethCameras).push_back(camera);
            }
        }
        CollectInstalledDriverVersions(content.drivers);
        content.system = CollectSystemInfo();
        content.adapters = CollectAdapters();
        content.controllers = CollectUsbControllers();
        return content;
    }
};

TEST_F(SupportFileReadTest, FileOfTheDefaultCamerasShowsTheSameCameraPagesAsTheirRecords) {
    const SupportFileContent content = defaultCameraContent();
    ASSERT_EQ(content.usbCameras.size(), 1u);
    ASSERT_EQ(content.ethCameras.size(), 1u);
    const std::string file = scrambledFile(BuildSupportText(content));
    std::u16string header;
    ASSERT_EQ(ClassifySupportFile(file, header), SupportFileForm::Text);
    const win::ProfileText profile(DecodeTextSupportFile(file));
    const std::vector<SupportRow> textRows = BuildPagesFromProfile(profile);

    BinaryFile binary;
    auto addCamera = [&binary](const SupportCamera& c) {
        binary.add(std::string(reinterpret_cast<const char*>(&c.entry), 1672), 0x1D);
        std::string info(reinterpret_cast<const char*>(&c.info), sizeof c.info);
        info.resize(1144, '\0');
        binary.add(info, 0xC6);
    };
    binary.count(1);
    addCamera(content.usbCameras[0]);
    binary.count(1);
    addCamera(content.ethCameras[0]);
    const std::vector<SupportRow> binaryRows = BuildPagesFromBinary(ReadBinarySupportFile(binary.bytes));

    ASSERT_GE(textRows.size(), 2u);
    ASSERT_GE(binaryRows.size(), 2u);
    EXPECT_EQ(utf8(textRows[0].text), "USB");
    EXPECT_EQ(utf8(textRows[1].text), "ETH");
    // The ETH page holds every value kind; both forms show it alike, except that the text form
    // shows an empty text as "-" (the user EEPROM and the adapter texts are empty here).
    std::string binaryEth = dump({binaryRows[1]});
    for (size_t at = 0; (at = binaryEth.find("\t\n", at)) != std::string::npos; at += 3)
        binaryEth.replace(at, 2, "\t-\n");
    EXPECT_EQ(dump({textRows[1]}), binaryEth);
    EXPECT_NE(dump({textRows[1]}).find("\tZK5240CP-M\n"), std::string::npos);
    EXPECT_NE(dump({textRows[1]}).find("\t02-5A-4B-00-10-01\n"), std::string::npos);
    // The USB page of the text form also has its hub group.
    const SupportRow& usbText = textRows[0].children.at(0);
    const SupportRow& usbBinary = binaryRows[0].children.at(0);
    EXPECT_EQ(usbText.text, usbBinary.text);
    EXPECT_EQ(dump({usbText.children[0]}), dump({usbBinary.children[0]}));
    EXPECT_EQ(dump({usbText.children[2]}), dump({usbBinary.children[1]}));
    EXPECT_EQ(utf8(usbText.children[1].text), "Hub / Controller");
    EXPECT_EQ(utf8(usbText.children[1].children.at(0).text), "1. Controller\t-1");
    // System pages: system information and controllers come from the file.
    EXPECT_NE(dump(textRows).find("Installed drivers"), std::string::npos);
    EXPECT_NE(dump(textRows).find("zeko_api_64.dll\t3.31.0.0  (API)"), std::string::npos);
}

TEST_F(SupportFileReadTest, CameraInformationNeverLeaksFromOneCameraToTheNext) {
    // The second camera's information query fails: its revisions are 0, not the first one's.
    CameraList usb, eth;
    ASSERT_TRUE(FillCameraList(usb, FillUsb));
    ASSERT_TRUE(FillCameraList(eth, FillGigE));
    SupportCamera first, second;
    ReadCameraInformation(usb.At(0)->GetDeviceId(), first.info);
    ASSERT_NE(first.info.LogicBoard | first.info.PowerBoard | first.info.DspFirmware, 0);
    zksim_InjectFailure("zk_GetCameraInfoEx", 1, 0);
    ReadCameraInformation(eth.At(0)->GetDeviceId(), second.info);
    EXPECT_EQ(second.info.LogicBoard, 0);
    EXPECT_EQ(second.info.DspFirmware, 0);
    EXPECT_EQ(utf8(WideField(second.info.Manufacturer, 25)), "Unknown");
}

TEST_F(SupportFileReadTest, ForeignVersionsAreRefusedAndTextNeverLooksLikeAVersion) {
    std::u16string header;
    EXPECT_EQ(ClassifySupportFile(BinaryFile(u"3.81.0.0").bytes, header), SupportFileForm::Foreign);
    EXPECT_EQ(utf8(ForeignVersionMessage(header)),
              "The support file was created with another version of Zeko Camera Manager.\n"
              "Please use Zeko Camera Manager version 3.81.0.0 to open the file.");
    EXPECT_EQ(ClassifySupportFile(BinaryFile(u"v3.80.0.0").bytes, header), SupportFileForm::Foreign);
    EXPECT_EQ(utf8(header), "v3.80.0.0");
    EXPECT_EQ(ClassifySupportFile(BinaryFile().bytes, header), SupportFileForm::Binary);
    // 30 units and no zero: the header is the 30 units.
    EXPECT_EQ(ClassifySupportFile(BinaryFile(u"123456789012345678901234567890").bytes, header),
              SupportFileForm::Text);
    EXPECT_EQ(header.size(), 30u);
    std::mt19937 random(5);
    std::u16string units;
    for (int i = 0; i < 500; ++i)
        units += char16_t(random());
    EXPECT_EQ(ClassifySupportFile(scrambledFile(units), header), SupportFileForm::Text);
    EXPECT_EQ(ClassifySupportFile("", header), SupportFileForm::Text);
}

TEST_F(SupportFileReadTest, DamagedBinaryFilesShowOnlyWholeRecords) {
    BinaryFile file;
    file.count(0x7FFFFFFF); // far more cameras than the file holds
    file.add(with(std::string(1672, '\0'), 0, uint32_t(5)), 0x1D);
    file.add(std::string(1144, '\0'), 0xC6);
    file.add(std::string(1000, '\0'), 0x1D); // a cut camera record
    const BinarySupportFile read = ReadBinarySupportFile(file.bytes);
    ASSERT_EQ(read.groups[0].size(), 1u);
    EXPECT_TRUE(read.incomplete);
    EXPECT_FALSE(read.hasDrivers);
    const std::vector<SupportRow> rows = BuildPagesFromBinary(read);
    ASSERT_EQ(rows.size(), 2u); // the USB root and the (empty) controller group
    EXPECT_EQ(utf8(rows[0].children.at(0).text), "5\tFree");

    // Adapter count 25 27 27 27: only the first two bytes are scrambled, so the count is 0x27270002
    // and all three records that follow are read (descrambling all four bytes would give 2).
    BinaryFile good;
    good.count(0);
    good.count(-3);
    good.add(text16(std::string(1560, '\0'), 40 * 1, u"2.1.0.0"), 0x48);
    std::string system = with(with(with(std::string(1296, '\0'), 0, uint16_t(9)), 20, 6u), 24, 1u);
    good.add(text16(system, 36, u"Service Pack 1"), 0xE9);
    good.bytes += std::string("\x25\x27\x27\x27", 4);
    good.add(text16(text16(std::string(1604, '\0'), 0, u"Adapter A"), 564, u"2024-01-01"), 0x27);
    good.add(text16(std::string(1604, '\0'), 0, u"Adapter B"), 0x27);
    good.add(text16(std::string(1604, '\0'), 0, u"Adapter C"), 0x27);
    EXPECT_FALSE(ReadBinarySupportFile(good.bytes).incomplete);
    const std::string shown = dump(BuildPagesFromBinary(ReadBinarySupportFile(good.bytes)));
    EXPECT_EQ(shown.find("USB\n"), std::string::npos);
    EXPECT_NE(shown.find("zeko_usb_64.sys\t2.1.0.0  (Kernel)"), std::string::npos);
    EXPECT_NE(shown.find("OS version\tWindows 7  (Service Pack 1)"), std::string::npos);
    EXPECT_NE(shown.find("Processor architecture\tAMD64"), std::string::npos);
    EXPECT_NE(shown.find("  Adapter A\n    Driver version\t\n    Driver date\t2024-01-01\n"),
              std::string::npos);
    EXPECT_NE(shown.find("  Adapter B\n"), std::string::npos);
    EXPECT_NE(shown.find("  Adapter C\n"), std::string::npos);
    EXPECT_NE(shown.find("*USB hostcontroller(s)\n"), std::string::npos);

    // Random bytes after a good header never crash and never hang.
    std::mt19937 random(9);
    for (int round = 0; round < 50; ++round) {
        BinaryFile noise;
        for (int i = 0; i < 6000; ++i)
            noise.bytes += char(random());
        BuildPagesFromBinary(ReadBinarySupportFile(noise.bytes));
    }
}

TEST_F(SupportFileReadTest, CameraOfAGroupWithoutRootGetsItsOwnRoot) {
    BinaryFile file;
    file.count(1);
    file.add(with(std::string(1672, '\0'), 0, uint32_t(1005)), 0x1D); // an ETH id in the USB group
    file.add(std::string(1144, '\0'), 0xC6);
    file.count(0);
    const std::vector<SupportRow> rows = BuildPagesFromBinary(ReadBinarySupportFile(file.bytes));
    ASSERT_GE(rows.size(), 2u);
    EXPECT_EQ(utf8(rows[0].text), "USB");
    EXPECT_TRUE(rows[0].children.empty());
    EXPECT_EQ(utf8(rows[1].text), "ETH");
    EXPECT_TRUE(rows[1].expanded && rows[1].bold);
    EXPECT_EQ(utf8(rows[1].children.at(0).text), "1005\tUsed / Not available");
}

TEST_F(SupportFileReadTest, TextFormPagesFollowTheProfileRules) {
    const win::ProfileText profile(
        u"[Number of cameras]\nUSB=1\nETH=0\n[usb - 0]\n DeviceId = 7 \nDeviceModel=\n"
        u"1. Hub=Root (Port 2)\n2. Hub=Outer (Port 1)\n3. Controller=Host\n"
        u"[System information]\ndwMajorVersion=5\ndwMinorVersion=2\nCSDVersion=-\n"
        u"ProcessorArchitecture=65535\n"
        u"[Network adapters]\nNumber=0\n"
        u"[USB hostcontrollers]\nUSB 2.0=2\n[USB 2.0]\n0=First\n");
    const std::string shown = dump(BuildPagesFromProfile(profile));
    EXPECT_NE(shown.find("*7\tFree\n    *Device\n      Camera ID\t0\n      Model\t-\n      SerNo.\t-1\n"),
              std::string::npos)
        << shown;
    EXPECT_NE(shown.find("1. Hub\tRoot (Port 2)\n      2. Hub\tOuter (Port 1)\n      3. Controller\tHost\n"),
              std::string::npos);
    EXPECT_NE(shown.find("OS version\tNot supported\n"), std::string::npos);
    EXPECT_NE(shown.find("Processor architecture\tUnknown\n"), std::string::npos);
    EXPECT_EQ(shown.find("Network adapter information"), std::string::npos);
    EXPECT_NE(shown.find("*USB hostcontroller(s)\n  *2.0\n    First\n    \n"), std::string::npos);
    size_t drivers = 0;
    const std::vector<SupportRow> rows = BuildPagesFromProfile(profile);
    for (const SupportRow& row : rows)
        if (utf8(row.text) == "Installed drivers")
            drivers = row.children.size();
    EXPECT_EQ(drivers, 26u);
    EXPECT_TRUE(findRow(rows, u"zekocam.ocx  (64 bit)\t-1  (ActiveX)"));

    // No "Number of cameras": no roots, still every system group, the adapters' one empty.
    const std::vector<SupportRow> empty = BuildPagesFromProfile(win::ProfileText(u""));
    ASSERT_EQ(empty.size(), 4u);
    EXPECT_EQ(utf8(empty[0].text), "Installed drivers");
    EXPECT_EQ(utf8(empty[2].text), "Network adapter information");
    EXPECT_TRUE(empty[2].children.empty());
    EXPECT_EQ(utf8(empty[3].text), "USB hostcontroller(s)");
}

// A text file cut short (the first half of a four-camera file) shows the cameras before the cut
// exactly as the whole file does, makes up none, and says that it is incomplete.
TEST_F(SupportFileReadTest, ATextFileCutInsideACameraShowsOnlyTheWholeCameras) {
    SupportFileContent content = defaultCameraContent();
    ASSERT_EQ(content.ethCameras.size(), 1u);
    content.usbCameras.clear();
    content.ethCameras.resize(4, content.ethCameras[0]);
    const std::string file = scrambledFile(BuildSupportText(content));
    bool incomplete = true;
    const std::vector<SupportRow> whole =
        BuildPagesFromProfile(win::ProfileText(DecodeTextSupportFile(file)), &incomplete);
    EXPECT_FALSE(incomplete);
    ASSERT_EQ(whole.at(0).children.size(), 4u);

    for (size_t cut : {file.size() / 2, file.size() / 2 + 3, file.size() / 8}) {
        const std::vector<SupportRow> rows =
            BuildPagesFromProfile(win::ProfileText(DecodeTextSupportFile(file.substr(0, cut))), &incomplete);
        EXPECT_TRUE(incomplete) << cut;
        ASSERT_EQ(utf8(rows.at(0).text), "ETH");
        const std::vector<SupportRow>& shown = rows[0].children;
        EXPECT_LT(shown.size(), 4u);
        if (cut == file.size() / 2) {
            EXPECT_GE(shown.size(), 1u);
        }
        for (size_t n = 0; n < shown.size(); ++n)
            EXPECT_EQ(dump({shown[n]}), dump({whole[0].children[n]}))
                << "camera " << n << " of a cut at " << cut;
    }
}

// A cut after the cameras (in the drivers, the system, the adapters, the controllers, inside
// the last line) says the file is incomplete, and what the cut text lacks is shown empty.
TEST_F(SupportFileReadTest, ATextFileCutAfterItsCamerasIsIncompleteAndMakesNoValueUp) {
    SupportFileContent content = defaultCameraContent();
    content.usbCameras.clear();
    content.ethCameras.resize(2, content.ethCameras.at(0));
    content.system.majorVersion = 6;
    content.system.minorVersion = 1;
    content.system.numberOfProcessors = 8;
    content.system.activeProcessorMask = 255;
    content.system.processorArchitecture = 9;
    SupportAdapter adapter;
    adapter.name = u"eth0";
    adapter.dhcp = 1;
    content.adapters = std::vector<SupportAdapter>{adapter};
    content.controllers[3] = {u"xHCI"};
    const std::u16string text = BuildSupportText(content);
    bool incomplete = true;
    const std::string whole = dump(BuildPagesFromProfile(win::ProfileText(text), &incomplete));
    EXPECT_FALSE(incomplete);
    EXPECT_NE(whole.find("Number of processors\t8\n"), std::string::npos) << whole;
    EXPECT_NE(whole.find("DHCP enabled\tYes\n"), std::string::npos);

    const size_t drivers = text.find(u"[Installed drivers]");
    ASSERT_NE(drivers, std::u16string::npos);
    for (size_t cut = drivers; cut < text.size(); cut += (text.size() - cut > 300 ? 7 : 1)) {
        BuildPagesFromProfile(win::ProfileText(text.substr(0, cut)), &incomplete);
        if (!incomplete) {
            ADD_FAILURE() << "a cut at " << cut << " of " << text.size() << " counts as whole";
            break;
        }
    }
    const std::string cut = dump(BuildPagesFromProfile(win::ProfileText(text.substr(0, drivers + 60))));
    for (const char* empty : {"OS version\t\n", "Processor architecture\t\n", "Number of processors\t\n",
                              "Active processor mask\t\n"})
        EXPECT_NE(cut.find(empty), std::string::npos) << empty << " in\n" << cut;
    EXPECT_NE(cut.find("Network adapter information"), std::string::npos);
    const size_t dhcp = text.find(u"DHCP=");
    ASSERT_NE(dhcp, std::u16string::npos);
    EXPECT_NE(dump(BuildPagesFromProfile(win::ProfileText(text.substr(0, dhcp)))).find("DHCP enabled\t\n"),
              std::string::npos);
}

// A file cut at each boundary after its cameras, in either form, is incomplete and says in which
// part it ends; what it does not hold whole is empty, never 0, -1 or a character made up from
// part of a stored number.
TEST_F(SupportFileReadTest, EveryCutAfterTheCamerasNamesWhereTheFileEnds) {
    SupportFileContent content = defaultCameraContent();
    content.usbCameras.resize(1);
    content.system.numberOfProcessors = 8;
    SupportAdapter adapter;
    adapter.name = u"eth0";
    adapter.driverVersion = u"3.80.0.0";
    content.adapters = std::vector<SupportAdapter>{adapter, adapter};
    content.controllers[2] = {u"EHCI"};
    const std::u16string text = BuildSupportText(content);
    const std::string file = scrambledFile(text);
    // The bytes that hold the first n units: one line each.
    auto bytesOf = [&](size_t units) {
        size_t at = 0;
        for (size_t n = 0; n < units; ++n)
            at = file.find('\n', at) + 1;
        return at;
    };
    auto open = [&](const std::string& bytes, SupportFileCut& cut) {
        bool incomplete = false;
        const std::string shown =
            dump(BuildPagesFromProfile(win::ProfileText(DecodeTextSupportFile(bytes)), &incomplete, &cut));
        EXPECT_EQ(incomplete, cut != SupportFileCut::None);
        return shown;
    };
    SupportFileCut cut = SupportFileCut::Cameras;
    open(file, cut);
    EXPECT_EQ(cut, SupportFileCut::None);
    const std::pair<const char16_t*, SupportFileCut> boundaries[] = {
        {u"[USB - 0]", SupportFileCut::Cameras},
        {u"[ETH - 0]", SupportFileCut::Cameras},
        // Right after the last camera: its record is whole.
        {u"[Installed drivers]", SupportFileCut::Drivers},
        {u"[System information]", SupportFileCut::System},
        {u"[Network adapters]", SupportFileCut::Adapters},
        {u"[Adapter - 1]", SupportFileCut::Adapters},
        {u"[USB hostcontrollers]", SupportFileCut::Controllers},
        {u"[USB 2.0]", SupportFileCut::Controllers},
        // No controller of its kind, and its section is still written: only its header tells.
        {u"[USB 3.0]", SupportFileCut::Controllers}};
    for (const auto& [section, part] : boundaries) {
        const size_t at = text.find(section);
        ASSERT_NE(at, std::u16string::npos) << utf8(section);
        const std::string shown = open(file.substr(0, bytesOf(at)), cut);
        EXPECT_EQ(cut, part) << utf8(section);
        const std::string afterCameras = shown.substr(shown.find("*Installed drivers"));
        EXPECT_EQ(afterCameras.find("\t-1\n"), std::string::npos) << utf8(section) << "\n" << shown;
        EXPECT_EQ(afterCameras.find("  -1\n"), std::string::npos) << utf8(section) << "\n" << shown;
        if (part != SupportFileCut::Cameras)
            EXPECT_NE(shown.find("\n*ETH\n  "), std::string::npos) << utf8(section) << "\n" << shown;
    }
    // Only USB cameras, cut right after the last one.
    content.ethCameras.clear();
    const std::u16string usbOnly = BuildSupportText(content);
    EXPECT_NE(
        open(scrambledFile(usbOnly.substr(0, usbOnly.find(u"[Installed drivers]"))), cut).find("*USB\n  "),
        std::string::npos);
    EXPECT_EQ(cut, SupportFileCut::Drivers);
    // A value cut right after its '=' and a number cut inside the digits of one of its units.
    const size_t processors = text.find(u"NumberOfProcessors=") + 19;
    EXPECT_NE(open(file.substr(0, bytesOf(processors)), cut).find("Number of processors\t\n"),
              std::string::npos);
    EXPECT_EQ(cut, SupportFileCut::System);
    const std::string inDigits = open(file.substr(0, bytesOf(processors) + 1), cut);
    EXPECT_NE(inDigits.find("Number of processors\t\n"), std::string::npos) << inDigits;
    EXPECT_EQ(cut, SupportFileCut::System);
    const size_t version = text.find(u"DriverVersion=3.8", text.find(u"[Adapter - 0]")) + 17;
    const std::string inVersion = open(file.substr(0, bytesOf(version) + 2), cut);
    EXPECT_NE(inVersion.find("    Driver version\t\n"), std::string::npos) << inVersion;
    EXPECT_EQ(cut, SupportFileCut::Adapters);
    // The USB 2.0 controller whose section was cut away is shown empty.
    const std::string noEhci = open(file.substr(0, bytesOf(text.find(u"[USB 2.0]"))), cut);
    EXPECT_EQ(noEhci.find("EHCI"), std::string::npos);

    // The binary form, cut in each of its records.
    BinaryFile binary;
    binary.count(0);
    binary.count(1);
    binary.add(std::string(1672, '\0'), 0x1D);
    binary.add(std::string(1144, '\0'), 0xC6);
    const size_t driversAt = binary.bytes.size();
    binary.add(std::string(1560, '\0'), 0x48);
    const size_t systemAt = binary.bytes.size();
    binary.add(std::string(1296, '\0'), 0xE9);
    const size_t countAt = binary.bytes.size();
    binary.bytes += std::string("\x25\x27\x27\x27", 4); // two adapters
    binary.add(text16(std::string(1604, '\0'), 0, u"Adapter A"), 0x27);
    const size_t secondAt = binary.bytes.size();
    binary.add(text16(std::string(1604, '\0'), 0, u"Adapter B"), 0x27);
    EXPECT_EQ(ReadBinarySupportFile(binary.bytes).cut, SupportFileCut::None);
    const std::pair<size_t, SupportFileCut> cuts[] = {{62, SupportFileCut::Cameras},
                                                      {driversAt - 1, SupportFileCut::Cameras},
                                                      {driversAt, SupportFileCut::Drivers},
                                                      {driversAt + 100, SupportFileCut::Drivers},
                                                      {countAt, SupportFileCut::Adapters},
                                                      {systemAt, SupportFileCut::System},
                                                      {systemAt + 1295, SupportFileCut::System},
                                                      {countAt + 2, SupportFileCut::Adapters},
                                                      {secondAt + 10, SupportFileCut::Adapters}};
    for (const auto& [at, part] : cuts) {
        const BinarySupportFile read = ReadBinarySupportFile(std::string_view(binary.bytes).substr(0, at));
        EXPECT_TRUE(read.incomplete) << at;
        EXPECT_EQ(read.cut, part) << at;
    }
    const BinarySupportFile oneAdapter =
        ReadBinarySupportFile(std::string_view(binary.bytes).substr(0, secondAt + 10));
    EXPECT_EQ(oneAdapter.adapters.size(), 1u);
    EXPECT_TRUE(oneAdapter.hasDrivers && oneAdapter.hasSystem);

    // The message names the part.
    const std::pair<SupportFileCut, std::u16string> named[] = {
        {SupportFileCut::Cameras, u"the record of a camera"},
        {SupportFileCut::Drivers, u"the installed drivers"},
        {SupportFileCut::System, u"the system information"},
        {SupportFileCut::Adapters, u"the network adapter information"},
        {SupportFileCut::Controllers, u"the USB host controllers"}};
    for (const auto& [part, name] : named)
        EXPECT_NE(SupportFileIncompleteMessage(part).find(name), std::u16string::npos) << int(part);
    EXPECT_EQ(SupportFileIncompleteMessage(SupportFileCut::Cameras).find(u"%s"), std::u16string::npos);
}

TEST_F(SupportFileReadTest, HugeCountsAreCappedAndShowDefaultRows) {
    const win::ProfileText profile(
        u"[Number of cameras]\nETH=2000000000\n[Network adapters]\nNumber=99999999\n"
        u"[USB hostcontrollers]\nUSB 3.0=2147483647\n");
    const auto start = std::chrono::steady_clock::now();
    bool incomplete = false;
    const std::vector<SupportRow> rows = BuildPagesFromProfile(profile, &incomplete);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
    ASSERT_EQ(utf8(rows[0].text), "ETH");
    // Counted cameras whose sections the text lacks are not made up.
    EXPECT_TRUE(rows[0].children.empty());
    EXPECT_TRUE(incomplete);
    EXPECT_EQ(findRow(rows, u"Network adapter information")->children.size(), size_t(supportCountCap));
    EXPECT_EQ(findRow(rows, u"USB hostcontroller(s)")->children.at(0).children.size(),
              size_t(supportCountCap));
}

TEST(SupportFileValues, SpecialKindsFormatAsTheViewerShowsThem) {
    SetProgramResourceStrings(managerStrings, managerStringCount);
    struct {
        std::u16string got;
        const char* expected;
    } cases[] = {
        {TemperatureText(65528), "-0.5\u00b0 C  (31.1\u00b0 F)"},
        {TemperatureText(65535), "Invalid"},
        {TemperatureText(0), "0.0\u00b0 C  (32.0\u00b0 F)"},
        {FirmwareText(16908291), "1.02.0003"},
        {FirmwareText(0x81000000u), "129.00.0000"},
        {CpldText(261), "1.05"},
        {ModelText(u"QX1A2B-C"), "QX-1A2B-C"},
        {ModelText(u"QX1A2"), "QX1A2"},
        {ModelText(u"ZK1480-C"), "ZK1480-C"},
        {ReservedValueText(0), "0 - 0000000000"},
        {ReservedValueText(255), "255 - 0x000000ff"},
        {PacketFilterText(1, true), "block ZKGET"},
        {PacketFilterText(uint32_t(-1), true), "0"},
        {PacketFilterText(0xFFFF, false), "0"},
        {PacketFilterText(7, false), "7"},
        {OsVersionRow(6, 1, u"Service Pack 1"), "OS version\tWindows 7  (Service Pack 1)"},
        {OsVersionRow(6, 1, u""), "OS version\tWindows 7"},
        {OsVersionRow(0, 0, u"Linux 6.1.0"), "OS version\tNot supported  (Linux 6.1.0)"},
        {ArchitectureText(12), "12"},
        {EthStateText(0x100, 1), "Free / Available"},
        {EthStateText(0x100, 0), "Free / Not available"},
        {EthStateText(0, 0), "Used / Not available"},
        {EthStateText(0, 1), "Unknown"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(utf8(c.got), c.expected);
    EXPECT_EQ(SupportColumnWidths(400), std::make_pair(224, 124));
    EXPECT_EQ(SupportColumnWidths(100), std::make_pair(74, 0));
}

TEST(SupportProfileText, NamesMatchWithoutCaseAndTheFirstMatchWins) {
    const win::ProfileText p(
        u"[A]\r\n  Key  =  one  \r\nkey=two\r\nE=\r\nN=-1\r\nW=4294967295\r\n[a]\r\nOther=x\r\n");
    EXPECT_EQ(utf8(p.text(u"a", u"KEY", u"-1")), "one");
    EXPECT_EQ(utf8(ReadProfileText(p, u"A", u"Other")), "-1");
    EXPECT_EQ(utf8(ReadProfileText(p, u"A", u"E")), "-");
    EXPECT_EQ(p.number(u"A", u"N", 0), -1);
    EXPECT_EQ(p.number(u"A", u"W", 0), -1);
    EXPECT_EQ(p.number(u"A", u"missing", 5), 5);
}

class SupportTemporaryFileTest : public ManagerTest {};

TEST_F(SupportTemporaryFileTest, ProfileGoesToTheTemporaryFolderAndFailsCleanly) {
    const std::string saved = std::getenv("TEMP") ? std::getenv("TEMP") : "";
    unsetenv("TEMP");
    setenv("TMPDIR", dir_.c_str(), 1);
    std::string path;
    ASSERT_TRUE(WriteTemporaryProfile(u"[S]\nK=\u00e9\n", path));
    EXPECT_EQ(path.rfind(dir_ + "/", 0), 0u);
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    win::ProfileText profile;
    ASSERT_TRUE(win::loadProfileFile(path, profile));
    EXPECT_EQ(utf8(profile.text(u"S", u"K", u"")), "\u00e9");
    unlink(path.c_str());
    setenv("TEMP", (dir_ + "/missing").c_str(), 1);
    EXPECT_FALSE(WriteTemporaryProfile(u"x", path));
    if (saved.empty())
        unsetenv("TEMP");
    else
        setenv("TEMP", saved.c_str(), 1);
    unsetenv("TMPDIR");
}

TEST_F(SupportTemporaryFileTest, WriterReplacesWholeFilesAndReportsFailures) {
    const std::string target = dir_ + "/Support.bin";
    std::ofstream(target) << "old content that is longer";
    chmod(target.c_str(), 0640);
    std::string reason;
    ASSERT_TRUE(WriteFileReplacing(target, "1\r\n", reason)) << reason;
    std::ifstream in(target);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "1\r\n");
    struct stat info {};
    stat(target.c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    // Through a link, the file it names is replaced and the link stays.
    const std::string link = dir_ + "/link.bin";
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    ASSERT_TRUE(WriteFileReplacing(link, "2\r\n", reason));
    struct stat linkInfo {};
    lstat(link.c_str(), &linkInfo);
    EXPECT_TRUE(S_ISLNK(linkInfo.st_mode));
    std::ifstream again(target);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(again), {}), "2\r\n");
    EXPECT_FALSE(WriteFileReplacing(dir_ + "/no/such/folder/x.bin", "3", reason));
    EXPECT_FALSE(reason.empty());
}

TEST_F(SupportTemporaryFileTest, UsbPathClimbsHubsToTheControllerAndStopsOnLoops) {
    auto setValue = [](const std::u16string& path, const char16_t* name, const std::u16string& text) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       DWORD((text.size() + 1) * 2));
        RegCloseKey(key);
    };
    setValue(u"SYSTEM\\CurrentControlSet\\Services\\Zeko\\enum", u"0", u"USB\\VID_5C2E&PID_1001\\6&aaa&0&3");
    setValue(u"SYSTEM\\CurrentControlSet\\Enum\\USB\\ROOT_HUB20\\5&bbb&0&1", u"ParentIdPrefix", u"6&aaa&0");
    setValue(u"SYSTEM\\CurrentControlSet\\Enum\\USB\\ROOT_HUB20\\5&bbb&0&1", u"DeviceDesc",
             u"@usb.inf,%hub%;Root hub");
    setValue(u"SYSTEM\\CurrentControlSet\\Enum\\PCI\\VEN_8086\\4&ctl&0&00E8", u"ParentIdPrefix", u"5&bbb&0");
    setValue(u"SYSTEM\\CurrentControlSet\\Enum\\PCI\\VEN_8086\\4&ctl&0&00E8", u"DeviceDesc",
             u"Host controller;");
    std::vector<std::u16string> hubs;
    std::optional<std::u16string> controller;
    CollectUsbPath(0, hubs, controller);
    ASSERT_EQ(hubs.size(), 1u);
    EXPECT_EQ(utf8(hubs[0]), "Root hub (Port 3)");
    ASSERT_TRUE(controller);
    EXPECT_EQ(utf8(*controller), "Host controller;");
    // A hub whose parent prefix leads back to itself ends the climb.
    setValue(u"SYSTEM\\CurrentControlSet\\Enum\\USB\\LOOP\\6&aaa&0&2", u"ParentIdPrefix", u"5&bbb&0");
    CollectUsbPath(0, hubs, controller);
    EXPECT_EQ(hubs.size(), 2u);
    EXPECT_FALSE(controller);
    EXPECT_EQ(utf8(CutAtSemicolon(u"a;b;c")), "c");
    EXPECT_EQ(utf8(CutAtSemicolon(u"abc")), "abc");
}

TEST(SupportProgress, TwoCamerasShowZeroFiftyHundred) {
    EXPECT_TRUE(SupportProgressSteps(0).empty());
    EXPECT_TRUE(SupportProgressSteps(1).empty());
    EXPECT_EQ(SupportProgressSteps(2), (std::vector<int>{0, 50, 100}));
    EXPECT_EQ(SupportProgressSteps(3), (std::vector<int>{0, 33, 66, 100}));
}

} // namespace

namespace {

TEST(SupportSystemDescription, LinuxReportsNoWindowsVersionAndNamesItself) {
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
    ASSERT_TRUE(GetVersionExW(&version));
    EXPECT_EQ(version.dwMajorVersion, 0u);
    EXPECT_EQ(version.dwMinorVersion, 0u);
    EXPECT_EQ(utf8(WideField(version.szCSDVersion, 128)).rfind("Linux ", 0), 0u);
    version.dwOSVersionInfoSize = 100;
    EXPECT_FALSE(GetVersionExW(&version));
    win::SetSystemDescriptionSource([] {
        win::SystemDescription d;
        d.majorVersion = 6;
        d.minorVersion = 1;
        d.servicePack = u"Service Pack 1";
        d.processorArchitecture = 9;
        d.numberOfProcessors = 4;
        d.activeProcessorMask = 0x1'0000'000Full;
        return d;
    });
    const SupportSystemInfo info = CollectSystemInfo();
    win::SetSystemDescriptionSource({});
    EXPECT_EQ(info.majorVersion, 6u);
    EXPECT_EQ(utf8(info.csdVersion), "Service Pack 1");
    EXPECT_EQ(info.activeProcessorMask, 15u); // the low 32 bits
    EXPECT_EQ(info.numberOfProcessors, 4u);
}

} // namespace
