#pragma once

// The registry, kept in files: one for the current user's keys ("user.reg") and one for the
// machine's ("machine.reg"), in the folder ZEKO_REGISTRY_DIR (default $XDG_CONFIG_HOME/zeko).
//
// Key paths and value names compare without case and keep the case they were created with.
// Look-ups are served from memory; the file is read at first use. Each change takes an
// exclusive lock on the hive (flock on "<file>.lock"), reads the file again, changes only the
// key or value it names, writes the result to a temporary file and renames it into place, so
// that two programs using one folder never undo each other's changes. A file that cannot be
// read counts as empty for look-ups and is never overwritten. A file that can be read but not
// understood (a line that is no key, value or header, or no byte at all) is renamed aside
// before anything is written (see UnreadableFiles.h) and the store starts empty. At first use,
// temporaries of the store's own pattern left by a writer that was killed are removed.

#include "platform/win/UnreadableFiles.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace win {

class RegistryStore {
public:
    enum class Hive { CurrentUser, LocalMachine };

    struct Value {
        std::u16string name;
        uint32_t type = 0;
        std::vector<uint8_t> data;
    };

    // The store of a hive, made at first use.
    static RegistryStore& instance(Hive hive);
    // Forgets what every store read, so that the next call reads the folder named by the
    // environment now (tests switch folders between cases).
    static void resetAll();
    // The folder that holds the hive files.
    static std::string folder();
    // Creates that folder and the folders above it.
    static void makeFolder();
    // Reads both hives now, so that a store that cannot be understood is set aside at start.
    static void loadAll();

    // A REG_SZ value (the text and its terminator as UTF-16LE) and a REG_DWORD value.
    static Value textValue(std::u16string name, const std::u16string& text);
    static Value dwordValue(std::u16string name, uint32_t number);
    // The text of a REG_SZ or REG_EXPAND_SZ value up to its first terminator; none for others.
    static std::optional<std::u16string> textOf(const Value& value);

    bool keyExists(std::u16string_view path);
    // Copies the value; false when the key or the value is missing.
    bool getValue(std::u16string_view path, std::u16string_view name, Value& out);
    // Calls read(value) on the stored value under the store's lock, without copying it; false
    // when the key or the value is missing.
    template <typename Read> bool readValue(std::u16string_view path, std::u16string_view name, Read read) {
        std::lock_guard guard(mutex_);
        const Value* value = find(path, name);
        if (value)
            read(*value);
        return value != nullptr;
    }
    // Direct subkeys of the key, in name order without case.
    std::vector<std::u16string> subkeys(const std::u16string& path);

    // Changes: each one a transaction on the file; false when the file could not be written.
    // createKey also makes the missing keys above the path; *created says whether it was new.
    bool createKey(const std::u16string& path, bool* created = nullptr);
    bool setValue(const std::u16string& path, const Value& value);
    // deleteValue and deleteKey: false also when the value or key is missing; a key with
    // subkeys is not deleted.
    bool deleteValue(const std::u16string& path, const std::u16string& name, bool* found);
    bool deleteKey(const std::u16string& path, bool* found);

    // The file's text form of a set of keys, and back (exposed for tests).
    struct Key {
        std::u16string path;
        std::vector<Value> values;
    };
    struct LessNoCase {
        using is_transparent = void;
        bool operator()(std::u16string_view a, std::u16string_view b) const;
    };
    using Keys = std::map<std::u16string, Key, LessNoCase>;
    static std::string serialise(const Keys& keys);
    // firstRejectedLine: the number (from 1) of the first line that was passed over, 0 if none.
    static Keys parse(const std::string& text, size_t* firstRejectedLine = nullptr);
    // What is wrong with a file's text; none when every line is understood. An empty file is
    // damaged too: the store is always written whole, so nothing of ours leaves it empty.
    static std::optional<FileProblem> problemOf(const std::string& text);

private:
    explicit RegistryStore(const char* fileName);
    void ensureLoaded();
    // The value in memory (the lock held); null when it is missing.
    const Value* find(std::u16string_view path, std::u16string_view name);
    // Reads the file into keys_; false when it exists and cannot be read.
    bool load();
    template <typename Change> bool transact(Change change);
    // Under the hive's file lock, once per folder: removes stale temporaries, then sets an
    // unreadable file aside.
    void tidyAtFirstUse();
    // Removes "<file>.XXXXXX" temporaries of this user that are older than the process.
    void removeStaleTemporaries();
    // Sets the file aside when its text is not understood (the hive's file lock held); true
    // when it did.
    bool keepAsideIfUnreadable(const std::string& text);

    const char* fileName_;
    std::mutex mutex_;
    bool loaded_ = false;
    bool lockHeld_ = false;
    std::string path_;
    Keys keys_;
};

} // namespace win
