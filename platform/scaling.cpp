#include "platform/scaling.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace platform {

namespace {

constexpr uint32_t black = 0xFF000000;

Scaling chosen = Scaling::fill;

void fill(uint32_t* screen, int pitch, int left, int top, int width, int height) {
    for (int y = top; y < top + height; ++y)
        std::fill_n(screen + static_cast<size_t>(y) * static_cast<size_t>(pitch) + left, width,
                    black);
}

// One picture row, each pixel `scale` times. Doubling, the most common case, gets a loop of its own
// that the compiler turns into vector stores.
void widen(const uint32_t* in, int width, int scale, uint32_t* out) {
    if (scale == 2) {
        for (int x = 0; x < width; ++x) out[2 * x] = out[2 * x + 1] = in[x];
        return;
    }
    for (int x = 0; x < width; ++x) std::fill_n(out + x * scale, scale, in[x]);
}

// Which picture rows differ from the last picture drawn: a screen that keeps its pixels needs only
// those drawn again. In play much of the picture is the same from frame to frame (the sky, the
// heads-up display), and on the title menu all of it.
class Changes {
public:
    // Compares the picture with the last one, or counts every row as changed when the screen does
    // not hold that one; keeps a copy for the next time.
    void compare(const uint32_t* picture, int width, int height, bool kept) {
        const auto row = static_cast<size_t>(width);
        const bool same_size = width == width_ && height == height_;
        last_.resize(row * static_cast<size_t>(height));
        changed_.assign(static_cast<size_t>(height), 1);
        for (size_t y = 0; y < static_cast<size_t>(height); ++y) {
            const uint32_t* in = picture + y * row;
            uint32_t* last = last_.data() + y * row;
            if (kept && same_size && std::memcmp(in, last, row * 4) == 0) {
                changed_[y] = 0;
                continue;
            }
            std::memcpy(last, in, row * 4);
        }
        width_ = width;
        height_ = height;
    }
    bool changed(int y) const { return changed_[static_cast<size_t>(y)] != 0; }

private:
    std::vector<uint32_t> last_;
    std::vector<char> changed_;
    int width_ = 0, height_ = 0;
};

Changes changes;

void draw_whole(const uint32_t* picture, int width, int height, uint32_t* origin, size_t pitch,
                int scale) {
    const auto row_bytes = static_cast<size_t>(width) * static_cast<size_t>(scale) * 4;
    for (int y = 0; y < height; ++y) {
        if (!changes.changed(y)) continue;
        const uint32_t* in = picture + static_cast<size_t>(y) * static_cast<size_t>(width);
        uint32_t* out = origin + static_cast<size_t>(y) * static_cast<size_t>(scale) * pitch;
        if (scale == 1) {
            std::memcpy(out, in, row_bytes);
            continue;
        }
        widen(in, width, scale, out);
        for (int k = 1; k < scale; ++k) std::memcpy(out + k * pitch, out, row_bytes);
    }
}

// Each screen pixel takes the picture pixel its top-left corner falls in.
void draw_shrunk(const uint32_t* picture, int width, int height, uint32_t* origin, size_t pitch,
                 int shown_width, int shown_height) {
    std::vector<int> columns(static_cast<size_t>(shown_width));
    for (int i = 0; i < shown_width; ++i)
        columns[static_cast<size_t>(i)] = static_cast<int>(int64_t{i} * width / shown_width);
    for (int j = 0; j < shown_height; ++j) {
        const auto source_row = static_cast<size_t>(int64_t{j} * height / shown_height);
        if (!changes.changed(static_cast<int>(source_row))) continue;
        const uint32_t* in = picture + source_row * static_cast<size_t>(width);
        uint32_t* out = origin + static_cast<size_t>(j) * pitch;
        for (int i = 0; i < shown_width; ++i) out[i] = in[columns[static_cast<size_t>(i)]];
    }
}

// ---- fill -----------------------------------------------------------------------------------------

// Screen pixel i, of `screen` across `picture` picture pixels (screen >= picture), starts in
// picture pixel `first` and lies within it but for `next` 256ths of its width, which lie in the one
// after; for most screen pixels `next` is 0.
struct Cover {
    int first;
    uint32_t next;
};

Cover cover(int i, int picture, int screen) {
    // In units of 1/screen of a picture pixel, screen pixel i spans [i, i + 1) * picture.
    const int64_t start = int64_t{i} * picture, end = start + picture;
    const int64_t first = start / screen;
    const int64_t over = std::max<int64_t>(0, end - (first + 1) * screen);
    return {static_cast<int>(first), static_cast<uint32_t>((over * 256 + picture / 2) / picture)};
}

// a and b mixed, b's share `w` 256ths, each colour channel on its own; opaque.
inline uint32_t mix(uint32_t a, uint32_t b, uint32_t w) {
    const uint32_t v = 256 - w;
    const uint32_t rb = (((a & 0xFF00FF) * v + (b & 0xFF00FF) * w) >> 8) & 0xFF00FF;
    const uint32_t g = (((a & 0xFF00) * v + (b & 0xFF00) * w) >> 8) & 0xFF00;
    return black | rb | g;
}

// Two rows mixed, b's share `w` 256ths, two pixels at a time: each 16-bit lane holds one channel's
// product, which never carries into the next. Where the rows agree (most of the sky) they are copied.
void mix_rows(const uint32_t* a, const uint32_t* b, uint32_t w, uint32_t* out, int count) {
    constexpr uint64_t lanes = 0x00FF00FF00FF00FFull;
    const uint64_t v = 256 - w;
    int i = 0;
    for (; i + 2 <= count; i += 2) {
        uint64_t x, y;
        std::memcpy(&x, a + i, 8);
        std::memcpy(&y, b + i, 8);
        if (x != y) {
            const uint64_t low = (((x & lanes) * v + (y & lanes) * w) >> 8) & lanes;
            const uint64_t high = (((x >> 8) & lanes) * v + ((y >> 8) & lanes) * w) & ~lanes;
            x = low | high;
        }
        std::memcpy(out + i, &x, 8);
    }
    for (; i < count; ++i) out[i] = mix(a[i], b[i], w);
}

// The fill, a row at a time: each picture row is stretched across once, and each screen row is a
// stretched row or two of them mixed. This runs for every picture shown full screen, so it works
// from tables made once per size, and a picture pixel at a time across: each is written to the
// screen pixels that start in it (at most two, up to twice the size), and mixed with its
// neighbour only in the last of them, and only where the two differ.
class Filler {
public:
    void draw(const uint32_t* picture, int width, int height, uint32_t* origin, size_t pitch,
              int shown_width, int shown_height) {
        if (width != width_ || shown_width != shown_width_) measure_columns(width, shown_width);
        if (height != height_ || shown_height != shown_height_) {
            lines_.resize(static_cast<size_t>(shown_height));
            for (int j = 0; j < shown_height; ++j)
                lines_[static_cast<size_t>(j)] = cover(j, height, shown_height);
            height_ = height;
            shown_height_ = shown_height;
        }
        picture_ = picture;
        held_[0] = held_[1] = -1;
        for (int j = 0; j < shown_height; ++j) {
            const Cover line = lines_[static_cast<size_t>(j)];
            if (!changes.changed(line.first) && (line.next == 0 || !changes.changed(line.first + 1)))
                continue;
            uint32_t* out = origin + static_cast<size_t>(j) * pitch;
            if (line.next == 0)
                std::memcpy(out, stretched(line.first), static_cast<size_t>(shown_width) * 4);
            else
                mix_rows(stretched(line.first), stretched(line.first + 1), line.next, out,
                         shown_width);
        }
    }

private:
    // How many screen pixels start in each picture column, and the last one's share of the next.
    struct Span {
        int count = 0;
        uint32_t next = 0;
    };

