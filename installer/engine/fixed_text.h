// Zero-terminated 8-bit text in a buffer of fixed size: longer text is cut, and
// nothing is ever written past the buffer's end.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace vorn {

/// A buffer of N bytes holding at most N - 1 characters and their terminating zero,
/// as the engine's 256-byte paths and 30,720-byte texts. Assignments cut.
template <std::size_t N> class FixedText {
    static_assert(N > 0);

public:
    static constexpr std::size_t Capacity = N;

    FixedText() = default;
    explicit FixedText(std::string_view text) { Assign(text); }

    /// Replaces the text; whatever does not fit in N - 1 characters is cut.
    void Assign(std::string_view text) {
        std::size_t count = std::min(text.size(), N - 1);
        std::copy_n(text.begin(), count, Chars.begin());
        Chars[count] = '\0';
    }

    /// Appends as much of the text as still fits.
    void Append(std::string_view text) {
        std::size_t length = std::min(View().size(), N - 1);
        std::size_t count = std::min(text.size(), N - 1 - length);
        std::copy_n(text.begin(), count, Chars.begin() + static_cast<std::ptrdiff_t>(length));
        Chars[length + count] = '\0';
    }

    /// The text up to its terminating zero (never more than N characters, even when a
    /// foreign writer left no zero).
    std::string_view View() const { return {Chars.data(), ::strnlen(Chars.data(), N)}; }
    std::string Str() const { return std::string(View()); }
    bool Empty() const { return Chars[0] == '\0'; }

    /// The buffer for foreign code (library functions) that may write up to N bytes;
    /// call Terminate afterwards.
    char* Data() { return Chars.data(); }
    const char* Data() const { return Chars.data(); }
    /// Restores the terminating zero after a foreign write.
    void Terminate() { Chars[N - 1] = '\0'; }

private:
    std::array<char, N> Chars{};
};

} // namespace vorn
