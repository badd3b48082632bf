#pragma once

// The list half of a refresh tick, apart from the list view: refill both camera lists, tell
// whether the view must be rebuilt (a camera came, went or changed, or a rebuild is pending),
// give the rows to show when it must, and keep the snapshots for the next tick.

#include "camera_manager/core/records/CameraList.h"
#include "camera_manager/core/rules/CameraListRules.h"

#include <cstdint>
#include <optional>
#include <vector>

// What the rules read of an entry.
CameraListRules::CameraState CameraStateOf(const CameraEntry& entry);

struct ListRefresh {
    bool refilled = false; // the lists were read afresh
    bool listed = true;    // and every camera-list call succeeded
    bool rebuild = false;
    // The rows of both lists, USB first; filled only when rebuilding.
    std::vector<CameraListRules::RowTexts> rows;
};

// `lists` and `snapshots` are indexed 0 USB, 1 GigE. A failing camera-list call leaves that
// list empty for the tick.
ListRefresh RefreshCameraLists(CameraList (&lists)[2], std::vector<CameraListRules::Snapshot> (&snapshots)[2],
                               bool rebuildPending, const StringLookup& text);

// The tick's refresh: while the interface library's change count is still `seen` (the count
// before the last refill that listed every camera) and no rebuild is pending, nothing is read
// or built and the lists stay as they are. A library without the count is read at every tick.
ListRefresh RefreshChangedCameraLists(CameraList (&lists)[2],
                                      std::vector<CameraListRules::Snapshot> (&snapshots)[2],
                                      std::optional<uint32_t>& seen, bool rebuildPending,
                                      const StringLookup& text);
