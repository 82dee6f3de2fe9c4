// The removal engine's registry steps: the database engine's use count, values put back
// or removed with the keys they leave empty, and whole key trees.
#include "installer/log/registry_value_bytes.h"
#include "platform/ansi_text.h"
#include "platform/dde.h"
#include "platform/files.h"
#include "platform/library.h"
#include "platform/message_box.h"
#include "platform/processes.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/service_control.h"
#include "platform/system_info.h"
#include "remover.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace rescind::detail {

using platform::EqualsIgnoringCase;
using platform::HKEY;
using platform::UniqueRegistryKey;

namespace {

constexpr std::string_view BdeKey = "Software\\Borland\\Database Engine";
constexpr std::uint32_t MaxSubKeysPerLevel = 2048;

// A key path whose whole tree must never go, whatever a log says: a root's own
// top-level keys that hold everyone's settings.
bool IsProtectedTree(int root, std::string_view key) {
    const std::vector<std::string_view> names = platform::SplitBackslashNames(key);
    if (names.empty()) {
        return true;
    }
    if (names.size() > 1) {
        return false;
    }
    if (root != 0) {
        return true;
    }
    static constexpr std::array<std::string_view, 6> Shared{"CLSID", "Interface", "TypeLib",
                                                            "AppID", "*",         "Folder"};
    return std::any_of(Shared.begin(), Shared.end(),
                       [&](std::string_view name) { return EqualsIgnoringCase(name, names[0]); });
}

} // namespace

void Remover::ReleaseSubSystem() {
    if (Lists.SubSystem.empty() || Stopped() || (Custom() && !Lists.SubSystemSelected)) {
        return;
    }
    Show(text::RemovingSubSystem, Lists.SubSystem);
    long status = 0;
    UniqueRegistryKey key = OpenKey(platform::HKEY_LOCAL_MACHINE, BdeKey,
                                    platform::reg::KeyRead | platform::reg::KeySetValue, status);
    if (!key) {
        return;
    }
    std::array<char, 64> data{};
    std::uint32_t size = data.size();
    std::uint32_t type = 0;
    if (S.Registry.RegQueryValueExA(key.Get(), "UseCount", &type, data.data(), &size) !=
        platform::reg::Success) {
        return;
    }
    std::uint32_t count = 0;
    if (type == platform::reg::Sz || type == platform::reg::ExpandSz) {
        count = static_cast<std::uint32_t>(std::atoi(std::string(data.data(), size).c_str()));
    } else if (size >= 4) {
        for (int i = 3; i >= 0; --i) {
            count = count * 256 + static_cast<unsigned char>(data[static_cast<std::size_t>(i)]);
        }
    }
    if (count > 1) {
        const std::string lower = std::to_string(count - 1);
        S.Registry.RegSetValueExA(key.Get(), "UseCount", platform::reg::Sz,
                                  std::span<const char>(lower.c_str(), lower.size() + 1));
        return;
    }
    key.Reset();
    while (Ui.WindowClassExists("IB_Server")) {
        const RunningServerAnswer answer =
            Ui.AskServerRunning(Strings.Text(text::InterbaseRunning));
        if (answer == RunningServerAnswer::Abort) {
            Report.Aborted = true;
            return;
        }
        if (answer == RunningServerAnswer::Ignore) {
            break;
        }
    }
    DeleteKeyTree(platform::HKEY_LOCAL_MACHINE, std::string(BdeKey), 0);
    DeleteKeyTree(platform::HKEY_LOCAL_MACHINE, "Software\\Borland\\BLW32", 0);
    UniqueRegistryKey borland =
        OpenKey(platform::HKEY_LOCAL_MACHINE, "Software\\Borland", platform::reg::KeyRead, status);
    if (borland) {
        std::array<char, 260> name{};
        std::uint32_t length = name.size();
        std::uint32_t valueLength = name.size();
        const bool hasKey = S.Registry.RegEnumKeyExA(borland.Get(), 0, name.data(), length) !=
                            platform::reg::NoMoreItems;
        const bool hasValue =
            S.Registry.RegEnumValueA(borland.Get(), 0, name.data(), valueLength, nullptr, nullptr,
                                     nullptr) != platform::reg::NoMoreItems;
        borland.Reset();
        if (!hasKey && !hasValue) {
            S.Registry.RegDeleteKeyA(platform::HKEY_LOCAL_MACHINE, "Software\\Borland");
        }
    }
}

