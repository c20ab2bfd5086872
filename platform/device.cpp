// The drawing device: a small exact software rasterizer for the fixed-function subset the game uses.
//
// Every quad the game draws is an axis-aligned rectangle, so drawing is a loop over the covered
// pixels: the pixel columns min(x0,x1) <= i < max(x0,x1) (likewise rows), each sampling the texel
// under its centre (point sampling), combined with the vertex colour by the texture stage, then
// written or blended into the back buffer. A mirrored quad (x1 < x0) walks the texels backwards over
// the same pixels, so it is an exact mirror. Both backends share this file; only the present differs.
#include "platform/audio.h"
#include "platform/backend.h"
#include "platform/platform.h"
#include "platform/replay.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace platform {

struct Texture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

namespace {

struct Device {
    bool exists = false;
    int width = 0;
    int height = 0;
    std::vector<uint32_t> back;

    bool blend = false;
    uint32_t src_blend = blend_one;
    uint32_t dest_blend = blend_zero;
    uint32_t cull = cull_ccw;
    uint32_t address_u = address_wrap;
    uint32_t address_v = address_wrap;
    uint32_t color_op = op_modulate, color_arg1 = arg_texture, color_arg2 = arg_current;
    uint32_t alpha_op = op_select_arg1, alpha_arg1 = arg_texture, alpha_arg2 = arg_current;
    Texture* texture = nullptr;
    uint32_t fvf = 0;
};

Device device;
std::vector<DeviceCall>* call_log = nullptr;
int live_textures = 0;

void record(DeviceCall::Kind kind, uint32_t state, uintptr_t value) {
    if (call_log) call_log->push_back({kind, state, value});
}

// x * y / 255, rounded, for x and y in 0..255.
inline uint32_t mul255(uint32_t x, uint32_t y) {
    uint32_t p = x * y + 128;
    return (p + (p >> 8)) >> 8;
}

inline uint32_t channel(uint32_t argb, int shift) { return (argb >> shift) & 0xFF; }

// One texture stage operation on one channel.
inline uint32_t combine(uint32_t op, uint32_t a1, uint32_t a2) {
    switch (op) {
        case op_select_arg1: return a1;
        case op_select_arg2: return a2;
        default: return mul255(a1, a2);
    }
}

inline uint32_t pick(uint32_t arg, uint32_t texel, uint32_t diffuse) {
    return arg == arg_texture ? texel : diffuse;
}

uint32_t stage_output(uint32_t texel, uint32_t diffuse) {
    uint32_t c1 = pick(device.color_arg1, texel, diffuse);
    uint32_t c2 = pick(device.color_arg2, texel, diffuse);
    uint32_t a1 = pick(device.alpha_arg1, texel, diffuse);
    uint32_t a2 = pick(device.alpha_arg2, texel, diffuse);
    uint32_t a = combine(device.alpha_op, channel(a1, 24), channel(a2, 24));
    uint32_t r = combine(device.color_op, channel(c1, 16), channel(c2, 16));
    uint32_t g = combine(device.color_op, channel(c1, 8), channel(c2, 8));
    uint32_t b = combine(device.color_op, channel(c1, 0), channel(c2, 0));
    return a << 24 | r << 16 | g << 8 | b;
}

inline uint32_t factor(uint32_t blend, uint32_t src_alpha) {
    switch (blend) {
        case blend_zero: return 0;
        case blend_src_alpha: return src_alpha;
        case blend_inv_src_alpha: return 255 - src_alpha;
        default: return 255;
    }
}

inline uint32_t blend_with(uint32_t src, uint32_t dst, uint32_t fs, uint32_t fd) {
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        uint32_t v = mul255(channel(src, shift), fs) + mul255(channel(dst, shift), fd);
        out |= std::min<uint32_t>(v, 255) << shift;
    }
    return out;
}

// The usual sprite blend (source alpha, inverse source alpha): fully opaque and fully clear texels,
// most of every picture, need no arithmetic.
inline uint32_t over(uint32_t src, uint32_t dst) {
    uint32_t sa = channel(src, 24);
    if (sa == 255) return src;
    if (sa == 0) return dst;
    return blend_with(src, dst, sa, 255 - sa);
}

inline bool sprite_blend() {
    return device.src_blend == blend_src_alpha && device.dest_blend == blend_inv_src_alpha;
}

inline uint32_t blend_pixel(uint32_t src, uint32_t dst) {
    if (sprite_blend()) return over(src, dst);
    uint32_t sa = channel(src, 24);
    return blend_with(src, dst, factor(device.src_blend, sa), factor(device.dest_blend, sa));
}

