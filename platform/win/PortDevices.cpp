#include "platform/win/PortDevices.h"

#include "platform/common/FileReplacement.h"
#include "platform/win/RegistryStore.h"
#include "platform/win/UnreadableFiles.h"
#include "platform/win/WideText.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <mutex>
#include <set>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::atomic<int> installFailures{0};
std::atomic<int> removalFailures{0};
std::mutex processLock;

// The program holding a claim made through the database: a claim lives only as long as its
// owner, so a program that dies between claiming and releasing (a crash, a SIGKILL, a logout)
// leaves no number taken. Process ids are reused, so the owner's start time is kept beside
// its id. A claim with no owner (a device's, or one written by hand) stays until released.
struct ClaimOwner {
    long pid = 0;
    unsigned long long started = 0;
};

// The start time of process pid (field 22 of /proc/<pid>/stat), 0 when it does not run.
unsigned long long processStart(long pid) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    std::string stat;
    std::getline(file, stat);
    const size_t name = stat.rfind(')'); // the command name may hold spaces and parentheses
    if (name == std::string::npos)
        return 0;
    std::istringstream fields(stat.substr(name + 1));
    std::string field;
    for (int n = 3; n <= 22 && fields >> field; ++n)
        if (n == 22)
            return std::strtoull(field.c_str(), nullptr, 10);
    return 0;
}

ClaimOwner thisProcess() {
    // Looked up again in a forked child, which is a process of its own.
    thread_local ClaimOwner self;
    const long pid = static_cast<long>(::getpid());
    if (self.pid != pid)
        self = {pid, processStart(pid)};
    return self;
}

struct PortState {
    std::set<uint32_t> claimed;
    std::map<uint32_t, ClaimOwner> owners; // claims held by a running program
    std::vector<win::PortDevice> devices;
    std::map<uint32_t, std::string> serialDevices; // real devices: COM number -> path
    uint32_t nextInstance = 1;
    bool endedClaims = false; // claims of ended programs were left out when the file was read
    bool junkDropped = false; // device lines without a number were left out
};

// Why the last change could not be saved; taken by the caller that tells the user.
std::mutex failureLock;
std::optional<win::PortStoreFailure> lastFailure;

void noteFailure(win::PortStoreFailure failure) {
    std::lock_guard guard(failureLock);
    lastFailure = std::move(failure);
}

std::string storePath() {
    return win::RegistryStore::folder() + "/zeko_ports.txt";
}

// One line per entry; fields of a device are separated by tabs, which no field holds.
PortState parseState(const std::string& text) {
    PortState state;
    std::map<long, unsigned long long> running; // one look at /proc for each owner
    std::istringstream file(text);
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream in(line);
        std::string kind;
        std::getline(in, kind, '\t');
        if (kind == "next") {
            in >> state.nextInstance;
        } else if (kind == "claimed") {
            // "claimed<TAB>n", or "claimed<TAB>n<TAB>pid<TAB>start" for a program's claim.
            uint32_t port = 0;
            if (!(in >> port) || port < 1 || port > COMDB_MAX_PORTS)
                continue;
            ClaimOwner owner;
            if (in >> owner.pid >> owner.started) {
                auto known = running.find(owner.pid);
                if (known == running.end())
                    known = running.emplace(owner.pid, owner.pid > 0 ? processStart(owner.pid) : 0).first;
                if (known->second != owner.started) {
                    state.endedClaims = true; // its program has ended: the number is free again
                    continue;
                }
                state.owners[port] = owner;
            }
            state.claimed.insert(port);
        } else if (kind == "serial") {
            // A real serial device given a COM number by hand: "serial<TAB>n<TAB>path".
            uint32_t port = 0;
            std::string path;
            if (in >> port && in.get() == '\t' && std::getline(in, path) && !path.empty() && port >= 1 &&
                port <= COMDB_MAX_PORTS) {
                state.serialDevices[port] = path;
                state.claimed.insert(port);
            }
        } else if (kind == "device") {
            win::PortDevice device;
            std::string instance, port, hardwareId, friendlyName;
            std::getline(in, instance, '\t');
            std::getline(in, port, '\t');
            std::getline(in, hardwareId, '\t');
            std::getline(in, friendlyName, '\t');
            std::getline(in, device.devicePath);
            device.instance = static_cast<uint32_t>(std::strtoul(instance.c_str(), nullptr, 10));
            device.port = static_cast<uint32_t>(std::strtoul(port.c_str(), nullptr, 10));
            // A device without a number (a line written by hand, or cut) can be neither opened nor
            // removed by its number: it would stay in the store for good.
            if (device.instance == 0 || device.port < 1 || device.port > COMDB_MAX_PORTS) {
                state.junkDropped = true;
                continue;
            }
            device.hardwareId = win::fromUtf8(hardwareId);
            device.friendlyName = win::fromUtf8(friendlyName);
            state.devices.push_back(device);
        }
    }
    return state;
}

