#include "camera_manager/diagnostics/records/SupportFilePages.h"

#include "camera_manager/core/records/BoundedText.h"
#include "camera_manager/core/records/CameraEntryLayout.h"
#include "camera_manager/diagnostics/records/SupportFileContent.h"
#include "camera_manager/res/StringIds.h"
#include "platform/win/ResourceStrings.h"

#include <charconv>
#include <cstdio>
#include <cstring>

namespace {

std::u16string S(unsigned id) {
    return LoadResourceString(id);
}

std::u16string ascii(const char* text) {
    std::u16string out;
    for (; *text; ++text)
        out += char16_t(uint8_t(*text));
    return out;
}

std::u16string decimal(long long n) {
    return ascii(std::to_string(n).c_str());
}

std::u16string row(const std::u16string& label, const std::u16string& value) {
    return (label + u"\t" + value).substr(0, 199);
}

SupportRow item(std::u16string text, bool bold = false) {
    SupportRow r;
    r.text = text.substr(0, 199);
    r.bold = bold;
    return r;
}

SupportRow& add(SupportRow& parent, std::u16string text, bool bold = false) {
    parent.children.push_back(item(std::move(text), bold));
    return parent.children.back();
}

std::u16string hex(const char* format, uint32_t v) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, format, v);
    return ascii(buffer);
}

std::u16string valueText(FieldDisplay kind, const CameraValues& v, std::u16string_view key) {
    switch (kind) {
    case FieldDisplay::Decimal:
        return decimal(int32_t(v.Number(key)));
    case FieldDisplay::Text:
        return v.Text(key);
    case FieldDisplay::Hex4:
        return hex("0x%04X", v.Number(key));
    case FieldDisplay::Hex8:
        return hex("0x%08X", v.Number(key));
    case FieldDisplay::Firmware:
        return FirmwareText(v.Number(key));
    case FieldDisplay::Cpld:
        return CpldText(v.Number(key));
    case FieldDisplay::Millis:
        return decimal(int32_t(v.Number(key))) + u" ms";
    case FieldDisplay::Seconds:
        return decimal(int32_t(v.Number(key))) + u" " + S(ids::UnitSeconds);
    case FieldDisplay::Micros:
        return decimal(int32_t(v.Number(key))) + u" " + S(ids::UnitMicroseconds);
    case FieldDisplay::Megabytes:
        return decimal(int32_t(v.Number(key))) + u" " + S(ids::Megabytes);
    case FieldDisplay::Mbits:
        return decimal(int32_t(v.Number(key))) + u" Mbit/s";
    case FieldDisplay::YesNo:
        return S(v.Number(key) == 1 ? 151 : 152);
    case FieldDisplay::Ip: {
        const std::u16string text = v.Text(key);
        return text == u"0.0.0.0" ? u"-" : text;
    }
    case FieldDisplay::IpOrAutomatic: {
        const std::u16string text = v.Text(key);
        return text == u"0.0.0.0" ? S(ids::AddressInvalid) : text;
    }
    case FieldDisplay::Model:
        return ModelText(v.Text(key));
    case FieldDisplay::Temperature:
        return TemperatureText(v.Number(key));
    case FieldDisplay::Eeprom: {
        const std::u16string text = v.Text(key);
        return text.size() >= (v.TextForm() ? 7u : 8u) ? text + u"..." : text;
    }
    case FieldDisplay::ComPort: {
        const uint32_t n = v.Number(key);
        // The binary field is signed 16 bits; the text form holds the widened number already.
        return decimal((v.TextForm() ? int32_t(n) : int32_t(int16_t(n))) + 100);
    }
    case FieldDisplay::Mac: {
        const std::u16string text = v.Text(key);
        if (text.compare(0, 8, u"00-00-00") == 0)
            return S(ids::HardwareDefect);
        if (text.compare(0, 8, u"80-00-00") == 0)
            return S(ids::InternalSerialTooHigh);
        return text;
    }
    case FieldDisplay::PairedMac: {
        const std::u16string text = v.Text(key);
        return text == u"00-00-00-00-00-00" ? u"-" : text;
    }
    case FieldDisplay::PacketFilter:
        return PacketFilterText(v.Number(key), v.TextForm());
    case FieldDisplay::None:
    case FieldDisplay::Statistics:
    case FieldDisplay::Reserved:
        break;
    }
    return {};
}

// The camera information record's rows (that record has a layout of its own).
struct RowSpec {
    unsigned label;
    const char16_t* key;
    FieldDisplay kind;
};

