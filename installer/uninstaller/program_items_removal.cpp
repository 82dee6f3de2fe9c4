// The removal engine's Program Manager step: items found in the groups' contents and
// deleted over DDE, with the groups they leave empty.
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
#include <optional>

namespace rescind::detail {

using platform::EqualsIgnoringCase;
using platform::HKEY;
using platform::UniqueRegistryKey;

namespace {

// Program Manager's answer to a request, one text line at a time.
std::vector<std::string> Lines(std::string_view text) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : text) {
        if (c == '\0') {
            break;
        }
        if (c == '\r' || c == '\n') {
            if (!line.empty()) {
                lines.push_back(std::move(line));
            }
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) {
        lines.push_back(std::move(line));
    }
    return lines;
}

// The comma-separated fields of a group line, quotes removed.
std::vector<std::string> Fields(std::string_view line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

// A name as a command's argument: quoted, so that commas and parentheses in it stay
// part of the name.
std::string Quoted(std::string_view name) {
    return "\"" + std::string(name) + "\"";
}

} // namespace

void Remover::RemoveProgramItems() {
    const auto inScope = [&](const ProgramItemEntry& item) {
        return InScope(item.Installation) && !(Custom() && !item.Selected);
    };
    if (Stopped() || std::none_of(Lists.ProgramItems.begin(), Lists.ProgramItems.end(), inScope)) {
        Done += static_cast<int>(Lists.ProgramItems.size());
        return;
    }
    std::uint32_t id = 0;
    if (S.Dde.DdeInitializeA(id, {}, platform::dde::ApplicationCommandClientOnly) !=
        platform::dde::NoError) {
        Leave("Program Manager", "no DDE conversation could be started", true);
        return;
    }
    platform::UniqueDdeInstance instance(id, {&S.Dde});
    const auto handle = [&](std::string_view text) {
        return platform::UniqueDdeString(
            S.Dde.DdeCreateStringHandleA(id, text, platform::dde::CodePageWinAnsi), {&S.Dde, id});
    };
    const platform::UniqueDdeString progman = handle("PROGMAN");
    platform::UniqueDdeConversation conversation(S.Dde.DdeConnect(id, progman.Get(), progman.Get()),
                                                 {&S.Dde});
    if (!conversation) {
        Leave("Program Manager", "Program Manager does not answer", true);
        return;
    }
    // No answer at all (unlike an empty one) means the contents cannot be read.
    const auto request = [&](std::string_view item) -> std::optional<std::string> {
        const platform::UniqueDdeString name = handle(item);
        platform::UniqueDdeData data(S.Dde.DdeClientTransaction({}, conversation.Get(), name.Get(),
                                                                platform::dde::ClipboardText,
                                                                platform::dde::Request, 5000,
                                                                nullptr),
                                     {&S.Dde});
        if (!data) {
            return std::nullopt;
        }
        std::string text(S.Dde.DdeGetData(data.Get(), {}, 0), '\0');
        text.resize(S.Dde.DdeGetData(data.Get(), text, 0));
        return text;
    };
    const auto execute = [&](const std::string& command) {
        return S.Dde.DdeClientTransaction(
                   std::span<const char>(command.c_str(), command.size() + 1), conversation.Get(),
                   platform::DdeNoString, platform::dde::ClipboardText, platform::dde::Execute,
                   1000, nullptr) != platform::DdeNoData;
    };
    struct Group {
        std::string Name;
        std::vector<std::vector<std::string>> Items;
    };
    std::vector<Group> groups;
    for (const std::string& name : Lines(request("GROUPS").value_or(""))) {
        const std::optional<std::string> contents = request(name);
        if (!contents) {
            continue;
        }
        Group group{name, {}};
        const std::vector<std::string> lines = Lines(*contents);
        for (std::size_t i = 1; i < lines.size(); ++i) {
            group.Items.push_back(Fields(lines[i]));
        }
        groups.push_back(std::move(group));
    }
    const auto readable = [&](std::string_view name) {
        return std::any_of(groups.begin(), groups.end(), [&](const Group& group) {
            return EqualsIgnoringCase(group.Name, name);
        });
    };
    // Groups whose items went by name alone, their contents unknown.
    std::vector<std::string> blind;
    for (ProgramItemEntry& item : Lists.ProgramItems) {
        if (Stopped()) {
            return;
        }
        Step();
        if (!inScope(item) || item.Gone) {
            continue;
        }
        Show(text::RemovingIcon, item.Name);
        // An item goes only under its own name, from its own group when that still has
        // it, else from a group where its command stands, so an icon of the user's with
        // the same command stays.
        const auto matches = [&](const Group& group, const std::vector<std::string>& f,
                                 bool byGroup) {
            return !f.empty() && EqualsIgnoringCase(f[0], item.Name) &&
                   (byGroup ? EqualsIgnoringCase(group.Name, item.Group)
                            : f.size() > 1 && EqualsIgnoringCase(f[1], item.Command));
        };
        bool refused = false;
        for (const bool byGroup : {true, false}) {
            for (Group& group : groups) {
                const auto found =
                    std::find_if(group.Items.begin(), group.Items.end(),
                                 [&](const auto& f) { return matches(group, f, byGroup); });
                if (found == group.Items.end() || item.Gone || refused) {
                    continue;
                }
                execute("[ShowGroup(" + Quoted(group.Name) + ",2)]");
                execute("[ShowGroup(" + Quoted(group.Name) + ",1)]");
                if (!execute("[DeleteItem(" + Quoted(item.Name) + ")]")) {
                    Leave(item.Name, "Program Manager refused to delete the item", true);
                    refused = true;
                    continue;
                }
                item.Gone = true;
                group.Items.erase(found);
                if (group.Items.empty() && !EqualsIgnoringCase(group.Name, "STARTUP")) {
                    execute("[DeleteGroup(" + Quoted(group.Name) + ")]");
                }
            }
        }
        // A shell that plays Program Manager without telling what its groups hold: the
        // item is deleted by name in its own group, once that group is the active one
        // (else the deletion would hit the same name in whichever group is).
        if (!item.Gone && !refused && !item.Group.empty() && !readable(item.Group)) {
            bool shown = execute("[ShowGroup(" + Quoted(item.Group) + ",2)]");
            shown = execute("[ShowGroup(" + Quoted(item.Group) + ",1)]") || shown;
            if (shown) {
                // A refusal means the group has no such item (any more): nothing to do.
                execute("[DeleteItem(" + Quoted(item.Name) + ")]");
                item.Gone = true;
                if (std::none_of(blind.begin(), blind.end(), [&](const std::string& name) {
                        return EqualsIgnoringCase(name, item.Group);
                    })) {
                    blind.push_back(item.Group);
                }
            }
        }
    }
    // Such a group stays: a shell that cannot list a group deletes it with whatever it
    // holds, and the user may have put items of their own in it since.
    for (const std::string& name : blind) {
        Leave(name, "Program Manager cannot tell whether the group holds items of the user's");
    }
}

} // namespace rescind::detail
