// The display on Direct3D 9: the device the game was made for, created with its present
// parameters, shows each finished picture of the shared software device. The picture goes into one
// dynamic texture per present, drawn as one screen quad with point sampling, so the screen shows it
// pixel for pixel. Full screen takes 800x600 where the display offers it; elsewhere the desktop's
// own mode, with the picture at the largest whole multiple that fits, centred on black. A device
// lost to another program (switching away from full screen) is reset once it can be.

#include "platform/backend.h"
#include "platform/platform.h"
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
D3DPRESENT_PARAMETERS parameters{};
UINT texture_width = 0, texture_height = 0;  // the picture's size, or powers of two above it
bool lost = false;

// Pictures reach the screen at most once per display refresh, as on the other backends: the title
// menu and the level banner draw as fast as they are shown.
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

UINT power_of_two_from(UINT n) {
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

// The game's present parameters; full screen, the mode is the picture's size where the display
// has it, else the desktop's.
void choose_parameters(UINT width, UINT height, bool windowed) {
    parameters = D3DPRESENT_PARAMETERS{};
    parameters.BackBufferWidth = width;
    parameters.BackBufferHeight = height;
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
    if (windowed) return;
    D3DDISPLAYMODE desktop;
    if (!display_offers(width, height) &&
        SUCCEEDED(direct3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &desktop))) {
        parameters.BackBufferWidth = desktop.Width;
        parameters.BackBufferHeight = desktop.Height;
    }
    if (FAILED(direct3d->CheckDeviceType(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8,
                                         D3DFMT_A8R8G8B8, FALSE)))
        parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
}

// The texture and the few states the screen quad needs; both go with a reset.
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

void release_picture() {
    if (picture) picture->Release();
    picture = nullptr;
}

// After a loss: false while the device cannot be had back yet.
bool restore_device() {
    const HRESULT state = device->TestCooperativeLevel();
    if (state == D3DERR_DEVICELOST) return false;
    if (state == D3DERR_DEVICENOTRESET) {
        release_picture();
        if (FAILED(device->Reset(&parameters)) || !prepare_device()) return false;
    }
    lost = false;
    return true;
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

// The picture's quad on the back buffer: whole multiples, centred. Direct3D 9 puts pixel centres
// on whole coordinates, so the quad's edges go half a pixel up and left of the pixels it covers.
void draw_picture(int width, int height) {
    const int screen_w = static_cast<int>(parameters.BackBufferWidth);
    const int screen_h = static_cast<int>(parameters.BackBufferHeight);
    const int scale = std::max(1, std::min(screen_w / width, screen_h / height));
    const float left = static_cast<float>((screen_w - width * scale) / 2) - 0.5f;
    const float top = static_cast<float>((screen_h - height * scale) / 2) - 0.5f;
    const float right = left + static_cast<float>(width * scale);
    const float bottom = top + static_cast<float>(height * scale);
    const float u = static_cast<float>(width) / static_cast<float>(texture_width);
    const float v = static_cast<float>(height) / static_cast<float>(texture_height);
    const ScreenVertex quad[4] = {
        {left, top, 0, 1, 0, 0}, {right, top, 0, 1, u, 0},
        {left, bottom, 0, 1, 0, v}, {right, bottom, 0, 1, u, v}};
    device->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_XRGB(0, 0, 0), 1.0f, 0);
    device->BeginScene();
    device->SetTexture(0, picture);
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ScreenVertex));
    device->EndScene();
}

}  // namespace

bool win32::display_full_screen() { return device && !parameters.Windowed; }

namespace backend {

bool display_create(int width, int height, bool windowed) {
    direct3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (!direct3d) {
        set_error("Direct3D 9 is not available");
        return false;
    }
    const UINT w = static_cast<UINT>(width), h = static_cast<UINT>(height);
    choose_parameters(w, h, windowed);
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
    const bool pow2 = SUCCEEDED(device->GetDeviceCaps(&caps)) &&
                      (caps.TextureCaps & D3DPTEXTURECAPS_POW2) != 0 &&
                      (caps.TextureCaps & D3DPTEXTURECAPS_NONPOW2CONDITIONAL) == 0;
    texture_width = pow2 ? power_of_two_from(w) : w;
    texture_height = pow2 ? power_of_two_from(h) : h;
    if (!prepare_device()) {
        display_release();
        return false;
    }
    lost = false;
    return true;
}

void display_release() {
    win32::sound_close();
    release_picture();
    if (device) device->Release();
    if (direct3d) direct3d->Release();
    device = nullptr;
    direct3d = nullptr;
}

void display_show(const uint32_t* pixels, int width, int height) {
    if (!pixels || !device || (lost && !restore_device())) return;
    copy_picture(pixels, width, height);
    draw_picture(width, height);
    wait_until(static_cast<int32_t>(last_shown + refresh_ms));
    if (device->Present(nullptr, nullptr, nullptr, nullptr) == D3DERR_DEVICELOST) lost = true;
    last_shown = time_ms();
}

}  // namespace backend
}  // namespace platform
