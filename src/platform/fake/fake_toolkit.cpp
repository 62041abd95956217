// The fake's toolkit pieces: they keep their state in public fields and in the portable rules,
// and take the user's input only through the entry points a test calls.
#include "platform/fake/fake_platform.h"

namespace platform::fake {

// ---- Timer ----

bool FakeTimer::SetInterval(std::int64_t milliseconds) {
    if (!TimerAccepts(milliseconds)) return false;
    interval = static_cast<std::int32_t>(milliseconds);
    return true;
}

void FakeTimer::SetEnabled(bool value) {
    enabled = value;
}

void FakeTimer::Fire() {
    if (TimerTicks(enabled, interval) && onTick) onTick();
}

// ---- Picture panel ----

FakePicturePanel::FakePicturePanel(FakeHost& host, Handle handle, BorderStyle border)
    : border(border), host_(host) {
    state.handle = handle;
    dc = host.NewHandle();
    image = host.NewHandle();
    host.panelImages_[image] = this;
}

FakePicturePanel::~FakePicturePanel() {
    host_.panelImages_.erase(image);
}

void FakePicturePanel::Clear() {
    ++clears;
}

void FakePicturePanel::Refresh() {
    ++refreshes;
}

void FakePicturePanel::SetPicture(Handle bitmap) {
    picture = bitmap;
    if (bitmap == 0) {
        ++clears;
        return;
    }
    // Like the real panel, take the picture's size: another panel's image has that panel's.
    const BitmapRecord record = host_.RecordOf(bitmap);
    state.bounds.right = state.bounds.left + record.bmWidth;
    state.bounds.bottom = state.bounds.top + record.bmHeight;
}

void FakePicturePanel::SetFocus() {
    if (onGotFocus) onGotFocus();
}

void FakePicturePanel::Press(int button, Point at) {
    mouse_.Down(*this, LabelAt(labels, at), button, 0, at);
}

void FakePicturePanel::Release(int button, Point at) {
    const Rect& b = state.bounds;
    const bool inside =
        at.x >= 0 && at.y >= 0 && at.x < b.right - b.left && at.y < b.bottom - b.top;
    mouse_.Up(*this, LabelAt(labels, at), inside, button, 0, at);
}

// ---- Label ----

FakeLabel::~FakeLabel() {
    std::erase(panel_.labels, this);
    panel_.mouse_.Forget(this);
}

// ---- Scroll bar ----

bool FakeScrollBar::SetValue(std::int64_t value) {
    ScrollModel::Notify notify = ScrollModel::Notify::None;
    if (!model.SetValue(value, &notify)) return false;
    Deliver(notify, *this);
    return true;
}

void FakeScrollBar::Scroll(ScrollCode code, std::int32_t thumb) {
    Deliver(model.Scrolled(code, thumb), *this);
}

// ---- Window ----

FakeWindow::FakeWindow(FakeHost& host, Handle handle, WindowKind kind)
    : kind(kind), dpi(host.dpi), host_(host) {
    state.handle = handle;
}

void FakeWindow::ChangeDpi(std::int32_t newDpi, const Rect& suggested) {
    dpi = newDpi;
    if (onDpiChanged) {
        onDpiChanged(suggested);
    } else if (!onDisplayChange) {
        state.bounds = suggested;
    }
    if (onDisplayChange) onDisplayChange();
}

void FakeWindow::Show() {
    shown = true;
}

void FakeWindow::ShowModal() {
    shown = true;
    modal = true;
    host_.calls.push_back("ShowModal");
}

void FakeWindow::Close() {
    if (!unload.Begin(onUnload)) return;
    closed = true;
    shown = false;
    host_.calls.push_back("Close(" + title + ")");
}

std::unique_ptr<PicturePanel> FakeWindow::CreatePicturePanel(PicturePanel*, BorderStyle border) {
    auto panel = std::make_unique<FakePicturePanel>(host_, host_.NewHandle(), border);
    panels.push_back(panel.get());
    return panel;
}

std::unique_ptr<Label> FakeWindow::CreateLabel(PicturePanel* parent) {
    // A label is drawn by its panel; without one it could never show.
    auto* panel = dynamic_cast<FakePicturePanel*>(parent);
    if (!panel) return nullptr;
    auto label = std::make_unique<FakeLabel>(*panel);
    labels.push_back(label.get());
    return label;
}

std::unique_ptr<ImageControl> FakeWindow::CreateImageControl(PicturePanel*) {
    auto image = std::make_unique<FakeImageControl>(host_.NewHandle());
    images.push_back(image.get());
    return image;
}

std::unique_ptr<ScrollBar> FakeWindow::CreateScrollBar(PicturePanel*) {
    auto bar = std::make_unique<FakeScrollBar>(host_.NewHandle());
    scrollBars.push_back(bar.get());
    return bar;
}

}  // namespace platform::fake
