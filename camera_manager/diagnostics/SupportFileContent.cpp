#include "camera_manager/diagnostics/SupportFileContent.h"

#include "camera_manager/core/BoundedText.h"
#include "camera_manager/diagnostics/SupportText.h"

#include <string>

const std::array<const char16_t*, supportDriverCount> supportDriverKeys = {
    u"Usb_32",     u"Usb_64",     u"Usb_Boot_32",   u"Usb_Boot_64",   u"Eth_32",   u"Eth_64",
    u"Com_32",     u"Com_64",     u"Dll_32",        u"Dll_64",        u"Tools_32", u"Tools_64",
    u"ActiveX_32", u"ActiveX_64", u"DirectShow_32", u"DirectShow_64", u"Twain",    u"Halcon1",
    u"Halcon2",    u"Halcon3",    u"LabVIEW_32",    u"LabVIEW_64",    u"CVB",      u"NeuroCheck",
    u"Cognex",     u"GenICam"};

const std::array<const char16_t*, 4> supportControllerKinds = {u"USB 1.0", u"USB 1.1", u"USB 2.0",
                                                               u"USB 3.0"};

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

#define TEXT_FIELD(name, units) t.AppendTextEntry(u## #name, field(e.Get##name(), units))
#define NUMBER_FIELD(name) t.AppendNumberEntry(u## #name, uint32_t(e.Get##name()))

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
    NUMBER_FIELD(DeviceId);
    NUMBER_FIELD(DeviceCameraId);
    TEXT_FIELD(DeviceModel, 16);
    TEXT_FIELD(DeviceSerNo, 16);
    NUMBER_FIELD(DeviceSensorId);
    NUMBER_FIELD(DeviceUsed);
    t.AppendBlankLine();
    long long k = 1;
    for (const std::u16string& hub : camera.hubs)
        t.AppendTextEntry(number(k++) + u". " + content.hubLabel, hub);
    if (camera.controller)
        t.AppendTextEntry(number(k) + u". " + content.controllerLabel, *camera.controller);
    t.AppendBlankLine();
    appendCamInfo(t, camera.info);
}

void appendArray(SupportText& t, const char16_t* prefix, const uint32_t* values, int count) {
    for (int i = 0; i < count; ++i)
        t.AppendNumberEntry(prefix + number(i), values[i]);
    t.AppendBlankLine();
}

