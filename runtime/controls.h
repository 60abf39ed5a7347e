#pragma once
// The controls a form is built from, each made from its stored layout. What
// they mean is written here once; a backend shows them (runtime/backend.h).

#include "runtime/dispatcher.h"
#include "runtime/form.h"
#include "runtime/layout.h"
#include "runtime/pixels.h"

#include <memory>
#include <string>
#include <utility>

namespace forms {

class Control : public EventSource
{
public:
    Control(const Control &) = delete;
    Control &operator=(const Control &) = delete;

    const std::string &name() const { return m_name; }

    bool visible() const { return m_visible; }
    void setVisible(bool visible);
    // 0 brings the control to the front of its siblings, 1 sends it to the back.
    void ZOrder(int position = 0);
    // Visible, and so is every frame around it: what a player can press.
    bool shown() const;

    Form &form() const { return m_form; }
    Container &parent() const { return m_parent; }
    Native &native() const { return *m_native; }

    // Puts the control where its layout says at the form's DPI, in pixels of
    // its form's client area or frame; again when the DPI changes.
    virtual void place();
    // Its box in twips, as the layout gives it.
    const Bounds &bounds() const { return m_bounds; }

protected:
    Control(Container &parent, std::string name, Bounds bounds = {});
    ~Control();
    // The backend's side, once the control knows its layout; then placed.
    void made(std::unique_ptr<Native> native);

private:
    Container &m_parent;
    Form &m_form;
    std::string m_name;
    Bounds m_bounds;
    std::unique_ptr<Native> m_native;
    bool m_visible = true;
};

struct LabelStyle
{
    std::string caption {};
    Font font {};
    Color backColor = colors::ButtonFace;
    Color foreColor = colors::ButtonText;
    Alignment alignment = Alignment::Left;
    bool autoSize = false;
    bool wordWrap = false;
    int tabIndex = -1;
    // Set for a counter: what a screen reader calls it, with the caption
    // read as its value.
    std::string accessibleName {};
};

class Label : public Control
{
public:
    Label(Container &parent, std::string name, Bounds bounds, const LabelStyle &style = {});

    const std::string &caption() const { return m_caption; }
    void setCaption(const std::string &caption);
    const LabelStyle &style() const { return m_style; }
    void place() override;

private:
    // An auto-sized label takes the size of its text.
    void fit();

    LabelStyle m_style;
    std::string m_caption;
};

struct ImageStyle
{
    std::string picture {}; // picture name, e.g. "ball"
    bool stretch = false;
};

// A lightweight picture with a transparent background. Left and Top are
// single-precision twips: the game reads back exactly what it wrote.
class Image : public Control
{
public:
    Image(Container &parent, std::string name, Bounds bounds, const ImageStyle &style);

    float left() const { return m_left; }
    float top() const { return m_top; }
    void setLeft(float left);
    void setTop(float top);
    const ImageStyle &style() const { return m_style; }
    // bounds() gives the box's size; left() and top() say where it is.
    void place() override;

private:
    ImageStyle m_style;
    float m_left;
    float m_top;
};

struct PictureBoxStyle
{
    std::string picture {};
    Color backColor = colors::ButtonFace;
    Color foreColor = colors::ButtonText;
    bool border = true; // a sunken 3D border two pixels wide
    int tabIndex = -1;
};

class PictureBox : public Control
{
public:
    PictureBox(Container &parent, std::string name, Bounds bounds, const PictureBoxStyle &style);
    const PictureBoxStyle &style() const { return m_style; }

private:
    PictureBoxStyle m_style;
};

struct FrameStyle
{
    std::string caption {};
    Color backColor = colors::ButtonFace;
    Color foreColor = colors::ButtonText;
    int tabIndex = -1;
};

// A frame holds controls of its own, placed relative to its top-left corner.
class Frame : public Control, public Container
{
public:
    Frame(Container &parent, std::string name, Bounds bounds, const FrameStyle &style = {});

