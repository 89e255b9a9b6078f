// A stand-in for Explorer's desktop windows in the end-to-end tests: Wine has
// no program manager, so this program makes one with its icon view, tells
// the top-level windows that a taskbar came up, and, when message 0x052C
// arrives, builds the desktop layout it was asked to play. It tells what it
// sees, so tests assert on the outcome rather than on the calls that led
// there. Like Explorer's, its desktop windows span the virtual screen,
// every monitor, and follow it on WM_DISPLAYCHANGE: the top-level ones sit
// at its corner, the children fill their parent, so every client origin is
// that corner.
//
//   lumenfold_fake_shell serve <layout> [--icon-view-after MS]
//                              [--workers-after MS|never] [path]
//                                        plays the shell until stopped; the
//                                        icon view comes MS milliseconds
//                                        after the program manager instead
//                                        of with it; the workers MS after
//                                        0x052C was answered (or never)
//                                        instead of while answering; with a
//                                        path, forwards it to the player
//                                        while answering 0x052C
//       classic         icon worker, wallpaper worker after it
//       classic-lone    icon worker only, no wallpaper worker
//       raised          icons and wallpaper worker inside the program manager
//       deaf            a program manager without icons that ignores 0x052C
//   lumenfold_fake_shell wait [MS]       returns once a shell is up (0), or 1 after MS
//   lumenfold_fake_shell gone            returns once no shell is up
//   lumenfold_fake_shell report          prints what the shell sees, the
//                                        span of each desktop window and the
//                                        virtual screen among it
//   lumenfold_fake_shell stop            ends the shell
//
// Killing its process (taskkill /f) ends it as Explorer ends when it
// crashes: nothing is closed in order.
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

static const UINT kSplitDesktopMessage = 0x052C;
static const char* const kReportMessageName = "LumenfoldFakeShellReport";
// A shell left behind by a failed test must not haunt the next one.
static const UINT kLifetimeMs = 240000;
static const UINT_PTR kLifetimeTimer = 1;
static const UINT_PTR kIconViewTimer = 2;
static const UINT_PTR kWorkersTimer = 3;
static const UINT kWorkersNever = 0xFFFFFFFFu;

enum class Layout { Classic, ClassicLone, Raised, Deaf };

struct ShellWindows {
    HWND program_manager;
    HWND icon_worker;
    HWND icon_view;
    HWND wallpaper_worker;
};

struct ShellState {
    Layout layout;
    // Sent to the player as a later start would, while it waits for the
    // answer to 0x052C.
    const char* path_to_forward;
    const char* layout_name;
    // Explorer builds its desktop windows over a few seconds; zero means
    // the icon view comes with the program manager.
    UINT icon_view_delay_ms;
    // Zero: the workers are built while 0x052C is answered.
    UINT workers_delay_ms;
    bool built;
    int split_requests;
    UINT report_message;
    ShellWindows windows;
};

static ShellState shell;

static unsigned bits(HWND window) { return static_cast<unsigned>(reinterpret_cast<uintptr_t>(window)); }

static int screen_width() { return ::GetSystemMetrics(SM_CXSCREEN); }
static int screen_height() { return ::GetSystemMetrics(SM_CYSCREEN); }

