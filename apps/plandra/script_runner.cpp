// Runs `plandra script` commands through the control's member tables.
#include "script_runner.h"

#include "apps/common/json_text.h"
#include "control/database/control_error.h"
#include "control/interface/dxf_members.h"
#include "control/interface/layer_members.h"
#include "platform/ansi_text.h"
#include "script_parser.h"

#include <charconv>
#include <cmath>
#include <istream>
#include <new>
#include <optional>
#include <ostream>
#include <utility>
#include <vector>

namespace plandra::cli {

namespace {

// Reads one line without its line feed. A line longer than a script may hold (with a
// carriage return) is cut just past that length, so that the parser refuses it and
// the run ends there. False at the end of input.
bool ReadScriptLine(std::istream& script, std::string& line) {
    line.clear();
    std::istream::int_type c = script.get();
    if (c == std::istream::traits_type::eof()) {
        return false;
    }
    for (; c != std::istream::traits_type::eof() && c != '\n'; c = script.get()) {
        line += static_cast<char>(c);
        if (line.size() > MaxScriptLineLength + 1) {
            break;
        }
    }
    return true;
}

std::string ObjectTypeName(const ObjectRef& object) {
    if (dynamic_cast<const DXFLayers*>(object.get()) != nullptr) {
        return "DXFLayers";
    }
    if (dynamic_cast<const DXFLayer*>(object.get()) != nullptr) {
        return "DXFLayer";
    }
    return "Object";
}

template <typename Number> std::string NumberText(Number value) {
    if (std::isnan(value)) {
        return "NaN";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-Infinity" : "Infinity";
    }
    char text[64];
    auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

template <typename Number> std::string JsonNumber(Number value) {
    return std::isfinite(value) ? NumberText(value) : "\"" + NumberText(value) + "\"";
}

std::string JsonValue(const Variant& value) {
    switch (TypeOf(value)) {
    case VarType::Integer:
        return std::to_string(std::get<std::int16_t>(value));
    case VarType::Long:
        return std::to_string(std::get<std::int32_t>(value));
    case VarType::Single:
        return JsonNumber(std::get<float>(value));
    case VarType::Double:
        return JsonNumber(std::get<double>(value));
    case VarType::Boolean:
        return std::get<VariantBool>(value).Value ? "true" : "false";
    case VarType::String:
        return apps::JsonString(std::get<std::string>(value));
    case VarType::Object:
        if (const ObjectRef& object = std::get<ObjectRef>(value)) {
            return "{\"object\":\"" + ObjectTypeName(object) + "\"}";
        }
        return "null";
    default:
        return "null";
    }
}

// The value as a script would write it; objects as [Type] or Nothing.
std::string ReadableValue(const Variant& value) {
    switch (TypeOf(value)) {
    case VarType::Integer:
    case VarType::Long:
        return JsonValue(value);
    case VarType::Single:
        return NumberText(std::get<float>(value));
    case VarType::Double:
        return NumberText(std::get<double>(value));
    case VarType::Boolean:
        return std::get<VariantBool>(value).Value ? "True" : "False";
    case VarType::String: {
        std::string text = "\"";
        for (char c : platform::AnsiToUtf8(std::get<std::string>(value))) {
            text += c == '"' ? "\"\"" : std::string(1, c);
        }
        return text + "\"";
    }
    case VarType::Object:
        if (const ObjectRef& object = std::get<ObjectRef>(value)) {
            return "[" + ObjectTypeName(object) + "]";
        }
        return "Nothing";
    default:
        return "Empty";
    }
}

// The object a command works on: the control itself, or an object reached from it.
struct Target {
    DXF& Control;
    ObjectRef Object;

    Variant Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) const {
        if (Object == nullptr) {
            return plandra::Invoke(Control, name, kind, args);
        }
        return Object->Invoke(name, kind, args);
    }

    std::span<const ParamInfo> ParamsOf(std::string_view name) const {
        if (Object == nullptr) {
            const MemberInfo* member = FindMember(name);
            return member != nullptr ? member->Params : std::span<const ParamInfo>();
        }
        if (dynamic_cast<const DXFLayers*>(Object.get()) != nullptr) {
            const auto* member = FindMemberIn(DXFLayersMembers(), name);
            return member != nullptr ? member->Params : std::span<const ParamInfo>();
        }
        if (dynamic_cast<const DXFLayer*>(Object.get()) != nullptr) {
            const auto* member = FindMemberIn(DXFLayerMembers(), name);
            return member != nullptr ? member->Params : std::span<const ParamInfo>();
        }
        return {};
    }
};

struct Outcome {
    Variant Result;
    /// The by-reference arguments with their new values, by parameter name.
    std::vector<std::pair<std::string_view, Variant>> ByReference;
};

// Follows the path to its last member and reaches that as the command says.
// Errors are the members' own, or the host's when a step does not give an object.
Outcome Dispatch(DXF& control, ScriptCommand& command) {
    Target target{control, nullptr};
    for (std::size_t i = 0; i + 1 < command.Path.size(); ++i) {
        ScriptMember& step = command.Path[i];
        Variant value = target.Invoke(step.Name, InvokeKind::PropertyGet, step.Args);
        const auto* object = std::get_if<ObjectRef>(&value);
        if (object == nullptr) {
            throw ControlError(424, "Plandra", "Object required");
        }
        if (*object == nullptr) {
            throw ControlError(91, "Plandra", "Object variable or With block variable not set");
        }
        target.Object = *object;
    }
    const std::string& name = command.Path.back().Name;
    Outcome outcome;
    switch (command.Kind) {
    case ScriptCommandKind::Let:
        target.Invoke(name, InvokeKind::PropertyPut, command.Args);
        outcome.Result = command.Args.front();
        return outcome;
    case ScriptCommandKind::Get:
        outcome.Result = target.Invoke(name, InvokeKind::PropertyGet, command.Args);
        break;
    default:
        outcome.Result = target.Invoke(name, InvokeKind::Method, command.Args);
        break;
    }
    std::span<const ParamInfo> params = target.ParamsOf(name);
    for (std::size_t i = 0; i < command.Args.size() && i < params.size(); ++i) {
        if (!params[i].ByValue) {
            outcome.ByReference.emplace_back(params[i].Name, command.Args[i]);
        }
    }
    return outcome;
}

class Reporter {
public:
    Reporter(const ScriptSettings& settings, std::ostream& out) : Json(settings.Json), Out(out) {}

