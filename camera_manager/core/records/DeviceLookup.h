#pragma once

// Look-ups in the machine's registry: values of driver and device keys, and the device
// instances that lead from a USB camera up to its hub and controller.

#include <cstddef>
#include <string>

typedef char16_t WCHAR;

// The REG_SZ value of a key under HKEY_LOCAL_MACHINE, cut to the buffer (always terminated);
// false when the key or value is missing.
bool ReadRegistryString(const std::u16string& keyPath, const std::u16string& valueName, WCHAR* buffer,
                        size_t bytes);

// The parent-id part and the port digit of a device instance name such as
// "USB\VID_5C2E&PID_1001\6&1a2b3c4&0&2" (false when it does not have the form). Letters of
// the fixed parts match in either case.
bool MatchUsbInstance(const std::u16string& instance, std::u16string& parentId, std::u16string& port);
// The same of an instance key name that ends in "6&1a2b3c4&0" or "6&1a2b3c4&0&2".
bool MatchInstanceName(const std::u16string& name, std::u16string& parentId, std::u16string& port);

// The instance of the USB camera with the enumeration index, as the driver's "enum" key lists it:
// its parent-id part and port digit. False when the value is missing or not a camera instance.
bool FindUsbDeviceInstance(unsigned index, WCHAR* parentId, size_t parentBytes, WCHAR* port,
                           size_t portBytes);

// The device instance below the enumeration key whose "ParentIdPrefix" equals prefix: its own
// parent-id part, port digit and key path. When several match the last one wins.
bool FindDeviceByParentIdPrefix(const std::u16string& enumKey, const std::u16string& prefix, WCHAR* parentId,
                                size_t parentBytes, WCHAR* port, size_t portBytes, WCHAR* keyPath,
                                size_t keyBytes);