    void measure_columns(int width, int shown_width) {
        spans_.assign(static_cast<size_t>(width), Span{});
        for (int i = 0; i < shown_width; ++i) {
            const Cover c = cover(i, width, shown_width);
            Span& span = spans_[static_cast<size_t>(c.first)];
            ++span.count;
            span.next = c.next;
        }
        // Two pixels are always written at a picture pixel's place, so a row has one to spare.
        for (auto& row : rows_) row.resize(static_cast<size_t>(shown_width) + 1);
        width_ = width;
        shown_width_ = shown_width;
    }

    // Picture row r stretched across; rows are asked for in order, so r and r + 1 are enough.
    const uint32_t* stretched(int r) {
        std::vector<uint32_t>& row = rows_[r & 1];
        if (held_[r & 1] == r) return row.data();
        held_[r & 1] = r;
        const uint32_t* in = picture_ + static_cast<size_t>(r) * static_cast<size_t>(width_);
        uint32_t* out = row.data();
        // A row of one colour (much of the sky) is that colour across.
        if (std::memcmp(in, in + 1, static_cast<size_t>(width_ - 1) * 4) == 0) {
            std::fill_n(out, shown_width_, in[0]);
            return out;
        }
        for (int k = 0; k < width_; ++k) {
            const Span span = spans_[static_cast<size_t>(k)];
            const uint32_t v = in[k];
            out[0] = out[1] = v;  // every picture pixel has one screen pixel, most have two
            if (span.count > 2) std::fill_n(out + 2, span.count - 2, v);
            out += span.count;
            if (span.next != 0 && in[k + 1] != v) out[-1] = mix(v, in[k + 1], span.next);
        }
        return row.data();
    }

