// Finds the version resource in a PE32 or PE32+ file: the headers lead to the resource
// section, whose three-level directory (type, name, language) leads to the block.
#include "platform/version_resource.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace platform {

namespace {

constexpr std::uint16_t VersionType = 16; // RT_VERSION
constexpr std::uint16_t VersionName = 1;  // VS_VERSION_INFO
constexpr std::uint16_t UsEnglish = 0x409;
constexpr std::uint32_t HighBit = 0x80000000u; // a name string, or a subdirectory
constexpr std::uint32_t MaxSections = 96;      // the most a PE file may have
constexpr std::uint32_t MaxHeaderOffset = 1u << 24;

std::uint16_t U16(const char* bytes) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[0]) |
                                      static_cast<unsigned char>(bytes[1]) << 8);
}

std::uint32_t U32(const char* bytes) {
    return static_cast<std::uint32_t>(U16(bytes)) | static_cast<std::uint32_t>(U16(bytes + 2))
                                                        << 16;
}

struct Section {
    std::uint32_t VirtualAddress = 0;
    std::uint32_t VirtualSize = 0;
    std::uint32_t RawSize = 0;
    std::uint32_t RawOffset = 0;
};

struct ResourceEntry {
    std::uint32_t Name = 0;
    std::uint32_t Target = 0;
    bool Named() const { return (Name & HighBit) != 0; }
    bool Subdirectory() const { return (Target & HighBit) != 0; }
    std::uint32_t Offset() const { return Target & ~HighBit; }
};

/// Reads the parts of the image a resource walk needs, by relative virtual address,
/// refusing every range that does not lie inside one section's bytes in the file.
class Image {
public:
    Image(const ReadFileBytes& read, std::uint64_t fileSize) : Read(read), FileSize(fileSize) {}

    VersionResource Find() {
        VersionResource found = FindHeaders();
        // A part of the file that is there but cannot be read says nothing of its form.
        return ReadBroken ? Fail(VersionResourceError::ReadFailed, "the file cannot be read")
                          : found;
    }

private:
    VersionResource FindHeaders() {
        std::array<char, 64> dos{};
        if (!ReadFile(0, dos)) {
            return Fail(VersionResourceError::NotPortableExecutable, "shorter than a DOS header");
        }
        if (dos[0] != 'M' || dos[1] != 'Z') {
            return Fail(VersionResourceError::NotPortableExecutable, "no MZ signature");
        }
        const std::uint32_t peOffset = U32(dos.data() + 60);
        std::array<char, 24> pe{};
        if (peOffset > MaxHeaderOffset || !ReadFile(peOffset, pe) ||
            std::memcmp(pe.data(), "PE\0\0", 4) != 0) {
            return Fail(VersionResourceError::NotPortableExecutable, "no PE header");
        }
        const std::uint32_t sectionCount = U16(pe.data() + 6);
        const std::uint32_t optionalSize = U16(pe.data() + 20);
        std::vector<char> optional(optionalSize);
        if (optionalSize < 2 || !ReadFile(peOffset + 24, optional)) {
            return Fail(VersionResourceError::Malformed, "optional header cut short");
        }
        const std::uint16_t magic = U16(optional.data());
        if (magic != 0x10B && magic != 0x20B) {
            return Fail(VersionResourceError::Malformed, "unknown optional header magic");
        }
        // The data directories follow the fields whose width PE32+ doubles.
        const std::uint32_t countOffset = magic == 0x10B ? 92 : 108;
        const std::uint32_t resourceEntry = countOffset + 4 + 2 * 8;
        if (optionalSize < resourceEntry + 8 || U32(optional.data() + countOffset) < 3) {
            return Fail(VersionResourceError::NoVersionResource, "no resource directory entry");
        }
        ResourceRva = U32(optional.data() + resourceEntry);
        if (ResourceRva == 0 || U32(optional.data() + resourceEntry + 4) == 0) {
            return Fail(VersionResourceError::NoVersionResource, "no resource section");
        }
        if (sectionCount > MaxSections) {
            return Fail(VersionResourceError::Malformed, "too many sections");
        }
        std::vector<char> table(sectionCount * 40);
        if (!ReadFile(peOffset + 24 + optionalSize, table)) {
            return Fail(VersionResourceError::Malformed, "section table cut short");
        }
        for (std::uint32_t i = 0; i < sectionCount; ++i) {
            const char* header = table.data() + i * 40;
            Sections.push_back(
                {U32(header + 12), U32(header + 8), U32(header + 16), U32(header + 20)});
        }
        return FindVersion();
    }

    VersionResource Fail(VersionResourceError error, std::string reason) {
        return {error, std::move(reason), {}};
    }

    bool ReadFile(std::uint64_t offset, std::span<char> buffer) {
        if (offset > FileSize || buffer.size() > FileSize - offset) {
            return false;
        }
        ReadBroken = ReadBroken || !Read(offset, buffer);
        return !ReadBroken;
    }

