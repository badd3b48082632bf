#include "platform/win/NetworkSetup.h"

#include "platform/win/Adapters.h"
#include "platform/win/NetworkBindings.h"
#include "platform/win/RegistryStore.h"
#include "platform/win/UnreadableFiles.h"
#include "platform/win/WideText.h"

#include <cstdio>
#include <optional>

namespace win {

const char16_t networkSetupServiceBindName[] = u"zk_eth";

namespace {

const char16_t networkClassGuid[] = u"{4D36E972-E325-11CE-BFC1-08002bE10318}";
const char16_t classKey[] =
    u"SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002bE10318}\\";
const char16_t deviceKey[] = u"SYSTEM\\CurrentControlSet\\Enum\\";
const char16_t deviceFolder[] = u"ROOT\\NET\\";
const char16_t interfacesKey[] = u"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\";
constexpr unsigned lockTimeoutMs = 5000;
constexpr int classNumbers = 10000;

RegistryStore& machine() {
    return RegistryStore::instance(RegistryStore::Hive::LocalMachine);
}

bool usableName(const std::string& name) {
    if (name.empty())
        return false;
    for (unsigned char c : name)
        if (c == '\\' || c < 0x20 || c == 0x7F)
            return false;
    return true;
}

// Tabs and line ends cannot stand in the configuration's fields.
std::u16string plainText(const std::string& text) {
    std::u16string plain = fromUtf8(text);
    for (char16_t& c : plain)
        if (c == u'\t' || c == u'\r' || c == u'\n')
            c = u' ';
    return plain;
}

std::u16string classNumber(int number) {
    char text[8];
    std::snprintf(text, sizeof text, "%04d", number);
    return fromUtf8(text);
}

// The number of the class subkey whose "NetCfgInstanceId" names the adapter.
std::optional<std::u16string> existingClassSubkey(const std::u16string& adapterName) {
    const std::u16string root = classKey;
    for (const std::u16string& sub : machine().subkeys(root.substr(0, root.size() - 1))) {
        RegistryStore::Value value;
        if (machine().getValue(root + sub, u"NetCfgInstanceId", value) &&
            RegistryStore::textOf(value) == adapterName)
            return sub;
    }
    return std::nullopt;
}

std::optional<std::u16string> freeClassSubkey() {
    for (int number = 0; number < classNumbers; ++number) {
        const std::u16string sub = classNumber(number);
        if (!machine().keyExists(classKey + sub) && !machine().keyExists(deviceKey + (deviceFolder + sub)))
            return sub;
    }
    return std::nullopt;
}

// The class subkey number of a device-instance identifier that this setup made ("ROOT\NET\NNNN").
std::optional<std::u16string> subkeyOfDevice(const std::u16string& device) {
    const std::u16string folder = deviceFolder;
    if (device.size() != folder.size() + 4 || device.compare(0, folder.size(), folder) != 0)
        return std::nullopt;
    const std::u16string sub = device.substr(folder.size());
    for (char16_t c : sub)
        if (c < u'0' || c > u'9')
            return std::nullopt;
    return sub;
}

// Writes the adapter's missing keys; its device-instance identifier through *device. A new class
// subkey takes the number given (free, checked by the caller), else the lowest free one.
bool registerAdapter(const AdapterRecord& adapter, std::u16string& device,
                     const std::u16string& number = {}) {
    const std::u16string name = fromUtf8(adapter.name);
    std::optional<std::u16string> sub = existingClassSubkey(name);
    if (!sub) {
        sub = number.empty() ? freeClassSubkey() : std::optional<std::u16string>(number);
        if (!sub || !machine().setValue(classKey + *sub, RegistryStore::textValue(u"NetCfgInstanceId", name)))
            return false;
        if (!adapter.driverVersion.empty() &&
            !machine().setValue(classKey + *sub,
                                RegistryStore::textValue(u"DriverVersion", fromUtf8(adapter.driverVersion))))
            return false;
    }
    device = deviceFolder + *sub;
    if (!machine().keyExists(deviceKey + device) &&
        !machine().setValue(
            deviceKey + device,
            RegistryStore::textValue(u"Driver", std::u16string(networkClassGuid) + u"\\" + *sub)))
        return false;
    const std::u16string interfaceKey = interfacesKey + name;
    if (machine().keyExists(interfaceKey))
        return true;
    const std::u16string ip = fromUtf8(adapter.ipAddress.empty() ? "0.0.0.0" : adapter.ipAddress);
    const std::u16string mask = fromUtf8(adapter.ipMask.empty() ? "0.0.0.0" : adapter.ipMask);
    return machine().setValue(interfaceKey, RegistryStore::dwordValue(u"EnableDHCP", 0)) &&
           machine().setValue(interfaceKey, RegistryStore::textValue(u"IPAddress", ip)) &&
           machine().setValue(interfaceKey, RegistryStore::textValue(u"SubnetMask", mask));
}

} // namespace

namespace {

// A stored configuration that every program can read; one that cannot be read is set aside (the
// lock held), so that the setup writes a new one instead of each start reporting "not installed".
bool usableConfigurationStored(bool lockHeld) {
    if (!NetConfigurationStored())
        return false;
    const std::optional<std::string> text = ReadNetConfigurationText();
    if (!text)
        return true; // unreadable for now (permissions): never overwritten
    const std::optional<FileProblem> problem = NetConfigurationProblem(*text);
    if (!problem)
        return true;
    if (!lockHeld)
        return false;
    // Kept when it cannot be renamed: a file is never replaced unseen.
    return !KeepUnreadableAside(NetConfigurationPath(), *problem);
}

// The adapters of a stored configuration that are still present get the registry keys they lack
// again: a machine registry that was set aside took them along, and without them the service
// dialog finds no address for an adapter that the configuration still binds.
void registerConfiguredAdapters() {
    const NetConfiguration configuration = ReadNetConfiguration();
    for (const AdapterRecord& adapter : currentAdapters()) {
        if (!usableName(adapter.name))
            continue;
        const std::u16string name = fromUtf8(adapter.name);
        for (const NetAdapterComponent& component : configuration.adapters) {
            // Devices that this setup did not name are another setup's business.
            const std::optional<std::u16string> sub = subkeyOfDevice(component.pnpDeviceId);
            if (component.bindName != name || !sub)
                continue;
            // Under the number the configuration leads to; one that something else took now is
            // left alone rather than pointed at another adapter's keys.
            if (!existingClassSubkey(name) && (machine().keyExists(classKey + *sub) ||
                                               machine().keyExists(deviceKey + component.pnpDeviceId)))
                continue;
            std::u16string device;
            registerAdapter(adapter, device, *sub);
        }
    }
}

} // namespace

bool EnsureNetworkSetup(const std::u16string& serviceDisplayName) {
    if (usableConfigurationStored(false)) {
        registerConfiguredAdapters();
        return false;
    }
    NetConfigWriteLock lock;
    // Another program may have written it while this one waited.
    if (!lock.Acquire(lockTimeoutMs, u"Zeko network setup") || usableConfigurationStored(true))
        return false;
    NetConfiguration configuration;
    NetServiceComponent service{networkSetupServiceBindName, serviceDisplayName, {}};
    for (const AdapterRecord& adapter : currentAdapters()) {
        if (!usableName(adapter.name))
            continue;
        std::u16string device;
        // A failed write leaves no configuration, so that the next start tries again.
        if (!registerAdapter(adapter, device))
            return false;
        const std::u16string name = fromUtf8(adapter.name);
        configuration.adapters.push_back(
            {name, plainText(adapter.description.empty() ? adapter.name : adapter.description), device});
        service.paths.push_back({service.bindName + u"->" + name, name, true});
    }
    configuration.services.push_back(std::move(service));
    return WriteNetConfiguration(lock, configuration);
}

} // namespace win
