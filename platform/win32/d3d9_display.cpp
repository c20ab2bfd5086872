// The display on Direct3D 9: the device the game was made for, created with its present
// parameters, shows each finished picture of the shared software device. The back buffer is the
// window's client area, following it as the window is resized (full screen, the display mode), and
// the picture is placed on it by the same rules as on Linux (platform/scaling): at a whole multiple
// it is one point-sampled quad of a texture holding the picture, each picture pixel a square block;
// filled or shrunk it is scaled by the shared scaler into a texture the size of the back buffer,
// shown pixel for pixel. Either way every pixel is sharp and the rest black, never a stretched blur.
// Full screen takes 800x600 where the display offers it, else the desktop's own mode; F11 and
// Alt+Return switch between the two. A device lost to another program is reset once it can be.

#include "platform/backend.h"
#include "platform/mute_sign.h"
#include "platform/platform.h"
#include "platform/scaling.h"
#include "platform/win32/win32.h"
#include "platform/win32/winmm_sound.h"

#include <d3d9.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace platform {
namespace {

IDirect3D9* direct3d = nullptr;
IDirect3DDevice9* device = nullptr;
IDirect3DTexture9* picture = nullptr;  // in the default pool: released before a reset
IDirect3DTexture9* scaled = nullptr;   // managed: kept across resets, remade for another size
UINT scaled_width = 0, scaled_height = 0;  // the back buffer size it was made for
bool scaled_kept = false;                 // it holds the last picture scaled into it
D3DPRESENT_PARAMETERS parameters{};
UINT picture_width = 0, picture_height = 0;
bool pow2 = false;                           // the device takes only textures of powers of two
UINT texture_width = 0, texture_height = 0;  // the picture texture's size
bool lost = false;
bool switch_asked = false;

// Pictures reach the screen at most once per display refresh, as on the other backends: the title
// menu and the level banner draw as fast as they are shown. So does a display that cannot show
// them (lost, or its window gone), rather than spin a core.
constexpr uint32_t refresh_ms = 16;
uint32_t last_shown = 0;

struct ScreenVertex {
    float x, y, z, rhw;
    float u, v;
};
constexpr DWORD screen_fvf = D3DFVF_XYZRHW | D3DFVF_TEX1;

bool fail(const char* what, HRESULT result) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(result));
    set_error(std::string(what) + " (Direct3D error " + code + ")");
    return false;
}

UINT texture_side(UINT n) {
    if (!pow2) return n;
    UINT p = 1;
    while (p < n) p <<= 1;
    return p;
}

bool display_offers(UINT width, UINT height) {
    const UINT count = direct3d->GetAdapterModeCount(D3DADAPTER_DEFAULT, D3DFMT_X8R8G8B8);
    for (UINT i = 0; i < count; ++i) {
        D3DDISPLAYMODE mode;
        if (SUCCEEDED(direct3d->EnumAdapterModes(D3DADAPTER_DEFAULT, D3DFMT_X8R8G8B8, i, &mode)) &&
            mode.Width == width && mode.Height == height)
            return true;
    }
    return false;
}

// The window's client area, or the picture's size while it has none (minimised, not yet shown).
void client_size(UINT& width, UINT& height) {
    RECT client{};
    GetClientRect(win32::main_window(), &client);
    width = client.right > 0 ? static_cast<UINT>(client.right) : picture_width;
    height = client.bottom > 0 ? static_cast<UINT>(client.bottom) : picture_height;
}

// The game's present parameters; windowed, the back buffer is the client area; full screen, the
// mode is the picture's size where the display has it, else the desktop's.
void choose_parameters(bool windowed) {
    parameters = D3DPRESENT_PARAMETERS{};
    parameters.BackBufferWidth = picture_width;
    parameters.BackBufferHeight = picture_height;
    parameters.BackBufferFormat = D3DFMT_A8R8G8B8;
    parameters.BackBufferCount = 1;
    parameters.MultiSampleType = D3DMULTISAMPLE_NONE;
    parameters.SwapEffect = D3DSWAPEFFECT_COPY;
    parameters.hDeviceWindow = win32::main_window();
    parameters.Windowed = windowed;
    parameters.EnableAutoDepthStencil = TRUE;
    parameters.AutoDepthStencilFormat = D3DFMT_D24S8;
    parameters.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
    parameters.PresentationInterval = D3DPRESENT_INTERVAL_DEFAULT;
    if (windowed) {
        client_size(parameters.BackBufferWidth, parameters.BackBufferHeight);
        return;
    }
    D3DDISPLAYMODE desktop;
    if (!display_offers(picture_width, picture_height) &&
        SUCCEEDED(direct3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &desktop))) {
        parameters.BackBufferWidth = desktop.Width;
        parameters.BackBufferHeight = desktop.Height;
    }
    if (FAILED(direct3d->CheckDeviceType(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8,
                                         D3DFMT_A8R8G8B8, FALSE)))
        parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
}

