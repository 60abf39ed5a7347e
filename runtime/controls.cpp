#include "runtime/controls.h"
#include "runtime/backend.h"

#include <algorithm>

namespace forms {

Control::Control(Container &parent, std::string name, Bounds bounds)
    : m_parent(parent),
      m_form(parent.owner()),
      m_name(std::move(name)),
      m_bounds(bounds)
{
    m_form.add(*this);
}

Control::~Control()
{
    m_form.remove(*this);
}

void Control::made(std::unique_ptr<Native> native)
{
    m_native = std::move(native);
    place();
}

void Control::place()
{
    backend::place(*this, toPixels(m_bounds, m_form.dpi()));
}

void Control::setVisible(bool visible)
{
    if (visible == m_visible)
        return;
    m_visible = visible;
    backend::setVisible(*this, visible);
}

void Control::ZOrder(int position)
{
    backend::setZOrder(*this, position == 0);
}

bool Control::shown() const
{
    for (const Control *control = this; control; control = dynamic_cast<const Control *>(&control->m_parent)) {
        if (!control->m_visible)
            return false;
    }
    return true;
}

Label::Label(Container &parent, std::string name, Bounds bounds, const LabelStyle &style)
    : Control(parent, std::move(name), bounds),
      m_style(style)
{
    made(backend::makeLabel(*this));
    setCaption(style.caption);
}

void Label::setCaption(const std::string &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    backend::setText(*this);
    if (m_style.autoSize)
        fit();
}

void Label::place()
{
    Control::place();
    if (m_style.autoSize)
        fit();
}

void Label::fit()
{
    const Rect box = toPixels(bounds(), form().dpi());
    const Size text = backend::measureText(*this, m_style.wordWrap ? box.width : 0);
    backend::place(*this, fitToText(box, text, m_style.alignment));
}

Image::Image(Container &parent, std::string name, Bounds bounds, const ImageStyle &style)
    : Control(parent, std::move(name), bounds),
      m_style(style),
      m_left(float(bounds.left)),
      m_top(float(bounds.top))
{
    made(backend::makeImage(*this));
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
    const Form &owner = form();
    backend::place(*this, {owner.pixels(m_left), owner.pixels(m_top), owner.pixels(bounds().width),
                           owner.pixels(bounds().height)});
}

PictureBox::PictureBox(Container &parent, std::string name, Bounds bounds, const PictureBoxStyle &style)
    : Control(parent, std::move(name), bounds),
      m_style(style)
{
    made(backend::makePictureBox(*this));
}

Frame::Frame(Container &parent, std::string name, Bounds bounds, const FrameStyle &style)
    : Control(parent, std::move(name), bounds),
      m_style(style)
{
    made(backend::makeFrame(*this));
}

CommandButton::CommandButton(Container &parent, std::string name, Bounds bounds, const ButtonStyle &style)
    : Control(parent, std::move(name), bounds),
      m_style(style)
{
    made(backend::makeButton(*this));
    form().add(*this, style.isDefault, style.isCancel);
}

void CommandButton::click()
{
    if (shown() && m_click)
        Dispatcher::instance().dispatch(this, m_click);
}

Shape::Shape(Container &parent, std::string name, Bounds bounds, const ShapeStyle &style)
    : Control(parent, std::move(name), bounds),
      m_style(style)
{
    made(backend::makeShape(*this));
}

Line::Line(Container &parent, std::string name, int x1, int y1, int x2, int y2, const LineStyle &style)
    : Control(parent, std::move(name)),
      m_x1(x1),
      m_y1(y1),
      m_x2(x2),
      m_y2(y2),
      m_style(style)
{
    made(backend::makeLine(*this));
}

std::pair<Point, Point> Line::ends() const
{
    const Form &owner = form();
    return {{owner.pixels(m_x1), owner.pixels(m_y1)}, {owner.pixels(m_x2), owner.pixels(m_y2)}};
}

void Line::place()
{
    // The box holds the pen round both ends.
    const auto [a, b] = ends();
    backend::place(*this, lineBox(a, b, scaled(std::max(1, m_style.width), form().dpi())));
}

Timer::Timer(Form &form, std::string name, int intervalMs, bool enabled)
    : m_form(form),
      m_name(std::move(name)),
      m_interval(intervalMs)
{
    m_native = backend::makeTimer(*this);
    form.add(*this);
    setEnabled(enabled);
}

Timer::~Timer()
{
    backend::stopTimer(*this);
}

void Timer::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    if (enabled && m_interval > 0)
        backend::startTimer(*this);
    else
        backend::stopTimer(*this);
}

void Timer::fire()
{
    // Ticks that fall due while a handler runs, or while a message box
    // waits, wait for it: once.
    Dispatcher::instance().dispatch(
        this,
        [this] {
            if (m_enabled && m_tick)
                m_tick();
        },
        this);
}

Menu::Menu(Form &form, std::string name, std::string caption)
    : m_form(form),
      m_name(std::move(name)),
      m_caption(std::move(caption)),
      m_native(backend::makeMenu(*this))
{ }

MenuItem::MenuItem(Menu &menu, std::string name, const MenuItemStyle &style)
    : m_menu(menu),
      m_name(std::move(name)),
      m_style(style),
      m_checked(style.checked)
{
    m_native = backend::makeMenuItem(*this);
    menu.form().add(*this);
}

MenuItem::~MenuItem()
{
    m_menu.form().remove(*this);
}

void MenuItem::setChecked(bool checked)
{
    m_checked = checked;
    backend::setChecked(*this);
}

void MenuItem::pick()
{
    if (m_click)
        Dispatcher::instance().dispatch(this, m_click);
}

} // namespace forms
