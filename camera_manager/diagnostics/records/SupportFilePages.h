#pragma once

// The support-file viewer's rows, built as plain data from either file form: one camera item
// with its groups per camera, then installed drivers, system information, network adapters and
// USB host controllers. A value row's text is "label\tvalue", cut to 199 characters.

#include "camera_manager/diagnostics/records/SupportFileOpening.h"
#include "platform/win/ProfileText.h"

#include <string>
#include <vector>

struct SupportRow {
    std::u16string text;
    bool bold = false;
    bool expanded = false;
    std::vector<SupportRow> children;
};

// Counts read from a file are capped here (far above any real machine).
constexpr int supportCountCap = 1024;

// Where a camera page takes its values: the text form's section or the binary form's records.
class CameraValues {
public:
    virtual ~CameraValues() = default;
    virtual uint32_t Number(std::u16string_view key) const = 0;
    // Missing: "-1"; empty: "-".
    virtual std::u16string Text(std::u16string_view key) const = 0;
    virtual bool TextForm() const = 0;
};

class ProfileCameraValues : public CameraValues {
public:
    ProfileCameraValues(const win::ProfileText& profile, std::u16string section)
        : profile(profile), section(std::move(section)) {}
    uint32_t Number(std::u16string_view key) const override;
    std::u16string Text(std::u16string_view key) const override;
    bool TextForm() const override { return true; }

private:
    const win::ProfileText& profile;
    std::u16string section;
};

class RecordCameraValues : public CameraValues {
public:
    explicit RecordCameraValues(const BinaryCamera& camera) : camera(camera) {}
    uint32_t Number(std::u16string_view key) const override;
    std::u16string Text(std::u16string_view key) const override;
    bool TextForm() const override { return false; }

private:
    const BinaryCamera& camera;
};

// ReadProfileText: the value, "-1" when missing, "-" when empty; at most 255 characters.
std::u16string ReadProfileText(const win::ProfileText& profile, std::u16string_view section,
                               std::u16string_view key);

// The camera item with its groups; usb says which page (text form: the group; binary form:
// DeviceId below 1000).
SupportRow BuildCameraPage(const CameraValues& values, bool usb, const win::ProfileText* hubSection,
                           std::u16string_view section);

// The value when the text holds it whole, else empty (missing, or on a last line cut short).
std::u16string HeldProfileText(const win::ProfileText& profile, std::u16string_view section,
                               std::u16string_view key);

// A camera page is built only from a section that the text holds whole (a later section
// follows it), so a file cut short shows the cameras before the cut; after the cameras a value
// the text does not hold whole is shown empty. incomplete (when given) tells whether the text
// was cut anywhere, cut (when given) where.
std::vector<SupportRow> BuildPagesFromProfile(const win::ProfileText& profile, bool* incomplete = nullptr,
                                              SupportFileCut* cut = nullptr);
std::vector<SupportRow> BuildPagesFromBinary(const BinarySupportFile& file);

// Value texts of the special kinds.
std::u16string TemperatureText(uint32_t stored);
std::u16string FirmwareText(uint32_t version);
std::u16string CpldText(uint32_t version);
std::u16string ModelText(const std::u16string& model);
std::u16string ReservedValueText(uint32_t value); // "%d - %#010x"
std::u16string PacketFilterText(uint32_t value, bool textForm);
std::u16string OsVersionRow(uint32_t major, uint32_t minor, const std::u16string& servicePack);
std::u16string ArchitectureText(uint32_t architecture);
std::u16string EthStateText(uint32_t statusFlags, uint32_t controlStatus);

// Column widths of the viewer for a client width cx (never below 0).
std::pair<int, int> SupportColumnWidths(int cx);