    void MessageBoxShown(long line, const platform::HeadlessMessageBox::Shown& box) {
        if (Json) {
            Out << "{\"line\":" << line
                << ",\"messageBox\":{\"text\":" << apps::JsonString(box.Text)
                << ",\"caption\":" << apps::JsonString(box.Caption) << ",\"style\":" << box.Type
                << "}}\n";
        } else {
            Out << "line " << line << ": message box " << ReadableValue(box.Text) << " (caption "
                << ReadableValue(box.Caption) << ", style " << box.Type << ") answered OK\n";
        }
    }

    void Success(long line, const ScriptCommand& command, const Outcome& outcome) {
        if (Json) {
            Out << "{\"line\":" << line << ",\"member\":" << apps::JsonString(command.PathText)
                << ",\"result\":" << JsonValue(outcome.Result);
            if (!outcome.ByReference.empty()) {
                const char* separator = "";
                Out << ",\"byref\":{";
                for (const auto& [name, value] : outcome.ByReference) {
                    Out << separator << apps::JsonString(name) << ":" << JsonValue(value);
                    separator = ",";
                }
                Out << "}";
            }
            Out << "}\n";
            return;
        }
        Out << "line " << line << ": " << command.PathText
            << (command.Kind == ScriptCommandKind::Let ? " = " : " -> ")
            << ReadableValue(outcome.Result);
        const char* separator = "  [";
        for (const auto& [name, value] : outcome.ByReference) {
            Out << separator << name << " = " << ReadableValue(value);
            separator = ", ";
        }
        Out << (outcome.ByReference.empty() ? "" : "]") << "\n";
    }

    void Failure(long line, const ScriptCommand& command, const ControlError& error) {
        if (Json) {
            Out << "{\"line\":" << line << ",\"member\":" << apps::JsonString(command.PathText)
                << ",\"error\":{\"number\":" << error.Number
                << ",\"description\":" << apps::JsonString(error.Description) << "}}\n";
            return;
        }
        // The trail's CR LF pairs read better as indented lines on a terminal.
        std::string description;
        for (char c : platform::AnsiToUtf8(error.Description)) {
            if (c == '\n') {
                description += "\n   ";
            } else if (c != '\r') {
                description += c;
            }
        }
        Out << "line " << line << ": " << command.PathText << ": error " << error.Number << ": "
            << description << "\n";
    }

    void Rendered(long line, const std::string& fileName) {
        if (Json) {
            Out << "{\"line\":" << line << ",\"render\":" << apps::JsonString(fileName) << "}\n";
        } else {
            Out << "line " << line << ": !render " << platform::AnsiToUtf8(fileName) << "\n";
        }
    }

private:
    bool Json;
    std::ostream& Out;
};

} // namespace

int RunScript(std::istream& script, const std::string& scriptName, DXF& control,
              platform::HeadlessMessageBox& messageBoxes, const SurfaceWriter& writeSurface,
              const ScriptSettings& settings, std::ostream& out, std::ostream& errors) {
    Reporter report(settings, out);
    std::string text;
    for (long line = 1; ReadScriptLine(script, text); ++line) {
        ScriptCommand command;
        try {
            command = ParseScriptLine(text);
        } catch (const ScriptSyntaxError& error) {
            out.flush();
            errors << "plandra: " << scriptName << ", line " << line << ": " << error.what()
                   << "\n";
            return 2;
        }
        if (command.Kind == ScriptCommandKind::Nothing) {
            continue;
        }
        if (command.Kind == ScriptCommandKind::Render) {
            if (!writeSurface(command.FileName)) {
                out.flush();
                errors << "plandra: " << scriptName << ", line " << line << ": cannot write "
                       << platform::AnsiToUtf8(command.FileName) << "\n";
                return 1;
            }
            report.Rendered(line, command.FileName);
            out.flush();
            continue;
        }
        std::optional<ControlError> failure;
        Outcome outcome;
        messageBoxes.Boxes.clear();
        try {
            outcome = Dispatch(control, command);
        } catch (const ControlError& error) {
            failure = error;
        } catch (const std::bad_alloc&) {
            failure = ControlError::Runtime(RuntimeError::OutOfMemory);
        }
        for (const platform::HeadlessMessageBox::Shown& box : messageBoxes.Boxes) {
            report.MessageBoxShown(line, box);
        }
        messageBoxes.Boxes.clear();
        if (failure) {
            report.Failure(line, command, *failure);
        } else {
            report.Success(line, command, outcome);
        }
        out.flush();
        if (failure && settings.StopOnError) {
            return 1;
        }
    }
    return 0;
}

} // namespace plandra::cli
