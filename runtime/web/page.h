#pragma once
// The page's side of the web backend (library.js), as the C++ side calls it.
// Ids name the page's elements: every window, control, timer, menu and menu
// item has one, and the page reports what the player did by id.

#include <cstdint>

namespace forms::web {

// What the page reports, in the order it happened.
struct Event
{
    enum Kind : std::int32_t { None, Click, Key, Tick, Close, Pick, Answer, Relayout };
    std::int32_t kind = None;
    std::int32_t id = 0;        // the button, window, timer or menu item
    std::int32_t key = 0;       // a key's runtime code
    std::int32_t character = 0; // the character it types, or 0
    std::int32_t flags = 0;     // Repeat, Shift, Alt; Through
};
constexpr int Repeat = 1, Shift = 2, Alt = 4;
// A tick a test lets through while the ticks are held.
constexpr int Through = 8;

} // namespace forms::web

extern "C" {
// The page
void korvo_page_start();
void korvo_page_name(const char *name);                   // the tab's title when no caption says more
double korvo_page_now();                                  // ms, performance.now()
double korvo_page_ratio();                                // device pixels to a CSS pixel
int korvo_page_next(forms::web::Event *event);            // 1 when an event was taken from the queue
void korvo_page_wait(double timeoutMs);                   // until the page has an event, or timeoutMs (< 0: no limit)
void korvo_page_clear();                                  // forgets the queued events
void korvo_page_ended(int exitCode);                      // says that the game ended, and offers it again
void korvo_box_show(const char *title, const char *text); // the modal box, its OK focused
void korvo_box_close();

// Windows
void korvo_window_make(int id, const char *name, const char *caption, int role, int look, int width, int height,
                       const char *back, const char *icon);
void korvo_window_first_focus(int id, int control);
void korvo_window_size(int id, int *width, int *height);
void korvo_screen(int id, int *width, int *height);
void korvo_window_move(int id, int x, int y);
void korvo_window_show(int id);
void korvo_window_hide(int id);
int korvo_window_focused(int id);
void korvo_remove(int id);

// Controls, in the container (a window's client area or a frame) of that id
void korvo_label_make(int id, int parent, const char *name, const char *family, int px, int weight, int italic,
                      const char *back, const char *fore, int align, int wrap, const char *accessibleName);
void korvo_label_text(int id, const char *text);
void korvo_label_measure(int id, int wrapWidth, int *width, int *height);
// A picture is named by its artwork ("ball"), or empty for none; its title
// and size come from the runtime's catalogue.
void korvo_image_make(int id, int parent, const char *name, const char *picture, const char *title, int width,
                      int height, int stretch);
void korvo_picture_box_make(int id, int parent, const char *name, const char *picture, const char *title, int width,
                            int height, const char *back, int border);
void korvo_frame_make(int id, int parent, const char *name, const char *caption, const char *back, const char *fore);
void korvo_button_make(int id, int parent, int window, const char *name, const char *caption, int isDefault);
void korvo_drawing_make(int id, int parent, const char *name);
void korvo_drawing_set(int id, const char *svg);
void korvo_place(int id, double left, double top, double width, double height);
void korvo_set_visible(int id, int visible);
void korvo_set_front(int id, int front);
void korvo_focus(int id);

// Timers and menus
void korvo_timer_at(int id, double at); // one tick reported at that time on the page's clock
void korvo_timer_stop(int id);
void korvo_menu_make(int id, int window, const char *name, const char *caption);
void korvo_item_make(int id, int menu, int window, const char *name, const char *caption, const char *shortcut,
                     int checkable, int checked);
void korvo_item_checked(int id, int checkable, int checked);
}
