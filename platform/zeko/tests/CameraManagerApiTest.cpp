// The camera manager's calls, and what survives a restart through the state file.
#include "platform/zeko/tests/SimTestSupport.h"

#include <climits>
#include <dlfcn.h>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace zeko::sim::test {

namespace {

const uint8_t kCameraMac[6] = {0x02, 0x5A, 0x4B, 0x00, 0x10, 0x01};
const uint8_t kHostMac[6] = {0x02, 0x11, 0x22, 0x33, 0x44, 0x55};

class CameraManagerApiTest : public SimTest {
protected:
    // The manager's two-step list fill.
    std::vector<uint8_t> list() {
        std::vector<uint8_t> one(4 + ZK_CAMERA_LIST_RECORD_SIZE, 0xEE);
        setAt<uint32_t>(one.data(), 0, 0);
        EXPECT_EQ(zk_GetCameraList(one.data()), 0);
        const uint32_t n = at<uint32_t>(one.data(), 0);
        std::vector<uint8_t> all(4 + n * ZK_CAMERA_LIST_RECORD_SIZE);
        setAt<uint32_t>(all.data(), 0, n);
        EXPECT_EQ(zk_GetCameraList(all.data()), 0);
        return all;
    }
    std::vector<uint8_t> ethInfo(uint32_t deviceId = 1001) {
        std::vector<uint8_t> info(ZK_ETH_DEVICE_INFO_SIZE, 0xEE);
        EXPECT_EQ(zk_GetEthDeviceInfo(deviceId | ZK_USE_DEVICE_ID, info.data(), ZK_ETH_DEVICE_INFO_SIZE), 0);
        return info;
    }
    uint32_t open(uint32_t deviceId) {
        uint32_t h = deviceId | ZK_USE_DEVICE_ID;
        EXPECT_EQ(zk_InitCamera(&h, nullptr), 0);
        return h;
    }
};

std::string ipAt(const std::vector<uint8_t>& r, size_t offset) {
    return std::to_string(r[offset]) + "." + std::to_string(r[offset + 1]) + "." +
           std::to_string(r[offset + 2]) + "." + std::to_string(r[offset + 3]);
}

} // namespace

TEST_F(CameraManagerApiTest, ListHasTheRecordsTheManagerReads) {
    // The first call has room for the count and one record but gets only the count.
    std::vector<uint8_t> one(4 + ZK_CAMERA_LIST_RECORD_SIZE, 0xEE);
    setAt<uint32_t>(one.data(), 0, 0);
    ASSERT_EQ(zk_GetCameraList(one.data()), 0);
    EXPECT_EQ(at<uint32_t>(one.data(), 0), 2u);
    EXPECT_EQ(one[4], 0xEE);

    const auto all = list();
    ASSERT_EQ(at<uint32_t>(all.data(), 0), 2u);
    const uint8_t* usb = all.data() + 4;
    const uint8_t* eth = usb + ZK_CAMERA_LIST_RECORD_SIZE;
    EXPECT_EQ(at<uint32_t>(usb, 0), 1u);
    EXPECT_EQ(at<uint32_t>(usb, 4), 1u);
    EXPECT_LT(at<uint32_t>(usb, 4), 1000u);
    EXPECT_EQ(at<uint32_t>(usb, 12), 0u);
    EXPECT_STREQ(reinterpret_cast<const char*>(usb + 16), "4102812345");
    EXPECT_STREQ(reinterpret_cast<const char*>(usb + 32), "ZK1480LE-C");
    EXPECT_EQ(at<uint32_t>(usb, 48) & 3, 0u);
    EXPECT_EQ(at<uint32_t>(eth, 4), 1001u);
    EXPECT_EQ(at<uint32_t>(eth, 0), 2u);
    EXPECT_STREQ(reinterpret_cast<const char*>(eth + 32), "ZK5240CP-M");

    // In use while a handle is open.
    const uint32_t h = open(1);
    EXPECT_EQ(at<uint32_t>(list().data() + 4, 12), 1u);
    ASSERT_EQ(zk_ExitCamera(h), 0);
    EXPECT_EQ(at<uint32_t>(list().data() + 4, 12), 0u);

    // A camera that appears between the two calls is not written past the room given.
    std::vector<uint8_t> room(4 + ZK_CAMERA_LIST_RECORD_SIZE + 8, 0xEE);
    setAt<uint32_t>(room.data(), 0, 1);
    ASSERT_EQ(zk_GetCameraList(room.data()), 0);
    EXPECT_EQ(at<uint32_t>(room.data(), 0), 1u);
    EXPECT_EQ(room[4 + ZK_CAMERA_LIST_RECORD_SIZE], 0xEE);

    // An unplugged camera leaves the list.
    zksim_SetCameraConnected(1, 0);
    EXPECT_EQ(at<uint32_t>(list().data(), 0), 1u);
    EXPECT_EQ(zk_GetCameraList(nullptr), ZK_INVALID_PARAMETER);
}

