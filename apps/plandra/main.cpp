// plandra: the drawing control's work from the command line.
#include "command_line_options.h"
#include "control/database/control_error.h"
#include "drawing_loader.h"
#include "export_command.h"
#include "info_report.h"
#include "platform/ansi_text.h"
#include "print_command.h"
#include "render_command.h"
#include "save_command.h"
#include "script_command.h"

#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view Usage = R"(Usage: plandra COMMAND [OPTIONS] [FILE]

Commands:
  info FILE      Load an ASCII DXF drawing as the DXF control does and print what
                 it holds: the number of records of each kind, the length of the
                 drawing sequence, the block definitions, the extents, the layers
                 (name, colour, on/off, redline) and the redline text height.
  render FILE -o OUT.png
                 Load the drawing and draw it as the DXF control does (its Regen),
                 onto a drawing surface of its own, and write that surface as a
                 PNG picture. Lines, polyline segments (straight and bulged),
                 circles, arcs, ellipses, solids, points, texts and the filled
                 areas of solid hatches are drawn;
                 attributes are not (the control's DisplayAttributes is off).
  script [SCRIPT]
                 Place one DXF control on a drawing surface of its own and run the
                 commands of SCRIPT (standard input when it is absent or "-"), one
                 a line, through the control's members by name, as an automation
                 client does:
                   Name = value              sets a property
                   ? Name                    prints a property
                   Name arg, arg, ...        calls a method (optional arguments may
                                             be left out; by-reference arguments
                                             are printed with their new values)
                   colLayers.Item(3).LayerOn = False
                                             dotted access reaches objects
                   !render OUT.png           writes the surface as it stands now
                   # ...                     a comment; blank lines are skipped
                 Values are numbers, True, False, or strings in double quotes
                 with "" for a quote inside (code page 1252 text). Message boxes
                 the control shows are answered OK and printed before the line of
                 the member that showed them. An assignment prints the value
                 assigned. Example:
                   FileName = "samples/site-plan.dxf"
                   Regen 0
                   ? colLayers.Count
                   colLayers.Item(1).LayerOn = False
                   DXFRefresh
                   !render site-plan.png
                 SaveWMF without a file name puts the view on the clipboard: on
                 Linux the file $PLANDRA_CLIPBOARD, else plandra/clipboard.emf in
                 $XDG_RUNTIME_DIR (or in $XDG_CACHE_HOME, or ~/.cache), also
                 offered to the desktop's clipboard as image/emf through wl-copy
                 or xclip when a display is there; on Windows its clipboard.
  save FILE -o OUT.dxf [--script SCRIPT]
                 Load the drawing into a DXF control, run the commands of SCRIPT
                 against it when one is given (as script does: redline markup,
                 new layers with NewLayer True), then write it with its markup
                 through the control's Save: a copy of FILE with the new layers
                 and the live redline lines, circles and texts spliced in. OUT
                 may be FILE itself; it is replaced only once it is whole.
  export FILE -o OUT.emf|OUT.wmf
                 Load the drawing into a DXF control on a drawing surface of its
                 own and write its view as an enhanced metafile (EMF) through the
                 control's SaveWMF: the same drawing calls as render, recorded
                 instead of drawn, with a frame of the surface's size in
                 hundredths of a millimetre. With OUT.wmf a placeable Windows
                 metafile instead, as SaveWMF writes one when it cannot make an
                 enhanced metafile: 16-bit coordinates behind a header that
                 gives the surface's size in pixels and its pixels per inch.
  print FILE [--printer NAME | --pdf OUT.pdf]
                 Load the drawing into a DXF control and print it through the
                 control's Plot on one page: the whole drawing with a margin of a
                 twentieth of its size on every side, scaled to the printable
                 area. Without --pdf on the printer NAME, or on the default
                 printer: on Linux a CUPS queue (the page goes as a PDF file), on
                 Windows a Windows printer. With --pdf (Linux build only) onto a
                 PDF file: the page less a quarter inch a side at 600 dots per
                 inch.
  help           Show this text.

Options of info:
  --json         Print exactly one JSON object instead of the text summary:
                 {"file", "entities": {"lines", "polylineSegments", "texts",
                 "arcs", "solids", "points", "attributes", "ellipses",
                 "filledAreas"},
                 "sequence", "blocks", "extents": {"left", "top", "right",
                 "bottom"}, "layers": [{"name", "color" (RRGGBB), "on",
                 "redline"}], "redlineTextHeight"}

Options of render:
  -o, --output OUT.png
                 The picture to write (required).
  --size WIDTHxHEIGHT
                 The drawing surface in pixels, each 1 to 16384 (default
                 1024x768).
  --background RRGGBB
                 The surface's back colour as six hexadecimal digits (default
                 FFFFFF, white). Black layers are drawn white on a black
                 background and white layers black on a white one.
  --print-all-black
                 Draw everything in black (the control's PrintAllBlack property).
  --window LEFT,TOP,RIGHT,BOTTOM
                 Show this window of the drawing (drawing units; LEFT is the
                 smallest X, TOP the largest Y) instead of its extents, as the
                 control's zoom does after loading. It grows upward or to the
                 right to the surface's shape.
  --text-boxes FILE
                 Also write the box of every text drawn, one a line as LEFT TOP
                 RIGHT BOTTOM in pixels (text cells, turned with the text), so
                 that pictures drawn with different fonts can be compared
                 outside their texts.

Options of export:
  -o, --output OUT.emf|OUT.wmf
                 The metafile to write (required). An existing file of the name
                 is kept when nothing could be written.
  --size WIDTHxHEIGHT
                 The drawing surface whose view is exported, in pixels, each 1
                 to 16384 (default 1024x768).
  --window LEFT,TOP,RIGHT,BOTTOM
                 Export this window of the drawing instead of its extents, as
                 for render.
  --print-all-black
                 Record everything in black.

Options of print:
  --pdf OUT.pdf  The PDF file to write (Linux build only).
  --printer NAME The printer (CUPS queue on Linux) to print on instead of the
                 default printer.
  --current-view Print the control's current view (after loading, the extents
                 fitted to its 1024x768 surface) instead of the extents.
  --letter       Letter paper instead of A4 (PDF pages and CUPS queues).
  --print-all-black
                 Print everything in black.

