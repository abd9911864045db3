#include "platform/registry/KeyTree.h"

#include "platform/registry/Registry.h"

namespace quvo::registry {

namespace {
char Fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

bool CaseLess::operator()(std::string_view a, std::string_view b) const
{
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char ca = static_cast<unsigned char>(Fold(a[i]));
        const unsigned char cb = static_cast<unsigned char>(Fold(b[i]));
        if (ca != cb) return ca < cb;
    }
    return a.size() < b.size();
}

KeyNode* KeyNode::Find(const std::vector<std::string>& path)
{
    KeyNode* node = this;
    for (const std::string& name : path) {
        auto it = node->subkeys.find(name);
        if (it == node->subkeys.end()) return nullptr;
        node = it->second.get();
    }
    return node;
}

const KeyNode* KeyNode::Find(const std::vector<std::string>& path) const
{
    return const_cast<KeyNode*>(this)->Find(path);
}

KeyNode& KeyNode::Ensure(const std::vector<std::string>& path, bool* created)
{
    KeyNode* node = this;
    bool madeLast = false;
    for (const std::string& name : path) {
        auto it = node->subkeys.find(name);
        if (it == node->subkeys.end()) {
            it = node->subkeys.emplace(name, std::make_unique<KeyNode>()).first;
            madeLast = true;
        } else {
            madeLast = false;
        }
        node = it->second.get();
    }
    if (created) *created = madeLast;
    return *node;
}

std::vector<std::string> SplitKeyPath(std::string_view path)
{
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string_view::npos) end = path.size();
        if (end > start) names.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

bool IsStringType(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

}  // namespace quvo::registry
