#include "startup/command_line.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

#include "startup/process_values.h"

namespace Veltrane_B {

std::string ModeLetterOf(const std::string& commandLine) {
    if (commandLine.size() < 2) return "";
    // Upper-casing only changes ASCII letters; any other byte is its own mode letter.
    const unsigned char letter = static_cast<unsigned char>(commandLine[1]);
    return std::string(1, static_cast<char>(letter < 0x80 ? std::toupper(letter) : letter));
}

std::string HandleTextOf(const std::string& commandLine) {
    return commandLine.size() > 3 ? commandLine.substr(3) : "";
}

std::optional<double> LeadingNumber(const std::string& text) {
    std::size_t i = 0;
    const auto digitAt = [&](std::size_t at) {
        return at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) != 0;
    };
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    const std::size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const std::size_t digitsStart = i;
    while (digitAt(i)) ++i;
    bool anyDigit = i > digitsStart;
    if (i < text.size() && text[i] == '.') {
        const std::size_t fractionStart = ++i;
        while (digitAt(i)) ++i;
        anyDigit = anyDigit || i > fractionStart;
    }
    if (!anyDigit) return std::nullopt;
    // An exponent counts only when digits follow it.
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        if (digitAt(j)) {
            while (digitAt(j)) ++j;
            i = j;
        }
    }
    // strtod on an exact, already validated slice: no locale-dependent separators involved.
    const std::string number = text.substr(start, i - start);
    return std::strtod(number.c_str(), nullptr);
}

std::int32_t HandleFromText(const std::string& text) {
    const std::optional<double> number = LeadingNumber(text);
    if (!number) return 0;
    const double rounded = std::nearbyint(*number);
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) return 0;
    return static_cast<std::int32_t>(rounded);
}

float IntervalFromText(const std::string& text) {
    const std::optional<double> number = LeadingNumber(text);
    if (!number) return static_cast<float>(kDefaultInterval);
    const double whole = std::floor(*number);
    if (!(whole >= 1.0 && whole <= 65535.0)) return static_cast<float>(kDefaultInterval);
    return static_cast<float>(whole);
}

}  // namespace Veltrane_B
