#include "desktop/desktop_layer.h"

#include "app/log.h"

// Explorer answers this undocumented message by moving the desktop icons
// into a worker window of their own, with a second worker behind it that
// paints the wallpaper.
static const UINT kSplitDesktopMessage = 0x052C;
static const UINT kSplitDesktopTimeoutMs = 1000;
// Explorer may still be building its workers after it has answered.
static const DWORD kWorkerSettleMs = 1000;

// The top-level "WorkerW" that holds the icon view, and that view.
struct IconWorker {
    HWND worker;
    HWND icon_view;
};

struct ScreenSize {
    int width;
    int height;
};

static HWND find_program_manager(HWND desktop) {
    return ::FindWindowExA(desktop, nullptr, "Progman", "Program Manager");
}

static void ask_explorer_to_split_desktop(HWND explorer) {
    ::SendMessageTimeoutA(explorer, kSplitDesktopMessage, 0, 0, SMTO_NORMAL, kSplitDesktopTimeoutMs, nullptr);
}

static HWND find_icon_view_in(HWND parent) { return ::FindWindowExA(parent, nullptr, "SHELLDLL_DefView", nullptr); }

static IconWorker find_icon_worker(HWND desktop) {
    HWND worker = nullptr;
    while ((worker = ::FindWindowExA(desktop, worker, "WorkerW", nullptr)) != nullptr) {
        HWND icon_view = find_icon_view_in(worker);
        if (icon_view) return IconWorker{worker, icon_view};
    }
    return IconWorker{nullptr, nullptr};
}

static ScreenSize primary_screen_size() {
    // The process is DPI aware by now, so these are physical pixels.
    return ScreenSize{::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

static void hide_wallpaper_worker(HWND icon_worker, HWND explorer) {
    HWND wallpaper_worker = ::FindWindowExA(nullptr, icon_worker, "WorkerW", nullptr);
    log_message("worker2:%X", handle_bits(wallpaper_worker));
    // It paints the wallpaper over everything below the icons, the player
    // included.
    if (wallpaper_worker) ::ShowWindow(wallpaper_worker, SW_HIDE);
    HWND worker_parent = wallpaper_worker ? ::GetParent(wallpaper_worker) : nullptr;
    log_message("worker2 GetParent:%X  explorer:%X", handle_bits(worker_parent), handle_bits(explorer));
}

static void attach_to_classic_desktop(HWND window, HWND explorer, IconWorker icons) {
    log_message("worker:%0x", handle_bits(icons.worker));
    log_message("defView:%0x", handle_bits(icons.icon_view));
    hide_wallpaper_worker(icons.worker, explorer);

    // With the wallpaper worker hidden, the program manager is what shows
    // behind the icon worker. On this desktop a window needs no other style
    // to be drawn there, so it moves as it was created.
    log_message("SetParent:%X", handle_bits(::SetParent(window, explorer)));

    const ScreenSize screen = primary_screen_size();
    log_message("SetWindowPos:%d %d", screen.width, screen.height);
    ::SetWindowPos(window, nullptr, 0, 0, screen.width, screen.height, 0);
}

// NOTE: SetParent leaves WS_POPUP alone, and a pop-up stays a top-level
// window to the window manager whoever its parent is: it can be activated
// over the icons, and the compositor does not treat it as part of the
// program manager's tree. Swapping the bits before SetParent is the order
// the window manager expects.
static DWORD make_child_style(HWND window) {
    const DWORD style = static_cast<DWORD>(::GetWindowLongA(window, GWL_STYLE));
    const DWORD child_style = (style & ~static_cast<DWORD>(WS_POPUP)) | WS_CHILD;
    ::SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(child_style));
    return static_cast<DWORD>(::GetWindowLongA(window, GWL_STYLE));
}

// NOTE: the program manager of the raised desktop has no redirection
// surface, so only a layered child gets composed at all; and a child that
// was already layered when it was re-parented is not drawn, hence after
// SetParent. Windows layers a child only for a program whose manifest
// declares Windows 8 or later, which is why the style is read back.
static void make_opaque_layered(HWND window) {
    const DWORD ex_style = static_cast<DWORD>(::GetWindowLongA(window, GWL_EXSTYLE));
    ::SetWindowLongA(window, GWL_EXSTYLE, static_cast<LONG>(ex_style | WS_EX_LAYERED));
    log_message("GWL_EXSTYLE:%X", static_cast<unsigned>(::GetWindowLongA(window, GWL_EXSTYLE)));
    // A layered window stays invisible until it is given its opacity.
    const BOOL opaque = ::SetLayeredWindowAttributes(window, 0, 255, LWA_ALPHA);
    log_message("SetLayeredWindowAttributes:%d", opaque ? 1 : 0);
}

// The program manager spans the whole virtual screen, whose origin lies
// left of or above the primary screen when another monitor is there.
static POINT primary_screen_origin_in(HWND parent) {
    POINT origin = {0, 0};
    ::MapWindowPoints(nullptr, parent, &origin, 1);
    return origin;
}

static void attach_to_raised_desktop(HWND window, HWND explorer, HWND icon_view) {
    log_message("raised defView:%0x", handle_bits(icon_view));
    log_message("GWL_STYLE:%X", static_cast<unsigned>(make_child_style(window)));
    log_message("SetParent:%X", handle_bits(::SetParent(window, explorer)));
    make_opaque_layered(window);

    const ScreenSize screen = primary_screen_size();
    const POINT origin = primary_screen_origin_in(explorer);
    log_message("SetWindowPos:%d %d", screen.width, screen.height);
    // Directly below the icon view puts the player above the worker that
    // paints the wallpaper. The style changed above only takes full effect
    // with a frame change.
    ::SetWindowPos(window, icon_view, origin.x, origin.y, screen.width, screen.height,
                   SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void attach_to_desktop(HWND window) {
    if (!window) return;

    HWND desktop = ::GetDesktopWindow();
    HWND explorer = find_program_manager(desktop);
    log_message("hwnd:%x", handle_bits(window));
    log_message("Explorer:%X", handle_bits(explorer));

    ask_explorer_to_split_desktop(explorer);
    ::Sleep(kWorkerSettleMs);

    const IconWorker icons = find_icon_worker(desktop);
    if (icons.worker) {
        attach_to_classic_desktop(window, explorer, icons);
        return;
    }
    // From Windows 11 24H2 the icons stay in the program manager itself; a
    // null parent would make the look-up search the top-level windows.
    HWND raised_icon_view = explorer ? find_icon_view_in(explorer) : nullptr;
    if (raised_icon_view) {
        attach_to_raised_desktop(window, explorer, raised_icon_view);
        return;
    }
    log_message("Explorer may not be running");
}
