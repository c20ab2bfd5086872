// Writing recordings, and the record coding the reader shares.
#include "platform/replay_format.h"

#include "platform/replay_codec.h"

#include <cstring>
#include <limits>

namespace platform::replay {

namespace codec {

constexpr std::array<uint32_t, 256> crc_table = [] {
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}();

void crc_add(uint32_t& crc, uint8_t byte) {
    crc = ~crc;
    crc = crc_table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
    crc = ~crc;
}

uint64_t zigzag(int64_t v) {
    return (static_cast<uint64_t>(v) << 1) ^ static_cast<uint64_t>(v >> 63);
}
int64_t unzigzag(uint64_t z) { return static_cast<int64_t>(z >> 1) ^ -static_cast<int64_t>(z & 1); }

void put_varint(std::string& out, uint64_t v) {
    while (v >= 0x80) {
        out.push_back(static_cast<char>(v | 0x80));
        v >>= 7;
    }
    out.push_back(static_cast<char>(v));
}

const char* const cut_short = "cut short inside a record (the recording was not finished)";

bool get_varint(Source& in, uint64_t& v, std::string& error) {
    v = 0;
    for (int shift = 0; shift < 64; shift += 7) {
        int c = in.get();
        if (c < 0) {
            error = cut_short;
            return false;
        }
        v |= static_cast<uint64_t>(c & 0x7F) << shift;
        if ((c & 0x80) == 0) return true;
    }
    error = "a number runs on past ten bytes";
    return false;
}

bool get_value(Source& in, uint8_t low, uint64_t& v, std::string& error) {
    if (low != escape) {
        v = low;
        return true;
    }
    return get_varint(in, v, error);
}

bool get_int32(Source& in, int32_t& v, const char* what, std::string& error) {
    uint64_t z = 0;
    if (!get_varint(in, z, error)) return false;
    int64_t s = unzigzag(z);
    if (s < std::numeric_limits<int32_t>::min() || s > std::numeric_limits<int32_t>::max()) {
        error = std::string(what) + " out of range";
        return false;
    }
    v = static_cast<int32_t>(s);
    return true;
}

void put_value(std::string& out, uint8_t kind, uint64_t v) {
    if (v < escape) {
        out.push_back(static_cast<char>(kind << 4 | v));
    } else {
        out.push_back(static_cast<char>(kind << 4 | escape));
        put_varint(out, v);
    }
}

uint8_t button_mask(const MouseState& m) {
    uint8_t mask = 0;
    for (int i = 0; i < 4; ++i) mask |= (m.buttons[i] & held) ? 1 << i : 0;
    return mask;
}

void advance(CodecState& s, const Event& e) {
    if (e.type == Event::clock) s.clock = e.value;
    if (e.type == Event::wait && static_cast<int32_t>(e.value - s.clock) > 0) s.clock = e.value;
    if (e.type == Event::wait) s.deadline = e.value;
    if (e.type == Event::sleep) s.clock += e.value;
    if (e.type == Event::keys_read && e.ok) {
        for (int k = 0; k < 256; ++k) s.held[k] = e.keys[k] != 0;
    }
}

void remember(CodecState& s, const std::string& literal) {
    s.history.push_back(literal);
    if (s.history.size() > copy_reach) s.history.pop_front();
}

bool decode(uint8_t tag, Source& in, const CodecState& s, Event& e, std::string& error) {
    const uint8_t low = tag & 0x0F;
    e = Event{};
    uint64_t v = 0;
    switch (tag >> 4) {
    case k_clock:
        e.type = Event::clock;
        if (low != escape) {
            e.value = s.clock + low;
        } else {
            int32_t d = 0;
            if (!get_int32(in, d, "clock step", error)) return false;
            e.value = s.clock + static_cast<uint32_t>(d);
        }
        return true;
    case k_wait:
        e.type = Event::wait;
        if (!get_value(in, low, v, error)) return false;
        if (v > 0xFFFFFFFFu) {
            error = "wait deadline out of range";
            return false;
        }
        e.value = s.deadline + static_cast<uint32_t>(unzigzag(v));
        return true;
    case k_sleep:
        e.type = Event::sleep;
        if (!get_value(in, low, v, error)) return false;
        if (v > 0xFFFFFFFFu) {
            error = "sleep out of range";
            return false;
        }
        e.value = static_cast<uint32_t>(v);
        return true;
    case k_keys: {
        e.type = Event::keys_read;
        if (!get_value(in, low, v, error)) return false;
        if (v > 256) {
            error = "a keyboard snapshot changes " + std::to_string(v) + " keys, more than 256";
            return false;
        }
        for (int k = 0; k < 256; ++k) e.keys[k] = s.held[k] ? held : 0;
        int previous = -1;
        for (uint64_t i = 0; i < v; ++i) {
            int code = in.get();
            if (code < 0) {
                error = cut_short;
                return false;
            }
            if (code <= previous) {
                error = "key code " + std::to_string(code) + " out of order in a keyboard snapshot";
                return false;
            }
            previous = code;
            e.keys[code] ^= held;
        }
        return true;
    }
    case k_keys_failed:
    case k_mouse_failed:
        e.type = (tag >> 4) == k_keys_failed ? Event::keys_read : Event::mouse_read;
        e.ok = false;
        if (low == 0) return true;
        break;
    case k_mouse_still:
    case k_mouse_moved:
        e.type = Event::mouse_read;
        for (int i = 0; i < 4; ++i) e.mouse.buttons[i] = (low >> i & 1) ? held : 0;
        if ((tag >> 4) == k_mouse_still) return true;
        return get_int32(in, e.mouse.dx, "mouse motion", error) &&
               get_int32(in, e.mouse.dy, "mouse motion", error) &&
               get_int32(in, e.mouse.dz, "mouse motion", error);
    // The editor's pointer: the buttons in the low three bits, or the fourth alone for a failed
    // read; a read that worked carries where the pointer is and the wheel's turn.
    case k_pointer:
        e.type = Event::pointer_read;
        if (low == pointer_failed) {
            e.ok = false;
            return true;
        }
        if (low > 7) break;
        for (int i = 0; i < 3; ++i) e.pointer.buttons[i] = (low >> i & 1) ? held : 0;
        return get_int32(in, e.pointer.x, "pointer position", error) &&
               get_int32(in, e.pointer.y, "pointer position", error) &&
               get_int32(in, e.pointer.wheel, "wheel turn", error);
    case k_message:
        e.type = Event::message;
        e.value = low;
        if (low <= take_quit) return true;
        break;
    case k_opened:
        e.type = Event::opened;
        e.value = low >> 1;
        e.ok = (low & 1) != 0;
        if (low <= 7) return true;
        break;
    default: break;
    }
    char text[64];
    std::snprintf(text, sizeof text, "unknown record tag 0x%02X", tag);
    error = text;
    return false;
}

int Source::get() {
    if (text) return pos < text->size() ? static_cast<uint8_t>((*text)[pos++]) : -1;
    int c = std::getc(file);
    if (c == EOF) return -1;
    keep->push_back(static_cast<char>(c));
    crc_add(*crc, static_cast<uint8_t>(c));
    ++*offset;
    return c;
}

}  // namespace codec

namespace {
using namespace codec;

std::string encode(const Event& e, const CodecState& s) {
    std::string out;
    switch (e.type) {
    case Event::clock:
        if (e.value - s.clock < escape) {
            out.push_back(static_cast<char>(k_clock << 4 | (e.value - s.clock)));
        } else {
            out.push_back(static_cast<char>(k_clock << 4 | escape));
            put_varint(out, zigzag(static_cast<int32_t>(e.value - s.clock)));
        }
        break;
    // Frame waits come at a steady pace, so each is kept relative to the one before.
    case Event::wait:
        put_value(out, k_wait, zigzag(static_cast<int32_t>(e.value - s.deadline)));
        break;
    case Event::sleep: put_value(out, k_sleep, e.value); break;
    case Event::keys_read: {
        if (!e.ok) {
            out.push_back(static_cast<char>(k_keys_failed << 4));
            break;
        }
        std::string codes;
        for (int k = 0; k < 256; ++k) {
            if ((e.keys[k] != 0) != s.held[k]) codes.push_back(static_cast<char>(k));
        }
        put_value(out, k_keys, codes.size());
        out += codes;
        break;
    }
    case Event::mouse_read: {
        const MouseState& m = e.mouse;
        if (!e.ok) {
            out.push_back(static_cast<char>(k_mouse_failed << 4));
        } else if (m.dx == 0 && m.dy == 0 && m.dz == 0) {
            out.push_back(static_cast<char>(k_mouse_still << 4 | button_mask(m)));
        } else {
            out.push_back(static_cast<char>(k_mouse_moved << 4 | button_mask(m)));
            for (int32_t v : {m.dx, m.dy, m.dz}) put_varint(out, zigzag(v));
        }
        break;
    }
    case Event::pointer_read: {
        const PointerState& p = e.pointer;
        if (!e.ok) {
            out.push_back(static_cast<char>(k_pointer << 4 | pointer_failed));
            break;
        }
        uint8_t mask = 0;
        for (int i = 0; i < 3; ++i) mask |= (p.buttons[i] & held) ? 1 << i : 0;
        out.push_back(static_cast<char>(k_pointer << 4 | mask));
        for (int32_t v : {p.x, p.y, p.wheel}) put_varint(out, zigzag(v));
        break;
    }
    case Event::message: out.push_back(static_cast<char>(k_message << 4 | e.value)); break;
    case Event::opened:
        out.push_back(static_cast<char>(k_opened << 4 | e.value << 1 | (e.ok ? 1 : 0)));
        break;
    case Event::end: break;
    }
    return out;
}

}  // namespace

const char* describe(Event::Type type) {
    switch (type) {
    case Event::end: return "the end of the recording";
    case Event::clock: return "a clock reading";
    case Event::wait: return "a frame wait";
    case Event::sleep: return "a sleep";
    case Event::keys_read: return "a keyboard snapshot";
    case Event::mouse_read: return "a mouse read";
    case Event::message: return "a message";
    case Event::opened: return "a device opening";
    case Event::pointer_read: return "a pointer read";
    }
    return "?";
}

// ---- writing ------------------------------------------------------------------------------------

Writer::~Writer() {
    if (file_) std::fclose(file_);
}

bool Writer::open(const std::string& path, std::string& error) {
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_) {
        error = "cannot write the recording: " + std::string(std::strerror(errno));
        return false;
    }
    std::setvbuf(file_, nullptr, _IOFBF, 1 << 16);
    std::string header(magic, sizeof magic);
    header.push_back(static_cast<char>(version));
    emit(header);
    return true;
}

