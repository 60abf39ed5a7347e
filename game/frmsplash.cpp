#include "game/frmsplash.h"
#include "runtime/application.h"
#include "game/form1.h"

#include <string>

using namespace forms;

namespace {

constexpr Color Blue = Color::rgb(0x00FF0000);

const FormLayout layout {
    .clientWidth = 7380,
    .clientHeight = 4245,
    .borderStyle = BorderStyle::FixedDialog,
    .controlBox = false,
    .showInTaskbar = false,
    .startUpPosition = StartUpPosition::CenterScreen,
    .backColor = Color::rgb(0x00C00000),
    .keyPreview = true,
};

LabelStyle credit(std::string caption, Font font, Alignment alignment = Alignment::Left, bool autoSize = true)
{
    return {.caption = std::move(caption),
            .font = std::move(font),
            .backColor = Blue,
            .foreColor = colors::HighlightText,
            .alignment = alignment,
            .autoSize = autoSize};
}

} // namespace

frmSplash::frmSplash()
    : Form("frmSplash", layout),
      Frame1(*this, "Frame1", {120, 120, 7080, 4050}, {.backColor = Blue}),
      Timer1(*this, "Timer1", 1500, true),
      imgLogo(Frame1, "imgLogo", {360, 240, 1575, 1665}, {.picture = "splash-dunk-1", .stretch = true}),
      Image1(Frame1, "Image1", {360, 2040, 1560, 1950}, {.picture = "splash-dunk-2"}),
      lblCompanyProduct(Frame1, "lblCompanyProduct", {2355, 705, 1995, 435},
                        credit("Tabrinex™", {.name = "Arial", .size = 18, .bold = true})),
      lblProductName(Frame1, "lblProductName", {2400, 1080, 3135, 690},
                     credit("Korvo Game", {.name = "Compacta Blk BT", .size = 27.75})),
      lblPlatform(
          Frame1, "lblPlatform", {3165, 2340, 3690, 285},
          credit("Para Windows 95/98/NT/2000/XP", {.name = "Arial", .size = 12, .bold = true}, Alignment::Right)),
      lblVersion(Frame1, "lblVersion", {4845, 2700, 2010, 285},
                 credit("Version auto disp", {.name = "Arial", .size = 12, .bold = true}, Alignment::Right)),
      lblCompany(Frame1, "lblCompany", {4560, 3270, 2415, 255},
                 credit("Tabrinex Software", {.name = "Arial", .size = 8.25}, Alignment::Left, false))
{
    Timer1.onTimer([this] { Timer1_Timer(); });
}

void frmSplash::Form_Load()
{
    const AppInfo &app = App();
    lblVersion.setCaption("Version " + std::to_string(app.Major) + "." + std::to_string(app.Minor) + "."
                          + std::to_string(app.Revision));
}

void frmSplash::Timer1_Timer()
{
    Unload(*this);
    instance<Form1>().Show();
}

void frmSplash::Form_KeyPress(int &KeyAscii)
{
    // A player who presses a key on a splash screen wants the game sooner,
    // not to lose it: a key skips the wait and opens the game at once.
    (void)KeyAscii;
    Timer1_Timer();
}
