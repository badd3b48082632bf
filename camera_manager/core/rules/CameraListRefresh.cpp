#include "camera_manager/core/rules/CameraListRefresh.h"

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
    bool differs = false;
    for (int kind = 0; kind < 2 && !differs; ++kind) {
        CameraList fresh;
        FillCameraList(fresh, ModeOf(kind));
        differs = CameraListRules::SnapshotsDiffer(snapshots[kind], SnapshotOf(fresh));
    }
    result.rebuild = differs || rebuildPending;
    for (int kind = 0; kind < 2; ++kind) {
        lists[kind].Clear();
        FillCameraList(lists[kind], ModeOf(kind));
        if (result.rebuild)
            for (size_t i = 0; i < lists[kind].GetCount(); ++i)
                result.rows.push_back(CameraListRules::MakeRow(CameraStateOf(*lists[kind].At(i)), text));
        snapshots[kind] = SnapshotOf(lists[kind]);
    }
    return result;
}
