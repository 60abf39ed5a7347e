#include "screens/frmabout.h"
#include "runtime/application.h"
#include "screens/sysinfo.h"

using namespace forms;

namespace {

const FormLayout layout {
    .caption = "Acerca del autor",
    .clientWidth = 5730,
    .clientHeight = 3555,
    .borderStyle = BorderStyle::FixedToolWindow,
    .showInTaskbar = false,
    .startUpPosition = StartUpPosition::Manual,
    .left = 2340,
    .top = 1890,
    .icon = {"about-16", "about-32"},
};

} // namespace

frmAbout::frmAbout()
    : Form("frmAbout", layout),
      // The box fits the 90 x 38 logo plus its two-pixel border.
      picIcon(*this, "picIcon", {120, 360, 1410, 630}, {.picture = "logo", .tabIndex = 1}),
      cmdOK(*this, "cmdOK", {4245, 2625, 1260, 345},
            {.caption = "OK", .tabIndex = 0, .isDefault = true, .isCancel = true}),
      cmdSysInfo(*this, "cmdSysInfo", {4260, 3075, 1245, 345}, {.caption = "&System Info...", .tabIndex = 2}),
      lblDescription(*this, "lblDescription", {1680, 1125, 3885, 1170},
                     {.caption = "Muchas gracias por usar este programa. Para más información, ayuda, trucos y más "
                                 "visite www.tabrinex.com.ar y www.korvofans.com.ar",
                      .foreColor = colors::Black,
                      .wordWrap = true,
                      .tabIndex = 3}),
      lblTitle(*this, "lblTitle", {1680, 240, 3885, 480},
               {.caption = "Tabrinex Korvo Game", .foreColor = colors::Black, .tabIndex = 5}),
      lblVersion(*this, "lblVersion", {1680, 780, 3885, 225},
                 {.caption = "Versión auto displayed", .foreColor = colors::Black, .tabIndex = 6}),
      // An etched separator: a white line under a grey one.
      Line1 {{
          Line(*this, "Line1(0)", 105, 2460, 5654, 2460, {.color = colors::White, .width = 2}),
          Line(*this, "Line1(1)", 90, 2445, 5654, 2445, {.color = Color::rgb(0x00808080)}),
      }}
{
    cmdOK.onClick([this] { cmdOK_Click(); });
    cmdSysInfo.onClick([this] { cmdSysInfo_Click(); });
}

void frmAbout::Form_Load()
{
    // The revision is left to the splash screen.
    const AppInfo &app = App();
    lblVersion.setCaption("Versión " + std::to_string(app.Major) + "." + std::to_string(app.Minor));
}

void frmAbout::cmdOK_Click()
{
    Unload(*this);
}

void frmAbout::cmdSysInfo_Click()
{
    StartSysInfo();
}

void frmAbout::StartSysInfo()
{
    if (sysinfo::StartSysInfo(*platform()) == sysinfo::Outcome::Unavailable)
        MsgBox(sysinfo::UnavailableMessage);
}

bool frmAbout::GetKeyValue(std::uint32_t KeyRoot, const std::string &KeyName, const std::string &SubKeyRef,
                           std::string &KeyVal)
{
    return sysinfo::GetKeyValue(*platform(), KeyRoot, KeyName, SubKeyRef, KeyVal);
}

std::unique_ptr<sysinfo::Platform> &frmAbout::platform()
{
    static std::unique_ptr<sysinfo::Platform> services = sysinfo::makeNativePlatform();
    return services;
}
