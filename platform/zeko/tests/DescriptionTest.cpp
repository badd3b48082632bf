#include "platform/zeko/CameraDescription.h"
#include "platform/zeko/tests/SimTestSupport.h"

#include <fstream>

namespace zeko::sim::test {

namespace {

const char* kTwoCameras = R"(# mono first, so that the viewer starts on it
[camera]
device_id = 1002
serial = 5000000001
model = ZK-TEST-M
sensor = ZKTEST-M
width = 640
height = 480
x_step = 8
y_step = 4
clock_min = 10
clock_max = 50
clock = 20
frame_rate = 25
mac = 02-00-00-00-00-09
ip = 10.0.0.7
mask = 255.0.0.0
adapter_id = 3
adapter_ip = 10.0.0.1
adapter_mask = 255.0.0.0
adapter_mac = 02:00:00:00:00:01
device_type = -127
starter_fw = 1.0.30
driver_starter_fw = 1.1.37
eeprom = hello world
comport_offset = -5

[camera]
device_id = 7
camera_id = 9
serial = 5000000002
sensor = ZKCOL_1
)";

} // namespace

TEST(DescriptionTest, DefaultCamerasAreOneColourUsbAndOneMonoGigE) {
    const auto cameras = CameraDescription::defaults();
    ASSERT_EQ(cameras.size(), 2u);
    EXPECT_EQ(cameras[0].sensorName, "ZK1480-C");
    EXPECT_TRUE(cameras[0].color);
    EXPECT_FALSE(cameras[0].gige());
    EXPECT_EQ(cameras[1].sensorName, "ZK5240-M");
    EXPECT_FALSE(cameras[1].color);
    EXPECT_TRUE(cameras[1].gige());
    for (const auto& c : cameras) {
        EXPECT_TRUE(CameraDescription::isXmlName(c.sensorName));
        EXPECT_LE(c.sensorName.size(), 31u);
        EXPECT_EQ(c.sensorName.ends_with("-M"), !c.color);
    }
    // Ready in the camera manager: status bit 8, control bit 0, a current starter firmware.
    EXPECT_TRUE(cameras[1].deviceStatusFlags & 0x100);
    EXPECT_TRUE(cameras[1].controlStatus & 1);
    EXPECT_GT(cameras[1].starterFirmware, 0x1000020u);
    EXPECT_NE(cameras[1].deviceType, -127);
    EXPECT_NE(cameras[1].deviceType, -124);
}

TEST(DescriptionTest, ParsesEveryKindOfValue) {
    std::string error;
    const auto cameras = CameraDescription::parse(kTwoCameras, error);
    ASSERT_EQ(cameras.size(), 2u) << error;
    const auto& m = cameras[0];
    EXPECT_FALSE(m.color); // from the "-M" of its sensor name
    EXPECT_EQ(m.width, 640);
    EXPECT_EQ(m.yStep, 4);
    EXPECT_EQ(m.ip, 0x0A000007u);
    EXPECT_EQ(m.mask, 0xFF000000u);
    EXPECT_EQ(m.mac[5], 9);
    EXPECT_EQ(m.adapterMac[5], 1);
    EXPECT_EQ(m.deviceType, -127);
    EXPECT_EQ(m.starterFirmware, 0x0100001Eu);
    EXPECT_EQ(m.driverStarterFirmware, 0x01010025u);
    EXPECT_EQ(m.eeprom, "hello world");
    EXPECT_EQ(m.comportOffset, -5);
    EXPECT_TRUE(cameras[1].color);
    EXPECT_EQ(cameras[1].cameraId, 9u);

    // Numbers are decimal, with or without leading zeros, or hexadecimal after "0x".
    const auto numbers =
        CameraDescription::parse("[camera]\nserial=1\nsensor=A\ncamera_id=010\nhousing=0x0100\n"
                                 "sensor_id=0089\ndevice_type=-010\n",
                                 error);
    ASSERT_EQ(numbers.size(), 1u) << error;
    EXPECT_EQ(numbers[0].cameraId, 10u);
    EXPECT_EQ(numbers[0].housing, 0x100);
    EXPECT_EQ(numbers[0].sensorId, 89u);
    EXPECT_EQ(numbers[0].deviceType, -10);
}

TEST(DescriptionTest, RefusesWhatTheProgramsCouldNotUse) {
    const std::pair<const char*, const char*> bad[] = {
        {"[camera]\nserial=1\nsensor=ZK-M\ncolor=yes\n", "monochrome"},
        {"[camera]\nserial=1\nsensor=ZK-C\ncolor=no\n", "monochrome"},
        {"[camera]\nserial=1\nsensor=1ZK\n", "XML"},
        {"[camera]\nserial=1\nsensor=ZK C\n", "XML"},
        {"[camera]\nserial=1\nsensor=ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFG\n", "31"},
        {"[camera]\nserial=1\nsensor=A\n[camera]\nserial=1\nsensor=B\ndevice_id=2\n", "serial"},
        {"[camera]\nserial=1\nsensor=A\n[camera]\nserial=2\nsensor=B\n", "device_id"},
        {"[camera]\nserial=1\nsensor=A\ncamera_id=255\n", "camera_id"},
        {"[camera]\nserial=1\nsensor=A\nwidth=0\n", "width"},
        {"[camera]\nserial=1\nsensor=A\nwidth=1001\n", "multiples"},
        {"[camera]\nserial=1\nsensor=A\nip=300.1.1.1\n", "IP"},
        {"[camera]\nserial=1\nsensor=A\nmac=02-00-00\n", "MAC"},
        {"[camera]\nserial=1\nsensor=A\nfrobnicate=1\n", "unknown key"},
        {"serial=1\n", "outside"},
        {"[camera]\nserial=1\nsensor=A\nclock=99\n", "clock"},
        {"[camera]\nserial=1\nsensor=A\ndevice_id=1000\n", "MAC"},
        {"[camera]\nserial=1\nsensor=A\ndevice_id=1000\nmac=00-00-00-00-00-00\n", "MAC"},
    };
    for (const auto& [text, why] : bad) {
        std::string error;
        EXPECT_TRUE(CameraDescription::parse(text, error).empty()) << text;
        EXPECT_NE(error.find(why), std::string::npos) << text << " -> " << error;
    }
    std::string error;
    EXPECT_TRUE(
        CameraDescription::parse("[camera]\nserial=1\nsensor=A\neeprom=" + std::string(65, 'x'), error)
            .empty());
}

