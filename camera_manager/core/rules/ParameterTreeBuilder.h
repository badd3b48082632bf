#pragma once

// The parameter tree of one camera, decided without a window: every node's text (label, tab,
// value), item data, bold flag and the stored expanded flag that opens it. The main dialog
// inserts the nodes into its column tree.

#include "camera_manager/core/rules/CameraListRules.h"

#include <functional>
#include <optional>
#include <string>
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
    std::u16string text;
    long data = 0;
    bool bold = false;
    int flag = -1; // index of the stored expanded flag, -1 for leaves
    std::vector<Node> children;
};

// The host adapter's texts, looked up once per list click.
struct AdapterTexts {
    std::u16string designation;
    std::u16string driverVersion;
    std::u16string driverDate;
};

// Value texts.
std::u16string TemperatureText(const std::u16string& label, uint16_t raw, const StringLookup& text);
std::u16string CameraAddressText(const std::u16string& label, const std::u16string& address);
std::u16string CameraMacText(const std::u16string& label, const std::u16string& mac,
                             const StringLookup& text);
std::u16string AdapterAddressText(const std::u16string& label, const std::u16string& address,
                                  const StringLookup& text);
std::u16string PacketFilterText(const std::u16string& label, uint16_t filter, const StringLookup& text);
std::u16string UserEepromText(const std::u16string& label, const std::u16string& eeprom);
// The children of a flag node: one per bit whose name's last word is not "Reserved".
std::vector<Node> BitNodes(uint32_t value, int firstString, long firstData, const StringLookup& text);

// The chain from a USB camera up to its host controller. `findHub` looks for the instance under
// an enumeration key whose parent-id prefix is given, returning its own prefix, port and key
// path; `description` reads an instance key's "DeviceDesc".
struct Instance {
    std::u16string parentId;
    std::u16string port;
    std::u16string keyPath;
};
using InstanceFinder =
    std::function<std::optional<Instance>(const std::u16string& enumKey, const std::u16string& prefix)>;
using DescriptionReader = std::function<std::optional<std::u16string>(const std::u16string& keyPath)>;
// Hub rows numbered from 1, then the controller. The walk stops at a prefix already seen and
// after maxHubs hubs, so a corrupt chain cannot hang the dialog.
constexpr int maxHubs = 16;
std::vector<Node> UsbChain(const std::u16string& parentId, const std::u16string& port,
                           const InstanceFinder& findHub, const DescriptionReader& description,
                           const StringLookup& text);

std::vector<Node> UsbTree(const CameraEntry& entry, const std::vector<Node>& usbChain,
                          const StringLookup& text);
std::vector<Node> GigETree(const CameraEntry& entry, const AdapterTexts& adapter, const StringLookup& text);

// A changed row between two fills: its depth-first position among all nodes and its new text.
struct TextChange {
    size_t position;
    std::u16string text;
    bool operator==(const TextChange&) const = default;
};
// The rows whose text differs between the tree shown and a fresh fill of the same shape (every
// node at the same place with the same data, weight, flag and number of children); none when
// the shape differs, so that the tree must be built anew. An empty list: nothing to draw.
std::optional<std::vector<TextChange>> TextChanges(const std::vector<Node>& shown,
                                                   const std::vector<Node>& fresh);

} // namespace ParameterTreeBuilder
