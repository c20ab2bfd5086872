#include "shell/entry.h"

#include "shell/frame.h"
#include "shell/reset.h"
#include "shell/startup.h"

bool quit_requested = false;

void main_window_proc(platform::Message message) {
    if (message == platform::Message::close) platform::post_quit();
}

void drain_messages() {
    platform::Message message;
    while (platform::message_take(message)) {
        if (message == platform::Message::quit) quit_requested = true;
        main_window_proc(message);
    }
}

int win_main() {
    if (!init_program_state()) return 1;
    // Created hidden at 640x480; the graphics set-up places, sizes and shows it.
    if (!platform::window_create("", 100, 100, 640, 480)) {
        platform::report_fatal("brickrun: cannot open the game window: " + platform::last_error());
        return 1;
    }
    if (!startup()) {
        platform::report_fatal("brickrun: cannot start the graphics: " + platform::last_error());
        return 1;
    }
    main_loop(drain_messages, run_frame);
    shutdown();
    if (level_load_error.empty()) return 0;
    platform::report_fatal("brickrun: cannot load the level: " + level_load_error);
    return 1;
}

void main_loop(void (*drain)(), bool (*frame)()) {
    while (!quit_requested) {
        drain();
        // A quit found by this drain still lets one more frame run: the flag is looked at after it.
        if (!frame()) return;
    }
}
