#include "camera_manager/core/rules/ParameterTreeBuilder.h"

#include "camera_manager/core/records/CameraEntry.h"
#include "camera_manager/res/StringIds.h"

#include <cwctype>
#include <set>

namespace ParameterTreeBuilder {

using CameraListRules::FirmwareVersionText;
using CameraListRules::FormatAscii;

namespace {

// A hub's parent-id prefix as compared against those already walked.
std::u16string Lower(std::u16string text) {
    for (char16_t& c : text)
        c = static_cast<char16_t>(std::towlower(static_cast<wint_t>(c)));
    return text;
}

// The text after the last `separator`; the whole text when it holds none.
std::u16string AfterLast(const std::u16string& text, char16_t separator) {
    const size_t at = text.rfind(separator);
    return at == std::u16string::npos ? text : text.substr(at + 1);
}

std::u16string Pair(const std::u16string& label, const std::u16string& value) {
    return label + u"\t" + value;
}

std::u16string Number(const std::u16string& label, long value) {
    return label + u"\t" + FormatAscii("%ld", value);
}

std::u16string Firmware(const std::u16string& label, uint32_t v) {
    return Pair(label, FirmwareVersionText(v));
}

Node Leaf(const std::u16string& text, long data) {
    return Node{text, data, false, -1, {}};
}

Node Group(const std::u16string& text, long data, int flag, std::vector<Node> children = {}) {
    return Node{text, data, true, flag, std::move(children)};
}

std::u16string YesNo(uint32_t value, const StringLookup& text) {
    return text(value == 1 ? ids::Yes : ids::No);
}

} // namespace

std::u16string TemperatureText(const std::u16string& label, uint16_t raw, const StringLookup& text) {
    if (raw == 0xFFFF)
        return Pair(label, text(ids::InvalidValue));
    const double celsius = static_cast<int16_t>(raw) * 0.0625;
    return label + u"\t" + FormatAscii("%.1f", celsius) + u"\u00B0 C  (" +
           FormatAscii("%.1f", celsius * 9 / 5 + 32) + u"\u00B0 F)";
}

std::u16string CameraAddressText(const std::u16string& label, const std::u16string& address) {
    return Pair(label, address == u"0.0.0.0" ? std::u16string(u"-") : address);
}

std::u16string CameraMacText(const std::u16string& label, const std::u16string& mac,
                             const StringLookup& text) {
    if (mac.starts_with(u"00-00-00"))
        return Pair(label, text(ids::HardwareDefect));
    if (mac.starts_with(u"80-00-00"))
        return Pair(label, text(ids::InternalSerialTooHigh));
    return Pair(label, mac);
}

std::u16string AdapterAddressText(const std::u16string& label, const std::u16string& address,
                                  const StringLookup& text) {
    return Pair(label, address == u"0.0.0.0" ? text(ids::AddressInvalid) : address);
}

std::u16string PacketFilterText(const std::u16string& label, uint16_t filter, const StringLookup& text) {
    switch (filter) {
    case 0xFFFF:
        return Pair(label, u"0");
    case 0:
        return Pair(label, text(ids::FilterPassAll));
    case 1:
        return Pair(label, text(ids::FilterBlockGet));
    case 2:
        return Pair(label, text(ids::FilterBlockAll));
    default: // values the driver does not define: the number itself
        return Number(label, filter);
    }
}

std::u16string UserEepromText(const std::u16string& label, const std::u16string& eeprom) {
    return eeprom.length() >= 8 ? label + u"\t" + eeprom + u"..." : Pair(label, eeprom);
}

std::vector<Node> BitNodes(uint32_t value, int firstString, long firstData, const StringLookup& text) {
    std::vector<Node> nodes;
    const std::u16string reserved = text(ids::Reserved);
    for (int bit = 0; bit < 32; ++bit) {
        const std::u16string name = text(firstString + bit);
        const std::u16string lastWord = AfterLast(name, u' ');
        if (lastWord == reserved)
            continue;
        nodes.push_back(Leaf(name + (((value >> bit) & 1u) ? u"\t1" : u"\t0"), firstData + bit));
    }
    return nodes;
}

std::vector<Node> UsbChain(const std::u16string& parentId, const std::u16string& port,
                           const InstanceFinder& findHub, const DescriptionReader& description,
                           const StringLookup& text) {
    std::vector<Node> rows;
    std::set<std::u16string> seen;
    std::u16string prefix = parentId;
    std::u16string hubPort = port;
    int number = 1;
    while (number <= maxHubs && seen.insert(Lower(prefix)).second) {
        const auto hub = findHub(u"SYSTEM\\CurrentControlSet\\Enum\\USB", prefix);
        if (!hub)
            break;
        const std::u16string desc = description(hub->keyPath).value_or(text(ids::NotAvailable));
        rows.push_back(
            Leaf(FormatAscii("%d. ", number) + text(ids::Hub) + u"\t" + desc + u" (Port " + hubPort + u")",
                 2000 + number));
        prefix = hub->parentId;
        hubPort = hub->port;
        ++number;
    }
    if (const auto controller = findHub(u"SYSTEM\\CurrentControlSet\\Enum\\PCI", prefix)) {
        const std::u16string desc = description(controller->keyPath).value_or(text(ids::NotAvailable));
        rows.push_back(
            Leaf(FormatAscii("%d. ", number) + text(ids::Controller) + u"\t" + desc, 2000 + number));
    }
    return rows;
}

std::vector<Node> UsbTree(const CameraEntry& e, const std::vector<Node>& usbChain, const StringLookup& text) {
    std::vector<Node> tree;
    tree.push_back(
        Group(text(ids::DeviceNode), 1000, NodeDevice,
              {Leaf(Number(text(ids::SensorId), static_cast<long>(e.GetDeviceSensorId())), 1001)}));
    tree.push_back(Group(text(ids::UsbNode), 2000, NodeUsb, usbChain));
    return tree;
}

std::vector<Node> GigETree(const CameraEntry& e, const AdapterTexts& adapter, const StringLookup& text) {
    auto camAddr = [&](int label, const char16_t* value, long data) {
        return Leaf(CameraAddressText(text(label), std::u16string(value)), data);
    };
    auto adapterAddr = [&](int label, const char16_t* value, long data) {
        return Leaf(AdapterAddressText(text(label), std::u16string(value), text), data);
    };
    const std::u16string pairedMac = std::u16string(e.GetDevicePairedMacAddress());

    Node general = Group(
        text(ids::GeneralNodeUsb), 1100, NodeDeviceGeneral,
        {Leaf(Firmware(text(ids::RuntimeFirmwareVersion), e.GetDeviceRuntimeFirmwareVersion()), 1102),
         Leaf(Firmware(text(ids::StarterFirmwareVersion), e.GetDeviceStarterFirmwareVersion()), 1103),
         Leaf(UserEepromText(text(ids::UserEeprom), std::u16string(e.GetDeviceUserSpace())), 1104),
         Leaf(Number(text(ids::ComPortNumber), e.GetDeviceComportOffset() + 100L), 1105),
         Leaf(TemperatureText(text(ids::CameraTemperature), e.GetDeviceTemperature(), text), 1106),
         Node{text(ids::DeviceStatusflags) + FormatAscii("\t0x%08X", e.GetDeviceStatusFlags()), 1116, true,
              NodeStatusFlags, BitNodes(e.GetDeviceStatusFlags(), ids::StatusFlagBits, 5000, text)},
         Node{text(ids::ControlStatus) + FormatAscii("\t0x%08X", e.GetDeviceControlStatus()), 1117, true,
              NodeControlStatus, BitNodes(e.GetDeviceControlStatus(), ids::ControlStatusBits, 6000, text)}});
    Node hardware = Group(
        text(ids::Hardware), 1500, NodeDeviceHardware,
        {Leaf(Number(text(ids::SensorId), static_cast<long>(e.GetDeviceSensorId())), 1501),
         Leaf(text(ids::ImageMemorySize) +
                  FormatAscii("\t%d ", static_cast<int>(e.GetDeviceSizeImgMem_MB())) + text(ids::Megabytes),
              1508)});
    Node network = Group(
        text(ids::NetworkNodeUsb), 1200, NodeDeviceNetwork,
        {Leaf(CameraMacText(text(ids::MacAddress), std::u16string(e.GetDeviceMacAddress()), text), 1201),
         camAddr(ids::CurrentIpAddress, e.GetDeviceCurrentIpAddress(), 1202),
         camAddr(ids::CurrentIpSubnetmask, e.GetDeviceCurrentIpSubnetmask(), 1203),
         camAddr(ids::PersistentIpAddress, e.GetDevicePersistentIpAddress(), 1205),
         camAddr(ids::PersistentIpSubnetmask, e.GetDevicePersistentIpSubnetmask(), 1206),
         camAddr(ids::IpRangeBegin, e.GetDeviceIpRangeBegin(), 1208),
         camAddr(ids::IpRangeEnd, e.GetDeviceIpRangeEnd(), 1209),
         Leaf(Pair(text(ids::PairedHostMac),
                   pairedMac == u"00-00-00-00-00-00" ? std::u16string(u"-") : pairedMac),
              1210),
         camAddr(ids::PairedHostIp, e.GetDeviceIpPairedHost(), 1211),
         Leaf(text(ids::Link) + FormatAscii("\t%d ", static_cast<int>(e.GetDeviceLinkInfo())) +
                  text(ids::MbitPerSecond),
              1212)});
    Node device = Group(text(ids::DeviceNode), 1000, NodeDevice, {general, hardware, network});

    Node adapterGeneral =
        Group(text(ids::GeneralNodeEth), 2100, NodeAdapterGeneral,
              {Leaf(Pair(text(ids::Designation), adapter.designation), 2101),
               Leaf(Pair(text(ids::DriverVersion), adapter.driverVersion), 2102),
               Leaf(Pair(text(ids::DriverDate), adapter.driverDate), 2103),
               Leaf(Pair(text(ids::DhcpEnabled), YesNo(e.GetAdapterDHCPEnabled(), text)), 2104),
               Leaf(Number(text(ids::KnownDevices), static_cast<long>(e.GetAdapterDevicesKnown())), 2105),
               Leaf(Number(text(ids::PairedDevices), static_cast<long>(e.GetAdapterDevicesPaired())), 2106)});
    Node adapterNetwork = Group(
        text(ids::NetworkNodeEth), 2200, NodeAdapterNetwork,
        {Leaf(Pair(text(ids::AdapterMacAddress), std::u16string(e.GetAdapterMacAddress())), 2201),
         adapterAddr(ids::AdapterIpAddress, e.GetAdapterIpAddress(), 2202),
         adapterAddr(ids::AdapterIpSubnetmask, e.GetAdapterIpSubnetmask(), 2203),
         adapterAddr(ids::AdapterIpRangeBegin, e.GetAdapterAutoCfgRangeBegin(), 2205),
         adapterAddr(ids::AdapterIpRangeEnd, e.GetAdapterAutoCfgRangeEnd(), 2206),
         Leaf(Pair(text(ids::AdapterIpRangeValid), YesNo(e.GetAdapterAutoCfgRangeValid(), text)), 2207)});
    Node adapterSettings = Group(
        text(ids::SettingsNodeUsb), 2400, NodeAdapterSettings,
        {Leaf(PacketFilterText(text(ids::PacketFilter), e.GetAdapterIncomingPacketFilter(), text), 2408)});
    Node adapterNode = Group(text(ids::LocalNetworkAdapter), 2000, NodeAdapter,
                             {adapterGeneral, adapterNetwork, adapterSettings});

    Node driver =
        Group(text(ids::LocalDriver), 3000, NodeDriver,
              {Leaf(Firmware(text(ids::MinStarterFirmware), e.GetDriverMinStarterFirmwareVersion()), 3013),
               Leaf(Firmware(text(ids::MaxStarterFirmware), e.GetDriverMaxStarterFirmwareVersion()), 3014)});
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
