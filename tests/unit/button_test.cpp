// The Command button on the fake; win32/command_test holds its 77 x 25 face pixel for pixel.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <tuple>

#include "controls/command.h"
#include "controls/command_face.h"
#include "controls/command_properties.h"
#include "platform/fake/fake_platform.h"
#include "resource_ids.h"

namespace {

using namespace Veltrane::Controls;
using P = SkinPicture;
using namespace std::string_literals;
using platform::Rect;

struct Button {
    explicit Button(bool initialise = true)
        : window(host.CreateTopLevelWindow(platform::WindowKind::FixedDialog)) {
        command = std::make_unique<Command>(host, *window, nullptr);
        command->Click = [this] { ++clicks; };
        MemoryPropertyBag bag;  // every key absent: enabled, black caption "Command1"
        command->UserControl_ReadProperties(bag, DesignFont());
        command->Move(10, 20, 77, 25);
        if (initialise) command->Initialize();
        for (int id : {IDB_SKIN_NORMAL, IDB_SKIN_HIGHLIGHT, IDB_SKIN_HIGHLIGHTSELECT,
                       IDB_SKIN_DISABLE, IDB_SKIN_SELECTED, IDB_SKIN_PRESSED})  // N H X D S P
            skins.push_back(", " + std::to_string(host.LoadBitmapResource(id, kSkinPixels)) + ")");
    }
    platform::fake::FakeLabel& Caption() { return *fake.labels.at(0); }
    std::uint8_t State() const { return command->Model().tracking.ButtonState(); }

    // M move, D/U left down/up, r/R right, m/d/u on the caption, F/B focus in/out, x disable,
    // polls over o face, w dialog, t elsewhere: skins painted, state, v held, * click.
    std::string Deliver(char event) {
        auto& face = *fake.panels.at(0);
        auto& label = Caption();
        const std::size_t before = host.calls.size();
        const int clicksBefore = clicks, left = platform::kLeftButton;
        if (event == 'M') face.onMouseMove(0, 0, 5, 5);
        if (event == 'D') face.onMouseDown(left, 0, 5, 5);
        if (event == 'U') face.onMouseUp(left, 0, 5, 5);
        if (event == 'r') face.onMouseDown(platform::kRightButton, 0, 5, 5);
        if (event == 'R') face.onMouseUp(platform::kRightButton, 0, 5, 5);
        if (event == 'm') label.onMouseMove(0, 0, 5, 5);
        if (event == 'd') label.onMouseDown(left, 0, 5, 5);
        if (event == 'u') label.onMouseUp(left, 0, 5, 5);
        if (event == 'F') face.onGotFocus();
        if (event == 'B') face.onLostFocus();
        if (event == 'x') command->SetEnabled(false);
        if (event == 'o' || event == 'w' || event == 't') {
            host.windowFromPoint = event == 'o'   ? face.hWnd()
                                   : event == 'w' ? window->hWnd()
                                                  : 0x9999;
            host.timers.at(0)->Fire();
        }
        std::string painted;
        for (std::size_t i = before; i < host.calls.size(); ++i)
            for (std::size_t s = 0; s < skins.size(); ++s)
                if (host.calls[i].starts_with("SelectObject(") && host.calls[i].ends_with(skins[s]))
                    painted += "NHXDSP"[s];
        return (painted.empty() ? "-" : painted) + std::to_string(State()) +
               (command->Model().tracking.MouseIsDown() ? "v" : "") +
               (clicks > clicksBefore ? "*" : "");
    }