Options of script:
  --size WIDTHxHEIGHT
                 The drawing surface in pixels, each 1 to 16384 (default
                 1024x768).
  --json         Print exactly one JSON object a line for each command:
                 {"line":N,"member":"Name","result":VALUE,"byref":{"Arg":VALUE}}
                 ("byref" only for a call with by-reference arguments), or
                 {"line":N,"member":"Name","error":{"number":N,"description":"..."}}
                 when the member raises an error (the number as a signed 32-bit
                 decimal, the description with its trail), and
                 {"line":N,"messageBox":{"text":"...","caption":"...","style":N}}
                 for each message box, and {"line":N,"render":"OUT.png"}. Objects
                 are {"object":"DXFLayers"}, Nothing and Empty are null.
  --stop-on-error
                 End the run with status 1 at the first member error (without
                 it, member errors are results and the run goes on).

Options of save:
  -o, --output OUT.dxf
                 The DXF file to write (required).
  --script SCRIPT
                 The commands to run before saving; their report is printed as
                 script prints it. Nothing is saved when the script stops early.
  --json, --stop-on-error
                 As for script.

Options of info, render, export, print and save:
  --calc-extents Compute the extents from the entities and ignore the header's
                 $EXTMIN and $EXTMAX (the control's CalcExtents property).
  --classic-only Read only the classic entity kinds, texts as their bytes stand
                 (the control's ReadModernEntities property off). Without it
                 LWPOLYLINE, SPLINE, HATCH, TRACE and LEADER are read too and
                 texts are decoded by the drawing's code page and version.
  --strict       Read a file with bare line-feed line ends as it stands. Without
                 it such a file is first converted to CR LF ends in a temporary
                 copy (with a notice on standard error), as the control's
                 FixUNIXFile method would.
  -h, --help     Show this text.

Exit status: 0 when the drawing was read (info) or drawn (render); 1 when
reading failed (the error and the trail of procedures it passed through are
printed) or the picture could not be written; 2 for a usage error; 3 when render
wrote the picture but nothing was drawn: the drawing is empty, the window has no
width or no height, or its scale is out of range ("Zoom out of range" is then
written on the picture). save: 0 when saved; 1 when the drawing cannot be read
or saved (OUT is then left as it was), the script cannot be read, or a member
error stopped it; 2 as for script. script: 0 when every line ran; 1 when the script
cannot be read, a picture cannot be written, or a member raised an error with
--stop-on-error; 2 for a line that is not a command (the lines before it have
run; the message names the line). export: 0 when the metafile was written; 1
when the drawing cannot be read or the metafile cannot be written (an older OUT is
then kept); 3 when the view could not be drawn, and nothing is written.
)";

struct InfoRequest {
    plandra::cli::ReadingOptions Reading;
    bool Json = false;
};

int UsageError(std::string_view message) {
    std::cerr << "plandra: " << message << "\nRun 'plandra --help' for usage.\n";
    return 2;
}

// The value after option `i`, which it then passes over; nothing when the option is last.
std::optional<std::string_view> NextValue(const std::vector<std::string_view>& args,
                                          std::size_t& i) {
    if (i + 1 >= args.size()) {
        return std::nullopt;
    }
    return args[++i];
}

// Takes an argument every command that reads a drawing understands: the file and
// the reading options. Returns nothing when it was taken, else the exit code of a
// usage error.
std::optional<int> TakeReadingArgument(std::string_view arg,
                                       plandra::cli::ReadingOptions& reading) {
    if (arg == "--calc-extents") {
        reading.CalcExtents = true;
    } else if (arg == "--classic-only") {
        reading.ClassicOnly = true;
    } else if (arg == "--strict") {
        reading.Strict = true;
    } else if (arg.size() > 1 && arg.front() == '-') {
        return UsageError("unknown option '" + std::string(arg) + "'");
    } else if (!reading.FileName.empty()) {
        return UsageError("only one FILE can be given");
    } else {
        reading.FileName = arg;
    }
    return std::nullopt;
}

// Takes an argument of a command that draws a view of the drawing (render, export):
// the surface's size, the window shown and black printing, else a reading argument.
template <typename Request>
std::optional<int> TakeViewArgument(const std::vector<std::string_view>& args, std::size_t& i,
                                    Request& request) {
    const std::string_view arg = args[i];
    if (arg == "--size") {
        auto size = NextValue(args, i);
        if (!size || !plandra::cli::ParseSize(*size, request.Width, request.Height)) {
            return UsageError("--size needs WIDTHxHEIGHT, each from 1 to 16384");
        }
    } else if (arg == "--window") {
        auto text = NextValue(args, i);
        plandra::RealRect window;
        if (!text || !plandra::cli::ParseWindow(*text, window)) {
            return UsageError("--window needs LEFT,TOP,RIGHT,BOTTOM");
        }
        request.Window = window;
    } else if (arg == "--print-all-black") {
        request.PrintAllBlack = true;
    } else {
        return TakeReadingArgument(arg, request.Reading);
    }
    return std::nullopt;
}

int RunInfo(const InfoRequest& request) {
    plandra::cli::LoadedDrawing drawing;
    request.Reading.ApplyTo(drawing.Control);
    try {
        plandra::cli::LoadDrawing(drawing, request.Reading.FileName, request.Reading.Policy(),
                                  std::cerr);
    } catch (const plandra::ControlError& error) {
        plandra::cli::ReportControlError(std::cerr, error, "reading", request.Reading.FileName);
        return 1;
    }
    if (request.Json) {
        plandra::cli::WriteInfoJson(std::cout, request.Reading.FileName, drawing);
    } else {
        plandra::cli::WriteInfoText(std::cout, request.Reading.FileName, drawing);
    }
    return 0;
}

int ParseRender(const std::vector<std::string_view>& args) {
    plandra::cli::RenderRequest request;
    for (std::size_t i = 1; i < args.size(); ++i) {
        std::string_view arg = args[i];
        auto value = [&] { return NextValue(args, i); };
        if (arg == "--help" || arg == "-h") {
            std::cout << Usage;
            return 0;
        } else if (arg == "-o" || arg == "--output" || arg == "--text-boxes") {
            auto name = value();
            if (!name) {
                return UsageError(std::string(arg) + " needs a file name");
            }
            (arg == "--text-boxes" ? request.TextBoxesName : request.OutputName) = *name;
        } else if (arg == "--background") {
            auto color = value();
            if (!color || !plandra::cli::ParseColor(*color, request.BackColor)) {
                return UsageError("--background needs a colour as RRGGBB");
            }
        } else if (auto exitCode = TakeViewArgument(args, i, request)) {
            return *exitCode;
        }
    }
    if (request.Reading.FileName.empty()) {
        return UsageError("render needs a FILE");
    }
    if (request.OutputName.empty()) {
        return UsageError("render needs -o OUT.png");
    }
    return plandra::cli::RunRender(request, std::cerr);
}

int ParseExport(const std::vector<std::string_view>& args) {
    plandra::cli::ExportRequest request;
    for (std::size_t i = 1; i < args.size(); ++i) {
        std::string_view arg = args[i];
        auto value = [&] { return NextValue(args, i); };
        if (arg == "--help" || arg == "-h") {
            std::cout << Usage;
            return 0;
        } else if (arg == "-o" || arg == "--output") {
            auto name = value();
            if (!name) {
                return UsageError(std::string(arg) + " needs a file name");
            }
            request.OutputName = *name;
        } else if (auto exitCode = TakeViewArgument(args, i, request)) {
            return *exitCode;
        }
    }
    if (request.Reading.FileName.empty()) {
        return UsageError("export needs a FILE");
    }
    std::string_view out = request.OutputName;
    std::string_view extension = out.size() >= 4 ? out.substr(out.size() - 4) : "";
    if (!platform::EqualsIgnoringCase(extension, ".emf") &&
        !platform::EqualsIgnoringCase(extension, ".wmf")) {
        return UsageError("export needs -o OUT.emf or -o OUT.wmf");
    }
    return plandra::cli::RunExport(request, std::cerr);
}

int ParsePrint(const std::vector<std::string_view>& args) {
    plandra::cli::PrintRequest request;
    for (std::size_t i = 1; i < args.size(); ++i) {
        std::string_view arg = args[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << Usage;
            return 0;
        } else if (arg == "--pdf") {
            auto name = NextValue(args, i);
            if (!name) {
                return UsageError("--pdf needs a file name");
            }
            request.PdfName = *name;
        } else if (arg == "--printer") {
            auto name = NextValue(args, i);
            if (!name || name->empty()) {
                return UsageError("--printer needs a printer's name");
            }
            request.PrinterName = *name;
        } else if (arg == "--current-view") {
            request.CurrentView = true;
        } else if (arg == "--letter") {
            request.Letter = true;
        } else if (arg == "--print-all-black") {
            request.PrintAllBlack = true;
        } else if (auto exitCode = TakeReadingArgument(arg, request.Reading)) {
            return *exitCode;
        }
    }
    if (request.Reading.FileName.empty()) {
        return UsageError("print needs a FILE");
    }
    if (!request.PdfName.empty() && !request.PrinterName.empty()) {
        return UsageError("print takes --pdf OUT.pdf or --printer NAME, not both");
    }
    return plandra::cli::RunPrint(request, std::cerr);
}

int ParseScript(const std::vector<std::string_view>& args) {
    plandra::cli::ScriptRequest request;
    bool named = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        std::string_view arg = args[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << Usage;
            return 0;
        } else if (arg == "--json") {
            request.Settings.Json = true;
        } else if (arg == "--stop-on-error") {
            request.Settings.StopOnError = true;
        } else if (arg == "--size") {
            if (i + 1 >= args.size() ||
                !plandra::cli::ParseSize(args[++i], request.Width, request.Height)) {
                return UsageError("--size needs WIDTHxHEIGHT, each from 1 to 16384");
            }
        } else if (arg.size() > 1 && arg.front() == '-') {
            return UsageError("unknown option '" + std::string(arg) + "'");
        } else if (named) {
            return UsageError("only one SCRIPT can be given");
        } else {
            request.ScriptName = arg;
            named = true;
        }
    }
    return plandra::cli::RunScriptCommand(request, std::cin, std::cout, std::cerr);
}

