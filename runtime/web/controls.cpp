// The controls, timers and menus on the page: each one an element of its
// form's window, named after the control so that tests find it.

#include "runtime/artwork.h"
#include "runtime/backend.h"
#include "runtime/web/look.h"
#include "runtime/web/native.h"
#include "runtime/web/page.h"

#include <cmath>

namespace forms::backend {

using namespace web;

namespace {

// Where a container's controls go: a form's client area or a frame.
int containerId(const Container &container)
{
    if (const auto *frame = dynamic_cast<const Frame *>(&container))
        return id(*frame);
    return id(static_cast<const Form &>(container));
}

// What the page needs of a picture: its name, or none for a picture the
// program was not built with, its title and its size.
struct Picture
{
    explicit Picture(const std::string &name) : facts(pictureFacts(name)), name(facts.width ? name : std::string()) { }
    const char *title() const { return title_.c_str(); }
    PictureFacts facts;
    std::string name;
    std::string title_ {facts.title};
};

int alignment(Alignment alignment)
{
    return alignment == Alignment::Right ? 1 : alignment == Alignment::Center ? 2 : 0;
}

} // namespace

std::unique_ptr<Native> makeLabel(Label &label)
{
    auto native = std::make_unique<ControlNative>(label);
    const LabelStyle &style = label.style();
    korvo_label_make(native->id, containerId(label.parent()), label.name().c_str(), fontFamilies(style.font).c_str(),
                     fontPixels(style.font), fontWeight(style.font), style.font.italic,
                     cssColor(style.backColor).c_str(), cssColor(style.foreColor).c_str(), alignment(style.alignment),
                     style.wordWrap, style.accessibleName.c_str());
    return native;
}

void setText(Label &label)
{
    korvo_label_text(id(label), label.caption().c_str());
}

Size measureText(const Label &label, int wrapWidth)
{
    Size size;
    korvo_label_measure(id(label), wrapWidth, &size.width, &size.height);
    return size;
}

std::unique_ptr<Native> makeImage(Image &image)
{
    auto native = std::make_unique<ControlNative>(image);
    const Picture picture(image.style().picture);
    korvo_image_make(native->id, containerId(image.parent()), image.name().c_str(), picture.name.c_str(),
                     picture.title(), picture.facts.width, picture.facts.height, image.style().stretch);
    return native;
}

std::unique_ptr<Native> makePictureBox(PictureBox &box)
{
    auto native = std::make_unique<ControlNative>(box);
    const PictureBoxStyle &style = box.style();
    const Picture picture(style.picture);
    korvo_picture_box_make(native->id, containerId(box.parent()), box.name().c_str(), picture.name.c_str(),
                           picture.title(), picture.facts.width, picture.facts.height,
                           cssColor(style.backColor).c_str(), style.border);
    return native;
}

std::unique_ptr<Native> makeFrame(Frame &frame)
{
    auto native = std::make_unique<ControlNative>(frame);
    const FrameStyle &style = frame.style();
    korvo_frame_make(native->id, containerId(frame.parent()), frame.name().c_str(), style.caption.c_str(),
                     cssColor(style.backColor).c_str(), cssColor(style.foreColor).c_str());
    return native;
}

std::unique_ptr<Native> makeButton(CommandButton &button)
{
    auto native = std::make_unique<ControlNative>(button);
    korvo_button_make(native->id, containerId(button.parent()), id(button.form()), button.name().c_str(),
                      button.style().caption.c_str(), button.style().isDefault);
    return native;
}

std::unique_ptr<Native> makeShape(Shape &shape)
{
    auto native = std::make_unique<ControlNative>(shape);
    korvo_drawing_make(native->id, containerId(shape.parent()), shape.name().c_str());
    return native;
}

std::unique_ptr<Native> makeLine(Line &line)
{
    auto native = std::make_unique<ControlNative>(line);
    korvo_drawing_make(native->id, containerId(line.parent()), line.name().c_str());
    return native;
}

void place(Control &control, const Rect &rect)
{
    const int element = id(control);
    if (const auto *image = dynamic_cast<const Image *>(&control)) {
        // On the device pixel its single-precision twips give, which may lie
        // between two CSS pixels.
        const double ratio = korvo_page_ratio();
        const int deviceDpi = static_cast<int>(std::lround(StandardDpi * ratio));
        korvo_place(element, toPixels(image->left(), deviceDpi) / ratio, toPixels(image->top(), deviceDpi) / ratio,
                    rect.width, rect.height);
        return;
    }
    korvo_place(element, rect.left, rect.top, rect.width, rect.height);
    const Size size {rect.width, rect.height};
    if (const auto *shape = dynamic_cast<const Shape *>(&control)) {
        korvo_drawing_set(element, shapeSvg(shape->style(), size, element).c_str());
    } else if (const auto *line = dynamic_cast<const Line *>(&control)) {
        const auto [a, b] = line->ends();
        korvo_drawing_set(
            element,
            lineSvg(line->style(), size, {a.x - rect.left, a.y - rect.top}, {b.x - rect.left, b.y - rect.top}).c_str());
    }
}

void setVisible(Control &control, bool visible)
{
    korvo_set_visible(id(control), visible);
}

void setZOrder(Control &control, bool front)
{
    korvo_set_front(id(control), front);
}

std::unique_ptr<Native> makeTimer(Timer &timer)
{
    return std::make_unique<TimerNative>(timer);
}

void startTimer(Timer &timer)
{
    auto &native = static_cast<TimerNative &>(timer.native());
    native.running = true;
    native.deadlines.start(korvo_page_now(), timer.interval());
    korvo_timer_at(native.id, native.deadlines.next());
}

void stopTimer(Timer &timer)
{
    auto &native = static_cast<TimerNative &>(timer.native());
    native.running = false;
    korvo_timer_stop(native.id);
}

std::unique_ptr<Native> makeMenu(Menu &menu)
{
    auto native = std::make_unique<MenuNative>();
    korvo_menu_make(native->id, id(menu.form()), menu.name().c_str(), menu.caption().c_str());
    return native;
}

std::unique_ptr<Native> makeMenuItem(MenuItem &item)
{
    auto native = std::make_unique<MenuItemNative>(item);
    // An item checked from the start is one that can be checked.
    korvo_item_make(native->id, id(item.menu()), id(item.menu().form()), item.name().c_str(), item.caption().c_str(),
                    item.shortcut().c_str(), item.checked(), item.checked());
    return native;
}

void setChecked(MenuItem &item)
{
    korvo_item_checked(id(item), 1, item.checked());
}

} // namespace forms::backend