TEST_F(CameraManagerApiTest, DeviceInformationOfTheDefaultGigECamera) {
    const auto info = ethInfo();
    EXPECT_NE(at<uint32_t>(info.data(), 28) & 0x100, 0u); // ready
    EXPECT_NE(at<uint32_t>(info.data(), 252) & 1, 0u);
    EXPECT_GT(at<uint32_t>(info.data(), 20), 0x1000020u);
    EXPECT_EQ(at<uint32_t>(info.data(), 20), at<uint32_t>(info.data(), 576));
    EXPECT_EQ(std::memcmp(info.data() + 40, kCameraMac, 6), 0);
    EXPECT_EQ(ipAt(info, 60), "192.168.10.21");
    EXPECT_EQ(ipAt(info, 64), "255.255.255.0");
    EXPECT_EQ(ipAt(info, 408), "192.168.10.1");
    EXPECT_EQ(at<uint32_t>(info.data(), 400), 1u);
    EXPECT_EQ(at<int16_t>(info.data(), 46), 0);
    EXPECT_EQ(std::vector<uint8_t>(info.begin() + 92, info.begin() + 100), std::vector<uint8_t>(8, 0));

    std::vector<uint8_t> small(100);
    EXPECT_EQ(zk_GetEthDeviceInfo(1001, small.data(), 100), ZK_INVALID_PARAMETER);
    std::vector<uint8_t> usb(ZK_ETH_DEVICE_INFO_SIZE);
    EXPECT_EQ(zk_GetEthDeviceInfo(1 | ZK_USE_DEVICE_ID, usb.data(), ZK_ETH_DEVICE_INFO_SIZE),
              ZK_DEVICE_NOT_FOUND);
}

TEST_F(CameraManagerApiTest, CameraInformationStaysInsideItsKnownFields) {
    const uint32_t h = open(1001);
    std::vector<uint8_t> info(100, 0xEE);
    ASSERT_EQ(zk_GetCameraInfo(h, info.data()), 0);
    EXPECT_STREQ(reinterpret_cast<const char*>(info.data() + 12), "Zeko Imaging");
    EXPECT_STREQ(reinterpret_cast<const char*>(info.data() + 32), "V1.00");
    EXPECT_STREQ(reinterpret_cast<const char*>(info.data() + 42), "2026-01-15");
    for (size_t i = 54; i < info.size(); ++i)
        ASSERT_EQ(info[i], 0xEE) << i;

    std::fill(info.begin(), info.end(), 0xEE);
    ASSERT_EQ(zk_GetCameraInfoEx(h, info.data()), 0);
    EXPECT_EQ(info[55], 16);
    for (size_t i = 64; i < info.size(); ++i)
        ASSERT_EQ(info[i], 0xEE) << i;

    std::fill(info.begin(), info.end(), 0xEE);
    ASSERT_EQ(zk_GetRevisionInfo(h, info.data()), 0);
    EXPECT_EQ(at<uint16_t>(info.data(), 2), 1);
    EXPECT_EQ(at<uint16_t>(info.data(), 14), 9); // the board revision the information dialog shows
    for (size_t i = 34; i < info.size(); ++i)
        ASSERT_EQ(info[i], 0xEE) << i;
    ASSERT_EQ(zk_ExitCamera(h), 0);
    EXPECT_EQ(zk_GetCameraInfo(h, info.data()), ZK_INVALID_CAMERA_HANDLE);
}

