// Version calls that fail on purpose at a chosen use of a chosen call.
#include "platform/headless/fault_injection_versions.h"

namespace platform {

bool FaultInjectingVersions::Fails(VersionCall call) {
    Injected = Plan.Use(call);
    return Injected.has_value();
}

std::uint32_t FaultInjectingVersions::GetFileVersionInfoSizeA(std::string_view fileName,
                                                              std::uint32_t* handle) {
    if (handle != nullptr) {
        *handle = 0;
    }
    if (Fails(VersionCall::GetFileVersionInfoSizeA)) {
        return 0;
    }
    return Inner.GetFileVersionInfoSizeA(fileName, handle);
}

bool FaultInjectingVersions::GetFileVersionInfoA(std::string_view fileName, std::uint32_t handle,
                                                 std::span<char> data) {
    if (Fails(VersionCall::GetFileVersionInfoA)) {
        return false;
    }
    return Inner.GetFileVersionInfoA(fileName, handle, data);
}

bool FaultInjectingVersions::VerQueryValueA(std::span<char> block, std::string_view subBlock,
                                            const char*& buffer, std::uint32_t& length) {
    if (Fails(VersionCall::VerQueryValueA)) {
        buffer = nullptr;
        length = 0;
        return false;
    }
    return Inner.VerQueryValueA(block, subBlock, buffer, length);
}

std::uint32_t FaultInjectingVersions::VerFindFileA(std::uint32_t flags, std::string_view fileName,
                                                   const char* winDir, std::string_view appDir,
                                                   std::span<char> curDir,
                                                   std::uint32_t& curDirLength,
                                                   std::span<char> destDir,
                                                   std::uint32_t& destDirLength) {
    if (Fails(VersionCall::VerFindFileA)) {
        for (std::span<char> buffer : {curDir, destDir}) {
            if (!buffer.empty()) {
                buffer[0] = '\0';
            }
        }
        curDirLength = 1;
        destDirLength = 1;
        return ver::FindBufferTooSmall;
    }
    return Inner.VerFindFileA(flags, fileName, winDir, appDir, curDir, curDirLength, destDir,
                              destDirLength);
}

std::uint32_t
FaultInjectingVersions::VerInstallFileA(std::uint32_t flags, std::string_view srcFileName,
                                        std::string_view destFileName, std::string_view srcDir,
                                        std::string_view destDir, std::string_view curDir,
                                        std::span<char> tmpFile, std::uint32_t& tmpFileLength) {
    if (Fails(VersionCall::VerInstallFileA)) {
        tmpFileLength = 0;
        return *Injected;
    }
    return Inner.VerInstallFileA(flags, srcFileName, destFileName, srcDir, destDir, curDir, tmpFile,
                                 tmpFileLength);
}

std::uint32_t FaultInjectingVersions::GetLastError() {
    return Injected ? *Injected : Inner.GetLastError();
}

} // namespace platform