// The picture texture and the few states the screen quads need; both go with a reset.
bool prepare_device() {
    const HRESULT r = device->CreateTexture(texture_width, texture_height, 1, D3DUSAGE_DYNAMIC,
                                            D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &picture, nullptr);
    if (FAILED(r)) return fail("cannot make the picture texture", r);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    device->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_NONE);
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device->SetFVF(screen_fvf);
    return true;
}

void release(IDirect3DTexture9*& texture) {
    if (texture) texture->Release();
    texture = nullptr;
}

// The device again with the present parameters as they now are; false (and lost) when it cannot
// be had yet.
bool reset() {
    release(picture);
    if (FAILED(device->Reset(&parameters)) || !prepare_device()) {
        lost = true;
        return false;
    }
    lost = false;
    return true;
}

// After a loss: false while the device cannot be had back yet.
bool restore_device() {
    const HRESULT state = device->TestCooperativeLevel();
    if (state == D3DERR_DEVICELOST) return false;
    if (state == D3DERR_DEVICENOTRESET) return reset();
    lost = false;
    return true;
}

// A window resized: the back buffer takes the client area's size, so that nothing stretches it.
void follow_window() {
    if (!parameters.Windowed) return;
    UINT width = 0, height = 0;
    client_size(width, height);
    if (width == parameters.BackBufferWidth && height == parameters.BackBufferHeight) return;
    parameters.BackBufferWidth = width;
    parameters.BackBufferHeight = height;
    reset();
}

// F11 or Alt+Return: into full screen, or back to a window of the picture's size. A switch the
// device refuses leaves things as they were.
void switch_screen() {
    const bool to_full_screen = parameters.Windowed != FALSE;
    win32::dress_window(to_full_screen);
    choose_parameters(!to_full_screen);
    if (reset()) return;
    win32::dress_window(!to_full_screen);
    choose_parameters(to_full_screen);
    reset();
}

void copy_picture(const uint32_t* pixels, int width, int height) {
    D3DLOCKED_RECT locked;
    if (FAILED(picture->LockRect(0, &locked, nullptr, D3DLOCK_DISCARD))) return;
    auto* out = static_cast<unsigned char*>(locked.pBits);
    const size_t row_bytes = static_cast<size_t>(width) * sizeof(uint32_t);
    for (int y = 0; y < height; ++y)
        std::memcpy(out + static_cast<size_t>(y) * static_cast<size_t>(locked.Pitch),
                    pixels + static_cast<size_t>(y) * static_cast<size_t>(width), row_bytes);
    picture->UnlockRect(0);
}

// The picture filled or shrunk onto the whole back buffer, in a texture that keeps it, so only what
// changed is scaled again.
bool scale_picture(const uint32_t* pixels, int width, int height, Fit fit) {
    const UINT w = parameters.BackBufferWidth, h = parameters.BackBufferHeight;
    if (!scaled || scaled_width != w || scaled_height != h) {
        release(scaled);
        if (FAILED(device->CreateTexture(texture_side(w), texture_side(h), 1, 0, D3DFMT_X8R8G8B8,
                                         D3DPOOL_MANAGED, &scaled, nullptr)))
            return false;
        scaled_width = w;
        scaled_height = h;
        scaled_kept = false;
    }
    D3DLOCKED_RECT locked;
    if (FAILED(scaled->LockRect(0, &locked, nullptr, 0))) return false;
    draw_scaled(pixels, width, height, static_cast<uint32_t*>(locked.pBits), locked.Pitch / 4,
                static_cast<int>(w), static_cast<int>(h), fit, scaled_kept);
    scaled->UnlockRect(0);
    scaled_kept = true;
    return true;
}