void addRows(SupportRow& group, const CameraValues& v, std::initializer_list<RowSpec> specs) {
    for (const RowSpec& spec : specs)
        add(group, row(S(spec.label), valueText(spec.kind, v, spec.key)));
}

// Camera record fields, each with its label and display kind.
void addFields(SupportRow& group, const CameraValues& v, std::initializer_list<CameraFieldName> fields) {
    for (const CameraFieldName& f : fields)
        add(group, row(S(f.field->stringId), valueText(f.field->display, v, f.field->name)));
}

void addBits(SupportRow& flagsRow, uint32_t value, unsigned base) {
    const std::u16string reserved = S(ids::Reserved);
    for (unsigned bit = 0; bit < 32; ++bit) {
        const std::u16string label = S(base + bit);
        if (label.substr(0, label.find(u' ')) != reserved)
            add(flagsRow, row(label, decimal((value >> bit) & 1)));
    }
}

void addCamInfo(SupportRow& group, const CameraValues& v) {
    addRows(group, v,
            {{ids::ColumnType, u"CamInfo_Type", FieldDisplay::Decimal},
             {ids::VersionLabel, u"CamInfo_Version", FieldDisplay::Text},
             {ids::QcDate, u"CamInfo_DateOfQC", FieldDisplay::Text},
             {ids::Manufacturer, u"CamInfo_Manufacturer", FieldDisplay::Text},
             {ids::SensorHardwareRevision, u"CamInfo_SensorHardwareRevision", FieldDisplay::Hex4},
             {ids::Cypress, u"CamInfo_Cypress", FieldDisplay::Hex4},
             {ids::DspRevision, u"CamInfo_Blackfin", FieldDisplay::Hex4},
             {ids::DspFirmware, u"CamInfo_DspFirmware", FieldDisplay::Hex4},
             {ids::UsbBoardRevision, u"CamInfo_USBBoard", FieldDisplay::Hex4},
             {ids::SensorBoardRevision, u"CamInfo_SensorBoard", FieldDisplay::Hex4},
             {ids::ProcessingBoardRevision, u"CamInfo_ProcessingBoard", FieldDisplay::Hex4},
             {ids::MemoryBoardRevision, u"CamInfo_MemoryBoard", FieldDisplay::Hex4},
             {ids::Housing, u"CamInfo_Housing", FieldDisplay::Hex4},
             {ids::Filter, u"CamInfo_Filter", FieldDisplay::Hex4},
             {ids::TimingBoard, u"CamInfo_TimingBoard", FieldDisplay::Hex4},
             {ids::ProductRevision, u"CamInfo_ProductRevision", FieldDisplay::Hex4},
             {ids::LogicBoard, u"CamInfo_LogicBoard", FieldDisplay::Hex4},
             {ids::PowerBoard, u"CamInfo_PowerBoard", FieldDisplay::Hex4}});
}

void addHubChain(SupportRow& group, const win::ProfileText& profile, std::u16string_view section) {
    for (int k = 1; k <= supportCountCap; ++k) {
        const std::u16string hubKey = decimal(k) + u". " + S(ids::Hub);
        const std::u16string hub = ReadProfileText(profile, section, hubKey);
        if (hub != u"-1") {
            add(group, row(hubKey, hub));
            continue;
        }
        const std::u16string controllerKey = decimal(k) + u". " + S(ids::Controller);
        add(group, row(controllerKey, ReadProfileText(profile, section, controllerKey)));
        return;
    }
}

// The camera information record's fields: offset, width in bytes (0 for text), text units.
struct Field {
    const char16_t* key;
    uint16_t offset;
    uint8_t width;
    uint8_t units;
};

constexpr Field camInfoFields[] = {
    {u"CamInfo_DateOfQC", 0, 0, 15},
    {u"CamInfo_Manufacturer", 30, 0, 25},
    {u"CamInfo_Version", 80, 0, 15},
    {u"CamInfo_Type", 110, 2, 0},
    {u"CamInfo_SensorHardwareRevision", 112, 2, 0},
    {u"CamInfo_Cypress", 114, 2, 0},
    {u"CamInfo_Blackfin", 116, 4, 0},
    {u"CamInfo_DspFirmware", 120, 2, 0},
    {u"CamInfo_USBBoard", 122, 2, 0},
    {u"CamInfo_SensorBoard", 124, 2, 0},
    {u"CamInfo_ProcessingBoard", 126, 2, 0},
    {u"CamInfo_MemoryBoard", 128, 2, 0},
    {u"CamInfo_Housing", 130, 2, 0},
    {u"CamInfo_Filter", 132, 2, 0},
    {u"CamInfo_TimingBoard", 134, 2, 0},
    {u"CamInfo_ProductRevision", 136, 2, 0},
    {u"CamInfo_PowerBoard", 138, 2, 0},
    {u"CamInfo_LogicBoard", 140, 2, 0},
};

