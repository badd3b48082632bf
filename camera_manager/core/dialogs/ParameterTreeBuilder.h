// The parameter tree of one camera, decided without a window: every node's text (label, tab,
// value), item data, bold flag and the stored expanded flag that opens it. The main dialog
// inserts the nodes into its column tree.
#ifndef CAMERA_MANAGER_CORE_PARAMETERTREEBUILDER_H
#define CAMERA_MANAGER_CORE_PARAMETERTREEBUILDER_H

#include "camera_manager/core/dialogs/CameraListRules.h"

#include <wx/string.h>

#include <functional>
#include <optional>
#include <vector>

class CameraEntry;

namespace ParameterTreeBuilder {

// Indices of the stored tree-node flags (the order in which they are written).
enum TreeNode {
    NodeGeneralInfo = 0,
    NodeUsb = 1,
    NodeDevice = 2,
    NodeDeviceGeneral = 3,
    NodeStatusFlags = 4,
    NodeControlStatus = 5,
    NodeDeviceHardware = 6,
    NodeDeviceNetwork = 7,
    NodeAdapter = 11,
    NodeAdapterGeneral = 12,
    NodeAdapterNetwork = 13,
    NodeAdapterSettings = 15,
    NodeDriver = 16,
};

struct Node {
    wxString text;
    long data = 0;
    bool bold = false;
    int flag = -1; // index of the stored expanded flag, -1 for leaves
    std::vector<Node> children;
};

// The host adapter's texts, looked up once per list click.
struct AdapterTexts {
    wxString designation;
    wxString driverVersion;
    wxString driverDate;
};

// Value texts.
wxString TemperatureText(const wxString& label, uint16_t raw, const StringLookup& text);
wxString CameraAddressText(const wxString& label, const wxString& address);
wxString CameraMacText(const wxString& label, const wxString& mac, const StringLookup& text);
wxString AdapterAddressText(const wxString& label, const wxString& address, const StringLookup& text);
wxString PacketFilterText(const wxString& label, uint16_t filter, const StringLookup& text);
wxString UserEepromText(const wxString& label, const wxString& eeprom);
// The children of a flag node: one per bit whose name's last word is not "Reserved".
std::vector<Node> BitNodes(uint32_t value, int firstString, long firstData, const StringLookup& text);

// The chain from a USB camera up to its host controller. `findHub` looks for the instance under
// an enumeration key whose parent-id prefix is given, returning its own prefix, port and key
// path; `description` reads an instance key's "DeviceDesc".
struct Instance {
    wxString parentId;
    wxString port;
    wxString keyPath;
};
using InstanceFinder =
    std::function<std::optional<Instance>(const wxString& enumKey, const wxString& prefix)>;
using DescriptionReader = std::function<std::optional<wxString>(const wxString& keyPath)>;
// Hub rows numbered from 1, then the controller. The walk stops at a prefix already seen and
// after maxHubs hubs, so a corrupt chain cannot hang the dialog.
constexpr int maxHubs = 16;
std::vector<Node> UsbChain(const wxString& parentId, const wxString& port, const InstanceFinder& findHub,
                           const DescriptionReader& description, const StringLookup& text);

std::vector<Node> UsbTree(const CameraEntry& entry, const std::vector<Node>& usbChain,
                          const StringLookup& text);
std::vector<Node> GigETree(const CameraEntry& entry, const AdapterTexts& adapter, const StringLookup& text);

// A changed row between two fills: its depth-first position among all nodes and its new text.
struct TextChange {
    size_t position;
    wxString text;
    bool operator==(const TextChange&) const = default;
};
// The rows whose text differs between the tree shown and a fresh fill of the same shape (every
// node at the same place with the same data, weight, flag and number of children); none when
// the shape differs, so that the tree must be built anew. An empty list: nothing to draw.
std::optional<std::vector<TextChange>> TextChanges(const std::vector<Node>& shown,
                                                   const std::vector<Node>& fresh);

} // namespace ParameterTreeBuilder

#endif
