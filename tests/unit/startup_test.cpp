// Start-up against the recording fake: the command-line parsers, the mode table, the password
// change and the preview's size and style. The single-instance test and the preview's life with
// its host window run on the real system (win32/startup_test, win32/preview_test).
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

// Runs Main and gives what it did: D the dialog shown, S the session loaded, E the program ended.
// The preview, if one was made, goes to `kept`.
std::string RunMain(FakeHost& host, Veltrane_B::Program* kept = nullptr) {
    std::string did;
    Veltrane_B::Program program{host, {}, nullptr};
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

// Main reads the settings from the test's own folder, and leaves the process values as it
// found them.
class MainTest : public TempFolderTest {
    ProcessValuesGuard processValues_;
};

// The mode letter is the second character upper-cased; the handle and the interval are numbers
// read as the system's own conversions read them. The line is UTF-8, counted in characters.
TEST(CommandLine, ModeLetterHandleAndInterval) {
    const std::pair<const char*, const char*> letters[] = {
        {"/s", "S"},
        {"-S", "S"},
        {"xs", "S"},
        {"/S extra words", "S"},
        {"/p 1234", "P"},
        {"S", ""},
        {"", ""},
        {"/\xe4", "\xe4"},
        {"/c:4711", "C"},
        {"\xe2\x80\x94s", "S"},
        {"/\xc3\xa9", "\xc3\xa9"},
        {"\xf0\x9f\x98\x80", ""},
        {"\x80s", "S"},
    };
    for (const auto& [line, letter] : letters)
        EXPECT_EQ(Veltrane_B::ModeLetterOf(line), letter) << line;
    const std::pair<const char*, std::int32_t> handles[] = {
        {"/p 1234", 1234},
        {"/p:1234", 1234},
        {"/p 2147483647", INT32_MAX},
        {"/p", 0},
        {"/a ", 0},
        {"/p -2147483648", INT32_MIN},
        {"/p  -77", -77},
        {"/p 12.5", 12},
        {"/p 99999999999", 0},
        {"/p 1e3", 1000},
        {"/p1234", 234},
        {"/a abc", 0},
        {"/p 13.5x", 14},
        {"\xe2\x80\x94p 1234", 1234},
        {"/p\xc2\xa0"
         "56",
         56},
    };
    for (const auto& [line, handle] : handles)
        EXPECT_EQ(Veltrane_B::HandleFromText(Veltrane_B::HandleTextOf(line)), handle) << line;
    // Whatever number the text holds, rounded down: each user decides what it can take.
    const float inf = std::numeric_limits<float>::infinity();
    const std::pair<const char*, float> intervals[] = {
        {"", 100},        {" 250", 250},    {"250.9", 250},   {"3000", 3000}, {"1", 1},
        {"65535", 65535}, {"70000", 70000}, {"0", 0},         {"-5", -5},     {"-0.5", -1},
        {"abc", 100},     {"1e999", inf},   {"-1e300", -inf}, {"0.5", 0},     {" 1500 ms", 1500},
        {".", 100},       {"+7", 7},
    };
    for (const auto& [text, interval] : intervals)
        EXPECT_EQ(Veltrane_B::IntervalFromText(text), interval) << text;
}

TEST_F(MainTest, ModeTable) {
    const struct {
        const char* line;
        const char* did;
        int cursorHidden;  // times
    } cases[] = {{"/s", "S", 1},      {"-S", "S", 1},      {"/S /x", "S", 1}, {"", "S", 0},
                 {"S", "E", 0},       {"/x", "E", 0},      {"/q", "E", 0},    {"/c", "DE", 0},
                 {"/a 4711", "E", 0}, {"/c:4711", "DE", 0}};
    for (const auto& c : cases) {
        FakeHost host;
        host.commandLine = c.line;
        const std::string seen = RunMain(host);
        EXPECT_EQ(std::make_tuple(seen, host.CountOf("ShowCursor(0)"), host.CountOf("FindWindowA")),
                  std::make_tuple(std::string(c.did), c.cursorHidden, 2))
            << c.line;
    }
}

TEST_F(MainTest, PasswordChangeOnlyOutsideNt) {
    const struct {
        const char* line;
        std::uint32_t platformId;
        std::int32_t versionResult;  // GetVersionExA's: a failing call is not NT
        int window;                  // handed to the password change; -1: none
    } cases[] = {
        {"/a 4711", 2, 1, -1}, {"/a 4711", 1, 1, 4711}, {"/a 4711", 2, 0, 4711},
        {"/a", 1, 1, 0},       {"/a junk", 1, 1, 0},
    };
    for (const auto& c : cases) {
        FakeHost host;
        host.commandLine = c.line;
        host.platformId = c.platformId;
        host.versionResult = c.versionResult;
        EXPECT_EQ(RunMain(host), "E");
        EXPECT_EQ(host.CallsNamed("PwdChangePasswordA"),
                  std::vector<std::string>(c.window >= 0, "PwdChangePasswordA(SCRSAVE, " +
                                                              std::to_string(c.window) + ", 0, 0)"))
            << c.line;
    }
}

TEST_F(MainTest, PreviewEmbedsInHostWithItsOuterSizeAndReadsNoSettings) {
    std::ofstream(Veltrane_B::SettingsFilePath(folder_.string()), std::ios::binary)
        << "[Section]\r\n"
        << Veltrane_B::kIntervalKey << "= 777\r\n";
    // The host's box, and where the picture goes in it: its aspect kept, centred.
    for (const auto& [rect, picture] :
         {std::pair{platform::Rect{10, 20, 162, 132}, platform::Rect{0, 0, 152, 112}},
          {platform::Rect{0, 0, 3000, 2500}, platform::Rect{0, 144, 3000, 2355}}}) {
        FakeHost host;
        host.programFolder = folder_.string();
        host.commandLine = "/p 4711";
        host.windowRects[4711] = rect;
        host.windowLong = static_cast<std::int32_t>(0x96CF0000u);
        Veltrane_B::Program kept{host, {}, nullptr};
        ASSERT_EQ(RunMain(host, &kept), "");
        ASSERT_EQ(host.windows.size(), 1u);
        const auto* window = host.windows[0];
        const platform::Rect size{0, 0, rect.right - rect.left, rect.bottom - rect.top};
        EXPECT_EQ(std::make_tuple(window->endsProgram, window->state.bounds,
                                  window->images.at(0)->state.bounds),
                  std::make_tuple(true, size, picture));
        // The picture drawn for that size.
        EXPECT_EQ(host.CallsNamed("LoadBitmapResource"),
                  std::vector<std::string>{CallText("LoadBitmapResource", IDB_PREVIEW,
                                                    picture.right - picture.left,
                                                    picture.bottom - picture.top)});
        // WS_CHILD in place of WS_POPUP, the other style bits kept.
        EXPECT_EQ(static_cast<std::uint32_t>(host.windowLong),
                  (0x96CF0000u & ~0x80000000u) | 0x40000000u);
        // The preview never reads the settings file.
        EXPECT_EQ(std::make_pair(Veltrane_B::IntervalText, Veltrane_B::DisplayInterval),
                  std::make_pair(std::string(), 100.0f));
    }
    // Every other mode does.
    FakeHost host;
    host.programFolder = folder_.string();
    host.commandLine = "/c";
    RunMain(host);
    EXPECT_EQ(std::make_pair(Veltrane_B::IntervalText, Veltrane_B::DisplayInterval),
              std::make_pair(std::string("777"), 777.0f));
}

}  // namespace
