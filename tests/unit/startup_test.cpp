// Start-up against the recording fake: command-line parsers, modes, password change, preview size.
#include "startup/startup.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <limits>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "resource_ids.h"
#include "startup/command_line.h"
#include "startup/process_values.h"
#include "startup/settings.h"
#include "unit/process_values_guard.h"
#include "unit/temp_folder.h"

namespace {

using platform::fake::CallText;
using platform::fake::FakeHost;
using platform::fake::ProgramEnded;

// The mode letter is the second UTF-8 character upper-cased; the numbers as the system reads them.
TEST(CommandLine, ModeLetterHandleAndInterval) {
    const std::pair<const char*, const char*> letters[] = {
        {"/s", "S"},       {"-S", "S"},           {"xs", "S"},
        {"/S extra", "S"}, {"/p 1234", "P"},      {"S", ""},
        {"", ""},          {"/\xe4", "\xe4"},     {"/c:4711", "C"},
        {"\u2014s", "S"},  {"/\u00e9", "\u00e9"}, {"\U0001F600", ""},
        {"\x80s", "S"},
    };
    for (const auto& [line, letter] : letters)
        EXPECT_EQ(Veltrane_B::ModeLetterOf(line), letter) << line;
    const std::pair<const char*, std::int32_t> handles[] = {
        {"/p 1234", 1234}, {"/p:1234", 1234}, {"/p 2147483647", INT32_MAX},
        {"/p", 0},         {"/a ", 0},        {"/p -2147483648", INT32_MIN},
        {"/p  -77", -77},  {"/p 12.5", 12},   {"/p 99999999999", 0},
        {"/p 1e3", 1000},  {"/p1234", 234},   {"\u2014p 1234", 1234},
        {"/p 13.5x", 14},  {"/a abc", 0},     {"/p\u00a056", 56},
    };
    for (const auto& [line, handle] : handles)
        EXPECT_EQ(Veltrane_B::HandleFromText(Veltrane_B::HandleTextOf(line)), handle) << line;
    // Whatever number the text holds, rounded down: each user decides what it can take.
    const float inf = std::numeric_limits<float>::infinity();
    const std::pair<const char*, float> intervals[] = {
        {"", 100},  {" 250", 250},      {"250.9", 250}, {"70000", 70000}, {"0", 0},
        {"-5", -5}, {"-0.5", -1},       {"abc", 100},   {"1e999", inf},   {"-1e300", -inf},
        {"0.5", 0}, {" 1500 ms", 1500}, {".", 100},     {"+7", 7}};
    for (const auto& [text, interval] : intervals)
        EXPECT_EQ(Veltrane_B::IntervalFromText(text), interval) << text;
}

// Main with 777 in a program folder's settings file (one file even where "\\" is no separator).
class MainTest : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        std::filesystem::create_directory(folder_ / "program");
        std::ofstream(Veltrane_B::SettingsFilePath((folder_ / "program").string()),
                      std::ios::binary)
            << "[Section]\r\n"
            << Veltrane_B::kIntervalKey << "= 777\r\n";
    }
    // What Main did on `line`: D dialog shown, S session loaded, E ended; a preview goes to `kept`.
    std::string RunMain(const char* line, Veltrane_B::Program* kept = nullptr) {
        std::string did;
        Veltrane_B::IntervalText.clear();
        host_.commandLine = line;
        host_.programFolder = (folder_ / "program").string();
        Veltrane_B::Program program{host_, {}, nullptr};
        program.modes.showSettingsDialog = [&] { did += 'D'; };
        program.modes.loadSession = [&] { did += 'S'; };
        try {
            Veltrane_B::Main(program);
        } catch (const ProgramEnded&) {
            did += 'E';
        }
        if (kept) kept->preview = std::move(program.preview);
        return did;
    }
    FakeHost host_;
    ProcessValuesGuard processValues_;
};

// Every mode but the preview reads the settings; the password change (for the window on the line,
// -1 none) runs only outside NT: platform 1, or GetVersionExA failing.
TEST_F(MainTest, ModeTable) {
    const struct {
        const char *line, *did;
        int cursorHidden, platformId, versionResult, window;
    } cases[] = {
        {"/s", "S", 1, 2, 1, -1},        {"", "S", 0, 2, 1, -1},
        {"S", "E", 0, 2, 1, -1},         {"/x", "E", 0, 2, 1, -1},
        {"/c", "DE", 0, 2, 1, -1},       {"/a 4711", "E", 0, 2, 1, -1},
        {"/a 4711", "E", 0, 1, 1, 4711}, {"/a 4711", "E", 0, 2, 0, 4711},
        {"/a", "E", 0, 1, 1, 0},
    };
    for (const auto& [line, did, cursorHidden, platformId, versionResult, window] : cases) {
        host_ = FakeHost();
        host_.platformId = platformId;
        host_.versionResult = versionResult;
        const std::string seen = RunMain(line);
        const std::vector<std::string> password(
            window >= 0, "PwdChangePasswordA(SCRSAVE, " + std::to_string(window) + ", 0, 0)");
        EXPECT_EQ(
            std::make_tuple(seen, host_.CountOf("ShowCursor(0)"),
                            host_.CallsNamed("PwdChangePasswordA"), Veltrane_B::IntervalText,
                            Veltrane_B::DisplayInterval),
            std::make_tuple(std::string(did), cursorHidden, password, std::string("777"), 777.0f))
            << line;
    }
}

// The host box's size, the picture letterboxed in it; WS_CHILD in place of WS_POPUP; no settings.
TEST_F(MainTest, PreviewEmbedsInHostWithItsOuterSizeAndReadsNoSettings) {
    host_.windowRects[4711] = {10, 20, 3010, 2520};
    host_.windowLong = static_cast<std::int32_t>(0x96CF0000u);
    Veltrane_B::Program kept{host_, {}, nullptr};
    ASSERT_EQ(RunMain("/p 4711", &kept), "");
    ASSERT_EQ(host_.windows.size(), 1u);
    const auto* window = host_.windows[0];
    EXPECT_EQ(std::make_tuple(window->state.bounds, window->images.at(0)->state.bounds,
                              host_.CallsNamed("LoadBitmapResource"),
                              static_cast<std::uint32_t>(host_.windowLong),
                              Veltrane_B::IntervalText, Veltrane_B::DisplayInterval),
              std::make_tuple(platform::Rect{0, 0, 3000, 2500}, platform::Rect{0, 144, 3000, 2355},
                              std::vector{CallText("LoadBitmapResource", IDB_PREVIEW, 3000, 2211)},
                              0x56CF0000u, std::string(), 100.0f));
}

}  // namespace
