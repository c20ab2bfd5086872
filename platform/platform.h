// The narrow interface between the game and the machine it runs on.
//
// The game was written against Win32 windows and messages, Direct3D 9, the D3DX picture loader and
// DirectInput 8. This header offers exactly the services the game takes from them, and no more:
// a window with a message queue, an 800x600 picture drawn by a small fixed-function device, picture
// and file loading, keyboard and mouse snapshots, and a millisecond clock.
//
// Two backends implement the window, input, clock and present functions, chosen at link time:
// platform/sdl (a real window) and platform/headless (virtual clock, scripted input, pictures kept in
// memory). The device that draws (platform/device.cpp) and the picture loader (platform/bitmap.cpp)
// are shared by both, so a test sees exactly the picture a player sees.
//
// Calls report failure through their result and platform::last_error(); the game above decides what
// to do with it. All of it runs on the one game thread.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace platform {

// ---- errors ------------------------------------------------------------------------------------

// Text of the last failure reported by any call here ("no display: ...", "cannot open ...").
const std::string& last_error();
void set_error(std::string text);

// Tells the player of a failure that ends the program, in one line (without its newline): on
// stderr and, on Windows, where a game started from Explorer has no console, in a message box too.
void report_fatal(const std::string& line);

// ---- window and messages (stands in for Win32) -------------------------------------------------

enum class Message {
    close,  // the user asked to close the window (WM_CLOSE)
    quit,   // a quit request posted by post_quit (WM_QUIT)
};

// Creates the one game window, hidden. False (with last_error) when there is no display.
bool window_create(const char* title, int x, int y, int width, int height);
// Places the window and gives it its size (MoveWindow), then shows it (ShowWindow).
void window_place(int x, int y, int width, int height);
void window_show();
// Takes the next message without blocking; false when the queue is empty.
bool message_take(Message& message);
// Queues a quit message behind the ones already waiting (PostQuitMessage).
void post_quit();

// ---- files ------------------------------------------------------------------------------------

// fopen for the game's own file names: every backslash becomes '/', so "Graphics\\sky.bmp" and
// "Maps//level2.map" work as written. They are read from the data folder.
std::FILE* open_file(const char* game_path, const char* mode);
// The path open_file opens for a game file name, as a message to the player names it.
std::string data_path(const std::string& game_path);

// The folder the game's files are read from: "" (the start) is the working folder, as the game
// was made to read them; any other folder is put before every name the game asks for.
void set_data_folder(std::string folder);

enum class PathKind { missing, file, folder };
PathKind path_kind(const std::string& path);

// The folder holding the running program's file, ending in its separator ('/', or '\\' on
// Windows); "" where it cannot be known.
std::string program_folder();
// The working folder, as the system writes it; "" where it cannot be known.
std::string working_folder();

// ---- clock (stands in for timeGetTime and Sleep) -----------------------------------------------

uint32_t time_ms();  // milliseconds, 32-bit, wraps
void sleep_ms(uint32_t ms);
// Returns once time_ms() is no longer before deadline, compared as a signed 32-bit difference so the
// clock may wrap. The real backend sleeps until shortly before the deadline and spins only the last
// stretch, so pacing costs no core.
void wait_until(int32_t deadline);

// ---- the drawing device (stands in for Direct3D 9) ---------------------------------------------

struct Texture;  // 32-bit ARGB pixels, owned by the device

enum class RenderState { alpha_blend_enable, src_blend, dest_blend, cull_mode };
enum Blend : uint32_t { blend_zero = 1, blend_one = 2, blend_src_alpha = 5, blend_inv_src_alpha = 6 };
enum Cull : uint32_t { cull_none = 1, cull_cw = 2, cull_ccw = 3 };

enum class SamplerState { address_u, address_v };
enum Address : uint32_t { address_wrap = 1, address_clamp = 3 };

enum class StageState { color_op, color_arg1, color_arg2, alpha_op, alpha_arg1, alpha_arg2 };
enum TextureOp : uint32_t { op_select_arg1 = 2, op_select_arg2 = 3, op_modulate = 4 };
enum TextureArg : uint32_t { arg_diffuse = 0, arg_current = 1, arg_texture = 2 };

// A pre-transformed vertex: screen position, colour, texture coordinate.
struct Vertex {
    float x, y, z, rhw;
    uint32_t colour;  // ARGB
    float u, v;
};

// The vertex format of the game's quads: position with rhw, colour, one texture coordinate.
constexpr uint32_t fvf_quad = 0x144;

// Creates the device with a width x height ARGB back buffer; windowed or full screen.
bool device_create(int width, int height, bool windowed);
void device_release();
bool device_exists();