uint32_t readLE(const uint8_t* p, size_t width) {
    uint32_t v = 0;
    for (size_t i = 0; i < width; ++i)
        v |= uint32_t(p[i]) << (8 * i);
    return v;
}

std::u16string readText(const uint8_t* p, size_t units) {
    std::u16string text;
    for (size_t i = 0; i < units; ++i) {
        const char16_t c = char16_t(readLE(p + 2 * i, 2));
        if (c == 0)
            break;
        text += c;
    }
    return text;
}

const Field* findField(const Field* begin, const Field* end, std::u16string_view key) {
    for (const Field* f = begin; f != end; ++f)
        if (key == f->key)
            return f;
    return nullptr;
}

} // namespace

std::u16string ReadProfileText(const win::ProfileText& profile, std::u16string_view section,
                               std::u16string_view key) {
    const std::u16string* value = profile.find(section, key);
    if (!value)
        return u"-1";
    if (value->empty())
        return u"-";
    return value->substr(0, 255);
}

std::u16string HeldProfileText(const win::ProfileText& profile, std::u16string_view section,
                               std::u16string_view key) {
    if (!profile.find(section, key) || profile.isCut(section, key))
        return {};
    return ReadProfileText(profile, section, key);
}

uint32_t ProfileCameraValues::Number(std::u16string_view key) const {
    return uint32_t(profile.number(section, key, 0));
}

std::u16string ProfileCameraValues::Text(std::u16string_view key) const {
    return ReadProfileText(profile, section, key);
}

uint32_t RecordCameraValues::Number(std::u16string_view key) const {
    if (const CameraField* f = CameraEntryLayout::find(key); f && f->isNumber())
        return CameraEntryLayout::Number(camera.entry, *f);
    if (const Field* f = findField(std::begin(camInfoFields), std::end(camInfoFields), key))
        return readLE(camera.info.data() + f->offset, f->width);
    for (const CameraField& f : CameraEntryLayout::fields) {
        if (f.type != FieldType::U32Array || key.size() <= f.name.size() + 1 ||
            key.substr(0, f.name.size()) != f.name || key[f.name.size()] != u'_')
            continue;
        size_t index = 0;
        for (char16_t c : key.substr(f.name.size() + 1))
            index = index * 10 + size_t(c - u'0');
        return index < f.units ? CameraEntryLayout::Number(camera.entry, f, index) : 0;
    }
    return 0;
}

std::u16string RecordCameraValues::Text(std::u16string_view key) const {
    if (const CameraField* f = CameraEntryLayout::find(key); f && f->type == FieldType::Text)
        return readText(reinterpret_cast<const uint8_t*>(CameraEntryLayout::Text(camera.entry, *f)),
                        f->units);
    if (const Field* f = findField(std::begin(camInfoFields), std::end(camInfoFields), key))
        return readText(camera.info.data() + f->offset, f->units);
    return {};
}

std::u16string TemperatureText(uint32_t stored) {
    if (uint16_t(stored) == 0xFFFF)
        return S(ids::InvalidValue);
    const double c = int16_t(uint16_t(stored)) * 0.0625;
    const double f = c * 9 / 5 + 32;
    char a[32], b[32];
    *std::to_chars(a, a + sizeof a - 1, c, std::chars_format::fixed, 1).ptr = 0;
    *std::to_chars(b, b + sizeof b - 1, f, std::chars_format::fixed, 1).ptr = 0;
    return ascii(a) + u"\u00b0 C  (" + ascii(b) + u"\u00b0 F)";
}

std::u16string FirmwareText(uint32_t v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%d.%02d.%04d", int(v >> 24), int((v >> 16) & 0xFF),
                  int(v & 0xFFFF));
    return ascii(buffer);
}

std::u16string CpldText(uint32_t v) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%d.%02d", int((v >> 8) & 0xFF), int(v & 0xFF));
    return ascii(buffer);
}

std::u16string ModelText(const std::u16string& model) {
    auto hexDigit = [](char16_t c) {
        return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
    };
    auto alnum = [](char16_t c) {
        return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    };
    if (model.size() >= 7 && model.compare(0, 2, u"QX") == 0 && hexDigit(model[2]) && hexDigit(model[3]) &&
        hexDigit(model[4]) && alnum(model[5]))
        return u"QX-" + model.substr(2);
    return model;
}

std::u16string ReservedValueText(uint32_t value) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%d - %#010x", int32_t(value), value);
    return ascii(buffer);
}

