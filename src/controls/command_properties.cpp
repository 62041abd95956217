#include "controls/command_properties.h"

#include <utility>

namespace Veltrane::Controls {
namespace {

void Notify(const CommandModel& model, std::string_view name) {
    if (model.propertyChanged) model.propertyChanged(name);
}

Paints Then(Paints first, const Paints& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

}  // namespace

FontDescription DesignFont() {
    // The platform's default font record is the dialog's size, weight and Shift-JIS charset.
    return {.faceName =
                "\xEF\xBC\xAD\xEF\xBC\xB3 "
                "\xEF\xBC\xB0\xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF"};
}

Paints ApplyEnabledLook(CommandModel& model) {
    const bool enabled = model.tracking.EnabledFlag();
    model.label.enabled = enabled;
    return {enabled ? SkinPicture::Normal : SkinPicture::Disable};
}

Paints RefreshLook(CommandModel& model) {
    if (!model.tracking.EnabledFlag()) return {};
    model.label.enabled = true;
    if (model.FirstRun == 0) model.label.textColour = 0;
    return {SkinPicture::Normal};
}

Paints FirstRunStep(CommandModel& model) {
    if (model.FirstRun != 0) return {};
    Paints paints = RefreshLook(model);
    model.FirstRun = 1;
    model.tracking.SetEnabledFlag(true);
    return paints;
}

void Initialize(CommandModel& model) {
    model.tracking.Initialize();
}

PropertyRead<bool> GetVisible(CommandModel& model) {
    if (!model.faceOpaque) return {false, {}};
    return {true, RefreshLook(model)};
}

Paints SetVisible(CommandModel& model, bool visible) {
    model.faceOpaque = visible;
    Paints paints = visible ? RefreshLook(model) : Paints{};
    Notify(model, "Visible");
    return paints;
}

PropertyRead<std::int32_t> GetFontColour(CommandModel& model) {
    const std::int32_t colour = model.label.textColour;
    return {colour, RefreshLook(model)};
}

Paints SetFontColour(CommandModel& model, std::int32_t colour) {
    model.label.textColour = colour;
    Paints paints = RefreshLook(model);
    Notify(model, "FontColour");
    return paints;
}

PropertyRead<bool> GetEnabled(CommandModel& model) {
    Paints paints = FirstRunStep(model);
    const bool enabled = model.tracking.EnabledFlag();
    return {enabled, Then(std::move(paints), ApplyEnabledLook(model))};
}

Paints SetEnabled(CommandModel& model, bool enabled) {
    model.tracking.SetEnabledFlag(enabled);
    Notify(model, "Enabled");
    return ApplyEnabledLook(model);
}

const std::string& GetCaption(const CommandModel& model) {
    return model.label.caption;
}

void SetCaption(CommandModel& model, std::string caption) {
    model.label.caption = std::move(caption);
    Notify(model, "Caption");
}

const FontDescription& GetFont(const CommandModel& model) {
    return model.label.font;
}

void SetFont(CommandModel& model, FontDescription font) {
    model.label.font = std::move(font);
    Notify(model, "Font");
}

Paints UserControl_ReadProperties(CommandModel& model, PropertyBag& bag,
                                  const FontDescription& ambientFont) {
    // Each key on its own: a missing bag value or one that does not convert skips that key.
    if (auto v = bag.ReadProperty("Enabled", true)) {
        if (auto enabled = ToBoolean(*v)) model.tracking.SetEnabledFlag(*enabled);
    }
    if (auto v = bag.ReadProperty("Caption", std::string("Command1"))) {
        if (auto caption = ToText(*v)) model.label.caption = std::move(*caption);
    }
    if (auto v = bag.ReadProperty("Font", ambientFont)) {
        if (auto font = ToFont(*v)) model.label.font = std::move(*font);
    }
    if (auto v = bag.ReadProperty("FirstRun", std::string("1"))) {
        if (auto firstRun = ToByte(*v)) model.FirstRun = *firstRun;
    }
    if (auto v = bag.ReadProperty("FontColour", std::string("0"))) {
        if (auto colour = ToLong(*v)) model.label.textColour = *colour;
    }
    if (auto v = bag.ReadProperty("Visible", std::string("1"))) {
        // The face is either opaque (1) or transparent (0); other numbers are not a face.
        if (auto opacity = ToInteger(*v); opacity && (*opacity == 0 || *opacity == 1)) {
            model.faceOpaque = *opacity == 1;
        }
    }
    return RefreshLook(model);
}

Paints UserControl_WriteProperties(CommandModel& model, PropertyBag& bag,
                                   const FontDescription& ambientFont) {
    bag.WriteProperty("Enabled", model.tracking.EnabledFlag(), true);
    bag.WriteProperty("Caption", model.label.caption, std::string("Command"));
    bag.WriteProperty("FirstRun", std::int64_t{model.FirstRun}, std::string("1"));
    bag.WriteProperty("Font", model.label.font, ambientFont);
    bag.WriteProperty("FontColour", std::int64_t{model.label.textColour}, std::string("0"));
    bag.WriteProperty("Visible", std::int64_t{model.faceOpaque ? 1 : 0}, std::string("1"));
    return RefreshLook(model);
}

Paints UserControl_Resize(CommandModel& model) {
    return ApplyEnabledLook(model);
}

}  // namespace Veltrane::Controls
