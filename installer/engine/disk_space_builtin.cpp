// The disk-space check of the chosen parts of the product.
#include "disk_space_builtin.h"

#include "builtin_functions.h"
#include "engine_display.h"
#include "engine_message_box.h"
#include "platform/ansi_text.h"
#include "platform/machine_services.h"

#include <algorithm>
#include <array>
#include <limits>
#include <string>
#include <vector>

namespace vorn {

namespace {

constexpr std::size_t NotEnoughSpaceMessage = 11;
constexpr long SetProgressTotal = 0x01;
constexpr long OfferCancel = 0x02;
constexpr std::uint64_t Most = std::numeric_limits<std::uint64_t>::max();

struct DriveNeed {
    /// The root GetDiskFreeSpaceA takes: "C:\" or "\\server\share\".
    std::string Root;
    std::uint64_t Bytes = 0;
};

std::uint64_t SaturatingSum(std::uint64_t a, std::uint64_t b) {
    return b > Most - a ? Most : a + b;
}

// A decimal byte count; anything after the digits is ignored, a huge one saturates.
std::uint64_t ByteCount(std::string_view text) {
    text = platform::TrimBlanks(text);
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            break;
        }
        const auto digit = static_cast<std::uint64_t>(c - '0');
        value = value > (Most - digit) / 10 ? Most : value * 10 + digit;
    }
    return value;
}

// The root of the drive or share a directory lies on; empty when it has none.
std::string RootOf(std::string_view directory) {
    if (directory.size() >= 2 && directory[1] == ':' && platform::UpperAnsi(directory[0]) >= 'A' &&
        platform::UpperAnsi(directory[0]) <= 'Z') {
        return {platform::UpperAnsi(directory[0]), ':', '\\'};
    }
    if (directory.starts_with("\\\\")) {
        const std::size_t server = directory.find('\\', 2);
        if (server == std::string_view::npos || server == 2 || server + 1 >= directory.size() ||
            directory[server + 1] == '\\') {
            return {};
        }
        const std::size_t share = directory.find('\\', server + 1);
        return platform::UpperAnsi(directory.substr(0, share)) + '\\';
    }
    return {};
}

bool Chosen(Engine& engine, std::string_view variable) {
    if (variable.empty()) {
        return true;
    }
    const std::string value = engine.Variables.GetVariable(variable);
    return !value.empty() && value != "0";
}

// The free bytes of the drive, or Most when they cannot be read.
std::uint64_t FreeBytes(Engine& engine, const std::string& root) {
    std::uint32_t sectorsPerCluster = 0;
    std::uint32_t bytesPerSector = 0;
    std::uint32_t freeClusters = 0;
    std::uint32_t totalClusters = 0;
    if (engine.Services.Machine == nullptr ||
        !engine.Services.Machine->Files().GetDiskFreeSpaceA(
            root.c_str(), sectorsPerCluster, bytesPerSector, freeClusters, totalClusters)) {
        return Most;
    }
    const std::uint64_t cluster = std::uint64_t{sectorsPerCluster} * bytesPerSector;
    return cluster != 0 && freeClusters > Most / cluster ? Most : cluster * freeClusters;
}

// The drive as the message names it: "C:", or the share without its last backslash.
std::string DriveName(const std::string& root) {
    return root.ends_with(":\\") ? root.substr(0, 2) : root.substr(0, root.size() - 1);
}

// Tells the user the drive is short; false when the user ended the installation.
bool ReportShortage(Engine& engine, const DriveNeed& need, std::uint64_t free, bool offerCancel) {
    const std::string drive = DriveName(need.Root);
    const std::string needed = std::to_string(need.Bytes / 1024 + (need.Bytes % 1024 != 0 ? 1 : 0));
    const std::string available = std::to_string(free / 1024);
    const std::array<std::string_view, 3> arguments = {drive, needed, available};
    const std::string text =
        FormatMessageText(engine.Message(NotEnoughSpaceMessage), arguments, MessageTextSize);
    const int style = box::IconExclamation | (offerCancel ? 0 : box::NoCancel);
    if (EngineMessageBox(engine, 0, text, engine.Message(msg::QuestionTitle), style) ==
        answer::Cancelled) {
        engine.Services.Host.SetAbortFlag();
        return false;
    }
    return true;
}

} // namespace

std::int32_t f23(Engine& engine, const DllCallBlock& block) {
    ArgumentFields fields(block);
    const long flags = fields.Number(0);
    std::vector<DriveNeed> needs;
    std::uint64_t chosenBytes = 0;
    // The parts run to the first triple whose fields are all empty.
    for (std::size_t part = 1; !fields.Text(part).empty() || !fields.Text(part + 1).empty() ||
                               !fields.Text(part + 2).empty();
         part += 3) {
        if (!Chosen(engine, fields.Text(part))) {
            continue;
        }
        const std::uint64_t bytes = ByteCount(fields.Text(part + 2));
        chosenBytes = SaturatingSum(chosenBytes, bytes);
        const std::string root = RootOf(fields.Text(part + 1));
        if (root.empty()) {
            continue;
        }
        auto found = std::find_if(needs.begin(), needs.end(),
                                  [&](const DriveNeed& need) { return need.Root == root; });
        if (found == needs.end()) {
            found = needs.insert(needs.end(), DriveNeed{root, 0});
        }
        found->Bytes = SaturatingSum(found->Bytes, bytes);
    }
    if ((flags & SetProgressTotal) != 0 && engine.Display != nullptr) {
        engine.Display->SetTotalBytes(static_cast<std::uint32_t>(
            std::min<std::uint64_t>(chosenBytes, std::numeric_limits<std::uint32_t>::max())));
    }
    bool room = true;
    for (const DriveNeed& need : needs) {
        const std::uint64_t free = FreeBytes(engine, need.Root);
        if (need.Bytes > free) {
            room = false;
            if (!ReportShortage(engine, need, free, (flags & OfferCancel) != 0)) {
                break;
            }
        }
    }
    return room ? 1 : 0;
}

} // namespace vorn
