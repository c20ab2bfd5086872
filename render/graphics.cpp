#include "render/graphics.h"

#include "platform/platform.h"

int32_t screen_width = 0;
int32_t screen_height = 0;

bool graphics_init(int32_t width, int32_t height, bool windowed) {
    using namespace platform;
    if (!device_create(width, height, windowed)) return false;
    device_set_sampler_state(SamplerState::address_u, address_clamp);
    device_set_sampler_state(SamplerState::address_v, address_clamp);
    device_begin_scene();
    // The very first picture is cleared to transparent black; later ones to opaque black.
    device_clear(0x00000000);
    device_set_render_state(RenderState::cull_mode, cull_none);  // mirrored quads stay visible
    screen_width = width;
    screen_height = height;
    window_place(0, 0, width, height);
    window_show();
    // Every pixel is texture times vertex colour, alpha likewise; untextured quads draw their colour.
    device_set_stage_state(StageState::color_op, op_modulate);
    device_set_stage_state(StageState::color_arg1, arg_texture);
    device_set_stage_state(StageState::color_arg2, arg_diffuse);
    device_set_stage_state(StageState::alpha_op, op_modulate);
    device_set_stage_state(StageState::alpha_arg1, arg_texture);
    device_set_stage_state(StageState::alpha_arg2, arg_diffuse);
    return true;
}

void present_frame() {
    platform::device_end_scene();
    platform::device_present();
    platform::device_begin_scene();
    platform::device_clear(0xFF000000);
}

void graphics_shutdown() {
    if (!platform::device_exists()) return;
    platform::device_end_scene();
    platform::device_release();
}