std::u16string PacketFilterText(uint32_t value, bool textForm) {
    if (value == 0xFFFF || (textForm && int32_t(value) == -1))
        return u"0";
    switch (value) {
    case 0:
        return S(ids::FilterPassAll);
    case 1:
        return S(ids::FilterBlockGet);
    case 2:
        return S(ids::FilterBlockAll);
    }
    return decimal(int32_t(value));
}

std::u16string OsVersionRow(uint32_t major, uint32_t minor, const std::u16string& servicePack) {
    unsigned id = ids::OsNotSupported;
    if (major == 5 && minor == 0)
        id = ids::Windows2000;
    else if (major == 5 && minor == 1)
        id = ids::WindowsXp;
    else if (major == 6 && minor == 0)
        id = ids::WindowsVista;
    else if (major == 6 && minor == 1)
        id = ids::Windows7;
    std::u16string text = row(S(ids::OsVersion), S(id));
    if (!servicePack.empty() && servicePack[0] >= u'A')
        text = (text + u"  (" + servicePack.substr(0, 254) + u")").substr(0, 199);
    return text;
}

std::u16string ArchitectureText(uint32_t architecture) {
    switch (architecture) {
    case 0xFFFF:
        return S(ids::Unknown);
    case 0:
        return S(ids::ArchIntel);
    case 6:
        return S(ids::ArchIa64);
    case 9:
        return S(ids::ArchAmd64);
    }
    return decimal(int32_t(architecture));
}

std::u16string EthStateText(uint32_t statusFlags, uint32_t controlStatus) {
    const bool free = (statusFlags >> 8) & 1, available = controlStatus & 1;
    if (free)
        return S(ids::ColumnFree) + u" / " + S(available ? ids::Available : ids::NotAvailable);
    return available ? S(ids::Unknown) : S(ids::Used) + u" / " + S(ids::NotAvailable);
}

std::pair<int, int> SupportColumnWidths(int cx) {
    return {std::max(0, cx / 2 + 24), std::max(0, cx / 2 - 76)};
}

