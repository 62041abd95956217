// The owner-drawn push button `Command` as a control on a window: a face panel that paints the
// skinned, gradient-filled face, a caption label, a 100 ms hover poll, and the Click event.
//
// The decisions live in the portable model (command_properties.h, command_tracking.h,
// command_face.h); this class connects that model to the toolkit: it turns mouse, focus and
// timer notifications of its face panel into model calls and paints what the model asks for.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "controls/command_properties.h"
#include "controls/property_bag.h"
#include "platform/platform.h"

namespace Veltrane::Controls {

class Command {
  public:
    // Creates the control's face panel inside `parent` (nullptr: the window itself), hidden
    // skin holders and caption label, and the hover timer (disabled until Initialize).
    Command(platform::Host& host, platform::Window& window, platform::PicturePanel* parent);
    ~Command();
    Command(const Command&) = delete;
    Command& operator=(const Command&) = delete;

    // Design time: load and save the properties through a bag; `ambientFont` is the
    // container's font, the default of "Font".
    void UserControl_ReadProperties(PropertyBag& bag, const FontDescription& ambientFont);
    void UserControl_WriteProperties(PropertyBag& bag, const FontDescription& ambientFont);

    // Places the control (pixels, relative to its parent) and repaints it for the new size.
    void Move(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height);

    // Public interface.
    void Initialize();
    bool Visible();
    void SetVisible(bool visible);
    std::int32_t FontColour();
    void SetFontColour(std::int32_t colour);
    bool Enabled();
    void SetEnabled(bool enabled);
    std::string Caption() const;
    void SetCaption(const std::string& caption);
    const FontDescription& Font() const;
    void SetFont(const FontDescription& font);

    // Raised by a mouse-button release on the control.
    std::function<void()> Click;
    // Told the name of each property the control changes (the container marks its design changed).
    void SetPropertyChanged(PropertyChangedCallback callback);

    // The face panel's window.
    platform::Handle hWnd() const;
    // The state model and the caption label, for tests and the dialog's inspection.
    const CommandModel& Model() const;
    const platform::Label& LblMsg() const;

  private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

}  // namespace Veltrane::Controls
