#pragma once
// Form1: the game window, with the target, the two balls, the buttons, the
// message line and the statistics panel.

#include "runtime/basic.h"
#include "runtime/controls.h"
#include "runtime/form.h"

class Form1 : public forms::Form
{
public:
    Form1();

    // The controls, in the order they are stored.
    forms::Frame Frame1;
    forms::Label Label2;
    forms::Label Label3;
    forms::Label Label4;
    forms::Label Label5;
    forms::Label lblIntentos;
    forms::Label lblEncesto;
    forms::Label lblErro;
    forms::Label lblPorc;
    forms::PictureBox Picture4;
    forms::PictureBox Picture3;
    forms::CommandButton cmdReset;
    forms::Timer Timer2;
    forms::Timer Timer1;
    forms::CommandButton cmdTirar;
    forms::Image Picture2;
    forms::Image Picture1;
    forms::Label Label1;
    forms::Label lbl;
    forms::Shape Shape1;

    forms::Menu geg;
    forms::MenuItem mnuSalir;
    forms::Menu mnefwf;
    forms::MenuItem mnuStats;
    forms::Menu fhrfdh;
    forms::MenuItem mnuAbout;

    // The stop the running sweep shows at its next tick, and whether it
    // counts down (-1) or up (0). Both sweeps share them.
    forms::Integer paso = 0;
    forms::Integer reversa = 0;

    void Timer1_Timer();
    void Timer2_Timer();
    void cmdTirar_Click();
    void cmdReset_Click();
    void mnuStats_Click();
    void mnuSalir_Click();
    void mnuAbout_Click();
};
