#include "camera_manager/core/ParameterTreeBuilder.h"

#include "camera_manager/core/CameraEntry.h"
#include "camera_manager/core/WxText.h"

#include <set>

namespace ParameterTreeBuilder {

namespace {

wxString Pair(const wxString& label, const wxString& value) {
    return label + wxT("\t") + value;
}

wxString Number(const wxString& label, long value) {
    return wxString::Format(wxT("%s\t%ld"), label, value);
}

wxString Firmware(const wxString& label, uint32_t v) {
    return Pair(label, CameraListRules::FirmwareVersionText(v));
}

Node Leaf(const wxString& text, long data) {
    return Node{text, data, false, -1, {}};
}

Node Group(const wxString& text, long data, int flag, std::vector<Node> children = {}) {
    return Node{text, data, true, flag, std::move(children)};
}

wxString YesNo(uint32_t value, const StringLookup& text) {
    return text(value == 1 ? 151 : 152);
}

} // namespace

wxString TemperatureText(const wxString& label, uint16_t raw, const StringLookup& text) {
    if (raw == 0xFFFF)
        return Pair(label, text(327));
    const double celsius = static_cast<int16_t>(raw) * 0.0625;
    return wxString::Format(wxString::FromUTF8("%s\t%.1f\xC2\xB0 C  (%.1f\xC2\xB0 F)"), label, celsius,
                            celsius * 9 / 5 + 32);
}

wxString CameraAddressText(const wxString& label, const wxString& address) {
    return Pair(label, address == wxT("0.0.0.0") ? wxString(wxT("-")) : address);
}

wxString CameraMacText(const wxString& label, const wxString& mac, const StringLookup& text) {
    if (mac.StartsWith(wxT("00-00-00")))
        return Pair(label, text(351));
    if (mac.StartsWith(wxT("80-00-00")))
        return Pair(label, text(352));
    return Pair(label, mac);
}

wxString AdapterAddressText(const wxString& label, const wxString& address, const StringLookup& text) {
    return Pair(label, address == wxT("0.0.0.0") ? text(268) : address);
}

wxString PacketFilterText(const wxString& label, uint16_t filter, const StringLookup& text) {
    switch (filter) {
    case 0xFFFF:
        return Pair(label, wxT("0"));
    case 0:
        return Pair(label, text(184));
    case 1:
        return Pair(label, text(185));
    case 2:
        return Pair(label, text(186));
    default: // values the driver does not define: the number itself
        return Number(label, filter);
    }
}

wxString UserEepromText(const wxString& label, const wxString& eeprom) {
    return eeprom.length() >= 8 ? wxString::Format(wxT("%s\t%s..."), label, eeprom) : Pair(label, eeprom);
}

std::vector<Node> BitNodes(uint32_t value, int firstString, long firstData, const StringLookup& text) {
    std::vector<Node> nodes;
    const wxString reserved = text(298);
    for (int bit = 0; bit < 32; ++bit) {
        const wxString name = text(firstString + bit);
        const wxString lastWord = name.AfterLast(wxT(' '));
        if (lastWord == reserved)
            continue;
        nodes.push_back(Leaf(wxString::Format(wxT("%s\t%d"), name, static_cast<int>((value >> bit) & 1u)),
                             firstData + bit));
    }
    return nodes;
}

std::vector<Node> UsbChain(const wxString& parentId, const wxString& port, const InstanceFinder& findHub,
                           const DescriptionReader& description, const StringLookup& text) {
    std::vector<Node> rows;
    std::set<wxString> seen;
    wxString prefix = parentId;
    wxString hubPort = port;
    int number = 1;
    while (number <= maxHubs && seen.insert(prefix.Lower()).second) {
        const auto hub = findHub(wxT("SYSTEM\\CurrentControlSet\\Enum\\USB"), prefix);
        if (!hub)
            break;
        const wxString desc = description(hub->keyPath).value_or(text(295));
        rows.push_back(Leaf(wxString::Format(wxT("%d. %s\t%s (Port %s)"), number, text(296), desc, hubPort),
                            2000 + number));
        prefix = hub->parentId;
        hubPort = hub->port;
        ++number;
    }
    if (const auto controller = findHub(wxT("SYSTEM\\CurrentControlSet\\Enum\\PCI"), prefix)) {
        const wxString desc = description(controller->keyPath).value_or(text(295));
        rows.push_back(Leaf(wxString::Format(wxT("%d. %s\t%s"), number, text(297), desc), 2000 + number));
    }
    return rows;
}

std::vector<Node> UsbTree(const CameraEntry& e, const std::vector<Node>& usbChain, const StringLookup& text) {
    std::vector<Node> tree;
    tree.push_back(Group(text(116), 1000, NodeDevice,
                         {Leaf(Number(text(111), static_cast<long>(e.GetDeviceSensorId())), 1001)}));
    tree.push_back(Group(text(183), 2000, NodeUsb, usbChain));
    return tree;
}

std::vector<Node> GigETree(const CameraEntry& e, const AdapterTexts& adapter, const StringLookup& text) {
    auto camAddr = [&](int label, const char16_t* value, long data) {
        return Leaf(CameraAddressText(text(label), ToWx(value)), data);
    };
    auto adapterAddr = [&](int label, const char16_t* value, long data) {
        return Leaf(AdapterAddressText(text(label), ToWx(value), text), data);
    };
    const wxString pairedMac = ToWx(e.GetDevicePairedMacAddress());

    Node general =
        Group(text(177), 1100, NodeDeviceGeneral,
              {Leaf(Firmware(text(128), e.GetDeviceRuntimeFirmwareVersion()), 1102),
               Leaf(Firmware(text(129), e.GetDeviceStarterFirmwareVersion()), 1103),
               Leaf(UserEepromText(text(306), ToWx(e.GetDeviceUserSpace())), 1104),
               Leaf(Number(text(479), e.GetDeviceComportOffset() + 100L), 1105),
               Leaf(TemperatureText(text(131), e.GetDeviceTemperature(), text), 1106),
               Node{wxString::Format(wxT("%s\t0x%08X"), text(134), e.GetDeviceStatusFlags()), 1116, true,
                    NodeStatusFlags, BitNodes(e.GetDeviceStatusFlags(), 2000, 5000, text)},
               Node{wxString::Format(wxT("%s\t0x%08X"), text(135), e.GetDeviceControlStatus()), 1117, true,
                    NodeControlStatus, BitNodes(e.GetDeviceControlStatus(), 2050, 6000, text)}});
    Node hardware = Group(text(319), 1500, NodeDeviceHardware,
                          {Leaf(Number(text(111), static_cast<long>(e.GetDeviceSensorId())), 1501),
                           Leaf(wxString::Format(wxT("%s\t%d %s"), text(312),
                                                 static_cast<int>(e.GetDeviceSizeImgMem_MB()), text(315)),
                                1508)});
    Node network = Group(
        text(178), 1200, NodeDeviceNetwork,
        {Leaf(CameraMacText(text(117), ToWx(e.GetDeviceMacAddress()), text), 1201),
         camAddr(118, e.GetDeviceCurrentIpAddress(), 1202),
         camAddr(119, e.GetDeviceCurrentIpSubnetmask(), 1203),
         camAddr(121, e.GetDevicePersistentIpAddress(), 1205),
         camAddr(122, e.GetDevicePersistentIpSubnetmask(), 1206),
         camAddr(124, e.GetDeviceIpRangeBegin(), 1208), camAddr(125, e.GetDeviceIpRangeEnd(), 1209),
         Leaf(Pair(text(126), pairedMac == wxT("00-00-00-00-00-00") ? wxString(wxT("-")) : pairedMac), 1210),
         camAddr(127, e.GetDeviceIpPairedHost(), 1211),
         Leaf(wxString::Format(wxT("%s\t%d %s"), text(132), static_cast<int>(e.GetDeviceLinkInfo()),
                               text(299)),
              1212)});
    Node device = Group(text(116), 1000, NodeDevice, {general, hardware, network});

    Node adapterGeneral = Group(
        text(179), 2100, NodeAdapterGeneral,
        {Leaf(Pair(text(259), adapter.designation), 2101), Leaf(Pair(text(561), adapter.driverVersion), 2102),
         Leaf(Pair(text(562), adapter.driverDate), 2103),
         Leaf(Pair(text(281), YesNo(e.GetAdapterDHCPEnabled(), text)), 2104),
         Leaf(Number(text(145), static_cast<long>(e.GetAdapterDevicesKnown())), 2105),
         Leaf(Number(text(146), static_cast<long>(e.GetAdapterDevicesPaired())), 2106)});
    Node adapterNetwork = Group(text(180), 2200, NodeAdapterNetwork,
                                {Leaf(Pair(text(137), ToWx(e.GetAdapterMacAddress())), 2201),
                                 adapterAddr(138, e.GetAdapterIpAddress(), 2202),
                                 adapterAddr(139, e.GetAdapterIpSubnetmask(), 2203),
                                 adapterAddr(140, e.GetAdapterAutoCfgRangeBegin(), 2205),
                                 adapterAddr(141, e.GetAdapterAutoCfgRangeEnd(), 2206),
                                 Leaf(Pair(text(142), YesNo(e.GetAdapterAutoCfgRangeValid(), text)), 2207)});
    Node adapterSettings =
        Group(text(182), 2400, NodeAdapterSettings,
              {Leaf(PacketFilterText(text(187), e.GetAdapterIncomingPacketFilter(), text), 2408)});
    Node adapterNode = Group(text(136), 2000, NodeAdapter, {adapterGeneral, adapterNetwork, adapterSettings});

    Node driver = Group(text(170), 3000, NodeDriver,
                        {Leaf(Firmware(text(288), e.GetDriverMinStarterFirmwareVersion()), 3013),
                         Leaf(Firmware(text(289), e.GetDriverMaxStarterFirmwareVersion()), 3014)});
    return {device, adapterNode, driver};
}

namespace {

bool collectChanges(const std::vector<Node>& shown, const std::vector<Node>& fresh, size_t& position,
                    std::vector<TextChange>& changes) {
    if (shown.size() != fresh.size())
        return false;
    for (size_t i = 0; i < shown.size(); ++i) {
        const Node& a = shown[i];
        const Node& b = fresh[i];
        if (a.data != b.data || a.bold != b.bold || a.flag != b.flag)
            return false;
        if (a.text != b.text)
            changes.push_back({position, b.text});
        ++position;
        if (!collectChanges(a.children, b.children, position, changes))
            return false;
    }
    return true;
}

} // namespace

std::optional<std::vector<TextChange>> TextChanges(const std::vector<Node>& shown,
                                                   const std::vector<Node>& fresh) {
    std::vector<TextChange> changes;
    size_t position = 0;
    if (!collectChanges(shown, fresh, position, changes))
        return std::nullopt;
    return changes;
}

} // namespace ParameterTreeBuilder