void Remover::RestoreRegistryValues() {
    for (const RegValueItem& value : Lists.RegValuesToRestore) {
        if (Stopped()) {
            return;
        }
        Step();
        const HKEY root = platform::RegistryRoot(value.Root);
        if (!InScope(value.Installation) || (Custom() && !value.Selected) || root == nullptr) {
            continue;
        }
        Show(text::EditingKey, value.Key);
        HKEY handle = nullptr;
        long status = S.Registry.RegCreateKeyExA(root, value.Key, 0, platform::reg::KeyWrite,
                                                 handle, nullptr);
        UniqueRegistryKey key(status == platform::reg::Success ? handle : nullptr, {&S.Registry});
        if (key) {
            const std::string bytes = vorn::RegistryValueBytes(
                value.Type, Rollback ? value.RollbackValue : value.UninstallValue);
            status = S.Registry.RegSetValueExA(key.Get(), value.Name,
                                               vorn::RegistryValueType(value.Type), bytes);
        }
        if (status != platform::reg::Success) {
            Leave(value.Key + (value.Name.empty() ? "" : " Value Name: " + value.Name),
                  "the old value could not be written back: " +
                      ErrorReason(static_cast<std::uint32_t>(status)),
                  true);
        }
    }
}

void Remover::RemoveRegistryValues() {
    for (auto value = Lists.RegValuesToRemove.rbegin(); value != Lists.RegValuesToRemove.rend();
         ++value) {
        if (Stopped()) {
            return;
        }
        Step();
        const HKEY root = platform::RegistryRoot(value->Root);
        if (!InScope(value->Installation) || (Custom() && !value->Selected) || root == nullptr) {
            continue;
        }
        Show(text::RemovingKey, value->Key);
        long status = 0;
        std::string path = value->Key;
        {
            UniqueRegistryKey key =
                OpenKey(root, path, platform::reg::KeyRead | platform::reg::KeySetValue, status);
            if (!key) {
                if (status != platform::reg::FileNotFound) {
                    Leave(value->Key,
                          "the key could not be opened: " +
                              ErrorReason(static_cast<std::uint32_t>(status)),
                          true);
                }
                continue;
            }
            status = S.Registry.RegDeleteValueA(key.Get(), value->Name);
            if (status != platform::reg::Success && status != platform::reg::FileNotFound) {
                Leave(value->Key + " Value Name: " + value->Name,
                      "the value could not be deleted: " +
                          ErrorReason(static_cast<std::uint32_t>(status)),
                      true);
                continue;
            }
        }
        // Keys left empty go too, up to the first that holds something.
        while (!platform::SplitBackslashNames(path).empty()) {
            UniqueRegistryKey key = OpenKey(root, path, platform::reg::KeyRead, status);
            if (!key) {
                break;
            }
            std::array<char, 260> name{};
            std::uint32_t length = name.size();
            std::uint32_t valueLength = name.size();
            const bool empty =
                S.Registry.RegEnumKeyExA(key.Get(), 0, name.data(), length) ==
                    platform::reg::NoMoreItems &&
                S.Registry.RegEnumValueA(key.Get(), 0, name.data(), valueLength, nullptr, nullptr,
                                         nullptr) == platform::reg::NoMoreItems;
            key.Reset();
            if (!empty || S.Registry.RegDeleteKeyA(root, path) != platform::reg::Success) {
                break;
            }
            const std::size_t slash = path.rfind('\\');
            path = slash == std::string::npos ? std::string() : path.substr(0, slash);
        }
    }
}

bool Remover::DeleteKeyTree(HKEY root, const std::string& key, int depth) {
    if (depth > MaxKeyDepth) {
        return false;
    }
    long status = 0;
    UniqueRegistryKey open = OpenKey(root, key, platform::reg::KeyRead, status);
    if (!open) {
        return status == platform::reg::FileNotFound;
    }
    std::vector<std::string> children;
    for (std::uint32_t index = 0; index < MaxSubKeysPerLevel; ++index) {
        std::array<char, 260> name{};
        std::uint32_t length = name.size();
        if (S.Registry.RegEnumKeyExA(open.Get(), index, name.data(), length) !=
            platform::reg::Success) {
            break;
        }
        children.emplace_back(name.data(), length);
    }
    open.Reset();
    bool all = true;
    for (const std::string& child : children) {
        all = DeleteKeyTree(root, key + "\\" + child, depth + 1) && all;
    }
    return S.Registry.RegDeleteKeyA(root, key) == platform::reg::Success && all;
}

void Remover::RemoveRegistryTrees() {
    for (auto tree = Lists.RegTrees.rbegin(); tree != Lists.RegTrees.rend(); ++tree) {
        if (Stopped()) {
            return;
        }
        Step();
        const HKEY root = platform::RegistryRoot(tree->Root);
        if (!InScope(tree->Installation) || (Custom() && !tree->Selected) || root == nullptr) {
            continue;
        }
        if (IsProtectedTree(tree->Root, tree->Key)) {
            Leave(tree->Key, "a top-level key that other software shares is never deleted");
            continue;
        }
        Show(text::RemovingKeyTree, tree->Key);
        if (!DeleteKeyTree(root, tree->Key, 0)) {
            Leave(tree->Key, "the key tree could not be deleted", true);
        }
    }
}

} // namespace rescind::detail
