// The game window and its messages, on Win32 itself: the window class "Vidazozo" with the game's
// icon (the programs' resource 1), a window procedure that turns a close into a message for the
// game, and a PeekMessageA pump that never blocks. Also how a failure reaches a player who started
// the game from Explorer, with no console.

#include "platform/backend.h"
#include "platform/platform.h"
#include "platform/win32/win32.h"
#include "platform/win32/winmm_sound.h"

#include <cstdio>
#include <deque>

namespace platform {
namespace {

constexpr const char* window_class = "Vidazozo";
constexpr DWORD window_style = WS_OVERLAPPEDWINDOW;
constexpr WORD icon_resource = 1;

HWND window = nullptr;
std::deque<Message> messages;  // close requests the window procedure has seen
RECT placed{};                 // where the game placed the window, and the picture's size
RECT framed{};                 // the framed window before it went full screen
bool has_frame = false;

// Under Wine the window stands on an X11 window, which Wine names in a property of it. When
// something else destroys that X window (a tool, a window manager), Wine takes the property away
// and leaves a window nobody can see or reach; the game would play on unseen. Such a lost window
// counts as closed. Windows itself never sets the property, so there this never happens.
constexpr const char* x11_window_property = "__wine_x11_whole_window";
bool stands_on_x11 = false;

bool window_lost() {
    const bool on_x11 = GetPropA(window, x11_window_property) != nullptr;
    const bool lost = stands_on_x11 && !on_x11;
    stands_on_x11 = on_x11;
    return lost;
}

// The close button asks to close; a window destroyed from outside asks the same. Either way the
// window stays until the process ends, and the game decides when to stop.
LRESULT CALLBACK window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_CLOSE || message == WM_DESTROY) {
        messages.push_back(Message::close);
        if (message == WM_CLOSE) return 0;
    }
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

bool has_handle(DWORD which) {
    const HANDLE handle = GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

// A GUI program has no standard output or error of its own. Started from a console, it writes to
// that one; with its output redirected, it keeps the files it was given. Done before main runs,
// so that --help, --version and the warnings reach the console too.
struct ConsoleOutput {
    ConsoleOutput() {
        const bool out = has_handle(STD_OUTPUT_HANDLE), err = has_handle(STD_ERROR_HANDLE);
        if ((out && err) || !AttachConsole(ATTACH_PARENT_PROCESS)) return;
        if (!out) std::freopen("CONOUT$", "w", stdout);
        if (!err) std::freopen("CONOUT$", "w", stderr);
    }
};
const ConsoleOutput console_output;

}  // namespace

HWND win32::main_window() { return window; }

bool backend::window_create(const char* title, int x, int y, int width, int height) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_CLASSDC;
    wc.lpfnWndProc = window_proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hIcon = LoadIconA(wc.hInstance, MAKEINTRESOURCEA(icon_resource));
    wc.hIconSm = static_cast<HICON>(LoadImageA(wc.hInstance, MAKEINTRESOURCEA(icon_resource),
                                               IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), 0));
    if (!wc.hIcon) wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = window_class;
    RegisterClassExA(&wc);
    window = CreateWindowExA(0, window_class, title, window_style, x, y, width, height,
                             GetDesktopWindow(), nullptr, wc.hInstance, nullptr);
    if (!window) {
        set_error("cannot create the window (error " + std::to_string(GetLastError()) + ")");
        return false;
    }
    win32::sound_open();
    return true;
}

// The picture is shown pixel for pixel only in a client area of its own size, so the window's
// outer size is what a client area of width x height needs with this style's frame and title. A
// full-screen device has already made the window cover the screen, in the mode it chose.
void window_place(int x, int y, int width, int height) {
    placed = RECT{x, y, x + width, y + height};
    if (win32::display_full_screen()) return;
    RECT outer{0, 0, width, height};
    AdjustWindowRectEx(&outer, window_style, FALSE, 0);
    MoveWindow(window, x, y, outer.right - outer.left, outer.bottom - outer.top, TRUE);
}

void win32::dress_window(bool full_screen) {
    if (full_screen) {
        has_frame = GetWindowRect(window, &framed) != 0;
        SetWindowLongPtrA(window, GWL_STYLE, WS_POPUP | WS_VISIBLE);
        SetWindowPos(window, HWND_TOP, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                     GetSystemMetrics(SM_CYSCREEN), SWP_FRAMECHANGED);
        return;
    }
    RECT outer = placed;
    AdjustWindowRectEx(&outer, window_style, FALSE, 0);
    const int x = has_frame ? framed.left : placed.left, y = has_frame ? framed.top : placed.top;
    SetWindowLongPtrA(window, GWL_STYLE, window_style | WS_VISIBLE);
    SetWindowPos(window, HWND_NOTOPMOST, x, y, outer.right - outer.left,
                 outer.bottom - outer.top, SWP_FRAMECHANGED | SWP_SHOWWINDOW);
}

void window_show() { ShowWindow(window, SW_SHOW); }

bool backend::message_take(Message& message) {
    if (window_lost()) messages.push_back(Message::close);
    MSG msg;
    while (messages.empty() && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            message = Message::quit;
            return true;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (messages.empty()) return false;
    message = messages.front();
    messages.pop_front();
    return true;
}

void post_quit() { PostQuitMessage(0); }

std::string program_folder() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return "";
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

void report_fatal(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
    MessageBoxA(nullptr, line.c_str(), "brickrun", MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

}  // namespace platform
