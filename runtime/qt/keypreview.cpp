#include "runtime/qt/keypreview.h"
#include "runtime/dispatcher.h"
#include "runtime/form.h"
#include "runtime/qt/formwindow.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPointer>

namespace forms {

namespace {

class KeyPreview : public QObject
{
public:
    using QObject::QObject;

    void spend(int key)
    {
        m_spentKey = key;
        m_releasedAt = 0;
    }
    void forget() { spend(0); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (dropsRepeat(event))
            return true;
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        // Only the first delivery of a key counts, not its way up through the
        // parents.
        auto *widget = static_cast<QWidget *>(watched);
        QWidget *focus = QApplication::focusWidget();
        const bool first = widget == focus || (widget->isWindow() && (!focus || focus->window() != widget));
        if (!first || qobject_cast<QMenuBar *>(widget))
            return false;
        Form *form = FormWindow::formOf(widget->window());
        auto *key = static_cast<QKeyEvent *>(event);
        const QString text = key->text();
        if (!form || text.isEmpty() || Dispatcher::instance().busy())
            return false;
        bool swallowed = false;
        bool closed = false;
        const int keyAscii = text.at(0).unicode();
        Dispatcher::instance().dispatch(form, [form, keyAscii, &swallowed, &closed] {
            swallowed = form->pressKey(keyAscii);
            closed = !form->isLoaded();
        });
        if (closed)
            spend(key->key());
        return swallowed;
    }

private:
    // A key that closed its form has done its work: while it is still held,
    // its repeats must not act in the window that takes the form's place
    // (Enter held to skip the splash would shoot). Releasing the key and
    // pressing it again ends that.
    bool dropsRepeat(QEvent *event)
    {
        const QEvent::Type type = event->type();
        if (!m_spentKey || (type != QEvent::KeyPress && type != QEvent::ShortcutOverride && type != QEvent::KeyRelease))
            return false;
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() != m_spentKey)
            return false;
        if (type == QEvent::KeyRelease) {
            if (!key->isAutoRepeat())
                m_releasedAt = key->timestamp();
            return false;
        }
        // An X server repeats a held key as a release and a press with the
        // same time, which Qt flags as a repeat only when both have arrived.
        const bool repeat = key->isAutoRepeat() || (m_releasedAt != 0 && key->timestamp() == m_releasedAt);
        if (!repeat) {
            forget();
            return false;
        }
        // An accepted override keeps the key from the window's shortcuts.
        event->accept();
        return true;
    }

    int m_spentKey = 0;
    quint64 m_releasedAt = 0; // time of the key's last release, if any
};

QPointer<KeyPreview> &keyPreview()
{
    static QPointer<KeyPreview> filter;
    return filter;
}

} // namespace

void installKeyPreview(QApplication &app)
{
    keyPreview() = new KeyPreview(&app);
    app.installEventFilter(keyPreview());
}

void spendKey(int key)
{
    if (keyPreview())
        keyPreview()->spend(key);
}

void forgetSpentKey()
{
    if (keyPreview())
        keyPreview()->forget();
}

} // namespace forms