SupportRow BuildCameraPage(const CameraValues& v, bool usb, const win::ProfileText* profile,
                           std::u16string_view section) {
    const uint32_t id = v.Number(u"DeviceId");
    const std::u16string state =
        usb ? S(v.Number(u"DeviceUsed") != 0 ? 115 : 238)
            : EthStateText(v.Number(u"DeviceStatusFlags"), v.Number(u"DeviceControlStatus"));
    SupportRow camera = item(decimal(int32_t(id)) + u"\t" + state, true);
    if (usb) {
        SupportRow& device = add(camera, S(ids::DeviceNode), true);
        addFields(device, v, {u"DeviceCameraId", u"DeviceModel", u"DeviceSerNo", u"DeviceSensorId"});
        if (profile) {
            SupportRow& hubs = add(camera, S(ids::Hub) + u" / " + S(ids::Controller), true);
            addHubChain(hubs, *profile, section);
        }
        addCamInfo(add(camera, S(ids::AdditionalCameraInfo), true), v);
        return camera;
    }
    SupportRow& device = add(camera, S(ids::DeviceNode), true);
    SupportRow& general = add(device, S(ids::GeneralNodeUsb), true);
    addFields(general, v,
              {u"DeviceCameraId", u"DeviceModel", u"DeviceSerNo", u"DeviceFailsafeFirmwareVersion",
               u"DeviceRuntimeFirmwareVersion", u"DeviceStarterFirmwareVersion", u"DeviceUserSpace",
               u"DeviceComportOffset", u"DeviceTemperature", u"DeviceLastReceivedMsgId",
               u"DeviceLastReceivedHeartbeatMsgId", u"DeviceLastAcknowledgedMsgId",
               u"DeviceMissedHeartbeatCnt", u"DeviceWatchdogSkipCounter", u"DeviceRefFlags",
               u"DeviceAtomicRefCnt", u"DeviceInfoFlags", u"DeviceStatusFlags"});
    addBits(general.children.back(), v.Number(u"DeviceStatusFlags"), ids::StatusFlagBits);
    addFields(general, v, {u"DeviceControlStatus"});
    addBits(general.children.back(), v.Number(u"DeviceControlStatus"), ids::ControlStatusBits);
    SupportRow& hardware = add(device, S(ids::Hardware), true);
    addFields(hardware, v,
              {u"DeviceSensorId", u"DeviceType", u"DeviceHousingHeartbeat", u"DeviceTempSensorSerNo",
               u"DeviceFPGAType", u"DevicePhyType", u"DeviceIoVersion", u"DeviceCPLDVersion",
               u"DeviceGeneralBoardVersion", u"DeviceSizeImgMem_MB", u"DeviceRevisionTimingBoard"});
    addCamInfo(add(device, S(ids::AdditionalCameraInfo), true), v);
    addFields(add(device, S(ids::NetworkNodeUsb), true), v,
              {u"DeviceMacAddress", u"DeviceCurrentIpAddress", u"DeviceCurrentIpSubnetmask",
               u"DeviceCurrentIpGateway", u"DevicePersistentIpAddress", u"DevicePersistentIpSubnetmask",
               u"DevicePersistentIpGateway", u"DHCP_Status", u"DHCP_FSM_State", u"DHCP_Server_IP",
               u"DHCP_Lease_Time", u"DHCP_T1_TimeToExpiration", u"DHCP_T2_TimeToExpiration",
               u"DeviceIpRangeBegin", u"DeviceIpRangeEnd", u"DevicePairedMacAddress", u"DeviceIpPairedHost",
               u"DeviceLinkInfo"});
    addFields(add(device, S(ids::SettingsNodeEth), true), v,
              {u"DeviceHeartbeatPeriod_ms", u"DeviceHeartbeatWatchdogLevel", u"DeviceWatchdogSkip"});
    addFields(add(device, S(ids::TransferNode), true), v,
              {u"Transfer_ImgDelay", u"Transfer_ImgTime", u"Transfer_SendWindowSize", u"Transfer_BurstSize",
               u"Transfer_PacketClock_us", u"Transfer_SendWindowDelay"});
    SupportRow& adapter = add(camera, S(ids::LocalNetworkAdapter), true);
    addFields(add(adapter, S(ids::GeneralNodeEth), true), v,
              {u"AdapterName", u"AdapterDriverVersion", u"AdapterDriverDate", u"AdapterDHCPEnabled",
               u"AdapterDevicesKnown", u"AdapterDevicesPaired"});
    addFields(add(adapter, S(ids::NetworkNodeEth), true), v,
              {u"AdapterMacAddress", u"AdapterIpAddress", u"AdapterIpSubnetmask", u"AdapterIpGateway",
               u"AdapterAutoCfgRangeBegin", u"AdapterAutoCfgRangeEnd", u"AdapterAutoCfgRangeValid",
               u"AdapterProbeTimeout"});
    addFields(add(adapter, S(ids::Ports), true), v,
              {u"AdapterPortBase", u"AdapterPortStream", u"AdapterPortCommand", u"AdapterPortUpload",
               u"AdapterPortMessage"});
    addFields(add(adapter, S(ids::SettingsNodeUsb), true), v,
              {u"AdapterMaxPcktSizeDown", u"AdapterMaxPcktSizeUp", u"AdapterMaxFrameSize",
               u"AdapterWatchdogLevel", u"AdapterWatchdogLevelPipFactor", u"AdapterWatchdogLevelFupFactor",
               u"AdapterWatchdogLevelDevice", u"AdapterPairingRefreshPeriod",
               u"AdapterIncomingPacketFilter"});
    addFields(add(camera, S(ids::LocalDriver), true), v,
              {u"DriverEthVer", u"DriverHeartbeatPeriod_ms", u"DriverIncludedStarterFirmware",
               u"DriverIncludedRuntimeFirmware", u"DriverMinStarterFirmwareVersion",
               u"DriverMaxStarterFirmwareVersion"});
    SupportRow& debug = add(camera, S(ids::DebugInfo), true);
    for (const CameraField& f : CameraEntryLayout::fields) {
        if (f.type != FieldType::U32Array)
            continue;
        SupportRow& group = add(debug, S(f.stringId), true);
        for (unsigned j = 0; j < f.units; ++j) {
            const uint32_t value = v.Number(std::u16string(f.name) + u"_" + decimal(j));
            if (f.display == FieldDisplay::Statistics) {
                add(group, row(S(ids::StatisticsNames + j), decimal(int32_t(value))));
                continue;
            }
            char label[8];
            std::snprintf(label, sizeof label, "[%02u]", j);
            add(group, row(ascii(label), ReservedValueText(value)));
        }
    }
    return camera;
}

