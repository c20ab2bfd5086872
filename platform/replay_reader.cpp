// Reading a recording back: checked whole before the game starts, then handed out event by event.
#include "platform/replay_codec.h"
#include "platform/replay_format.h"

#include <cstring>

namespace platform::replay {

using namespace codec;

Reader::~Reader() {
    if (file_) std::fclose(file_);
}

bool Reader::open(const std::string& path, std::string& error) {
    file_ = std::fopen(path.c_str(), "rb");
    if (!file_) {
        error = "cannot read the recording: " + std::string(std::strerror(errno));
        return false;
    }
    char header[sizeof magic + 1];
    const size_t got = std::fread(header, 1, sizeof header, file_);
    if (got < sizeof magic || std::memcmp(header, magic, sizeof magic) != 0) {
        error = "not a brickrun recording (it does not start with BRREPLAY)";
        return false;
    }
    if (got < sizeof header) {
        error = "cut short in its header";
        return false;
    }
    if (static_cast<uint8_t>(header[sizeof magic]) != version) {
        error = "format version " + std::to_string(static_cast<uint8_t>(header[sizeof magic])) +
                ", this program reads version " + std::to_string(version);
        return false;
    }
    for (char c : header) crc_add(crc_, static_cast<uint8_t>(c));
    offset_ = sizeof header;
    while (!at_end_) {
        if (!step(nullptr, error)) return false;
    }
    const uint32_t expected = crc_;
    uint8_t tail[4];
    if (std::fread(tail, 1, 4, file_) != 4) {
        error = "cut short after its end marker";
        return false;
    }
    const uint32_t stored =
        tail[0] | tail[1] << 8 | tail[2] << 16 | static_cast<uint32_t>(tail[3]) << 24;
    if (stored != expected) {
        error = "damaged: its checksum does not match its contents";
        return false;
    }
    if (std::getc(file_) != EOF) {
        error = "damaged: bytes follow its end marker";
        return false;
    }
    // Checked; now from the first record again, for the game.
    std::fseek(file_, static_cast<long>(sizeof header), SEEK_SET);
    offset_ = sizeof header;
    state_ = CodecState{};
    at_end_ = false;
    return true;
}

bool Reader::next(Event& event, std::string& error) {
    if (at_end_) {
        event = Event{};
        return true;
    }
    if (!step(&event, error)) return false;
    if (event.type != Event::end) ++events_;
    return true;
}

bool Reader::step(Event* out, std::string& error) {
    if (copy_left_ > 0) {
        const std::string literal = state_.history[state_.history.size() - copy_distance_];
        Source again{.text = &literal, .pos = 1};
        if (!decode(static_cast<uint8_t>(literal[0]), again, state_, *out, error)) return false;
        advance(state_, *out);
        remember(state_, literal);
        --copy_left_;
        return true;
    }
    const long at = offset_;
    std::string literal;
    Source in{.file = file_, .keep = &literal, .crc = &crc_, .offset = &offset_};
    auto fail = [&](const std::string& what) {
        error = "record at byte " + std::to_string(at) + ": " + what;
        return false;
    };
    const int tag = in.get();
    if (tag < 0) {
        return fail("the file ends without its end marker (the recording was not finished)");
    }
    const uint8_t low = tag & 0x0F;
    if (tag >> 4 == k_end) {
        if (low > static_cast<uint8_t>(Ending::cut)) return fail("unknown end marker");
        ending_ = static_cast<Ending>(low);
        at_end_ = true;
        if (out) *out = Event{};
        return true;
    }
    if (tag >> 4 == k_copy) {
        uint64_t count = 0;
        if (!get_varint(in, count, error)) return fail(error);
        const int distance = low + 1;
        if (count == 0 || count > copy_max) return fail("copy count out of range");
        if (static_cast<size_t>(distance) > state_.history.size())
            return fail("a copy reaches back before the first record");
        if (out) {
            copy_left_ = count;
            copy_distance_ = distance;
            return step(out, error);
        }
        // While checking only the history matters, and it repeats every `distance` records.
        total_events_ += count;
        const uint64_t pushes =
            count <= 2 * copy_reach ? count : copy_reach + (count - copy_reach) % distance;
        for (uint64_t i = 0; i < pushes; ++i)
            remember(state_, state_.history[state_.history.size() - distance]);
        return true;
    }
    Event scratch;
    Event& event = out ? *out : scratch;
    if (!decode(static_cast<uint8_t>(tag), in, state_, event, error)) return fail(error);
    if (!out) ++total_events_;
    advance(state_, event);
    remember(state_, literal);
    return true;
}

}  // namespace platform::replay
