// Reading and writing the compiled script's header.
#include "script_header.h"

#include <cstring>

namespace vorn {

namespace {

// Reads the header's fields in order; once anything is missing every later read fails.
class HeaderReader {
public:
    explicit HeaderReader(std::span<const std::uint8_t> bytes) : Bytes(bytes) {}

    bool Failed() const { return Missing; }
    std::size_t Offset() const { return Position; }

    std::uint8_t Byte() {
        if (Missing || Position >= Bytes.size()) {
            Missing = true;
            return 0;
        }
        return Bytes[Position++];
    }

    std::uint32_t Dword() {
        std::uint32_t value = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            value |= static_cast<std::uint32_t>(Byte()) << shift;
        }
        return value;
    }

    std::string Text() {
        if (Missing || Position >= Bytes.size()) {
            Missing = true;
            return {};
        }
        const void* zero = std::memchr(Bytes.data() + Position, 0, Bytes.size() - Position);
        if (zero == nullptr) {
            Missing = true;
            return {};
        }
        const char* start = reinterpret_cast<const char*>(Bytes.data() + Position);
        std::size_t length = static_cast<std::size_t>(static_cast<const char*>(zero) - start);
        Position += length + 1;
        return std::string(start, length);
    }

private:
    std::span<const std::uint8_t> Bytes;
    std::size_t Position = 0;
    bool Missing = false;
};

void PutDword(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

void PutText(std::vector<std::uint8_t>& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}

} // namespace

HeaderReadResult ReadScriptHeader(std::span<const std::uint8_t> script) {
    HeaderReadResult result;
    ScriptHeader& h = result.Header;
    HeaderReader in(script);
    h.Flags = in.Byte();
    h.Reserved = in.Dword();
    h.TotalBytes = in.Dword();
    h.BytesPerDisk = in.Dword();
    h.ArchiveIdentifier = in.Dword();
    h.ReservedText = in.Text();
    h.LibraryBaseName = in.Text();
    h.LogPath = in.Text();
    h.FontFace = in.Text();
    h.FontPointSize = in.Byte();
    h.FontCharacterSet = in.Byte();
    h.FirstDiskOffset = in.Dword();
    std::uint8_t languages = in.Byte();
    h.StatusFileName = in.Text();
    h.StatusFileTemplate = in.Text();
    h.Manufacturer = in.Text();
    h.Product = in.Text();
    h.VersionNumber = in.Text();
    h.SerialNumber = in.Text();
    h.UninstallStatusName = in.Text();
    if (in.Failed()) {
        result.Error = HeaderError::Truncated;
        return result;
    }
    if (languages == 0) {
        result.Error = HeaderError::NoLanguage;
        return result;
    }
    if (languages == 1) {
        h.Languages.push_back({in.Text(), {}});
    } else {
        h.LanguageDialogTitle = in.Text();
        h.LanguageDialogPrompt = in.Text();
        for (std::size_t i = 0; i < languages && !in.Failed(); ++i) {
            ScriptLanguage language;
            language.Name = in.Text();
            language.SystemName = in.Text();
            h.Languages.push_back(std::move(language));
        }
    }
    for (std::size_t i = 0; i < languages && !in.Failed(); ++i) {
        LanguageTexts texts;
        texts.WindowTitle = in.Text();
        texts.Messages.reserve(ScriptHeader::MessageCount);
        for (std::size_t m = 0; m < ScriptHeader::MessageCount; ++m) {
            texts.Messages.push_back(in.Text());
        }
        h.Texts.push_back(std::move(texts));
    }
    if (in.Failed()) {
        result.Error = HeaderError::Truncated;
        return result;
    }
    result.RecordsOffset = static_cast<std::uint32_t>(in.Offset());
    return result;
}

std::vector<std::uint8_t> WriteScriptHeader(const ScriptHeader& h) {
    std::vector<std::uint8_t> out;
    out.push_back(h.Flags);
    PutDword(out, h.Reserved);
    PutDword(out, h.TotalBytes);
    PutDword(out, h.BytesPerDisk);
    PutDword(out, h.ArchiveIdentifier);
    PutText(out, h.ReservedText);
    PutText(out, h.LibraryBaseName);
    PutText(out, h.LogPath);
    PutText(out, h.FontFace);
    out.push_back(h.FontPointSize);
    out.push_back(h.FontCharacterSet);
    PutDword(out, h.FirstDiskOffset);
    out.push_back(static_cast<std::uint8_t>(h.Texts.size()));
    for (const std::string* text :
         {&h.StatusFileName, &h.StatusFileTemplate, &h.Manufacturer, &h.Product, &h.VersionNumber,
          &h.SerialNumber, &h.UninstallStatusName}) {
        PutText(out, *text);
    }
    if (h.Texts.size() < 2) {
        PutText(out, h.Languages.empty() ? std::string() : h.Languages.front().Name);
    } else {
        PutText(out, h.LanguageDialogTitle);
        PutText(out, h.LanguageDialogPrompt);
        for (std::size_t i = 0; i < h.Texts.size(); ++i) {
            ScriptLanguage language = i < h.Languages.size() ? h.Languages[i] : ScriptLanguage{};
            PutText(out, language.Name);
            PutText(out, language.SystemName);
        }
    }
    for (const LanguageTexts& texts : h.Texts) {
        PutText(out, texts.WindowTitle);
        for (std::size_t m = 0; m < ScriptHeader::MessageCount; ++m) {
            PutText(out, m < texts.Messages.size() ? texts.Messages[m] : std::string());
        }
    }
    return out;
}

const char* HeaderErrorText(HeaderError error) {
    switch (error) {
    case HeaderError::NoLanguage:
        return "The setup script names no language.";
    case HeaderError::Truncated:
        break;
    }
    return "The setup script's header is incomplete: a language or a message is missing.";
}

} // namespace vorn
