// Reading and writing in-memory dialog templates.
#include "platform/dialog_template.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace platform {

namespace {

constexpr std::uint16_t OrdinalMark = 0xFFFF;

struct KnownClass {
    std::uint16_t Atom;
    const char* Name;
    ControlKind Kind;
};
constexpr std::array<KnownClass, 6> KnownClasses{{
    {0x80, "BUTTON", ControlKind::Button},
    {0x81, "EDIT", ControlKind::Edit},
    {0x82, "STATIC", ControlKind::Static},
    {0x83, "LISTBOX", ControlKind::ListBox},
    {0x84, "SCROLLBAR", ControlKind::ScrollBar},
    {0x85, "COMBOBOX", ControlKind::ComboBox},
}};

std::string Upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

// A cursor over the template's bytes that stops, with a message, at their end.
class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : Bytes(bytes) {}

    bool Failed() const { return !Error.empty(); }
    std::string Error;

    std::uint16_t Word(const char* what) {
        if (!Need(2, what)) {
            return 0;
        }
        auto value = static_cast<std::uint16_t>(Bytes[At] | Bytes[At + 1] << 8);
        At += 2;
        return value;
    }
    std::uint32_t Dword(const char* what) {
        std::uint32_t low = Word(what);
        return low | static_cast<std::uint32_t>(Word(what)) << 16;
    }
    std::int16_t Short(const char* what) { return static_cast<std::int16_t>(Word(what)); }

    std::string Text(const char* what) {
        std::string text;
        while (!Failed()) {
            std::uint16_t unit = Word(what);
            if (unit == 0) {
                break;
            }
            text.push_back(unit < 256 ? static_cast<char>(unit) : '?');
        }
        return text;
    }
    ControlTitle TextOrOrdinal(const char* what) {
        if (!Need(2, what)) {
            return {};
        }
        if (Bytes[At] == 0xFF && Bytes[At + 1] == 0xFF) {
            At += 2;
            return {{}, Word(what)};
        }
        return {Text(what), std::nullopt};
    }
    std::vector<std::uint8_t> Take(std::size_t count, const char* what) {
        if (!Need(count, what)) {
            return {};
        }
        std::vector<std::uint8_t> taken(Bytes.begin() + static_cast<std::ptrdiff_t>(At),
                                        Bytes.begin() + static_cast<std::ptrdiff_t>(At + count));
        At += count;
        return taken;
    }
    void AlignDword() { At = std::min(Bytes.size(), (At + 3) & ~std::size_t{3}); }
    std::size_t Position() const { return At; }

private:
    bool Need(std::size_t count, const char* what) {
        if (Failed()) {
            return false;
        }
        if (Bytes.size() - At < count) {
            Error = std::string("the dialog template is truncated (") + what + " at byte " +
                    std::to_string(At) + " of " + std::to_string(Bytes.size()) + ")";
            return false;
        }
        return true;
    }

    std::span<const std::uint8_t> Bytes;
    std::size_t At = 0;
};

std::optional<ControlKind> KindOf(const ControlTitle& className) {
    for (const KnownClass& known : KnownClasses) {
        if (className.Ordinal ? *className.Ordinal == known.Atom
                              : Upper(className.Text) == known.Name) {
            return known.Kind;
        }
    }
    return std::nullopt;
}

class Writer {
public:
    std::vector<std::uint8_t> Out;

    void Word(std::uint16_t value) {
        Out.push_back(static_cast<std::uint8_t>(value));
        Out.push_back(static_cast<std::uint8_t>(value >> 8));
    }
    void Dword(std::uint32_t value) {
        Word(static_cast<std::uint16_t>(value));
        Word(static_cast<std::uint16_t>(value >> 16));
    }
    void Text(const std::string& text) {
        for (char c : text) {
            Word(static_cast<unsigned char>(c));
        }
        Word(0);
    }
    void TextOrOrdinal(const ControlTitle& title) {
        if (title.Ordinal) {
            Word(OrdinalMark);
            Word(*title.Ordinal);
        } else {
            Text(title.Text);
        }
    }
    void AlignDword() {
        while (Out.size() % 4 != 0) {
            Out.push_back(0);
        }
    }
};

} // namespace

DialogControl MakeDialogControl(ControlKind kind, std::uint32_t style, int id, std::string text,
                                int x, int y, int width, int height) {
    DialogControl control;
    control.Kind = kind;
    control.Style = dlg::WsChild | dlg::WsVisible | style;
    control.Id = static_cast<std::uint16_t>(id);
    control.Title.Text = std::move(text);
    control.X = static_cast<std::int16_t>(x);
    control.Y = static_cast<std::int16_t>(y);
    control.Width = static_cast<std::int16_t>(width);
    control.Height = static_cast<std::int16_t>(height);
    return control;
}

const DialogControl* DialogTemplate::Control(int id) const {
    auto found = std::find_if(Controls.begin(), Controls.end(),
                              [&](const DialogControl& control) { return control.Id == id; });
    return found != Controls.end() ? &*found : nullptr;
}

