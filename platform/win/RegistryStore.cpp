#include "platform/win/RegistryStore.h"

#include "platform/common/FileReplacement.h"
#include "platform/common/RegistryFolder.h"
#include "platform/win/UnreadableFiles.h"
#include "platform/win/WideText.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace win {

namespace {

const char fileHeader[] = "ZEKO REGISTRY 1";

void makeFolders(const std::string& folder) {
    for (size_t pos = 1; pos <= folder.size(); ++pos)
        if (pos == folder.size() || folder[pos] == '/')
            ::mkdir(folder.substr(0, pos).c_str(), 0700);
}

// A path without the separators around it; "" is the hive's root.
std::u16string normalise(std::u16string path) {
    while (!path.empty() && path.back() == u'\\')
        path.pop_back();
    size_t start = 0;
    while (start < path.size() && path[start] == u'\\')
        ++start;
    return path.substr(start);
}

std::string escape(const std::u16string& text) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : toUtf8(text)) {
        if (c <= 0x20 || c == 0x7F || c == '%' || c == '[' || c == ']' || c == '=') {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += char(c);
        }
    }
    return out;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool unescape(const std::string& text, std::u16string& out) {
    std::string bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            bytes += text[i];
            continue;
        }
        if (i + 2 >= text.size())
            return false;
        const int hi = hexDigit(text[i + 1]), lo = hexDigit(text[i + 2]);
        if (hi < 0 || lo < 0)
            return false;
        bytes += char(hi * 16 + lo);
        i += 2;
    }
    out = fromUtf8(bytes);
    return true;
}

bool parseHex(const std::string& text, std::vector<uint8_t>& out) {
    if (text.size() % 2)
        return false;
    out.clear();
    out.reserve(text.size() / 2);
    for (size_t i = 0; i < text.size(); i += 2) {
        const int hi = hexDigit(text[i]), lo = hexDigit(text[i + 1]);
        if (hi < 0 || lo < 0)
            return false;
        out.push_back(uint8_t(hi * 16 + lo));
    }
    return true;
}

bool isPrefixNoCase(const std::u16string& prefix, const std::u16string& text) {
    return text.size() >= prefix.size() &&
           equalNoCase(std::u16string_view(text).substr(0, prefix.size()), prefix);
}

// Adds the key and every key above it.
bool addKeyWithParents(RegistryStore::Keys& keys, const std::u16string& path) {
    bool created = false;
    for (size_t pos = 0; pos <= path.size(); ++pos) {
        if (pos == path.size() || path[pos] == u'\\') {
            const std::u16string part = path.substr(0, pos);
            if (part.empty())
                continue;
            if (keys.find(part) == keys.end()) {
                keys.emplace(part, RegistryStore::Key{part, {}});
                created = true;
            }
        }
    }
    return created;
}

} // namespace

bool RegistryStore::LessNoCase::operator()(std::u16string_view a, std::u16string_view b) const {
    return lessNoCase(a, b);
}

RegistryStore& RegistryStore::instance(Hive hive) {
    static RegistryStore user("user.reg");
    static RegistryStore machine("machine.reg");
    return hive == Hive::CurrentUser ? user : machine;
}

void RegistryStore::resetAll() {
    for (Hive hive : {Hive::CurrentUser, Hive::LocalMachine}) {
        RegistryStore& store = instance(hive);
        std::lock_guard lock(store.mutex_);
        store.loaded_ = false;
        store.keys_.clear();
    }
}

std::string RegistryStore::folder() {
    return RegistryFolder();
}

void RegistryStore::loadAll() {
    for (Hive hive : {Hive::CurrentUser, Hive::LocalMachine}) {
        RegistryStore& store = instance(hive);
        std::lock_guard lock(store.mutex_);
        store.ensureLoaded();
    }
}

void RegistryStore::makeFolder() {
    makeFolders(folder());
}

RegistryStore::Value RegistryStore::textValue(std::u16string name, const std::u16string& text) {
    Value value{std::move(name), 1, {}};
    for (char16_t c : text + u'\0') {
        value.data.push_back(uint8_t(c & 0xFF));
        value.data.push_back(uint8_t(c >> 8));
    }
    return value;
}