TEST_F(CameraManagerApiTest, CameraMemorySurvivesARestart) {
    uint32_t h = open(1001);
    char eeprom[64] = "Line 7 camera, left";
    ASSERT_EQ(zk_WriteEEPROM(h, 0, eeprom, 64), 0);
    ASSERT_EQ(zk_SetCameraID(h, 42), 0);
    EXPECT_EQ(zk_SetCameraID(h, 255), ZK_INVALID_PARAMETER);
    EXPECT_EQ(zk_SetCameraID(h, 0), ZK_INVALID_PARAMETER);
    EXPECT_EQ(zk_WriteEEPROM(h, 10, eeprom, 64), ZK_INVALID_PARAMETER);
    // An address so large that address + count would overflow is refused, not copied to.
    char one[1] = {};
    EXPECT_EQ(zk_WriteEEPROM(h, INT_MAX, one, 1), ZK_INVALID_PARAMETER);
    EXPECT_EQ(zk_ReadEEPROM(h, INT_MAX, one, 1), ZK_INVALID_PARAMETER);
    EXPECT_EQ(zk_ReadEEPROM(h, 65, one, 0), ZK_INVALID_PARAMETER);
    ASSERT_EQ(zk_ExitCamera(h), 0);

    uint32_t cfg[3] = {0xC0A8010A, 0xFFFFFF00, 0};
    ASSERT_EQ(zk_SetPersistentIpCfg(1001 | ZK_USE_DEVICE_ID, cfg, 12), 0);
    uint32_t range[3] = {0xC0A80A02, 0xC0A80AFE, 100};
    ASSERT_EQ(zk_SetAutoCfgIpRange(1, range, 12), 0);
    uint8_t comport[ZK_COMPORT_CFG_SIZE] = {};
    setAt<uint32_t>(comport, 0, 1);
    setAt<int16_t>(comport, 4, 7);
    ASSERT_EQ(zk_SetComportConfig(kCameraMac, 0, comport, ZK_COMPORT_CFG_SIZE, 0), 0);

    restart(); // a new process on the same state file
    const auto info = ethInfo();
    EXPECT_EQ(ipAt(info, 48), "192.168.1.10");
    EXPECT_EQ(ipAt(info, 52), "255.255.255.0");
    EXPECT_EQ(ipAt(info, 432), "192.168.10.2");
    EXPECT_EQ(ipAt(info, 436), "192.168.10.254");
    EXPECT_EQ(at<uint32_t>(info.data(), 440), 100u);
    EXPECT_EQ(at<uint32_t>(info.data(), 444), 1u);
    EXPECT_EQ(at<int16_t>(info.data(), 46), 7);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(info.data() + 92), 8), "Line 7 c");
    EXPECT_EQ(at<uint32_t>(list().data() + 4 + ZK_CAMERA_LIST_RECORD_SIZE, 0), 42u);
    h = 42; // opened by its camera ID
    ASSERT_EQ(zk_InitCamera(&h, nullptr), 0);
    char back[64];
    ASSERT_EQ(zk_ReadEEPROM(h, 0, back, 64), 0);
    EXPECT_STREQ(back, "Line 7 camera, left");
    ASSERT_EQ(zk_ExitCamera(h), 0);

    // IP and mask 0 delete the persistent address; one without the other is refused.
    uint32_t half[3] = {0xC0A8010A, 0, 0};
    EXPECT_EQ(zk_SetPersistentIpCfg(1001 | ZK_USE_DEVICE_ID, half, 12), ZK_INVALID_PARAMETER);
    uint32_t none[3] = {0, 0, 0};
    ASSERT_EQ(zk_SetPersistentIpCfg(1001 | ZK_USE_DEVICE_ID, none, 12), 0);
    EXPECT_EQ(ipAt(ethInfo(), 48), "0.0.0.0");
    EXPECT_EQ(zk_SetPersistentIpCfg(1001 | ZK_USE_DEVICE_ID, none, 8), ZK_INVALID_PARAMETER);
    uint32_t reversed[3] = {0xC0A80AFE, 0xC0A80A02, 100};
    EXPECT_EQ(zk_SetAutoCfgIpRange(1, reversed, 12), ZK_INVALID_PARAMETER);
    EXPECT_EQ(zk_SetAutoCfgIpRange(77, range, 12), ZK_DEVICE_NOT_FOUND);
}