    platform::fake::FakeHost host;
    std::unique_ptr<platform::Window> window;
    platform::fake::FakeWindow& fake = static_cast<platform::fake::FakeWindow&>(*window);
    std::unique_ptr<Command> command;
    std::vector<std::string> skins;
    int clicks = 0;
};

TEST(Button, WhatAUserSeesStepByStep) {
    const struct {
        const char *name, *events, *outcomes;
        bool initialised = true;
    } scenarios[] = {
        {"hover, click, leave", "MoDUt", "H2 -2 P2v N2* N1"},
        {"keyboard focus, hover, leave, focus lost", "FMtBB", "S3 X4 S3 N1 -1"},
        {"hover, then the press brings the focus", "MFDU", "H2 P4 P4v X4*"},
        {"the same on the caption", "mFdu", "H2 P4 P4v X4*"},
        {"press, leave, come back: cancelled until released", "FMDtMUM", "S3 X4 P4v S3v -3v -3 X4"},
        {"press, leave onto the dialog: cancelled", "MFDwU", "H2 P4 P4v S3v -3"},
        {"a poll over the face keeps the hover", "MFDoU", "H2 P4 P4v -4v X4*"},
        {"other buttons press nothing but click on release", "MrRFtR", "H2 -2 -2* P4 S3 -3"},
        {"right release once the focus has gone", "MFBtR", "H2 P4 N1 -1 -1*"},
        {"before Initialize the cursor changes nothing", "MtF", "-0 -0 S3", false},
        // Disabled in each state, the left button up or down, it ignores everything.
        {"disabled hovered", "MxMDUrRmduFBot", "H2 D2 -2 -2 -2 -2 -2 -2 -2 -2 -2 -2 -2 -2"},
        {"disabled focused", "FxMDUrRmduFBot", "S3 D3 -3 -3 -3 -3 -3 -3 -3 -3 -3 -3 -3 -3"},
        {"disabled both", "FMxMDUrRmduFBot", "S3 X4 D4 -4 -4 -4 -4 -4 -4 -4 -4 -4 -4 -4 -4"},
        {"disabled pressed", "FMDxMDUrRmduFBot",
         "S3 X4 P4v D4v -4v -4v -4v -4v -4v -4v -4v -4v -4v -4v -4v -4v"},
    };
    for (const auto& s : scenarios) {
        Button b(s.initialised);
        std::string seen;
        for (const char* e = s.events; *e; ++e) seen += (e == s.events ? "" : " ") + b.Deliver(*e);
        EXPECT_EQ(seen, s.outcomes) << s.name;
    }
}

TEST(Button, HoverEndsUnlessTheCursorIsOverTheButtonsOwnWindow) {
    constexpr platform::Handle own = 0x20, parent = 0x10;
    const std::optional<platform::Handle> unread;
    const struct {
        platform::Handle under;
        std::optional<platform::Handle> ownWindow, parentWindow;
        bool left;
    } cases[] = {{own, own, parent, false}, {parent, own, parent, true}, {0x99, own, parent, true},
                 {0, own, parent, true},    {own, unread, parent, true}, {own, own, unread, true}};
    for (const auto& [under, ownWindow, parentWindow, left] : cases)
        EXPECT_EQ(CommandStateMachine::CursorHasLeft(under, ownWindow, parentWindow), left)
            << under << " " << ownWindow.has_value() << parentWindow.has_value();
}

TEST(Button, CaptionIsPlacedAndMirrored) {
    Button b;
    // Top (375 - 195 - 20) / 2 = 80 twips, pixel 5; 420 twips high, 102.5 twips: pixel 7.
    EXPECT_EQ(std::make_pair(b.Caption().Bounds(), b.Caption().text),
              std::make_pair(Rect{0, 5, 77, 18}, "Command1"s));
    b.command->Move(0, 0, 117, 28);
    EXPECT_EQ(b.Caption().Bounds(), (Rect{0, 7, 117, 20}));
    b.command->SetFontColour(0x0000FF);
    b.command->SetEnabled(false);
    b.command->SetFont({"Tahoma", 12, 700, true, false, false, 0});
    EXPECT_EQ(std::tie(b.Caption().textColour, b.Caption().enabled, b.Caption().font),
              std::make_tuple(0x0000FFu, false,
                              platform::Font{"Tahoma", 12, 700, true, false, false, 0}));
}

TEST(ButtonFace, NarrowAndHugeFaces) {
    const FaceLayout narrow = ComputeFaceLayout(120, 375, 195);
    for (const FramePiece& piece : narrow.pieces) {
        const bool edge = piece.id == FramePieceId::Top || piece.id == FramePieceId::Bottom;
        EXPECT_EQ(piece.Drawn(), !edge) << static_cast<int>(piece.id);
        EXPECT_TRUE(!edge || piece.destination.right == piece.destination.left);
    }
    EXPECT_EQ(narrow.pieces[2].destination.left, 60);  // top-right corner meets the top-left one
    // Corner and size round down apart: 2 twips from twip 14 are no pixel wide, not one.
    EXPECT_EQ(ToPixels({14, 0, 16, 15}, platform::DisplayScale()), (Rect{0, 0, 0, 1}));
    // Smaller than the frame: negative inner sizes are never drawn (they would mirror).
    const FaceLayout tiny = ComputeFaceLayout(90, 90, 195);
    EXPECT_FALSE(tiny.pieces[1].Drawn() || tiny.pieces[3].Drawn());
    // Beyond 16-bit twips the numbers are still the face's own.
    const FaceLayout huge = ComputeFaceLayout(40000, 375, 195);
    EXPECT_EQ(std::make_pair(huge.pieces[1].destination.right - huge.pieces[1].destination.left,
                             huge.pieces[4].destination.left),
              std::make_pair(39880, 39940));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(std::make_tuple(WholeTwips(1e12), WholeTwips(nan), WholeTwips(1154.5)),
              std::make_tuple(1 << 24, 0, 1154));
}

// Face and skin in twips at the real factor 1440 / dpi: frames of 4 to 8 pixels, the caption.
TEST(ButtonFace, FrameAndCaptionAtEachScale) {
    const struct {
        int dpi, frame, faceWidth, faceHeight, skinWidth, skinHeight, captionTop;
    } cases[] = {{96, 4, 77, 25, 64, 25, 5},
                 {120, 5, 96, 31, 80, 31, 7},
                 {144, 6, 116, 38, 96, 38, 8},
                 {192, 8, 154, 50, 128, 50, 11}};
    for (const auto& [dpi, f, w, h, sw, sh, captionTop] : cases) {
        const platform::DisplayScale scale(dpi);
        const auto twips = [&](int pixels) { return WholeTwips(scale.Twips(pixels)); };
        const FaceLayout layout = ComputeFaceLayout(
            twips(w), twips(h), scale.Twips(scale.Pixels(13)), twips(sw), twips(sh));
        EXPECT_EQ(
            std::make_tuple(ToPixels(layout.pieces[0].destination, scale),
                            ToPixels(layout.pieces[4].destination, scale),
                            ToPixels(layout.pieces[5].source, scale),
                            ToPixels(layout.pieces[3].source, scale),
                            scale.NearestPixels(layout.captionTop)),
            std::make_tuple(Rect{0, 0, f, f}, Rect{w - f, h - f, w, h}, Rect{f, sh - f, sw - f, sh},
                            Rect{sw - f, f, sw, sh - f}, captionTop))
            << dpi;
    }
}

const FontDescription kAmbient{"Tahoma", 8, 400, false, false, false, 0};

CommandModel Loaded(MemoryPropertyBag bag) {
    CommandModel model;
    UserControl_ReadProperties(model, bag, kAmbient);
    return model;
}

MemoryPropertyBag Saved(CommandModel& model) {
    MemoryPropertyBag bag;
    UserControl_WriteProperties(model, bag, kAmbient);
    return bag;
}

TEST(ButtonProperties, SavingLeavesOutDefaultsRoundTripsAndSkipsWhatDoesNotConvert) {
    CommandModel model = Loaded({});
    SetCaption(model, "Command");
    EXPECT_EQ(Saved(model).Keys(), std::vector<std::string>{});  // everything at its default
    EXPECT_EQ(Loaded(Saved(model)).label.caption, "Command1");   // the two defaults differ
    SetEnabled(model, false);
    SetCaption(model, "OK");
    SetFontColour(model, 0x0000FF);
    SetVisible(model, false);
    SetFont(model, DesignFont());
    const MemoryPropertyBag bag = Saved(model);
    EXPECT_EQ(bag.Keys(),
              (std::vector<std::string>{"Enabled", "Caption", "Font", "FontColour", "Visible"}));
    EXPECT_EQ(*bag.Find("Visible"), PropertyValue{std::int64_t{0}});
    const CommandModel back = Loaded(bag);
    EXPECT_EQ(std::make_tuple(back.tracking.EnabledFlag(), back.label.caption,
                              back.label.textColour, back.label.font, back.faceOpaque),
              std::make_tuple(false, "OK"s, 0x0000FF, DesignFont(), false));
    CommandModel fresh;  // never initialised: FirstRun 0 is saved
    EXPECT_EQ(*Saved(fresh).Find("FirstRun"), PropertyValue{std::int64_t{0}});
    // Values that do not convert leave their targets as they were.
    const CommandModel odd = Loaded({{"Visible", std::int64_t{2}},
                                     {"FirstRun", "300"s},
                                     {"FontColour", "red"s},
                                     {"Caption", kAmbient},
                                     {"Enabled", "False"s}});
    EXPECT_EQ(std::make_tuple(odd.faceOpaque, odd.FirstRun, odd.label.textColour, odd.label.caption,
                              odd.tracking.EnabledFlag()),
              std::make_tuple(true, 0, 0, "Command"s, false));
}

TEST(ButtonProperties, ReadsInitialiseOnceAndRepaintOnlyAnEnabledButton) {
    CommandModel model;
    model.label.textColour = 0x123456;
    const PropertyRead<bool> read = GetEnabled(model);
    // RefreshLook skipped: still disabled then, so the colour stays.
    EXPECT_EQ(std::make_tuple(read.value, read.paints, model.FirstRun, model.label.textColour),
              std::make_tuple(true, Paints{P::Normal}, 1, 0x123456));
    // Enabled written before it is ever read, then a colour: RefreshLook blackens it.
    CommandModel early;
    std::vector<std::string> changed;
    early.propertyChanged = [&](std::string_view name) { changed.emplace_back(name); };
    EXPECT_EQ(SetEnabled(early, true), Paints{P::Normal});
    EXPECT_EQ(SetFontColour(early, 0x00FF00), Paints{P::Normal});
    EXPECT_EQ(early.label.textColour, 0);
    EXPECT_EQ(changed, (std::vector<std::string>{"Enabled", "FontColour"}));
    EXPECT_EQ(GetEnabled(early).paints, (Paints{P::Normal, P::Normal}));
    // A read repaints an enabled button, its hover kept; a disabled one stays greyed.
    CommandModel hovered = Loaded({});
    Initialize(hovered);
    hovered.tracking.MouseMove();
    EXPECT_EQ(GetFontColour(hovered).paints, Paints{P::Normal});
    EXPECT_EQ(hovered.tracking.ButtonState(), StateHighLight);
    SetEnabled(hovered, false);
    EXPECT_EQ(UserControl_Resize(hovered), Paints{P::Disable});
    EXPECT_EQ(GetVisible(hovered).paints, Paints{});
    EXPECT_FALSE(hovered.label.enabled);
}

TEST(ButtonProperties, BagEqualityAndChangeRecording) {
    EXPECT_TRUE(PropertyValuesEqual(std::int64_t{1}, "1"s));
    EXPECT_TRUE(PropertyValuesEqual(true, std::int64_t{-1}));
    EXPECT_FALSE(PropertyValuesEqual("Command"s, "Command1"s));
    EXPECT_FALSE(PropertyValuesEqual(std::int64_t{0}, ""s));
    MemoryPropertyBag bag{{"Caption", std::string("Old")}};
    bag.WriteProperty("Caption", std::string("Command"), std::string("Command"));
    EXPECT_EQ(bag.Find("Caption"), nullptr);  // back at its default: left out
    CommandModel model;
    model.propertyChanged = bag.ChangeCallback();
    SetCaption(model, "Set");
    EXPECT_TRUE(bag.IsDirty());
    EXPECT_EQ(bag.ChangedProperties(), std::vector<std::string>{"Caption"});
}

}  // namespace