RegistryStore::Value RegistryStore::dwordValue(std::u16string name, uint32_t number) {
    Value value{std::move(name), 4, {}};
    for (int i = 0; i < 4; ++i)
        value.data.push_back(uint8_t(number >> (8 * i)));
    return value;
}

std::optional<std::u16string> RegistryStore::textOf(const Value& value) {
    if (value.type != 1 && value.type != 2)
        return std::nullopt;
    std::u16string text;
    for (size_t i = 0; i + 1 < value.data.size(); i += 2) {
        const char16_t c = char16_t(value.data[i] | (value.data[i + 1] << 8));
        if (!c)
            break;
        text += c;
    }
    return text;
}

RegistryStore::RegistryStore(const char* fileName) : fileName_(fileName) {}

void RegistryStore::ensureLoaded() {
    if (loaded_)
        return;
    path_ = folder() + "/" + fileName_;
    tidyAtFirstUse();
    load();
    loaded_ = true;
}

namespace {

// The file's whole text; false when it cannot be read (*missing: because it does not exist). A
// folder or a pipe in the file's place cannot be read either: it is never taken for an empty
// store, and it is recorded, never opened in a way that could wait.
bool readWhole(const std::string& path, std::string& text, bool* missing = nullptr) {
    const StoreFileRead result = ReadStore(path, text);
    if (missing)
        *missing = result == StoreFileRead::Missing;
    return result == StoreFileRead::Read;
}

} // namespace

bool RegistryStore::load() {
    keys_.clear();
    std::string text;
    bool missing = false;
    // Nothing can be read from a folder or a pipe in its place, nor saved to it.
    if (!readWhole(path_, text, &missing))
        return missing;
    if (!(lockHeld_ && keepAsideIfUnreadable(text)))
        keys_ = parse(text);
    return true;
}

std::string RegistryStore::serialise(const Keys& keys) {
    static const char hex[] = "0123456789abcdef";
    std::string out = fileHeader;
    out += '\n';
    for (const auto& [path, key] : keys) {
        out += '[';
        out += escape(key.path);
        out += "]\n";
        for (const Value& value : key.values) {
            out += std::to_string(value.type);
            out += " =";
            out += escape(value.name);
            out += ' ';
            for (uint8_t b : value.data) {
                out += hex[b >> 4];
                out += hex[b & 15];
            }
            out += '\n';
        }
    }
    return out;
}

RegistryStore::Keys RegistryStore::parse(const std::string& text, size_t* firstRejectedLine) {
    Keys keys;
    std::istringstream in(text);
    std::string line;
    Key* current = nullptr;
    size_t number = 0;
    if (firstRejectedLine)
        *firstRejectedLine = 0;
    auto reject = [&] {
        if (firstRejectedLine && !*firstRejectedLine)
            *firstRejectedLine = number;
    };
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line == fileHeader)
            continue;
        if (line.front() == '[') {
            current = nullptr;
            std::u16string path;
            if (line.back() != ']' || !unescape(line.substr(1, line.size() - 2), path)) {
                reject();
                continue;
            }
            path = normalise(path);
            if (path.empty()) {
                reject();
                continue;
            }
            addKeyWithParents(keys, path);
            current = &keys.find(path)->second;
            continue;
        }
        // <type> =<name> <hex data>
        const size_t blank = line.find(' ');
        const size_t second = blank == std::string::npos ? blank : line.find(' ', blank + 1);
        if (!current || second == std::string::npos || line[blank + 1] != '=') {
            reject();
            continue;
        }
        Value value;
        char* end = nullptr;
        const unsigned long type = std::strtoul(line.c_str(), &end, 10);
        if (end != line.c_str() + blank || type > 0xFFFFFFFFul) {
            reject();
            continue;
        }
        value.type = uint32_t(type);
        if (!unescape(line.substr(blank + 2, second - blank - 2), value.name) ||
            !parseHex(line.substr(second + 1), value.data)) {
            reject();
            continue;
        }
        bool replaced = false;
        for (Value& existing : current->values)
            if (equalNoCase(existing.name, value.name))
                existing = value, replaced = true;
        if (!replaced)
            current->values.push_back(std::move(value));
    }
    return keys;
}

