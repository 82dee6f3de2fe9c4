// The profile (INI file) calls on the sandbox machine.
#include "platform/posix/sandbox_profile.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace platform {

namespace {

// Windows 95 reads at most 64 KB of an INI file; far more than that is not an INI file
// but a reason to stop before memory runs out.
constexpr std::uint32_t MaxIniBytes = 4u << 20;
constexpr std::uint32_t ErrorCallNotImplemented = 120;

std::uint32_t CopyString(std::string_view text, std::span<char> buffer) {
    if (buffer.empty()) {
        return 0;
    }
    const std::size_t count = std::min(text.size(), buffer.size() - 1);
    std::copy_n(text.begin(), count, buffer.begin());
    buffer[count] = '\0';
    return static_cast<std::uint32_t>(count);
}

// Each string ended by a zero, the list by another; a list that does not fit is cut and
// ended by two zeros.
std::uint32_t CopyList(const std::vector<std::string>& items, std::span<char> buffer) {
    if (buffer.size() < 2) {
        if (!buffer.empty()) {
            buffer[0] = '\0';
        }
        return 0;
    }
    std::size_t used = 0;
    for (const std::string& item : items) {
        if (used + item.size() + 1 > buffer.size() - 1) {
            const std::size_t room = buffer.size() - 2 - used;
            std::copy_n(item.begin(), std::min(room, item.size()),
                        buffer.begin() + static_cast<std::ptrdiff_t>(used));
            buffer[buffer.size() - 2] = '\0';
            buffer[buffer.size() - 1] = '\0';
            return static_cast<std::uint32_t>(buffer.size() - 2);
        }
        std::copy(item.begin(), item.end(), buffer.begin() + static_cast<std::ptrdiff_t>(used));
        used += item.size();
        buffer[used++] = '\0';
    }
    buffer[used] = '\0';
    if (used == 0) {
        buffer[1] = '\0';
    }
    return static_cast<std::uint32_t>(used);
}

std::string_view WithoutQuotes(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

std::string_view WithoutTrailingBlanks(std::string_view text) {
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace

std::uint32_t ProfileTextToInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ') {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i++] == '-';
    }
    unsigned base = 10;
    if (i + 1 < text.size() && text[i] == '0') {
        const char marker = text[i + 1];
        base = marker == 'x' || marker == 'X'   ? 16
               : marker == 'o' || marker == 'O' ? 8
               : marker == 'b' || marker == 'B' ? 2
                                                : 10;
        i += base == 10 ? 0 : 2;
    }
    std::uint32_t value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        unsigned digit = base;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else if (c >= 'A' && c <= 'F') {
            digit = static_cast<unsigned>(c - 'A' + 10);
        }
        if (digit >= base) {
            break;
        }
        value = value * base + digit;
    }
    return negative ? 0u - value : value;
}

std::string SandboxProfile::FullPath(std::string_view fileName) const {
    const std::string name(fileName.substr(0, fileName.find('\0')));
    if (name.find_first_of("\\/:") != std::string::npos) {
        return name;
    }
    return WindowsDirectory + "\\" + name;
}

bool SandboxProfile::Load(const std::string& path, IniText& document, bool& found) {
    document = IniText{};
    found = false;
    UniqueFile file(Files.CreateFileA(path, file::GenericRead, file::ShareRead | file::ShareWrite,
                                      file::OpenExisting, file::AttributeNormal),
                    FileCloser{&Files});
    if (!file) {
        LastError = Files.GetLastError();
        return LastError == winerror::FileNotFound || LastError == winerror::PathNotFound;
    }
    found = true;
    std::string text;
    std::array<char, 4096> chunk{};
    std::uint32_t read = 0;
    do {
        if (!Files.ReadFile(file.Get(), chunk, read)) {
            LastError = Files.GetLastError();
            return false;
        }
        text.append(chunk.data(), read);
    } while (read > 0 && text.size() < MaxIniBytes);
    document = IniText::Parse(text);
    return true;
}

bool SandboxProfile::Save(const std::string& path, const IniText& document) {
    const std::size_t slash = path.find_last_of("\\/");
    const std::string folder =
        slash == std::string::npos ? std::string(".") : path.substr(0, slash);
    std::string temporary;
    if (Files.GetTempFileNameA(folder, "INI", 0, temporary) == 0) {
        LastError = Files.GetLastError();
        return false;
    }
    bool written = false;
    {
        UniqueFile file(Files.CreateFileA(temporary, file::GenericWrite, 0, file::CreateAlways,
                                          file::AttributeNormal),
                        FileCloser{&Files});
        const std::string text = document.Text();
        std::uint32_t count = 0;
        written = file && Files.WriteFile(file.Get(), text, count) && count == text.size();
        if (!written) {
            LastError = Files.GetLastError();
        }
    }
    // The new file takes the old one's attributes (a hidden or system INI file stays so).
    const std::uint32_t attributes = Files.GetFileAttributesA(path);
    if (written && !Files.MoveFileExA(temporary, path.c_str(), file::MoveReplaceExisting)) {
        // Windows 95 has no MoveFileExA: the old file makes way first.
        written = Files.GetLastError() == ErrorCallNotImplemented &&
                  (Files.DeleteFileA(path) || Files.GetLastError() == winerror::FileNotFound) &&
                  Files.MoveFileA(temporary, path);
        if (!written) {
            LastError = Files.GetLastError();
        }
    }
    if (!written) {
        const std::uint32_t error = LastError;
        Files.DeleteFileA(temporary);
        LastError = error;
    } else if (attributes != file::InvalidAttributes) {
        Files.SetFileAttributesA(path, attributes);
    }
    return written;
}