    std::vector<Span> spans_;
    std::vector<Cover> lines_;
    int width_ = 0, height_ = 0, shown_width_ = 0, shown_height_ = 0;
    const uint32_t* picture_ = nullptr;
    std::vector<uint32_t> rows_[2];
    int held_[2] = {-1, -1};
};

Filler filler;

}  // namespace

void set_scaling(Scaling scaling) { chosen = scaling; }
Scaling scaling() { return chosen; }

Fit fit_for(int picture_width, int picture_height, int screen_width, int screen_height,
            bool full_screen) {
    if (chosen == Scaling::whole) return Fit::whole;
    if (full_screen) return Fit::fill;
    const bool more_than_twice =
        screen_width > 2 * picture_width && screen_height > 2 * picture_height;
    return more_than_twice ? Fit::fill : Fit::whole;
}

Placement place_picture(int picture_width, int picture_height, int screen_width,
                        int screen_height, Fit fit) {
    Placement p;
    if (picture_width <= 0 || picture_height <= 0 || screen_width <= 0 || screen_height <= 0)
        return p;
    const int scale = std::min(screen_width / picture_width, screen_height / picture_height);
    if (scale >= 1 && fit == Fit::whole) {
        p.width = picture_width * scale;
        p.height = picture_height * scale;
    } else if (int64_t{screen_width} * picture_height <= int64_t{screen_height} * picture_width) {
        p.width = screen_width;
        p.height = std::max(1, static_cast<int>(int64_t{screen_width} * picture_height /
                                                picture_width));
    } else {
        p.height = screen_height;
        p.width = std::max(1, static_cast<int>(int64_t{screen_height} * picture_width /
                                               picture_height));
    }
    p.left = (screen_width - p.width) / 2;
    p.top = (screen_height - p.height) / 2;
    return p;
}

void draw_scaled(const uint32_t* picture, int width, int height, uint32_t* screen,
                 int screen_pitch, int screen_width, int screen_height, Fit fit, bool kept) {
    const Placement p = place_picture(width, height, screen_width, screen_height, fit);
    changes.compare(picture, width, height, kept);
    if (!kept) {
        fill(screen, screen_pitch, 0, 0, screen_width, p.top);
        fill(screen, screen_pitch, 0, p.top + p.height, screen_width,
             screen_height - p.top - p.height);
        fill(screen, screen_pitch, 0, p.top, p.left, p.height);
        fill(screen, screen_pitch, p.left + p.width, p.top, screen_width - p.left - p.width,
             p.height);
    }
    if (p.width == 0) return;

    const auto pitch = static_cast<size_t>(screen_pitch);
    uint32_t* origin = screen + static_cast<size_t>(p.top) * pitch + static_cast<size_t>(p.left);
    if (p.width % width == 0 && p.height == p.width / width * height)
        draw_whole(picture, width, height, origin, pitch, p.width / width);
    else if (p.width < width || p.height < height)
        draw_shrunk(picture, width, height, origin, pitch, p.width, p.height);
    else
        filler.draw(picture, width, height, origin, pitch, p.width, p.height);
}

}  // namespace platform