template <typename Change> bool RegistryStore::transact(Change change) {
    std::lock_guard guard(mutex_);
    ensureLoaded();
    const std::string dir = folder();
    makeFolders(dir);
    const std::string lockPath = path_ + ".lock";
    const int lockFd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd < 0)
        return false;
    bool ok = false;
    if (::flock(lockFd, LOCK_EX) == 0) {
        lockHeld_ = true;
        if (load()) {
            change(keys_);
            FileReplacement::Options options;
            options.newFileMode = 0600;
            ok = FileReplacement::replace(path_, serialise(keys_), options);
            if (!ok)
                load();
        }
        lockHeld_ = false;
        ::flock(lockFd, LOCK_UN);
    }
    ::close(lockFd);
    return ok;
}

std::optional<FileProblem> RegistryStore::problemOf(const std::string& text) {
    using Kind = FileProblem::Kind;
    if (text.empty())
        return FileProblem{Kind::Empty};
    if (text.find('\0') != std::string::npos)
        return FileProblem{Kind::BinaryData};
    const size_t firstLineEnd = text.find('\n');
    std::string first = text.substr(0, firstLineEnd);
    if (!first.empty() && first.back() == '\r')
        first.pop_back();
    if (first != fileHeader)
        return FileProblem{Kind::NoRegistryHeader};
    size_t rejected = 0;
    parse(text, &rejected);
    if (rejected)
        return FileProblem{Kind::NotKeyOrValue, rejected};
    if (text.back() != '\n')
        return FileProblem{Kind::LastLineCut};
    return std::nullopt;
}

bool RegistryStore::keepAsideIfUnreadable(const std::string& text) {
    const std::optional<FileProblem> problem = problemOf(text);
    return problem && KeepUnreadableAside(path_, *problem);
}

