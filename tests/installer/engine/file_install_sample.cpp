// Install-file scripts for the tests.
#include "file_install_sample.h"

#include "installer/engine/install_context.h"
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
    return WithHeader(header, b);
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

FileInstallSample WriteFileInstallSample(const std::filesystem::path& archive,
                                         const std::string& ver1, const std::string& ver2) {
    using namespace install_flags;
    const DosStamp older{0x5821, 0x6000}, record{0x5A21, 0x6000}, newer{0x5C21, 0x6000};
    const auto bytes = [](const std::string& text) {
        return std::vector<std::uint8_t>(text.begin(), text.end());
    };
    const std::optional<PackedPayload> packed =
        PackPayload(std::vector<std::pair<std::string, std::vector<std::uint8_t>>>{
                        {"new.txt", bytes("new content")}, {"lib.dll", bytes(ver2)}})
            .Payload;
    const std::vector<FileToInstall> files{
        {"new.txt", "C:\\APP\\NEW.TXT"},
        {"new.txt", "C:\\APP\\OLD.TXT", Rule2},
        {"new.txt", "C:\\APP\\SAME.TXT", Rule1},
        {"new.txt", "C:\\APP\\KEEP.TXT", Rule2},
        {"new.txt", "C:\\APP\\NEVER.TXT", Rule3},
        {"new.txt", "C:\\APP\\SHARED.TXT", Shared},
        {"new.txt", "C:\\APP\\SHARED.TXT", Shared},
        {"new.txt", "C:\\APP\\BUSY.TXT"},
        {"lib.dll", "C:\\APP\\LIB.DLL", Versions},
    };
    ArchiveExtras extras;
    extras.OptionFlags = context_option::ReplaceInUseAtRestart;
    if (!packed ||
        !WriteSetupArchive(archive, FileInstallScript(*packed, files, 8), *packed, extras)
             .empty()) {
        return {};
    }
    return {{{"OLD.TXT", "old", older},
             {"SAME.TXT", "same", record},
             {"KEEP.TXT", "keep", newer},
             {"NEVER.TXT", "never", older},
             {"BUSY.TXT", "busy", older},
             {"LIB.DLL", ver1, older}},
            {{"NEW.TXT", "new content"},
             {"OLD.TXT", "new content"},
             {"SAME.TXT", "new content"},
             {"SHARED.TXT", "new content"},
             {"KEEP.TXT", "keep"},
             {"NEVER.TXT", "never"},
             {"LIB.DLL", ver2},
             {"BUSY.TXT", "busy"}},
            {
                "File Copy: C:\\APP\\NEW.TXT",
                "File Overwrite: C:\\APP\\OLD.TXT",
                "File Overwrite: C:\\APP\\SAME.TXT",
                "Date/Time: Following file not copied.",
                " File Copy: C:\\APP\\KEEP.TXT",
                "File Copy: C:\\APP\\SHARED.TXT",
                "File Overwrite: C:\\APP\\SHARED.TXT",
                "File Overwrite: C:\\APP\\BUSY.TXT",
                "Made Dir: C:\\BACKUP",
                "File Overwrite: C:\\APP\\LIB.DLL",
                "Backup Copy: C:\\BACKUP\\LIB.DLL",
            }};
}

} // namespace vorn
