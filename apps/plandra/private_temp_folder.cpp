// Temporary names from a clock, a counter and a random number.
#include "private_temp_folder.h"

#include <atomic>
#include <chrono>
#include <random>

namespace plandra::cli {

std::filesystem::path UniqueTemporaryPath(std::string_view suffix) {
    static std::atomic<unsigned> counter{0};
    static const unsigned processNumber = std::random_device{}();
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    return std::filesystem::temp_directory_path() /
           ("plandra-" + std::to_string(processNumber) + "-" + std::to_string(stamp) + "-" +
            std::to_string(counter++) + std::string(suffix));
}

PrivateTempFolder::PrivateTempFolder() {
    // create_directory is false when the name exists already: take another.
    do {
        Path = UniqueTemporaryPath("");
    } while (!std::filesystem::create_directory(Path));
}

PrivateTempFolder::~PrivateTempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(Path, ignored);
}

} // namespace plandra::cli