void RegistryStore::tidyAtFirstUse() {
    struct stat status {};
    if (::lstat(folder().c_str(), &status) != 0)
        return; // nothing was ever written here
    const int lockFd = ::open((path_ + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd < 0)
        return;
    if (::flock(lockFd, LOCK_EX) == 0) {
        removeStaleTemporaries();
        FileReplacement::removeStaleTemporaries(path_);
        if (std::string text; readWhole(path_, text))
            keepAsideIfUnreadable(text);
        ::flock(lockFd, LOCK_UN);
    }
    ::close(lockFd);
}

namespace {

// When this process started, from /proc (now, when that cannot be read).
std::time_t processStart() {
    std::time_t start = std::time(nullptr);
    std::ifstream stat("/proc/self/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const size_t close = text.rfind(')');
    std::ifstream system("/proc/stat");
    std::string key;
    unsigned long long bootTime = 0;
    while (system >> key)
        if (key == "btime" && (system >> bootTime))
            break;
    if (close == std::string::npos || !bootTime)
        return start;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    // Field 22 of the line is the start time in clock ticks after boot; the state is field 3.
    for (int n = 3; n < 22 && fields >> field; ++n) {
    }
    unsigned long long ticks = 0;
    if (fields >> ticks)
        start = std::time_t(bootTime + ticks / static_cast<unsigned long long>(::sysconf(_SC_CLK_TCK)));
    return start;
}

// A name that mkstemp makes from "<file>.XXXXXX": what writers before the shared file
// replacement left behind when they were killed (its own temporaries are tidied by it).
bool temporaryOf(const std::string& name, const std::string& file) {
    if (name.size() != file.size() + 7 || name.compare(0, file.size() + 1, file + ".") != 0)
        return false;
    for (size_t i = file.size() + 1; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (!std::isalnum(c))
            return false;
    }
    return true;
}

} // namespace

void RegistryStore::removeStaleTemporaries() {
    const std::string dir = folder();
    DIR* listing = ::opendir(dir.c_str());
    if (!listing)
        return;
    const std::time_t started = processStart();
    while (const dirent* entry = ::readdir(listing)) {
        const std::string name = entry->d_name;
        if (!temporaryOf(name, fileName_))
            continue;
        const std::string path = dir + "/" + name;
        struct stat status {};
        // Only our own regular files, written before this process began: a temporary that a
        // running writer holds is younger, and it holds the lock besides.
        if (::lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && status.st_uid == ::getuid() &&
            status.st_mtime < started)
            ::unlink(path.c_str());
    }
    ::closedir(listing);
}

// The path without the separators around it, as a view into the caller's text.
static std::u16string_view trimmed(std::u16string_view path) {
    while (!path.empty() && path.back() == u'\\')
        path.remove_suffix(1);
    while (!path.empty() && path.front() == u'\\')
        path.remove_prefix(1);
    return path;
}

bool RegistryStore::keyExists(std::u16string_view path) {
    std::lock_guard guard(mutex_);
    ensureLoaded();
    const std::u16string_view key = trimmed(path);
    return key.empty() || keys_.find(key) != keys_.end();
}

const RegistryStore::Value* RegistryStore::find(std::u16string_view path, std::u16string_view name) {
    ensureLoaded();
    const auto key = keys_.find(trimmed(path));
    if (key == keys_.end())
        return nullptr;
    for (const Value& value : key->second.values)
        if (equalNoCase(value.name, name))
            return &value;
    return nullptr;
}

bool RegistryStore::getValue(std::u16string_view path, std::u16string_view name, Value& out) {
    return readValue(path, name, [&](const Value& value) { out = value; });
}

std::vector<std::u16string> RegistryStore::subkeys(const std::u16string& path) {
    std::lock_guard guard(mutex_);
    ensureLoaded();
    std::vector<std::u16string> names;
    const std::u16string key = normalise(path);
    const std::u16string prefix = key.empty() ? key : key + u'\\';
    for (auto it = keys_.lower_bound(prefix); it != keys_.end() && isPrefixNoCase(prefix, it->first); ++it) {
        const std::u16string rest = it->second.path.substr(prefix.size());
        if (!rest.empty() && rest.find(u'\\') == std::u16string::npos)
            names.push_back(rest);
    }
    return names;
}

bool RegistryStore::createKey(const std::u16string& path, bool* created) {
    const std::u16string key = normalise(path);
    bool made = false;
    if (key.empty()) {
        if (created)
            *created = false;
        return true;
    }
    const bool ok = transact([&](Keys& keys) { made = addKeyWithParents(keys, key); });
    if (created)
        *created = made;
    return ok;
}

bool RegistryStore::setValue(const std::u16string& path, const Value& value) {
    const std::u16string key = normalise(path);
    return transact([&](Keys& keys) {
        addKeyWithParents(keys, key);
        Key& target = keys.find(key)->second;
        for (Value& existing : target.values) {
            if (equalNoCase(existing.name, value.name)) {
                existing.type = value.type;
                existing.data = value.data;
                return;
            }
        }
        target.values.push_back(value);
    });
}

bool RegistryStore::deleteValue(const std::u16string& path, const std::u16string& name, bool* found) {
    const std::u16string key = normalise(path);
    *found = false;
    return transact([&](Keys& keys) {
        const auto it = keys.find(key);
        if (it == keys.end())
            return;
        auto& values = it->second.values;
        for (auto v = values.begin(); v != values.end(); ++v) {
            if (equalNoCase(v->name, name)) {
                values.erase(v);
                *found = true;
                return;
            }
        }
    });
}

bool RegistryStore::deleteKey(const std::u16string& path, bool* found) {
    const std::u16string key = normalise(path);
    *found = false;
    if (key.empty())
        return false;
    bool hasChildren = false;
    const bool ok = transact([&](Keys& keys) {
        const auto it = keys.find(key);
        if (it == keys.end())
            return;
        *found = true;
        auto next = std::next(it);
        if (next != keys.end() && isPrefixNoCase(key + u'\\', next->first)) {
            hasChildren = true;
            return;
        }
        keys.erase(it);
    });
    return ok && *found && !hasChildren;
}

} // namespace win
