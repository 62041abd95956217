#include "platform/fake/fake_platform.h"

#include <algorithm>
#include <cstring>

namespace platform::fake {

// ---- Host ----

std::vector<std::string> FakeHost::CallsNamed(const std::string& name) const {
    std::vector<std::string> result;
    for (const std::string& call : calls) {
        if (call == name || call.rfind(name + "(", 0) == 0) result.push_back(call);
    }
    return result;
}

int FakeHost::CountOf(const std::string& name) const {
    return static_cast<int>(CallsNamed(name).size());
}

void FakeHost::EndProgram() {
    calls.push_back("EndProgram");
    throw ProgramEnded();
}

void FakeHost::DoEvents() {
    ++doEventsCount;
    if (onDoEvents) onDoEvents();
}

void FakeHost::DisplayMonitors(std::vector<Rect>& into) {
    calls.push_back("DisplayMonitors");
    into.assign(monitors.begin(), monitors.end());
}

std::int32_t FakeHost::GetDibSection(Handle bitmap, DibSection* section) {
    calls.push_back(CallText("GetDibSection", bitmap));
    if (dibSectionsRead_ >= dibSections.size()) return 0;
    *section = dibSections[dibSectionsRead_++];
    return 1;
}

BitmapRecord FakeHost::RecordOf(Handle bitmap) const {
    BitmapRecord record = bitmapRecord;
    const auto found = panelImages_.find(bitmap);
    if (found != panelImages_.end()) {
        const Rect& bounds = found->second->state.bounds;
        record.bmWidth = bounds.right - bounds.left;
        record.bmHeight = bounds.bottom - bounds.top;
    }
    if (const auto loaded = loadedSizes_.find(bitmap); loaded != loadedSizes_.end()) {
        record.bmWidth = loaded->second.width;
        record.bmHeight = loaded->second.height;
    }
    return record;
}

std::unique_ptr<Window> FakeHost::CreateTopLevelWindow(WindowKind kind) {
    auto window = std::make_unique<FakeWindow>(*this, NewHandle(), kind);
    windows.push_back(window.get());
    return window;
}

std::unique_ptr<Timer> FakeHost::CreateTimer() {
    auto timer = std::make_unique<FakeTimer>();
    timers.push_back(timer.get());
    return timer;
}

Handle FakeHost::LoadBitmapResource(int resourceId, Size size) {
    calls.push_back(CallText("LoadBitmapResource", resourceId, size.width, size.height));
    const Handle bitmap = 0x100000 + static_cast<Handle>(resourceId) * 0x1000000 +
                          static_cast<Handle>(size.width) * 0x1000 +
                          static_cast<Handle>(size.height);
    loadedSizes_[bitmap] = size;
    return bitmap;
}

void FakeHost::SetMousePointer(MousePointer value) {
    pointer = value;
    pointerHistory.push_back(value);
}

Handle FakeHost::FindWindowA(const char* className, const char* windowName) {
    calls.push_back(CallText("FindWindowA", className, windowName));
    const auto found = windowsByTitle.find(windowName ? windowName : "");
    return found == windowsByTitle.end() ? 0 : found->second;
}

std::int32_t FakeHost::GetWindowRect(Handle window, Rect* rect) {
    calls.push_back(CallText("GetWindowRect", window));
    const auto found = windowRects.find(window);
    if (found == windowRects.end()) return 0;
    *rect = found->second;
    return 1;
}

std::int32_t FakeHost::GetWindowLongA(Handle window, std::int32_t index) {
    calls.push_back(CallText("GetWindowLongA", window, index));
    return windowLong;
}

std::int32_t FakeHost::SetWindowLongA(Handle window, std::int32_t index, std::int32_t value) {
    calls.push_back(CallText("SetWindowLongA", window, index, static_cast<std::uint32_t>(value)));
    const std::int32_t previous = windowLong;
    windowLong = value;
    return previous;
}

Handle FakeHost::SetParent(Handle child, Handle newParent) {
    calls.push_back(CallText("SetParent", child, newParent));
    return 1;
}

std::int32_t FakeHost::SetWindowPos(Handle window, Handle insertAfter, std::int32_t x,
                                    std::int32_t y, std::int32_t cx, std::int32_t cy,
                                    std::uint32_t flags) {
    calls.push_back(CallText("SetWindowPos", window, static_cast<std::intptr_t>(insertAfter), x, y,
                             cx, cy, flags));
    return 1;
}

std::int32_t FakeHost::PostMessageA(Handle window, std::uint32_t message, std::uintptr_t wParam,
                                    std::intptr_t lParam) {
    calls.push_back(CallText("PostMessageA", window, message, wParam, lParam));
    return 1;
}

std::int32_t FakeHost::IsWindow(Handle window) {
    calls.push_back(CallText("IsWindow", window));
    return windowRects.count(window) ? 1 : 0;
}

Handle FakeHost::GetDesktopWindow() {
    calls.push_back("GetDesktopWindow");
    return 0x10010;
}

Handle FakeHost::GetDC(Handle window) {
    calls.push_back(CallText("GetDC", window));
    return kScreenDc;
}

std::int32_t FakeHost::ReleaseDC(Handle window, Handle dc) {
    calls.push_back(CallText("ReleaseDC", window, dc));
    return 1;
}

std::int32_t FakeHost::ShowCursor(std::int32_t show) {
    calls.push_back(CallText("ShowCursor", show));
    return 0;
}

std::int32_t FakeHost::GetCursorPos(Point* point) {
    calls.push_back("GetCursorPos");
    if (getCursorPosResult != 0) *point = cursor;
    return getCursorPosResult;
}

Handle FakeHost::WindowFromPoint(Point point) {
    calls.push_back(CallText("WindowFromPoint", point.x, point.y));
    return windowFromPoint;
}

std::int32_t FakeHost::SystemParametersInfoA(std::uint32_t action, std::uint32_t uiParam, void*,
                                             std::uint32_t winIni) {
    calls.push_back(CallText("SystemParametersInfoA", action, uiParam, winIni));
    return 1;
}

std::int32_t FakeHost::DrawAnimatedRects(Handle window, std::int32_t animation, const Rect* from,
                                         const Rect* to) {
    calls.push_back(CallText("DrawAnimatedRects", window, animation, from->left, from->top,
                             from->right, from->bottom, to->left, to->top, to->right, to->bottom));
    return 1;
}

std::int32_t FakeHost::MessageBoxW(Handle, const std::string& text, const std::string& caption,
                                   std::uint32_t type) {
    calls.push_back(CallText("MessageBoxW", text, caption, type));
    return 1;
}

std::int32_t FakeHost::BitBlt(Handle dc, std::int32_t x, std::int32_t y, std::int32_t cx,
                              std::int32_t cy, Handle sourceDc, std::int32_t x1, std::int32_t y1,
                              std::uint32_t rop) {
    calls.push_back(CallText("BitBlt", dc, x, y, cx, cy, sourceDc, x1, y1, rop));
    return 1;
}

std::int32_t FakeHost::StretchBlt(Handle dc, std::int32_t x, std::int32_t y, std::int32_t cx,
                                  std::int32_t cy, Handle sourceDc, std::int32_t x1,
                                  std::int32_t y1, std::int32_t cx1, std::int32_t cy1,
                                  std::uint32_t rop) {
    calls.push_back(CallText("StretchBlt", dc, x, y, cx, cy, sourceDc, x1, y1, cx1, cy1, rop));
    return 1;
}

Handle FakeHost::CreateCompatibleDC(Handle dc) {
    calls.push_back(CallText("CreateCompatibleDC", dc));
    return 0x30030;
}

Handle FakeHost::SelectObject(Handle dc, Handle object) {
    calls.push_back(CallText("SelectObject", dc, object));
    return 0x40040;
}

std::int32_t FakeHost::DeleteDC(Handle dc) {
    calls.push_back(CallText("DeleteDC", dc));
    return 1;
}

std::int32_t FakeHost::GetObjectA(Handle bitmap, BitmapRecord* record) {
    calls.push_back(CallText("GetObjectA", bitmap));
    *record = RecordOf(bitmap);
    return 1;
}

std::int32_t FakeHost::GetDIBits(Handle dc, Handle bitmap, std::uint32_t start, std::uint32_t lines,
                                 void* bits, BitmapInfo* info, std::uint32_t usage) {
    calls.push_back(CallText("GetDIBits", dc, bitmap, start, lines, usage));
    lastDibInfo = *info;
    lastDibBits = bits;
    if (bits && !dibBits.empty()) {
        const std::size_t rowBytes = static_cast<std::size_t>(std::abs(info->biWidth)) * 4;
        const std::size_t bytes = std::min(dibBits.size(), rowBytes * lines);
        std::memcpy(bits, dibBits.data(), bytes);
    }
    return getDIBitsResult;
}

std::int32_t FakeHost::SetDIBits(Handle dc, Handle bitmap, std::uint32_t start, std::uint32_t lines,
                                 const void* bits, const BitmapInfo* info, std::uint32_t usage) {
    calls.push_back(CallText("SetDIBits", dc, bitmap, start, lines, usage));
    lastDibInfo = *info;
    lastDibBits = bits;
    return static_cast<std::int32_t>(lines);
}

std::int32_t FakeHost::StretchDIBits(Handle dc, std::int32_t x, std::int32_t y, std::int32_t width,
                                     std::int32_t height, std::int32_t sourceX,
                                     std::int32_t sourceY, std::int32_t sourceWidth,
                                     std::int32_t sourceHeight, const void* bits,
                                     const BitmapInfo* info, std::uint32_t usage,
                                     std::uint32_t rop) {
    calls.push_back(CallText("StretchDIBits", dc, x, y, width, height, sourceX, sourceY,
                             sourceWidth, sourceHeight, usage, rop));
    lastDibInfo = *info;
    lastDibBits = bits;
    return stretchDIBitsResult;
}

std::int32_t FakeHost::GradientFill(Handle dc, const TriVertex* vertices, std::uint32_t vertexCount,
                                    const GradientRect* rects, std::uint32_t rectCount,
                                    std::uint32_t mode) {
    calls.push_back(CallText("GradientFill", dc, vertexCount, rectCount, mode));
    lastVertices.assign(vertices, vertices + vertexCount);
    lastGradientRects.assign(rects, rects + rectCount);
    return 1;
}

std::int32_t FakeHost::GetVersionExA(OsVersionInfo* info) {
    calls.push_back(CallText("GetVersionExA", info->dwOSVersionInfoSize));
    if (versionResult == 1) info->dwPlatformId = platformId;
    return versionResult;
}

std::int32_t FakeHost::VerifyScreenSavePwd(Handle window) {
    calls.push_back(CallText("VerifyScreenSavePwd", window));
    if (onVerifyScreenSavePwd) onVerifyScreenSavePwd();
    return verifyResult;
}

void FakeHost::PwdChangePasswordA(const char* provider, Handle window, std::uint32_t reserved1,
                                  std::uint32_t reserved2) {
    calls.push_back(CallText("PwdChangePasswordA", provider, window, reserved1, reserved2));
}

Handle FakeHost::ShellExecuteA(Handle window, const char* operation, const char* file,
                               const char* parameters, const char* directory, std::int32_t show) {
    calls.push_back(
        CallText("ShellExecuteA", window, operation, file, parameters, directory, show));
    return 42;
}

}  // namespace platform::fake
