// Answers the version questions the player asks and makes itself DPI aware
// the way the player does, so a test can watch both under each Windows
// version Wine plays.
#include <windows.h>

#include <cstdio>

#include "desktop/dpi_awareness.h"
#include "desktop/windows_version.h"

int main() {
    printf("at-least-10.0=%d at-least-6.3=%d at-least-6.2=%d\n", is_windows_version_at_least(10, 0) ? 1 : 0,
           is_windows_version_at_least(6, 3) ? 1 : 0, is_windows_version_at_least(6, 2) ? 1 : 0);
    enable_dpi_awareness();
    return 0;
}
