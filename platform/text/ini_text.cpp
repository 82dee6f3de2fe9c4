// The text of an INI file as Windows' profile functions read and edit it.
#include "platform/ini_text.h"

#include "platform/ansi_text.h"

namespace platform {

namespace {

std::string_view TrimSpace(std::string_view text) {
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; };
    while (!text.empty() && isSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace

IniText IniText::Parse(std::string_view text) {
    IniText document;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        Line line;
        line.Raw = std::string(text.substr(start, end - start));
        const std::string_view trimmed = TrimSpace(line.Raw);
        const std::size_t closing = trimmed.rfind(']');
        if (trimmed.empty()) {
            line.Kind = LineKind::Blank;
        } else if (trimmed.front() == ';') {
            // A comment is left out of every list, yet Windows still finds it when its
            // whole text before "=" is asked for as a key.
            line.Kind = LineKind::Comment;
            const std::size_t equals = trimmed.find('=');
            line.Name = std::string(TrimSpace(trimmed.substr(0, equals)));
            if (equals != std::string_view::npos) {
                line.Value = std::string(TrimSpace(trimmed.substr(equals + 1)));
            }
        } else if (trimmed.front() == '[' && closing != std::string_view::npos) {
            line.Kind = LineKind::Section;
            line.Name = std::string(TrimSpace(trimmed.substr(1, closing - 1)));
        } else if (const std::size_t equals = trimmed.find('='); equals != std::string_view::npos) {
            line.Kind = LineKind::Key;
            line.Name = std::string(TrimSpace(trimmed.substr(0, equals)));
            line.Value = std::string(TrimSpace(trimmed.substr(equals + 1)));
        } else {
            line.Name = std::string(trimmed);
        }
        document.Lines.push_back(std::move(line));
        start = end;
        if (start < text.size() && text[start] == '\r') {
            ++start;
        }
        if (start < text.size() && text[start] == '\n') {
            ++start;
        }
    }
    return document;
}

std::string IniText::Text() const {
    std::string text;
    for (const Line& line : Lines) {
        text += line.Raw;
        text += "\r\n";
    }
    return text;
}

std::size_t IniText::FindSection(std::string_view section) const {
    // Names are asked for without their surrounding blanks, as they are stored; no name
    // reaches a section "[]".
    section = TrimSpace(section);
    if (section.empty()) {
        return std::string::npos;
    }
    for (std::size_t i = 0; i < Lines.size(); ++i) {
        if (Lines[i].Kind == LineKind::Section && EqualsIgnoringCase(Lines[i].Name, section)) {
            return i;
        }
    }
    return std::string::npos;
}

std::size_t IniText::SectionEnd(std::size_t header) const {
    std::size_t end = header + 1;
    while (end < Lines.size() && Lines[end].Kind != LineKind::Section) {
        ++end;
    }
    return end;
}

std::size_t IniText::FindKey(std::size_t header, std::string_view key) const {
    key = TrimSpace(key);
    const std::size_t end = SectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        if (Lines[i].Kind != LineKind::Blank && EqualsIgnoringCase(Lines[i].Name, key)) {
            return i;
        }
    }
    return std::string::npos;
}

std::optional<std::string> IniText::Value(std::string_view section, std::string_view key) const {
    const std::size_t header = FindSection(section);
    if (header == std::string::npos) {
        return std::nullopt;
    }
    const std::size_t line = FindKey(header, key);
    if (line == std::string::npos || Lines[line].Kind == LineKind::Other ||
        (Lines[line].Kind == LineKind::Comment && Lines[line].Raw.find('=') == std::string::npos)) {
        return std::nullopt;
    }
    return Lines[line].Value;
}

bool IniText::HasSection(std::string_view section) const {
    return FindSection(section) != std::string::npos;
}

std::vector<std::string> IniText::SectionNames() const {
    std::vector<std::string> names;
    for (const Line& line : Lines) {
        if (line.Kind == LineKind::Section && !line.Name.empty()) {
            names.push_back(line.Name);
        }
    }
    return names;
}

std::vector<std::string> IniText::KeyNames(std::string_view section) const {
    std::vector<std::string> names;
    const std::size_t header = FindSection(section);
    if (header == std::string::npos) {
        return names;
    }
    const std::size_t end = SectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        if (Lines[i].Kind == LineKind::Key) {
            names.push_back(Lines[i].Name);
        }
    }
    return names;
}

