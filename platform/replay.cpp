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

// The next recorded event, which must be of the kind the game asks for.
Event take(Event::Type wanted) {
    Event event;
    std::string error;
    if (!reader->next(event, error)) throw replay::Broken{error};
    if (event.type == Event::end) {
        if (reader->ending() == replay::Ending::cut) throw replay::Ended{};
        throw replay::Broken{"out of step after event " + std::to_string(reader->events()) +
                             ": the recorded game ended there, this one asks for " +
                             replay::describe(wanted)};
    }
    if (event.type != wanted) {
        throw replay::Broken{"out of step at event " + std::to_string(reader->events()) +
                             ": the game asks for " + replay::describe(wanted) +
                             ", the recording holds " + replay::describe(event.type)};
    }
    return event;
}

// An argument the game passes (a wait deadline, a sleep) must be the one recorded.
void check_argument(const Event& event, uint32_t value) {
    if (event.value == value) return;
    throw replay::Broken{"out of step at event " + std::to_string(reader->events()) +
                         ": the game " +
                         (event.type == Event::wait ? "waits for " : "sleeps ") +
                         std::to_string(value) + ", the recording holds " +
                         std::to_string(event.value)};
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
        const Event event = take(Event::opened);
        if (event.value != which)
            throw replay::Broken{"out of step at event " + std::to_string(reader->events()) +
                                 ": the game opens another device than the recording holds"};
        ok = event.ok;
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

void reset() {
    writer.reset();
    reader.reset();
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
        taken = take(Event::message).value;
        if (taken == replay::take_close) message = Message::close;
        if (taken == replay::take_quit) message = Message::quit;
    } else if (backend::message_take(message)) {
        taken = message == Message::close ? replay::take_close : replay::take_quit;
    }
    note_value(Event::message, taken);
    return taken != replay::take_none;
}

uint32_t time_ms() {
    const uint32_t now = reader ? take(Event::clock).value : backend::time_ms();
    note_value(Event::clock, now);
    audio::clock_read(now);
    return now;
}

void sleep_ms(uint32_t ms) {
    if (reader) {
        check_argument(take(Event::sleep), ms);
    } else {
        backend::sleep_ms(ms);
    }
    note_value(Event::sleep, ms);
    audio::slept(ms);
}

void wait_until(int32_t deadline) {
    if (reader) {
        check_argument(take(Event::wait), static_cast<uint32_t>(deadline));
    } else {
        backend::wait_until(deadline);
    }
    note_value(Event::wait, static_cast<uint32_t>(deadline));
    audio::waited(deadline);
}

bool keyboard_read(uint8_t keys[256]) {
    Event event;
    if (reader) {
        event = take(Event::keys_read);
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
        event = take(Event::mouse_read);
        if (event.ok) state = event.mouse;
    } else {
        event.type = Event::mouse_read;
        event.ok = backend::mouse_read(state);
        event.mouse = state;
    }
    note(event);
    return event.ok;
}

}  // namespace platform
