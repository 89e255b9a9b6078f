// The host window follows the primary screen when the displays change. The
// displays of a test bench cannot change, so the screen comes from the test.
#include <gtest/gtest.h>

#include <windows.h>

#include "app/host_window.h"
#include "app/instance_name.h"
#include "desktop/desktop_layer.h"
#include "app/player_sets.h"

static ScreenRect fake_screen = {0, 0, 800, 600};
static ScreenRect fake_primary_screen() { return fake_screen; }

static const char* const kDesktopClass = "LumenfoldTestDesktop";

class FollowingTheScreen : public testing::Test {
  protected:
    void SetUp() override {
        WNDCLASSEXA window_class;
        ZeroMemory(&window_class, sizeof window_class);
        window_class.cbSize = sizeof window_class;
        window_class.lpfnWndProc = ::DefWindowProcA;
        window_class.hInstance = instance;
        window_class.lpszClassName = kDesktopClass;
        ::RegisterClassExA(&window_class);
        register_host_window_class(instance);
        // Like the program manager with a second monitor left of the
        // primary one: its origin is not the screen's.
        program_manager = ::CreateWindowExA(WS_EX_NOACTIVATE, kDesktopClass, "", WS_POPUP, -800, 0, 2400, 900, nullptr,
                                            nullptr, instance, nullptr);
        icon_view = ::CreateWindowExA(0, kDesktopClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, program_manager,
                                      nullptr, instance, nullptr);
        host = ::CreateWindowExA(0, kInstanceName, kInstanceName, WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, program_manager,
                                 nullptr, instance, nullptr);
        set_primary_screen_source(fake_primary_screen);
        ASSERT_TRUE(program_manager && icon_view && host) << "error " << ::GetLastError();
    }

    void TearDown() override {
        set_primary_screen_source(nullptr);
        destroy_host_window(host);
        ::DestroyWindow(program_manager);
        unregister_host_window_class(instance);
        ::UnregisterClassA(kDesktopClass, instance);
    }

    RECT host_rect() const {
        RECT rect;
        ::GetWindowRect(host, &rect);
        return rect;
    }

    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    HWND program_manager = nullptr;
    HWND icon_view = nullptr;
    HWND host = nullptr;
};

TEST_F(FollowingTheScreen, TheWindowCoversTheNewPrimaryScreenAndTheTargetsFollow) {
    const DesktopAttachment classic = {DesktopLayout::Classic, program_manager, icon_view, nullptr};
    fake_screen = ScreenRect{0, 0, 1024, 768};
    place_over_covered_screen(host, classic);
    const RECT rect = host_rect();
    EXPECT_EQ(rect.left, 0) << "at the primary screen, not at the program manager's corner";
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, 1024);
    EXPECT_EQ(rect.bottom, 768);
    EXPECT_EQ(player_window_width(), 1024) << "the render targets follow through the resize";
    EXPECT_EQ(player_window_height(), 768);

    fake_screen = ScreenRect{0, 0, 1920, 1080};
    place_over_covered_screen(host, classic);
    EXPECT_EQ(host_rect().right, 1920);
    EXPECT_EQ(player_window_height(), 1080);
}

TEST_F(FollowingTheScreen, OnTheRaisedDesktopTheWindowStaysRightBelowTheIcons) {
    const DesktopAttachment raised = {DesktopLayout::Raised, program_manager, icon_view, nullptr};
    ::SetWindowPos(host, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    fake_screen = ScreenRect{0, 0, 640, 480};
    place_over_covered_screen(host, raised);
    EXPECT_EQ(::GetWindow(icon_view, GW_HWNDNEXT), host);
    EXPECT_EQ(host_rect().right, 640);
}
