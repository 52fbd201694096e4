#include "media/Code128Encoder.h"

#include <array>
#include <cstddef>

namespace {

// Bar and space widths of symbol values 0...105, bar first; each adds up to
// 11 modules.
constexpr std::array<const char*, 106> kPatterns = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212", "221213",
    "221312", "231212", "112232", "122132", "122231", "113222", "123122", "123221", "223211", "221132",
    "221231", "213212", "223112", "312131", "311222", "321122", "321221", "312212", "322112", "322211",
    "212123", "212321", "232121", "111323", "131123", "131321", "112313", "132113", "132311", "211313",
    "231113", "231311", "112133", "112331", "132131", "113123", "113321", "133121", "313121", "211331",
    "231131", "213113", "213311", "213131", "311123", "311321", "331121", "312113", "312311", "332111",
    "314111", "221411", "431111", "111224", "111422", "121124", "121421", "141122", "141221", "112214",
    "112412", "122114", "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111",
    "111242", "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211", "212141",
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311", "113141",
    "114131", "311141", "411131", "211412", "211214", "211232",
};
// The stop pattern: 13 modules, ending in the two-module termination bar.
constexpr const char* kStopPattern = "2331112";

constexpr int kSwitchToB = 100;
constexpr int kSwitchToC = 99;
constexpr int kStartB = 104;
constexpr int kStartC = 105;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t digitRunAt(std::string_view text, std::size_t index) {
    std::size_t end = index;
    while (end < text.size() && isDigit(text[end])) ++end;
    return end - index;
}

// Code set C pays when a run of digits saves more symbols than the switches
// in and out cost.
bool worthCodeSetC(std::size_t run, bool atStart, bool reachesEnd) {
    if (atStart && reachesEnd) return run >= 2 && run % 2 == 0;
    if (atStart || reachesEnd) return run >= 4;
    return run >= 6;
}

void appendPattern(std::vector<bool>& modules, const char* widths) {
    bool bar = true;
    for (const char* w = widths; *w; ++w, bar = !bar) modules.insert(modules.end(), *w - '0', bar);
}

}  // namespace

std::vector<int> Code128Encoder::symbolValues(std::string_view text) {
    std::vector<int> values;
    bool inC = false;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t run = digitRunAt(text, i);
        bool reachesEnd = i + run == text.size();
        if (run > 0 && worthCodeSetC(run, i == 0, reachesEnd)) {
            // An odd digit goes first, in code set B, so that C gets pairs.
            if (run % 2 == 1) {
                if (values.empty()) values.push_back(kStartB);
                values.push_back(text[i] - 32);
                ++i;
                --run;
            }
            values.push_back(values.empty() ? kStartC : kSwitchToC);
            inC = true;
            for (std::size_t end = i + run; i < end; i += 2) values.push_back((text[i] - '0') * 10 + (text[i + 1] - '0'));
            continue;
        }
        if (values.empty()) values.push_back(kStartB);
        else if (inC) values.push_back(kSwitchToB);
        inC = false;
        std::size_t stop = i + (run > 0 ? run : 1);
        for (; i < stop; ++i) values.push_back(static_cast<unsigned char>(text[i]) - 32);
    }
    return values;
}

std::optional<std::vector<bool>> Code128Encoder::modulesForText(std::string_view text) {
    if (text.empty()) return std::nullopt;
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 32 || byte > 127) return std::nullopt;
    }
    std::vector<int> values = symbolValues(text);
    long checksum = values.front();
    for (std::size_t position = 1; position < values.size(); ++position) checksum += values[position] * long(position);
    values.push_back(int(checksum % 103));

    std::vector<bool> modules;
    for (int value : values) appendPattern(modules, kPatterns[value]);
    appendPattern(modules, kStopPattern);
    return modules;
}