DialogTemplateReadResult ReadDialogTemplate(std::span<const std::uint8_t> bytes) {
    Reader in(bytes);
    DialogTemplate dialog;
    dialog.Style = in.Dword("style");
    if (!in.Failed() && (dialog.Style & 0xFFFF) == 1 && (dialog.Style >> 16) == 0xFFFF) {
        return {std::nullopt, "extended dialog templates (DLGTEMPLATEEX) are not supported"};
    }
    dialog.ExStyle = in.Dword("extended style");
    std::uint16_t count = in.Word("control count");
    dialog.X = in.Short("position");
    dialog.Y = in.Short("position");
    dialog.Width = in.Short("size");
    dialog.Height = in.Short("size");
    dialog.Menu = in.TextOrOrdinal("menu");
    dialog.ClassName = in.TextOrOrdinal("class");
    dialog.Caption = in.Text("caption");
    if ((dialog.Style & dlg::DsSetFont) != 0) {
        dialog.PointSize = in.Word("font size");
        dialog.FaceName = in.Text("font name");
    }
    for (std::uint16_t i = 0; i < count && !in.Failed(); ++i) {
        in.AlignDword();
        DialogControl control;
        control.Style = in.Dword("control style");
        control.ExStyle = in.Dword("control style");
        control.X = in.Short("control position");
        control.Y = in.Short("control position");
        control.Width = in.Short("control size");
        control.Height = in.Short("control size");
        control.Id = in.Word("control number");
        std::size_t classAt = in.Position();
        ControlTitle className = in.TextOrOrdinal("control class");
        control.Title = in.TextOrOrdinal("control title");
        std::uint16_t extra = in.Word("creation data size");
        // The size counts the size word itself.
        control.CreationData = in.Take(extra > 2 ? extra - 2u : 0u, "creation data");
        if (in.Failed()) {
            break;
        }
        std::optional<ControlKind> kind = KindOf(className);
        if (!kind) {
            std::string name = className.Ordinal ? "atom " + std::to_string(*className.Ordinal)
                                                 : "\"" + className.Text + "\"";
            return {std::nullopt,
                    "control " + std::to_string(i + 1) + " (number " + std::to_string(control.Id) +
                        ", byte " + std::to_string(classAt) +
                        ") of the dialog template names an unknown control kind " + name};
        }
        control.Kind = *kind;
        dialog.Controls.push_back(std::move(control));
    }
    if (in.Failed()) {
        return {std::nullopt, in.Error};
    }
    return {std::move(dialog), {}};
}

std::vector<std::uint8_t> WriteDialogTemplate(const DialogTemplate& dialog) {
    Writer out;
    // A face name brings its font; a style that asks for a font keeps it, even an empty
    // one, so that a template read back is the one written (without the font bit, a style
    // of 0xFFFF0041 would read as the mark of an extended template).
    std::uint32_t style = dialog.Style;
    if (!dialog.FaceName.empty()) {
        style |= dlg::DsSetFont;
    }
    out.Dword(style);
    out.Dword(dialog.ExStyle);
    out.Word(static_cast<std::uint16_t>(dialog.Controls.size()));
    for (std::int16_t value : {dialog.X, dialog.Y, dialog.Width, dialog.Height}) {
        out.Word(static_cast<std::uint16_t>(value));
    }
    out.TextOrOrdinal(dialog.Menu);
    out.TextOrOrdinal(dialog.ClassName);
    out.Text(dialog.Caption);
    if ((style & dlg::DsSetFont) != 0) {
        out.Word(dialog.PointSize);
        out.Text(dialog.FaceName);
    }
    for (const DialogControl& control : dialog.Controls) {
        out.AlignDword();
        out.Dword(control.Style);
        out.Dword(control.ExStyle);
        for (std::int16_t value : {control.X, control.Y, control.Width, control.Height}) {
            out.Word(static_cast<std::uint16_t>(value));
        }
        out.Word(control.Id);
        out.Word(OrdinalMark);
        out.Word(KnownClasses[static_cast<std::size_t>(control.Kind)].Atom);
        out.TextOrOrdinal(control.Title);
        out.Word(static_cast<std::uint16_t>(
            control.CreationData.empty() ? 0 : control.CreationData.size() + 2));
        out.Out.insert(out.Out.end(), control.CreationData.begin(), control.CreationData.end());
    }
    return std::move(out.Out);
}

std::optional<LogFontA> ReadLogFontA(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < LogFontASize) {
        return std::nullopt;
    }
    auto dword = [&](std::size_t at) {
        return static_cast<std::int32_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
                                         static_cast<std::uint32_t>(bytes[at + 3]) << 24);
    };
    LogFontA font;
    font.Height = dword(0);
    font.Width = dword(4);
    font.Escapement = dword(8);
    font.Orientation = dword(12);
    font.Weight = dword(16);
    font.Italic = bytes[20];
    font.Underline = bytes[21];
    font.StrikeOut = bytes[22];
    font.CharSet = bytes[23];
    font.OutPrecision = bytes[24];
    font.ClipPrecision = bytes[25];
    font.Quality = bytes[26];
    font.PitchAndFamily = bytes[27];
    for (std::size_t i = 28; i < LogFontASize - 1 && bytes[i] != 0; ++i) {
        font.FaceName.push_back(static_cast<char>(bytes[i]));
    }
    return font;
}

std::vector<std::uint8_t> WriteLogFontA(const LogFontA& font) {
    Writer out;
    for (std::int32_t value :
         {font.Height, font.Width, font.Escapement, font.Orientation, font.Weight}) {
        out.Dword(static_cast<std::uint32_t>(value));
    }
    for (std::uint8_t value :
         {font.Italic, font.Underline, font.StrikeOut, font.CharSet, font.OutPrecision,
          font.ClipPrecision, font.Quality, font.PitchAndFamily}) {
        out.Out.push_back(value);
    }
    std::array<std::uint8_t, 32> face{};
    std::memcpy(face.data(), font.FaceName.data(), std::min<std::size_t>(31, font.FaceName.size()));
    out.Out.insert(out.Out.end(), face.begin(), face.end());
    return std::move(out.Out);
}

} // namespace platform