TEST_F(CameraManagerApiTest, DamagedStateFileFallsBackToTheDescription) {
    std::ofstream(std::string(zksim_StatePath())) << "[camera 4103900017]\neeprom=" << std::string(128, 'Z')
                                                  << "\ncamera_id=abc\ncomport_offset=9999\nno equals sign\n";
    restart();
    const uint32_t h = open(1001);
    char back[64];
    ASSERT_EQ(zk_ReadEEPROM(h, 0, back, 64), 0);
    EXPECT_EQ(back[0], 0);
    EXPECT_EQ(at<uint32_t>(list().data() + 4 + ZK_CAMERA_LIST_RECORD_SIZE, 0), 2u);
    EXPECT_EQ(at<int16_t>(ethInfo().data(), 46), 0);
    // The next write replaces the damaged values.
    ASSERT_EQ(zk_SetCameraID(h, 5), 0);
    EXPECT_EQ(at<uint32_t>(list().data() + 4 + ZK_CAMERA_LIST_RECORD_SIZE, 0), 5u);
}

TEST_F(CameraManagerApiTest, ComportConfigurationChecksItsRecord) {
    uint8_t rec[ZK_COMPORT_CFG_SIZE] = {};
    setAt<uint32_t>(rec, 0, 1);
    setAt<int16_t>(rec, 4, -3);
    EXPECT_EQ(zk_SetComportConfig(kHostMac, 0, rec, ZK_COMPORT_CFG_SIZE, 0), ZK_DEVICE_NOT_FOUND);
    EXPECT_EQ(zk_SetComportConfig(kCameraMac, 0, rec, 79, 0), ZK_INVALID_PARAMETER);
    setAt<uint32_t>(rec, 0, 2);
    EXPECT_EQ(zk_SetComportConfig(kCameraMac, 0, rec, ZK_COMPORT_CFG_SIZE, 0), ZK_INVALID_PARAMETER);
    setAt<uint32_t>(rec, 0, 1);
    setAt<int16_t>(rec, 4, 157); // COM257 does not exist
    EXPECT_EQ(zk_SetComportConfig(kCameraMac, 0, rec, ZK_COMPORT_CFG_SIZE, 0), ZK_INVALID_PARAMETER);
    setAt<int16_t>(rec, 4, -3);
    ASSERT_EQ(zk_SetComportConfig(kCameraMac, 0, rec, ZK_COMPORT_CFG_SIZE, 0), 0);
    EXPECT_EQ(at<int16_t>(ethInfo().data(), 46), -3);
    setAt<int16_t>(rec, 4, 0);
    ASSERT_EQ(zk_SetComportConfig(kCameraMac, static_cast<uint16_t>(-3), rec, ZK_COMPORT_CFG_SIZE, 0), 0);
    EXPECT_EQ(at<int16_t>(ethInfo().data(), 46), 0);
}

