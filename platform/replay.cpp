// The platform.h reads the game makes, passed on to the backend, written down or answered from a
// recording. Shared by both backends, which provide the calls here under platform::backend.
#include "platform/replay.h"

#include "platform/audio.h"
#include "platform/backend.h"
#include "platform/platform.h"
#include "platform/replay_format.h"

#include <algorithm>
#include <memory>

namespace platform {
namespace {

std::unique_ptr<replay::Writer> writer;
std::unique_ptr<replay::Reader> reader;

using replay::Event;

bool stop = false;
std::string trouble;      // why the replay broke
uint32_t last_clock = 0;  // what the clock said last, for reads after a stop

void break_off(std::string why) {
    stop = true;
    trouble = std::move(why);
}

// The next recorded event, which must be of the kind the game asks for; false once the replay has
// stopped (here or before).
bool take(Event::Type wanted, Event& event) {
    if (stop) return false;
    std::string error;
    if (!reader->next(event, error)) {
        break_off(error);
        return false;
    }
    if (event.type == Event::end) {
        if (reader->ending() == replay::Ending::cut) {
            stop = true;
        } else {
            break_off("out of step after event " + std::to_string(reader->events()) +
                      ": the recorded game ended there, this one asks for " +
                      replay::describe(wanted));
        }
        return false;
    }
    if (event.type != wanted) {
        break_off("out of step at event " + std::to_string(reader->events()) +
                  ": the game asks for " + replay::describe(wanted) + ", the recording holds " +
                  replay::describe(event.type));
        return false;
    }
    return true;
}

// A read of this kind that failed, as a stopped replay answers it.
Event failed(Event::Type type) {
    Event event;
    event.type = type;
    event.ok = false;
    return event;
}

// An argument the game passes (a wait deadline, a sleep) must be the one recorded.
void check_argument(const Event& event, uint32_t value) {
    if (event.value == value) return;
    break_off("out of step at event " + std::to_string(reader->events()) + ": the game " +
              (event.type == Event::wait ? "waits for " : "sleeps ") + std::to_string(value) +
              ", the recording holds " + std::to_string(event.value));
}

void note(const Event& event) {
    if (writer) writer->put(event);
}

void note_value(Event::Type type, uint32_t value, bool ok = true) {
    if (!writer) return;
    Event event;
    event.type = type;
    event.value = value;
    event.ok = ok;
    writer->put(event);
}

// Whether a device opened; replayed, the recording must name the same device.
template <typename Open>
bool opened(replay::Open which, Open open) {
    bool ok = false;
    if (reader) {
        Event event;
        if (take(Event::opened, event)) {
            if (event.value == which) {
                ok = event.ok;
            } else {
                break_off("out of step at event " + std::to_string(reader->events()) +
                          ": the game opens another device than the recording holds");
            }
        }
    } else {
        ok = open();
    }
    note_value(Event::opened, which, ok);
    return ok;
}

}  // namespace

// ---- control ------------------------------------------------------------------------------------

namespace replay {

bool record_to(const std::string& path, std::string& error) {
    writer = std::make_unique<Writer>();
    if (writer->open(path, error)) return true;
    writer.reset();
    return false;
}

bool finish_recording(bool game_over, std::string& error) {
    if (!writer) return true;
    const bool ok = writer->finish(game_over ? Ending::game_over : Ending::cut, error);
    writer.reset();
    return ok;
}

bool replay_from(const std::string& path, std::string& error) {
    stop = false;
    trouble.clear();
    last_clock = 0;
    reader = std::make_unique<Reader>();
    if (reader->open(path, error)) return true;
    reader.reset();
    return false;
}

bool finish_replay(std::string& error) {
    if (!reader) return true;
    Event event;
    bool ok = reader->next(event, error);
    if (ok && (event.type != Event::end || reader->ending() != Ending::game_over)) {
        error = event.type == Event::end
                    ? "out of step: the game ended, the recording was cut off later"
                    : "out of step after event " + std::to_string(reader->events() - 1) +
                          ": the game ended, the recording goes on with " + describe(event.type);
        ok = false;
    }
    reader.reset();
    return ok;
}

bool at_cut_end() {
    return reader && !stop && reader->ending() == Ending::cut && reader->all_handed_out();
}

bool stopped() { return stop; }
const std::string& broken() { return trouble; }

void reset() {
    writer.reset();
    reader.reset();
    stop = false;
    trouble.clear();
}

}  // namespace replay

// ---- the reads ----------------------------------------------------------------------------------

bool window_create(const char* title, int x, int y, int width, int height) {
    return opened(replay::open_window,
                  [&] { return backend::window_create(title, x, y, width, height); });
}

bool display_open(int width, int height, bool windowed) {
    return opened(replay::open_display,
                  [&] { return backend::display_create(width, height, windowed); });
}

bool keyboard_open() { return opened(replay::open_keyboard, backend::keyboard_open); }
bool mouse_open() { return opened(replay::open_mouse, backend::mouse_open); }

bool message_take(Message& message) {
    uint32_t taken = replay::take_none;
    if (reader) {
        Event event;
        if (take(Event::message, event)) taken = event.value;
        if (taken == replay::take_close) message = Message::close;
        if (taken == replay::take_quit) message = Message::quit;
    } else if (backend::message_take(message)) {
        taken = message == Message::close ? replay::take_close : replay::take_quit;
    }
    note_value(Event::message, taken);
    return taken != replay::take_none;
}

uint32_t time_ms() {
    uint32_t now = last_clock;
    if (reader) {
        Event event;
        if (take(Event::clock, event)) now = event.value;
    } else {
        now = backend::time_ms();
    }
    last_clock = now;
    note_value(Event::clock, now);
    audio::clock_read(now);
    return now;
}

void sleep_ms(uint32_t ms) {
    if (reader) {
        Event event;
        if (take(Event::sleep, event)) check_argument(event, ms);
    } else {
        backend::sleep_ms(ms);
    }
    note_value(Event::sleep, ms);
    audio::slept(ms);
}

void wait_until(int32_t deadline) {
    if (reader) {
        Event event;
        if (take(Event::wait, event)) check_argument(event, static_cast<uint32_t>(deadline));
    } else {
        backend::wait_until(deadline);
    }
    note_value(Event::wait, static_cast<uint32_t>(deadline));
    audio::waited(deadline);
}

bool keyboard_read(uint8_t keys[256]) {
    Event event;
    if (reader) {
        if (!take(Event::keys_read, event)) event = failed(Event::keys_read);
        // A failed read leaves the game's snapshot as it was, as the backends do.
        if (event.ok) std::copy(event.keys.begin(), event.keys.end(), keys);
    } else {
        event.type = Event::keys_read;
        event.ok = backend::keyboard_read(keys);
        if (event.ok) std::copy(keys, keys + 256, event.keys.begin());
    }
    note(event);
    return event.ok;
}

bool mouse_read(MouseState& state) {
    Event event;
    if (reader) {
        if (!take(Event::mouse_read, event)) event = failed(Event::mouse_read);
        if (event.ok) state = event.mouse;
    } else {
        event.type = Event::mouse_read;
        event.ok = backend::mouse_read(state);
        event.mouse = state;
    }
    note(event);
    return event.ok;
}

bool pointer_read(PointerState& state) {
    Event event;
    if (reader) {
        if (!take(Event::pointer_read, event)) event = failed(Event::pointer_read);
        if (event.ok) state = event.pointer;
    } else {
        event.type = Event::pointer_read;
        event.ok = backend::pointer_read(state);
        event.pointer = state;
    }
    note(event);
    return event.ok;
}

}  // namespace platform