// Reads the stored state; false when the store cannot be read (a folder or a pipe in its place,
// no permission), and then nothing may be saved over it. A store that cannot be understood is
// set aside when lockHeld, as the registry's files are, and the state starts empty.
bool readState(PortState& state, bool lockHeld) {
    state = PortState();
    std::string text;
    switch (win::ReadStore(storePath(), text)) {
    case StoreFileRead::Missing:
        return true;
    case StoreFileRead::Read:
        break;
    default:
        return false;
    }
    if (const std::optional<win::FileProblem> problem = win::PortStoreProblem(text)) {
        if (lockHeld && win::KeepUnreadableAside(storePath(), *problem))
            return true;
    }
    state = parseState(text);
    return true;
}

bool writeState(const PortState& state) {
    std::ostringstream text;
    text << "next\t" << state.nextInstance << "\n";
    for (uint32_t port : state.claimed) {
        text << "claimed\t" << port;
        if (auto owner = state.owners.find(port); owner != state.owners.end())
            text << "\t" << owner->second.pid << "\t" << owner->second.started;
        text << "\n";
    }
    for (const auto& [port, path] : state.serialDevices)
        text << "serial\t" << port << "\t" << path << "\n";
    for (const win::PortDevice& device : state.devices)
        text << "device\t" << device.instance << "\t" << device.port << "\t" << win::toUtf8(device.hardwareId)
             << "\t" << win::toUtf8(device.friendlyName) << "\t" << device.devicePath << "\n";
    FileReplacement failure;
    if (FileReplacement::replace(storePath(), text.str(), {}, &failure))
        return true;
    noteFailure({storePath(), win::PortStoreFailure::Cause::Error, failure.failedErrno()});
    return false;
}

// Runs change on the stored state under the store's lock; writes the state when change says it
// changed something. The result is change's, or false when the store cannot be written. A store
// that can be read is read also where it cannot be written (a read-only folder, another user's
// lock file): what it holds is shown even when nothing can be changed.
template <typename Change> bool changeState(Change change) {
    std::lock_guard guard(processLock);
    std::string folder = win::RegistryStore::folder();
    ::mkdir(folder.c_str(), 0700);
    const std::string lockPath = folder + "/zeko_ports.lock";
    int lock = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0600);
    const int lockError = errno;
    if (lock < 0)
        lock = ::open(lockPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC); // flock needs no write
    if (lock >= 0)
        while (::flock(lock, LOCK_EX) != 0 && errno == EINTR) {
        }
    // Without a lock file the store is read all the same: it is only ever replaced whole. With
    // neither, there is no database.
    if (lock < 0 && ::access(storePath().c_str(), F_OK) != 0)
        return false;
    PortState state;
    const bool readable = readState(state, lock >= 0);
    const int readError = errno;
    bool changed = false;
    bool result = change(state, changed);
    if (changed) {
        if (!readable) {
            const StoreFileRead kind = storeFileKind(storePath());
            if (kind == StoreFileRead::Folder || kind == StoreFileRead::NotAFile)
                noteFailure({storePath(),
                             kind == StoreFileRead::Folder ? win::PortStoreFailure::Cause::Folder
                                                           : win::PortStoreFailure::Cause::NotAFile,
                             0});
            else
                noteFailure(
                    {storePath(), win::PortStoreFailure::Cause::Error, readError ? readError : EACCES});
            result = false;
        } else if (lock < 0) {
            noteFailure({storePath(), win::PortStoreFailure::Cause::Error, lockError});
            result = false;
        } else if (!writeState(state)) {
            result = false;
        }
    } else if (readable && lock >= 0 && (state.endedClaims || state.junkDropped)) {
        writeState(state); // tidying up; the call's result does not depend on it
        std::lock_guard failures(failureLock);
        lastFailure.reset();
    }
    if (lock >= 0) {
        ::flock(lock, LOCK_UN);
        ::close(lock);
    }
    return result;
}

