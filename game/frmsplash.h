#pragma once
// frmSplash: the start-up screen with the product name and version, which
// gives way to the game window.

#include "runtime/controls.h"
#include "runtime/form.h"

class frmSplash : public forms::Form
{
public:
    frmSplash();

    forms::Frame Frame1;
    forms::Timer Timer1;
    forms::Image imgLogo;
    forms::Image Image1;
    forms::Label lblCompanyProduct;
    forms::Label lblProductName;
    forms::Label lblPlatform;
    forms::Label lblVersion;
    forms::Label lblCompany;

    void Form_Load() override;
    void Form_KeyPress(int &KeyAscii) override;
    void Timer1_Timer();
};
