#pragma once

// What several test programs do to reach the game as a player meets it.

#include "runtime/qt/native.h"
#include "runtime/controls.h"
#include "game/form1.h"
#include "game/frmsplash.h"
#include "screens/frmabout.h"
#include "runtime/form.h"

#include <QString>
#include <QtTest>

// The game window, shown and active, as it is once the splash has gone.
inline Form1 &shownGame()
{
    Form1 &game = forms::instance<Form1>();
    game.Show();
    if (!QTest::qWaitForWindowActive(forms::qt::window(game)))
        qWarning("the game window did not become active");
    return game;
}

// A form by the name a data row gives it.
inline forms::Form &formNamed(const std::string &name)
{
    if (name == "frmSplash")
        return forms::instance<frmSplash>();
    if (name == "frmAbout")
        return forms::instance<frmAbout>();
    return forms::instance<Form1>();
}

// A label's caption as the player reads it.
inline QString text(const forms::Label &label)
{
    return QString::fromStdString(label.caption());
}
