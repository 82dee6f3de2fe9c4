// plandra: the drawing control's work from the command line.
#include "drawing_loader.h"
#include "info_report.h"

#include "control/database/control_error.h"

#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view Usage = R"(Usage: plandra COMMAND [OPTIONS] FILE

Commands:
  info FILE      Load an ASCII DXF drawing as the DXF control does and print what
                 it holds: the number of records of each kind, the length of the
                 drawing sequence, the block definitions, the extents, the layers
                 (name, colour, on/off, redline) and the redline text height.
  help           Show this text.

Options of info:
  --json         Print exactly one JSON object instead of the text summary:
                 {"file", "entities": {"lines", "polylineSegments", "texts",
                 "arcs", "solids", "points", "attributes", "ellipses"},
                 "sequence", "blocks", "extents": {"left", "top", "right",
                 "bottom"}, "layers": [{"name", "color" (RRGGBB), "on",
                 "redline"}], "redlineTextHeight"}
  --calc-extents Compute the extents from the entities and ignore the header's
                 $EXTMIN and $EXTMAX (the control's CalcExtents property).
  --strict       Read a file with bare line-feed line ends as it stands. Without
                 it such a file is first converted to CR LF ends in a temporary
                 copy (with a notice on standard error), as the control's
                 FixUNIXFile method would.
  -h, --help     Show this text.

Exit status: 0 when the drawing was read, 1 when reading failed (the error and
the trail of procedures it passed through are printed), 2 for a usage error.
)";

struct InfoRequest {
    std::string FileName;
    bool Json = false;
    bool CalcExtents = false;
    bool Strict = false;
};

int UsageError(std::string_view message) {
    std::cerr << "plandra: " << message << "\nRun 'plandra --help' for usage.\n";
    return 2;
}

// The trail's CR LF pairs read better as plain line ends on a terminal.
std::string WithPlainLineEnds(std::string text) {
    std::string plain;
    for (char c : text) {
        if (c != '\r') {
            plain += c;
        }
    }
    return plain;
}

int RunInfo(const InfoRequest& request) {
    plandra::cli::LoadedDrawing drawing;
    drawing.Options.CalcExtents = request.CalcExtents;
    try {
        plandra::cli::LoadDrawing(drawing, request.FileName,
                                  request.Strict ? plandra::cli::LineEndPolicy::Strict
                                                 : plandra::cli::LineEndPolicy::ConvertBareLineFeeds,
                                  std::cerr);
    } catch (const plandra::ControlError& error) {
        char number[16];
        std::snprintf(number, sizeof number, "0x%08X", static_cast<unsigned>(error.Number));
        std::cerr << "plandra: error " << number << " reading " << request.FileName << ":\n"
                  << WithPlainLineEnds(error.Description) << "\n";
        return 1;
    }
    if (request.Json) {
        plandra::cli::WriteInfoJson(std::cout, request.FileName, drawing);
    } else {
        plandra::cli::WriteInfoText(std::cout, request.FileName, drawing);
    }
    return 0;
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
    if (command != "info") {
        return UsageError("unknown command '" + std::string(command) + "'");
    }
    InfoRequest request;
    for (std::size_t i = 1; i < args.size(); ++i) {
        std::string_view arg = args[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << Usage;
            return 0;
        } else if (arg == "--json") {
            request.Json = true;
        } else if (arg == "--calc-extents") {
            request.CalcExtents = true;
        } else if (arg == "--strict") {
            request.Strict = true;
        } else if (arg.size() > 1 && arg.front() == '-') {
            return UsageError("unknown option '" + std::string(arg) + "'");
        } else if (!request.FileName.empty()) {
            return UsageError("only one FILE can be given");
        } else {
            request.FileName = arg;
        }
    }
    if (request.FileName.empty()) {
        return UsageError("info needs a FILE");
    }
    return RunInfo(request);
}
