#include "foundation/StringFormatter.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <cstdio>
#include <string_view>

#include "foundation/UTF16.h"

namespace {

// Widths and precisions beyond this are taken as this.
constexpr long maximumWidth = 100000;

enum class Length { Default, Char, Short, Long, LongDouble };

// One parsed "%..." directive.
struct Directive {
    std::string flags;
    int width = -1;
    int precision = -1;
    Length length = Length::Default;
    char conversion = 0;

    bool leftAligned() const { return flags.find('-') != std::string::npos; }
};

class Formatter {
public:
    Formatter(std::string_view format, std::initializer_list<FormatArgument> arguments)
        : format_(format), next_(arguments.begin()), end_(arguments.end()) {}

    std::string run() {
        for (std::size_t at = 0; at < format_.size();) {
            std::size_t percent = format_.find('%', at);
            out_.append(format_.substr(at, percent == std::string_view::npos ? std::string_view::npos : percent - at));
            if (percent == std::string_view::npos) break;
            at = directive(percent + 1);
        }
        return std::move(out_);
    }

private:
    const FormatArgument* take() { return next_ == end_ ? nullptr : next_++; }

    int number(std::size_t& at) {
        long value = 0;
        while (at < format_.size() && format_[at] >= '0' && format_[at] <= '9') {
            value = std::min(value * 10 + (format_[at] - '0'), maximumWidth);
            ++at;
        }
        return static_cast<int>(value);
    }

    // A width or precision given as "*" comes from the next argument.
    std::optional<int> starArgument() {
        const FormatArgument* argument = take();
        if (!argument) return std::nullopt;
        return static_cast<int>(std::clamp<long long>(argument->integer(), -maximumWidth, maximumWidth));
    }

    // Parses and prints the directive that starts after the '%' at `from`;
    // answers where the text continues.
    std::size_t directive(std::size_t from) {
        std::size_t at = from;
        Directive d;
        while (at < format_.size() && std::string_view("-+ #0").find(format_[at]) != std::string_view::npos) d.flags += format_[at++];
        if (at < format_.size() && format_[at] == '*') {
            ++at;
            // A negative width read this way means left alignment.
            if (auto width = starArgument()) {
                if (*width < 0) d.flags += '-';
                d.width = std::abs(*width);
            }
        } else if (at < format_.size() && format_[at] >= '0' && format_[at] <= '9') {
            d.width = number(at);
        }
        if (at < format_.size() && format_[at] == '.') {
            ++at;
            if (at < format_.size() && format_[at] == '*') {
                ++at;
                if (auto precision = starArgument(); precision && *precision >= 0) d.precision = *precision;
            } else {
                d.precision = number(at);
            }
        }
        at = lengthModifier(at, d);
        if (at >= format_.size()) return at;
        d.conversion = format_[at++];
        print(d, format_.substr(from - 1, at - from + 1));
        return at;
    }

    std::size_t lengthModifier(std::size_t at, Directive& d) {
        auto is = [&](char c) { return at < format_.size() && format_[at] == c; };
        if (is('h')) {
            ++at;
            d.length = Length::Short;
            if (is('h')) ++at, d.length = Length::Char;
        } else if (is('l')) {
            ++at;
            d.length = Length::Long;
            if (is('l')) ++at;
        } else if (is('q') || is('z') || is('t') || is('j')) {
            ++at;
            d.length = Length::Long;
        } else if (is('L')) {
            ++at;
            d.length = Length::LongDouble;
        }
        return at;
    }

    void print(const Directive& d, std::string_view written) {
        switch (d.conversion) {
        case '%': out_ += '%'; return;
        case 'd': case 'i': return printInteger(d, true);
        case 'u': case 'o': case 'x': case 'X': return printInteger(d, false);
        case 'f': case 'F': case 'e': case 'E': case 'g': case 'G': case 'a': case 'A': return printReal(d);
        case 'c': case 'C': return printCharacter(d);
        case '@': case 's': case 'S': return printText(d);
        case 'p': return printPointer(d);
        default: out_.append(written);
        }
    }

    // The directive rebuilt for the C library, with "ll" for the length.
    static std::string cDirective(const Directive& d, const char* length) {
        std::string spec = "%" + d.flags;
        if (d.width >= 0) spec += std::to_string(d.width);
        if (d.precision >= 0) spec += "." + std::to_string(d.precision);
        return spec + length + d.conversion;
    }

    template <class T> void printC(const std::string& spec, T value) {
        int size = std::snprintf(nullptr, 0, spec.c_str(), value);
        if (size <= 0) return;
        std::string text(static_cast<std::size_t>(size) + 1, '\0');
        std::snprintf(text.data(), text.size(), spec.c_str(), value);
        text.pop_back();
        out_ += text;
    }

    void printInteger(const Directive& d, bool isSigned) {
        const FormatArgument* argument = take();
        if (!argument) return;
        auto bits = static_cast<unsigned long long>(argument->integer());
        // Narrow to the directive's size as the C varargs would.
        switch (d.length) {
        case Length::Char: bits = isSigned ? static_cast<unsigned long long>(static_cast<signed char>(bits)) : static_cast<unsigned char>(bits); break;
        case Length::Short: bits = isSigned ? static_cast<unsigned long long>(static_cast<short>(bits)) : static_cast<unsigned short>(bits); break;
        case Length::Default: bits = isSigned ? static_cast<unsigned long long>(static_cast<std::int32_t>(bits)) : static_cast<std::uint32_t>(bits); break;
        default: break;
        }
        const std::string spec = cDirective(d, "ll");
        if (isSigned) printC(spec, static_cast<long long>(bits));
        else printC(spec, bits);
    }

    void printReal(const Directive& d) {
        const FormatArgument* argument = take();
        if (!argument) return;
        Directive plain = d;
        plain.length = Length::Default;
        printC(cDirective(plain, ""), argument->real());
    }

    void printCharacter(const Directive& d) {
        const FormatArgument* argument = take();
        if (!argument) return;
        long long code = argument->integer();
        char32_t character = (d.conversion == 'C' || d.length == Length::Long) ? static_cast<char32_t>(code & 0x1FFFFF)
                                                                               : static_cast<unsigned char>(code);
        std::string text;
        if (character != 0) UTF16::append(text, character);
        pad(d, std::move(text));
    }

    void printText(const Directive& d) {
        const FormatArgument* argument = take();
        if (!argument) return;
        std::string text = argument->description();
        if (d.precision >= 0) text.resize(UTF16::byteOffset(text, static_cast<std::size_t>(d.precision)));
        pad(d, std::move(text));
    }

    void printPointer(const Directive& d) {
        const FormatArgument* argument = take();
        if (!argument) return;
        char text[32];
        std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(argument->address())));
        pad(d, text);
    }

    // Pads to the width, counted in UTF-16 units.
    void pad(const Directive& d, std::string text) {
        std::size_t length = UTF16::length(text);
        std::string padding = d.width > 0 && static_cast<std::size_t>(d.width) > length
                                  ? std::string(static_cast<std::size_t>(d.width) - length, ' ')
                                  : std::string();
        out_ += d.leftAligned() ? text + padding : padding + text;
    }

    std::string_view format_;
    const FormatArgument* next_;
    const FormatArgument* end_;
    std::string out_;
};

}  // namespace

std::string StringFormatter::format(std::string_view format, std::initializer_list<FormatArgument> arguments) {
    return Formatter(format, arguments).run();
}
