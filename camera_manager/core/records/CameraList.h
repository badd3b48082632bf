#pragma once

// The cameras of one kind (USB or GigE), owned by the list. The main dialog keeps two and
// refills them on every refresh; a pointer to an entry is valid until the next Clear.

#include "camera_manager/core/records/CameraEntry.h"

#include <cstdint>
#include <memory>
#include <vector>

class CameraList {
public:
    CameraList() = default;
    CameraList(const CameraList&) = delete;
    CameraList& operator=(const CameraList&) = delete;

    void Clear() { entries_.clear(); }
    size_t GetCount() const { return entries_.size(); }
    // index below GetCount().
    CameraEntry* At(size_t index) const { return entries_[index].get(); }
    // The first entry with the device id; false when none has it.
    bool FindByDeviceId(uint32_t deviceId, CameraEntry** entry) const;
    void Append(std::unique_ptr<CameraEntry> entry) { entries_.push_back(std::move(entry)); }
    void Swap(CameraList& other) { entries_.swap(other.entries_); }

private:
    std::vector<std::unique_ptr<CameraEntry>> entries_;
};

// Which cameras FillCameraList takes: USB (device id below 1000, UsbEnumIndex = the record's
// position in the whole list) or GigE (1000 and above, UsbEnumIndex 0).
enum FillMode { FillUsb = 0, FillGigE = 1 };

// The camera-list function: a u32 count (0 asks for the count), then count 112-byte records.
typedef int (*CameraListFunction)(void* list);

// Appends the cameras of the mode (the list is not cleared first). False when a list call
// fails; the list then keeps what it held. Reads no more records than the room it gave.
bool FillCameraList(CameraList& list, FillMode mode, CameraListFunction listFunction = nullptr);
