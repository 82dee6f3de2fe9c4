// The program files kept for the version tests, read from the source tree.
#include "versions_under_test.h"

#include <fstream>
#include <iterator>

namespace machine_test {

std::string VersionFixture(std::string_view name) {
    std::ifstream file(std::string(PLANDRA_SOURCE_DIR) + "/tests/machine/fixtures/" +
                           std::string(name),
                       std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

} // namespace machine_test
