// Compares the pictures the Linux build and the Windows build drew of the same drawings:
// pixel for pixel outside texts, and each text by its ink box, since the two builds draw
// texts with different fonts. Prints how many drawings match exactly and fails when
// fewer do than the recorded figure.
//
// Usage: render_parity FOLDER AT_LEAST
// FOLDER holds, for each drawing NAME, NAME.linux.png, NAME.windows.png and the text
// boxes of each, NAME.linux.txt and NAME.windows.txt.
#include "support/png_reader.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

using plandra::test::RgbPicture;

struct Box {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
};

std::vector<Box> ReadBoxes(const std::filesystem::path& name) {
    std::vector<Box> boxes;
    std::ifstream in(name);
    Box box;
    while (in >> box.Left >> box.Top >> box.Right >> box.Bottom) {
        boxes.push_back(box);
    }
    return boxes;
}

std::uint32_t Background(const RgbPicture& picture) {
    std::unordered_map<std::uint32_t, std::size_t> counts;
    for (std::uint32_t pixel : picture.Pixels) {
        ++counts[pixel];
    }
    return std::max_element(counts.begin(), counts.end(),
                            [](const auto& a, const auto& b) { return a.second < b.second; })
        ->first;
}

// The smallest box holding every pixel of `region` other than the background; Left >
// Right when there is none.
Box InkBox(const RgbPicture& picture, const Box& region, std::uint32_t background) {
    Box ink{region.Right, region.Bottom, region.Left - 1, region.Top - 1};
    for (int y = region.Top; y < region.Bottom; ++y) {
        for (int x = region.Left; x < region.Right; ++x) {
            if (picture.At(x, y) != background) {
                ink = {std::min(ink.Left, x), std::min(ink.Top, y), std::max(ink.Right, x),
                       std::max(ink.Bottom, y)};
            }
        }
    }
    return ink;
}

struct Comparison {
    double DifferingShare = 1; ///< of the pixels compared outside texts
    int Texts = 0;
    int DifferingTexts = 0;
    std::string Problem;

    bool Exact() const { return Problem.empty() && DifferingShare == 0 && DifferingTexts == 0; }
};

Comparison Compare(const std::filesystem::path& stem) {
    Comparison result;
    std::string error;
    const auto linux = plandra::test::ReadPngFile(stem.string() + ".linux.png", error);
    const auto windows =
        linux ? plandra::test::ReadPngFile(stem.string() + ".windows.png", error) : std::nullopt;
    if (!linux || !windows) {
        result.Problem = error;
        return result;
    }
    if (linux->Width != windows->Width || linux->Height != windows->Height) {
        result.Problem = "the pictures differ in size";
        return result;
    }
    const int width = linux->Width;
    const int height = linux->Height;
    std::vector<Box> texts = ReadBoxes(stem.string() + ".linux.txt");
    const std::vector<Box> windowsTexts = ReadBoxes(stem.string() + ".windows.txt");
    texts.insert(texts.end(), windowsTexts.begin(), windowsTexts.end());

    // Each text's region: its cell with room for the other build's font, on the picture.
    std::vector<bool> inText(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    std::vector<std::pair<Box, int>> regions;
    for (const Box& text : texts) {
        const int tolerance = 2 + (text.Bottom - text.Top) / 4;
        const Box region{std::max(text.Left - tolerance, 0), std::max(text.Top - tolerance, 0),
                         std::min(text.Right + tolerance, width),
                         std::min(text.Bottom + tolerance, height)};
        if (region.Left >= region.Right || region.Top >= region.Bottom) {
            continue;
        }
        regions.emplace_back(region, tolerance);
        for (int y = region.Top; y < region.Bottom; ++y) {
            std::fill_n(inText.begin() + static_cast<std::ptrdiff_t>(y) * width + region.Left,
                        region.Right - region.Left, true);
        }
    }

    std::size_t compared = 0;
    std::size_t differing = 0;
    for (std::size_t i = 0; i < inText.size(); ++i) {
        if (!inText[i]) {
            ++compared;
            differing += linux->Pixels[i] != windows->Pixels[i] ? 1 : 0;
        }
    }
    result.DifferingShare = compared == 0 ? 0 : static_cast<double>(differing) / compared;

    const std::uint32_t linuxBackground = Background(*linux);
    const std::uint32_t windowsBackground = Background(*windows);
    for (const auto& [region, tolerance] : regions) {
        ++result.Texts;
        const Box a = InkBox(*linux, region, linuxBackground);
        const Box b = InkBox(*windows, region, windowsBackground);
        const bool aEmpty = a.Left > a.Right;
        const bool bEmpty = b.Left > b.Right;
        const bool close =
            std::abs(a.Left - b.Left) <= tolerance && std::abs(a.Top - b.Top) <= tolerance &&
            std::abs(a.Right - b.Right) <= tolerance && std::abs(a.Bottom - b.Bottom) <= tolerance;
        if (aEmpty != bEmpty || (!aEmpty && !close)) {
            ++result.DifferingTexts;
        }
    }
    return result;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: render_parity FOLDER AT_LEAST\n";
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    const int atLeast = std::atoi(argv[2]);
    std::vector<std::filesystem::path> stems;
    std::error_code failure;
    for (const auto& entry : std::filesystem::directory_iterator(folder, failure)) {
        const std::string name = entry.path().filename().string();
        const std::string suffix = ".linux.png";
        if (name.size() > suffix.size() && name.ends_with(suffix)) {
            stems.push_back(folder / name.substr(0, name.size() - suffix.size()));
        }
    }
    if (failure) {
        std::cerr << "render_parity: cannot list " << folder.string() << "\n";
        return 2;
    }
    std::sort(stems.begin(), stems.end());

    int exact = 0;
    std::vector<std::string> others;
    for (const auto& stem : stems) {
        const Comparison result = Compare(stem);
        if (result.Exact()) {
            ++exact;
            continue;
        }
        char line[200];
        if (!result.Problem.empty()) {
            std::snprintf(line, sizeof line, "  %s: %s", stem.filename().string().c_str(),
                          result.Problem.c_str());
        } else {
            std::snprintf(line, sizeof line,
                          "  %s: %.4f%% of pixels differ outside texts, %d of %d texts differ",
                          stem.filename().string().c_str(), result.DifferingShare * 100,
                          result.DifferingTexts, result.Texts);
        }
        others.push_back(line);
    }
    std::cout << exact << " of " << stems.size() << " drawings match exactly\n";
    for (const std::string& line : others) {
        std::cout << line << "\n";
    }
    if (exact < atLeast) {
        std::cout << "render parity fell: " << exact << " match exactly, " << atLeast
                  << " did before\n";
        return 1;
    }
    if (exact > atLeast) {
        std::cout << "render parity rose: record the new figure " << exact << "\n";
    }
    return 0;
}
