#pragma once

// The host's network configuration as the camera manager sees it: network adapters, network
// services and the services' binding paths to the adapters. Kept in one file (zeko_netcfg.txt)
// in the registry's folder (ZEKO_REGISTRY_DIR); nothing here touches the host's network.
//
// Reading needs no lock. Changing needs the configuration's write lock, which one holder at a
// time owns across all processes (flock on zeko_netcfg.lock). The holder records its name, so
// that a program that finds the configuration locked can say who holds it. Changes are written
// to a temporary file that is renamed into place.

#include "platform/win/UnreadableFiles.h"

#include <optional>
#include <string>
#include <vector>

namespace win {

// A network adapter: the name the bindings use for it (its instance identifier), the name
// shown to users and its device-instance identifier (a key below Enum in the machine registry).
struct NetAdapterComponent {
    std::u16string bindName;
    std::u16string displayName;
    std::u16string pnpDeviceId;
};

// One binding path of a service to an adapter: its token (unique in the configuration), the
// adapter's bind name and whether the binding is enabled.
struct NetBindingPath {
    std::u16string token;
    std::u16string lowerBindName;
    bool enabled = true;
};

struct NetServiceComponent {
    std::u16string bindName;
    std::u16string displayName;
    std::vector<NetBindingPath> paths;
};

struct NetConfiguration {
    std::vector<NetAdapterComponent> adapters;
    std::vector<NetServiceComponent> services;

    const NetAdapterComponent* adapter(const std::u16string& bindName) const;
    const NetServiceComponent* serviceByDisplayName(const std::u16string& displayName) const;
    // The binding path with the token, in any service; its service through *service.
    const NetBindingPath* path(const std::u16string& token,
                               const NetServiceComponent** service = nullptr) const;
};

// Whether a configuration file is stored (even one that cannot be read).
bool NetConfigurationStored();
// The stored configuration (empty when nothing is stored or the file cannot be read).
NetConfiguration ReadNetConfiguration();

// The configuration's write lock. One object is one would-be holder; the lock is released when
// the object goes away.
class NetConfigWriteLock {
public:
    NetConfigWriteLock() = default;
    NetConfigWriteLock(const NetConfigWriteLock&) = delete;
    NetConfigWriteLock& operator=(const NetConfigWriteLock&) = delete;
    ~NetConfigWriteLock();

    // Whether someone else holds the lock now; *holder then gets the holder's name.
    bool IsWriteLocked(std::u16string* holder) const;
    // Waits at most timeoutMs for the lock and records clientName as its holder. False on a
    // time-out or when the lock file cannot be opened.
    bool Acquire(unsigned timeoutMs, const std::u16string& clientName);
    void Release();
    bool Held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

// Changes; each needs a held write lock and is false without one, when nothing matches or when
// the file cannot be written.
bool SetBindingPathEnabled(const NetConfigWriteLock& lock, const std::u16string& token, bool enable);
bool WriteNetConfiguration(const NetConfigWriteLock& lock, const NetConfiguration& configuration);

// The file's text form and back (exposed for tests). Tabs and line ends inside texts are
// refused by the writer, so every record reads back as it was written.
std::optional<std::string> SerialiseNetConfiguration(const NetConfiguration& configuration);
NetConfiguration ParseNetConfiguration(const std::string& text);
// What is wrong with the file's text (a record of unknown kind or with the wrong number of
// fields, a binding before its service, a last line cut short, no service at all); none when
// every record reads.
std::optional<FileProblem> NetConfigurationProblem(const std::string& text);
// The stored file and its text (none when it cannot be read).
std::string NetConfigurationPath();
std::optional<std::string> ReadNetConfigurationText();

} // namespace win