namespace {

struct DriverRow {
    unsigned label, suffix;
    int bits; // 0, 64 or 32
    const char16_t* key;
};

constexpr DriverRow textDrivers[] = {{ids::FileBootDriver, ids::RoleKernel, 0, u"Usb_Boot_64"},
                                     {ids::FileBootDriver32, ids::RoleKernel, 0, u"Usb_Boot_32"},
                                     {ids::FileUsbDriver, ids::RoleKernel, 0, u"Usb_64"},
                                     {ids::FileUsbDriver32, ids::RoleKernel, 0, u"Usb_32"},
                                     {ids::FileEthDriver, ids::RoleKernel, 0, u"Eth_64"},
                                     {ids::FileEthDriver32, ids::RoleKernel, 0, u"Eth_32"},
                                     {ids::FileComDriver, ids::RoleComPort, 0, u"Com_64"},
                                     {ids::FileComDriver32, ids::RoleComPort, 0, u"Com_32"},
                                     {ids::InterfaceLibraryFile, ids::RoleApi, 0, u"Dll_64"},
                                     {ids::FileApiDll32, ids::RoleApi, 0, u"Dll_32"},
                                     {ids::FileToolsDll, ids::RoleTools, 0, u"Tools_64"},
                                     {ids::FileToolsDll32, ids::RoleTools, 0, u"Tools_32"},
                                     {ids::FileActiveX, ids::RoleActiveX, 64, u"ActiveX_64"},
                                     {ids::FileActiveX, ids::RoleActiveX, 32, u"ActiveX_32"},
                                     {ids::FileDirectShow, ids::RoleDirectShow, 64, u"DirectShow_64"},
                                     {ids::FileDirectShow, ids::RoleDirectShow, 32, u"DirectShow_32"},
                                     {ids::FileLabViewDll32, ids::RoleLabView, 64, u"LabVIEW_64"},
                                     {ids::FileLabViewDll32, ids::RoleLabView, 32, u"LabVIEW_32"},
                                     {ids::FileTwain, ids::RoleTwain, 0, u"Twain"},
                                     {ids::FileHalconDll, ids::RoleHalcon, 0, u"Halcon1"},
                                     {ids::FileHalconParallelDll, ids::RoleHalcon, 0, u"Halcon2"},
                                     {ids::FileHalconXlDll, ids::RoleHalcon, 0, u"Halcon3"},
                                     {ids::FileCvbDriver, ids::RoleCvb, 0, u"CVB"},
                                     {ids::FileNeuroCheckDll, ids::RoleNeuroCheck, 0, u"NeuroCheck"},
                                     {ids::FileCognexDll32, ids::RoleCognex, 0, u"Cognex"},
                                     {ids::FileGenICamProducer, ids::RoleGenICam, 0, u"GenICam"}};

struct BinaryDriverRow {
    unsigned label, suffix, slot;
};
constexpr BinaryDriverRow binaryDrivers[] = {{ids::FileUsbDriver, ids::RoleKernel, 1},
                                             {ids::FileEthDriver, ids::RoleKernel, 0},
                                             {ids::FileComDriver, ids::RoleComPort, 2},
                                             {ids::InterfaceLibraryFile, ids::RoleApi, 4},
                                             {ids::FileApiDll32, ids::RoleApi, 3},
                                             {ids::FileToolsDll32, ids::RoleTools, 5},
                                             {ids::FileActiveX, ids::RoleActiveX, 6},
                                             {ids::FileDirectShow, ids::RoleDirectShow, 7},
                                             {ids::FileTwain, ids::RoleTwain, 8},
                                             {ids::FileHalconDll, ids::RoleHalcon, 9},
                                             {ids::FileHalconParallelDll, ids::RoleHalcon, 10},
                                             {ids::FileHalconXlDll, ids::RoleHalcon, 37},
                                             {ids::FileLabViewDll32, ids::RoleLabView, 11},
                                             {ids::FileCvbDriver, ids::RoleCvb, 13},
                                             {ids::FileNeuroCheckDll, ids::RoleNeuroCheck, 12},
                                             {ids::FileCognexDll32, ids::RoleCognex, 38}};

std::u16string driverRow(unsigned label, int bits, const std::u16string& value, unsigned suffix) {
    std::u16string name = S(label);
    if (bits)
        name += bits == 64 ? u"  (64 bit)" : u"  (32 bit)";
    return row(name, value + u"  " + S(suffix));
}

// A value that a cut text file does not hold is shown empty, never as what 0 would mean.
using Held = std::optional<uint32_t>;

std::u16string heldDecimal(Held value) {
    return value ? decimal(int32_t(*value)) : std::u16string();
}

SupportRow systemGroup(Held major, Held minor, const std::u16string& servicePack, Held architecture,
                       Held processors, Held mask) {
    SupportRow system = item(S(ids::SystemInformation), true);
    add(system, major && minor ? OsVersionRow(*major, *minor, servicePack) : row(S(ids::OsVersion), u""));
    add(system, row(S(ids::ProcessorArchitecture), architecture ? ArchitectureText(*architecture) : u""));
    add(system, row(S(ids::ProcessorCount), heldDecimal(processors)));
    add(system, row(S(ids::ActiveProcessorMask), heldDecimal(mask)));
    return system;
}

struct AdapterRows {
    std::u16string name, version, date, mac, ip, mask;
    Held dhcp;
};

SupportRow adapterItem(const AdapterRows& a) {
    SupportRow r = item(a.name);
    add(r, row(S(ids::DriverVersion), a.version));
    add(r, row(S(ids::DriverDate), a.date));
    add(r, row(S(ids::AdapterMacAddress), a.mac));
    add(r, row(S(ids::AdapterIpAddress), a.ip));
    add(r, row(S(ids::AdapterIpSubnetmask), a.mask));
    add(r, row(S(ids::DhcpEnabled), a.dhcp ? S(*a.dhcp ? ids::Yes : ids::No) : u""));
    return r;
}

SupportRow controllerGroup(const win::ProfileText* profile) {
    SupportRow group = item(S(ids::UsbControllers), true);
    if (!profile)
        return group;
    static const char16_t* const kinds[] = {u"1.0", u"1.1", u"2.0", u"3.0"};
    for (size_t kind = 0; kind < 4; ++kind) {
        const int count = std::min(supportCountCap,
                                   profile->number(u"USB hostcontrollers", supportControllerKinds[kind], 0));
        if (count <= 0)
            continue;
        SupportRow& sub = add(group, kinds[kind], true);
        for (int i = 0; i < count; ++i)
            add(sub, HeldProfileText(*profile, supportControllerKinds[kind], decimal(i)));
    }
    return group;
}

SupportRow& root(std::vector<SupportRow>& rows, std::array<int, 2>& roots, int group) {
    if (roots[group] < 0) {
        roots[group] = int(rows.size());
        rows.push_back(item(S(group == 0 ? ids::UsbTag : ids::EthTag), true));
        rows.back().expanded = true;
    }
    return rows[size_t(roots[group])];
}

} // namespace

