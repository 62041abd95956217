#include "startup/command_line.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "platform/rounding.h"
#include "startup/process_values.h"

namespace Veltrane_B {

namespace {

// The byte offset of character `index` (from 0) of a UTF-8 text, or the text's size when it has
// fewer characters. A byte that starts no well-formed sequence counts as one character, so
// every text splits into characters and no offset falls inside one.
std::size_t CharacterOffset(const std::string& utf8, std::size_t index) {
    std::size_t at = 0;
    for (; index > 0 && at < utf8.size(); --index) {
        const auto lead = static_cast<unsigned char>(utf8[at]);
        const std::size_t length = (lead >= 0xC2 && lead < 0xE0)   ? 2
                                   : (lead >= 0xE0 && lead < 0xF0) ? 3
                                   : (lead >= 0xF0 && lead < 0xF5) ? 4
                                                                   : 1;
        std::size_t end = at + 1;
        while (end < at + length && end < utf8.size() &&
               (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80)
            ++end;
        at = end;
    }
    return at;
}

}  // namespace

std::string ModeLetterOf(const std::string& commandLine) {
    const std::size_t begin = CharacterOffset(commandLine, 1);
    const std::size_t end = CharacterOffset(commandLine, 2);
    if (begin == end) return "";
    std::string letter = commandLine.substr(begin, end - begin);
    // Upper-casing only changes ASCII letters; any other character is its own mode letter.
    if (letter.size() == 1)
        letter[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(letter[0])));
    return letter;
}

std::string HandleTextOf(const std::string& commandLine) {
    return commandLine.substr(CharacterOffset(commandLine, 3));
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
    return static_cast<std::int32_t>(
        platform::NearestWholeIn(*number, INT32_MIN, INT32_MAX).value_or(0));
}

float IntervalFromText(const std::string& text) {
    if (text.empty()) return static_cast<float>(kDefaultInterval);
    // A value holding no number is taken as missing.
    const std::optional<double> number = LeadingNumber(text);
    if (!number) return static_cast<float>(kDefaultInterval);
    const double whole = std::floor(*number);
    // Beyond the float range the value is an infinity of its sign (no conversion overflows).
    if (std::fabs(whole) > std::numeric_limits<float>::max())
        return std::copysign(std::numeric_limits<float>::infinity(), static_cast<float>(whole));
    return static_cast<float>(whole);
}

}  // namespace Veltrane_B
