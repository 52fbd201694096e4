// Draws the app bundle's placeholder images from a list file.
//
//   velmaro-imagegen LIST OUTPUT_FOLDER
//
// Each line of LIST names one image: `name WIDTHxHEIGHT style #RRGGBB [text]`
// (points; blank lines and lines starting with "#" are skipped). The image is
// written at twice its size to OUTPUT_FOLDER/name@2x.png, subfolders made as
// needed. Styles:
//   rect       the whole image in the colour, the text centred in white
//   roundrect  a rounded square of the colour, the text centred in white
//   circle     a disc of the colour, the text centred in white
//   glyph      the text alone, large, in the colour on a clear ground
//   magnifier  a magnifying glass stroked in the colour on a clear ground
//   star       a five-pointed star of the colour on a clear ground
//   medal      a round disc of the colour hanging from two ribbon tails, the
//              text on the disc in white (round whatever the proportions)
//   check      a tick stroked in the colour on a clear ground
//   cross      a cross stroked in the colour on a clear ground
//   back       a left-pointing chevron stroked in the colour on a clear ground
// Exits non-zero, naming the line, on anything it cannot read or write.

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "tools/imagegen/PlaceholderDrawing.h"

namespace fs = std::filesystem;

namespace {

constexpr CGFloat kScale = 2;

struct ImageSpec {
    std::string name;
    PlaceholderSpec picture;
};

std::optional<UIColor> parseColour(const std::string& text) {
    if (text.size() != 7 || text[0] != '#') return std::nullopt;
    unsigned value = 0;
    auto [end, error] = std::from_chars(text.data() + 1, text.data() + 7, value, 16);
    if (error != std::errc() || end != text.data() + 7) return std::nullopt;
    return UIColor::colorWithRed(((value >> 16) & 0xFF) / 255.0, ((value >> 8) & 0xFF) / 255.0, (value & 0xFF) / 255.0,
                                 1);
}

std::optional<CGSize> parseSize(const std::string& text) {
    int width = 0;
    int height = 0;
    char separator = 0;
    std::istringstream in(text);
    if (!(in >> width >> separator >> height) || separator != 'x' || width <= 0 || height <= 0 || !in.eof())
        return std::nullopt;
    return CGSize{static_cast<CGFloat>(width), static_cast<CGFloat>(height)};
}

std::optional<ImageSpec> parseLine(const std::string& line) {
    std::istringstream in(line);
    std::string name, size, style, colour;
    if (!(in >> name >> size >> style >> colour)) return std::nullopt;
    ImageSpec spec;
    spec.name = name;
    spec.picture.style = style;
    auto parsedSize = parseSize(size);
    auto parsedColour = parseColour(colour);
    if (!parsedSize || !parsedColour || name.front() == '/' || name.find("..") != std::string::npos)
        return std::nullopt;
    spec.picture.size = *parsedSize;
    spec.picture.colour = *parsedColour;
    std::getline(in >> std::ws, spec.picture.text);
    return spec;
}

bool writeFile(const fs::path& path, const NSData& data) {
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data.bytes()), static_cast<std::streamsize>(data.length()));
    return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s LIST OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    std::ifstream list(argv[1]);
    if (!list) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    const fs::path output = argv[2];
    std::string line;
    for (int number = 1; std::getline(list, line); ++number) {
        std::size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#') continue;
        auto spec = parseLine(line);
        auto png = spec ? drawPlaceholder(spec->picture, kScale) : std::nullopt;
        if (!png || !writeFile(output / (spec->name + "@2x.png"), *png)) {
            std::fprintf(stderr, "%s:%d: cannot make an image of \"%s\"\n", argv[1], number, line.c_str());
            return 1;
        }
    }
    return 0;
}
