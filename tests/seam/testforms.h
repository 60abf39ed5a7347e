#pragma once
// Small forms with the pieces the runtime offers, counting what happens to
// them, and the fixture every case of the seam suite starts with.

#include "driver.h"
#include "runtime/application.h"
#include "runtime/controls.h"
#include "runtime/form.h"

#include <vector>

// Each case starts from nothing and leaves nothing behind.
struct Fresh
{
    Fresh() { driver::fresh(); }
    ~Fresh() { driver::fresh(); }
    Fresh(const Fresh &) = delete;
    Fresh &operator=(const Fresh &) = delete;
};

class TestForm : public forms::Form
{
public:
    static inline int loads = 0;

    TestForm()
        : Form("TestForm", {.caption = "Prueba",
                            .clientWidth = 4500,
                            .clientHeight = 3000,
                            .borderStyle = forms::BorderStyle::FixedSingle}),
          cmdOK(*this, "cmdOK", {150, 150, 1200, 375}, {.caption = "OK", .tabIndex = 1, .isDefault = true}),
          cmdOther(*this, "cmdOther", {150, 750, 1200, 375}, {.caption = "Otro", .tabIndex = 0}),
          cmdCancel(*this, "cmdCancel", {150, 1350, 1200, 375},
                    {.caption = "Cancelar", .tabIndex = 2, .isCancel = true}),
          lblRight(*this, "lblRight", {1500, 150, 2400, 285},
                   {.caption = "x", .alignment = forms::Alignment::Right, .autoSize = true}),
          imgBall(*this, "imgBall", {1500, 1500, 1035, 1095}, {.picture = "none"}),
          Timer1(*this, "Timer1", 10, false)
    {
        cmdOK.onClick([this] { ++okClicks; });
        cmdOther.onClick([this] { ++otherClicks; });
        cmdCancel.onClick([this] { ++cancelClicks; });
        Timer1.onTimer([this] { ++ticks; });
    }

    void Form_Load() override
    {
        ++loads;
        ++myLoads;
    }

    forms::CommandButton cmdOK;
    forms::CommandButton cmdOther;
    forms::CommandButton cmdCancel;
    forms::Label lblRight;
    forms::Image imgBall;
    forms::Timer Timer1;
    int okClicks = 0, otherClicks = 0, cancelClicks = 0, ticks = 0, myLoads = 0;
};

class PreviewForm : public forms::Form
{
public:
    PreviewForm() : Form("PreviewForm", {.clientWidth = 3000, .clientHeight = 1500, .keyPreview = true}) { }
    void Form_KeyPress(int &KeyAscii) override
    {
        keys.push_back(KeyAscii);
        if (KeyAscii == 'q')
            forms::Unload(*this);
        if (KeyAscii == 'z')
            KeyAscii = 0;
    }
    std::vector<int> keys;
};

class OtherForm : public forms::Form
{
public:
    OtherForm() : Form("OtherForm", {.caption = "Otra", .clientWidth = 1500, .clientHeight = 1500}) { }
};

// Every message box the program shows, answered at once unless `inside` is
// set: then it runs while the box is up, as the player reads.
struct Boxes
{
    Boxes()
    {
        forms::Application::instance().setMessageBoxHook([this](const std::string &title, const std::string &text) {
            titles.push_back(title);
            texts.push_back(text);
            if (inside)
                inside();
        });
    }
    std::vector<std::string> titles;
    std::vector<std::string> texts;
    std::function<void()> inside;
};
