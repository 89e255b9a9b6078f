#pragma once
// Which DPI awareness call the process makes, decided from the Windows
// version alone so that every branch can be exercised without that version.

enum class DpiAwarenessCall {
    ThreadPerMonitorV2,  // Windows 10 and later
    ProcessPerMonitor,   // Windows 8.1
    ProcessSystemAware,  // anything older
};

DpiAwarenessCall choose_dpi_awareness(bool at_least_10_0, bool at_least_6_3);
