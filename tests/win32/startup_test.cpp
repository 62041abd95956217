// Start-up of the real Veltrane.scr under Wine: the single-instance test through the real window
// list, where a program that ends at once must really end. Command lines without a mode take the
// same way out (unit/startup_test's mode table); the settings file against the platform's own
// profile functions is in settings_file_test.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "process_helpers.h"

namespace {

using veltrane_test::SaverProcess;

TEST(Startup, RunningInstanceEndsEveryCommandLine) {
    for (const wchar_t* title : {L"Veltrane_Main", L"<Veltrane>"}) {
        HWND marker = CreateWindowExW(0, L"STATIC", title, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                      nullptr, nullptr);
        ASSERT_NE(marker, nullptr);
        HWND host = veltrane_test::CreateHost(152, 112);
        for (const std::string& line : {std::string("/s"), std::string(""), std::string("/c"),
                                        veltrane_test::PreviewLine(host), std::string("/a 1")}) {
            EXPECT_EQ(SaverProcess(line).ExitWithin(5000), 0u) << line;
        }
        DestroyWindow(host);
        DestroyWindow(marker);
    }
}

}  // namespace
