#include "runtime/controls.h"
#include "runtime/basic.h"
#include "runtime/form.h"
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
#include <cmath>

namespace forms {

namespace {

// Each Qt object is named after its control, so tests find it.
template <class W>
W *named(W *object, const std::string &name)
{
    object->setObjectName(QString::fromStdString(name));
    return object;
}

std::unique_ptr<Control::Native> makeNative(QWidget *widget, const std::string &name)
{
    return std::make_unique<Control::Native>(Control::Native {named(widget, name)});
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

} // namespace

Control::Control(std::string name, std::unique_ptr<Native> native)
    : m_name(std::move(name)),
      m_native(std::move(native))
{ }

Control::~Control() = default;

bool Control::visible() const
{
    return !m_native->widget->isHidden();
}

void Control::setVisible(bool visible)
{
    m_native->widget->setVisible(visible);
}

void Control::ZOrder(int position)
{
    if (position == 0)
        m_native->widget->raise();
    else
        m_native->widget->lower();
}

namespace {

QLabel *makeLabel(QWidget *parent, const LabelStyle &style)
{
    if (style.accessibleName.empty())
        return new QLabel(parent);
    auto *counter = new CounterLabel(parent);
    counter->setAccessibleName(text(style.accessibleName));
    return counter;
}

QLabel *label(const Control &control)
{
    return static_cast<QLabel *>(qt::widget(control));
}

// The label takes the size of its text; a right-aligned label keeps its
// right edge, the others their left.
void fitToText(QLabel *label, const Bounds &bounds, const LabelStyle &style)
{
    const QRect box = toPixels(bounds);
    const QFontMetrics metrics(label->font());
    QSize size = metrics.size(0, label->text());
    if (style.wordWrap)
        size = metrics.boundingRect(QRect(0, 0, box.width(), 100000), Qt::TextWordWrap, label->text()).size();
    size.setWidth(std::max(size.width(), 1));
    size.setHeight(std::max(size.height(), metrics.height()));
    QRect fitted(box.topLeft(), size);
    if (style.alignment == Alignment::Right)
        fitted.moveRight(box.right());
    label->setGeometry(fitted);
}

} // namespace

Label::Label(Container &parent, std::string name, Bounds bounds, const LabelStyle &style)
    : Control(name, makeNative(makeLabel(qt::client(parent), style), name)),
      m_bounds(bounds),
      m_style(style)
{
    QLabel *widget = label(*this);
    widget->setTextFormat(Qt::PlainText);
    widget->setFont(toQFont(style.font));
    Qt::Alignment alignment = Qt::AlignTop;
    alignment |= style.alignment == Alignment::Right    ? Qt::AlignRight
                 : style.alignment == Alignment::Center ? Qt::AlignHCenter
                                                        : Qt::AlignLeft;
    widget->setAlignment(alignment);
    widget->setWordWrap(style.wordWrap);
    widget->setFocusPolicy(Qt::NoFocus);
    setColors(widget, style.backColor, style.foreColor);
    widget->setGeometry(toPixels(bounds));
    setCaption(style.caption);
}

void Label::setCaption(const std::string &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    QLabel *widget = label(*this);
    widget->setText(text(caption));
    if (m_style.autoSize)
        fitToText(widget, m_bounds, m_style);
    // A plain label announces its new text as its name (Qt does that); a
    // counter keeps its name and announces the new value.
    if (!m_style.accessibleName.empty() && QAccessible::isActive()) {
        QAccessibleValueChangeEvent event(widget, Val(caption));
        QAccessible::updateAccessibility(&event);
    }
}

Image::Image(Container &parent, std::string name, Bounds bounds, const ImageStyle &style)
    : Control(
        name,
        makeNative(new ImageWidget(qt::client(parent), style.picture, style.stretch, toPixels(bounds).size()), name)),
      m_left(float(bounds.left)),
      m_top(float(bounds.top))
{
    place();
}

void Image::place()
{
    static_cast<ImageWidget *>(qt::widget(*this))->moveTo(m_left, m_top);
}

PictureBox::PictureBox(Container &parent, std::string name, Bounds bounds, const PictureBoxStyle &style)
    : Control(name, makeNative(new PictureBoxWidget(qt::client(parent), style), name))
{
    qt::widget(*this)->setGeometry(toPixels(bounds));
    qt::widget(*this)->setFocusPolicy(Qt::NoFocus);
}

Frame::Frame(Container &parent, std::string name, Bounds bounds, const FrameStyle &style)
    : Control(name, makeNative(new QGroupBox(qt::client(parent)), name)),
      m_owner(parent.owner())
{
    auto *box = static_cast<QGroupBox *>(qt::widget(*this));
    box->setTitle(text(style.caption));
    box->setFont(toQFont(Font {}));
    setColors(box, style.backColor, style.foreColor);
    box->setGeometry(toPixels(bounds));
}

CommandButton::CommandButton(Container &parent, std::string name, Bounds bounds, const ButtonStyle &style)
    : Control(name, makeNative(new QPushButton(qt::client(parent)), name)),
      m_tabIndex(style.tabIndex)
{
    auto *button = static_cast<QPushButton *>(qt::widget(*this));
    button->setText(text(style.caption));
    button->setFont(toQFont(Font {}));
    button->setGeometry(toPixels(bounds));
    button->setAutoDefault(false);
    button->setDefault(style.isDefault);
    button->setFocusPolicy(Qt::StrongFocus);
    QObject::connect(button, &QPushButton::clicked, button, [this] {
        if (m_click)
            Dispatcher::instance().dispatch(this, m_click);
    });
    parent.owner().add(*this, style.isDefault, style.isCancel);
}

void CommandButton::click()
{
    auto *button = static_cast<QPushButton *>(qt::widget(*this));
    if (button->isEnabled() && button->isVisibleTo(button->window()))
        button->click();
}

Shape::Shape(Container &parent, std::string name, Bounds bounds, const ShapeStyle &style)
    : Control(name, makeNative(new ShapeWidget(qt::client(parent), style), name))
{
    qt::widget(*this)->setGeometry(toPixels(bounds));
}

namespace {
QWidget *makeLine(QWidget *parent, int x1, int y1, int x2, int y2, const LineStyle &style)
{
    // The widget covers the line's bounding box plus the pen; the line is
    // drawn through the middle of its pixels.
    const QPoint a(toPixels(x1), toPixels(y1));
    const QPoint b(toPixels(x2), toPixels(y2));
    const int pad = std::max(1, style.width);
    const QRect box = QRect(a, b).normalized().adjusted(-pad, -pad, pad, pad);
    const QPointF half = style.width % 2 ? QPointF(0.5, 0.5) : QPointF(0, 0);
    const QLineF line(QPointF(a - box.topLeft()) + half, QPointF(b - box.topLeft()) + half);
    auto *widget = new LineWidget(parent, line, style);
    widget->setGeometry(box);
    return widget;
}
} // namespace

Line::Line(Container &parent, std::string name, int x1, int y1, int x2, int y2, const LineStyle &style)
    : Control(name, makeNative(makeLine(qt::client(parent), x1, y1, x2, y2, style), name))
{ }

Timer::Timer(Form &form, std::string name, int intervalMs, bool enabled)
    : m_name(std::move(name)),
      m_native(std::make_unique<Native>(Native {named(new QTimer(qt::window(form)), m_name)})),
      m_interval(intervalMs)
{
    QTimer *timer = m_native->timer;
    timer->setTimerType(Qt::PreciseTimer);
    timer->setInterval(intervalMs);
    QObject::connect(timer, &QTimer::timeout, timer, [this] {
        // Ticks that fall due while a handler runs wait for it, once.
        Dispatcher::instance().dispatch(
            this, [this] { tick(); }, this);
    });
    form.add(*this);
    setEnabled(enabled);
}

Timer::~Timer()
{
    m_native->timer->stop();
    QObject::disconnect(m_native->timer, nullptr, nullptr, nullptr);
}

void Timer::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    if (enabled && m_interval > 0)
        m_native->timer->start();
    else
        m_native->timer->stop();
}

Menu::Menu(Form &form, std::string name, const std::string &caption) : m_name(std::move(name))
{
    QMenuBar *bar = form.native().window->menuBar();
    m_native = std::make_unique<Native>(Native {named(new QMenu(text(caption), bar), m_name)});
    bar->addMenu(m_native->menu);
}

Menu::~Menu() = default;

MenuItem::MenuItem(Menu &menu, std::string name, const MenuItemStyle &style)
    : m_name(std::move(name)),
      m_native(std::make_unique<Native>(Native {named(new QAction(text(style.caption), qt::menu(menu)), m_name)})),
      m_checked(style.checked)
{
    QAction *action = m_native->action;
    if (!style.shortcut.empty())
        action->setShortcut(QKeySequence(text(style.shortcut)));
    action->setCheckable(style.checked);
    action->setChecked(style.checked);
    qt::menu(menu)->addAction(action);
    QObject::connect(action, &QAction::triggered, action, [this] {
        m_native->action->setChecked(m_checked); // Qt flipped it; the program decides
        if (m_click)
            Dispatcher::instance().dispatch(this, m_click);
    });
}

MenuItem::~MenuItem() = default;

void MenuItem::setChecked(bool checked)
{
    m_checked = checked;
    if (checked)
        m_native->action->setCheckable(true);
    m_native->action->setChecked(checked);
}

} // namespace forms