void device_begin_scene();
void device_end_scene();
void device_clear(uint32_t argb);
// Shows the finished back buffer (the SDL backend puts it in the window, headless keeps it).
void device_present();

void device_set_render_state(RenderState state, uint32_t value);
void device_set_sampler_state(SamplerState state, uint32_t value);
void device_set_stage_state(StageState state, uint32_t value);
void device_set_texture(Texture* texture);  // null: no texture
void device_set_fvf(uint32_t fvf);
// Draws a triangle strip of two triangles whose four vertices form an axis-aligned rectangle: the
// covered pixel columns are min(x0,x1) <= i < max(x0,x1), likewise rows, and each pixel samples the
// texel under its centre. Quads of any other shape are not drawn.
void device_draw_quad_strip(const Vertex vertices[4]);

// The back buffer being drawn (width * height pixels, row after row).
const uint32_t* device_back_buffer();
int device_width();
int device_height();

// ---- textures (stand in for D3DX) ---------------------------------------------------------------

struct ImageInfo {
    int width = 0;
    int height = 0;
};

// Reads a BMP file at its own size into ARGB; a pixel equal to colour_key (files without alpha read
// as alpha 0xFF) becomes 0x00000000; key 0 keys nothing. Null (with last_error) if the file is
// missing, not a readable bitmap, more than 4096 pixels a side, shorter than its pixel rows or, run-
// length coded, too short to draw them all; info is then left as it was.
Texture* texture_from_file(const char* game_path, uint32_t colour_key, ImageInfo* info);
// A blank (transparent black) texture to be filled through texture_pixels.
Texture* texture_create(int width, int height);
// The texture's pixel memory and its row pitch in bytes.
uint32_t* texture_pixels(Texture* texture, int* pitch_bytes);
void texture_release(Texture* texture);
// How many textures exist now (created and not yet released): what leaks shows here.
int texture_count();

// ---- sound (the game's own addition: it was silent) -----------------------------------------------
// Output only: nothing here changes what the game reads, so traces, recordings and clears are the
// same with sound, without it, and with no audio device.

enum class Sound : uint8_t {
    jump, wall_jump, stomp, kick, knock, bump, brick_break, coin, item, grow, shrink, die,
    extra_life, pipe, level_start, game_over, menu_move, menu_choose,
};
enum class Music : uint8_t { none, title, level1, level2, level3 };

// Announces an event a player hears, the moment it happens.
void play_sound(Sound sound);
// The tune that plays, looping, from now on; the tune already playing goes on where it is.
void play_music(Music music);

// ---- input (stands in for DirectInput 8) -------------------------------------------------------
// Reads fail (and leave the caller's state alone) while the game window does not have the focus.

struct MouseState {
    int32_t dx = 0, dy = 0, dz = 0;
    uint8_t buttons[4] = {0, 0, 0, 0};  // 0x80 while held
};

bool keyboard_open();
void keyboard_close();
// The 256-byte snapshot indexed by DirectInput key code; 0x80 while a key is held.
bool keyboard_read(uint8_t keys[256]);

bool mouse_open();
void mouse_close();
// Movement since the previous read, and the buttons.
bool mouse_read(MouseState& state);

// The pointer as the level editor reads it, the game never: where it is over the picture, in
// picture pixels through the window's scaling (outside 0..799 or 0..599 over the black around the
// picture), its three buttons and the wheel notches turned since the last read (away from the
// player counts up). Read from the opened mouse; a read fails while the window lacks the focus.
struct PointerState {
    int32_t x = 0, y = 0;
    int32_t wheel = 0;
    uint8_t buttons[3] = {0, 0, 0};  // left, right, middle: 0x80 while held
};
bool pointer_read(PointerState& state);

}  // namespace platform

namespace platform {

// ---- for tests: a log of the state changes and draws the device receives ---------------------

struct DeviceCall {
    enum Kind { texture, render_state, fvf, draw } kind;
    uint32_t state;  // the RenderState, for render_state
    uintptr_t value; // texture address, state value, fvf, or 0 for draw
    bool operator==(const DeviceCall&) const = default;
};
// Starts (log not null) or stops (null) recording every device call into log.
void device_record(std::vector<DeviceCall>* log);
// Whether the device draws at all. Off, clears and quads leave the picture as it is and a present
// hands the backend no picture (null): for the game's rules run alone, where nobody looks.
void device_draws(bool on);
bool device_drawing();
// Turns the device's shortcuts for the quads the game draws most (fills, copies and sprite blends of
// pictures at their own size) off or back on; off, every quad takes the general path.
void device_fast_paths(bool on);

}  // namespace platform
