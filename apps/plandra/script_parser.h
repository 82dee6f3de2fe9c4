// The language of `plandra script`: one command a line, reaching the control's
// members by name as an automation client does.
#pragma once

#include "platform/variant.h"

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace plandra::cli {

/// A line that is not a command; what() says why, without the line's number.
class ScriptSyntaxError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// One step of a dotted member path: a member name and the arguments written after it
/// in parentheses.
struct ScriptMember {
    std::string Name;
    std::vector<platform::Variant> Args;
};

enum class ScriptCommandKind {
    /// A blank line or a comment.
    Nothing,
    /// `? Path`: reads a property.
    Get,
    /// `Path = value`: sets a property.
    Let,
    /// `Path arg, arg, ...`: calls a method.
    Call,
    /// `!render OUT.png`: writes the drawing surface as a picture.
    Render,
};

struct ScriptCommand {
    ScriptCommandKind Kind = ScriptCommandKind::Nothing;
    /// The objects reached on the way, then the member itself; its arguments in
    /// parentheses belong to the command.
    std::vector<ScriptMember> Path;
    /// The path as written, without blanks around it.
    std::string PathText;
    /// The value of Let; the arguments of Call and Get (the last member's in
    /// parentheses, or those after the name).
    std::vector<platform::Variant> Args;
    /// The picture file of Render.
    std::string FileName;
};

/// The longest line a script may hold, in bytes.
inline constexpr std::size_t MaxScriptLineLength = 65536;

/// Parses one line (without its line end; a final carriage return is ignored). Values
/// are numbers (Integer, Long or Double by their form and size), True or False, or
/// strings in double quotes with "" for a quote; text is taken as code page 1252
/// bytes. Raises ScriptSyntaxError for anything else.
ScriptCommand ParseScriptLine(std::string_view line);

} // namespace plandra::cli
