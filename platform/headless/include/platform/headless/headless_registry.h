// A registry held in memory: the whole registry service on a tree of keys, which tests
// and tools fill directly and the sandbox machine loads from its REGEDIT4 file.
#pragma once

#include "platform/regedit_text.h"
#include "platform/registry.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace platform {

/// Whose rules the registry follows: Windows 95 deletes a key with its subkeys and
/// checks no access rights; Windows NT refuses to delete a key with subkeys and refuses
/// a call the handle was not opened for (reg::AccessDenied).
enum class RegistryFamily { Windows95, WindowsNT };

/// HKEY_CLASSES_ROOT is HKEY_LOCAL_MACHINE\SOFTWARE\Classes, as on Windows before 2000.
/// A handle to a key that is deleted stays open, and every call on it but RegCloseKey
/// gives reg::KeyDeleted. Key names are at most 255 characters; names holding a line
/// break or a zero, which a REGEDIT4 file cannot hold, are refused with
/// reg::InvalidParameter.
class HeadlessRegistry final : public RegistryService {
public:
    explicit HeadlessRegistry(RegistryFamily family = RegistryFamily::WindowsNT);
    ~HeadlessRegistry() override;
    HeadlessRegistry(const HeadlessRegistry&) = delete;
    HeadlessRegistry& operator=(const HeadlessRegistry&) = delete;

    /// Stores a REG_SZ value (with its terminating zero) or a REG_DWORD one in the key
    /// `keyPath` of HKEY_LOCAL_MACHINE, creating the key.
    void SetString(std::string_view keyPath, std::string_view name, std::string_view value);
    void SetDword(std::string_view keyPath, std::string_view name, std::uint32_t value);

    /// Replaces every key with those of a REGEDIT4 file (keys under HKEY_CLASSES_ROOT
    /// land in HKEY_LOCAL_MACHINE\SOFTWARE\Classes). On an error, which names the line,
    /// the registry is left as it was.
    bool Load(std::string_view regeditText, std::string& error);
    /// Every key, each after its parent and subkeys in name order, as a REGEDIT4 file.
    std::string Text() const;

    using RegistryService::RegQueryValueExA;
    long RegOpenKeyExA(HKEY key, std::string_view subKey, std::uint32_t options,
                       std::uint32_t access, HKEY& result) override;
    long RegCreateKeyExA(HKEY key, std::string_view subKey, std::uint32_t options,
                         std::uint32_t access, HKEY& result, std::uint32_t* disposition) override;
    long RegSetValueExA(HKEY key, std::string_view valueName, std::uint32_t type,
                        std::span<const char> data) override;
    long RegQueryValueExA(HKEY key, std::string_view valueName, std::uint32_t* type, char* data,
                          std::uint32_t* dataSize) override;
    long RegDeleteValueA(HKEY key, std::string_view valueName) override;
    long RegDeleteKeyA(HKEY key, std::string_view subKey) override;
    long RegEnumKeyExA(HKEY key, std::uint32_t index, char* name,
                       std::uint32_t& nameLength) override;
    long RegEnumValueA(HKEY key, std::uint32_t index, char* valueName,
                       std::uint32_t& valueNameLength, std::uint32_t* type, char* data,
                       std::uint32_t* dataSize) override;
    long RegCloseKey(HKEY key) override;

    /// Handles opened and not yet closed.
    int OpenKeys() const { return static_cast<int>(Open.size()); }

private:
    struct Node;
    using NodePtr = std::shared_ptr<Node>;
    struct OpenKey {
        NodePtr Key;
        std::uint32_t Access = 0;
    };

    /// The key a handle stands for, with the rights it was opened with; null with the
    /// error in `status` for a handle that is not open or a deleted key.
    NodePtr Find(HKEY key, std::uint32_t neededAccess, long& status);
    /// The key `path` names below `from`; with `create`, made where missing (`created`
    /// then tells whether any was). Null with the error in `status`.
    NodePtr Walk(const NodePtr& from, std::string_view path, bool create, bool& created,
                 long& status);
    HKEY NewHandle(NodePtr key, std::uint32_t access);
    NodePtr ClassesRoot();
    static void MarkDeleted(Node& key);

    RegistryFamily Family;
    NodePtr Roots[5];
    std::map<std::intptr_t, OpenKey> Open;
    std::intptr_t NextHandle = 0x100;
};

} // namespace platform
