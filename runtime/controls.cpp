#include "runtime/controls.h"
#include "runtime/application.h"
#include "runtime/basic.h"
#include "runtime/form.h"
#include "runtime/formwindow.h"
#include "runtime/picture.h"
#include "runtime/widgets.h"

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

template <class W>
W *named(W *widget, const std::string &name)
{
    widget->setObjectName(QString::fromStdString(name));
    return widget;
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

std::string utf8(const QString &text)
{
    return text.toStdString();
}

} // namespace

Control::Control(std::string name, QWidget *widget) : m_name(std::move(name)), m_widget(widget) { }

bool Control::visible() const
{
    return !m_widget->isHidden();
}

void Control::setVisible(bool visible)
{
    m_widget->setVisible(visible);
}

void Control::ZOrder(int position)
{
    if (position == 0)
        m_widget->raise();
    else
        m_widget->lower();
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
} // namespace

Label::Label(Container &parent, std::string name, Bounds bounds, const LabelStyle &style)
    : Control(name, named(makeLabel(parent.containerWidget(), style), name)), m_bounds(bounds), m_style(style)
{
    m_label = static_cast<QLabel *>(m_widget);
    m_label->setTextFormat(Qt::PlainText);
    m_label->setFont(toQFont(style.font));
    Qt::Alignment alignment = Qt::AlignTop;
    alignment |= style.alignment == Alignment::Right  ? Qt::AlignRight
                 : style.alignment == Alignment::Center ? Qt::AlignHCenter
                                                        : Qt::AlignLeft;
    m_label->setAlignment(alignment);
    m_label->setWordWrap(style.wordWrap);
    m_label->setFocusPolicy(Qt::NoFocus);
    setColors(m_label, style.backColor, style.foreColor);
    m_label->setGeometry(toPixels(bounds));
    setCaption(style.caption);
}

std::string Label::caption() const
{
    return utf8(m_label->text());
}

void Label::setCaption(const std::string &caption)
{
    const QString value = text(caption);
    if (value == m_label->text())
        return;
    m_label->setText(value);
    if (m_style.autoSize)
        fitToText();
    // A plain label announces its new text as its name (Qt does that); a
    // counter keeps its name and announces the new value.
    if (!m_style.accessibleName.empty() && QAccessible::isActive()) {
        QAccessibleValueChangeEvent event(m_label, Val(caption));
        QAccessible::updateAccessibility(&event);
    }
}

void Label::fitToText()
{
    // The label takes the size of its text; a right-aligned label keeps its
    // right edge, the others their left.
    const QRect box = toPixels(m_bounds);
    const QFontMetrics metrics(m_label->font());
    QSize size = metrics.size(0, m_label->text());
    if (m_style.wordWrap)
        size = metrics.boundingRect(QRect(0, 0, box.width(), 100000), Qt::TextWordWrap, m_label->text()).size();
    size.setWidth(std::max(size.width(), 1));
    size.setHeight(std::max(size.height(), metrics.height()));
    QRect fitted(box.topLeft(), size);
    if (m_style.alignment == Alignment::Right)
        fitted.moveRight(box.right());
    m_label->setGeometry(fitted);
}

Image::Image(Container &parent, std::string name, Bounds bounds, const ImageStyle &style)
    : Control(name, nullptr), m_left(float(bounds.left)), m_top(float(bounds.top))
{
    const QRect box = toPixels(bounds);
    m_image = named(new ImageWidget(parent.containerWidget(), style.picture, style.stretch, box.size()), name);
    m_widget = m_image;
    place();
}

void Image::setLeft(float left)
{
    if (left != m_left) {
        m_left = left;
        place();
    }
}

void Image::setTop(float top)
{
    if (top != m_top) {
        m_top = top;
        place();
    }
}

void Image::place()
{
    m_image->moveTo(m_left, m_top);
}

PictureBox::PictureBox(Container &parent, std::string name, Bounds bounds, const PictureBoxStyle &style)
    : Control(name, named(new PictureBoxWidget(parent.containerWidget(), style), name))
{
    m_widget->setGeometry(toPixels(bounds));
    m_widget->setFocusPolicy(Qt::NoFocus);
}