std::vector<std::string> IniText::SectionLines(std::string_view section) const {
    std::vector<std::string> lines;
    const std::size_t header = FindSection(section);
    if (header == std::string::npos) {
        return lines;
    }
    const std::size_t end = SectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        if (Lines[i].Kind == LineKind::Key) {
            lines.push_back(Lines[i].Name + "=" + Lines[i].Value);
        } else if (Lines[i].Kind == LineKind::Other) {
            lines.push_back(Lines[i].Name);
        }
    }
    return lines;
}

void IniText::SetValue(std::string_view section, std::string_view key, std::string_view value) {
    Line keyLine{LineKind::Key, std::string(key) + "=" + std::string(value), std::string(key),
                 std::string(value)};
    const std::size_t header = FindSection(section);
    if (header == std::string::npos) {
        Lines.push_back(
            {LineKind::Section, "[" + std::string(section) + "]", std::string(section), {}});
        Lines.push_back(std::move(keyLine));
        return;
    }
    if (const std::size_t line = FindKey(header, key); line != std::string::npos) {
        keyLine.Name = Lines[line].Name;
        keyLine.Raw = keyLine.Name + "=" + std::string(value);
        Lines[line] = std::move(keyLine);
        return;
    }
    // After the section's last key, so the blank line that parts it from the next
    // section stays below it.
    std::size_t insertAt = SectionEnd(header);
    while (insertAt > header + 1 && Lines[insertAt - 1].Kind == LineKind::Blank) {
        --insertAt;
    }
    Lines.insert(Lines.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(keyLine));
}

bool IniText::DeleteKey(std::string_view section, std::string_view key) {
    const std::size_t header = FindSection(section);
    if (header == std::string::npos) {
        return false;
    }
    const std::size_t line = FindKey(header, key);
    if (line == std::string::npos) {
        return false;
    }
    Lines.erase(Lines.begin() + static_cast<std::ptrdiff_t>(line));
    return true;
}

bool IniText::DeleteSection(std::string_view section) {
    const std::size_t header = FindSection(section);
    if (header == std::string::npos) {
        return false;
    }
    Lines.erase(Lines.begin() + static_cast<std::ptrdiff_t>(header),
                Lines.begin() + static_cast<std::ptrdiff_t>(SectionEnd(header)));
    return true;
}

void IniText::ReplaceSection(std::string_view section, const std::vector<std::string>& lines) {
    std::vector<Line> body;
    for (const std::string& text : lines) {
        // Each given line is read as a line of a file is; one with a line break in it
        // stays one line.
        IniText line = Parse(text.substr(0, text.find_first_of("\r\n")));
        if (!line.Lines.empty()) {
            body.push_back(std::move(line.Lines.front()));
        }
    }
    std::size_t header = FindSection(section);
    if (header == std::string::npos) {
        header = Lines.size();
        Lines.push_back(
            {LineKind::Section, "[" + std::string(section) + "]", std::string(section), {}});
    }
    // The blank line that parts the section from the next one stays.
    std::size_t end = SectionEnd(header);
    while (end > header + 1 && Lines[end - 1].Kind == LineKind::Blank) {
        --end;
    }
    Lines.erase(Lines.begin() + static_cast<std::ptrdiff_t>(header + 1),
                Lines.begin() + static_cast<std::ptrdiff_t>(end));
    Lines.insert(Lines.begin() + static_cast<std::ptrdiff_t>(header + 1), body.begin(), body.end());
}

} // namespace platform
