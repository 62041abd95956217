#include "controls/property_bag.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

#include "platform/rounding.h"

namespace Veltrane::Controls {
namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

// The numeric value of a boolean (True is -1), a number, or text holding a decimal number.
std::optional<double> NumberOf(const PropertyValue& value) {
    if (const bool* b = std::get_if<bool>(&value)) return *b ? -1.0 : 0.0;
    if (const std::int64_t* n = std::get_if<std::int64_t>(&value)) return static_cast<double>(*n);
    if (const std::string* s = std::get_if<std::string>(&value)) {
        std::string_view text = Trim(*s);
        if (!text.empty() && text.front() == '+') text.remove_prefix(1);
        double number = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
        if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
            !std::isfinite(number)) {
            return std::nullopt;
        }
        return number;
    }
    return std::nullopt;
}

// A whole number in [low, high], fractions rounded ties to even.
std::optional<std::int64_t> WholeIn(const PropertyValue& value, double low, double high) {
    const std::optional<double> number = NumberOf(value);
    if (!number) return std::nullopt;
    return platform::NearestWholeIn(*number, low, high);
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace

bool PropertyValuesEqual(const PropertyValue& a, const PropertyValue& b) {
    if (a.index() == b.index()) return a == b;
    if (std::holds_alternative<FontDescription>(a) || std::holds_alternative<FontDescription>(b)) {
        return false;
    }
    const std::optional<double> x = NumberOf(a);
    const std::optional<double> y = NumberOf(b);
    return x && y && *x == *y;
}

std::optional<bool> ToBoolean(const PropertyValue& value) {
    if (const std::string* s = std::get_if<std::string>(&value)) {
        if (EqualsIgnoringCase(Trim(*s), "True")) return true;
        if (EqualsIgnoringCase(Trim(*s), "False")) return false;
    }
    const std::optional<double> number = NumberOf(value);
    if (!number) return std::nullopt;
    return *number != 0.0;
}

std::optional<std::uint8_t> ToByte(const PropertyValue& value) {
    const auto whole = WholeIn(value, 0, 255);
    if (!whole) return std::nullopt;
    return static_cast<std::uint8_t>(*whole);
}

std::optional<std::int16_t> ToInteger(const PropertyValue& value) {
    const auto whole = WholeIn(value, -32768, 32767);
    if (!whole) return std::nullopt;
    return static_cast<std::int16_t>(*whole);
}

std::optional<std::int32_t> ToLong(const PropertyValue& value) {
    const auto whole = WholeIn(value, -2147483648.0, 2147483647.0);
    if (!whole) return std::nullopt;
    return static_cast<std::int32_t>(*whole);
}

std::optional<std::string> ToText(const PropertyValue& value) {
    if (const std::string* s = std::get_if<std::string>(&value)) return *s;
    if (const std::int64_t* n = std::get_if<std::int64_t>(&value)) return std::to_string(*n);
    if (const bool* b = std::get_if<bool>(&value)) return std::string(*b ? "True" : "False");
    return std::nullopt;
}

std::optional<FontDescription> ToFont(const PropertyValue& value) {
    if (const FontDescription* font = std::get_if<FontDescription>(&value)) return *font;
    return std::nullopt;
}

MemoryPropertyBag::MemoryPropertyBag(
    std::initializer_list<std::pair<std::string, PropertyValue>> entries)
    : entries_(entries) {}

const PropertyValue* MemoryPropertyBag::Find(std::string_view key) const {
    for (const auto& [name, value] : entries_) {
        if (name == key) return &value;
    }
    return nullptr;
}

std::optional<PropertyValue> MemoryPropertyBag::ReadProperty(std::string_view key,
                                                             const PropertyValue& defaultValue) {
    const PropertyValue* stored = Find(key);
    return stored ? *stored : defaultValue;
}

void MemoryPropertyBag::WriteProperty(std::string_view key, const PropertyValue& value,
                                      const PropertyValue& defaultValue) {
    auto it = std::find_if(entries_.begin(), entries_.end(),
                           [&](const auto& entry) { return entry.first == key; });
    if (PropertyValuesEqual(value, defaultValue)) {
        if (it != entries_.end()) entries_.erase(it);  // a saved design omits default values
    } else if (it != entries_.end()) {
        it->second = value;
    } else {
        entries_.emplace_back(std::string(key), value);
    }
}

std::vector<std::string> MemoryPropertyBag::Keys() const {
    std::vector<std::string> keys;
    for (const auto& entry : entries_) keys.push_back(entry.first);
    return keys;
}

PropertyChangedCallback MemoryPropertyBag::ChangeCallback() {
    return [this](std::string_view name) { changed_.emplace_back(name); };
}

}  // namespace Veltrane::Controls
