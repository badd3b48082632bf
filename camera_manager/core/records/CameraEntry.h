#pragma once

// One camera as the camera interface library reports it: its line of the camera list and, for
// a GigE camera, the device information of the camera, its host adapter and the driver, with
// the network values as text. A plain 1672-byte record (little-endian, UTF-16 text, each text
// zero-terminated inside its width): the support file stores it byte for byte, so the layout
// below is fixed (CameraEntryLayout lists and checks every field).

#include <cstddef>
#include <cstdint>
#include <string>

class CameraEntry {
public:
    CameraEntry();

    uint32_t GetDeviceId() const { return DeviceId_; }
    uint32_t GetDeviceCameraId() const { return DeviceCameraId_; }
    uint32_t GetDeviceUsed() const { return DeviceUsed_; }
    uint32_t GetDeviceSensorId() const { return DeviceSensorId_; }
    const char16_t* GetDeviceSerNo() const { return DeviceSerNo_; }
    const char16_t* GetDeviceModel() const { return DeviceModel_; }
    uint8_t GetDeviceType() const { return DeviceType_; }
    uint8_t GetDeviceTypeFromCameraList() const { return DeviceTypeFromCameraList_; }
    uint32_t GetDeviceStatus() const { return DeviceStatus_; }
    const char16_t* GetDeviceCurrentIpAddress() const { return DeviceCurrentIpAddress_; }
    const char16_t* GetDeviceCurrentIpGateway() const { return DeviceCurrentIpGateway_; }
    const char16_t* GetDeviceCurrentIpSubnetmask() const { return DeviceCurrentIpSubnetmask_; }
    const char16_t* GetDevicePersistentIpAddress() const { return DevicePersistentIpAddress_; }
    const char16_t* GetDevicePersistentIpGateway() const { return DevicePersistentIpGateway_; }
    const char16_t* GetDevicePersistentIpSubnetmask() const { return DevicePersistentIpSubnetmask_; }
    const char16_t* GetDeviceMacAddress() const { return DeviceMacAddress_; }
    const char16_t* GetDevicePairedMacAddress() const { return DevicePairedMacAddress_; }
    uint32_t GetDeviceRuntimeFirmwareVersion() const { return DeviceRuntimeFirmwareVersion_; }
    uint32_t GetDeviceStarterFirmwareVersion() const { return DeviceStarterFirmwareVersion_; }
    const char16_t* GetDeviceIpRangeBegin() const { return DeviceIpRangeBegin_; }
    const char16_t* GetDeviceIpRangeEnd() const { return DeviceIpRangeEnd_; }
    const char16_t* GetDeviceIpPairedHost() const { return DeviceIpPairedHost_; }
    uint16_t GetDeviceTemperature() const { return DeviceTemperature_; }
    uint16_t GetDeviceLinkInfo() const { return DeviceLinkInfo_; }
    uint32_t GetDeviceInfoFlags() const { return DeviceInfoFlags_; }
    uint32_t GetDeviceStatusFlags() const { return DeviceStatusFlags_; }
    uint32_t GetDeviceControlStatus() const { return DeviceControlStatus_; }
    uint16_t GetDeviceHeartbeatPeriod_ms() const { return DeviceHeartbeatPeriod_ms_; }
    uint16_t GetDeviceHeartbeatWatchdogLevel() const { return DeviceHeartbeatWatchdogLevel_; }
    uint32_t GetDeviceAtomicRefCnt() const { return DeviceAtomicRefCnt_; }
    uint16_t GetDeviceLastAcknowledgedMsgId() const { return DeviceLastAcknowledgedMsgId_; }
    uint16_t GetDeviceLastReceivedHeartbeatMsgId() const { return DeviceLastReceivedHeartbeatMsgId_; }
    uint16_t GetDeviceLastReceivedMsgId() const { return DeviceLastReceivedMsgId_; }
    uint32_t GetDeviceMissedHeartbeatCnt() const { return DeviceMissedHeartbeatCnt_; }
    const char16_t* GetDeviceTempSensorSerNo() const { return DeviceTempSensorSerNo_; }
    uint8_t GetDeviceFPGAType() const { return DeviceFPGAType_; }
    uint8_t GetDevicePhyType() const { return DevicePhyType_; }
    uint8_t GetDeviceIoVersion() const { return DeviceIoVersion_; }
    uint8_t GetDeviceGeneralBoardVersion() const { return DeviceGeneralBoardVersion_; }
    uint16_t GetDeviceSizeImgMem_MB() const { return DeviceSizeImgMem_MB_; }
    uint32_t GetDeviceFailsafeFirmwareVersion() const { return DeviceFailsafeFirmwareVersion_; }
    const char16_t* GetDeviceUserSpace() const { return DeviceUserSpace_; }
    uint16_t GetDeviceCPLDVersion() const { return DeviceCPLDVersion_; }
    uint16_t GetDeviceRefFlags() const { return DeviceRefFlags_; }
    uint8_t GetDeviceWatchdogSkip() const { return DeviceWatchdogSkip_; }
    uint8_t GetDeviceWatchdogSkipCounter() const { return DeviceWatchdogSkipCounter_; }
    int16_t GetDeviceComportOffset() const { return DeviceComportOffset_; }
    const uint32_t* GetDebugDeviceStatistics() const { return DebugDeviceStatistics_; }
    uint16_t GetDeviceHousing() const { return DeviceHousing_; }
    uint16_t GetDeviceHousingHeartbeat() const { return DeviceHousingHeartbeat_; }
    uint16_t GetDeviceRevisionTimingBoard() const { return DeviceRevisionTimingBoard_; }
    uint8_t GetDHCP_Status() const { return DHCP_Status_; }
    uint8_t GetDHCP_FSM_State() const { return DHCP_FSM_State_; }
    const char16_t* GetDHCP_Server_IP() const { return DHCP_Server_IP_; }
    uint32_t GetDHCP_Lease_Time() const { return DHCP_Lease_Time_; }
    uint32_t GetDHCP_T1_TimeToExpiration() const { return DHCP_T1_TimeToExpiration_; }
    uint32_t GetDHCP_T2_TimeToExpiration() const { return DHCP_T2_TimeToExpiration_; }
    uint32_t GetTransfer_ImgDelay() const { return Transfer_ImgDelay_; }
    uint32_t GetTransfer_ImgTime() const { return Transfer_ImgTime_; }
    uint16_t GetTransfer_SendWindowSize() const { return Transfer_SendWindowSize_; }
    uint16_t GetTransfer_BurstSize() const { return Transfer_BurstSize_; }
    uint32_t GetTransfer_PacketClock_us() const { return Transfer_PacketClock_us_; }
    uint32_t GetTransfer_SendWindowDelay() const { return Transfer_SendWindowDelay_; }
    const uint32_t* GetDebugReservedHeartbeat() const { return DebugReservedHeartbeat_; }
    const uint32_t* GetDebugReservedDevice() const { return DebugReservedDevice_; }
    const char16_t* GetAdapterMacAddress() const { return AdapterMacAddress_; }
    const char16_t* GetAdapterIpAddress() const { return AdapterIpAddress_; }
    const char16_t* GetAdapterIpSubnetmask() const { return AdapterIpSubnetmask_; }
    const char16_t* GetAdapterIpGateway() const { return AdapterIpGateway_; }
    const char16_t* GetAdapterAutoCfgRangeBegin() const { return AdapterAutoCfgRangeBegin_; }
    const char16_t* GetAdapterAutoCfgRangeEnd() const { return AdapterAutoCfgRangeEnd_; }
    uint32_t GetAdapterAutoCfgRangeValid() const { return AdapterAutoCfgRangeValid_; }
    uint16_t GetAdapterIncomingPacketFilter() const { return AdapterIncomingPacketFilter_; }
    uint32_t GetAdapterProbeTimeout() const { return AdapterProbeTimeout_; }
    uint32_t GetAdapterDevicesKnown() const { return AdapterDevicesKnown_; }
    uint32_t GetAdapterDevicesPaired() const { return AdapterDevicesPaired_; }
    uint32_t GetAdapterWatchdogLevel() const { return AdapterWatchdogLevel_; }
    uint32_t GetAdapterWatchdogLevelPipFactor() const { return AdapterWatchdogLevelPipFactor_; }
    uint16_t GetAdapterWatchdogLevelFupFactor() const { return AdapterWatchdogLevelFupFactor_; }
    uint32_t GetAdapterId() const { return AdapterId_; }
    uint32_t GetAdapterPortBase() const { return AdapterPortBase_; }
    uint32_t GetAdapterPortCommand() const { return AdapterPortCommand_; }
    uint32_t GetAdapterPortMessage() const { return AdapterPortMessage_; }
    uint32_t GetAdapterPortStream() const { return AdapterPortStream_; }
    uint32_t GetAdapterPortUpload() const { return AdapterPortUpload_; }
    uint32_t GetAdapterDHCPEnabled() const { return AdapterDHCPEnabled_; }
    uint32_t GetAdapterMaxPcktSizeDown() const { return AdapterMaxPcktSizeDown_; }
    uint32_t GetAdapterMaxPcktSizeUp() const { return AdapterMaxPcktSizeUp_; }
    uint32_t GetAdapterMaxFrameSize() const { return AdapterMaxFrameSize_; }
    uint16_t GetAdapterWatchdogLevelDevice() const { return AdapterWatchdogLevelDevice_; }
    uint16_t GetAdapterPairingRefreshPeriod() const { return AdapterPairingRefreshPeriod_; }
    const char16_t* GetAdapterName() const { return AdapterName_; }
    const char16_t* GetAdapterDriverVersion() const { return AdapterDriverVersion_; }
    const char16_t* GetAdapterDriverDate() const { return AdapterDriverDate_; }
    const uint32_t* GetDebugReservedAdapter() const { return DebugReservedAdapter_; }
    uint16_t GetDriverHeartbeatPeriod_ms() const { return DriverHeartbeatPeriod_ms_; }
    uint32_t GetDriverEthVer() const { return DriverEthVer_; }
    uint32_t GetDriverMinStarterFirmwareVersion() const { return DriverMinStarterFirmwareVersion_; }
    uint32_t GetDriverMaxStarterFirmwareVersion() const { return DriverMaxStarterFirmwareVersion_; }
    uint32_t GetDriverIncludedStarterFirmware() const { return DriverIncludedStarterFirmware_; }
    uint32_t GetDriverIncludedRuntimeFirmware() const { return DriverIncludedRuntimeFirmware_; }
    const uint32_t* GetDebugReservedDriver() const { return DebugReservedDriver_; }
    uint32_t GetUsbEnumIndex() const { return UsbEnumIndex_; }
    uint32_t GetEthInfoResult() const { return EthInfoResult_; }
    void SetDeviceComportOffset(int16_t offset) { DeviceComportOffset_ = offset; }
    // Copy the text, cut to the field's width (the last unit is always the terminator).
    void SetAdapterName(const std::u16string& name);
    void SetAdapterDriverVersion(const std::u16string& version);
    void SetAdapterDriverDate(const std::u16string& date);

private:
    friend class CameraEntryBuilder;
    friend struct CameraEntryLayout;

