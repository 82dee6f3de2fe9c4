// The control's error: a run-time error number and text, extended by the error trail.
#pragma once

#include <cstdint>
#include <exception>
#include <new>
#include <string>
#include <string_view>

namespace plandra {

/// The number every error leaving a control procedure carries (vbObjectError + 1).
inline constexpr std::int32_t ControlErrorNumber = static_cast<std::int32_t>(0x80040001u);

/// The run-time errors the control meets while working, by their automation numbers.
enum class RuntimeError : std::int32_t {
    InvalidArgument = 5,
    Overflow = 6,
    OutOfMemory = 7,
    SubscriptOutOfRange = 9,
    TypeMismatch = 13,
    FileNotFound = 53,
    DeviceIOError = 57,
    DiskFull = 61,
    InputPastEndOfFile = 62,
    PathFileAccess = 75,
    PathNotFound = 76,
    InvalidPropertyValue = 380,
};

class ControlError : public std::exception {
public:
    ControlError(std::int32_t number, std::string source, std::string description)
        : Number(number), Source(std::move(source)), Description(std::move(description)) {}

    /// A run-time error with its standard text, e.g. 62 "Input past end of file".
    static ControlError Runtime(RuntimeError error);

    /// An error the control raises itself: number 0x80040001 with the given text.
    static ControlError Raised(std::string description, std::string source = "Plandra");

    /// One step of the error trail: appends CR LF, " ->  ", the procedure's name and
    /// a full stop to the description and takes the control's error number.
    void AppendTrail(std::string_view procedure);

    const char* what() const noexcept override { return Description.c_str(); }

    std::int32_t Number;
    std::string Source;
    std::string Description;
};

/// Runs `work` as the procedure `procedure`: an error leaving it first runs
/// `cleanup` (the pointer back to the default and the like), then gains the trail
/// step for the procedure. Memory exhaustion becomes the "Out of memory" error.
template <typename Cleanup, typename Work>
decltype(auto) WithErrorTrail(std::string_view procedure, Cleanup&& cleanup, Work&& work) {
    try {
        try {
            return work();
        } catch (const std::bad_alloc&) {
            throw ControlError::Runtime(RuntimeError::OutOfMemory);
        }
    } catch (ControlError& error) {
        cleanup();
        error.AppendTrail(procedure);
        throw;
    }
}

} // namespace plandra