std::vector<SupportRow> BuildPagesFromProfile(const win::ProfileText& profile, bool* incomplete,
                                              SupportFileCut* cut) {
    SupportFileCut where = SupportFileCut::None;
    std::vector<SupportRow> rows;
    std::array<int, 2> roots{-1, -1};
    for (int group = 0; group < 2; ++group) {
        const int count =
            std::min(supportCountCap, profile.number(u"Number of cameras", group == 0 ? u"USB" : u"ETH", 0));
        if (count <= 0)
            continue;
        root(rows, roots, group);
        for (int n = 0; n < count; ++n) {
            const std::u16string section = (group == 0 ? u"USB - " : u"ETH - ") + decimal(n);
            // The last section of the text may be cut; it is whole when it holds its last key.
            const char16_t* const lastKey = supportCameraLastKeys[size_t(group)];
            const bool wholeAtEnd = profile.endsWithLineEnd() && profile.find(section, lastKey) &&
                                    !profile.isCut(section, lastKey);
            if (!profile.hasSection(section) || (profile.isLastSection(section) && !wholeAtEnd)) {
                where = SupportFileCut::Cameras;
                break;
            }
            ProfileCameraValues values(profile, section);
            SupportRow page = BuildCameraPage(values, group == 0, &profile, section);
            root(rows, roots, group).children.push_back(std::move(page));
        }
    }
    // Everything after the cameras is written with every key, each line with its end: a cut at a
    // line end leaves a section or a key out, a cut inside a line leaves the last value part-held.
    // The first part that misses something is where the file ends.
    auto missing = [&](SupportFileCut part) {
        if (where == SupportFileCut::None)
            where = part;
    };
    auto held = [&](SupportFileCut part, std::u16string_view section, std::u16string_view key) {
        const bool found = profile.find(section, key) != nullptr && !profile.isCut(section, key);
        if (!found)
            missing(part);
        return found;
    };
    for (size_t i = 0; i < supportDriverCount; ++i)
        held(SupportFileCut::Drivers, u"Installed drivers", supportDriverKeys[i]);
    SupportRow drivers = item(S(ids::InstalledDrivers), true);
    for (const DriverRow& d : textDrivers)
        add(drivers,
            driverRow(d.label, d.bits, ReadProfileText(profile, u"Installed drivers", d.key), d.suffix));
    rows.push_back(std::move(drivers));
    for (const char16_t* key : {u"dwBuildNumber", u"dwPlatformId"})
        held(SupportFileCut::System, u"System information", key);
    const std::u16string sp = held(SupportFileCut::System, u"System information", u"CSDVersion")
                                  ? ReadProfileText(profile, u"System information", u"CSDVersion")
                                  : std::u16string();
    auto number = [&](const char16_t* key) -> Held {
        if (!held(SupportFileCut::System, u"System information", key))
            return std::nullopt;
        return uint32_t(profile.number(u"System information", key, 0));
    };
    const Held major = number(u"dwMajorVersion"), minor = number(u"dwMinorVersion");
    const Held architecture = number(u"ProcessorArchitecture"), processors = number(u"NumberOfProcessors");
    rows.push_back(systemGroup(major, minor, sp, architecture, processors, number(u"ActiveProcessorMask")));
    const bool adapterSection = held(SupportFileCut::Adapters, u"Network adapters", u"Number");
    const int adapters =
        adapterSection ? std::min(supportCountCap, profile.number(u"Network adapters", u"Number", 0)) : 0;
    if (adapters > 0 || !adapterSection) {
        SupportRow group = item(S(ids::NetworkAdapterInformation), true);
        for (int i = 0; i < adapters; ++i) {
            const std::u16string section = u"Adapter - " + decimal(i);
            auto text = [&](const char16_t* key) {
                held(SupportFileCut::Adapters, section, key);
                return HeldProfileText(profile, section, key);
            };
            Held dhcp;
            if (held(SupportFileCut::Adapters, section, u"DHCP"))
                dhcp = uint32_t(profile.number(section, u"DHCP", 0));
            group.children.push_back(
                adapterItem({text(u"Name"), text(u"DriverVersion"), text(u"DriverDate"), text(u"MacAddress"),
                             text(u"IpAddress"), text(u"IpSubnetmask"), dhcp}));
        }
        rows.push_back(std::move(group));
    }
    for (size_t kind = 0; kind < 4; ++kind) {
        // A kind's section is written even when it counts no controller.
        if (!held(SupportFileCut::Controllers, u"USB hostcontrollers", supportControllerKinds[kind]) ||
            !profile.hasSection(supportControllerKinds[kind])) {
            missing(SupportFileCut::Controllers);
            continue;
        }
        const int count = std::min(supportCountCap,
                                   profile.number(u"USB hostcontrollers", supportControllerKinds[kind], 0));
        for (int i = 0; i < count; ++i)
            held(SupportFileCut::Controllers, supportControllerKinds[kind], decimal(i));
    }
    rows.push_back(controllerGroup(&profile));
    // A last line cut after every key was read: the file ends in its last part.
    if (!profile.endsWithLineEnd())
        missing(SupportFileCut::Controllers);
    if (incomplete)
        *incomplete = where != SupportFileCut::None;
    if (cut)
        *cut = where;
    return rows;
}

