// Saving the drawing with its markup as a spliced copy of its DXF file.
#include "dxf_writer.h"

#include "control/database/control_error.h"
#include "control/reader/dxf_line_source.h"
#include "dxf_values.h"
#include "platform/ansi_text.h"
#include "redline_records.h"
#include "replacing_file.h"

#include <limits>
#include <optional>
#include <string_view>

namespace plandra {

namespace {

// The copy with its splices. The lines are taken in pairs, and only a value line after
// its own group code is a place to splice: a layer named "LAYER" or a text reading
// "ENTITIES" is copied like any other value.
class SplicingCopy {
public:
    SplicingCopy(const DrawingDatabase& database, DxfLineSource& input, ReplacingFile& output)
        : Database(database), Input(input), Output(output) {}

    void Run() {
        bool valueLine = false;
        while (!Input.AtEnd() && !EntitiesDone) {
            const std::string_view line = Input.ReadLineView();
            Output.WriteLine(line);
            if (!valueLine) {
                Code.assign(platform::TrimBlanks(line));
                valueLine = true;
                continue;
            }
            valueLine = false;
            if (Code == "9" && line == "$HANDSEED" && !Handles.Last) {
                RaiseSeed();
            } else if (Code == "2" && line == "LAYER" && !LayersDone) {
                AppendLayers();
            } else if (Code == "2" && line == "ENTITIES" && !EntitiesDone) {
                EntitiesDone = true;
                WriteRedlineEntities(Output, Database, Handles);
            }
        }
        CopyRest();
    }

private:
    // Past the last splice the rest goes over in blocks, with the line ends the line by
    // line copy gives: a carriage return gains the line feed it lacks, and a last line
    // without an end gets one.
    void CopyRest() {
        char last = '\n';
        char beforeLast = '\r';
        for (std::string_view block = Input.ReadBlock(); !block.empty();
             block = Input.ReadBlock()) {
            if (last == '\r' && block.front() != '\n') {
                Output.Write("\n");
            }
            WriteWithLineFeeds(block);
            beforeLast = block.size() > 1 ? block[block.size() - 2] : last;
            last = block.back();
        }
        if (last == '\r') {
            Output.Write("\n");
        } else if (last != '\n' || beforeLast != '\r') {
            Output.Write("\r\n");
        }
    }

    // The block with a line feed after each carriage return inside it that lacks one.
    void WriteWithLineFeeds(std::string_view block) {
        // Files with carriage return / line feed ends, nearly all, are checked without a
        // branch per byte and go over whole.
        const auto* bytes = reinterpret_cast<const unsigned char*>(block.data());
        unsigned char bare = 0;
        for (std::size_t i = 0; i + 1 < block.size(); ++i) {
            bare |= static_cast<unsigned char>((bytes[i] == '\r') & (bytes[i + 1] != '\n'));
        }
        if (bare == 0) {
            Output.Write(block);
            return;
        }
        std::size_t from = 0;
        for (std::size_t i = 0; i + 1 < block.size(); ++i) {
            if (block[i] == '\r' && block[i + 1] != '\n') {
                Output.Write(block.substr(from, i + 1 - from));
                Output.Write("\n");
                from = i + 1;
            }
        }
        Output.Write(block.substr(from));
    }

    // The seed's pair: its group code as it is, then the seed raised past the handles of
    // the new records, which count from the old seed plus 10.
    void RaiseSeed() {
        Output.WriteLine(Input.ReadLineView());
        const std::uint64_t seed = ParseHandleSeed(Input.ReadLineView());
        const std::uint64_t count = CountNewItems(Database);
        // Handles that ran past 64 bits would start again at 0 and repeat the file's own.
        if (seed > std::numeric_limits<std::uint64_t>::max() - count - 11) {
            throw ControlError::Runtime(RuntimeError::Overflow);
        }
        Handles.Last = seed + 10;
        Output.WriteLine(DxfHandle(*Handles.Last + count + 1));
    }

    // The table's records as they are up to its ENDTAB pair, which follows the new ones.
    void AppendLayers() {
        LayersDone = true;
        std::string code;
        for (;;) {
            Input.ReadLine(code);
            const std::string_view value = Input.ReadLineView();
            if (value == "ENDTAB") {
                WriteNewLayers(Output, Database, Handles);
                Output.WriteLine(code);
                Output.WriteLine(value);
                return;
            }
            Output.WriteLine(code);
            Output.WriteLine(value);
        }
    }

    const DrawingDatabase& Database;
    DxfLineSource& Input;
    ReplacingFile& Output;
    HandleCounter Handles;
    std::string Code;
    bool LayersDone = false;
    bool EntitiesDone = false;
};

} // namespace

void SaveDrawing(const DrawingDatabase& database, const std::string& inputFile,
                 const std::string& target, platform::FileService* files) {
    std::optional<DxfLineSource> input(DxfLineSource::Open(inputFile));
    ReplacingFile output(target, files);
    SplicingCopy(database, *input, output).Run();
    // Closed first: Windows does not replace a file that is still open.
    input.reset();
    output.Commit();
}

} // namespace plandra
