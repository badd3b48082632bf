#include "camera_manager/core/records/CamInfoRecord.h"

#include "camera_manager/core/records/BoundedText.h"
#include "camera_manager/core/records/CameraInterfaceLibrary.h"
#include "camera_manager/res/StringIds.h"
#include "platform/win/ResourceStrings.h"

#include <cstring>

namespace {

uint16_t u16(const uint8_t* p, size_t offset) {
    return uint16_t(p[offset] | p[offset + 1] << 8);
}

void clearRevisions(CamInfoRecord& r) {
    r.SensorHardwareRevision = r.Cypress = 0;
    r.Blackfin = 0;
    r.DspFirmware = r.USBBoard = r.SensorBoard = r.ProcessingBoard = r.MemoryBoard = r.Housing = r.Filter =
        r.TimingBoard = r.ProductRevision = r.PowerBoard = r.LogicBoard = 0;
}

} // namespace

void SetUnknownCameraInformation(CamInfoRecord& record) {
    const std::u16string unknown = LoadResourceString(ids::Unknown);
    SafeCStringToWide(record.DateOfQC, sizeof record.DateOfQC, unknown);
    SafeCStringToWide(record.Manufacturer, sizeof record.Manufacturer, unknown);
    SafeCStringToWide(record.Version, sizeof record.Version, unknown);
    record.Type = 0;
    clearRevisions(record);
}

bool ReadCameraInformation(uint32_t deviceId, CamInfoRecord& record) {
    uint32_t handle = deviceId | ZK_USE_DEVICE_ID;
    if (ZekoApi::zk_InitCamera(&handle, nullptr) != 0) {
        SetUnknownCameraInformation(record);
        return false;
    }
    uint8_t info[ZK_CAMERA_INFO_SIZE] = {};
    if (ZekoApi::zk_GetCameraInfoEx(handle, info) != 0) {
        // A record reused for several cameras must not keep the previous camera's revisions.
        SetUnknownCameraInformation(record);
    } else {
        const char* text = reinterpret_cast<const char*>(info);
        SafeAnsiToWideBounded(record.DateOfQC, sizeof record.DateOfQC, text + 42, 12);
        SafeAnsiToWideBounded(record.Manufacturer, sizeof record.Manufacturer, text + 12, 20);
        SafeAnsiToWideBounded(record.Version, sizeof record.Version, text + 32, 10);
        record.Type = info[55];
        uint8_t revisions[ZK_REVISION_INFO_SIZE] = {};
        if (ZekoApi::zk_GetRevisionInfo(handle, revisions) != 0) {
            clearRevisions(record);
        } else {
            record.SensorHardwareRevision = u16(revisions, 2);
            record.Cypress = u16(revisions, 4);
            record.Blackfin = uint32_t(u16(revisions, 8)) | uint32_t(u16(revisions, 10)) << 16;
            uint16_t* values[] = {&record.DspFirmware,     &record.USBBoard,    &record.SensorBoard,
                                  &record.ProcessingBoard, &record.MemoryBoard, &record.Housing,
                                  &record.Filter,          &record.TimingBoard, &record.ProductRevision,
                                  &record.PowerBoard,      &record.LogicBoard};
            for (size_t i = 0; i < 11; ++i)
                *values[i] = u16(revisions, 12 + 2 * i);
        }
    }
    ZekoApi::zk_ExitCamera(handle);
    return true;
}