TEST_F(CameraManagerApiTest, DriverConfigurationReadsBackWhatWasWritten) {
    uint32_t v = 0;
    ASSERT_EQ(zk_Configuration(ZK_CONFIG_GET_CAPABILITIES, &v, 4), 0);
    EXPECT_NE(v & 4, 0u);
    ASSERT_EQ(zk_Configuration(ZK_CONFIG_GET_IDLE_SUPPORTED, &v, 4), 0);
    EXPECT_EQ(v, 3u);
    v = 2;
    ASSERT_EQ(zk_Configuration(ZK_CONFIG_SET_IDLE_FLAGS, &v, 4), 0);
    v = 1;
    ASSERT_EQ(zk_Configuration(ZK_CONFIG_SET_START_PARAMSET, &v, 4), 0);
    v = 3;
    EXPECT_EQ(zk_Configuration(ZK_CONFIG_SET_START_PARAMSET, &v, 4), ZK_INVALID_PARAMETER);
    restart();
    ASSERT_EQ(zk_Configuration(ZK_CONFIG_GET_IDLE_FLAGS, &v, 4), 0);
    EXPECT_EQ(v, 2u);
    ASSERT_EQ(zk_Configuration(ZK_CONFIG_GET_START_PARAMSET, &v, 4), 0);
    EXPECT_EQ(v, 1u);
    EXPECT_EQ(zk_Configuration(ZK_CONFIG_GET_START_PARAMSET, &v, 8), ZK_INVALID_PARAMETER);
    EXPECT_EQ(zk_Configuration(3, &v, 4), ZK_INVALID_PARAMETER);
    EXPECT_EQ(zk_Configuration(ZK_CONFIG_GET_IDLE_FLAGS, nullptr, 4), ZK_INVALID_PARAMETER);

    // A driver that supports the mains option only and no choice of parameter set.
    zksim_SetDriverCapabilities(0, 1);
    ASSERT_EQ(zk_Configuration(ZK_CONFIG_GET_IDLE_SUPPORTED, &v, 4), 0);
    EXPECT_EQ(v, 1u);
    v = 2;
    EXPECT_EQ(zk_Configuration(ZK_CONFIG_SET_IDLE_FLAGS, &v, 4), ZK_INVALID_PARAMETER);
    EXPECT_EQ(zk_Configuration(ZK_CONFIG_GET_START_PARAMSET, &v, 4), ZK_INVALID_PARAMETER);
}

