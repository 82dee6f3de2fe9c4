// `plandra save`: load, mark up, save.
#include "save_command.h"

#include "drawing_loader.h"

#include <fstream>
#include <optional>
#include <ostream>

namespace plandra::cli {

int RunSave(const SaveRequest& request, std::ostream& out, std::ostream& errors) {
    std::ifstream script;
    if (!request.ScriptName.empty()) {
        script.open(request.ScriptName, std::ios::binary);
        if (!script) {
            errors << "plandra: cannot read " << request.ScriptName << "\n";
            return 1;
        }
    }
    LoadedDrawing drawing;
    request.Reading.ApplyTo(drawing.Control);
    // The converted copy of a file with bare line feeds is what Save copies, so it
    // stays until the save is done.
    std::optional<ReadableFile> file;
    try {
        file.emplace(request.Reading.FileName, request.Reading.Policy(), errors);
        drawing.Control.SetFileName(file->Name());
        file->Reading([&] { return drawing.Control.Regen(dxfMergeNew); });
    } catch (const ControlError& error) {
        ReportControlError(errors, error, "reading", request.Reading.FileName);
        return 1;
    }
    if (script.is_open()) {
        const int status = RunScript(
            script, request.ScriptName, drawing.Control, drawing.Host.MessageBox,
            [](const std::string&) { return false; }, request.Settings, out, errors);
        if (status != 0) {
            errors << "plandra: " << request.OutputName << " not saved\n";
            return status;
        }
    }
    try {
        drawing.Control.Save(request.OutputName);
    } catch (const ControlError& error) {
        ReportControlError(errors, error, "saving", request.OutputName);
        return 1;
    }
    return 0;
}

} // namespace plandra::cli