// The texel index for each covered pixel along one axis: pixel p (from first) samples at its centre.
void texel_indices(int first, int last, double p0, double p1, double t0, double t1, int size,
                   uint32_t address, std::vector<int>& out) {
    out.clear();
    double scale = (t1 - t0) / (p1 - p0);
    for (int p = first; p < last; ++p) {
        double t = t0 + (p + 0.5 - p0) * scale;
        int index = static_cast<int>(std::floor(t * size));
        if (address == address_clamp) {
            index = std::clamp(index, 0, size - 1);
        } else {
            index %= size;
            if (index < 0) index += size;
        }
        out.push_back(index);
    }
}

// First covered pixel for an edge at e: the pixel whose centre is at or right of it.
inline int covered_from(double e) { return static_cast<int>(std::ceil(e - 0.5)); }

// How a quad's texel columns follow its pixels: each next pixel the next texel (an unstretched
// quad), the one before (mirrored), or any other way (stretched, wrapped or clamped).
enum class Run { forwards, backwards, other };

Run run_of(const std::vector<int>& columns) {
    int step = columns.size() > 1 ? columns[1] - columns[0] : 1;
    if (step != 1 && step != -1) return Run::other;
    for (size_t i = 2; i < columns.size(); ++i)
        if (columns[i] - columns[i - 1] != step) return Run::other;
    return step == 1 ? Run::forwards : Run::backwards;
}

// One row of a quad whose texels pass the stage unchanged, from texel `from` on, one texel per
// pixel in the direction of Step; blended with the sprite blend or written as they are.
template <bool Blend, int Step>
void texel_row(uint32_t* out, int count, const uint32_t* from) {
    if constexpr (!Blend && Step == 1) {
        std::copy(from, from + count, out);
    } else {
        for (int i = 0; i < count; ++i, from += Step) out[i] = Blend ? over(*from, out[i]) : *from;
    }
}

using RowWriter = void (*)(uint32_t*, int, const uint32_t*);

// The row writer for what nearly every quad of the game is: a picture drawn at its own size,
// mirrored or not, with a white vertex colour, opaque or with the sprite blend. Null for any other
// quad, which takes the general path.
RowWriter fast_row_writer(bool passes_texel, Run run) {
    if (!passes_texel || run == Run::other) return nullptr;
    bool forwards = run == Run::forwards;
    if (!device.blend) return forwards ? texel_row<false, 1> : texel_row<false, -1>;
    if (sprite_blend()) return forwards ? texel_row<true, 1> : texel_row<true, -1>;
    return nullptr;
}

bool fast_paths = true;
bool draws = true;

}  // namespace

bool device_create(int width, int height, bool windowed) {
    if (!display_open(width, height, windowed)) return false;
    device = Device{};
    device.exists = true;
    device.width = width;
    device.height = height;
    device.back.assign(static_cast<size_t>(width) * height, 0);
    return true;
}

void device_release() {
    if (!device.exists) return;
    backend::display_release();
    device = Device{};
}

bool device_exists() { return device.exists; }

void device_begin_scene() {}
void device_end_scene() {}

void device_clear(uint32_t argb) {
    if (draws) std::fill(device.back.begin(), device.back.end(), argb);
}

void device_present() {
    if (device.exists)
        backend::display_show(draws ? device.back.data() : nullptr, device.width, device.height);
    audio::present_done();
}

void device_set_render_state(RenderState state, uint32_t value) {
    record(DeviceCall::render_state, static_cast<uint32_t>(state), value);
    switch (state) {
        case RenderState::alpha_blend_enable: device.blend = value != 0; break;
        case RenderState::src_blend: device.src_blend = value; break;
        case RenderState::dest_blend: device.dest_blend = value; break;
        case RenderState::cull_mode: device.cull = value; break;
    }
}

void device_set_sampler_state(SamplerState state, uint32_t value) {
    (state == SamplerState::address_u ? device.address_u : device.address_v) = value;
}

void device_set_stage_state(StageState state, uint32_t value) {
    switch (state) {
        case StageState::color_op: device.color_op = value; break;
        case StageState::color_arg1: device.color_arg1 = value; break;
        case StageState::color_arg2: device.color_arg2 = value; break;
        case StageState::alpha_op: device.alpha_op = value; break;
        case StageState::alpha_arg1: device.alpha_arg1 = value; break;
        case StageState::alpha_arg2: device.alpha_arg2 = value; break;
    }
}

void device_set_texture(Texture* texture) {
    record(DeviceCall::texture, 0, reinterpret_cast<uintptr_t>(texture));
    device.texture = texture;
}