bool validPort(DWORD port) {
    return port >= 1 && port <= COMDB_MAX_PORTS;
}

} // namespace

LONG ComDBOpen(HCOMDB* database) {
    if (!database)
        return ERROR_INVALID_PARAMETER;
    bool ok = changeState([](PortState&, bool&) { return true; });
    *database = ok ? reinterpret_cast<HCOMDB>(uintptr_t{1}) : HCOMDB_INVALID_HANDLE_VALUE;
    return ok ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

LONG ComDBClose(HCOMDB database) {
    return database == HCOMDB_INVALID_HANDLE_VALUE || !database ? ERROR_INVALID_HANDLE : ERROR_SUCCESS;
}

LONG ComDBClaimNextFreePort(HCOMDB database, DWORD* port) {
    if (database == HCOMDB_INVALID_HANDLE_VALUE || !database || !port)
        return ERROR_INVALID_PARAMETER;
    DWORD claimed = 0;
    bool ok = changeState([&](PortState& state, bool& changed) {
        for (DWORD n = 1; n <= COMDB_MAX_PORTS; ++n)
            if (!state.claimed.count(n)) {
                state.claimed.insert(n);
                state.owners[n] = thisProcess();
                claimed = n;
                changed = true;
                return true;
            }
        return false;
    });
    if (!ok)
        return claimed ? ERROR_ACCESS_DENIED : ERROR_NO_MORE_FREE_PORTS;
    *port = claimed;
    return ERROR_SUCCESS;
}

LONG ComDBClaimPort(HCOMDB database, DWORD port, BOOL forced, BOOL* forcedOut) {
    if (database == HCOMDB_INVALID_HANDLE_VALUE || !database || !validPort(port))
        return ERROR_INVALID_PARAMETER;
    bool wasUsed = false;
    bool ok = changeState([&](PortState& state, bool& changed) {
        wasUsed = state.claimed.count(port) != 0;
        if (wasUsed)
            return forced != FALSE;
        state.claimed.insert(port);
        state.owners[port] = thisProcess();
        changed = true;
        return true;
    });
    if (forcedOut)
        *forcedOut = wasUsed && ok;
    return ok ? ERROR_SUCCESS : ERROR_SHARING_VIOLATION;
}

LONG ComDBReleasePort(HCOMDB database, DWORD port) {
    if (database == HCOMDB_INVALID_HANDLE_VALUE || !database || !validPort(port))
        return ERROR_INVALID_PARAMETER;
    bool ok = changeState([&](PortState& state, bool& changed) {
        changed = state.claimed.erase(port) != 0;
        state.owners.erase(port);
        return true;
    });
    return ok ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

namespace win {

std::vector<PortDevice> listPortDevices() {
    std::vector<PortDevice> devices;
    changeState([&](PortState& state, bool&) {
        devices = state.devices;
        return true;
    });
    return devices;
}

std::optional<PortDevice> installPortDevice(const std::u16string& hardwareId) {
    if (installFailures > 0) {
        --installFailures;
        return std::nullopt;
    }
    std::optional<PortDevice> installed;
    bool ok = changeState([&](PortState& state, bool& changed) {
        for (uint32_t n = 1; n <= COMDB_MAX_PORTS; ++n)
            if (!state.claimed.count(n)) {
                PortDevice device;
                device.instance = state.nextInstance++;
                device.hardwareId = hardwareId;
                device.friendlyName = u"Zeko virtual COM port (COM" + fromUtf8(std::to_string(n)) + u")";
                device.port = n;
                device.devicePath = virtualPortDevicePath(n);
                state.claimed.insert(n);
                state.devices.push_back(device);
                installed = device;
                changed = true;
                return true;
            }
        return false;
    });
    if (!ok)
        installed.reset();
    return installed;
}

namespace {

template <typename Edit> bool editDevice(uint32_t instance, Edit edit) {
    return changeState([&](PortState& state, bool& changed) {
        for (PortDevice& device : state.devices)
            if (device.instance == instance) {
                edit(device);
                changed = true;
                return true;
            }
        return false;
    });
}

} // namespace

bool setPortDeviceHardwareId(uint32_t instance, const std::u16string& hardwareId) {
    return editDevice(instance, [&](PortDevice& device) { device.hardwareId = hardwareId; });
}

bool setPortDevicePath(uint32_t instance, const std::string& devicePath) {
    if (devicePath.find_first_of("\t\n") != std::string::npos)
        return false;
    return editDevice(instance, [&](PortDevice& device) { device.devicePath = devicePath; });
}

bool removePortDevice(uint32_t instance) {
    if (removalFailures > 0) {
        --removalFailures;
        return false;
    }
    return changeState([&](PortState& state, bool& changed) {
        for (auto it = state.devices.begin(); it != state.devices.end(); ++it)
            if (it->instance == instance) {
                state.claimed.erase(it->port);
                state.owners.erase(it->port);
                state.devices.erase(it);
                changed = true;
                return true;
            }
        return false;
    });
}

std::string portDevicePath(uint32_t port) {
    // A look-up never creates the store: a program that installed nothing finds nothing.
    if (::access(storePath().c_str(), F_OK) != 0)
        return {};
    std::string path;
    changeState([&](PortState& state, bool&) {
        for (const PortDevice& device : state.devices)
            if (device.port == port) {
                path = device.devicePath;
                return true;
            }
        if (auto it = state.serialDevices.find(port); it != state.serialDevices.end())
            path = it->second;
        return true;
    });
    return path;
}

void checkPortStore() {
    struct stat status {};
    if (::lstat(storePath().c_str(), &status) == 0)
        changeState([](PortState&, bool&) { return true; });
}

std::optional<std::set<uint32_t>> claimedPorts() {
    // Read without the lock: the store is only ever replaced whole.
    std::lock_guard guard(processLock);
    PortState state;
    if (!readState(state, false))
        return std::nullopt;
    return state.claimed;
}

std::optional<PortStoreFailure> takePortStoreFailure() {
    std::lock_guard guard(failureLock);
    std::optional<PortStoreFailure> failure;
    failure.swap(lastFailure);
    return failure;
}

std::optional<FileProblem> PortStoreProblem(const std::string& text) {
    if (text.find('\0') != std::string::npos)
        return FileProblem{FileProblem::Kind::BinaryData};
    std::istringstream lines(text);
    std::string line;
    for (size_t number = 1; std::getline(lines, line); ++number) {
        const std::string kind = line.substr(0, line.find('\t'));
        if (!line.empty() && kind != "next" && kind != "claimed" && kind != "serial" && kind != "device")
            return FileProblem{FileProblem::Kind::NotPortRecord, number};
    }
    if (!text.empty() && text.back() != '\n')
        return FileProblem{FileProblem::Kind::LastLineCut};
    return std::nullopt;
}

std::string virtualPortDevicePath(uint32_t port) {
    return RegistryStore::folder() + "/zeko_COM" + std::to_string(port);
}

bool setSerialDevicePort(uint32_t port, const std::string& devicePath) {
    if (!validPort(port) || devicePath.find_first_of("\t\n") != std::string::npos)
        return false;
    return changeState([&](PortState& state, bool& changed) {
        const bool held = state.serialDevices.count(port) != 0;
        if (devicePath.empty()) {
            if (!held)
                return false;
            state.serialDevices.erase(port);
            state.claimed.erase(port);
            state.owners.erase(port);
        } else {
            if (!held && state.claimed.count(port))
                return false; // the number belongs to another device
            state.serialDevices[port] = devicePath;
            state.claimed.insert(port);
        }
        changed = true;
        return true;
    });
}

void failPortInstallations(int count) {
    installFailures = count;
}
void failPortRemovals(int count) {
    removalFailures = count;
}

} // namespace win
