// The recording file: what the game read across platform.h, one record per read, in order.
//
// Layout: the magic "BRREPLAY", one version byte, then records, then the end marker and a CRC-32
// of every byte before it. A record is a tag byte, its kind in the high four bits and a small
// value in the low four (15: a varint follows), and maybe a payload. Values are kept relative to
// what came before (the clock to the last reading, keys as the codes that changed), so a frame of
// play costs a few bytes; a copy record repeats records already written, which is what most frames
// are. The writer and the reader share the coding state, so both apply a record the same way.
#pragma once

#include "platform/platform.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <string>
#include <vector>

namespace platform::replay {

constexpr char magic[8] = {'B', 'R', 'R', 'E', 'P', 'L', 'A', 'Y'};
constexpr uint8_t version = 1;

// One read across the boundary, as the game saw it.
struct Event {
    enum Type : uint8_t {
        end, clock, wait, sleep, keys_read, mouse_read, message, opened, pointer_read
    };
    Type type = end;
    bool ok = true;      // keys, mouse, opened: whether the call succeeded
    uint32_t value = 0;  // clock reading, wait deadline, sleep ms, message (Take), opened (Open)
    MouseState mouse;    // mouse reads that succeeded
    PointerState pointer;  // pointer reads that succeeded
    std::array<uint8_t, 256> keys{};  // keyboard reads that succeeded: 0x80 while held
};

// What a message_take returned; and which call an opened event reports.
enum Take : uint32_t { take_none = 0, take_close = 1, take_quit = 2 };
enum Open : uint32_t { open_window = 0, open_display = 1, open_keyboard = 2, open_mouse = 3 };

// Why the recording stops: the game ended by itself, or the run was cut off (a present limit).
enum class Ending : uint8_t { game_over = 0, cut = 1 };

// Names an event type in messages ("a clock reading").
const char* describe(Event::Type type);

// The state records are relative to; the writer and the reader keep one each.
struct CodecState {
    uint32_t clock = 0;                   // the last clock reading, moved on by waits and sleeps
    uint32_t deadline = 0;                // the last frame wait's deadline
    std::array<bool, 256> held{};         // the last keyboard snapshot that succeeded
    std::deque<std::string> history;      // the last few literal records, for copies
};

constexpr int copy_reach = 16;           // how far back a copy may reach, in records
constexpr uint64_t copy_max = 1u << 30;  // the longest copy a file may hold

class Writer {
public:
    ~Writer();
    bool open(const std::string& path, std::string& error);
    void put(const Event& event);
    // Writes what is pending, the end marker and the checksum, and closes the file.
    bool finish(Ending ending, std::string& error);
    bool is_open() const { return file_ != nullptr; }
    uint64_t events() const { return events_; }

private:
    void emit(const std::string& bytes);
    void flush_pending();

    std::FILE* file_ = nullptr;
    CodecState state_;
    std::vector<std::string> pending_;  // records a copy may still take over
    uint32_t candidates_ = 0;           // bit d-1: every pending record equals the one d back
    uint32_t crc_ = 0;
    uint64_t events_ = 0;
};

class Reader {
public:
    ~Reader();
    // Checks the header and every record through to the checksum, then stands at the first record.
    // False with error ("format version 7, this program reads version 1") for any damage.
    bool open(const std::string& path, std::string& error);
    // The next event; type end once the records are used up. False (with error) only when the
    // file changed after open checked it.
    bool next(Event& event, std::string& error);
    Ending ending() const { return ending_; }
    uint64_t events() const { return events_; }  // how many events next() handed out
    // Whether next() has handed out every event the file holds: only its end marker is left.
    bool all_handed_out() const { return events_ == total_events_; }

private:
    // One step through the file. While checking (out null) a copy is taken in one go.
    bool step(Event* out, std::string& error);

    std::FILE* file_ = nullptr;
    CodecState state_;
    uint64_t copy_left_ = 0;
    int copy_distance_ = 0;
    Ending ending_ = Ending::game_over;
    bool at_end_ = false;
    uint32_t crc_ = 0;
    uint64_t events_ = 0;
    uint64_t total_events_ = 0;  // counted while open checks the file
    long offset_ = 0;  // bytes read so far, for messages
};

}  // namespace platform::replay