// Explorer's desktop windows span the virtual screen, every monitor, whose
// top-left corner lies left of or above the primary's when another monitor
// is there.
static RECT virtual_screen() {
    const int x = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int y = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    return RECT{x, y, x + ::GetSystemMetrics(SM_CXVIRTUALSCREEN), y + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

static HWND find_program_manager() {
    return ::FindWindowExA(::GetDesktopWindow(), nullptr, "Progman", "Program Manager");
}

// ---- building the layouts

// Where a desktop window goes: a top-level one over the virtual screen, a
// child over the whole of its parent, whose client origin is the virtual
// screen's corner.
static RECT desktop_window_rect(HWND parent) {
    const RECT screen = virtual_screen();
    if (!parent) return screen;
    return RECT{0, 0, screen.right - screen.left, screen.bottom - screen.top};
}

static HWND create_worker(HWND parent) {
    const DWORD style = (parent ? WS_CHILD : WS_POPUP) | WS_VISIBLE;
    const DWORD ex_style = parent ? 0 : WS_EX_NOACTIVATE;
    const RECT rect = desktop_window_rect(parent);
    return ::CreateWindowExA(ex_style, "WorkerW", "", style, rect.left, rect.top, rect.right - rect.left,
                             rect.bottom - rect.top, parent, nullptr, ::GetModuleHandleA(nullptr), nullptr);
}

static HWND create_icon_view_in(HWND parent, DWORD ex_style) {
    const RECT rect = desktop_window_rect(parent);
    return ::CreateWindowExA(ex_style, "SHELLDLL_DefView", "", WS_CHILD | WS_VISIBLE, rect.left, rect.top,
                             rect.right - rect.left, rect.bottom - rect.top, parent, nullptr,
                             ::GetModuleHandleA(nullptr), nullptr);
}

static void span_virtual_screen(HWND window) {
    if (!window) return;
    HWND parent = (::GetWindowLongA(window, GWL_STYLE) & WS_CHILD) ? ::GetParent(window) : nullptr;
    const RECT rect = desktop_window_rect(parent);
    ::SetWindowPos(window, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

// As Explorer does when a monitor comes, goes or changes size.
static void follow_display_change() {
    const ShellWindows& windows = shell.windows;
    const HWND all[] = {windows.program_manager, windows.icon_worker, windows.icon_view, windows.wallpaper_worker};
    for (HWND window : all) span_virtual_screen(window);
}

static void place_below(HWND window, HWND above) {
    ::SetWindowPos(window, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// Explorer has the icon view in the program manager before anyone sends
// 0x052C; the raised desktop keeps it there, layered. One that comes after
// the classic desktop was split goes straight to its icon worker.
static void create_icon_view() {
    ShellWindows& windows = shell.windows;
    if (shell.layout == Layout::Deaf || windows.icon_view) return;
    if (shell.layout == Layout::Raised) {
        windows.icon_view = create_icon_view_in(windows.program_manager, WS_EX_LAYERED);
        ::SetLayeredWindowAttributes(windows.icon_view, 0, 255, LWA_ALPHA);
        return;
    }
    windows.icon_view = create_icon_view_in(windows.icon_worker ? windows.icon_worker : windows.program_manager, 0);
}

static void build_classic_layout(bool with_wallpaper_worker) {
    ShellWindows& windows = shell.windows;
    // The player looks for the wallpaper worker after the icon worker in the
    // window list, so it must sit below it; a new window starts on top.
    if (with_wallpaper_worker) windows.wallpaper_worker = create_worker(nullptr);
    windows.icon_worker = create_worker(nullptr);
    // Afterwards the program manager has no child of its own.
    if (windows.icon_view) ::SetParent(windows.icon_view, windows.icon_worker);
    place_below(windows.program_manager, HWND_BOTTOM);
}

// A new child starts on top, so an icon view that comes later still ends up
// above the wallpaper worker.
static void build_raised_layout() {
    ShellWindows& windows = shell.windows;
    windows.wallpaper_worker = create_worker(windows.program_manager);
    if (windows.icon_view) place_below(windows.wallpaper_worker, windows.icon_view);
}

static void split_desktop() {
    if (shell.built) return;
    shell.built = true;
    switch (shell.layout) {
        case Layout::Classic:
            build_classic_layout(true);
            break;
        case Layout::ClassicLone:
            build_classic_layout(false);
            break;
        case Layout::Raised:
            build_raised_layout();
            break;
        case Layout::Deaf:
            break;
    }
}

// ---- what the shell sees

static bool has_visible_bit(HWND window) { return (::GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) != 0; }

static std::string format(const char* pattern, ...) {
    char line[512];
    va_list args;
    va_start(args, pattern);
    vsnprintf(line, sizeof line, pattern, args);
    va_end(args);
    return line;
}

static std::string hidden_windows() {
    const struct {
        const char* role;
        HWND window;
    } roles[] = {{"program-manager", shell.windows.program_manager},
                 {"icon-worker", shell.windows.icon_worker},
                 {"icon-view", shell.windows.icon_view},
                 {"wallpaper-worker", shell.windows.wallpaper_worker}};
    std::string hidden;
    for (const auto& role : roles) {
        if (!role.window || has_visible_bit(role.window)) continue;
        if (!hidden.empty()) hidden += " ";
        hidden += role.role;
    }
    return hidden.empty() ? "none" : hidden;
}

static std::string class_of(HWND window) {
    char name[256] = "";
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

static std::string alpha_of(HWND window) {
    BYTE alpha = 0;
    DWORD flags = 0;
    if (!::GetLayeredWindowAttributes(window, nullptr, &alpha, &flags) || !(flags & LWA_ALPHA)) return "none";
    return format("%d", alpha);
}

static std::string describe_child(HWND child) {
    RECT rect;
    ::GetWindowRect(child, &rect);
    const LONG ex_style = ::GetWindowLongA(child, GWL_EXSTYLE);
    const bool layered = (ex_style & WS_EX_LAYERED) != 0;
    return format("child=%s window=%X rect=%ld,%ld,%ld,%ld visible=%d layered=%d alpha=%s\n", class_of(child).c_str(),
                  bits(child), rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                  has_visible_bit(child) ? 1 : 0, layered ? 1 : 0, layered ? alpha_of(child).c_str() : "none");
}

// The children of the program manager from the top of the Z order down.
static std::string describe_program_manager_children() {
    std::string classes;
    std::string details;
    for (HWND child = ::GetWindow(shell.windows.program_manager, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!classes.empty()) classes += " ";
        classes += class_of(child);
        details += describe_child(child);
    }
    return "children=" + (classes.empty() ? std::string("none") : classes) + "\n" + details;
}

static const char* role_of(HWND window) {
    const ShellWindows& windows = shell.windows;
    if (window == windows.icon_worker) return "icon-worker";
    if (window == windows.wallpaper_worker) return "wallpaper-worker";
    return "other";
}

// The top-level "WorkerW" windows in the order of the window list, which is
// the order the player searches them in.
// NOTE: Wine moves a window it hides to the top of that list, so once the
// player has hidden the wallpaper worker the order no longer shows the
// layout as it was built.
static std::string describe_top_level_workers() {
    std::string roles;
    for (HWND worker = ::FindWindowExA(nullptr, nullptr, "WorkerW", nullptr); worker;
         worker = ::FindWindowExA(nullptr, worker, "WorkerW", nullptr)) {
        if (!roles.empty()) roles += " ";
        roles += role_of(worker);
    }
    return "workers=" + (roles.empty() ? std::string("none") : roles) + "\n";
}

// A window's rect and its client origin, both in screen coordinates.
static std::string describe_span(const char* role, HWND window) {
    if (!window) return format("%s-span=none\n", role);
    RECT rect;
    ::GetWindowRect(window, &rect);
    POINT origin = {0, 0};
    ::ClientToScreen(window, &origin);
    return format("%s-span=%ld,%ld,%ld,%ld client-origin=%ld,%ld\n", role, rect.left, rect.top, rect.right - rect.left,
                  rect.bottom - rect.top, origin.x, origin.y);
}

static std::string describe_shell() {
    const ShellWindows& windows = shell.windows;
    const LONG ex_style = ::GetWindowLongA(windows.program_manager, GWL_EXSTYLE);
    std::string report;
    report += format("layout=%s\n", shell.layout_name);
    report += format("split-requests=%d\n", shell.split_requests);
    report += format("screen=%dx%d\n", screen_width(), screen_height());
    const RECT screen = virtual_screen();
    report += format("virtual-screen=%ld,%ld,%ld,%ld\n", screen.left, screen.top, screen.right - screen.left,
                     screen.bottom - screen.top);
    report += describe_span("program-manager", windows.program_manager);
    report += describe_span("icon-worker", windows.icon_worker);
    report += describe_span("wallpaper-worker", windows.wallpaper_worker);
    report += format("program-manager=%X noredirection=%d\n", bits(windows.program_manager),
                     (ex_style & WS_EX_NOREDIRECTIONBITMAP) ? 1 : 0);
    report += format("icon-worker=%X\n", bits(windows.icon_worker));
    report += format("icon-view=%X\n", bits(windows.icon_view));
    report += format("wallpaper-worker=%X\n", bits(windows.wallpaper_worker));
    report += describe_top_level_workers();
    report += "hidden=" + hidden_windows() + "\n";
    report += describe_program_manager_children();
    return report;
}

static void send_report(HWND asker) {
    const std::string report = describe_shell();
    COPYDATASTRUCT data;
    data.dwData = 0;
    data.cbData = static_cast<DWORD>(report.size() + 1);
    data.lpData = const_cast<char*>(report.c_str());
    ::SendMessageA(asker, WM_COPYDATA, reinterpret_cast<WPARAM>(shell.windows.program_manager),
                   reinterpret_cast<LPARAM>(&data));
}

// ---- serving

// A later start can reach the player while it still waits for the shell,
// before it has any GL context: the shell plays that start here.
static void forward_path_to_player() {
    HWND player = ::FindWindowExA(nullptr, nullptr, "Lumenfold_Velvetdusk", "Lumenfold_Velvetdusk");
    if (!player) return;
    COPYDATASTRUCT data = {0, static_cast<DWORD>(strlen(shell.path_to_forward) + 1),
                           const_cast<char*>(shell.path_to_forward)};
    DWORD_PTR result = 0;
    ::SendMessageTimeoutA(player, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_NORMAL, 10000, &result);
}

static LRESULT CALLBACK program_manager_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == kSplitDesktopMessage) {
        if (shell.path_to_forward) forward_path_to_player();
        ++shell.split_requests;
        if (shell.workers_delay_ms == 0) split_desktop();
        if (shell.workers_delay_ms != 0 && shell.workers_delay_ms != kWorkersNever && !shell.built) {
            ::SetTimer(window, kWorkersTimer, shell.workers_delay_ms, nullptr);
        }
        return 0;
    }
    if (message == shell.report_message && shell.report_message != 0) {
        send_report(reinterpret_cast<HWND>(wparam));
        return 1;
    }
    switch (message) {
        case WM_DISPLAYCHANGE:
            follow_display_change();
            return 0;
        case WM_TIMER:
            if (wparam == kLifetimeTimer) ::DestroyWindow(window);
            if (wparam == kIconViewTimer) {
                ::KillTimer(window, kIconViewTimer);
                create_icon_view();
            }
            if (wparam == kWorkersTimer) {
                ::KillTimer(window, kWorkersTimer);
                split_desktop();
            }
            return 0;
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
    }
    return ::DefWindowProcA(window, message, wparam, lparam);
}

static void register_class(const char* name, WNDPROC procedure) {
    WNDCLASSEXA window_class;
    ZeroMemory(&window_class, sizeof window_class);
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = procedure;
    window_class.hInstance = ::GetModuleHandleA(nullptr);
    window_class.lpszClassName = name;
    ::RegisterClassExA(&window_class);
}

static bool parse_layout(const char* name) {
    const struct {
        const char* name;
        Layout layout;
    } layouts[] = {{"classic", Layout::Classic},
                   {"classic-lone", Layout::ClassicLone},
                   {"raised", Layout::Raised},
                   {"deaf", Layout::Deaf}};
    for (const auto& entry : layouts) {
        if (strcmp(entry.name, name) != 0) continue;
        shell.layout = entry.layout;
        shell.layout_name = entry.name;
        return true;
    }
    return false;
}

// Explorer tells every top-level window once its taskbar is up, so that
// programs put their notification icons back.
static void broadcast_taskbar_created() {
    ::PostMessageA(HWND_BROADCAST, ::RegisterWindowMessageA("TaskbarCreated"), 0, 0);
}

static int serve() {
    shell.report_message = ::RegisterWindowMessageA(kReportMessageName);
    register_class("Progman", program_manager_proc);
    register_class("WorkerW", ::DefWindowProcA);
    register_class("SHELLDLL_DefView", ::DefWindowProcA);

    // The raised desktop's program manager has no redirection surface.
    const DWORD ex_style = WS_EX_NOACTIVATE | (shell.layout == Layout::Raised ? WS_EX_NOREDIRECTIONBITMAP : 0);
    const RECT screen = virtual_screen();
    shell.windows.program_manager = ::CreateWindowExA(
        ex_style, "Progman", "Program Manager", WS_POPUP | WS_VISIBLE, screen.left, screen.top,
        screen.right - screen.left, screen.bottom - screen.top, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    if (!shell.windows.program_manager) return 1;
    place_below(shell.windows.program_manager, HWND_BOTTOM);
    ::SetTimer(shell.windows.program_manager, kLifetimeTimer, kLifetimeMs, nullptr);
    if (shell.icon_view_delay_ms == 0) {
        create_icon_view();
    } else {
        ::SetTimer(shell.windows.program_manager, kIconViewTimer, shell.icon_view_delay_ms, nullptr);
    }
    broadcast_taskbar_created();

    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return 0;
}

// ---- asking a running shell

// True once the program manager is there (or gone, when `present` is
// false), false when that did not happen in time.
static bool wait_for_program_manager(bool present, DWORD milliseconds) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        const bool found = find_program_manager() != nullptr;
        if (found == present) return true;
        if (::GetTickCount() - start > milliseconds) return false;
        ::Sleep(50);
    }
}

static LRESULT CALLBACK report_reader_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_COPYDATA && lparam) {
        const COPYDATASTRUCT* data = reinterpret_cast<const COPYDATASTRUCT*>(lparam);
        if (data->lpData && data->cbData > 0) fwrite(data->lpData, 1, data->cbData - 1, stdout);
        return 1;
    }
    return ::DefWindowProcA(window, message, wparam, lparam);
}

// The shell answers with a WM_COPYDATA of its own, which arrives while this
// thread waits for the request to return.
static int print_report() {
    HWND program_manager = find_program_manager();
    if (!program_manager) return 1;
    register_class("LumenfoldFakeShellReader", report_reader_proc);
    HWND reader = ::CreateWindowExA(0, "LumenfoldFakeShellReader", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    ::GetModuleHandleA(nullptr), nullptr);
    DWORD_PTR answered = 0;
    const LRESULT sent = ::SendMessageTimeoutA(program_manager, ::RegisterWindowMessageA(kReportMessageName),
                                               reinterpret_cast<WPARAM>(reader), 0, SMTO_NORMAL, 10000, &answered);
    fflush(stdout);
    ::DestroyWindow(reader);
    return sent && answered ? 0 : 1;
}

static int stop() {
    HWND program_manager = find_program_manager();
    if (!program_manager) return 0;
    DWORD_PTR result = 0;
    ::SendMessageTimeoutA(program_manager, WM_CLOSE, 0, 0, SMTO_NORMAL, 10000, &result);
    for (int tries = 0; tries < 100 && ::IsWindow(program_manager); ++tries) ::Sleep(50);
    return ::IsWindow(program_manager) ? 1 : 0;
}

// serve <layout> [--icon-view-after MS] [--workers-after MS|never] [path]
static bool parse_serve_arguments(int argc, char** argv) {
    if (argc < 3 || !parse_layout(argv[2])) return false;
    for (int index = 3; index < argc; ++index) {
        if (strcmp(argv[index], "--icon-view-after") == 0) {
            if (++index == argc) return false;
            shell.icon_view_delay_ms = static_cast<UINT>(strtoul(argv[index], nullptr, 10));
        } else if (strcmp(argv[index], "--workers-after") == 0) {
            if (++index == argc) return false;
            shell.workers_delay_ms = strcmp(argv[index], "never") == 0
                                         ? kWorkersNever
                                         : static_cast<UINT>(strtoul(argv[index], nullptr, 10));
        } else if (!shell.path_to_forward) {
            shell.path_to_forward = argv[index];
        } else {
            return false;
        }
    }
    return true;
}

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const std::string command = argv[1];
    if (command == "serve") return parse_serve_arguments(argc, argv) ? serve() : 2;
    if (command == "wait") {
        const DWORD milliseconds = argc > 2 ? static_cast<DWORD>(strtoul(argv[2], nullptr, 10)) : 20000;
        return wait_for_program_manager(true, milliseconds) ? 0 : 1;
    }
    if (command == "gone") return wait_for_program_manager(false, 20000) ? 0 : 1;
    if (command == "report") return print_report();
    if (command == "stop") return stop();
    return 2;
}
