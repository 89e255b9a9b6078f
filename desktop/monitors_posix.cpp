// The host flavour has no desk: its programs draw off screen.
#include "desktop/monitors.h"

MonitorList read_system_monitors() {
    MonitorList list{};
    return list;
}
