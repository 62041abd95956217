// Reading the command line the system starts the screen saver with.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace Veltrane_B {

// The mode letter: the second character of the upper-cased command line ("/s", "-S" and "xs"
// all give "S"); empty for a line shorter than two characters. The line is UTF-8 and counted in
// characters, so a first character outside ASCII does not shift the letter.
std::string ModeLetterOf(const std::string& commandLine);

// The window-handle text: the command line from its fourth character on ("/p 1234" and
// "/p:1234" both give "1234"), counted in characters like the mode letter.
std::string HandleTextOf(const std::string& commandLine);

// The longest leading decimal number of a text (leading blanks skipped, optional sign, fraction
// and exponent); nothing when the text starts with no number.
std::optional<double> LeadingNumber(const std::string& text);

// A window handle from its text: the leading number rounded to the nearest integer (ties to
// even). A text without a number, or a number outside the signed 32-bit range, gives 0.
std::int32_t HandleFromText(const std::string& text);

// The display interval in milliseconds from the settings text: "" gives the default 100, and so
// does a text that starts with no number; otherwise the number rounded down, whatever its size
// ("-5" gives -5, "70000" 70000). Each user of the interval decides what it does with a value
// it cannot take.
float IntervalFromText(const std::string& text);

}  // namespace Veltrane_B