Frame::Frame(Container &parent, std::string name, Bounds bounds, const FrameStyle &style)
    : Control(name, named(new QGroupBox(parent.containerWidget()), name)), m_owner(parent.owner())
{
    auto *box = static_cast<QGroupBox *>(m_widget);
    box->setTitle(text(style.caption));
    box->setFont(toQFont(Font {}));
    setColors(box, style.backColor, style.foreColor);
    box->setGeometry(toPixels(bounds));
}

QWidget *Frame::containerWidget() const
{
    return m_widget;
}

CommandButton::CommandButton(Container &parent, std::string name, Bounds bounds, const ButtonStyle &style)
    : Control(name, named(new QPushButton(parent.containerWidget()), name)), m_tabIndex(style.tabIndex)
{
    m_button = static_cast<QPushButton *>(m_widget);
    m_button->setText(text(style.caption));
    m_button->setFont(toQFont(Font {}));
    m_button->setGeometry(toPixels(bounds));
    m_button->setAutoDefault(false);
    m_button->setDefault(style.isDefault);
    m_button->setFocusPolicy(Qt::StrongFocus);
    QObject::connect(m_button, &QPushButton::clicked, m_button, [this] {
        if (m_click)
            Application::instance().raise(m_button, m_click);
    });

    Form &form = parent.owner();
    form.m_buttons.push_back(this);
    if (style.isDefault)
        form.m_defaultButton = this;
    if (style.isCancel)
        form.m_cancelButton = this;
}

void CommandButton::click()
{
    if (m_button->isEnabled() && m_button->isVisibleTo(m_button->window()))
        m_button->click();
}

Shape::Shape(Container &parent, std::string name, Bounds bounds, const ShapeStyle &style)
    : Control(name, named(new ShapeWidget(parent.containerWidget(), style), name))
{
    m_widget->setGeometry(toPixels(bounds));
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
    : Control(name, named(makeLine(parent.containerWidget(), x1, y1, x2, y2, style), name))
{
}

Timer::Timer(Form &form, std::string name, int intervalMs, bool enabled)
    : m_name(std::move(name)), m_timer(new QTimer(form.window())), m_interval(intervalMs)
{
    m_timer->setObjectName(QString::fromStdString(m_name));
    m_timer->setTimerType(Qt::PreciseTimer);
    m_timer->setInterval(intervalMs);
    QObject::connect(m_timer, &QTimer::timeout, m_timer, [this] {
        // Ticks that fall due while a handler runs wait for it, once.
        Application::instance().raise(m_timer, [this] { tick(); }, this);
    });
    form.m_timers.push_back(this);
    setEnabled(enabled);
}

Timer::~Timer()
{
    m_timer->stop();
    QObject::disconnect(m_timer, nullptr, nullptr, nullptr);
}

void Timer::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    if (enabled && m_interval > 0)
        m_timer->start();
    else
        m_timer->stop();
}

void Timer::tick()
{
    if (m_enabled && m_tick)
        m_tick();
}

Menu::Menu(Form &form, std::string name, const std::string &caption) : m_name(std::move(name))
{
    QMenuBar *bar = form.m_window->menuBar();
    m_menu = named(new QMenu(text(caption), bar), m_name);
    bar->addMenu(m_menu);
}

MenuItem::MenuItem(Menu &menu, std::string name, const MenuItemStyle &style)
    : m_name(std::move(name)), m_checked(style.checked)
{
    m_action = named(new QAction(text(style.caption), menu.menu()), m_name);
    if (!style.shortcut.empty())
        m_action->setShortcut(QKeySequence(text(style.shortcut)));
    m_action->setCheckable(style.checked);
    m_action->setChecked(style.checked);
    menu.menu()->addAction(m_action);
    QObject::connect(m_action, &QAction::triggered, m_action, [this] {
        m_action->setChecked(m_checked); // Qt flipped it; the program decides
        if (m_click)
            Application::instance().raise(m_action, m_click);
    });
}

void MenuItem::setChecked(bool checked)
{
    m_checked = checked;
    if (checked)
        m_action->setCheckable(true);
    m_action->setChecked(checked);
}

} // namespace forms