// The file is UTF-8 whatever the locale; texts reach the camera's records as Windows-1252, and a
// character that code page lacks (or bytes that are no UTF-8) is refused with its line.
TEST(DescriptionTest, TextsAreReadAsUtf8AndKeptAsWindows1252) {
    std::string error;
    const auto cameras = CameraDescription::parse("[camera]\nserial=1\nsensor=A\n"
                                                  "model = ZK-\xC3\x84\xE2\x82\xAC\xC3\x9F"
                                                  "0\n"
                                                  "manufacturer = Z\xC3\xBC"
                                                  "rich\neeprom = \xE2\x82\xAC\n"
                                                  "serial_line = /tmp/k\xC3\xA4"
                                                  "bel\n",
                                                  error);
    ASSERT_EQ(cameras.size(), 1u) << error;
    EXPECT_EQ(cameras[0].model, "ZK-\xC4\x80\xDF"
                                "0");
    EXPECT_EQ(cameras[0].manufacturer, "Z\xFC"
                                       "rich");
    EXPECT_EQ(cameras[0].eeprom, "\x80");
    EXPECT_EQ(cameras[0].serialLine, "/tmp/k\xC3\xA4"
                                     "bel"); // a Linux file name stays UTF-8
    for (const char* model : {"ZK-\xCE\xA9", "ZK-\xC4"
                                             "0"}) { // Greek omega; a Windows-1252 byte
        EXPECT_TRUE(CameraDescription::parse(
                        std::string("[camera]\nserial=1\n\nmodel=") + model + "\nsensor=A\n", error)
                        .empty());
        EXPECT_EQ(error.rfind("line 4: bad value for model", 0), 0u) << error;
    }
    // Fifteen characters fit the model field, however many bytes UTF-8 takes for them.
    std::string umlauts;
    for (int i = 0; i < 15; ++i)
        umlauts += "\xC3\xA4";
    EXPECT_EQ(CameraDescription::parse("[camera]\nserial=1\nsensor=A\nmodel=" + umlauts + "\n", error).size(),
              1u)
        << error;
}

class DescriptionFileTest : public SimTest {};

TEST_F(DescriptionFileTest, OrderOfTheFileDecidesTheFirstAvailableCamera) {
    const std::string file = dir_ + "/cameras.txt";
    std::ofstream(file) << kTwoCameras;
    setenv("ZEKO_SIM_CAMERAS", file.c_str(), 1);
    restart();
    ASSERT_EQ(zksim_CameraCount(), 2);
    const uint32_t h = openFirst();
    unsigned char info[ZK_SENSORINFO_SIZE];
    ASSERT_EQ(zk_GetSensorInfo(h, info), 0);
    EXPECT_STREQ(reinterpret_cast<char*>(info + 2), "ZKTEST-M");
    // The next first-available camera is the one after it.
    uint32_t second = 0;
    ASSERT_EQ(zk_InitCamera(&second, nullptr), 0);
    ASSERT_EQ(zk_GetSensorInfo(second, info), 0);
    EXPECT_STREQ(reinterpret_cast<char*>(info + 2), "ZKCOL_1");
    uint32_t none = 0;
    EXPECT_EQ(zk_InitCamera(&none, nullptr), ZK_NO_CAMERA_FOUND);
    EXPECT_EQ(none, 0u);
}

TEST_F(DescriptionFileTest, BrokenFileServesNoCameraAndSaysWhy) {
    const std::string file = dir_ + "/cameras.txt";
    std::ofstream(file) << "[camera]\nserial=1\nsensor=ZK-M\ncolor=yes\n";
    setenv("ZEKO_SIM_CAMERAS", file.c_str(), 1);
    EXPECT_NE(zksim_Reset(), 0);
    EXPECT_NE(std::string(zksim_DescriptionError()).find("cameras.txt"), std::string::npos);
    EXPECT_EQ(zksim_CameraCount(), 0);
    uint32_t h = 0;
    EXPECT_NE(zk_InitCamera(&h, nullptr), 0);
    EXPECT_EQ(h, 0u);

    setenv("ZEKO_SIM_CAMERAS", (dir_ + "/missing.txt").c_str(), 1);
    EXPECT_NE(zksim_Reset(), 0);
    EXPECT_NE(std::string(zksim_DescriptionError()).find("cannot be read"), std::string::npos);
}

} // namespace zeko::sim::test