void device_set_fvf(uint32_t fvf) {
    record(DeviceCall::fvf, 0, fvf);
    device.fvf = fvf;
}

void device_draw_quad_strip(const Vertex v[4]) {
    record(DeviceCall::draw, 0, 0);
    if (!device.exists || !draws || device.fvf != fvf_quad) return;
    // Only axis-aligned rectangles laid out as the game's strips: (x0,y0) (x1,y0) (x0,y1) (x1,y1).
    if (v[0].x != v[2].x || v[1].x != v[3].x || v[0].y != v[1].y || v[2].y != v[3].y) return;
    double x0 = v[0].x, x1 = v[1].x, y0 = v[0].y, y1 = v[2].y;
    double w = x1 - x0, h = y1 - y0;
    if (w == 0 || h == 0) return;
    if ((device.cull == cull_ccw && w * h < 0) || (device.cull == cull_cw && w * h > 0)) return;

    int left = std::max(covered_from(std::min(x0, x1)), 0);
    int right = std::min(covered_from(std::max(x0, x1)), device.width);
    int top = std::max(covered_from(std::min(y0, y1)), 0);
    int bottom = std::min(covered_from(std::max(y0, y1)), device.height);
    if (left >= right || top >= bottom) return;

    const Texture* texture = device.texture;
    uint32_t diffuse = v[0].colour;
    static std::vector<int> columns, rows;
    if (texture) {
        texel_indices(left, right, x0, x1, v[0].u, v[1].u, texture->width, device.address_u,
                      columns);
        texel_indices(top, bottom, y0, y1, v[0].v, v[2].v, texture->height, device.address_v,
                      rows);
    }
    // With a white vertex colour the usual stage (texture times diffuse) passes texels unchanged.
    bool passes_texel = texture && diffuse == 0xFFFFFFFF &&
                        stage_output(0x80402010, diffuse) == 0x80402010 &&
                        stage_output(0x10204080, diffuse) == 0x10204080;
    uint32_t untextured = stage_output(0xFFFFFFFF, diffuse);
    // An opaque untextured quad (the sky fill, the banner's black) is a plain fill.
    uint32_t alpha = channel(untextured, 24);
    bool replaces = !device.blend || (factor(device.src_blend, alpha) == 255 &&
                                      factor(device.dest_blend, alpha) == 0);
    if (!texture && replaces && fast_paths) {
        for (int y = top; y < bottom; ++y) {
            uint32_t* out = &device.back[static_cast<size_t>(y) * device.width];
            std::fill(out + left, out + right, untextured);
        }
        return;
    }

    RowWriter fast = fast_paths && texture ? fast_row_writer(passes_texel, run_of(columns)) : nullptr;
    for (int y = top; y < bottom; ++y) {
        uint32_t* out = &device.back[static_cast<size_t>(y) * device.width];
        const uint32_t* texels =
            texture ? &texture->pixels[static_cast<size_t>(rows[y - top]) * texture->width]
                    : nullptr;
        if (fast) {
            fast(out + left, right - left, texels + columns[0]);
            continue;
        }
        for (int x = left; x < right; ++x) {
            uint32_t colour = untextured;
            if (texture) {
                uint32_t texel = texels[columns[x - left]];
                colour = passes_texel ? texel : stage_output(texel, diffuse);
            }
            out[x] = device.blend ? blend_pixel(colour, out[x]) : colour;
        }
    }
}

const uint32_t* device_back_buffer() { return device.back.data(); }
int device_width() { return device.width; }
int device_height() { return device.height; }

Texture* texture_create(int width, int height) {
    if (width <= 0 || height <= 0) {
        set_error("cannot create a texture of " + std::to_string(width) + "x" +
                  std::to_string(height));
        return nullptr;
    }
    auto* texture = new Texture;
    live_textures += 1;
    texture->width = width;
    texture->height = height;
    texture->pixels.assign(static_cast<size_t>(width) * height, 0);
    return texture;
}

uint32_t* texture_pixels(Texture* texture, int* pitch_bytes) {
    *pitch_bytes = texture->width * 4;
    return texture->pixels.data();
}

void texture_release(Texture* texture) {
    if (texture) live_textures -= 1;
    delete texture;
}

int texture_count() { return live_textures; }

void device_record(std::vector<DeviceCall>* log) { call_log = log; }

void device_fast_paths(bool on) { fast_paths = on; }

void device_draws(bool on) { draws = on; }
bool device_drawing() { return draws; }

}  // namespace platform
