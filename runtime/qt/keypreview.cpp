#include "runtime/qt/keypreview.h"
#include "runtime/form.h"
#include "runtime/keyboard.h"
#include "runtime/qt/formwindow.h"
#include "runtime/qt/native.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QShortcut>

namespace forms::qt {

namespace {

// A Qt key as the runtime names it; keys it has no name for stay apart.
int runtimeKey(int key)
{
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return keys::Enter;
    case Qt::Key_Escape:
        return keys::Escape;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return keys::Tab;
    case Qt::Key_Space:
        return keys::Space;
    default:
        if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
            return keys::F1 + (key - Qt::Key_F1);
        if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z))
            return key; // the same codes
        return 0x10000 + key;
    }
}

class KeyPreview : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride && type != QEvent::KeyRelease)
            return false;
        auto *key = static_cast<QKeyEvent *>(event);
        const int code = runtimeKey(key->key());
        if (type == QEvent::KeyRelease) {
            if (!key->isAutoRepeat())
                m_releasedAt = {code, key->timestamp()};
            return false;
        }
        // An X server repeats a held key as a release and a press with the
        // same time, which Qt flags as a repeat only when both have arrived.
        const bool repeat =
            key->isAutoRepeat() || (m_releasedAt.second != 0 && m_releasedAt == std::pair(code, key->timestamp()));
        if (Keyboard::instance().dropsRepeat(code, repeat)) {
            // An accepted override keeps the key from the window's shortcuts.
            event->accept();
            return true;
        }
        if (type != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        // Only the first delivery of a key counts, not its way up through the
        // parents.
        auto *widget = static_cast<QWidget *>(watched);
        QWidget *focus = QApplication::focusWidget();
        const bool first = widget == focus || (widget->isWindow() && (!focus || focus->window() != widget));
        if (!first || qobject_cast<QMenuBar *>(widget))
            return false;
        Form *form = FormWindow::formOf(widget->window());
        const QString text = key->text();
        if (!form || text.isEmpty())
            return false;
        return Keyboard::instance().character(*form, text.at(0).unicode(), code);
    }

private:
    std::pair<int, quint64> m_releasedAt {0, 0}; // the last key released, and when
};

} // namespace

void installKeyPreview(QApplication &app)
{
    app.installEventFilter(new KeyPreview(&app));
}

void bindButtonKeys(Form &form, std::initializer_list<Qt::Key> qtKeys, int key)
{
    for (Qt::Key qtKey : qtKeys) {
        auto *shortcut = new QShortcut(QKeySequence(qtKey), window(form));
        shortcut->setContext(Qt::WindowShortcut);
        // The click may take the form, its window and this shortcut with it.
        QObject::connect(shortcut, &QShortcut::activated, shortcut,
                         [&form, key] { Keyboard::instance().pressButton(form, key); });
    }
}

} // namespace forms::qt