TEST_F(CameraManagerApiTest, AdapterConfigurationPerHostAdapter) {
    ASSERT_EQ(zk_SetDHCP_Status(kHostMac, 1), 0);
    std::vector<uint8_t> rec(ZK_ADAPTER_CFG_SIZE + 8, 0xEE);
    ASSERT_EQ(zk_AccessAdapterCfgByMAC(kHostMac, 0, ZK_ADAPTER_CFG_RECORD, rec.data(), ZK_ADAPTER_CFG_SIZE),
              0);
    EXPECT_EQ(at<uint16_t>(rec.data(), 56), 0);
    EXPECT_EQ(at<uint32_t>(rec.data(), 84), 1450u);
    EXPECT_EQ(rec[ZK_ADAPTER_CFG_SIZE], 0xEE);
    EXPECT_EQ(zk_AccessAdapterCfgByMAC(kHostMac, 0, ZK_ADAPTER_CFG_RECORD, rec.data(), 100),
              ZK_INVALID_PARAMETER);

    uint32_t filter = 2;
    ASSERT_EQ(zk_AccessAdapterCfgByMAC(kHostMac, 1, ZK_ADAPTER_CFG_PACKET_FILTER, &filter, 4), 0);
    uint32_t packet = 1998;
    ASSERT_EQ(zk_AccessAdapterCfgByMAC(kHostMac, 1, ZK_ADAPTER_CFG_MAX_PACKET, &packet, 4), 0);
    ASSERT_EQ(zk_AccessAdapterCfgByMAC(kHostMac, 0, ZK_ADAPTER_CFG_RECORD, rec.data(), ZK_ADAPTER_CFG_SIZE),
              0);
    EXPECT_EQ(at<uint16_t>(rec.data(), 56), 2);
    EXPECT_EQ(at<uint32_t>(rec.data(), 84), 1998u);

    zksim_SetAdapterPacketSize(1514);
    uint64_t size = 0;
    ASSERT_EQ(zk_AccessAdapterCfgByMAC(kHostMac, 0, ZK_ADAPTER_CFG_PACKET_SIZE, &size, 8), 0);
    EXPECT_EQ(size, 1514u);
    filter = 3;
    EXPECT_EQ(zk_AccessAdapterCfgByMAC(kHostMac, 1, ZK_ADAPTER_CFG_PACKET_FILTER, &filter, 4),
              ZK_INVALID_PARAMETER);
    EXPECT_EQ(zk_AccessAdapterCfgByMAC(nullptr, 0, 0, rec.data(), ZK_ADAPTER_CFG_SIZE), ZK_INVALID_PARAMETER);
    // A set with a buffer smaller than its value is refused without reading past the buffer.
    std::vector<uint8_t> tiny(1, 1);
    EXPECT_EQ(zk_AccessAdapterCfgByMAC(kHostMac, 1, ZK_ADAPTER_CFG_PACKET_FILTER, tiny.data(), 1),
              ZK_INVALID_PARAMETER);
    EXPECT_EQ(zk_AccessAdapterCfgByMAC(kHostMac, 1, ZK_ADAPTER_CFG_MAX_PACKET, tiny.data(), 1),
              ZK_INVALID_PARAMETER);
    EXPECT_EQ(zk_FetchTCPIP_Setup(), 0);
}

TEST_F(CameraManagerApiTest, StarterFirmwareLoadsByUploadOrByOpening) {
    const std::string file = dir_ + "/cameras.txt";
    std::ofstream(file) << "[camera]\ndevice_id=1005\nserial=S1\nsensor=A-M\nmac=02-00-00-00-00-05\n"
                           "device_type=-124\nstarter_fw=1.0.30\ndriver_starter_fw=1.1.37\n"
                           "[camera]\ndevice_id=1006\nserial=S2\nsensor=B-M\nmac=02-00-00-00-00-06\n"
                           "device_type=-127\nstarter_fw=1.0.30\ndriver_starter_fw=1.1.37\n";
    setenv("ZEKO_SIM_CAMERAS", file.c_str(), 1);
    restart();
    auto starter = [&](uint32_t id) { return at<uint32_t>(ethInfo(id).data(), 20); };
    EXPECT_NE(starter(1005), at<uint32_t>(ethInfo(1005).data(), 576));

    // The information dialog: 184, then the retry with the load allowed.
    uint32_t h = 1005 | ZK_USE_DEVICE_ID;
    EXPECT_EQ(zk_InitCamera(&h, nullptr), ZK_STARTER_FW_UPLOAD_NEEDED);
    EXPECT_EQ(h, 1005u | ZK_USE_DEVICE_ID);
    h = 1005 | ZK_USE_DEVICE_ID | ZK_ALLOW_STARTER_FW_UPLOAD;
    ASSERT_EQ(zk_InitCamera(&h, nullptr), 0);
    ASSERT_EQ(zk_ExitCamera(h), 0);
    EXPECT_EQ(starter(1005), 0x01010025u);

    // The upload command: a file that cannot be read fails; a readable one loads.
    const std::string fw = dir_ + "/starter \xE9.fw";           // the manager's CP1252 path
    std::ofstream(dir_ + "/starter \xC3\xA9.fw") << "firmware"; // its UTF-8 name on disk
    EXPECT_EQ(zk_UploadStarterFirmware(1006 | ZK_USE_DEVICE_ID, (dir_ + "/none.fw").c_str(),
                                       static_cast<int>(dir_.size() + 9)),
              ZK_FILE_NOT_FOUND);
    EXPECT_EQ(zk_UploadStarterFirmware(1006 | ZK_USE_DEVICE_ID, fw.c_str(), 3), ZK_INVALID_PARAMETER);
    ASSERT_EQ(zk_UploadStarterFirmware(1006 | ZK_USE_DEVICE_ID, fw.c_str(), static_cast<int>(fw.size() + 1)),
              0);
    restart();
    EXPECT_EQ(starter(1006), 0x01010025u);
    EXPECT_EQ(starter(1005), 0x01010025u);
    h = 1006 | ZK_USE_DEVICE_ID;
    ASSERT_EQ(zk_InitCamera(&h, nullptr), 0);
}

