#include "camera_manager/core/records/CameraList.h"

#include "camera_manager/core/records/CameraEntryBuilder.h"
#include "camera_manager/core/records/CameraInterfaceLibrary.h"

#include <cstring>

namespace {

// More cameras than any host can hold: a larger count is a broken answer.
constexpr uint32_t maxCameras = 65536;

uint32_t readCount(const std::vector<uint8_t>& buffer) {
    uint32_t count;
    std::memcpy(&count, buffer.data(), sizeof count);
    return count;
}

} // namespace

bool CameraList::FindByDeviceId(uint32_t deviceId, CameraEntry** entry) const {
    for (const auto& candidate : entries_) {
        if (candidate->GetDeviceId() == deviceId) {
            if (entry)
                *entry = candidate.get();
            return true;
        }
    }
    return false;
}

bool FillCameraList(CameraList& list, FillMode mode, CameraListFunction listFunction) {
    if (!listFunction)
        listFunction = ZekoApi::zk_GetCameraList;
    // The count first, in a buffer with room for one record.
    std::vector<uint8_t> buffer(4 + cameraListRecordSize, 0);
    if (listFunction(buffer.data()) != 0)
        return false;
    uint32_t room = readCount(buffer);
    if (room > maxCameras)
        room = maxCameras;
    buffer.assign(4 + size_t(room) * cameraListRecordSize, 0);
    std::memcpy(buffer.data(), &room, sizeof room);
    if (listFunction(buffer.data()) != 0)
        return false;
    // A camera plugged in between the calls may raise the count: read only the room given.
    uint32_t count = readCount(buffer);
    if (count > room)
        count = room;
    std::vector<std::unique_ptr<CameraEntry>> built;
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* record = buffer.data() + 4 + size_t(i) * cameraListRecordSize;
        uint32_t deviceId;
        std::memcpy(&deviceId, record + 4, sizeof deviceId);
        const bool usb = deviceId < 1000;
        if (usb != (mode == FillUsb))
            continue;
        auto entry = std::make_unique<CameraEntry>();
        BuildCameraEntry(*entry, record, mode == FillUsb ? i : 0);
        list.Append(std::move(entry));
    }
    return true;
}
