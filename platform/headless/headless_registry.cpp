// A registry held in memory: keys in a tree, values in the order they were first set.
#include "platform/headless/headless_registry.h"

#include "platform/ansi_text.h"

#include <algorithm>

namespace platform {

namespace {

constexpr std::uint32_t MaximumAllowed = 0x02000000;
constexpr std::uint32_t GenericRead = 0x80000000;
constexpr std::uint32_t GenericWrite = 0x40000000;
constexpr std::uint32_t GenericExecute = 0x20000000;
constexpr std::uint32_t GenericAll = 0x10000000;
constexpr int ClassesRootIndex = 0;
constexpr int LocalMachineIndex = 2;

// The rights a handle opened with `access` holds, generic rights mapped as for keys.
std::uint32_t Granted(std::uint32_t access) {
    if ((access & (MaximumAllowed | GenericAll)) != 0) {
        return reg::KeyAllAccess;
    }
    std::uint32_t rights = access & 0x00FFFFFF;
    rights |= (access & (GenericRead | GenericExecute)) != 0 ? reg::KeyRead : 0;
    rights |= (access & GenericWrite) != 0 ? reg::KeyWrite : 0;
    return rights;
}

// The root a predefined handle stands for, numbered as RegistryRoot numbers them; -1
// for any other handle.
int RootIndexOf(HKEY key) {
    for (int index = 0; index < 5; ++index) {
        if (key == RegistryRoot(index)) {
            return index;
        }
    }
    return -1;
}

bool IsStringType(std::uint32_t type) {
    return type == reg::Sz || type == reg::ExpandSz || type == reg::MultiSz;
}

// Copies a value's data as Windows NT does: a string that was stored without its
// terminating zero gets one when the buffer has room, though the size stays the same.
long CopyData(const RegeditValue& value, std::uint32_t* type, char* data, std::uint32_t* dataSize) {
    const auto size = static_cast<std::uint32_t>(value.Data.size());
    long status = reg::Success;
    if (data != nullptr) {
        if (size > *dataSize) {
            status = reg::MoreData;
        } else {
            std::ranges::copy(value.Data, data);
            if (IsStringType(value.Type) && size > 0 && size < *dataSize &&
                data[size - 1] != '\0') {
                data[size] = '\0';
            }
        }
    }
    if (type != nullptr) {
        *type = value.Type;
    }
    if (dataSize != nullptr) {
        *dataSize = size;
    }
    return status;
}

// A name into a caller's buffer of `length` characters; false when it does not fit with
// its terminating zero.
bool CopyName(const std::string& name, char* buffer, std::uint32_t& length) {
    if (name.size() >= length) {
        return false;
    }
    std::ranges::copy(name, buffer);
    buffer[name.size()] = '\0';
    length = static_cast<std::uint32_t>(name.size());
    return true;
}

} // namespace

struct HeadlessRegistry::Node {
    std::string Name;
    Node* Parent = nullptr;
    bool Deleted = false;
    std::vector<RegeditValue> Values;
    std::map<std::string, std::size_t> ValueIndex;
    std::map<std::string, NodePtr> Subkeys;

