// Opcode 9: calls a function of an outside library or one of the engine's own
// f-functions.
#include "dll_call.h"

#include "builtin_functions.h"
#include "engine_message_box.h"
#include "script_interpreter.h"

namespace vorn {

namespace {

constexpr std::uint8_t FormMask = 0x03;
constexpr std::uint8_t AbortWhenTrue = 1;
constexpr std::uint8_t IfForm = 2;
constexpr std::uint8_t WhileForm = 3;
constexpr std::uint8_t CloseProgress = 0x04;
constexpr std::uint8_t OwnFunction = 0x08;
constexpr std::uint8_t TestAtEnd = 0x10;
constexpr std::uint8_t Tested = 0x20;

// The members both blocks share, in the same order.
template <typename Block> Block MakeCommonBlock(Engine& engine) {
    Block block{};
    block.Size = sizeof(Block);
    block.MainWindow = engine.Services.Host.MainWindow();
    block.MaxSlots = VariableTable::Slots;
    block.NameSize = VariableTable::NameSize;
    block.ValueSize = VariableTable::ValueSize;
    block.SlotsInUse = engine.Variables.SlotsInUse();
    block.Names = engine.Variables.NamesData();
    block.Values = engine.Variables.ValuesData();
    block.Mode = static_cast<decltype(block.Mode)>(engine.Mode);
    block.LogFile = engine.Services.Log.FileHandle();
    block.Argument = engine.ArgumentText.Data();
    return block;
}

DllCallBlock MakeBlock(Engine& engine) {
    auto block = MakeCommonBlock<DllCallBlock>(engine);
    block.MessageTable = engine.Messages != nullptr ? engine.Messages->Pointers() : nullptr;
    return block;
}

DllCallBlockEx MakeBlockEx(Engine& engine) {
    auto block = MakeCommonBlock<DllCallBlockEx>(engine);
    block.ErrorTitle = engine.Messages != nullptr ? engine.Messages->CText(msg::ErrorTitle) : "";
    block.RegistryWriteFailed =
        engine.Messages != nullptr ? engine.Messages->CText(msg::RegistryWriteFailed) : "";
    block.Silent = engine.Services.Host.Silent() ? 1 : 0;
    return block;
}

bool CallBuiltin(Engine& engine, std::string_view function, std::string_view argument) {
    std::optional<std::size_t> number = BuiltinNumber(function);
    BuiltinFunction builtin = number ? engine.Builtins[*number] : nullptr;
    if (builtin == nullptr) {
        return false;
    }
    engine.Variables.ExpandVariables(engine.ArgumentText, argument);
    // The engine's own functions change the table through SetVariable, which keeps
    // the count itself: the block's copy is not read back.
    return builtin(engine, MakeBlock(engine)) != 0;
}

enum class LibraryCall { False, True, NotLoaded };

LibraryCall CallLibrary(Engine& engine, std::string_view path, std::string_view function,
                        std::string_view argument) {
    platform::LibraryService& libraries = engine.Services.Libraries;
    bool loadedEx = true;
    platform::UniqueLibrary module(
        libraries.LoadLibraryExA(path, platform::load::WithAlteredSearchPath), {&libraries});
    if (!module) {
        loadedEx = false;
        module.Reset(libraries.LoadLibraryA(path));
    }
    if (!module) {
        return LibraryCall::NotLoaded;
    }
    bool result = false;
    if (platform::ProcAddress entry = libraries.GetProcAddress(module.Get(), function)) {
        engine.Variables.ExpandVariables(engine.ArgumentText, argument);
        if (loadedEx) {
            DllCallBlockEx block = MakeBlockEx(engine);
            result = libraries.CallEntry(entry, &block) != 0;
            engine.Variables.SetSlotsInUse(static_cast<std::uint32_t>(block.SlotsInUse));
        } else {
            DllCallBlock block = MakeBlock(engine);
            result = libraries.CallEntry(entry, &block) != 0;
            engine.Variables.SetSlotsInUse(block.SlotsInUse);
        }
        // The argument buffer was the function's to write in; keep it terminated.
        engine.ArgumentText.Terminate();
    }
    // A library from LoadLibraryExA is freed on leaving; one from LoadLibraryA stays.
    if (!loadedEx) {
        engine.KeepLibrary(std::move(module));
    }
    return result ? LibraryCall::True : LibraryCall::False;
}

} // namespace

int CallDllFunction(Engine& engine, ActionRecord& record) {
    std::uint8_t flags = record.Flags();
    std::uint8_t form = flags & FormMask;
    if (form == WhileForm) {
        if (!engine.Loops.Push(record.Offset())) {
            return AbortBrokenScript(engine);
        }
        if ((flags & TestAtEnd) != 0) {
            // First visit: the body runs once; the next visit calls.
            record.SetFlags(flags ^ (TestAtEnd | Tested));
            return run::Continue;
        }
    }
    if ((flags & CloseProgress) != 0) {
        engine.Services.Host.CloseProgressWindow();
    }
    FixedText<PathSize> path;
    FixedText<PathSize> function;
    engine.Variables.ExpandVariables(path, record.Once(0));
    engine.Variables.ExpandVariables(function, record.Once(1));
    bool result = false;
    if ((flags & OwnFunction) != 0) {
        result = CallBuiltin(engine, function.View(), record.PerLanguage(0));
    } else {
        switch (CallLibrary(engine, path.View(), function.View(), record.PerLanguage(0))) {
        case LibraryCall::NotLoaded:
            ReportError(engine, FormatMessageText(engine.Message(msg::LibraryNotLoaded, "%s"),
                                                  path.View(), MessageTextSize));
            return AbortRun(engine);
        case LibraryCall::True:
            result = true;
            break;
        case LibraryCall::False:
            break;
        }
    }
    if (result) {
        return form == AbortWhenTrue ? AbortRun(engine) : run::Continue;
    }
    if (form == WhileForm) {
        engine.Loops.Pop();
        if ((flags & Tested) != 0) {
            record.SetFlags(flags ^ (TestAtEnd | Tested));
        }
    }
    if (form == IfForm || form == WhileForm) {
        return AfterSkip(engine, SkipBlock(engine));
    }
    return run::Continue;
}

} // namespace vorn
