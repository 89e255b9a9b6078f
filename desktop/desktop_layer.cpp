#include "desktop/desktop_layer.h"

#include "base/log.h"

// Explorer answers this undocumented message by moving the desktop icons
// into a worker window of their own, with a second worker behind it that
// paints the wallpaper.
static const UINT kSplitDesktopMessage = 0x052C;
static const UINT kSplitDesktopTimeoutMs = 1000;
// Explorer may still be building its workers after it has answered; past
// this the attachment takes whatever is there.
static const ULONGLONG kWorkerDeadlineMs = 2000;
static const DWORD kWorkerLookMs = 10;

// The top-level "WorkerW" that holds the icon view, and that view.
struct IconWorker {
    HWND worker;
    HWND icon_view;
};

static PrimaryScreenSource primary_screen_source = nullptr;
static bool covering_more = false;
static ScreenRect covered_rect = {0, 0, 0, 0};

void cover_screen_rect(const ScreenRect* rect) {
    covering_more = rect != nullptr;
    if (rect) covered_rect = *rect;
}

ScreenRect covered_screen_rect() { return covering_more ? covered_rect : primary_screen_rect(); }

void set_primary_screen_source(PrimaryScreenSource source) { primary_screen_source = source; }

ScreenRect primary_screen_rect() {
    if (primary_screen_source) return primary_screen_source();
    // The process is DPI aware by now, so these are physical pixels; the
    // primary screen's corner is the origin of screen coordinates.
    return ScreenRect{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

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

static HWND find_wallpaper_worker_behind(HWND icon_worker) {
    return ::FindWindowExA(nullptr, icon_worker, "WorkerW", nullptr);
}

// The classic desktop's icon worker with the wallpaper worker behind it (the
// icon worker alone is not enough: Explorer builds the two one after the
// other, and the wallpaper worker would paint over the player), or the
// raised desktop's wallpaper worker beside the icon view inside the program
// manager. Before the split a classic desktop has its icon view there too,
// but no worker.
static bool workers_there(HWND desktop, HWND explorer) {
    const IconWorker icons = find_icon_worker(desktop);
    if (icons.worker) return find_wallpaper_worker_behind(icons.worker) != nullptr;
    return find_icon_view_in(explorer) && ::FindWindowExA(explorer, nullptr, "WorkerW", nullptr);
}

// NOTE: a message another thread sends to our windows is only delivered
// while this thread looks at its queue, and Explorer (or a later start)
// may send one while it builds the workers. Posted messages stay queued
// for the main loop.
static void wait_for_workers(HWND desktop, HWND explorer) {
    const ULONGLONG start = ::GetTickCount64();
    for (;;) {
        const ULONGLONG waited = ::GetTickCount64() - start;
        if (workers_there(desktop, explorer)) {
            log_message("desktop: workers there after %u ms", static_cast<unsigned>(waited));
            return;
        }
        if (waited >= kWorkerDeadlineMs) {
            log_message("desktop: the workers are not all there after %u ms", static_cast<unsigned>(kWorkerDeadlineMs));
            return;
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, kWorkerLookMs, QS_SENDMESSAGE);
        MSG message;
        ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

// The program manager spans the whole virtual screen, whose origin lies
// left of or above the primary screen when another monitor is there.
static POINT screen_point_in(HWND parent, int x, int y) {
    POINT point = {x, y};
    ::MapWindowPoints(nullptr, parent, &point, 1);
    return point;
}

static HWND hide_wallpaper_worker(HWND icon_worker, HWND explorer) {
    HWND wallpaper_worker = find_wallpaper_worker_behind(icon_worker);
    log_message("worker2:%X", handle_bits(wallpaper_worker));
    // It paints the wallpaper over everything below the icons, the player
    // included.
    if (wallpaper_worker) ::ShowWindow(wallpaper_worker, SW_HIDE);
    HWND worker_parent = wallpaper_worker ? ::GetParent(wallpaper_worker) : nullptr;
    log_message("worker2 GetParent:%X  explorer:%X", handle_bits(worker_parent), handle_bits(explorer));
    return wallpaper_worker;
}

static DesktopAttachment attach_to_classic_desktop(HWND window, HWND explorer, IconWorker icons) {
    log_message("worker:%0x", handle_bits(icons.worker));
    log_message("defView:%0x", handle_bits(icons.icon_view));
    const DesktopAttachment attachment = {DesktopLayout::Classic, explorer, icons.icon_view,
                                          hide_wallpaper_worker(icons.worker, explorer)};

    // With the wallpaper worker hidden, the program manager is what shows
    // behind the icon worker. On this desktop a window needs no other style
    // to be drawn there, so it moves as it was created.
    log_message("SetParent:%X", handle_bits(::SetParent(window, explorer)));

    const ScreenRect screen = covered_screen_rect();
    const POINT origin = screen_point_in(explorer, screen.x, screen.y);
    log_message("SetWindowPos:%d %d", screen.width, screen.height);
    ::SetWindowPos(window, nullptr, origin.x, origin.y, screen.width, screen.height, 0);
    return attachment;
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

static DesktopAttachment attach_to_raised_desktop(HWND window, HWND explorer, HWND icon_view) {
    log_message("raised defView:%0x", handle_bits(icon_view));
    log_message("GWL_STYLE:%X", static_cast<unsigned>(make_child_style(window)));
    log_message("SetParent:%X", handle_bits(::SetParent(window, explorer)));
    make_opaque_layered(window);

    const ScreenRect screen = covered_screen_rect();
    const POINT origin = screen_point_in(explorer, screen.x, screen.y);
    log_message("SetWindowPos:%d %d", screen.width, screen.height);
    // Directly below the icon view puts the player above the worker that
    // paints the wallpaper. The style changed above only takes full effect
    // with a frame change.
    ::SetWindowPos(window, icon_view, origin.x, origin.y, screen.width, screen.height,
                   SWP_NOACTIVATE | SWP_FRAMECHANGED);
    return DesktopAttachment{DesktopLayout::Raised, explorer, icon_view, nullptr};
}

DesktopAttachment attach_to_desktop(HWND window) {
    const DesktopAttachment none = {DesktopLayout::None, nullptr, nullptr, nullptr};
    if (!window) return none;

    HWND desktop = ::GetDesktopWindow();
    HWND explorer = find_program_manager(desktop);
    log_message("hwnd:%x", handle_bits(window));
    log_message("Explorer:%X", handle_bits(explorer));

    // Without a program manager there is nobody to ask or wait for.
    if (explorer) {
        ask_explorer_to_split_desktop(explorer);
        wait_for_workers(desktop, explorer);
    }

    const IconWorker icons = find_icon_worker(desktop);
    if (icons.worker) return attach_to_classic_desktop(window, explorer, icons);
    // From Windows 11 24H2 the icons stay in the program manager itself; a
    // null parent would make the look-up search the top-level windows.
    HWND raised_icon_view = explorer ? find_icon_view_in(explorer) : nullptr;
    if (raised_icon_view) return attach_to_raised_desktop(window, explorer, raised_icon_view);
    log_message("Explorer may not be running");
    return none;
}

bool desktop_shell_ready() {
    HWND desktop = ::GetDesktopWindow();
    HWND explorer = find_program_manager(desktop);
    if (!explorer) return false;
    return find_icon_view_in(explorer) != nullptr || find_icon_worker(desktop).worker != nullptr;
}

bool attachment_intact(HWND window, const DesktopAttachment& attachment) {
    if (attachment.layout == DesktopLayout::None) return true;
    return ::IsWindow(window) && ::IsWindow(attachment.program_manager) &&
           ::GetAncestor(window, GA_PARENT) == attachment.program_manager;
}

void place_over_covered_screen(HWND window, const DesktopAttachment& attachment) {
    if (attachment.layout == DesktopLayout::None) return;
    const ScreenRect screen = covered_screen_rect();
    const POINT origin = screen_point_in(attachment.program_manager, screen.x, screen.y);
    RECT now = {0, 0, 0, 0};
    ::GetWindowRect(window, &now);
    const bool raised = attachment.layout == DesktopLayout::Raised;
    const bool moved = now.left != screen.x || now.top != screen.y || now.right - now.left != screen.width ||
                       now.bottom - now.top != screen.height;
    // On the raised desktop the window must also stay right below the icons.
    if (!moved && !raised) return;
    if (moved) log_message("screen:%d %d at %d %d", screen.width, screen.height, screen.x, screen.y);
    const UINT flags = SWP_NOACTIVATE | (raised ? 0 : SWP_NOZORDER);
    ::SetWindowPos(window, raised ? attachment.icon_view : nullptr, origin.x, origin.y, screen.width, screen.height,
                   flags);
}

void place_below_other_windows(HWND window, const ScreenRect& screen) {
    RECT now = {0, 0, 0, 0};
    ::GetWindowRect(window, &now);
    const bool moved = now.left != screen.x || now.top != screen.y || now.right - now.left != screen.width ||
                       now.bottom - now.top != screen.height;
    if (moved) log_message("screen:%d %d at %d %d", screen.width, screen.height, screen.x, screen.y);
    ::SetWindowPos(window, HWND_BOTTOM, screen.x, screen.y, screen.width, screen.height, SWP_NOACTIVATE);
}

void restore_wallpaper_worker(const DesktopAttachment& attachment) {
    if (attachment.hidden_worker && ::IsWindow(attachment.hidden_worker)) {
        ::ShowWindow(attachment.hidden_worker, SW_SHOWNA);
    }
}