void appendEthCamera(SupportText& t, size_t n, const SupportCamera& camera) {
    const CameraEntry& e = camera.entry;
    t.AppendSection(u"ETH - " + number((long long)n));
    NUMBER_FIELD(DeviceId);
    NUMBER_FIELD(DeviceCameraId);
    TEXT_FIELD(DeviceModel, 16);
    TEXT_FIELD(DeviceSerNo, 16);
    NUMBER_FIELD(DeviceStatus);
    NUMBER_FIELD(DeviceUsed);
    NUMBER_FIELD(DeviceFailsafeFirmwareVersion);
    NUMBER_FIELD(DeviceRuntimeFirmwareVersion);
    NUMBER_FIELD(DeviceStarterFirmwareVersion);
    TEXT_FIELD(DeviceUserSpace, 9);
    // Signed 16 bits: widened with its sign.
    t.AppendNumberEntry(u"DeviceComportOffset", uint32_t(int32_t(e.GetDeviceComportOffset())));
    NUMBER_FIELD(DeviceTemperature);
    NUMBER_FIELD(DeviceLastReceivedMsgId);
    NUMBER_FIELD(DeviceLastReceivedHeartbeatMsgId);
    NUMBER_FIELD(DeviceLastAcknowledgedMsgId);
    NUMBER_FIELD(DeviceMissedHeartbeatCnt);
    NUMBER_FIELD(DeviceWatchdogSkipCounter);
    NUMBER_FIELD(DeviceRefFlags);
    NUMBER_FIELD(DeviceAtomicRefCnt);
    NUMBER_FIELD(DeviceInfoFlags);
    NUMBER_FIELD(DeviceStatusFlags);
    NUMBER_FIELD(DeviceControlStatus);
    t.AppendBlankLine();
    NUMBER_FIELD(DeviceSensorId);
    NUMBER_FIELD(DeviceType);
    NUMBER_FIELD(DeviceTypeFromCameraList);
    NUMBER_FIELD(DeviceHousing);
    NUMBER_FIELD(DeviceHousingHeartbeat);
    TEXT_FIELD(DeviceTempSensorSerNo, 20);
    NUMBER_FIELD(DeviceFPGAType);
    NUMBER_FIELD(DevicePhyType);
    NUMBER_FIELD(DeviceIoVersion);
    NUMBER_FIELD(DeviceCPLDVersion);
    NUMBER_FIELD(DeviceGeneralBoardVersion);
    NUMBER_FIELD(DeviceSizeImgMem_MB);
    NUMBER_FIELD(DeviceRevisionTimingBoard);
    t.AppendBlankLine();
    appendCamInfo(t, camera.info);
    TEXT_FIELD(DeviceMacAddress, 20);
    TEXT_FIELD(DeviceCurrentIpAddress, 16);
    TEXT_FIELD(DeviceCurrentIpSubnetmask, 16);
    TEXT_FIELD(DeviceCurrentIpGateway, 16);
    TEXT_FIELD(DevicePersistentIpAddress, 16);
    TEXT_FIELD(DevicePersistentIpSubnetmask, 16);
    TEXT_FIELD(DevicePersistentIpGateway, 16);
    NUMBER_FIELD(DHCP_Status);
    NUMBER_FIELD(DHCP_FSM_State);
    TEXT_FIELD(DHCP_Server_IP, 16);
    NUMBER_FIELD(DHCP_Lease_Time);
    NUMBER_FIELD(DHCP_T1_TimeToExpiration);
    NUMBER_FIELD(DHCP_T2_TimeToExpiration);
    TEXT_FIELD(DeviceIpRangeBegin, 16);
    TEXT_FIELD(DeviceIpRangeEnd, 16);
    TEXT_FIELD(DevicePairedMacAddress, 20);
    TEXT_FIELD(DeviceIpPairedHost, 16);
    NUMBER_FIELD(DeviceLinkInfo);
    t.AppendBlankLine();
    NUMBER_FIELD(DeviceHeartbeatPeriod_ms);
    NUMBER_FIELD(DeviceHeartbeatWatchdogLevel);
    NUMBER_FIELD(DeviceWatchdogSkip);
    t.AppendBlankLine();
    NUMBER_FIELD(Transfer_ImgDelay);
    NUMBER_FIELD(Transfer_ImgTime);
    NUMBER_FIELD(Transfer_SendWindowSize);
    NUMBER_FIELD(Transfer_BurstSize);
    NUMBER_FIELD(Transfer_PacketClock_us);
    NUMBER_FIELD(Transfer_SendWindowDelay);
    t.AppendBlankLine();
    NUMBER_FIELD(AdapterId);
    TEXT_FIELD(AdapterName, 50);
    TEXT_FIELD(AdapterDriverVersion, 20);
    TEXT_FIELD(AdapterDriverDate, 20);
    NUMBER_FIELD(AdapterDHCPEnabled);
    NUMBER_FIELD(AdapterDevicesKnown);
    NUMBER_FIELD(AdapterDevicesPaired);
    t.AppendBlankLine();
    TEXT_FIELD(AdapterMacAddress, 20);
    TEXT_FIELD(AdapterIpAddress, 16);
    TEXT_FIELD(AdapterIpGateway, 16);
    TEXT_FIELD(AdapterIpSubnetmask, 16);
    TEXT_FIELD(AdapterAutoCfgRangeBegin, 16);
    TEXT_FIELD(AdapterAutoCfgRangeEnd, 16);
    NUMBER_FIELD(AdapterAutoCfgRangeValid);
    NUMBER_FIELD(AdapterProbeTimeout);
    t.AppendBlankLine();
    NUMBER_FIELD(AdapterMaxPcktSizeDown);
    NUMBER_FIELD(AdapterMaxPcktSizeUp);
    NUMBER_FIELD(AdapterMaxFrameSize);
    NUMBER_FIELD(AdapterWatchdogLevel);
    NUMBER_FIELD(AdapterWatchdogLevelPipFactor);
    NUMBER_FIELD(AdapterWatchdogLevelFupFactor);
    NUMBER_FIELD(AdapterWatchdogLevelDevice);
    NUMBER_FIELD(AdapterPairingRefreshPeriod);
    NUMBER_FIELD(AdapterIncomingPacketFilter);
    NUMBER_FIELD(AdapterPortBase);
    NUMBER_FIELD(AdapterPortCommand);
    NUMBER_FIELD(AdapterPortUpload);
    NUMBER_FIELD(AdapterPortMessage);
    NUMBER_FIELD(AdapterPortStream);
    t.AppendBlankLine();
    NUMBER_FIELD(DriverEthVer);
    NUMBER_FIELD(DriverHeartbeatPeriod_ms);
    NUMBER_FIELD(DriverIncludedStarterFirmware);
    NUMBER_FIELD(DriverIncludedRuntimeFirmware);
    NUMBER_FIELD(DriverMinStarterFirmwareVersion);
    NUMBER_FIELD(DriverMaxStarterFirmwareVersion);
    t.AppendBlankLine();
    appendArray(t, u"DebugDeviceStatistics_", e.GetDebugDeviceStatistics(), 24);
    appendArray(t, u"DebugReservedHeartbeat_", e.GetDebugReservedHeartbeat(), 14);
    appendArray(t, u"DebugReservedDevice_", e.GetDebugReservedDevice(), 14);
    appendArray(t, u"DebugReservedAdapter_", e.GetDebugReservedAdapter(), 14);
    appendArray(t, u"DebugReservedDriver_", e.GetDebugReservedDriver(), 14);
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
