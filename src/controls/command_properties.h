// Properties, persistence and enabled look of the owner-drawn `Command` button, on a plain
// model without any window.
//
// `CommandModel` is the state of one button (tracking state, FirstRun, gradient direction, the
// Visible property and the caption label's text, font, colour and enabled look); the procedures
// below are the button's public interface and design-time handlers on that state. Each returns
// `Paints`, the skin pictures to paint with `DrawState`, in order (painting only the last one
// gives the same face). The control (command.h) paints them, then copies `label` into its
// caption label; it starts the hover poll after `Initialize`.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "controls/command_tracking.h"
#include "controls/property_bag.h"

namespace Veltrane::Controls {

using Paints = std::vector<SkinPicture>;

// The caption label's design font: MS P Gothic (full-width name), 9.75 points, weight 400,
// Japanese character set.
FontDescription DesignFont();

struct CaptionLabel {
    std::string caption = "Command";
    FontDescription font = DesignFont();
    std::int32_t textColour = 0;  // 0x00BBGGRR
    bool enabled = true;          // false: the platform draws the text greyed
};

struct CommandModel {
    CommandStateMachine tracking;  // ButtonState, EnabledFlag (false at creation), MouseIsDown
    std::uint8_t FirstRun = 0;     // 0 until the first read of Enabled
    bool GradientReversed = false;
    bool faceOpaque = true;  // the Visible property
    CaptionLabel label;
    PropertyChangedCallback propertyChanged;  // may be empty
};

template <typename T>
struct PropertyRead {
    T value;
    Paints paints;
};

// Enabled look: the Disable picture and a greyed caption, or Normal and a normal caption.
Paints ApplyEnabledLook(CommandModel& model);
// Normal look of an enabled button; a button never initialised gets a black caption.
Paints RefreshLook(CommandModel& model);
// On the first read of Enabled: paint the normal look, then mark the button initialised and
// enabled.
Paints FirstRunStep(CommandModel& model);

// Public interface.
void Initialize(CommandModel& model);  // state StateNormal; the control starts the hover poll
PropertyRead<bool> GetVisible(CommandModel& model);
Paints SetVisible(CommandModel& model, bool visible);
PropertyRead<std::int32_t> GetFontColour(CommandModel& model);
Paints SetFontColour(CommandModel& model, std::int32_t colour);
PropertyRead<bool> GetEnabled(CommandModel& model);
Paints SetEnabled(CommandModel& model, bool enabled);
const std::string& GetCaption(const CommandModel& model);
void SetCaption(CommandModel& model, std::string caption);  // no repaint
const FontDescription& GetFont(const CommandModel& model);
void SetFont(CommandModel& model, FontDescription font);

// Design-time handlers. Loading reads "Enabled", "Caption" (default "Command1"), "Font"
// (default the container's ambient font), "FirstRun", "FontColour", "Visible" in this order;
// a value that does not convert leaves its target unchanged. Saving writes "Enabled",
// "Caption" (default "Command"), "FirstRun", "Font", "FontColour", "Visible", each left out
// when equal to its default. Both end with RefreshLook.
Paints UserControl_ReadProperties(CommandModel& model, PropertyBag& bag,
                                  const FontDescription& ambientFont);
Paints UserControl_WriteProperties(CommandModel& model, PropertyBag& bag,
                                   const FontDescription& ambientFont);
Paints UserControl_Resize(CommandModel& model);

}  // namespace Veltrane::Controls
