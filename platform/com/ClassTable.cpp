#include "platform/com/ClassTable.h"

#include <mutex>
#include <unordered_map>

namespace {

// Guards BuiltinTable(). Registrations run during static initialization of the
// platform library (and of tests), lookups on any thread afterwards.
std::mutex& ClassTableLock()
{
    static std::mutex lock;
    return lock;
}

// Built on first use: a table in another file may register before this file's statics.
std::unordered_map<CLSID, const CFactoryTemplate*, GuidHash>& BuiltinTable()
{
    static auto* table = new std::unordered_map<CLSID, const CFactoryTemplate*, GuidHash>();
    return *table;
}

}  // namespace

void RegisterBuiltinClasses(const CFactoryTemplate* table, int count)
{
    std::lock_guard<std::mutex> guard(ClassTableLock());
    for (int i = 0; i < count; ++i) BuiltinTable()[*table[i].clsid] = &table[i];
}

namespace quvo::com {

const CFactoryTemplate* FindBuiltinClass(REFCLSID clsid)
{
    std::lock_guard<std::mutex> guard(ClassTableLock());
    auto it = BuiltinTable().find(clsid);
    return it == BuiltinTable().end() ? nullptr : it->second;
}

}  // namespace quvo::com
