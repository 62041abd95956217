// Typed key/value storage for a control's design-time properties.
//
// `PropertyBag` is the interface a control loads and saves its properties through (read with a
// default, write unless equal to the default); `PropertyChangedCallback` is how a control tells
// its container that a property changed; `MemoryPropertyBag` is an in-memory bag that holds a
// form's design data (the settings dialog fills one per button) and can record change
// notifications. Values are loosely typed, as a design file is: the reader converts them with
// the To... functions, and a value that does not convert leaves its target alone.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "platform/platform.h"

namespace Veltrane::Controls {

// A font as the property bag stores it: the toolkit's own font record.
using FontDescription = platform::Font;

using PropertyValue = std::variant<bool, std::int64_t, std::string, FontDescription>;

// Equality as the bag judges "equal to the default": numbers, booleans (True is -1) and
// numeric text compare by value, so 1 equals "1"; other text compares exactly; fonts field by
// field; anything else is unequal.
bool PropertyValuesEqual(const PropertyValue& a, const PropertyValue& b);

// Conversions of a stored value to a property's type; nullopt when it does not fit.
std::optional<bool> ToBoolean(const PropertyValue& value);       // numbers: non-zero is true
std::optional<std::uint8_t> ToByte(const PropertyValue& value);  // 0 .. 255
std::optional<std::int16_t> ToInteger(const PropertyValue& value);
std::optional<std::int32_t> ToLong(const PropertyValue& value);
std::optional<std::string> ToText(const PropertyValue& value);  // numbers become digits
std::optional<FontDescription> ToFont(const PropertyValue& value);

class PropertyBag {
  public:
    virtual ~PropertyBag() = default;
    // The value stored under `key`, or `defaultValue` when there is none; nullopt when the
    // bag cannot be read.
    virtual std::optional<PropertyValue> ReadProperty(std::string_view key,
                                                      const PropertyValue& defaultValue) = 0;
    // Stores `value` under `key`, or leaves the key out when the value equals the default.
    virtual void WriteProperty(std::string_view key, const PropertyValue& value,
                               const PropertyValue& defaultValue) = 0;
};

// Called with a property's name when the control changes it; the container marks its design dirty.
using PropertyChangedCallback = std::function<void(std::string_view name)>;

class MemoryPropertyBag final : public PropertyBag {
  public:
    MemoryPropertyBag() = default;
    MemoryPropertyBag(std::initializer_list<std::pair<std::string, PropertyValue>> entries);

    std::optional<PropertyValue> ReadProperty(std::string_view key,
                                              const PropertyValue& defaultValue) override;
    void WriteProperty(std::string_view key, const PropertyValue& value,
                       const PropertyValue& defaultValue) override;

    // The stored value, or null. Keys are compared exactly.
    const PropertyValue* Find(std::string_view key) const;
    // Keys in the order they were first stored.
    std::vector<std::string> Keys() const;

    // A callback for `PropertyChanged` notifications that marks this bag's design dirty.
    PropertyChangedCallback ChangeCallback();
    bool IsDirty() const { return !changed_.empty(); }
    const std::vector<std::string>& ChangedProperties() const { return changed_; }
    void ClearDirty() { changed_.clear(); }

  private:
    std::vector<std::pair<std::string, PropertyValue>> entries_;
    std::vector<std::string> changed_;
};

}  // namespace Veltrane::Controls
