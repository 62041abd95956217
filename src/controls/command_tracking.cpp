#include "controls/command_tracking.h"

namespace Veltrane::Controls {
namespace {

TrackingResult Paint(SkinPicture picture) {
    return TrackingResult{picture, false};
}

}  // namespace

TrackingResult CommandStateMachine::MouseMove() {
    if (!enabledFlag_) return {};
    if (buttonState_ == StateNormal) {
        buttonState_ = StateHighLight;
        return Paint(SkinPicture::HighLight);
    }
    // A press that left and came back stays in plain focus until the button is released.
    if (buttonState_ == StateSelected && !mouseIsDown_) {
        buttonState_ = StateHighLightSelect;
        return Paint(SkinPicture::HighLightSelect);
    }
    return {};
}

TrackingResult CommandStateMachine::MouseDown(int button) {
    if (!enabledFlag_ || button != platform::kLeftButton) return {};
    mouseIsDown_ = true;
    return Paint(SkinPicture::Pressed);
}

TrackingResult CommandStateMachine::MouseUp(int button) {
    if (!enabledFlag_) return {};
    TrackingResult result;
    if (button == platform::kLeftButton) {
        mouseIsDown_ = false;
        if (buttonState_ == StateHighLight) result.paint = SkinPicture::Normal;
        if (buttonState_ == StateHighLightSelect) result.paint = SkinPicture::HighLightSelect;
    }
    // Any button's release clicks, except after a press was cancelled by leaving (state 3).
    result.raiseClick = buttonState_ != StateSelected;
    return result;
}

TrackingResult CommandStateMachine::GotFocus() {
    if (!enabledFlag_) return {};
    if (buttonState_ != StateHighLight) {
        buttonState_ = StateSelected;
        return Paint(SkinPicture::Selected);
    }
    buttonState_ = StateHighLightSelect;
    return Paint(SkinPicture::Pressed);
}

TrackingResult CommandStateMachine::LostFocus() {
    if (!enabledFlag_ || buttonState_ == StateNormal) return {};
    buttonState_ = StateNormal;
    return Paint(SkinPicture::Normal);
}

TrackingResult CommandStateMachine::EndHover() {
    if (!enabledFlag_) return {};
    if (buttonState_ == StateHighLight) {
        buttonState_ = StateNormal;
        return Paint(SkinPicture::Normal);
    }
    if (buttonState_ == StateHighLightSelect) {
        buttonState_ = StateSelected;
        return Paint(SkinPicture::Selected);
    }
    return {};
}

bool CommandStateMachine::CursorHasLeft(platform::Handle windowUnderCursor,
                                        std::optional<platform::Handle> ownWindow,
                                        std::optional<platform::Handle> parentWindow) {
    if (!parentWindow || windowUnderCursor == *parentWindow) return true;
    return !ownWindow || windowUnderCursor != *ownWindow;
}

TrackingResult CommandStateMachine::TimerTick(platform::Handle windowUnderCursor,
                                              std::optional<platform::Handle> ownWindow,
                                              std::optional<platform::Handle> parentWindow) {
    if (!CursorHasLeft(windowUnderCursor, ownWindow, parentWindow)) return {};
    return EndHover();
}

}  // namespace Veltrane::Controls
