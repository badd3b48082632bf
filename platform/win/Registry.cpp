#include "platform/win/Registry.h"

#include "platform/win/RegistryStore.h"
#include "platform/win/WideText.h"

#include <cstring>
#include <mutex>
#include <unordered_set>

struct HKEY__ {
    win::RegistryStore::Hive hive;
    std::u16string path;
};

namespace {

std::mutex handleMutex;
std::unordered_set<HKEY> openHandles;

// The hive and the key path that a handle and a subkey name; false for an unknown handle.
bool resolve(HKEY key, const WCHAR* subKey, win::RegistryStore::Hive& hive, std::u16string& path) {
    if (key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE) {
        hive = key == HKEY_CURRENT_USER ? win::RegistryStore::Hive::CurrentUser
                                        : win::RegistryStore::Hive::LocalMachine;
        path.clear();
    } else {
        std::lock_guard lock(handleMutex);
        if (!openHandles.count(key))
            return false;
        hive = key->hive;
        path = key->path;
    }
    const std::u16string sub = win::fromBuffer(subKey);
    if (!sub.empty())
        path = path.empty() ? sub : path + u'\\' + sub;
    return true;
}

HKEY makeHandle(win::RegistryStore::Hive hive, const std::u16string& path) {
    HKEY handle = new HKEY__{hive, path};
    std::lock_guard lock(handleMutex);
    openHandles.insert(handle);
    return handle;
}

} // namespace

LONG RegOpenKeyExW(HKEY key, const WCHAR* subKey, DWORD, REGSAM, HKEY* result) {
    win::RegistryStore::Hive hive;
    std::u16string path;
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    if (!resolve(key, subKey, hive, path))
        return ERROR_INVALID_HANDLE;
    if (!win::RegistryStore::instance(hive).keyExists(path))
        return ERROR_FILE_NOT_FOUND;
    *result = makeHandle(hive, path);
    return ERROR_SUCCESS;
}

LONG RegCreateKeyExW(HKEY key, const WCHAR* subKey, DWORD, WCHAR*, DWORD, REGSAM, void*, HKEY* result,
                     DWORD* disposition) {
    win::RegistryStore::Hive hive;
    std::u16string path;
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    if (!resolve(key, subKey, hive, path))
        return ERROR_INVALID_HANDLE;
    win::RegistryStore& store = win::RegistryStore::instance(hive);
    bool created = false;
    if (!store.keyExists(path) && !store.createKey(path, &created))
        return ERROR_ACCESS_DENIED;
    if (disposition)
        *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *result = makeHandle(hive, path);
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
    if (key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE)
        return ERROR_SUCCESS;
    {
        std::lock_guard lock(handleMutex);
        if (!openHandles.erase(key))
            return ERROR_INVALID_HANDLE;
    }
    delete key;
    return ERROR_SUCCESS;
}

LONG RegQueryValueExW(HKEY key, const WCHAR* name, DWORD*, DWORD* type, BYTE* data, DWORD* size) {
    win::RegistryStore::Hive hive;
    std::u16string path;
    if (!resolve(key, nullptr, hive, path))
        return ERROR_INVALID_HANDLE;
    if (data && !size)
        return ERROR_INVALID_PARAMETER;
    LONG result = ERROR_SUCCESS;
    const bool found = win::RegistryStore::instance(hive).readValue(
        path, name ? std::u16string_view(name) : std::u16string_view(),
        [&](const win::RegistryStore::Value& value) {
            if (type)
                *type = value.type;
            const DWORD needed = DWORD(value.data.size());
            if (data && *size < needed)
                result = ERROR_MORE_DATA;
            else if (data && needed)
                std::memcpy(data, value.data.data(), needed);
            if (size)
                *size = needed;
        });
    return found ? result : ERROR_FILE_NOT_FOUND;
}

LONG RegSetValueExW(HKEY key, const WCHAR* name, DWORD, DWORD type, const BYTE* data, DWORD size) {
    win::RegistryStore::Hive hive;
    std::u16string path;
    if (!resolve(key, nullptr, hive, path))
        return ERROR_INVALID_HANDLE;
    if (!data && size)
        return ERROR_INVALID_PARAMETER;
    win::RegistryStore::Value value;
    value.name = win::fromBuffer(name);
    value.type = type;
    if (size)
        value.data.assign(data, data + size);
    return win::RegistryStore::instance(hive).setValue(path, value) ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

LONG RegEnumKeyExW(HKEY key, DWORD index, WCHAR* name, DWORD* nameChars, DWORD*, WCHAR*, DWORD*, void*) {
    win::RegistryStore::Hive hive;
    std::u16string path;
    if (!resolve(key, nullptr, hive, path))
        return ERROR_INVALID_HANDLE;
    if (!name || !nameChars)
        return ERROR_INVALID_PARAMETER;
    const std::vector<std::u16string> names = win::RegistryStore::instance(hive).subkeys(path);
    if (index >= names.size())
        return ERROR_NO_MORE_ITEMS;
    const std::u16string& found = names[index];
    if (*nameChars <= found.size())
        return ERROR_MORE_DATA;
    std::memcpy(name, found.c_str(), (found.size() + 1) * sizeof(WCHAR));
    *nameChars = DWORD(found.size());
    return ERROR_SUCCESS;
}

LONG RegDeleteKeyW(HKEY key, const WCHAR* subKey) {
    win::RegistryStore::Hive hive;
    std::u16string path;
    if (!resolve(key, subKey, hive, path))
        return ERROR_INVALID_HANDLE;
    bool found = false;
    if (win::RegistryStore::instance(hive).deleteKey(path, &found))
        return ERROR_SUCCESS;
    return found ? ERROR_ACCESS_DENIED : ERROR_FILE_NOT_FOUND;
}

LONG RegDeleteValueW(HKEY key, const WCHAR* name) {
    win::RegistryStore::Hive hive;
    std::u16string path;
    if (!resolve(key, nullptr, hive, path))
        return ERROR_INVALID_HANDLE;
    bool found = false;
    if (!win::RegistryStore::instance(hive).deleteValue(path, win::fromBuffer(name), &found))
        return ERROR_ACCESS_DENIED;
    return found ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}