void Writer::emit(const std::string& bytes) {
    for (char c : bytes) crc_add(crc_, static_cast<uint8_t>(c));
    std::fwrite(bytes.data(), 1, bytes.size(), file_);
}

void Writer::put(const Event& event) {
    if (!file_) return;
    ++events_;
    const std::string literal = encode(event, state_);
    advance(state_, event);
    uint32_t matches = 0;
    const size_t n = state_.history.size();
    for (size_t d = 1; d <= n; ++d) {
        if (state_.history[n - d] == literal) matches |= 1u << (d - 1);
    }
    if (!pending_.empty() && (candidates_ & matches) != 0 && pending_.size() < copy_max) {
        candidates_ &= matches;
        pending_.push_back(literal);
    } else {
        flush_pending();
        if (matches != 0) {
            candidates_ = matches;
            pending_.push_back(literal);
        } else {
            emit(literal);
        }
    }
    remember(state_, literal);
}

// A run of records equal to those d back becomes one copy record, when that is shorter.
void Writer::flush_pending() {
    if (pending_.empty()) return;
    int distance = 1;
    while ((candidates_ & (1u << (distance - 1))) == 0) ++distance;
    std::string copy(1, static_cast<char>(k_copy << 4 | (distance - 1)));
    put_varint(copy, pending_.size());
    size_t literal_bytes = 0;
    for (const auto& p : pending_) literal_bytes += p.size();
    if (copy.size() < literal_bytes) {
        emit(copy);
    } else {
        for (const auto& p : pending_) emit(p);
    }
    pending_.clear();
    candidates_ = 0;
}

bool Writer::finish(Ending ending, std::string& error) {
    if (!file_) return true;
    flush_pending();
    emit(std::string(1, static_cast<char>(k_end << 4 | static_cast<uint8_t>(ending))));
    const uint32_t crc = crc_;
    const char tail[4] = {static_cast<char>(crc), static_cast<char>(crc >> 8),
                          static_cast<char>(crc >> 16), static_cast<char>(crc >> 24)};
    std::fwrite(tail, 1, 4, file_);
    const bool ok = std::ferror(file_) == 0;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (ok && closed) return true;
    error = "cannot write the recording";
    return false;
}

}  // namespace platform::replay
