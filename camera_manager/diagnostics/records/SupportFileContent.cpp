#include "camera_manager/diagnostics/records/SupportFileContent.h"

#include "camera_manager/core/records/BoundedText.h"
#include "camera_manager/core/records/CameraEntryLayout.h"
#include "camera_manager/diagnostics/records/SupportText.h"

#include <string>

const std::array<const char16_t*, supportDriverCount> supportDriverKeys = {
    u"Usb_32",     u"Usb_64",     u"Usb_Boot_32",   u"Usb_Boot_64",   u"Eth_32",   u"Eth_64",
    u"Com_32",     u"Com_64",     u"Dll_32",        u"Dll_64",        u"Tools_32", u"Tools_64",
    u"ActiveX_32", u"ActiveX_64", u"DirectShow_32", u"DirectShow_64", u"Twain",    u"Halcon1",
    u"Halcon2",    u"Halcon3",    u"LabVIEW_32",    u"LabVIEW_64",    u"CVB",      u"NeuroCheck",
    u"Cognex",     u"GenICam"};

const std::array<const char16_t*, 4> supportControllerKinds = {u"USB 1.0", u"USB 1.1", u"USB 2.0",
                                                               u"USB 3.0"};

// The last unit of the GigE record's reserved driver array (see appendField).
const std::array<const char16_t*, 2> supportCameraLastKeys = {u"CamInfo_PowerBoard",
                                                              u"DebugReservedDriver_13"};

