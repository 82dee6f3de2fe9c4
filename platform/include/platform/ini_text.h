// The text of an INI file as Windows' profile functions read and edit it: sections and
// keys compared ignoring case, blanks trimmed, comment lines kept, first duplicate wins.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

/// An INI file held as its lines, so that an edit changes only the lines it must and
/// comments, blank lines and unknown lines survive a rewrite.
class IniText {
public:
    /// Any bytes make a document: lines end at CR, LF or CR LF; a line that is neither a
    /// section header nor holds "=" is kept as it is and read as a key without a value.
    static IniText Parse(std::string_view text);

    /// The document with CR LF line ends, as it is written back.
    std::string Text() const;

    /// The value of the first `key` in the first `section`, blanks trimmed, quotes kept;
    /// nullopt when the section or the key is missing.
    std::optional<std::string> Value(std::string_view section, std::string_view key) const;
    bool HasSection(std::string_view section) const;
    /// Every section header's name in file order, a name that stands twice twice, as
    /// Windows lists them; empty names left out.
    std::vector<std::string> SectionNames() const;
    /// The key names of the first `section` in file order: lines with "=", comments left
    /// out.
    std::vector<std::string> KeyNames(std::string_view section) const;
    /// The section's lines as "key=value" (or the bare key), comments left out.
    std::vector<std::string> SectionLines(std::string_view section) const;

    /// Sets the first such key, adds it at the end of the section's keys, or adds the
    /// section at the end of the document.
    void SetValue(std::string_view section, std::string_view key, std::string_view value);
    /// Removes the first such key; false when there was none.
    bool DeleteKey(std::string_view section, std::string_view key);
    /// Removes the first section of that name with all its lines (a later duplicate
    /// comes to light); false when there was none.
    bool DeleteSection(std::string_view section);
    /// Puts `lines` ("key=value", or any other text) in place of the first such
    /// section's lines, or adds the section with them at the end of the document.
    void ReplaceSection(std::string_view section, const std::vector<std::string>& lines);

private:
    enum class LineKind { Other, Blank, Comment, Section, Key };
    struct Line {
        LineKind Kind = LineKind::Other;
        std::string Raw;
        std::string Name;  ///< Section name, or key name (also for Other lines).
        std::string Value; ///< Key value, trimmed.
    };

    /// Index of the first header of `section`; npos when missing.
    std::size_t FindSection(std::string_view section) const;
    /// One past the last line of the section whose header is at `header`.
    std::size_t SectionEnd(std::size_t header) const;
    std::size_t FindKey(std::size_t header, std::string_view key) const;

    std::vector<Line> Lines;
};

} // namespace platform
