// The state an install engine run shares between the interpreter and every action:
// the script, the variables, the loop stack, the message table, the services, the
// working buffers and the handler tables that later parts of the engine fill.
#pragma once

#include "archive_parts.h"
#include "dll_call_block.h"
#include "engine_services.h"
#include "fixed_text.h"
#include "loop_stack.h"
#include "message_table.h"
#include "platform/dde.h"
#include "platform/library.h"
#include "script.h"
#include "transfer_library.h"
#include "variables.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace vorn {

class Engine;
class EngineDisplay;
class DialogState;

/// An action of another part of the engine (install files, edit the registry, ...):
/// returns 0 to go on with the next record, -1 when the script is finished, -2 to abort.
using ActionHandler = int (*)(Engine& engine, ActionRecord& record);

/// One of the engine's own script-callable functions f0 to f34: non-zero is "true".
using BuiltinFunction = std::int32_t (*)(Engine& engine, const DllCallBlock& block);

/// Sizes of the engine's working buffers.
inline constexpr std::size_t PathSize = 256;
inline constexpr std::size_t LongTextSize = 30720;
inline constexpr std::size_t MessageTitleSize = 256;
inline constexpr std::size_t MessageTextSize = 1024;
/// Files opcode 22 may list for deletion at the end of the run.
inline constexpr std::size_t MaxTempFiles = 127;
inline constexpr std::size_t BuiltinCount = 35;

/// One line "name = value" of the answer file (option M=).
struct AnswerLine {
    std::string Name;
    std::string Value;
};

/// The run's shared state. Large (the buffers and variable arrays are inline, as they
/// were allocated once at start-up): make it with std::make_unique.
class Engine {
public:
    Engine(Script script, EngineServices services);
    ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    Script Program;
    VariableTable Variables;
    LoopStack Loops;
    EngineServices Services;
    /// Null until the script's message table has been read.
    const MessageTable* Messages = nullptr;
    RunMode Mode = RunMode::Normal;
    /// Set by the file installer when a file was in use; cleared before every record.
    bool FileInUse = false;
    /// The text of the last error reported, for the log and the status file.
    FixedText<PathSize> AbortReason;
    /// Full paths of the temporary files opcode 22 made, to delete at the end.
    std::vector<std::string> TempFiles;
    /// The answer file's lines, when the engine was started with one.
    std::vector<AnswerLine> Answers;
    bool HasAnswerFile = false;
    /// Set by the actions that write INI files or the registry: the run ends by telling
    /// every window that settings changed.
    bool SettingsChanged = false;
    /// The archive's disk parts and the transfer library, as the file actions use them.
    ArchiveParts Disks;
    TransferLibrary Transfer;

    /// The progress window, billboards and sound; null where nothing is shown.
    EngineDisplay* Display = nullptr;

    /// Short paths of the installed files that register themselves at the end of the run.
    std::vector<std::string> SelfRegistrations;
    static constexpr std::size_t MaxSelfRegistrations = 1024;
    /// The registration program the archive carries (empty when none), and whether each
    /// file is shown in a box before it registers itself (manual mode 1).
    std::string RegistrationProgram;
    bool ConfirmSelfRegistration = false;
    /// In-use files were scheduled through "_MSSETUP.BAT": the run offers the restart.
    bool RestartPending = false;

    /// Handlers of the opcodes other parts implement; a record whose opcode has no
    /// handler is passed over.
    std::array<ActionHandler, op::LastAction + 1> Actions{};
    /// f0 to f34 by number; null where the function does not exist (yet).
    std::array<BuiltinFunction, BuiltinCount> Builtins{};

    /// Working buffers: an expanded DLL argument, an expanded condition value.
    FixedText<LongTextSize> ArgumentText;
    FixedText<LongTextSize> ConditionText;

    /// Text of message `index`, or `fallback` while there is no message table.
    std::string_view Message(std::size_t index, std::string_view fallback = {}) const;

    /// The dialog sets' state across records; made by the first dialog set.
    std::shared_ptr<DialogState> Dialogs;

    /// The engine's DDE instance, 0 when DDE is not available, and the conversation with
    /// Program Manager that opcode 15 opens in it and opcode 16 ends.
    std::uint32_t DdeInstance = 0;
    platform::UniqueDdeConversation ProgramManager;

    /// Keeps a library loaded with LoadLibraryA until the engine ends.
    void KeepLibrary(platform::UniqueLibrary module);
    std::shared_ptr<struct StartupFileState> TextFiles; ///< text_file_edit.h; made on first use

private:
    std::vector<platform::UniqueLibrary> KeptLibraries;
};

} // namespace vorn