std::uint32_t SandboxProfile::GetPrivateProfileStringA(const char* appName, const char* keyName,
                                                       const char* defaultValue,
                                                       std::span<char> returnedString,
                                                       std::string_view fileName) {
    if (returnedString.empty()) {
        return 0;
    }
    IniText document;
    bool found = false;
    Load(FullPath(fileName), document, found);
    if (appName == nullptr) {
        return CopyList(document.SectionNames(), returnedString);
    }
    if (keyName == nullptr) {
        return CopyList(document.KeyNames(appName), returnedString);
    }
    if (const std::optional<std::string> value = document.Value(appName, keyName)) {
        return CopyString(WithoutQuotes(*value), returnedString);
    }
    return CopyString(WithoutTrailingBlanks(defaultValue == nullptr ? "" : defaultValue),
                      returnedString);
}

std::uint32_t SandboxProfile::GetPrivateProfileIntA(std::string_view appName,
                                                    std::string_view keyName,
                                                    std::int32_t defaultValue,
                                                    std::string_view fileName) {
    std::array<char, 256> value{};
    const std::string app(appName);
    const std::string key(keyName);
    if (GetPrivateProfileStringA(app.c_str(), key.c_str(), "", value, fileName) == 0) {
        return static_cast<std::uint32_t>(defaultValue);
    }
    return ProfileTextToInt(value.data());
}

std::uint32_t SandboxProfile::GetPrivateProfileSectionA(std::string_view appName,
                                                        std::span<char> returnedString,
                                                        std::string_view fileName) {
    IniText document;
    bool found = false;
    Load(FullPath(fileName), document, found);
    return CopyList(document.SectionLines(appName), returnedString);
}

bool SandboxProfile::WritePrivateProfileStringA(const char* appName, const char* keyName,
                                                const char* string, std::string_view fileName) {
    if (appName == nullptr) {
        // All three null asks Windows to write its cached files, which this one has none of.
        LastError =
            keyName == nullptr && string == nullptr ? winerror::Success : winerror::FileNotFound;
        return false;
    }
    const std::string path = FullPath(fileName);
    IniText document;
    bool found = false;
    if (!Load(path, document, found)) {
        return false;
    }
    if (keyName == nullptr) {
        return !document.DeleteSection(appName) || Save(path, document);
    }
    if (string == nullptr) {
        return !document.DeleteKey(appName, keyName) || Save(path, document);
    }
    if (found && document.Value(appName, keyName) == std::optional<std::string>(string)) {
        return true;
    }
    document.SetValue(appName, keyName, string);
    return Save(path, document);
}

bool SandboxProfile::WritePrivateProfileSectionA(std::string_view appName, const char* string,
                                                 std::string_view fileName) {
    const std::string path = FullPath(fileName);
    IniText document;
    bool found = false;
    if (!Load(path, document, found)) {
        return false;
    }
    if (string == nullptr) {
        return !document.DeleteSection(appName) || Save(path, document);
    }
    // A text without "=" names no key and is left out, as Windows leaves it.
    std::vector<std::string> lines;
    for (const char* line = string; *line != '\0'; line += std::strlen(line) + 1) {
        if (std::strchr(line, '=') != nullptr) {
            lines.emplace_back(line);
        }
    }
    document.ReplaceSection(appName, lines);
    return Save(path, document);
}

std::uint32_t SandboxProfile::GetProfileStringA(const char* appName, const char* keyName,
                                                const char* defaultValue,
                                                std::span<char> returnedString) {
    return GetPrivateProfileStringA(appName, keyName, defaultValue, returnedString, "WIN.INI");
}

std::uint32_t SandboxProfile::GetProfileIntA(std::string_view appName, std::string_view keyName,
                                             std::int32_t defaultValue) {
    return GetPrivateProfileIntA(appName, keyName, defaultValue, "WIN.INI");
}

bool SandboxProfile::WriteProfileStringA(const char* appName, const char* keyName,
                                         const char* string) {
    return WritePrivateProfileStringA(appName, keyName, string, "WIN.INI");
}

} // namespace platform