TEST_F(CameraManagerApiTest, Injected184AndOpenConflicts) {
    zksim_InjectFailure("zk_InitCamera", ZK_STARTER_FW_UPLOAD_NEEDED, 1);
    uint32_t h = 1 | ZK_USE_DEVICE_ID;
    EXPECT_EQ(zk_InitCamera(&h, nullptr), ZK_STARTER_FW_UPLOAD_NEEDED);
    h = 1 | ZK_USE_DEVICE_ID | ZK_ALLOW_STARTER_FW_UPLOAD;
    ASSERT_EQ(zk_InitCamera(&h, nullptr), 0);
    uint32_t again = 1 | ZK_USE_DEVICE_ID;
    EXPECT_EQ(zk_InitCamera(&again, nullptr), ZK_CANT_OPEN_DEVICE);
    uint32_t unknown = 999 | ZK_USE_DEVICE_ID;
    EXPECT_EQ(zk_InitCamera(&unknown, nullptr), ZK_DEVICE_NOT_FOUND);
    EXPECT_EQ(zk_InitCamera(nullptr, nullptr), ZK_INVALID_PARAMETER);
}

TEST_F(CameraManagerApiTest, TheManagersLibraryIsLoadedByNameAndSharesTheCameras) {
    const char* libDir = std::getenv("ZEKO_SIM_LIB_DIR");
    if (!libDir)
        GTEST_SKIP() << "ZEKO_SIM_LIB_DIR not set";
    void* lib = dlopen((std::string(libDir) + "/libzeko_api_64.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    for (const char* name :
         {"zk_GetCameraList", "zk_GetEthDeviceInfo", "zk_InitCamera", "zk_ExitCamera", "zk_GetCameraInfo",
          "zk_GetCameraInfoEx", "zk_GetRevisionInfo", "zk_ReadEEPROM", "zk_WriteEEPROM", "zk_SetCameraID",
          "zk_SetPersistentIpCfg", "zk_SetAutoCfgIpRange", "zk_UploadStarterFirmware", "zk_Configuration",
          "zk_SetDHCP_Status", "zk_AccessAdapterCfgByMAC", "zk_FetchTCPIP_Setup", "zk_SetComportConfig",
          "zk_GetChangeCount"})
        EXPECT_NE(dlsym(lib, name), nullptr) << name;
    std::ifstream in(std::string(libDir) + "/libzeko_api_64.so", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(bytes.find(std::string("ZEKO_FILE_VERSION=") + zksim_FileVersion() + '\0'), std::string::npos);

    // A camera opened through zeko_api is in use for zeko_api_64 in the same process.
    const uint32_t h = openFirst();
    using InitFn = int (*)(uint32_t*, void*);
    auto init = reinterpret_cast<InitFn>(dlsym(lib, "zk_InitCamera"));
    uint32_t other = 1 | ZK_USE_DEVICE_ID;
    EXPECT_EQ(init(&other, nullptr), ZK_CANT_OPEN_DEVICE);
    ASSERT_EQ(zk_ExitCamera(h), 0);
    dlclose(lib);
}

// The change count stays while only queries are made, and moves with every change: a camera
// plugged in here, and another process's claim, its state write and its end.
TEST_F(CameraManagerApiTest, AnotherProcessSeesTheCameraInUseAndEveryChangeIsCounted) {
    uint32_t seen = 0;
    auto changed = [&] {
        uint32_t now = 0;
        EXPECT_EQ(zk_GetChangeCount(&now), 0);
        return std::exchange(seen, now) != now;
    };
    changed();
    list();
    ethInfo();
    EXPECT_FALSE(changed());
    EXPECT_FALSE(changed());
    ASSERT_EQ(zksim_SetCameraConnected(1001, 0), 0);
    EXPECT_TRUE(changed());
    ASSERT_EQ(zksim_SetCameraConnected(1001, 1), 0);
    EXPECT_TRUE(changed());
    EXPECT_EQ(zk_GetChangeCount(nullptr), ZK_INVALID_PARAMETER);

    ASSERT_EQ(zk_ExitCamera(open(1001)), 0); // its lock file stands: a claim creates nothing
    const uint32_t h = openFirst();
    int toChild[2], toParent[2];
    ASSERT_EQ(pipe(toChild), 0);
    ASSERT_EQ(pipe(toParent), 0);
    const pid_t child = fork();
    if (child == 0) {
        // A fresh simulator in the child: no handle of its own, the parent's lock decides.
        zksim_Reset();
        std::vector<uint8_t> one(4 + 2 * ZK_CAMERA_LIST_RECORD_SIZE);
        setAt<uint32_t>(one.data(), 0, 2);
        zk_GetCameraList(one.data());
        uint32_t mine = 1 | ZK_USE_DEVICE_ID;
        const int open = zk_InitCamera(&mine, nullptr);
        // Each step waits for the parent to have looked at the one before.
        char go = 0;
        auto stepDone = [&] { return write(toParent[1], "s", 1) == 1 && read(toChild[0], &go, 1) == 1; };
        if (at<uint32_t>(one.data() + 4, 12) != 1 || open != ZK_CANT_OPEN_DEVICE || !stepDone())
            _exit(1);
        uint32_t gige = 1001 | ZK_USE_DEVICE_ID;
        if (zk_InitCamera(&gige, nullptr) != 0 || !stepDone())
            _exit(2);
        if (zk_SetCameraID(gige, 77) != 0 || !stepDone())
            _exit(3);
        _exit(0); // the claim ends with the process
    }
    close(toChild[0]);
    close(toParent[1]);
    auto gigeRecord = [&] {
        const std::vector<uint8_t> all = list();
        return std::vector<uint8_t>(all.begin() + 4 + ZK_CAMERA_LIST_RECORD_SIZE, all.end());
    };
    char step = 0;
    EXPECT_EQ(read(toParent[0], &step, 1), 1);
    changed();
    EXPECT_EQ(write(toChild[1], "g", 1), 1);
    EXPECT_EQ(read(toParent[0], &step, 1), 1);
    EXPECT_TRUE(changed()) << "claim";
    EXPECT_EQ(at<uint32_t>(gigeRecord().data(), 12), 1u);
    EXPECT_EQ(write(toChild[1], "g", 1), 1);
    EXPECT_EQ(read(toParent[0], &step, 1), 1);
    EXPECT_TRUE(changed()) << "state written";
    EXPECT_EQ(at<uint32_t>(gigeRecord().data(), 0), 77u);
    EXPECT_EQ(write(toChild[1], "g", 1), 1);
    int status = -1;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_TRUE(changed()) << "claim ended";
    EXPECT_EQ(at<uint32_t>(gigeRecord().data(), 12), 0u);
    EXPECT_FALSE(changed());
    close(toChild[1]);
    close(toParent[0]);
    ASSERT_EQ(zk_ExitCamera(h), 0);
}

} // namespace zeko::sim::test
