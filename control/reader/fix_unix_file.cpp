// Line-end conversion for DXF files written with bare line feeds.
#include "fix_unix_file.h"

#include "control/database/control_error.h"
#include "platform/stdio_file.h"

#include <cstdio>

namespace plandra {

namespace {

using FileHandle = platform::UniqueStdioFile;

std::string ConvertLineEnds(std::FILE* input) {
    std::string result;
    char buffer[1 << 16];
    bool sawCarriageReturn = false;
    std::size_t read = 0;
    while ((read = std::fread(buffer, 1, sizeof buffer, input)) > 0) {
        for (std::size_t i = 0; i < read; ++i) {
            char c = buffer[i];
            if (c == '\r') {
                sawCarriageReturn = true;
            } else if (c == '\n') {
                if (!sawCarriageReturn) {
                    result.push_back('\r');
                }
                // A line feed ends the line end: a second one after CR LF is a
                // bare line feed of its own and needs its carriage return too.
                sawCarriageReturn = false;
            } else {
                sawCarriageReturn = false;
            }
            result.push_back(c);
        }
    }
    return result;
}

} // namespace

bool FixUNIXFile(std::string& strError, std::string InFileName, std::string OutFileName,
                 platform::Screen& screen) {
    screen.SetMousePointer(platform::MousePointer::Hourglass);
    try {
        if (OutFileName == InFileName) {
            throw ControlError::Raised("The input and  output file names must be different.",
                                       "FixUNIXFile");
        }
        FileHandle input(std::fopen(InFileName.c_str(), "rb"));
        if (!input) {
            throw ControlError::Runtime(RuntimeError::FileNotFound);
        }
        std::string result = ConvertLineEnds(input.Get());
        result.append("\r\n");
        FileHandle output(std::fopen(OutFileName.c_str(), "wb"));
        if (!output) {
            throw ControlError::Runtime(RuntimeError::PathFileAccess);
        }
        if (std::fwrite(result.data(), 1, result.size(), output.Get()) != result.size() ||
            std::fclose(output.Release()) != 0) {
            throw ControlError::Runtime(RuntimeError::DiskFull);
        }
        strError.clear();
        screen.SetMousePointer(platform::MousePointer::Default);
        return true;
    } catch (const ControlError& error) {
        strError = "An error ocurred in FixUNIXFile. The message is: " + error.Description;
    } catch (const std::bad_alloc&) {
        strError = "An error ocurred in FixUNIXFile. The message is: Out of memory";
    }
    screen.SetMousePointer(platform::MousePointer::Default);
    return false;
}

} // namespace plandra
