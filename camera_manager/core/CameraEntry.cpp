#include "camera_manager/core/CameraEntry.h"

#include "camera_manager/core/BoundedText.h"

#include <cstring>
#include <type_traits>

// The record's layout is a file format: every field stays where it is.
struct CameraEntryLayout {
    static_assert(std::is_standard_layout_v<CameraEntry> && std::is_trivially_copyable_v<CameraEntry>);
    static_assert(offsetof(CameraEntry, DeviceId_) == 0);
    static_assert(offsetof(CameraEntry, DeviceCameraId_) == 4);
    static_assert(offsetof(CameraEntry, DeviceUsed_) == 8);
    static_assert(offsetof(CameraEntry, DeviceSensorId_) == 12);
    static_assert(offsetof(CameraEntry, DeviceSerNo_) == 16);
    static_assert(offsetof(CameraEntry, DeviceModel_) == 48);
    static_assert(offsetof(CameraEntry, DeviceType_) == 80);
    static_assert(offsetof(CameraEntry, DeviceTypeFromCameraList_) == 81);
    static_assert(offsetof(CameraEntry, DeviceStatus_) == 84);
    static_assert(offsetof(CameraEntry, DeviceCurrentIpAddress_) == 88);
    static_assert(offsetof(CameraEntry, DeviceCurrentIpGateway_) == 120);
    static_assert(offsetof(CameraEntry, DeviceCurrentIpSubnetmask_) == 152);
    static_assert(offsetof(CameraEntry, DevicePersistentIpAddress_) == 184);
    static_assert(offsetof(CameraEntry, DevicePersistentIpGateway_) == 216);
    static_assert(offsetof(CameraEntry, DevicePersistentIpSubnetmask_) == 248);
    static_assert(offsetof(CameraEntry, DeviceMacAddress_) == 280);
    static_assert(offsetof(CameraEntry, DevicePairedMacAddress_) == 320);
    static_assert(offsetof(CameraEntry, DeviceRuntimeFirmwareVersion_) == 360);
    static_assert(offsetof(CameraEntry, DeviceStarterFirmwareVersion_) == 364);
    static_assert(offsetof(CameraEntry, DeviceIpRangeBegin_) == 368);
    static_assert(offsetof(CameraEntry, DeviceIpRangeEnd_) == 400);
    static_assert(offsetof(CameraEntry, DeviceIpPairedHost_) == 432);
    static_assert(offsetof(CameraEntry, DeviceTemperature_) == 464);
    static_assert(offsetof(CameraEntry, DeviceLinkInfo_) == 466);
    static_assert(offsetof(CameraEntry, DeviceInfoFlags_) == 468);
    static_assert(offsetof(CameraEntry, DeviceStatusFlags_) == 472);
    static_assert(offsetof(CameraEntry, DeviceControlStatus_) == 476);
    static_assert(offsetof(CameraEntry, DeviceHeartbeatPeriod_ms_) == 480);
    static_assert(offsetof(CameraEntry, DeviceHeartbeatWatchdogLevel_) == 482);
    static_assert(offsetof(CameraEntry, DeviceAtomicRefCnt_) == 484);
    static_assert(offsetof(CameraEntry, DeviceLastAcknowledgedMsgId_) == 488);
    static_assert(offsetof(CameraEntry, DeviceLastReceivedHeartbeatMsgId_) == 490);
    static_assert(offsetof(CameraEntry, DeviceLastReceivedMsgId_) == 492);
    static_assert(offsetof(CameraEntry, DeviceMissedHeartbeatCnt_) == 496);
    static_assert(offsetof(CameraEntry, DeviceTempSensorSerNo_) == 500);
    static_assert(offsetof(CameraEntry, DeviceFPGAType_) == 540);
    static_assert(offsetof(CameraEntry, DevicePhyType_) == 541);
    static_assert(offsetof(CameraEntry, DeviceIoVersion_) == 542);
    static_assert(offsetof(CameraEntry, DeviceGeneralBoardVersion_) == 543);
    static_assert(offsetof(CameraEntry, DeviceSizeImgMem_MB_) == 544);
    static_assert(offsetof(CameraEntry, DeviceFailsafeFirmwareVersion_) == 548);
    static_assert(offsetof(CameraEntry, DeviceUserSpace_) == 552);
    static_assert(offsetof(CameraEntry, DeviceCPLDVersion_) == 570);
    static_assert(offsetof(CameraEntry, DeviceRefFlags_) == 660);
    static_assert(offsetof(CameraEntry, DeviceWatchdogSkip_) == 662);
    static_assert(offsetof(CameraEntry, DeviceWatchdogSkipCounter_) == 663);
    static_assert(offsetof(CameraEntry, DeviceComportOffset_) == 664);
    static_assert(offsetof(CameraEntry, DebugDeviceStatistics_) == 668);
    static_assert(offsetof(CameraEntry, DeviceHousing_) == 788);
    static_assert(offsetof(CameraEntry, DeviceHousingHeartbeat_) == 790);
    static_assert(offsetof(CameraEntry, DeviceRevisionTimingBoard_) == 792);
    static_assert(offsetof(CameraEntry, DHCP_Status_) == 794);
    static_assert(offsetof(CameraEntry, DHCP_FSM_State_) == 795);
    static_assert(offsetof(CameraEntry, DHCP_Server_IP_) == 796);
    static_assert(offsetof(CameraEntry, DHCP_Lease_Time_) == 828);
    static_assert(offsetof(CameraEntry, DHCP_T1_TimeToExpiration_) == 832);
    static_assert(offsetof(CameraEntry, DHCP_T2_TimeToExpiration_) == 836);
    static_assert(offsetof(CameraEntry, Transfer_ImgDelay_) == 840);
    static_assert(offsetof(CameraEntry, Transfer_ImgTime_) == 844);
    static_assert(offsetof(CameraEntry, Transfer_SendWindowSize_) == 848);
    static_assert(offsetof(CameraEntry, Transfer_BurstSize_) == 850);
    static_assert(offsetof(CameraEntry, Transfer_PacketClock_us_) == 852);
    static_assert(offsetof(CameraEntry, Transfer_SendWindowDelay_) == 856);
    static_assert(offsetof(CameraEntry, DebugReservedHeartbeat_) == 860);
    static_assert(offsetof(CameraEntry, DebugReservedDevice_) == 916);
    static_assert(offsetof(CameraEntry, AdapterMacAddress_) == 972);
    static_assert(offsetof(CameraEntry, AdapterIpAddress_) == 1012);
    static_assert(offsetof(CameraEntry, AdapterIpSubnetmask_) == 1044);
    static_assert(offsetof(CameraEntry, AdapterIpGateway_) == 1076);
    static_assert(offsetof(CameraEntry, AdapterAutoCfgRangeBegin_) == 1108);
    static_assert(offsetof(CameraEntry, AdapterAutoCfgRangeEnd_) == 1140);
    static_assert(offsetof(CameraEntry, AdapterAutoCfgRangeValid_) == 1172);
    static_assert(offsetof(CameraEntry, AdapterIncomingPacketFilter_) == 1176);
    static_assert(offsetof(CameraEntry, AdapterProbeTimeout_) == 1180);
    static_assert(offsetof(CameraEntry, AdapterDevicesKnown_) == 1184);
    static_assert(offsetof(CameraEntry, AdapterDevicesPaired_) == 1188);
    static_assert(offsetof(CameraEntry, AdapterWatchdogLevel_) == 1192);
    static_assert(offsetof(CameraEntry, AdapterWatchdogLevelPipFactor_) == 1196);
    static_assert(offsetof(CameraEntry, AdapterWatchdogLevelFupFactor_) == 1200);
    static_assert(offsetof(CameraEntry, AdapterId_) == 1204);
    static_assert(offsetof(CameraEntry, AdapterPortBase_) == 1208);
    static_assert(offsetof(CameraEntry, AdapterPortCommand_) == 1212);
    static_assert(offsetof(CameraEntry, AdapterPortMessage_) == 1216);
    static_assert(offsetof(CameraEntry, AdapterPortStream_) == 1220);
    static_assert(offsetof(CameraEntry, AdapterPortUpload_) == 1224);
    static_assert(offsetof(CameraEntry, AdapterDHCPEnabled_) == 1228);
    static_assert(offsetof(CameraEntry, AdapterMaxPcktSizeDown_) == 1232);
    static_assert(offsetof(CameraEntry, AdapterMaxPcktSizeUp_) == 1236);
    static_assert(offsetof(CameraEntry, AdapterMaxFrameSize_) == 1240);
    static_assert(offsetof(CameraEntry, AdapterWatchdogLevelDevice_) == 1244);
    static_assert(offsetof(CameraEntry, AdapterPairingRefreshPeriod_) == 1246);
    static_assert(offsetof(CameraEntry, AdapterName_) == 1248);
    static_assert(offsetof(CameraEntry, AdapterDriverVersion_) == 1348);
    static_assert(offsetof(CameraEntry, AdapterDriverDate_) == 1388);
    static_assert(offsetof(CameraEntry, DebugReservedAdapter_) == 1428);
    static_assert(offsetof(CameraEntry, DriverHeartbeatPeriod_ms_) == 1484);
    static_assert(offsetof(CameraEntry, DriverEthVer_) == 1488);
    static_assert(offsetof(CameraEntry, DriverMinStarterFirmwareVersion_) == 1492);
    static_assert(offsetof(CameraEntry, DriverMaxStarterFirmwareVersion_) == 1496);
    static_assert(offsetof(CameraEntry, DriverIncludedStarterFirmware_) == 1500);
    static_assert(offsetof(CameraEntry, DriverIncludedRuntimeFirmware_) == 1504);
    static_assert(offsetof(CameraEntry, DebugReservedDriver_) == 1508);
    static_assert(offsetof(CameraEntry, UsbEnumIndex_) == 1564);
    static_assert(offsetof(CameraEntry, EthInfoResult_) == 1568);
};

CameraEntry::CameraEntry() {
    std::memset(static_cast<void*>(this), 0, sizeof *this);
}

void CameraEntry::SetAdapterName(const std::u16string& name) {
    SafeCStringToWide(AdapterName_, sizeof AdapterName_, name);
}

void CameraEntry::SetAdapterDriverVersion(const std::u16string& version) {
    SafeCStringToWide(AdapterDriverVersion_, sizeof AdapterDriverVersion_, version);
}

void CameraEntry::SetAdapterDriverDate(const std::u16string& date) {
    SafeCStringToWide(AdapterDriverDate_, sizeof AdapterDriverDate_, date);
}
