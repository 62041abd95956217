#include "controls/command.h"

#include <array>
#include <cmath>
#include <optional>
#include <utility>

#include "controls/command_face.h"
#include "controls/command_tracking.h"
#include "resource_ids.h"

namespace Veltrane::Controls {
namespace {

// Design size of the control and of its caption label, in pixels at 96 dots per inch, where a
// pixel is 15 twips.
constexpr std::int32_t kDesignWidth = 1755 / 15;  // 117
constexpr std::int32_t kDesignHeight = 420 / 15;  // 28
constexpr std::int32_t kLabelLeft = 0;
constexpr std::int32_t kLabelTop = 90 / 15;      // 6
constexpr std::int32_t kLabelWidth = 1635 / 15;  // 109
constexpr std::int32_t kLabelHeight = 195 / 15;  // 13

// The skin resource of each picture, indexed by SkinPicture.
constexpr std::array<int, 6> kSkinResources = {
    IDB_SKIN_NORMAL,  IDB_SKIN_HIGHLIGHT, IDB_SKIN_HIGHLIGHTSELECT,
    IDB_SKIN_DISABLE, IDB_SKIN_SELECTED,  IDB_SKIN_PRESSED,
};

// A window handle the poll could not read counts as unreadable, not as window 0.
std::optional<platform::Handle> Readable(platform::Handle handle) {
    if (handle == 0) return std::nullopt;
    return handle;
}

}  // namespace

struct Command::Parts {
    Parts(Command& owner, platform::Host& host, platform::Window& window,
          platform::PicturePanel* parent)
        : owner(owner), host(host), window(window), parent(parent) {}

    void Wire();
    void Paint(const Paints& paints);
    // A property read: paints what it asks for, then gives the value.
    template <typename T>
    T Read(const PropertyRead<T>& read) {
        Paint(read.paints);
        return read.value;
    }
    void DrawState(SkinPicture picture);
    // The skins drawn for the window's scale, loaded again when it has changed.
    platform::DisplayScale SkinsAtWindowScale();
    void SyncLabel();
    void Track(const TrackingResult& result);
    void TmrMouse_Timer();

