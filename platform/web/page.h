// The calls of platform/web/page_*.js, the page's side of the browser build; texts are UTF-8.
#pragma once

#include <cstdint>

#include "../core/internal.h"

extern "C" {
// The loop's wait: returns once the page has queued an event. Events are taken one by one into
// eight numbers; the first names the kind (PageEvent), 0 when none waits.
void zum_wait_event();
int zum_take_event(int* out);
int zum_event_text(char* buffer, int size);  // the text that came with the event taken last

void zum_timer_start(int hwnd, int id, int ms);
void zum_timer_stop(int hwnd, int id);

void zum_window_show(int hwnd, int width, int height);
void zum_window_size(int width, int height);
void zum_window_title(const char* text);
void zum_window_destroyed(int hwnd);
void zum_present(const std::uint8_t* rgba, int x, int y, int width, int height);
void zum_menu_build(const char* json);
void zum_menu_greyed(int id, int greyed);
// The game's accelerators, whose keys the page keeps from the browser:
// JSON [[letter or digit, Shift 1 | Control 2 | Alt 4], ...].
void zum_accelerators(const char* json);

int zum_box_open(const char* text, const char* caption, int stopIcon);
void zum_font_metrics(const char* fontName, int points, int* out);
void zum_dialog_open(int hwnd, const char* json, const void* icon, int iconSize);
void zum_dialog_text(int hwnd, int index, const char* text);  // index -1: the caption
void zum_dialog_check(int hwnd, int index, int checked);
void zum_dialog_focus(int hwnd, int index);
void zum_dialog_close(int hwnd);

void zum_help_show();
void zum_help_close();
void zum_game_ended(int code);
void zum_touch_held();  // a long press became a right click: the page lets the player feel it
// The clue band at the picture's left and top (0: no board) and a board cell's side, in game pixels.
void zum_board_layout(int band, int cell);
// Sets the page's language ("ja", "en") and fills its own elements: JSON [[element id,
// attribute or null, text], ...].
void zum_page_texts(const char* language, const char* json);

// What a screen reader hears: the window's name (taking the keyboard when asked), the board of
// side cells as a grid whose active cell is focused, one cell's name, an announcement.
void zum_reader_window(const char* name, int side, int focus);
void zum_reader_cell(int index, const char* name, int focus);
void zum_reader_say(const char* text);

void zum_sound_play(int key, const float* planar, int frames, int channels, int rate);
void zum_sound_forget(int key);
void zum_sound_stop();

// The records file the player chose: its first capacity bytes copied to buffer; its whole size,
// or -1 when none waits.
int zum_records_offered(std::uint8_t* buffer, int capacity);

int zum_store_load(const char* name, std::uint8_t** bytes, int* size);
int zum_store_save(const char* name, const std::uint8_t* bytes, int size);
int zum_lock(const char* name, int timeoutMs);
void zum_unlock(const char* name);
}

namespace platform::web {

// The kinds of event that the page queues for the game, and the numbers that follow each.
enum PageEvent {
    kMouse = 1,    // hwnd, action and buttons, place and canvas box, time (PageBackend::QueueMouse)
    kKey = 2,      // hwnd, down, Shift 1 | Control 2 | Alt 4, time; text: "key\tcode"
    kTimer = 3,    // hwnd, timer id
    kCommand = 4,  // hwnd, menu command id
    kBoxClosed = 5,  // the box's number
    kDialog = 6,   // dialog hwnd, DialogAction, control index
    kRecordsOffered = 7,  // nothing: zum_records_offered hands over the file
    kPageFailure = 8,  // PageFailure
    kTouch = 9,        // hwnd, TouchAction, place and canvas box in 1/64 CSS pixel, time
};

// What the one playing finger did.
enum TouchAction {
    kTouchStart = 1,
    kTouchMove = 2,
    kTouchEnd = 3,
    kTouchHeld = 4,    // still down, where it was, for the time of a long press
    kTouchCancel = 5,  // a second finger came, or the browser took the touch
};

// What the page failed to do for the player, who is told in a box.
enum PageFailure {
    kRecordsNotSaved = 1,
    kRecordsUnreadable = 2,
    kOfflineRefused = 3,
};

enum DialogAction {
    kClick = 1,
    kReturn = 2,
    kEscape = 3,
    kTab = 4,
    kBackTab = 5,
    kArrowForward = 6,
    kArrowBack = 7,
    kFocus = 8,
    kEditChanged = 9,
};

inline int PageId(const void* handle) { return static_cast<int>(reinterpret_cast<std::uintptr_t>(handle)); }

// A JSON string literal of a UTF-8 text.
std::string JsonString(const std::string& utf8);

}  // namespace platform::web