    const RegeditValue* FindValue(std::string_view name) const {
        auto found = ValueIndex.find(UpperAnsi(name));
        return found == ValueIndex.end() ? nullptr : &Values[found->second];
    }
    void SetValue(std::string_view name, std::uint32_t type, std::string data) {
        auto [known, added] = ValueIndex.try_emplace(UpperAnsi(name), Values.size());
        if (added) {
            Values.push_back({std::string(name), type, std::move(data)});
        } else {
            Values[known->second].Type = type;
            Values[known->second].Data = std::move(data);
        }
    }
    bool DeleteValue(std::string_view name) {
        auto found = ValueIndex.find(UpperAnsi(name));
        if (found == ValueIndex.end()) {
            return false;
        }
        const std::size_t position = found->second;
        ValueIndex.erase(found);
        Values.erase(Values.begin() + static_cast<std::ptrdiff_t>(position));
        for (auto& [folded, index] : ValueIndex) {
            index -= index > position ? 1 : 0;
        }
        return true;
    }
    NodePtr Child(std::string_view name, bool create) {
        auto found = Subkeys.find(UpperAnsi(name));
        if (found != Subkeys.end() || !create) {
            return found == Subkeys.end() ? nullptr : found->second;
        }
        auto child = std::make_shared<Node>();
        child->Name = std::string(name);
        child->Parent = this;
        Subkeys.emplace(UpperAnsi(name), child);
        return child;
    }
    std::size_t Depth() const {
        std::size_t depth = 0;
        for (const Node* node = Parent; node != nullptr; node = node->Parent) {
            ++depth;
        }
        return depth;
    }
};

HeadlessRegistry::HeadlessRegistry(RegistryFamily family) : Family(family) {
    for (int index = 1; index < 5; ++index) {
        Roots[index] = std::make_shared<Node>();
        Roots[index]->Name = RegeditRootNames[index];
    }
    ClassesRoot();
}

HeadlessRegistry::~HeadlessRegistry() = default;

HeadlessRegistry::NodePtr HeadlessRegistry::ClassesRoot() {
    return Roots[LocalMachineIndex]->Child("SOFTWARE", true)->Child("Classes", true);
}

void HeadlessRegistry::MarkDeleted(Node& key) {
    key.Deleted = true;
    for (auto& [folded, subkey] : key.Subkeys) {
        MarkDeleted(*subkey);
    }
}

HeadlessRegistry::NodePtr HeadlessRegistry::Find(HKEY key, std::uint32_t neededAccess,
                                                 long& status) {
    const int root = RootIndexOf(key);
    if (root == ClassesRootIndex) {
        return ClassesRoot();
    }
    if (root > 0) {
        return Roots[root];
    }
    auto open = Open.find(reinterpret_cast<std::intptr_t>(key));
    if (open == Open.end()) {
        status = reg::InvalidHandle;
        return nullptr;
    }
    if (Family == RegistryFamily::WindowsNT &&
        (open->second.Access & neededAccess) != neededAccess) {
        status = reg::AccessDenied;
        return nullptr;
    }
    if (open->second.Key->Deleted) {
        status = reg::KeyDeleted;
        return nullptr;
    }
    return open->second.Key;
}

HeadlessRegistry::NodePtr HeadlessRegistry::Walk(const NodePtr& from, std::string_view path,
                                                 bool create, bool& created, long& status) {
    created = false;
    if (!path.empty() && path.front() == '\\') {
        status = reg::BadPathname;
        return nullptr;
    }
    const std::vector<std::string_view> names = SplitBackslashNames(path);
    for (std::string_view name : names) {
        if (name.size() > MaxKeyNameLength || !IsRegeditName(name)) {
            status = reg::InvalidParameter;
            return nullptr;
        }
    }
    NodePtr node = from;
    std::size_t depth = from->Depth();
    for (std::string_view name : names) {
        NodePtr child = node->Child(name, false);
        if (child == nullptr && !create) {
            status = reg::FileNotFound;
            return nullptr;
        }
        if (child == nullptr) {
            if (depth + 1 > MaxKeyDepth) {
                status = reg::InvalidParameter;
                return nullptr;
            }
            child = node->Child(name, true);
            created = true;
        }
        node = std::move(child);
        ++depth;
    }
    return node;
}

HKEY HeadlessRegistry::NewHandle(NodePtr key, std::uint32_t access) {
    const std::intptr_t handle = NextHandle;
    NextHandle += 4;
    Open[handle] = {std::move(key), Granted(access)};
    return reinterpret_cast<HKEY>(handle);
}

void HeadlessRegistry::SetString(std::string_view keyPath, std::string_view name,
                                 std::string_view value) {
    bool created = false;
    long status = reg::Success;
    if (NodePtr key = Walk(Roots[LocalMachineIndex], keyPath, true, created, status)) {
        key->SetValue(name, reg::Sz, std::string(value) + '\0');
    }
}

void HeadlessRegistry::SetDword(std::string_view keyPath, std::string_view name,
                                std::uint32_t value) {
    std::string bytes;
    for (int i = 0; i < 4; ++i) {
        bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
    bool created = false;
    long status = reg::Success;
    if (NodePtr key = Walk(Roots[LocalMachineIndex], keyPath, true, created, status)) {
        key->SetValue(name, reg::Dword, std::move(bytes));
    }
}

bool HeadlessRegistry::Load(std::string_view regeditText, std::string& error) {
    std::vector<RegeditKey> keys;
    if (!ParseRegedit(regeditText, keys, error)) {
        return false;
    }
    NodePtr roots[5];
    for (int index = 1; index < 5; ++index) {
        roots[index] = std::make_shared<Node>();
        roots[index]->Name = RegeditRootNames[index];
    }
    const NodePtr classes =
        roots[LocalMachineIndex]->Child("SOFTWARE", true)->Child("Classes", true);
    for (const RegeditKey& key : keys) {
        const std::vector<std::string_view> names = SplitBackslashNames(key.Path);
        const int root = RegeditRootIndex(names.front());
        NodePtr node = root == ClassesRootIndex ? classes : roots[root];
        for (std::size_t i = 1; i < names.size(); ++i) {
            node = node->Child(names[i], true);
        }
        for (const RegeditValue& value : key.Values) {
            node->SetValue(value.Name, value.Type, value.Data);
        }
    }
    for (int index = 1; index < 5; ++index) {
        MarkDeleted(*Roots[index]);
        Roots[index] = std::move(roots[index]);
    }
    return true;
}

std::string HeadlessRegistry::Text() const {
    std::vector<RegeditKey> keys;
    const auto add = [&keys](const auto& self, const Node& node, const std::string& path) -> void {
        if (node.Parent != nullptr || !node.Values.empty()) {
            keys.push_back({path, node.Values});
        }
        for (const auto& [folded, subkey] : node.Subkeys) {
            self(self, *subkey, path + "\\" + subkey->Name);
        }
    };
    for (int index = 1; index < 5; ++index) {
        add(add, *Roots[index], RegeditRootNames[index]);
    }
    return RegeditText(keys);
}

long HeadlessRegistry::RegOpenKeyExA(HKEY key, std::string_view subKey, std::uint32_t,
                                     std::uint32_t access, HKEY& result) {
    result = nullptr;
    long status = reg::Success;
    const NodePtr parent = Find(key, 0, status);
    if (parent == nullptr) {
        return status;
    }
    if (subKey.empty() && RootIndexOf(key) >= 0) {
        result = key;
        return reg::Success;
    }
    // Windows NT lets a path below HKEY_CLASSES_ROOT start with one backslash.
    if (key == HKEY_CLASSES_ROOT && subKey.starts_with('\\')) {
        subKey.remove_prefix(1);
    }
    bool created = false;
    NodePtr opened = Walk(parent, subKey, false, created, status);
    if (opened == nullptr) {
        return status;
    }
    result = NewHandle(std::move(opened), access);
    return reg::Success;
}

long HeadlessRegistry::RegCreateKeyExA(HKEY key, std::string_view subKey, std::uint32_t,
                                       std::uint32_t access, HKEY& result,
                                       std::uint32_t* disposition) {
    result = nullptr;
    long status = reg::Success;
    const NodePtr parent = Find(key, 0, status);
    if (parent == nullptr) {
        return status;
    }
    bool created = false;
    NodePtr opened = Walk(parent, subKey, true, created, status);
    if (opened == nullptr) {
        return status;
    }
    if (disposition != nullptr) {
        *disposition = created ? reg::CreatedNewKey : reg::OpenedExistingKey;
    }
    result = NewHandle(std::move(opened), access);
    return reg::Success;
}

long HeadlessRegistry::RegSetValueExA(HKEY key, std::string_view valueName, std::uint32_t type,
                                      std::span<const char> data) {
    long status = reg::Success;
    const NodePtr node = Find(key, reg::KeySetValue, status);
    if (node == nullptr) {
        return status;
    }
    if (!IsRegeditName(valueName)) {
        return reg::InvalidParameter;
    }
    node->SetValue(valueName, type, std::string(data.begin(), data.end()));
    return reg::Success;
}

long HeadlessRegistry::RegQueryValueExA(HKEY key, std::string_view valueName, std::uint32_t* type,
                                        char* data, std::uint32_t* dataSize) {
    if (data != nullptr && dataSize == nullptr) {
        return reg::InvalidParameter;
    }
    long status = reg::Success;
    const NodePtr node = Find(key, reg::KeyQueryValue, status);
    if (node == nullptr) {
        return status;
    }
    const RegeditValue* value = node->FindValue(valueName);
    return value == nullptr ? reg::FileNotFound : CopyData(*value, type, data, dataSize);
}

long HeadlessRegistry::RegDeleteValueA(HKEY key, std::string_view valueName) {
    long status = reg::Success;
    const NodePtr node = Find(key, reg::KeySetValue, status);
    if (node == nullptr) {
        return status;
    }
    return node->DeleteValue(valueName) ? reg::Success : reg::FileNotFound;
}

long HeadlessRegistry::RegDeleteKeyA(HKEY key, std::string_view subKey) {
    long status = reg::Success;
    const NodePtr parent = Find(key, 0, status);
    if (parent == nullptr) {
        return status;
    }
    bool created = false;
    const NodePtr doomed = Walk(parent, subKey, false, created, status);
    if (doomed == nullptr) {
        return status;
    }
    if (doomed->Parent == nullptr ||
        (Family == RegistryFamily::WindowsNT && !doomed->Subkeys.empty())) {
        return reg::AccessDenied;
    }
    MarkDeleted(*doomed);
    doomed->Parent->Subkeys.erase(UpperAnsi(doomed->Name));
    return reg::Success;
}

long HeadlessRegistry::RegEnumKeyExA(HKEY key, std::uint32_t index, char* name,
                                     std::uint32_t& nameLength) {
    if (name == nullptr) {
        return reg::InvalidParameter;
    }
    long status = reg::Success;
    const NodePtr node = Find(key, reg::KeyEnumerateSubKeys, status);
    if (node == nullptr) {
        return status;
    }
    if (index >= node->Subkeys.size()) {
        return reg::NoMoreItems;
    }
    const Node& subkey = *std::next(node->Subkeys.begin(), index)->second;
    return CopyName(subkey.Name, name, nameLength) ? reg::Success : reg::MoreData;
}

long HeadlessRegistry::RegEnumValueA(HKEY key, std::uint32_t index, char* valueName,
                                     std::uint32_t& valueNameLength, std::uint32_t* type,
                                     char* data, std::uint32_t* dataSize) {
    if (valueName == nullptr || (data != nullptr && dataSize == nullptr)) {
        return reg::InvalidParameter;
    }
    long status = reg::Success;
    const NodePtr node = Find(key, reg::KeyQueryValue, status);
    if (node == nullptr) {
        return status;
    }
    if (index >= node->Values.size()) {
        return reg::NoMoreItems;
    }
    const RegeditValue& value = node->Values[index];
    const bool nameFits = CopyName(value.Name, valueName, valueNameLength);
    status = CopyData(value, type, data, dataSize);
    return nameFits ? status : reg::MoreData;
}

long HeadlessRegistry::RegCloseKey(HKEY key) {
    if (RootIndexOf(key) >= 0) {
        return reg::Success;
    }
    return Open.erase(reinterpret_cast<std::intptr_t>(key)) == 1 ? reg::Success
                                                                 : reg::InvalidHandle;
}

} // namespace platform