    Command& owner;
    platform::Host& host;
    platform::Window& window;
    platform::PicturePanel* parent;
    CommandModel model;
    std::array<platform::Handle, 6> skins{};
    std::optional<platform::DisplayScale> skinScale;  // the scale `skins` were loaded at
    platform::Handle skinDc = 0;  // memory DC a skin is selected into while it is copied
    // Declared in destruction order: the timer goes first, the label before its panel.
    std::unique_ptr<platform::PicturePanel> face;
    std::unique_ptr<platform::Label> LblMsg;
    std::unique_ptr<platform::Timer> TmrMouse;
    // What the caption label shows now, so that only changes reach it.
    std::optional<CaptionLabel> shown;
    // The skin picture of the latest paint: switching the face to transparent shows it again.
    std::optional<SkinPicture> painted;
};

void Command::Parts::Wire() {
    // The caption counts as part of the face: its notifications go to the same handlers.
    auto down = [this](int button, int, int, int) { Track(model.tracking.MouseDown(button)); };
    auto move = [this](int, int, int, int) { Track(model.tracking.MouseMove()); };
    auto up = [this](int button, int, int, int) { Track(model.tracking.MouseUp(button)); };
    face->onMouseDown = LblMsg->onMouseDown = down;
    face->onMouseMove = LblMsg->onMouseMove = move;
    face->onMouseUp = LblMsg->onMouseUp = up;
    face->onGotFocus = [this] { Track(model.tracking.GotFocus()); };
    face->onLostFocus = [this] { Track(model.tracking.LostFocus()); };
    TmrMouse->onTick = [this] { TmrMouse_Timer(); };
}

void Command::Parts::Track(const TrackingResult& result) {
    if (result.paint) DrawState(*result.paint);
    if (result.raiseClick && owner.Click) {
        // A copy: the container may take the control down from inside its handler.
        const std::function<void()> click = owner.Click;
        click();
    }
}

void Command::Parts::TmrMouse_Timer() {
    platform::Point cursor;
    host.GetCursorPos(&cursor);
    const platform::Handle under = host.WindowFromPoint(cursor);
    const platform::Handle parentWindow = parent ? parent->hWnd() : window.hWnd();
    Track(model.tracking.TimerTick(under, Readable(face->hWnd()), Readable(parentWindow)));
}

void Command::Parts::Paint(const Paints& paints) {
    // The caption first: its height at a scale other than 96 follows its text and font.
    SyncLabel();
    for (SkinPicture picture : paints) DrawState(picture);
}

platform::DisplayScale Command::Parts::SkinsAtWindowScale() {
    const platform::DisplayScale scale(window.Dpi());
    if (skinScale != scale) {
        for (std::size_t i = 0; i < kSkinResources.size(); ++i)
            skins[i] = host.LoadBitmapResource(kSkinResources[i], scale.Pixels(kSkinPixels));
        skinScale = scale;
    }
    return scale;
}

void Command::Parts::DrawState(SkinPicture picture) {
    const platform::DisplayScale scale = SkinsAtWindowScale();
    const platform::Rect bounds = face->Bounds();
    const std::int32_t width = bounds.right - bounds.left;
    const std::int32_t height = bounds.bottom - bounds.top;
    const std::int32_t captionHeight =
        scale.LabelLength(scale.Pixels(kLabelHeight), LblMsg->TextExtent().height);
    const platform::Size skinSize = scale.Pixels(kSkinPixels);
    const FaceSize size{scale.Twips(width),          scale.Twips(height),
                        static_cast<double>(width),  static_cast<double>(height),
                        scale.Twips(captionHeight),  scale.Twips(skinSize.width),
                        scale.Twips(skinSize.height)};
    const FacePaint plan =
        Controls::DrawState(picture, model.tracking.ButtonState(), model.GradientReversed, size);
    const platform::Handle dc = face->hDC();
    painted = picture;

    if (model.faceOpaque) {
        face->Clear();
        // The gradient under the whole face.
        host.GradientFill(dc, plan.gradient.vertices.data(), kGradientVertexCount,
                          &plan.gradient.rect, 1, platform::kGradientFillRectV);
    } else if (parent) {
        // A transparent face: the panel under it shows through everywhere but the frame.
        host.BitBlt(dc, 0, 0, width, height, parent->hDC(), bounds.left, bounds.top,
                    platform::kSrcCopy);
    } else {
        face->Clear();  // on the window itself there is no picture to show through
    }
    face->Refresh();

    // The frame: corners copied, edges stretched from the skin. A skin that did not load is
    // skipped rather than copied from the memory DC's empty default bitmap.
    const platform::Handle skin = skins[static_cast<std::size_t>(picture)];
    if (skin != 0 && skinDc != 0) {
        const platform::Handle previous = host.SelectObject(skinDc, skin);
        for (const FramePiece& piece : plan.layout.pieces) {
            if (!piece.Drawn()) continue;
            const Rect to = ToPixels(piece.destination, scale);
            const Rect from = ToPixels(piece.source, scale);
            host.StretchBlt(dc, to.left, to.top, to.right - to.left, to.bottom - to.top, skinDc,
                            from.left, from.top, from.right - from.left, from.bottom - from.top,
                            platform::kSrcCopy);
        }
        // The skins are shared with other buttons; a bitmap can sit in one DC at a time.
        if (previous != 0) host.SelectObject(skinDc, previous);
    }
    face->Refresh();

    LblMsg->Move(scale.NearestPixels(plan.layout.captionLeft),
                 scale.NearestPixels(plan.layout.captionTop),
                 scale.NearestPixels(plan.layout.captionWidth), captionHeight);
}

void Command::Parts::SyncLabel() {
    const CaptionLabel& label = model.label;
    if (!shown || shown->caption != label.caption) LblMsg->SetText(label.caption);
    if (!shown || shown->font != label.font) LblMsg->SetFont(label.font);
    if (!shown || shown->textColour != label.textColour) {
        LblMsg->SetTextColour(static_cast<std::uint32_t>(label.textColour));
    }
    if (!shown || shown->enabled != label.enabled) LblMsg->SetEnabled(label.enabled);
    shown = label;
}

Command::Command(platform::Host& host, platform::Window& window, platform::PicturePanel* parent)
    : parts_(std::make_unique<Parts>(*this, host, window, parent)) {
    Parts& p = *parts_;
    p.face = window.CreatePicturePanel(parent, platform::BorderStyle::None);
    p.face->Move(0, 0, kDesignWidth, kDesignHeight);
    p.LblMsg = window.CreateLabel(p.face.get());
    p.LblMsg->Move(kLabelLeft, kLabelTop, kLabelWidth, kLabelHeight);
    p.LblMsg->SetCentred(true);
    p.SyncLabel();
    p.SkinsAtWindowScale();
    p.skinDc = host.CreateCompatibleDC(p.face->hDC());
    p.TmrMouse = host.CreateTimer();
    p.TmrMouse->SetEnabled(false);
    p.TmrMouse->SetInterval(kHoverPollMilliseconds);
    p.Wire();
}

Command::~Command() {
    Parts& p = *parts_;
    // Destroying a focused face reports the focus leaving; nothing is left to paint by then.
    p.face->onMouseDown = p.face->onMouseMove = p.face->onMouseUp = nullptr;
    p.face->onGotFocus = p.face->onLostFocus = nullptr;
    p.TmrMouse.reset();
    if (p.skinDc != 0) p.host.DeleteDC(p.skinDc);
}

void Command::UserControl_ReadProperties(PropertyBag& bag, const FontDescription& ambientFont) {
    parts_->Paint(Controls::UserControl_ReadProperties(parts_->model, bag, ambientFont));
}

void Command::UserControl_WriteProperties(PropertyBag& bag, const FontDescription& ambientFont) {
    parts_->Paint(Controls::UserControl_WriteProperties(parts_->model, bag, ambientFont));
}

void Command::Move(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) {
    parts_->face->Move(left, top, width, height);
    parts_->Paint(UserControl_Resize(parts_->model));
}

void Command::Initialize() {
    Controls::Initialize(parts_->model);
    parts_->TmrMouse->SetEnabled(true);
    parts_->TmrMouse->SetInterval(kHoverPollMilliseconds);
}

bool Command::Visible() {
    return parts_->Read(GetVisible(parts_->model));
}

void Command::SetVisible(bool visible) {
    Parts& p = *parts_;
    Paints paints = Controls::SetVisible(p.model, visible);
    // An opaque face repaints itself; a transparent one keeps its picture over the panel.
    if (!visible && p.painted) paints.push_back(*p.painted);
    p.Paint(paints);
}

std::int32_t Command::FontColour() {
    return parts_->Read(GetFontColour(parts_->model));
}

void Command::SetFontColour(std::int32_t colour) {
    parts_->Paint(Controls::SetFontColour(parts_->model, colour));
}

bool Command::Enabled() {
    return parts_->Read(GetEnabled(parts_->model));
}

void Command::SetEnabled(bool enabled) {
    parts_->Paint(Controls::SetEnabled(parts_->model, enabled));
}

std::string Command::Caption() const {
    return GetCaption(parts_->model);
}

void Command::SetCaption(const std::string& caption) {
    Controls::SetCaption(parts_->model, caption);
    parts_->SyncLabel();
}

const FontDescription& Command::Font() const {
    return GetFont(parts_->model);
}

void Command::SetFont(const FontDescription& font) {
    Controls::SetFont(parts_->model, font);
    parts_->SyncLabel();
}

void Command::SetPropertyChanged(PropertyChangedCallback callback) {
    parts_->model.propertyChanged = std::move(callback);
}

platform::Handle Command::hWnd() const {
    return parts_->face->hWnd();
}

const CommandModel& Command::Model() const {
    return parts_->model;
}

const platform::Label& Command::LblMsg() const {
    return *parts_->LblMsg;
}

}  // namespace Veltrane::Controls