namespace {

std::u16string number(long long n) {
    std::u16string out;
    for (char c : std::to_string(n))
        out += char16_t(c);
    return out;
}

std::u16string field(const char16_t* text, size_t units) {
    return WideField(text, units);
}

// Each field as the support file has it: a text in its units; a number in 32 bits (a signed
// one widened with its sign); an array as "<name>_<i>", one per value, then a blank line.
void appendField(SupportText& t, const CameraEntry& e, const CameraField& f) {
    switch (f.type) {
    case FieldType::Text:
        t.AppendTextEntry(std::u16string(f.name), field(CameraEntryLayout::Text(e, f), f.units));
        break;
    case FieldType::U32Array:
        for (size_t i = 0; i < f.units; ++i)
            t.AppendNumberEntry(std::u16string(f.name) + u"_" + number((long long)i),
                                CameraEntryLayout::Number(e, f, i));
        t.AppendBlankLine();
        break;
    case FieldType::I16:
        t.AppendNumberEntry(std::u16string(f.name),
                            uint32_t(int32_t(int16_t(CameraEntryLayout::Number(e, f)))));
        break;
    default:
        t.AppendNumberEntry(std::u16string(f.name), CameraEntryLayout::Number(e, f));
        break;
    }
}

void appendFields(SupportText& t, const CameraEntry& e, std::initializer_list<CameraFieldName> fields) {
    for (const CameraFieldName& f : fields)
        appendField(t, e, *f.field);
}

void appendCamInfo(SupportText& t, const CamInfoRecord& r) {
    t.AppendNumberEntry(u"CamInfo_Type", r.Type);
    t.AppendTextEntry(u"CamInfo_Version", field(r.Version, 15));
    t.AppendTextEntry(u"CamInfo_DateOfQC", field(r.DateOfQC, 15));
    t.AppendTextEntry(u"CamInfo_Manufacturer", field(r.Manufacturer, 25));
    t.AppendNumberEntry(u"CamInfo_SensorHardwareRevision", r.SensorHardwareRevision);
    t.AppendNumberEntry(u"CamInfo_Cypress", r.Cypress);
    t.AppendNumberEntry(u"CamInfo_Blackfin", r.Blackfin);
    t.AppendNumberEntry(u"CamInfo_DspFirmware", r.DspFirmware);
    t.AppendNumberEntry(u"CamInfo_USBBoard", r.USBBoard);
    t.AppendNumberEntry(u"CamInfo_SensorBoard", r.SensorBoard);
    t.AppendNumberEntry(u"CamInfo_ProcessingBoard", r.ProcessingBoard);
    t.AppendNumberEntry(u"CamInfo_MemoryBoard", r.MemoryBoard);
    t.AppendNumberEntry(u"CamInfo_Housing", r.Housing);
    t.AppendNumberEntry(u"CamInfo_Filter", r.Filter);
    t.AppendNumberEntry(u"CamInfo_TimingBoard", r.TimingBoard);
    t.AppendNumberEntry(u"CamInfo_ProductRevision", r.ProductRevision);
    t.AppendNumberEntry(u"CamInfo_LogicBoard", r.LogicBoard);
    t.AppendNumberEntry(u"CamInfo_PowerBoard", r.PowerBoard);
    t.AppendBlankLine();
}

void appendUsbCamera(SupportText& t, const SupportFileContent& content, size_t n,
                     const SupportCamera& camera) {
    const CameraEntry& e = camera.entry;
    t.AppendSection(u"USB - " + number((long long)n));
    appendFields(
        t, e,
        {u"DeviceId", u"DeviceCameraId", u"DeviceModel", u"DeviceSerNo", u"DeviceSensorId", u"DeviceUsed"});
    t.AppendBlankLine();
    long long k = 1;
    for (const std::u16string& hub : camera.hubs)
        t.AppendTextEntry(number(k++) + u". " + content.hubLabel, hub);
    if (camera.controller)
        t.AppendTextEntry(number(k) + u". " + content.controllerLabel, *camera.controller);
    t.AppendBlankLine();
    appendCamInfo(t, camera.info);
}

void appendEthCamera(SupportText& t, size_t n, const SupportCamera& camera) {
    const CameraEntry& e = camera.entry;
    t.AppendSection(u"ETH - " + number((long long)n));
    appendFields(t, e,
                 {u"DeviceId",
                  u"DeviceCameraId",
                  u"DeviceModel",
                  u"DeviceSerNo",
                  u"DeviceStatus",
                  u"DeviceUsed",
                  u"DeviceFailsafeFirmwareVersion",
                  u"DeviceRuntimeFirmwareVersion",
                  u"DeviceStarterFirmwareVersion",
                  u"DeviceUserSpace",
                  u"DeviceComportOffset",
                  u"DeviceTemperature",
                  u"DeviceLastReceivedMsgId",
                  u"DeviceLastReceivedHeartbeatMsgId",
                  u"DeviceLastAcknowledgedMsgId",
                  u"DeviceMissedHeartbeatCnt",
                  u"DeviceWatchdogSkipCounter",
                  u"DeviceRefFlags",
                  u"DeviceAtomicRefCnt",
                  u"DeviceInfoFlags",
                  u"DeviceStatusFlags",
                  u"DeviceControlStatus"});
    t.AppendBlankLine();
    appendFields(t, e,
                 {u"DeviceSensorId", u"DeviceType", u"DeviceTypeFromCameraList", u"DeviceHousing",
                  u"DeviceHousingHeartbeat", u"DeviceTempSensorSerNo", u"DeviceFPGAType", u"DevicePhyType",
                  u"DeviceIoVersion", u"DeviceCPLDVersion", u"DeviceGeneralBoardVersion",
                  u"DeviceSizeImgMem_MB", u"DeviceRevisionTimingBoard"});
    t.AppendBlankLine();
    appendCamInfo(t, camera.info);
    appendFields(t, e,
                 {u"DeviceMacAddress", u"DeviceCurrentIpAddress", u"DeviceCurrentIpSubnetmask",
                  u"DeviceCurrentIpGateway", u"DevicePersistentIpAddress", u"DevicePersistentIpSubnetmask",
                  u"DevicePersistentIpGateway", u"DHCP_Status", u"DHCP_FSM_State", u"DHCP_Server_IP",
                  u"DHCP_Lease_Time", u"DHCP_T1_TimeToExpiration", u"DHCP_T2_TimeToExpiration",
                  u"DeviceIpRangeBegin", u"DeviceIpRangeEnd", u"DevicePairedMacAddress",
                  u"DeviceIpPairedHost", u"DeviceLinkInfo"});
    t.AppendBlankLine();
    appendFields(t, e, {u"DeviceHeartbeatPeriod_ms", u"DeviceHeartbeatWatchdogLevel", u"DeviceWatchdogSkip"});
    t.AppendBlankLine();
    appendFields(t, e,
                 {u"Transfer_ImgDelay", u"Transfer_ImgTime", u"Transfer_SendWindowSize",
                  u"Transfer_BurstSize", u"Transfer_PacketClock_us", u"Transfer_SendWindowDelay"});
    t.AppendBlankLine();
    appendFields(t, e,
                 {u"AdapterId", u"AdapterName", u"AdapterDriverVersion", u"AdapterDriverDate",
                  u"AdapterDHCPEnabled", u"AdapterDevicesKnown", u"AdapterDevicesPaired"});
    t.AppendBlankLine();
    appendFields(t, e,
                 {u"AdapterMacAddress", u"AdapterIpAddress", u"AdapterIpGateway", u"AdapterIpSubnetmask",
                  u"AdapterAutoCfgRangeBegin", u"AdapterAutoCfgRangeEnd", u"AdapterAutoCfgRangeValid",
                  u"AdapterProbeTimeout"});
    t.AppendBlankLine();
    appendFields(t, e,
                 {u"AdapterMaxPcktSizeDown", u"AdapterMaxPcktSizeUp", u"AdapterMaxFrameSize",
                  u"AdapterWatchdogLevel", u"AdapterWatchdogLevelPipFactor", u"AdapterWatchdogLevelFupFactor",
                  u"AdapterWatchdogLevelDevice", u"AdapterPairingRefreshPeriod",
                  u"AdapterIncomingPacketFilter", u"AdapterPortBase", u"AdapterPortCommand",
                  u"AdapterPortUpload", u"AdapterPortMessage", u"AdapterPortStream"});
    t.AppendBlankLine();
    appendFields(t, e,
                 {u"DriverEthVer", u"DriverHeartbeatPeriod_ms", u"DriverIncludedStarterFirmware",
                  u"DriverIncludedRuntimeFirmware", u"DriverMinStarterFirmwareVersion",
                  u"DriverMaxStarterFirmwareVersion"});
    t.AppendBlankLine();
    appendFields(t, e,
                 {u"DebugDeviceStatistics", u"DebugReservedHeartbeat", u"DebugReservedDevice",
                  u"DebugReservedAdapter", u"DebugReservedDriver"});
}

} // namespace

