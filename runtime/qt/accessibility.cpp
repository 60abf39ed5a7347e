#include "runtime/qt/accessibility.h"
#include "runtime/basic.h"
#include "runtime/form.h"
#include "runtime/qt/formwindow.h"
#include "runtime/qt/widgets.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>

namespace forms::qt {

namespace {

// A counter: its accessible name says what it counts and its caption is the
// number, so a screen reader reads "Veces que tiró: 3" rather than a bare "3".
class CounterAccessible : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    explicit CounterAccessible(CounterLabel *label) : QAccessibleWidget(label, QAccessible::StaticText) { }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return label()->text();
        return QAccessibleWidget::text(t);
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // The caption is read the way the game reads it: empty is 0.
    QVariant currentValue() const override { return Val(label()->text().toStdString()); }
    void setCurrentValue(const QVariant &) override { } // only the game counts
    QVariant maximumValue() const override { return {}; }
    QVariant minimumValue() const override { return 0.0; }
    QVariant minimumStepSize() const override { return 1.0; }

private:
    QLabel *label() const { return static_cast<QLabel *>(widget()); }
};

QAccessibleInterface *accessibleFor(const QString &, QObject *object)
{
    // A screen reader announces a window that comes up when it is a frame or
    // a dialog; Qt would call a form's plain widget window a filler.
    if (auto *window = dynamic_cast<FormWindow *>(object)) {
        switch (window->form().look().role) {
        case WindowLook::Role::Frame:
            return new QAccessibleWidget(window, QAccessible::Window);
        case WindowLook::Role::Dialog:
            return new QAccessibleWidget(window, QAccessible::Dialog);
        case WindowLook::Role::Bare:
            return nullptr;
        }
    }
    if (auto *counter = dynamic_cast<CounterLabel *>(object))
        return new CounterAccessible(counter);
    // Pictures carry the title of their artwork as their name.
    if (auto *image = dynamic_cast<ImageWidget *>(object))
        return new QAccessibleWidget(image, QAccessible::Graphic);
    if (auto *box = dynamic_cast<PictureBoxWidget *>(object))
        return new QAccessibleWidget(box, QAccessible::Graphic);
    return nullptr;
}

} // namespace

void installAccessibility()
{
    QAccessible::installFactory(accessibleFor);
}

} // namespace forms::qt
