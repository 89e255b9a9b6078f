#include "desktop/dpi_choice.h"

DpiAwarenessCall choose_dpi_awareness(bool at_least_10_0, bool at_least_6_3) {
    if (at_least_10_0) return DpiAwarenessCall::ThreadPerMonitorV2;
    if (at_least_6_3) return DpiAwarenessCall::ProcessPerMonitor;
    return DpiAwarenessCall::ProcessSystemAware;
}
