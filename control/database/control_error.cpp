// The control's error and its trail.
#include "control_error.h"

namespace plandra {

namespace {

std::string_view RuntimeErrorText(RuntimeError error) {
    switch (error) {
    case RuntimeError::InvalidArgument:
        return "Invalid procedure call or argument";
    case RuntimeError::Overflow:
        return "Overflow";
    case RuntimeError::OutOfMemory:
        return "Out of memory";
    case RuntimeError::SubscriptOutOfRange:
        return "Subscript out of range";
    case RuntimeError::TypeMismatch:
        return "Type mismatch";
    case RuntimeError::FileNotFound:
        return "File not found";
    case RuntimeError::DeviceIOError:
        return "Device I/O error";
    case RuntimeError::DiskFull:
        return "Disk full";
    case RuntimeError::InputPastEndOfFile:
        return "Input past end of file";
    case RuntimeError::PathFileAccess:
        return "Path/File access error";
    case RuntimeError::PathNotFound:
        return "Path not found";
    case RuntimeError::InvalidPropertyValue:
        return "Invalid property value";
    }
    return "Application-defined or object-defined error";
}

} // namespace

ControlError ControlError::Runtime(RuntimeError error) {
    return ControlError(static_cast<std::int32_t>(error), "Plandra",
                        std::string(RuntimeErrorText(error)));
}

ControlError ControlError::Raised(std::string description, std::string source) {
    return ControlError(ControlErrorNumber, std::move(source), std::move(description));
}

void ControlError::AppendTrail(std::string_view procedure) {
    Description.append("\r\n ->  ").append(procedure).append(".");
    Number = ControlErrorNumber;
}

} // namespace plandra
