// generate_r12_drawing: writes the benchmark drawing to a file.
#include "generate_r12_drawing.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2 || std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h") {
        std::printf("Usage: generate_r12_drawing OUT.dxf [MEGABYTES]\n"
                    "Writes a repeatable R12-style drawing of about MEGABYTES (default 100) MB:\n"
                    "LINE, CIRCLE, ARC, POINT and SOLID entities on 20 layers.\n");
        return argc < 2 ? 2 : 0;
    }
    long megabytes = argc > 2 ? std::strtol(argv[2], nullptr, 10) : 100;
    if (megabytes <= 0) {
        std::fprintf(stderr, "generate_r12_drawing: MEGABYTES must be a positive number\n");
        return 2;
    }
    if (!plandra::bench::GenerateR12Drawing(argv[1], megabytes * 1000 * 1000)) {
        std::fprintf(stderr, "generate_r12_drawing: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