std::u16string BuildSupportText(const SupportFileContent& c) {
    SupportText t;
    t.AppendSection(u"Camera Manager");
    t.AppendTextEntry(u"Version", c.programVersion);
    t.AppendBlankLine();
    t.AppendSection(u"Number of cameras");
    t.AppendNumberEntry(u"USB", uint32_t(c.usbCameras.size()));
    t.AppendNumberEntry(u"ETH", uint32_t(c.ethCameras.size()));
    t.AppendBlankLine();
    for (size_t n = 0; n < c.usbCameras.size(); ++n)
        appendUsbCamera(t, c, n, c.usbCameras[n]);
    for (size_t n = 0; n < c.ethCameras.size(); ++n)
        appendEthCamera(t, n, c.ethCameras[n]);

    t.AppendSection(u"Installed drivers");
    for (size_t i = 0; i < supportDriverCount; ++i)
        t.AppendTextEntry(supportDriverKeys[i], c.drivers[i]);
    t.AppendBlankLine();

    const SupportSystemInfo& s = c.system;
    t.AppendSection(u"System information");
    t.AppendNumberEntry(u"dwBuildNumber", s.buildNumber);
    t.AppendNumberEntry(u"dwMajorVersion", s.majorVersion);
    t.AppendNumberEntry(u"dwMinorVersion", s.minorVersion);
    t.AppendNumberEntry(u"dwPlatformId", s.platformId);
    t.AppendNumberEntry(u"ActiveProcessorMask", s.activeProcessorMask);
    t.AppendNumberEntry(u"NumberOfProcessors", s.numberOfProcessors);
    t.AppendNumberEntry(u"ProcessorArchitecture", s.processorArchitecture);
    t.AppendTextEntry(u"CSDVersion", s.csdVersion);
    t.AppendBlankLine();

    t.AppendSection(u"Network adapters");
    if (c.adapters) {
        t.AppendNumberEntry(u"Number", uint32_t(c.adapters->size()));
        t.AppendBlankLine();
        for (size_t n = 0; n < c.adapters->size(); ++n) {
            const SupportAdapter& a = (*c.adapters)[n];
            t.AppendSection(u"Adapter - " + number((long long)n));
            t.AppendTextEntry(u"Name", a.name);
            t.AppendTextEntry(u"MacAddress", a.macAddress);
            t.AppendTextEntry(u"IpAddress", a.ipAddress);
            t.AppendTextEntry(u"IpSubnetmask", a.ipSubnetmask);
            t.AppendNumberEntry(u"DHCP", a.dhcp);
            t.AppendTextEntry(u"DriverVersion", a.driverVersion);
            t.AppendTextEntry(u"DriverDate", a.driverDate);
            t.AppendBlankLine();
        }
    }

    t.AppendSection(u"USB hostcontrollers");
    for (size_t kind = 0; kind < 4; ++kind)
        t.AppendNumberEntry(supportControllerKinds[kind], uint32_t(c.controllers[kind].size()));
    t.AppendBlankLine();
    for (size_t kind = 0; kind < 4; ++kind) {
        t.AppendSection(supportControllerKinds[kind]);
        for (size_t i = 0; i < c.controllers[kind].size(); ++i)
            t.AppendTextEntry(number((long long)i), c.controllers[kind][i].substr(0, 199));
        if (kind < 3)
            t.AppendBlankLine();
    }
    return std::move(t.Units());
}