// A quad of the texture's top-left texels_w x texels_h texels over the back buffer's pixels from
// (left, top), width x height of them. Direct3D 9 puts pixel centres on whole coordinates, so the
// quad's edges go half a pixel up and left of the pixels it covers.
void draw_quad(IDirect3DTexture9* texture, UINT tw, UINT th, int texels_w, int texels_h, int left,
               int top, int width, int height) {
    const float x0 = static_cast<float>(left) - 0.5f, y0 = static_cast<float>(top) - 0.5f;
    const float x1 = x0 + static_cast<float>(width), y1 = y0 + static_cast<float>(height);
    const float u = static_cast<float>(texels_w) / static_cast<float>(tw);
    const float v = static_cast<float>(texels_h) / static_cast<float>(th);
    const ScreenVertex quad[4] = {
        {x0, y0, 0, 1, 0, 0}, {x1, y0, 0, 1, u, 0}, {x0, y1, 0, 1, 0, v}, {x1, y1, 0, 1, u, v}};
    device->SetTexture(0, texture);
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ScreenVertex));
}

void draw_picture(const uint32_t* pixels, int width, int height) {
    const int screen_w = static_cast<int>(parameters.BackBufferWidth);
    const int screen_h = static_cast<int>(parameters.BackBufferHeight);
    const Fit fit = fit_for(width, height, screen_w, screen_h, !parameters.Windowed);
    const Placement at = place_picture(width, height, screen_w, screen_h, fit);
    const bool whole = at.width >= width && at.width % width == 0 &&
                       at.height == at.width / width * height;
    if (whole) {
        copy_picture(pixels, width, height);
        scaled_kept = false;
    } else if (!scale_picture(pixels, width, height, fit)) {
        return;
    }
    device->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_XRGB(0, 0, 0), 1.0f, 0);
    device->BeginScene();
    if (whole)
        draw_quad(picture, texture_width, texture_height, width, height, at.left, at.top,
                  at.width, at.height);
    else
        draw_quad(scaled, texture_side(scaled_width), texture_side(scaled_height), screen_w,
                  screen_h, 0, 0, screen_w, screen_h);
    device->EndScene();
}

}  // namespace

bool win32::display_full_screen() { return device && !parameters.Windowed; }

void win32::ask_screen_switch() { switch_asked = true; }

namespace backend {

bool display_create(int width, int height, bool windowed) {
    direct3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (!direct3d) {
        set_error("Direct3D 9 is not available");
        return false;
    }
    picture_width = static_cast<UINT>(width);
    picture_height = static_cast<UINT>(height);
    choose_parameters(windowed);
    // The game's arithmetic is single and double precision as compiled: the device must leave the
    // floating-point unit as it finds it.
    const DWORD behaviour = D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_FPU_PRESERVE;
    HRESULT r = direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, win32::main_window(),
                                       behaviour, &parameters, &device);
    if (FAILED(r)) {
        display_release();
        return fail("cannot create the Direct3D 9 device", r);
    }
    D3DCAPS9 caps;
    pow2 = SUCCEEDED(device->GetDeviceCaps(&caps)) &&
           (caps.TextureCaps & D3DPTEXTURECAPS_POW2) != 0 &&
           (caps.TextureCaps & D3DPTEXTURECAPS_NONPOW2CONDITIONAL) == 0;
    texture_width = texture_side(picture_width);
    texture_height = texture_side(picture_height);
    if (!prepare_device()) {
        display_release();
        return false;
    }
    lost = false;
    return true;
}

void display_release() {
    win32::sound_close();
    release(picture);
    release(scaled);
    if (device) device->Release();
    if (direct3d) direct3d->Release();
    device = nullptr;
    direct3d = nullptr;
}

void display_show(const uint32_t* pixels, int width, int height) {
    if (!pixels) return;  // the rules run alone: nothing to show
    if (device && switch_asked) switch_screen();
    switch_asked = false;
    if (device && (!lost || restore_device())) {
        follow_window();
        if (!lost) {
            draw_picture(with_mute_sign(pixels, width, height), width, height);
            wait_until(static_cast<int32_t>(last_shown + refresh_ms));
            if (device->Present(nullptr, nullptr, nullptr, nullptr) == D3DERR_DEVICELOST)
                lost = true;
            last_shown = time_ms();
            return;
        }
    }
    wait_until(static_cast<int32_t>(last_shown + refresh_ms));
    last_shown = time_ms();
}

}  // namespace backend
}  // namespace platform