    bool ReadRva(std::uint32_t rva, std::span<char> buffer) {
        for (const Section& section : Sections) {
            if (rva < section.VirtualAddress) {
                continue;
            }
            const std::uint64_t start = rva - section.VirtualAddress;
            const std::uint64_t mapped = std::max(section.VirtualSize, section.RawSize);
            if (start >= mapped) {
                continue;
            }
            // Bytes past the section's data in the file read as zeros, as when loaded;
            // a range must still lie inside the section.
            if (start + buffer.size() > mapped) {
                return false;
            }
            std::fill(buffer.begin(), buffer.end(), '\0');
            if (start >= section.RawSize) {
                return true;
            }
            const std::uint64_t inFile =
                std::min<std::uint64_t>(buffer.size(), section.RawSize - start);
            return ReadFile(section.RawOffset + start, buffer.first(inFile));
        }
        return false;
    }

    /// The entries of the directory at `offset` in the resource section.
    bool ReadDirectory(std::uint32_t offset, std::vector<ResourceEntry>& entries) {
        std::array<char, 16> header{};
        if (!ReadRva(ResourceRva + offset, header)) {
            return false;
        }
        const std::uint32_t count =
            std::uint32_t{U16(header.data() + 12)} + U16(header.data() + 14);
        std::vector<char> bytes(count * 8);
        if (!ReadRva(ResourceRva + offset + 16, bytes)) {
            return false;
        }
        entries.clear();
        for (std::uint32_t i = 0; i < count; ++i) {
            entries.push_back({U32(bytes.data() + i * 8), U32(bytes.data() + i * 8 + 4)});
        }
        return true;
    }

    /// The entry with this number; the first entry of all when `orFirst` and there is none.
    static const ResourceEntry* Pick(const std::vector<ResourceEntry>& entries,
                                     std::initializer_list<std::uint32_t> ids, bool orFirst) {
        for (std::uint32_t id : ids) {
            for (const ResourceEntry& entry : entries) {
                if (!entry.Named() && entry.Name == id) {
                    return &entry;
                }
            }
        }
        return orFirst && !entries.empty() ? &entries.front() : nullptr;
    }

    VersionResource FindVersion() {
        // The walk goes down exactly three levels, so a directory that points back at
        // itself cannot make it loop.
        std::vector<ResourceEntry> entries;
        if (!ReadDirectory(0, entries)) {
            return Fail(VersionResourceError::Malformed, "resource directory out of range");
        }
        const ResourceEntry* type = Pick(entries, {VersionType}, false);
        if (type == nullptr) {
            return Fail(VersionResourceError::NoVersionResource, "no version resource");
        }
        if (!type->Subdirectory() || !ReadDirectory(type->Offset(), entries)) {
            return Fail(VersionResourceError::Malformed, "version type directory out of range");
        }
        const ResourceEntry* name = Pick(entries, {VersionName}, true);
        if (name == nullptr) {
            return Fail(VersionResourceError::NoVersionResource, "empty version type directory");
        }
        if (!name->Subdirectory() || !ReadDirectory(name->Offset(), entries)) {
            return Fail(VersionResourceError::Malformed, "version name directory out of range");
        }
        const ResourceEntry* language = Pick(entries, {0, UsEnglish}, true);
        if (language == nullptr) {
            return Fail(VersionResourceError::NoVersionResource, "empty version name directory");
        }
        std::array<char, 16> data{};
        if (language->Subdirectory() || !ReadRva(ResourceRva + language->Offset(), data)) {
            return Fail(VersionResourceError::Malformed, "version data entry out of range");
        }
        const std::uint32_t size = U32(data.data() + 4);
        if (size > MaxVersionBlockSize) {
            return Fail(VersionResourceError::Malformed, "version block too large");
        }
        VersionResource found;
        found.Block.resize(size);
        if (!ReadRva(U32(data.data()), found.Block)) {
            return Fail(VersionResourceError::Malformed, "version block out of range");
        }
        return found;
    }

    const ReadFileBytes& Read;
    std::uint64_t FileSize;
    std::uint32_t ResourceRva = 0;
    bool ReadBroken = false;
    std::vector<Section> Sections;
};

} // namespace

VersionResource ReadVersionResource(const ReadFileBytes& read, std::uint64_t fileSize) {
    return Image(read, fileSize).Find();
}

VersionResource ReadVersionResource(std::span<const char> file) {
    const ReadFileBytes read = [file](std::uint64_t offset, std::span<char> buffer) {
        if (!buffer.empty()) {
            std::memcpy(buffer.data(), file.data() + offset, buffer.size());
        }
        return true;
    };
    return ReadVersionResource(read, file.size());
}

} // namespace platform
