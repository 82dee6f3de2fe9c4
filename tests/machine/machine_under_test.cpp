// What every machine under test shares: whole files written and read through its calls.
#include "machine_under_test.h"

#include <array>

namespace machine_test {

using namespace platform;

bool MachineUnderTest::WriteText(std::string_view name, std::string_view text) {
    UniqueFile file(Files().CreateFileA(Path(name), file::GenericWrite, 0, file::CreateAlways,
                                        file::AttributeNormal),
                    FileCloser{&Files()});
    std::uint32_t written = 0;
    return file && Files().WriteFile(file.Get(), text, written) && written == text.size();
}

std::string MachineUnderTest::ReadText(std::string_view name) {
    UniqueFile file(Files().CreateFileA(Path(name), file::GenericRead, file::ShareRead,
                                        file::OpenExisting, file::AttributeNormal),
                    FileCloser{&Files()});
    std::string text;
    std::array<char, 512> chunk{};
    std::uint32_t read = 0;
    while (file && Files().ReadFile(file.Get(), chunk, read) && read > 0) {
        text.append(chunk.data(), read);
    }
    return text;
}

} // namespace machine_test
