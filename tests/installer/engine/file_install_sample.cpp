// Install-file scripts for the tests.
#include "file_install_sample.h"

#include "installer/engine/script_builder.h"
#include "sample_install_script.h"

#include <algorithm>
#include <fstream>

namespace vorn {

std::vector<std::uint8_t> FileInstallScript(const PackedPayload& payload,
                                            const std::vector<FileToInstall>& files,
                                            std::size_t backupFrom, std::uint32_t badChecksum) {
    ScriptBuilder b;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (i == backupFrom) {
            b.CallDll(call::OwnFunction, "", "f16",
                      {std::string("1") + Sep + "BACKUPDIR" + Sep + "C:\\BACKUP"});
        }
        const FileToInstall& f = files[i];
        auto entry = std::find_if(payload.Entries.begin(), payload.Entries.end(),
                                  [&](const PayloadEntry& e) { return e.Name == f.Payload; });
        std::vector<std::uint8_t> fixed{f.FlagsA, f.FlagsB};
        auto put = [&](std::uint32_t value, int bytes) {
            for (int k = 0; k < bytes; ++k) {
                fixed.push_back(static_cast<std::uint8_t>(value >> (8 * k)));
            }
        };
        const bool library = f.Library >= 0;
        const std::uint32_t start = library ? static_cast<std::uint32_t>(f.Library) : entry->Offset;
        put(start, 4);
        put(start + (library ? entry->Size : entry->CompressedSize), 4);
        put(f.Stamp.Date, 2);
        put(f.Stamp.Time, 2);
        put(entry->Size, 4);
        // The version fields only say whether there is a version: the service compares.
        for (int k = 0; k < 5; ++k) {
            put((f.FlagsA & install_flags::Versions) != 0 ? 1 : 0, 4);
        }
        put(badChecksum != 0 ? badChecksum : entry->Crc, 4);
        b.Record(op::InstallFiles, fixed, {f.Destination, ""}, {{"File"}});
    }
    b.Exit();
    ScriptHeader header = SampleHeader();
    header.LibraryBaseName = SampleLibraryBase;
    header.ArchiveIdentifier = SampleLibraryIdentifier;
    std::vector<std::uint8_t> script = WriteScriptHeader(header);
    std::vector<std::uint8_t> records = b.Build();
    script.insert(script.end(), records.begin(), records.end());
    return script;
}

std::vector<std::string> LogChanges(const std::filesystem::path& log) {
    std::ifstream text(log, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(text, line, '\n');) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        for (const char* kept : {"File ", "Made Dir", "Backup", "In Use", "Date/Time", " File",
                                 "Version:", "Shared", "Self-Register", "Could not Self"}) {
            if (line.rfind(kept, 0) == 0) {
                lines.push_back(line);
                break;
            }
        }
    }
    return lines;
}

} // namespace vorn
