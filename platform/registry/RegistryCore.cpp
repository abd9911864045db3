#include "platform/registry/RegistryCore.h"

#include <cstdlib>
#include <mutex>
#include <new>
#include <set>

#include "platform/registry/HiveFile.h"

namespace quvo::registry::core {

namespace {

// An open key: the registry directory it was opened in, its hive and its path.
// The key itself is looked up at each use, so a key deleted meanwhile (by this
// or another process) answers ERROR_KEY_DELETED.
struct KeyHandle {
    std::string dir;
    Hive hive;
    std::vector<std::string> path;
};

// Guards g_openHandles: every handle RegCreateKey*/RegOpenKey* gave out and
// RegCloseKey did not take back yet.
std::mutex g_handlesLock;
std::set<const KeyHandle*>& OpenHandles()
{
    static auto* handles = new std::set<const KeyHandle*>();
    return *handles;
}

bool PredefinedHive(HKEY key, Hive* hive)
{
    if (key == HKEY_CLASSES_ROOT) { *hive = Hive::ClassesRoot; return true; }
    if (key == HKEY_CURRENT_USER) { *hive = Hive::CurrentUser; return true; }
    if (key == HKEY_LOCAL_MACHINE) { *hive = Hive::LocalMachine; return true; }
    return false;
}

// Copies what `key` names, so the handle may be closed by another thread meanwhile.
LONG Resolve(HKEY key, KeyHandle* out)
{
    Hive hive;
    if (PredefinedHive(key, &hive)) {
        out->dir = RegistryDirectory();
        out->hive = hive;
        out->path.clear();
        return ERROR_SUCCESS;
    }
    std::lock_guard<std::mutex> guard(g_handlesLock);
    auto* h = reinterpret_cast<const KeyHandle*>(key);
    if (!key || !OpenHandles().count(h)) return ERROR_INVALID_HANDLE;
    *out = *h;
    return ERROR_SUCCESS;
}

HKEY NewHandle(KeyHandle handle)
{
    auto* h = new (std::nothrow) KeyHandle(std::move(handle));
    if (!h) return nullptr;
    std::lock_guard<std::mutex> guard(g_handlesLock);
    OpenHandles().insert(h);
    return reinterpret_cast<HKEY>(h);
}

std::vector<std::string> Join(const std::vector<std::string>& base, std::string_view sub)
{
    std::vector<std::string> path = base;
    for (std::string& name : SplitKeyPath(sub)) path.push_back(std::move(name));
    return path;
}

HiveFile& FileOf(const KeyHandle& h) { return HiveFor(h.dir, h.hive); }

// Runs `fn` on the handle's key for reading.
template <class Fn>
LONG ReadKey(HKEY key, Fn fn)
{
    KeyHandle h;
    LONG rc = Resolve(key, &h);
    if (rc != ERROR_SUCCESS) return rc;
    return FileOf(h).Read([&](const KeyNode& root) -> LONG {
        const KeyNode* node = root.Find(h.path);
        if (!node) return ERROR_KEY_DELETED;
        return fn(*node);
    });
}

// Runs `fn(node, changed)` on the handle's key for writing.
template <class Fn>
LONG ModifyKey(HKEY key, Fn fn)
{
    KeyHandle h;
    LONG rc = Resolve(key, &h);
    if (rc != ERROR_SUCCESS) return rc;
    return FileOf(h).Modify([&](KeyNode& root, bool* changed) -> LONG {
        KeyNode* node = root.Find(h.path);
        if (!node) return ERROR_KEY_DELETED;
        return fn(*node, changed);
    });
}

}  // namespace

LONG CreateKey(HKEY key, std::string_view subKey, HKEY* result, DWORD* disposition)
{
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    KeyHandle h;
    LONG rc = Resolve(key, &h);
    if (rc != ERROR_SUCCESS) return rc;
    const std::vector<std::string> sub = SplitKeyPath(subKey);
    bool created = false;
    rc = FileOf(h).Modify([&](KeyNode& root, bool* changed) -> LONG {
        KeyNode* base = root.Find(h.path);
        if (!base) return ERROR_KEY_DELETED;
        if (base->Find(sub)) return ERROR_SUCCESS;
        base->Ensure(sub, nullptr);
        created = *changed = true;
        return ERROR_SUCCESS;
    });
    if (rc != ERROR_SUCCESS) return rc;
    if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *result = NewHandle({h.dir, h.hive, Join(h.path, subKey)});
    return *result ? ERROR_SUCCESS : ERROR_OUTOFMEMORY;
}

LONG OpenKey(HKEY key, std::string_view subKey, HKEY* result)
{
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    KeyHandle h;
    LONG rc = Resolve(key, &h);
    if (rc != ERROR_SUCCESS) return rc;
    std::vector<std::string> path = Join(h.path, subKey);
    rc = FileOf(h).Read([&](const KeyNode& root) -> LONG {
        if (root.Find(path)) return ERROR_SUCCESS;
        return root.Find(h.path) ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED;
    });
    if (rc != ERROR_SUCCESS) return rc;
    *result = NewHandle({h.dir, h.hive, std::move(path)});
    return *result ? ERROR_SUCCESS : ERROR_OUTOFMEMORY;
}

LONG CloseKey(HKEY key)
{
    Hive hive;
    if (PredefinedHive(key, &hive)) return ERROR_SUCCESS;
    auto* h = reinterpret_cast<const KeyHandle*>(key);
    {
        std::lock_guard<std::mutex> guard(g_handlesLock);
        if (!key || OpenHandles().erase(h) == 0) return ERROR_INVALID_HANDLE;
    }
    delete h;
    return ERROR_SUCCESS;
}

LONG QueryValue(HKEY key, std::string_view name, Value* out)
{
    return ReadKey(key, [&](const KeyNode& node) -> LONG {
        auto it = node.values.find(name);
        if (it == node.values.end()) return ERROR_FILE_NOT_FOUND;
        *out = it->second;
        return ERROR_SUCCESS;
    });
}

LONG SetValue(HKEY key, std::string_view name, Value value)
{
    if ((value.type == REG_DWORD && value.bytes.size() != 4) ||
        (value.type == REG_QWORD && value.bytes.size() != 8))
        return ERROR_INVALID_PARAMETER;
    return ModifyKey(key, [&](KeyNode& node, bool* changed) -> LONG {
        auto it = node.values.find(name);
        if (it == node.values.end()) {
            node.values.emplace(std::string(name), std::move(value));
        } else if (it->second == value) {
            return ERROR_SUCCESS;  // nothing to write
        } else {
            it->second = std::move(value);
        }
        *changed = true;
        return ERROR_SUCCESS;
    });
}

LONG DeleteValue(HKEY key, std::string_view name)
{
    return ModifyKey(key, [&](KeyNode& node, bool* changed) -> LONG {
        auto it = node.values.find(name);
        if (it == node.values.end()) return ERROR_FILE_NOT_FOUND;
        node.values.erase(it);
        *changed = true;
        return ERROR_SUCCESS;
    });
}

LONG DeleteKey(HKEY key, std::string_view subKey, bool tree)
{
    std::vector<std::string> sub = SplitKeyPath(subKey);
    if (sub.empty() && !tree) return ERROR_INVALID_PARAMETER;
    return ModifyKey(key, [&](KeyNode& node, bool* changed) -> LONG {
        if (sub.empty()) {
            // Empty the key, keep it.
            if (node.subkeys.empty() && node.values.empty()) return ERROR_SUCCESS;
            node.subkeys.clear();
            node.values.clear();
            *changed = true;
            return ERROR_SUCCESS;
        }
        const std::string last = sub.back();
        sub.pop_back();
        KeyNode* parent = node.Find(sub);
        if (!parent) return ERROR_FILE_NOT_FOUND;
        auto it = parent->subkeys.find(last);
        if (it == parent->subkeys.end()) return ERROR_FILE_NOT_FOUND;
        if (!tree && !it->second->subkeys.empty()) return ERROR_ACCESS_DENIED;
        parent->subkeys.erase(it);
        *changed = true;
        return ERROR_SUCCESS;
    });
}

LONG EnumKey(HKEY key, DWORD index, std::string* name)
{
    return ReadKey(key, [&](const KeyNode& node) -> LONG {
        if (index >= node.subkeys.size()) return ERROR_NO_MORE_ITEMS;
        auto it = node.subkeys.begin();
        std::advance(it, index);
        *name = it->first;
        return ERROR_SUCCESS;
    });
}

LONG EnumValue(HKEY key, DWORD index, std::string* name, Value* value)
{
    return ReadKey(key, [&](const KeyNode& node) -> LONG {
        if (index >= node.values.size()) return ERROR_NO_MORE_ITEMS;
        auto it = node.values.begin();
        std::advance(it, index);
        *name = it->first;
        if (value) *value = it->second;
        return ERROR_SUCCESS;
    });
}

LONG ListSubkeys(HKEY key, std::vector<std::string>* names)
{
    return ReadKey(key, [&](const KeyNode& node) -> LONG {
        names->clear();
        for (const auto& entry : node.subkeys) names->push_back(entry.first);
        return ERROR_SUCCESS;
    });
}

LONG ListValues(HKEY key, std::vector<std::string>* names)
{
    return ReadKey(key, [&](const KeyNode& node) -> LONG {
        names->clear();
        for (const auto& entry : node.values) names->push_back(entry.first);
        return ERROR_SUCCESS;
    });
}

}  // namespace quvo::registry::core

std::string RegistryDirectory()
{
    if (const char* dir = std::getenv("QUVO_REGISTRY_DIR"); dir && *dir) return dir;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        return std::string(xdg) + "/quvo/registry";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/.config/quvo/registry";
}
