#include "camera_manager/core/rules/CameraListRefresh.h"

#include "camera_manager/core/records/CameraInterfaceLibrary.h"

namespace {

std::vector<CameraListRules::Snapshot> SnapshotOf(const CameraList& list) {
    std::vector<CameraListRules::Snapshot> s;
    s.reserve(list.GetCount());
    for (size_t i = 0; i < list.GetCount(); ++i)
        s.push_back(CameraListRules::MakeSnapshot(CameraStateOf(*list.At(i))));
    return s;
}

FillMode ModeOf(int kind) {
    return kind == 0 ? FillUsb : FillGigE;
}

} // namespace

CameraListRules::CameraState CameraStateOf(const CameraEntry& e) {
    CameraListRules::CameraState s;
    s.deviceId = e.GetDeviceId();
    s.cameraId = e.GetDeviceCameraId();
    s.used = e.GetDeviceUsed();
    s.sensorId = e.GetDeviceSensorId();
    s.status = e.GetDeviceStatus();
    s.deviceType = static_cast<int8_t>(e.GetDeviceType());
    s.deviceTypeFromList = static_cast<int8_t>(e.GetDeviceTypeFromCameraList());
    s.housing = e.GetDeviceHousing();
    s.statusFlags = e.GetDeviceStatusFlags();
    s.controlStatus = e.GetDeviceControlStatus();
    s.starterFirmware = e.GetDeviceStarterFirmwareVersion();
    s.driverIncludedStarterFirmware = e.GetDriverIncludedStarterFirmware();
    s.ethInfoResult = e.GetEthInfoResult();
    s.serial = e.GetDeviceSerNo();
    s.model = e.GetDeviceModel();
    return s;
}

ListRefresh RefreshCameraLists(CameraList (&lists)[2], std::vector<CameraListRules::Snapshot> (&snapshots)[2],
                               bool rebuildPending, const StringLookup& text) {
    ListRefresh result;
    result.refilled = true;
    bool differs = false;
    for (int kind = 0; kind < 2; ++kind) {
        CameraList fresh;
        result.listed = FillCameraList(fresh, ModeOf(kind)) && result.listed;
        std::vector<CameraListRules::Snapshot> freshSnapshots = SnapshotOf(fresh);
        differs = differs || CameraListRules::SnapshotsDiffer(snapshots[kind], freshSnapshots);
        lists[kind].Swap(fresh);
        snapshots[kind] = std::move(freshSnapshots);
    }
    result.rebuild = differs || rebuildPending;
    if (result.rebuild)
        for (int kind = 0; kind < 2; ++kind)
            for (size_t i = 0; i < lists[kind].GetCount(); ++i)
                result.rows.push_back(CameraListRules::MakeRow(CameraStateOf(*lists[kind].At(i)), text));
    return result;
}

ListRefresh RefreshChangedCameraLists(CameraList (&lists)[2],
                                      std::vector<CameraListRules::Snapshot> (&snapshots)[2],
                                      std::optional<uint32_t>& seen, bool rebuildPending,
                                      const StringLookup& text) {
    // Read before the lists: a change made while they are read shows at the next tick.
    uint32_t count = 0;
    const bool counted = ZekoApi::zk_GetChangeCount(&count) == 0;
    if (counted && seen == count && !rebuildPending)
        return {};
    ListRefresh result = RefreshCameraLists(lists, snapshots, rebuildPending, text);
    // After a failed call the lists are read again at the next tick, whatever the count says.
    seen = counted && result.listed ? std::optional<uint32_t>(count) : std::nullopt;
    return result;
}