    Form &owner() override { return form(); }
    const FrameStyle &style() const { return m_style; }

private:
    FrameStyle m_style;
};

struct ButtonStyle
{
    std::string caption {}; // '&' marks the access key
    int tabIndex = -1;
    bool isDefault = false; // Enter presses it from anywhere in its window
    bool isCancel = false;  // Esc presses it
};

class CommandButton : public Control
{
public:
    CommandButton(Container &parent, std::string name, Bounds bounds, const ButtonStyle &style);

    void onClick(Handler handler) { m_click = std::move(handler); }
    // Presses the button as a click or its key would: only one the player
    // can see.
    void click();
    const ButtonStyle &style() const { return m_style; }
    int tabIndex() const { return m_style.tabIndex; }

private:
    ButtonStyle m_style;
    Handler m_click;
};

struct ShapeStyle
{
    ShapeKind shape = ShapeKind::Rectangle;
    int borderWidth = 1; // pixels
    Color borderColor = colors::WindowText;
    FillStyle fillStyle = FillStyle::Transparent;
    Color fillColor = colors::Black;
};

class Shape : public Control
{
public:
    Shape(Container &parent, std::string name, Bounds bounds, const ShapeStyle &style);
    const ShapeStyle &style() const { return m_style; }

private:
    ShapeStyle m_style;
};

struct LineStyle
{
    Color color = colors::WindowText;
    int width = 1; // pixels
};

class Line : public Control
{
public:
    // From (x1, y1) to (x2, y2), in twips.
    Line(Container &parent, std::string name, int x1, int y1, int x2, int y2, const LineStyle &style = {});
    const LineStyle &style() const { return m_style; }
    // Its ends in pixels of the container at the form's DPI.
    std::pair<Point, Point> ends() const;
    void place() override;

private:
    int m_x1, m_y1, m_x2, m_y2;
    LineStyle m_style;
};

// A precise timer: one tick per interval while enabled. A tick that falls due
// while another handler runs is delivered once it returns, never in a burst.
class Timer : public EventSource
{
public:
    Timer(Form &form, std::string name, int intervalMs, bool enabled);
    ~Timer();
    Timer(const Timer &) = delete;
    Timer &operator=(const Timer &) = delete;

    void onTimer(Handler handler) { m_tick = std::move(handler); }

    bool enabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    int interval() const { return m_interval; }
    const std::string &name() const { return m_name; }
    Form &form() const { return m_form; }
    Native &native() const { return *m_native; }

    // What the backend reports: the interval has passed.
    void fire();

private:
    Form &m_form;
    std::string m_name;
    std::unique_ptr<Native> m_native;
    Handler m_tick;
    int m_interval;
    bool m_enabled = false;
};

// A title on the form's menu bar.
class Menu
{
public:
    Menu(Form &form, std::string name, std::string caption);
    Menu(const Menu &) = delete;
    Menu &operator=(const Menu &) = delete;

    const std::string &name() const { return m_name; }
    const std::string &caption() const { return m_caption; }
    Form &form() const { return m_form; }
    Native &native() const { return *m_native; }

private:
    Form &m_form;
    std::string m_name;
    std::string m_caption;
    std::unique_ptr<Native> m_native;
};

struct MenuItemStyle
{
    std::string caption {};
    std::string shortcut {}; // "F4", "F8"...
    bool checked = false;
};

class MenuItem : public EventSource
{
public:
    MenuItem(Menu &menu, std::string name, const MenuItemStyle &style);
    ~MenuItem();
    MenuItem(const MenuItem &) = delete;
    MenuItem &operator=(const MenuItem &) = delete;

    void onClick(Handler handler) { m_click = std::move(handler); }

    // The check mark belongs to the program: picking the item does not flip it.
    bool checked() const { return m_checked; }
    void setChecked(bool checked);

    const std::string &name() const { return m_name; }
    const std::string &caption() const { return m_style.caption; }
    const std::string &shortcut() const { return m_style.shortcut; }
    Menu &menu() const { return m_menu; }
    Native &native() const { return *m_native; }

    // What the backend reports: the item was picked, or its shortcut pressed.
    void pick();

private:
    Menu &m_menu;
    std::string m_name;
    MenuItemStyle m_style;
    std::unique_ptr<Native> m_native;
    Handler m_click;
    bool m_checked;
};

} // namespace forms
