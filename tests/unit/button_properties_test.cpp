#include <gtest/gtest.h>

#include "controls/command_properties.h"

namespace {

using namespace Veltrane::Controls;
using P = SkinPicture;

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

TEST(ButtonProperties, SavingLeavesOutDefaultsAndRoundTrips) {
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
    EXPECT_FALSE(back.tracking.EnabledFlag());
    EXPECT_EQ(back.label.caption, "OK");
    EXPECT_EQ(back.label.textColour, 0x0000FF);
    EXPECT_EQ(back.label.font, DesignFont());
    EXPECT_FALSE(back.faceOpaque);

    CommandModel fresh;  // never initialised: FirstRun 0 is saved
    EXPECT_EQ(*Saved(fresh).Find("FirstRun"), PropertyValue{std::int64_t{0}});
}

TEST(ButtonProperties, UnconvertibleValuesLeaveTheirTargets) {
    const CommandModel model = Loaded({{"Visible", std::int64_t{2}},
                                       {"FirstRun", std::string("300")},
                                       {"FontColour", std::string("red")},
                                       {"Caption", kAmbient},
                                       {"Enabled", std::string("False")}});
    EXPECT_TRUE(model.faceOpaque);
    EXPECT_EQ(model.FirstRun, 0);
    EXPECT_EQ(model.label.textColour, 0);
    EXPECT_EQ(model.label.caption, "Command");
    EXPECT_FALSE(model.tracking.EnabledFlag());
}

TEST(ButtonProperties, FirstReadOfEnabledInitialisesTheButton) {
    CommandModel model;
    model.label.textColour = 0x123456;
    PropertyRead<bool> read = GetEnabled(model);
    EXPECT_TRUE(read.value);
    EXPECT_EQ(read.paints, Paints{P::Normal});  // RefreshLook skipped: still disabled then
    EXPECT_EQ(model.FirstRun, 1);
    EXPECT_EQ(model.label.textColour, 0x123456);

    // Enabled written before it is ever read, then a colour: RefreshLook blackens it.
    CommandModel early;
    std::vector<std::string> changed;
    early.propertyChanged = [&](std::string_view name) { changed.emplace_back(name); };
    EXPECT_EQ(SetEnabled(early, true), Paints{P::Normal});
    EXPECT_EQ(SetFontColour(early, 0x00FF00), Paints{P::Normal});
    EXPECT_EQ(early.label.textColour, 0);
    EXPECT_EQ(changed, (std::vector<std::string>{"Enabled", "FontColour"}));
    EXPECT_EQ(GetEnabled(early).paints, (Paints{P::Normal, P::Normal}));
}

// Reading a property repaints an enabled button's normal face without ending its hover; a
// disabled button keeps its greyed face through reads and resizes.
TEST(ButtonProperties, ReadsRepaintOnlyAnEnabledButton) {
    CommandModel model = Loaded({});
    Initialize(model);
    model.tracking.MouseMove();
    EXPECT_EQ(GetFontColour(model).paints, Paints{P::Normal});
    EXPECT_EQ(model.tracking.ButtonState(), StateHighLight);
    SetEnabled(model, false);
    EXPECT_EQ(UserControl_Resize(model), Paints{P::Disable});
    EXPECT_EQ(GetVisible(model).paints, Paints{});
    EXPECT_FALSE(model.label.enabled);
}

TEST(ButtonProperties, BagEqualityAndChangeRecording) {
    EXPECT_TRUE(PropertyValuesEqual(std::int64_t{1}, std::string("1")));
    EXPECT_TRUE(PropertyValuesEqual(true, std::int64_t{-1}));
    EXPECT_FALSE(PropertyValuesEqual(std::string("Command"), std::string("Command1")));
    EXPECT_FALSE(PropertyValuesEqual(std::int64_t{0}, std::string("")));
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
