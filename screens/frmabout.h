#pragma once
// frmAbout: the About dialog, with the button that starts the system
// information tool.

#include "runtime/controls.h"
#include "runtime/form.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace sysinfo {
class Platform;
}

class frmAbout : public forms::Form
{
public:
    frmAbout();

    forms::PictureBox picIcon;
    forms::CommandButton cmdOK;
    forms::CommandButton cmdSysInfo;
    forms::Label lblDescription;
    forms::Label lblTitle;
    forms::Label lblVersion;
    std::array<forms::Line, 2> Line1;

    void Form_Load() override;
    void cmdOK_Click();
    void cmdSysInfo_Click();

    void StartSysInfo();
    bool GetKeyValue(std::uint32_t KeyRoot, const std::string &KeyName, const std::string &SubKeyRef,
                     std::string &KeyVal);

    // The registry, file and program services of the running system; tests
    // put an in-memory one in its place.
    static std::unique_ptr<sysinfo::Platform> &platform();
};