    uint32_t DeviceId_;
    uint32_t DeviceCameraId_;
    uint32_t DeviceUsed_;
    uint32_t DeviceSensorId_;
    char16_t DeviceSerNo_[16];
    char16_t DeviceModel_[16];
    uint8_t DeviceType_;
    uint8_t DeviceTypeFromCameraList_;
    uint8_t reserved82_[2];
    uint32_t DeviceStatus_;
    char16_t DeviceCurrentIpAddress_[16];
    char16_t DeviceCurrentIpGateway_[16];
    char16_t DeviceCurrentIpSubnetmask_[16];
    char16_t DevicePersistentIpAddress_[16];
    char16_t DevicePersistentIpGateway_[16];
    char16_t DevicePersistentIpSubnetmask_[16];
    char16_t DeviceMacAddress_[20];
    char16_t DevicePairedMacAddress_[20];
    uint32_t DeviceRuntimeFirmwareVersion_;
    uint32_t DeviceStarterFirmwareVersion_;
    char16_t DeviceIpRangeBegin_[16];
    char16_t DeviceIpRangeEnd_[16];
    char16_t DeviceIpPairedHost_[16];
    uint16_t DeviceTemperature_;
    uint16_t DeviceLinkInfo_;
    uint32_t DeviceInfoFlags_;
    uint32_t DeviceStatusFlags_;
    uint32_t DeviceControlStatus_;
    uint16_t DeviceHeartbeatPeriod_ms_;
    uint16_t DeviceHeartbeatWatchdogLevel_;
    uint32_t DeviceAtomicRefCnt_;
    uint16_t DeviceLastAcknowledgedMsgId_;
    uint16_t DeviceLastReceivedHeartbeatMsgId_;
    uint16_t DeviceLastReceivedMsgId_;
    uint8_t reserved494_[2];
    uint32_t DeviceMissedHeartbeatCnt_;
    char16_t DeviceTempSensorSerNo_[20];
    uint8_t DeviceFPGAType_;
    uint8_t DevicePhyType_;
    uint8_t DeviceIoVersion_;
    uint8_t DeviceGeneralBoardVersion_;
    uint16_t DeviceSizeImgMem_MB_;
    uint8_t reserved546_[2];
    uint32_t DeviceFailsafeFirmwareVersion_;
    char16_t DeviceUserSpace_[9];
    uint16_t DeviceCPLDVersion_;
    uint8_t reserved572_[88];
    uint16_t DeviceRefFlags_;
    uint8_t DeviceWatchdogSkip_;
    uint8_t DeviceWatchdogSkipCounter_;
    int16_t DeviceComportOffset_;
    uint8_t reserved666_[2];
    uint32_t DebugDeviceStatistics_[24];
    uint8_t reserved764_[24];
    uint16_t DeviceHousing_;
    uint16_t DeviceHousingHeartbeat_;
    uint16_t DeviceRevisionTimingBoard_;
    uint8_t DHCP_Status_;
    uint8_t DHCP_FSM_State_;
    char16_t DHCP_Server_IP_[16];
    uint32_t DHCP_Lease_Time_;
    uint32_t DHCP_T1_TimeToExpiration_;
    uint32_t DHCP_T2_TimeToExpiration_;
    uint32_t Transfer_ImgDelay_;
    uint32_t Transfer_ImgTime_;
    uint16_t Transfer_SendWindowSize_;
    uint16_t Transfer_BurstSize_;
    uint32_t Transfer_PacketClock_us_;
    uint32_t Transfer_SendWindowDelay_;
    uint32_t DebugReservedHeartbeat_[14];
    uint32_t DebugReservedDevice_[14];
    char16_t AdapterMacAddress_[20];
    char16_t AdapterIpAddress_[16];
    char16_t AdapterIpSubnetmask_[16];
    char16_t AdapterIpGateway_[16];
    char16_t AdapterAutoCfgRangeBegin_[16];
    char16_t AdapterAutoCfgRangeEnd_[16];
    uint32_t AdapterAutoCfgRangeValid_;
    uint16_t AdapterIncomingPacketFilter_;
    uint8_t reserved1178_[2];
    uint32_t AdapterProbeTimeout_;
    uint32_t AdapterDevicesKnown_;
    uint32_t AdapterDevicesPaired_;
    uint32_t AdapterWatchdogLevel_;
    uint32_t AdapterWatchdogLevelPipFactor_;
    uint16_t AdapterWatchdogLevelFupFactor_;
    uint8_t reserved1202_[2];
    uint32_t AdapterId_;
    uint32_t AdapterPortBase_;
    uint32_t AdapterPortCommand_;
    uint32_t AdapterPortMessage_;
    uint32_t AdapterPortStream_;
    uint32_t AdapterPortUpload_;
    uint32_t AdapterDHCPEnabled_;
    uint32_t AdapterMaxPcktSizeDown_;
    uint32_t AdapterMaxPcktSizeUp_;
    uint32_t AdapterMaxFrameSize_;
    uint16_t AdapterWatchdogLevelDevice_;
    uint16_t AdapterPairingRefreshPeriod_;
    char16_t AdapterName_[50];
    char16_t AdapterDriverVersion_[20];
    char16_t AdapterDriverDate_[20];
    uint32_t DebugReservedAdapter_[14];
    uint16_t DriverHeartbeatPeriod_ms_;
    uint8_t reserved1486_[2];
    uint32_t DriverEthVer_;
    uint32_t DriverMinStarterFirmwareVersion_;
    uint32_t DriverMaxStarterFirmwareVersion_;
    uint32_t DriverIncludedStarterFirmware_;
    uint32_t DriverIncludedRuntimeFirmware_;
    uint32_t DebugReservedDriver_[14];
    uint32_t UsbEnumIndex_;
    uint32_t EthInfoResult_;
    uint8_t reserved1572_[100];
};

static_assert(sizeof(CameraEntry) == 1672);
