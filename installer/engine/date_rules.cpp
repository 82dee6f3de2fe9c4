// DOS stamps: the file system keeps UTC file times, the stamps are local time.
#include "date_rules.h"

#include "platform/files.h"

namespace vorn {

namespace {

platform::UniqueFile OpenForTimes(platform::FileService& files, std::string_view path,
                                  std::uint32_t access) {
    return platform::UniqueFile(
        files.CreateFileA(path, access,
                          platform::file::ShareRead | platform::file::ShareWrite |
                              platform::file::ShareDelete,
                          platform::file::OpenExisting, platform::file::AttributeNormal),
        platform::FileCloser{&files});
}

} // namespace

std::optional<DosStamp> ReadDosStamp(platform::FileService& files, std::string_view path) {
    platform::UniqueFile file = OpenForTimes(files, path, 0);
    platform::FileTime written;
    platform::FileTime local;
    DosStamp stamp;
    if (!file || !files.GetFileTime(file.Get(), nullptr, nullptr, &written) ||
        !files.FileTimeToLocalFileTime(written, local) ||
        !files.FileTimeToDosDateTime(local, stamp.Date, stamp.Time)) {
        return std::nullopt;
    }
    return stamp;
}

bool WriteDosStamp(platform::FileService& files, std::string_view path, DosStamp stamp) {
    platform::UniqueFile file = OpenForTimes(files, path, platform::file::GenericWrite);
    return file && WriteDosStamp(files, file.Get(), stamp);
}

bool WriteDosStamp(platform::FileService& files, platform::FileHandle file, DosStamp stamp) {
    platform::FileTime local;
    platform::FileTime written;
    return files.DosDateTimeToFileTime(stamp.Date, stamp.Time, local) &&
           files.LocalFileTimeToFileTime(local, written) &&
           files.SetFileTime(file, nullptr, nullptr, &written);
}

bool DateAllowsReplace(int rule, DosStamp added, const std::optional<DosStamp>& existing) {
    if (!existing) {
        return true;
    }
    if (added.Date != existing->Date) {
        return added.Date > existing->Date;
    }
    if (added.Time != existing->Time) {
        return added.Time > existing->Time;
    }
    return rule == date_rule::OlderOrSame;
}

} // namespace vorn
