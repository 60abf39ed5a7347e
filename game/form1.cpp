#include "game/form1.h"
#include "game/aim.h"
#include "game/shot.h"
#include "runtime/application.h"
#include "screens/frmabout.h"

using namespace forms;

namespace {

const FormLayout layout {
    .caption = "Korvo Game",
    .clientWidth = 10350,
    .clientHeight = 7860,
    .borderStyle = BorderStyle::FixedSingle,
    .backColor = colors::MenuText,
    .icon = {"icon-16", "icon-32"},
};

} // namespace

Form1::Form1()
    : Form("Form1", layout),
      Frame1(*this, "Frame1", {480, 5400, 3255, 1695}, {.caption = "Estadísticas", .tabIndex = 6}),
      Label2(Frame1, "Label2", {360, 360, 1455, 255}, {.caption = "Veces que tiró:", .tabIndex = 7}),
      Label3(Frame1, "Label3", {360, 600, 1455, 255}, {.caption = "Veces que encestó:", .tabIndex = 8}),
      Label4(Frame1, "Label4", {360, 840, 1455, 255}, {.caption = "Veces que erró:", .tabIndex = 9}),
      Label5(Frame1, "Label5", {360, 1080, 1335, 255}, {.caption = "Efectividad:", .tabIndex = 10}),
      // A screen reader reads each count under the name of what it counts.
      lblIntentos(Frame1, "lblIntentos", {2040, 360, 495, 255}, {.tabIndex = 11, .accessibleName = "Veces que tiró"}),
      lblEncesto(Frame1, "lblEncesto", {2040, 600, 735, 255}, {.tabIndex = 12, .accessibleName = "Veces que encestó"}),
      lblErro(Frame1, "lblErro", {2040, 840, 615, 255}, {.tabIndex = 13, .accessibleName = "Veces que erró"}),
      lblPorc(Frame1, "lblPorc", {2040, 1080, 495, 255}, {.tabIndex = 14, .accessibleName = "Efectividad"}),
      Picture4(*this, "Picture4", {240, 480, 1455, 615},
               {.picture = "logo", .backColor = colors::MenuText, .border = false, .tabIndex = 4}),
      Picture3(*this, "Picture3", {5880, 360, 4335, 6615},
               {.picture = "dunk",
                .backColor = colors::WindowBackground,
                .foreColor = colors::WindowText,
                .border = false,
                .tabIndex = 3}),
      cmdReset(*this, "cmdReset", {4320, 4440, 1095, 375}, {.caption = "Reiniciar", .tabIndex = 2}),
      Timer2(*this, "Timer2", 100, false),
      Timer1(*this, "Timer1", 100, true),
      cmdTirar(*this, "cmdTirar", {4320, 3120, 1095, 975}, {.caption = "Tirar", .tabIndex = 0, .isDefault = true}),
      Picture2(*this, "Picture2", {600, 1920, 1035, 1095}, {.picture = "ball"}),
      Picture1(*this, "Picture1", {2760, 240, 1035, 1095}, {.picture = "ball"}),
      Label1(*this, "Label1", {120, 7320, 5295, 495},
             {.caption = "www.tabrinex.com.ar",
              .font = {.name = "Comic Sans MS", .size = 14.25},
              .backColor = colors::MenuText,
              .foreColor = colors::HighlightText,
              .tabIndex = 5}),
      lbl(*this, "lbl", {120, 4920, 4215, 375},
          {.backColor = colors::ButtonText, .foreColor = colors::HighlightText, .tabIndex = 1}),
      Shape1(*this, "Shape1", {2280, 1440, 1935, 2055},
             {.shape = ShapeKind::Circle,
              .borderWidth = 2,
              .borderColor = colors::TitleBarText,
              .fillStyle = FillStyle::DiagonalCross,
              .fillColor = colors::White}),
      geg(*this, "geg", "Archivo"),
      mnuSalir(geg, "mnuSalir", {.caption = "Salir", .shortcut = "F4"}),
      mnefwf(*this, "mnefwf", "Herramientas"),
      mnuStats(mnefwf, "mnuStats", {.caption = "Estadísticas visibles", .shortcut = "F8", .checked = true}),
      fhrfdh(*this, "fhrfdh", "Ayuda"),
      mnuAbout(fhrfdh, "mnuAbout", {.caption = "Acerca...", .shortcut = "F1"})
{
    // The balls fly in front of the ring.
    Shape1.ZOrder(1);

    Timer1.onTimer([this] { Timer1_Timer(); });
    Timer2.onTimer([this] { Timer2_Timer(); });
    cmdTirar.onClick([this] { cmdTirar_Click(); });
    cmdReset.onClick([this] { cmdReset_Click(); });
    mnuSalir.onClick([this] { mnuSalir_Click(); });
    mnuStats.onClick([this] { mnuStats_Click(); });
    mnuAbout.onClick([this] { mnuAbout_Click(); });
}

void Form1::Timer1_Timer()
{
    if (const auto stop = aim::tick(paso, reversa, aim::horizontalStops))
        Picture2.setLeft(float(*stop));
}

void Form1::Timer2_Timer()
{
    if (const auto stop = aim::tick(paso, reversa, aim::verticalStops))
        Picture1.setTop(float(*stop));
}

void Form1::cmdTirar_Click()
{
    if (Timer1.enabled()) {
        Timer1.setEnabled(false);
        lbl.setCaption("Ahora tirá la otra pelota");
        Timer2.setEnabled(true);
    } else if (Timer2.enabled()) {
        Timer2.setEnabled(false);
        lbl.setCaption("");
        if (shot::scores(Picture2.left(), [this] { return Picture1.top(); })) {
            MsgBox("Encestaste!!!!!!!");
            shot::addOne(lblEncesto);
        } else {
            MsgBox("Erraste");
            shot::addOne(lblErro);
        }
        shot::addOne(lblIntentos);
        lblPorc.setCaption(numberToText(shot::effectiveness(Val(lblEncesto.caption()), Val(lblIntentos.caption()))));
    } else {
        MsgBox("Presione reiniciar para tirar de nuevo");
    }
    // Only the index goes back to the start: the direction stays as the last
    // sweep left it.
    paso = 0;
}

void Form1::cmdReset_Click()
{
    paso = 0;
    reversa = 0;
    Timer1.setEnabled(true);
    lbl.setCaption("");
    Picture1.setTop(0);
}

void Form1::mnuStats_Click()
{
    if (mnuStats.checked()) {
        Frame1.setVisible(false);
        mnuStats.setChecked(false);
    } else {
        Frame1.setVisible(true);
        mnuStats.setChecked(true);
    }
}

void Form1::mnuSalir_Click()
{
    End();
}

void Form1::mnuAbout_Click()
{
    forms::instance<frmAbout>().Show();
}
