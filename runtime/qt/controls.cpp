// The controls, timers and menus on Qt Widgets: each one a widget or an
// object of the form's window, named after the control so tests find it.

#include "runtime/backend.h"
#include "runtime/basic.h"
#include "runtime/qt/formwindow.h"
#include "runtime/qt/look.h"
#include "runtime/qt/native.h"
#include "runtime/qt/widgets.h"

#include <QAccessible>
#include <QAction>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

namespace forms {

namespace qt {

TimerNative::~TimerNative()
{
    timer->stop();
    QObject::disconnect(timer, nullptr, nullptr, nullptr);
}

} // namespace qt

namespace backend {

using namespace qt;

namespace {

template <class W>
W *named(W *object, const std::string &name)
{
    object->setObjectName(QString::fromStdString(name));
    return object;
}

std::unique_ptr<Native> native(QWidget *widget, const Control &control)
{
    return std::make_unique<ControlNative>(named(widget, control.name()));
}

void setColors(QWidget *widget, Color back, Color fore)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, toQColor(back));
    palette.setColor(QPalette::WindowText, toQColor(fore));
    palette.setColor(QPalette::Button, toQColor(back));
    palette.setColor(QPalette::ButtonText, toQColor(fore));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QString text(const std::string &utf8)
{
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

QLabel *labelWidget(const Label &label)
{
    return static_cast<QLabel *>(widget(label));
}

} // namespace

std::unique_ptr<Native> makeLabel(Label &label)
{
    const LabelStyle &style = label.style();
    QLabel *widget = nullptr;
    if (style.accessibleName.empty()) {
        widget = new QLabel(client(label.parent()));
    } else {
        widget = new CounterLabel(client(label.parent()));
        widget->setAccessibleName(text(style.accessibleName));
    }
    widget->setTextFormat(Qt::PlainText);
    widget->setFont(toQFont(style.font));
    const Qt::Alignment alignment = style.alignment == Alignment::Right    ? Qt::AlignRight
                                    : style.alignment == Alignment::Center ? Qt::AlignHCenter
                                                                           : Qt::AlignLeft;
    widget->setAlignment(alignment | Qt::AlignTop);
    widget->setWordWrap(style.wordWrap);
    widget->setFocusPolicy(Qt::NoFocus);
    setColors(widget, style.backColor, style.foreColor);
    return native(widget, label);
}

void setText(Label &label)
{
    QLabel *widget = labelWidget(label);
    widget->setText(text(label.caption()));
    // A plain label announces its new text as its name (Qt does that); a
    // counter keeps its name and announces the new value.
    if (!label.style().accessibleName.empty() && QAccessible::isActive()) {
        QAccessibleValueChangeEvent event(widget, Val(label.caption()));
        QAccessible::updateAccessibility(&event);
    }
}

Size measureText(const Label &label, int wrapWidth)
{
    const QLabel *widget = labelWidget(label);
    const QFontMetrics metrics(widget->font());
    const QSize size =
        wrapWidth > 0 ? metrics.boundingRect(QRect(0, 0, wrapWidth, 100000), Qt::TextWordWrap, widget->text()).size()
                      : metrics.size(0, widget->text());
    return {size.width(), std::max(size.height(), metrics.height())};
}

std::unique_ptr<Native> makeImage(Image &image)
{
    return native(new ImageWidget(client(image.parent()), image), image);
}

std::unique_ptr<Native> makePictureBox(PictureBox &box)
{
    QWidget *widget = new PictureBoxWidget(client(box.parent()), box.style());
    widget->setFocusPolicy(Qt::NoFocus);
    return native(widget, box);
}

std::unique_ptr<Native> makeFrame(Frame &frame)
{
    auto *box = new QGroupBox(client(frame.parent()));
    box->setTitle(text(frame.style().caption));
    box->setFont(toQFont(Font {}));
    setColors(box, frame.style().backColor, frame.style().foreColor);
    return native(box, frame);
}

std::unique_ptr<Native> makeButton(CommandButton &button)
{
    auto *widget = new QPushButton(client(button.parent()));
    widget->setText(text(button.style().caption));
    widget->setFont(toQFont(Font {}));
    widget->setAutoDefault(false);
    widget->setDefault(button.style().isDefault);
    widget->setFocusPolicy(Qt::StrongFocus);
    QObject::connect(widget, &QPushButton::clicked, widget, [&button] { button.click(); });
    return native(widget, button);
}

std::unique_ptr<Native> makeShape(Shape &shape)
{
    return native(new DrawnWidget(client(shape.parent()), shape), shape);
}

std::unique_ptr<Native> makeLine(Line &line)
{
    return native(new DrawnWidget(client(line.parent()), line), line);
}

void place(Control &control, const Rect &rect)
{
    QWidget *widget = qt::widget(control);
    if (auto *image = dynamic_cast<ImageWidget *>(widget))
        image->place(); // on the device pixel its twips give
    else
        widget->setGeometry(rect.left, rect.top, rect.width, rect.height);
}

void setVisible(Control &control, bool visible)
{
    widget(control)->setVisible(visible);
}

void setZOrder(Control &control, bool front)
{
    if (front)
        widget(control)->raise();
    else
        widget(control)->lower();
}

std::unique_ptr<Native> makeTimer(Timer &timer)
{
    auto *qtimer = named(new QTimer(window(timer.form())), timer.name());
    qtimer->setTimerType(Qt::PreciseTimer);
    qtimer->setInterval(timer.interval());
    QObject::connect(qtimer, &QTimer::timeout, qtimer, [&timer] { timer.fire(); });
    return std::make_unique<TimerNative>(qtimer);
}

void startTimer(Timer &timer)
{
    qt::timer(timer)->start();
}

void stopTimer(Timer &timer)
{
    qt::timer(timer)->stop();
}

std::unique_ptr<Native> makeMenu(Menu &menu)
{
    QMenuBar *bar = formWindow(menu.form()).menuBar();
    QMenu *qmenu = named(new QMenu(text(menu.caption()), bar), menu.name());
    bar->addMenu(qmenu);
    return std::make_unique<MenuNative>(qmenu);
}

std::unique_ptr<Native> makeMenuItem(MenuItem &item)
{
    QAction *action = named(new QAction(text(item.caption()), qt::menu(item.menu())), item.name());
    if (!item.shortcut().empty())
        action->setShortcut(QKeySequence(text(item.shortcut())));
    action->setCheckable(item.checked());
    action->setChecked(item.checked());
    qt::menu(item.menu())->addAction(action);
    QObject::connect(action, &QAction::triggered, action, [&item, action] {
        action->setChecked(item.checked()); // Qt flipped it; the program decides
        item.pick();
    });
    return std::make_unique<MenuItemNative>(action);
}

void setChecked(MenuItem &item)
{
    QAction *action = qt::action(item);
    if (item.checked())
        action->setCheckable(true);
    action->setChecked(item.checked());
}

} // namespace backend
} // namespace forms
