#pragma once

// The camera manager's settings in the current user's registry, under
// Software\Marvek\Zeko\Camera Manager. A missing key or value means the default; a registry
// call that fails keeps the default (reads) or is skipped (writes), without a message.

#include <cstdint>
#include <string>

constexpr int treeNodeCount = 23;
// Names of the tree-node values, in the order they are written.
extern const char16_t* const treeNodeNames[treeNodeCount];

// Expanded (true) or collapsed, by the order of treeNodeNames.
struct TreeNodeStates {
    bool expanded[treeNodeCount];
};
TreeNodeStates DefaultTreeNodes();
// A node counts as expanded only when its value reads exactly 1.
TreeNodeStates ReadTreeNodes();
void WriteTreeNodes(const TreeNodeStates& nodes);

struct CheckboxStates {
    bool expertMode = false;
    bool treeAutoRefresh = true;
};
CheckboxStates ReadCheckboxes();
void WriteCheckboxes(const CheckboxStates& boxes);

// The dialog's restored rectangle and whether it was maximised.
struct DialogPlacement {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool maximized = false;
};
// The default placement: in expert mode the current width, otherwise the current width less
// the tree's width and 27; the current height; centred on the screen (halves truncated).
DialogPlacement DefaultPlacement(int currentWidth, int currentHeight, int treeWidth, bool expertMode,
                                 int screenWidth, int screenHeight);
// Each stored value that reads replaces the one given ("x" and "y" may be negative).
DialogPlacement ReadDialogPlacement(DialogPlacement defaults);
void WriteDialogPlacement(const DialogPlacement& placement);
// The placement as shown: at least the minimum size, inside the visible area. The stored values
// are not changed by this.
DialogPlacement ClampPlacement(DialogPlacement placement, int minWidth, int minHeight, int areaX, int areaY,
                               int areaWidth, int areaHeight);

struct SortSettings {
    int column = 5;
    bool ascending = true;
};
SortSettings ReadSortSettings();
void WriteSortSettings(const SortSettings& sort);

// The polling period in milliseconds (default 1500), used as read: 0 polls continuously.
uint32_t ReadRefreshTime();

// What the main dialog writes when it is destroyed, in this order: tree nodes, check boxes,
// placement.
void SaveSettingsAtClose(const TreeNodeStates& nodes, const CheckboxStates& boxes,
                         const DialogPlacement& placement);

// The starter firmware file for a GigE camera's list device type: -127 "SE", -128 "HE"; any
// other type gives "" and touches nothing. Without a Firmware key the defaults come from the
// driver package's install location and are stored.
std::u16string GetFirmwarePath(int8_t deviceType);
void SetFirmwarePath(int8_t deviceType, const std::u16string& path);
// The default for one kind: "<install location>/GigE Firmware/<first match>", or the pattern
// itself when no file matches.
std::u16string FirmwareDefault(const std::u16string& installLocation, const char16_t* prefix);
