#include "dialog/settings_dialog.h"

#include <tuple>
#include <utility>

#include "controls/property_bag.h"
#include "dialog/rotate_picture.h"
#include "dialog/zoom.h"
#include "resource_ids.h"
#include "startup/process_values.h"
#include "startup/settings.h"
#include "startup/startup.h"

namespace Veltrane_B {
namespace {

using platform::BorderStyle;
using Veltrane::Controls::Command;
using Veltrane::Controls::MemoryPropertyBag;

constexpr std::uint32_t kLightGrey = 0x00C0C0C0;
constexpr std::uint32_t kBlack = 0x00000000;

// The scroll bar's range and steps, the timer's interval before the load sequence sets it.
constexpr std::int32_t kFastest = 1, kSlowest = 3000, kSmallStep = 1, kLargeStep = 100;
constexpr std::int32_t kInitialTimerInterval = 100;

std::unique_ptr<platform::Label> MakeLabel(platform::Window& window, platform::PicturePanel& parent,
                                           const std::string& text, bool underline = false) {
    std::unique_ptr<platform::Label> label = window.CreateLabel(&parent);
    label->SetFont(DialogFont(underline));
    label->SetTextColour(kBlack);
    label->SetText(text);
    return label;
}

std::unique_ptr<Command> MakeCommand(platform::Host& host, platform::Window& window,
                                     platform::PicturePanel& parent, const std::string& caption) {
    auto command = std::make_unique<Command>(host, window, &parent);
    // The button's design data: its caption and the dialog's font.
    MemoryPropertyBag design{{"Caption", caption}, {"Font", DialogFont()}};
    command->UserControl_ReadProperties(design, DialogFont());
    return command;
}

void Place(platform::Control& control, const platform::Rect& place) {
    control.Move(place.left, place.top, place.right - place.left, place.bottom - place.top);
}

}  // namespace

Veltrane_P::Veltrane_P(platform::Host& host) : host_(host) {
    window = host.CreateTopLevelWindow(platform::WindowKind::FixedDialog);
    window->SetTitle(kDialogTitle);
    window->SetIcon(IDI_VELTRANE);
    window->SetBackColour(kLightGrey);
    window->onUnload = [this] { Form_Unload(); };
    window->onKeyDown = [this](int keyCode, int shift) { return Form_KeyDown(keyCode, shift); };
    window->onDpiChanged = [this](const platform::Rect& suggested) { Form_DpiChanged(suggested); };

    Pic_C = window->CreatePicturePanel(nullptr, BorderStyle::None);
    Pic_C->SetBackColour(kLightGrey);

    picDestination = window->CreatePicturePanel(Pic_C.get(), BorderStyle::None);
    picDestination->SetBackColour(kBlack);

    Pic_D = window->CreatePicturePanel(Pic_C.get(), BorderStyle::Sunken);
    Pic_D->SetBackColour(kLightGrey);

    lbl[1] = MakeLabel(*window, *Pic_D, "表示ｲﾝﾀｰﾊﾞﾙ");
    HS_Intval = window->CreateScrollBar(Pic_D.get());
    HS_Intval->SetRange(kFastest, kSlowest);
    HS_Intval->SetSteps(kSmallStep, kLargeStep);
    HS_Intval->SetValue(kFastest);
    HS_Intval->onChange = [this] { HS_Intval_Change(); };
    HS_Intval->onScroll = [this] { HS_Intval_Scroll(); };
    lbl[4] = MakeLabel(*window, *Pic_D, "速い");
    lbl[0] = MakeLabel(*window, *Pic_D, "遅い");

    lbl[2] = MakeLabel(*window, *Pic_C, kCreditLine);
    lbl[3] = MakeLabel(*window, *Pic_C, kVersionText);

    Cmd_Set = MakeCommand(host, *window, *Pic_C, "設定");
    Cmd_Set->Click = [this] { Cmd_Set_Click(); };
    Cmd_Can = MakeCommand(host, *window, *Pic_C, "ｷｬﾝｾﾙ");
    Cmd_Can->Click = [this] { Cmd_Can_Click(); };

    // Tab goes from the bar to Set and Cancel and round again; the bar has the focus at first.
    window->SetTabOrder({HS_Intval->hWnd(), Cmd_Set->hWnd(), Cmd_Can->hWnd()});

    lbl_URL = MakeLabel(*window, *Pic_C, kHomePage, true);
    lbl_URL->onClick = [this] { lbl_URL_Click(); };

    Timer1 = host.CreateTimer();
    Timer1->SetInterval(kInitialTimerInterval);
    Timer1->SetEnabled(false);
    Timer1->onTick = [this] { Timer1_Timer(); };

    // Beyond the client area: the sample photo and the texture strip.
    picSource = window->CreatePicturePanel(nullptr, BorderStyle::None);
    Pic_Mbl = window->CreatePicturePanel(nullptr, BorderStyle::None);
    Pic_Mbl->SetVisible(false);

    LayOut();
}

Veltrane_P::~Veltrane_P() = default;

void Veltrane_P::LayOut() {
    scale_ = platform::DisplayScale(window->Dpi());
    const auto at = [this](DialogPart part) { return DialogPlace(part, scale_); };
    Place(*Pic_C, at(DialogPart::PicC));
    Place(*picDestination, at(DialogPart::picDestination));
    picDestination->Clear();
    Place(*Pic_D, at(DialogPart::PicD));
    PlaceLabel(*lbl[1], DialogPart::IntervalLabel);
    Place(*HS_Intval, at(DialogPart::HS_Intval));
    PlaceLabel(*lbl[4], DialogPart::FastLabel);
    PlaceLabel(*lbl[0], DialogPart::SlowLabel);
    PlaceLabel(*lbl[2], DialogPart::CreditLabel);
    PlaceLabel(*lbl[3], DialogPart::VersionLabel);
    for (const auto& [command, part] : {std::pair{Cmd_Set.get(), DialogPart::Cmd_Set},
                                        std::pair{Cmd_Can.get(), DialogPart::Cmd_Can}}) {
        const platform::Rect place = at(part);
        command->Move(place.left, place.top, place.right - place.left, place.bottom - place.top);
    }
    PlaceLabel(*lbl_URL, DialogPart::lbl_URL);
    // Each picture panel takes its picture's size: the picture drawn for this scale.
    for (const auto& [panel, part, picture] :
         {std::tuple{picSource.get(), DialogPart::picSource, IDB_SAMPLE_PHOTO},
          std::tuple{Pic_Mbl.get(), DialogPart::Pic_Mbl, IDB_TEXTURE}}) {
        Place(*panel, at(part));
        panel->SetPicture(host_.LoadBitmapResource(picture, DialogSize(part, scale_)));
    }
}

void Veltrane_P::PlaceLabel(platform::Label& label, DialogPart part) {
    const platform::Rect place = DialogPlace(part, scale_);
    const platform::Size text = label.TextExtent();
    label.Move(place.left, place.top, scale_.LabelLength(place.right - place.left, text.width),
               scale_.LabelLength(place.bottom - place.top, text.height));
}

platform::Size Veltrane_P::SizeWindow() {
    // The client area is exactly Pic_C whatever the frame; the real outer size then places it.
    const platform::Size client = DialogSize(DialogPart::PicC, scale_);
    window->SetClientSize(client.width, client.height);
    platform::Rect outer{};
    if (host_.GetWindowRect(hWnd(), &outer) == 0) {
        // The classic fixed frame: 3 pixels each side, a 19-pixel title bar.
        return {client.width + 6, client.height + 25};
    }
    return {outer.right - outer.left, outer.bottom - outer.top};
}

void Veltrane_P::Show() {
    Form_Load();
    window->ShowModal();
}

void Veltrane_P::Form_Load() {
    const platform::Size outer = SizeWindow();
    const platform::Point position =
        DialogPosition(host_.ScreenWidth(), host_.ScreenHeight(), outer.width, outer.height,
                       host_.TwipsPerPixelX(), host_.TwipsPerPixelY());
    window->Move(position.x, position.y, outer.width, outer.height);

    for (Command* command : {Cmd_Set.get(), Cmd_Can.get()}) command->Initialize();

    TileTexture(*Pic_C);
    TileTexture(*Pic_D);

    // The bar refuses values outside 1..3000 and keeps 1; the timer takes any 0..65535.
    if (const auto value = ToInteger16(DisplayInterval)) HS_Intval->SetValue(*value);
    lbl_URL->SetMousePointer(platform::MousePointer::Hand);
    if (const auto interval = ToLong32(DisplayInterval)) Timer1->SetInterval(*interval);
    Timer1->SetEnabled(true);

    CaptureZoomOrigin(host_);
    ZoomOpen(host_, hWnd());
}

void Veltrane_P::Form_DpiChanged(const platform::Rect& suggested) {
    LayOut();
    const platform::Size outer = SizeWindow();
    window->Move(suggested.left, suggested.top, outer.width, outer.height);
    TileTexture(*Pic_C);
    TileTexture(*Pic_D);
}

void Veltrane_P::TileTexture(platform::PicturePanel& panel) {
    const platform::Rect bounds = panel.Bounds();
    const std::int32_t width = bounds.right - bounds.left;
    const std::int32_t height = bounds.bottom - bounds.top;
    const platform::Rect strip = Pic_Mbl->Bounds();
    const std::int32_t stripWidth = strip.right - strip.left;
    const std::int32_t stripHeight = strip.bottom - strip.top;
    // A strip without area would never cover anything (and never advance).
    if (stripWidth <= 0 || stripHeight <= 0) return;

    // Columns of copies from the top; each column goes one copy past the bottom edge.
    std::int32_t x = 0, y = 0;
    for (;;) {
        host_.BitBlt(panel.hDC(), x, y, stripWidth, stripHeight, Pic_Mbl->hDC(), 0, 0,
                     platform::kSrcCopy);
        if (y > height) {
            if (x > width) break;
            x += stripWidth;
            y = 0;
        } else {
            y += stripHeight;
        }
    }
    panel.Refresh();
}

void Veltrane_P::Timer1_Timer() {
    const std::int32_t angle = PreviewAngle(host_.SecondsSinceMidnight());
    picDestination->Clear();
    Veltrane_B2::RotatePicture(host_, *picSource, *picDestination, angle, true);
}

void Veltrane_P::HS_Intval_Change() {
    Timer1->SetInterval(HS_Intval->Value());
}

void Veltrane_P::HS_Intval_Scroll() {
    Timer1->SetInterval(HS_Intval->Value());
}

void Veltrane_P::Cmd_Set_Click() {
    // The number with a blank in the sign position, as the setting has always been written.
    IntervalText.assign(1, ' ');
    IntervalText += std::to_string(HS_Intval->Value());
    const std::string file = SettingsFilePath(host_.ProgramFolder());
    WriteSetting(kSettingsSection, kIntervalKey, IntervalText, file);
    if (LastApiResult == 0) {
        // Closing now would lose the user's choice without a word: say so and stay open. The
        // text and the file name are UTF-8 and reach the box through the wide API, so both read
        // right whatever the system's code page.
        const std::string text = "表示インターバルを次のファイルに保存できませんでした。\r\n" +
                                 file +
                                 "\r\n\r\nフォルダーが書き込み禁止かもしれません。"
                                 "設定画面は開いたままです。";
        host_.MessageBoxW(hWnd(), text, kApplicationTitle, platform::kMbOk);
        return;
    }
    window->Close();
}

void Veltrane_P::Cmd_Can_Click() {
    window->Close();
}

void Veltrane_P::lbl_URL_Click() {
    host_.SetMousePointer(platform::MousePointer::Hourglass);
    host_.ShellExecuteA(hWnd(), "open", lbl_URL->Text().c_str(), "", "", platform::kSwShowNormal);
    host_.SetMousePointer(platform::MousePointer::Default);
}

bool Veltrane_P::Form_KeyDown(int keyCode, int shift) {
    // Esc leaves as the close box does (Alt+Esc is the system's). Every other key goes on: the
    // bar moves by its arrows and page keys, and Space and Enter on a button do nothing.
    if (keyCode != platform::kVkEscape || (shift & platform::kAltMask) != 0) return false;
    window->Close();
    return true;
}

void Veltrane_P::Form_Unload() {
    ZoomClose(host_, hWnd());
}

}  // namespace Veltrane_B
