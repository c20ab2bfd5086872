// The mouse over the canvas, for the level editor: where it is on the picture through the canvas's
// CSS scaling, its three buttons and the wheel.
//
// A button counts only when it goes down over the canvas (a click on the page's own buttons paints
// nothing) and is let go wherever it comes up, or when a move shows it no longer held (it came up
// outside the window). While the editor runs, the wheel over the canvas no longer scrolls the page
// and the right button opens no menu there; otherwise the page keeps the browser's ways.
#include "platform/backend.h"
#include "platform/controller_keys.h"
#include "platform/platform.h"
#include "platform/web/page.h"
#include "platform/web/web.h"

#include <emscripten/emscripten.h>

namespace platform {
namespace {

PointerState pointer;
bool editing = false;

// DOM button numbers (0 left, 1 middle, 2 right) are the state's left, middle and right.
EM_JS(void, watch_pointer_events, (), {
    const canvas = document.getElementById("screen");
    if (!canvas) return;
    const place = (event) => {
        const box = canvas.getBoundingClientRect();
        if (box.width <= 0 || box.height <= 0) return;
        _brickrun_pointer_moved(Math.floor((event.clientX - box.left) * canvas.width / box.width),
                                Math.floor((event.clientY - box.top) * canvas.height / box.height));
    };
    canvas.addEventListener("mousedown", (event) => {
        place(event);
        if (event.button > 2) return;
        _brickrun_pointer_button(event.button, 1);
        if (Module.brickrunEditing) event.preventDefault();  // no autoscroll on the middle button
    });
    window.addEventListener("mouseup", (event) => {
        place(event);
        if (event.button <= 2) _brickrun_pointer_button(event.button, 0);
    });
    window.addEventListener("mousemove", (event) => {
        place(event);
        const masks = [1, 4, 2];  // MouseEvent.buttons bits of DOM buttons 0, 1 and 2
        for (let button = 0; button < 3; ++button)
            if (!(event.buttons & masks[button])) _brickrun_pointer_button(button, 0);
    });
    canvas.addEventListener("wheel", (event) => {
        if (!Module.brickrunEditing || event.deltaY === 0) return;
        event.preventDefault();
        _brickrun_pointer_wheel(event.deltaY < 0 ? 1 : -1);
    }, { passive: false });
    canvas.addEventListener("contextmenu", (event) => {
        if (Module.brickrunEditing) event.preventDefault();
    });
});

EM_JS(void, tell_page_editing, (bool on), { Module.brickrunEditing = on; });

uint8_t& held_flag(int dom_button) {
    constexpr int ours[3] = {0, 2, 1};  // DOM left, middle, right
    return pointer.buttons[ours[dom_button]];
}

}  // namespace

namespace web {

void watch_pointer() { watch_pointer_events(); }

void release_pointer() { pointer.buttons[0] = pointer.buttons[1] = pointer.buttons[2] = 0; }

bool editing_now() { return editing; }

void set_editing(bool on) {
    if (on == editing) return;
    editing = on;
    pointer.wheel = 0;
    tell_page_editing(on);
}

}  // namespace web

bool backend::pointer_read(PointerState& state) {
    state = pointer;
    pointer.wheel = 0;
    return true;
}

}  // namespace platform

extern "C" {

EMSCRIPTEN_KEEPALIVE void brickrun_pointer_moved(int x, int y) {
    platform::pointer.x = x;
    platform::pointer.y = y;
}

EMSCRIPTEN_KEEPALIVE void brickrun_pointer_button(int dom_button, int down) {
    if (dom_button < 0 || dom_button > 2) return;
    platform::held_flag(dom_button) = down ? platform::controller::held : 0;
}

// Notches of the wheel, away from the player counting up.
EMSCRIPTEN_KEEPALIVE void brickrun_pointer_wheel(int notches) { platform::pointer.wheel += notches; }

}  // extern "C"
