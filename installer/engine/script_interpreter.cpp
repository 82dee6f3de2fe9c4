// The script interpreter and the records it handles itself.
#include "script_interpreter.h"

#include "comparison.h"
#include "dll_call.h"
#include "engine_message_box.h"

namespace vorn {

namespace {

/// What one record asks of the run loop.
enum class Step {
    /// Advance past the record and go on.
    Next,
    /// The position is set (loop jump, filler); return 0 to the caller.
    Return,
    Finished,
    Aborted,
};

Step StepOf(int result) {
    switch (result) {
    case run::Continue:
        return Step::Next;
    case run::Finished:
        return Step::Finished;
    default:
        return Step::Aborted;
    }
}

// Opcode 3: a message; with flag bit 0 a Yes/No question whose No skips the block.
Step DisplayMessage(Engine& engine, ActionRecord& record) {
    engine.Services.Host.CloseProgressWindow();
    FixedText<MessageTitleSize> title;
    FixedText<MessageTextSize> text;
    engine.Variables.ExpandVariables(title, record.PerLanguage(0));
    engine.Variables.ExpandVariables(text, record.PerLanguage(1));
    auto style = static_cast<std::int8_t>(record.Flags());
    int result = EngineMessageBox(engine, 0, text.View(), title.View(), style);
    if (result == answer::Cancelled) {
        return StepOf(AbortRun(engine));
    }
    if (result == answer::No && (record.Flags() & 0x01) != 0) {
        return StepOf(AfterSkip(engine, SkipBlock(engine)));
    }
    return Step::Next;
}

// Opcode 8: the end of a block; a non-zero flag byte ends a loop, which jumps back
// to the loop's record to evaluate it again.
Step EndBlock(Engine& engine, ActionRecord& record) {
    if (record.Flags() == 0) {
        return Step::Next;
    }
    std::optional<std::uint32_t> loop = engine.Loops.Pop();
    if (!loop) {
        // An end of a loop that never began: the script is broken.
        return StepOf(AbortBrokenScript(engine));
    }
    engine.Program.Position = *loop;
    return Step::Return;
}

// Opcode 12: If and While, with the test-at-end state kept in the flag byte.
Step IfWhile(Engine& engine, ActionRecord& record) {
    constexpr std::uint8_t ComparisonMask = 0x0F;
    constexpr std::uint8_t Loop = 0x10;
    constexpr std::uint8_t TestAtEnd = 0x20;
    constexpr std::uint8_t Tested = 0x40;
    std::uint8_t flags = record.Flags();
    bool loop = (flags & Loop) != 0;
    if (loop && !engine.Loops.Push(record.Offset())) {
        return StepOf(AbortBrokenScript(engine));
    }
    if (loop && (flags & TestAtEnd) != 0) {
        // First visit: the body runs once; the next visit tests.
        record.SetFlags(flags ^ (TestAtEnd | Tested));
        return Step::Next;
    }
    engine.Variables.ExpandVariables(engine.ConditionText, record.Once(1));
    std::string variable = engine.Variables.GetVariable(record.Once(0));
    if (EvaluateComparison(flags & ComparisonMask, variable, engine.ConditionText.View())) {
        return Step::Next;
    }
    if (loop) {
        engine.Loops.Pop();
    }
    if ((flags & Tested) != 0) {
        record.SetFlags(flags ^ (TestAtEnd | Tested));
    }
    return StepOf(AfterSkip(engine, SkipBlock(engine)));
}

// Opcode 22: a new empty temporary file; the variable gets its name without directory.
Step GetTempFileName(Engine& engine, ActionRecord& record) {
    std::string path =
        engine.Services.TempFiles.CreateTempFile(engine.Variables.GetVariable("TEMP"), "KTF");
    std::size_t slash = path.find_last_of("\\/");
    engine.Variables.SetVariable(record.Once(0),
                                 slash == std::string::npos ? path : path.substr(slash + 1));
    // Past the list's size the file stays, as there is nowhere to note it.
    if (!path.empty() && engine.TempFiles.size() < MaxTempFiles) {
        engine.TempFiles.push_back(path);
    }
    return Step::Next;
}

// Opcode 27: filler bytes, all skipped at once.
Step Filler(Engine& engine) {
    std::uint32_t position = engine.Program.Position;
    while (engine.Program.ByteAt(position) == op::Filler) {
        ++position;
    }
    engine.Program.Position = position;
    return Step::Return;
}

// Opcode 28: text for the log, written as it is.
Step AddToLog(Engine& engine, ActionRecord& record) {
    if (engine.Mode != RunMode::Test) {
        FixedText<PathSize> text;
        engine.Variables.ExpandVariables(text, record.Once(0));
        engine.Services.Log.AddText(text.View());
    }
    return Step::Next;
}

// Opcode 30: pauses or resumes logging, or moves on to a new log file.
Step SetLogFile(Engine& engine, ActionRecord& record) {
    if (engine.Mode != RunMode::Test) {
        FixedText<PathSize> path;
        engine.Variables.ExpandVariables(path, record.Once(0));
        engine.Services.Log.SetLogFile(record.Flags(), path.View());
    }
    return Step::Next;
}

Step Dispatch(Engine& engine, ActionRecord& record) {
    switch (record.Opcode()) {
    case op::DisplayMessage:
        return DisplayMessage(engine, record);
    case op::EndBlock:
        return EndBlock(engine, record);
    case op::CallDll:
        return StepOf(CallDllFunction(engine, record));
    case op::IfWhile:
        return IfWhile(engine, record);
    case op::Else:
        // Reached while running the If part: the else part is passed over.
        return StepOf(AfterSkip(engine, SkipBlock(engine)));
    case op::GetTempFileName:
        return GetTempFileName(engine, record);
    case op::ExitInstallation:
    case op::EndOfScript:
        return Step::Finished;
    case op::Filler:
        return Filler(engine);
    case op::AddToLog:
        return AddToLog(engine, record);
    case op::SetLogFile:
        return SetLogFile(engine, record);
    default:
        break;
    }
    ActionHandler handler = engine.Actions[record.Opcode()];
    return handler != nullptr ? StepOf(handler(engine, record)) : Step::Next;
}

} // namespace

bool OpensBlock(const ActionRecord& record) {
    switch (record.Opcode()) {
    case op::DisplayMessage:
        return (record.Flags() & 0x01) != 0;
    case op::CallDll:
        return (record.Flags() & 0x03) >= 2;
    case op::IfWhile:
        return true;
    default:
        return false;
    }
}

SkipEnd SkipBlock(Engine& engine) {
    Script& script = engine.Program;
    int depth = 1;
    do {
        std::optional<ActionRecord> record = script.Current();
        if (!record) {
            return SkipEnd::BrokenScript;
        }
        if (record->Opcode() == op::EndOfScript) {
            return SkipEnd::EndOfScript;
        }
        script.Position = static_cast<std::uint32_t>(script.Position + record->Size());
        std::optional<ActionRecord> next = script.Current();
        if (!next) {
            return SkipEnd::BrokenScript;
        }
        if (next->Opcode() == op::EndBlock || (next->Opcode() == op::Else && depth == 1)) {
            --depth;
        } else if (OpensBlock(*next)) {
            ++depth;
        }
    } while (depth > 0);
    return SkipEnd::ElseOrEnd;
}

int AfterSkip(Engine& engine, SkipEnd end) {
    switch (end) {
    case SkipEnd::ElseOrEnd:
        return run::Continue;
    case SkipEnd::EndOfScript:
        return run::Finished;
    case SkipEnd::BrokenScript:
        break;
    }
    return AbortBrokenScript(engine);
}

int AbortRun(Engine& engine) {
    engine.Services.Host.SetAbortFlag();
    return run::Aborted;
}

int AbortBrokenScript(Engine& engine) {
    ReportError(engine, engine.Message(msg::InternalError, DefaultErrorText));
    return AbortRun(engine);
}

int RunActions(Engine& engine) {
    for (;;) {
        // Checked before every record, so a cancel from a dialog or over DDE stops
        // the run before the next action.
        if (engine.Services.Host.RunStopped()) {
            return run::Aborted;
        }
        engine.FileInUse = false;
        std::optional<ActionRecord> record = engine.Program.Current();
        if (!record) {
            return AbortBrokenScript(engine);
        }
        switch (Dispatch(engine, *record)) {
        case Step::Next:
            break;
        case Step::Return:
            return run::Continue;
        case Step::Finished:
            return run::Finished;
        case Step::Aborted:
            return run::Aborted;
        }
        engine.Services.Host.AfterRecord();
        // The position may have moved (a skipped block): advance past the record there.
        std::optional<ActionRecord> done = engine.Program.Current();
        if (!done) {
            return AbortBrokenScript(engine);
        }
        engine.Program.Position =
            static_cast<std::uint32_t>(engine.Program.Position + done->Size());
    }
}

} // namespace vorn