std::vector<SupportRow> BuildPagesFromBinary(const BinarySupportFile& file) {
    std::vector<SupportRow> rows;
    std::array<int, 2> roots{-1, -1};
    for (int group = 0; group < 2; ++group) {
        if (file.groupPresent[size_t(group)])
            root(rows, roots, group);
        for (const BinaryCamera& camera : file.groups[size_t(group)]) {
            RecordCameraValues values(camera);
            const bool usb = values.Number(u"DeviceId") < 1000;
            // A camera whose own group root was not made (its count was 0) gets that root now.
            SupportRow page = BuildCameraPage(values, usb, nullptr, {});
            root(rows, roots, usb ? 0 : 1).children.push_back(std::move(page));
        }
    }
    if (file.hasDrivers) {
        SupportRow drivers = item(S(ids::InstalledDrivers), true);
        for (const BinaryDriverRow& d : binaryDrivers)
            add(drivers, driverRow(d.label, 0, readText(file.drivers.data() + 40 * d.slot, 20), d.suffix));
        rows.push_back(std::move(drivers));
    }
    if (file.hasSystem) {
        const uint8_t* s = file.system.data();
        rows.push_back(systemGroup(readLE(s + 20, 4), readLE(s + 24, 4), readText(s + 36, 128), readLE(s, 2),
                                   readLE(s + 4, 4), readLE(s + 8, 4)));
    }
    if (!file.adapters.empty()) {
        SupportRow group = item(S(ids::NetworkAdapterInformation), true);
        for (const auto& a : file.adapters)
            group.children.push_back(adapterItem(
                {readText(a.data(), 200), readText(a.data() + 524, 20),
                 readText(a.data() + 564, (supportAdapterRecordSize - 564) / 2), readText(a.data() + 400, 20),
                 readText(a.data() + 440, 20), readText(a.data() + 480, 20), readLE(a.data() + 520, 4)}));
        rows.push_back(std::move(group));
    }
    rows.push_back(controllerGroup(nullptr));
    return rows;
}