int ParseSave(const std::vector<std::string_view>& args) {
    plandra::cli::SaveRequest request;
    for (std::size_t i = 1; i < args.size(); ++i) {
        std::string_view arg = args[i];
        auto value = [&] { return NextValue(args, i); };
        if (arg == "--help" || arg == "-h") {
            std::cout << Usage;
            return 0;
        } else if (arg == "-o" || arg == "--output" || arg == "--script") {
            auto name = value();
            if (!name) {
                return UsageError(std::string(arg) + " needs a file name");
            }
            (arg == "--script" ? request.ScriptName : request.OutputName) = *name;
        } else if (arg == "--json") {
            request.Settings.Json = true;
        } else if (arg == "--stop-on-error") {
            request.Settings.StopOnError = true;
        } else if (auto exitCode = TakeReadingArgument(arg, request.Reading)) {
            return *exitCode;
        }
    }
    if (request.Reading.FileName.empty()) {
        return UsageError("save needs a FILE");
    }
    if (request.OutputName.empty()) {
        return UsageError("save needs -o OUT.dxf");
    }
    return plandra::cli::RunSave(request, std::cout, std::cerr);
}

int ParseInfo(const std::vector<std::string_view>& args) {
    InfoRequest request;
    for (std::size_t i = 1; i < args.size(); ++i) {
        std::string_view arg = args[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << Usage;
            return 0;
        } else if (arg == "--json") {
            request.Json = true;
        } else if (auto exitCode = TakeReadingArgument(arg, request.Reading)) {
            return *exitCode;
        }
    }
    if (request.Reading.FileName.empty()) {
        return UsageError("info needs a FILE");
    }
    return RunInfo(request);
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string_view> args(argv + 1, argv + argc);
    if (args.empty()) {
        return UsageError("no command given");
    }
    std::string_view command = args.front();
    if (command == "help" || command == "--help" || command == "-h") {
        std::cout << Usage;
        return 0;
    }
    if (command == "info") {
        return ParseInfo(args);
    }
    if (command == "render") {
        return ParseRender(args);
    }
    if (command == "save") {
        return ParseSave(args);
    }
    if (command == "export") {
        return ParseExport(args);
    }
    if (command == "print") {
        return ParsePrint(args);
    }
    if (command == "script") {
        return ParseScript(args);
    }
    return UsageError("unknown command '" + std::string(command) + "'");
}
