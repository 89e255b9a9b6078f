// The system's monitors: where each is and how it is scaled from
// EnumDisplayMonitors, who it is from the display configuration.
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "base/text_encoding.h"
#include "desktop/monitors.h"
#include "desktop/proc_address.h"

typedef LONG(WINAPI* GetDisplayConfigBufferSizesProc)(UINT32, UINT32*, UINT32*);
typedef LONG(WINAPI* QueryDisplayConfigProc)(UINT32, UINT32*, DISPLAYCONFIG_PATH_INFO*, UINT32*,
                                             DISPLAYCONFIG_MODE_INFO*, DISPLAYCONFIG_TOPOLOGY_ID*);
typedef LONG(WINAPI* DisplayConfigGetDeviceInfoProc)(DISPLAYCONFIG_DEVICE_INFO_HEADER*);
typedef HRESULT(WINAPI* GetDpiForMonitorProc)(HMONITOR, int, UINT*, UINT*);

// QDC_ONLY_ACTIVE_PATHS and MDT_EFFECTIVE_DPI, spelled out because older
// SDK headers lack them.
static const UINT32 kOnlyActivePaths = 2;
static const int kEffectiveDpi = 0;
// The configuration can grow between asking for its size and reading it.
static const int kConfigTries = 3;

// A GDI device name ("\\.\DISPLAY1") and the device path of the monitor it
// shows on.
struct MonitorPath {
    WCHAR device_name[CCHDEVICENAME];
    WCHAR device_path[128];
};

struct MonitorPaths {
    int count;
    MonitorPath paths[kMonitorLimit];
};

static void copy_utf8(char* destination, size_t size, const WCHAR* text) {
    char* utf8 = utf8_from_utf16(reinterpret_cast<const uint16_t*>(text), wcslen(text));
    destination[0] = '\0';
    if (utf8) {
        strncpy(destination, utf8, size - 1);
        destination[size - 1] = '\0';
    }
    free(utf8);
}

static bool read_source_name(DisplayConfigGetDeviceInfoProc get_info, const DISPLAYCONFIG_PATH_INFO& path,
                             WCHAR* name) {
    DISPLAYCONFIG_SOURCE_DEVICE_NAME source;
    ZeroMemory(&source, sizeof source);
    source.header.type = DISPLAYCONFIG_DEVICE_INFO_GET_SOURCE_NAME;
    source.header.size = sizeof source;
    source.header.adapterId = path.sourceInfo.adapterId;
    source.header.id = path.sourceInfo.id;
    if (get_info(&source.header) != ERROR_SUCCESS) return false;
    wcsncpy(name, source.viewGdiDeviceName, CCHDEVICENAME - 1);
    name[CCHDEVICENAME - 1] = L'\0';
    return name[0] != L'\0';
}

static bool read_target_path(DisplayConfigGetDeviceInfoProc get_info, const DISPLAYCONFIG_PATH_INFO& path,
                             WCHAR* device_path) {
    DISPLAYCONFIG_TARGET_DEVICE_NAME target;
    ZeroMemory(&target, sizeof target);
    target.header.type = DISPLAYCONFIG_DEVICE_INFO_GET_TARGET_NAME;
    target.header.size = sizeof target;
    target.header.adapterId = path.targetInfo.adapterId;
    target.header.id = path.targetInfo.id;
    if (get_info(&target.header) != ERROR_SUCCESS) return false;
    wcsncpy(device_path, target.monitorDevicePath, 127);
    device_path[127] = L'\0';
    return device_path[0] != L'\0';
}

// Reads the active paths, retrying while the configuration grows under us.
static bool query_active_paths(HMODULE user32, DISPLAYCONFIG_PATH_INFO** paths, UINT32* path_count) {
    GetDisplayConfigBufferSizesProc get_sizes =
        find_proc_address<GetDisplayConfigBufferSizesProc>(user32, "GetDisplayConfigBufferSizes");
    QueryDisplayConfigProc query = find_proc_address<QueryDisplayConfigProc>(user32, "QueryDisplayConfig");
    if (!get_sizes || !query) return false;
    for (int tries = 0; tries < kConfigTries; ++tries) {
        UINT32 mode_count = 0;
        if (get_sizes(kOnlyActivePaths, path_count, &mode_count) != ERROR_SUCCESS) return false;
        *paths = static_cast<DISPLAYCONFIG_PATH_INFO*>(calloc(*path_count + 1, sizeof **paths));
        DISPLAYCONFIG_MODE_INFO* modes = static_cast<DISPLAYCONFIG_MODE_INFO*>(calloc(mode_count + 1, sizeof *modes));
        const LONG result = *paths && modes ? query(kOnlyActivePaths, path_count, *paths, &mode_count, modes, nullptr)
                                            : ERROR_NOT_ENOUGH_MEMORY;
        free(modes);
        if (result == ERROR_SUCCESS) return true;
        free(*paths);
        *paths = nullptr;
        if (result != ERROR_INSUFFICIENT_BUFFER) return false;
    }
    return false;
}

static MonitorPaths read_monitor_paths() {
    MonitorPaths found;
    found.count = 0;
    HMODULE user32 = ::GetModuleHandleA("user32.dll");
    DisplayConfigGetDeviceInfoProc get_info =
        user32 ? find_proc_address<DisplayConfigGetDeviceInfoProc>(user32, "DisplayConfigGetDeviceInfo") : nullptr;
    DISPLAYCONFIG_PATH_INFO* paths = nullptr;
    UINT32 path_count = 0;
    if (!get_info || !query_active_paths(user32, &paths, &path_count)) return found;
    for (UINT32 index = 0; index < path_count && found.count < kMonitorLimit; ++index) {
        MonitorPath& entry = found.paths[found.count];
        if (read_source_name(get_info, paths[index], entry.device_name) &&
            read_target_path(get_info, paths[index], entry.device_path)) {
            ++found.count;
        }
    }
    free(paths);
    return found;
}

// A mirrored source shows on several monitors; the first one names it.
static const WCHAR* device_path_of(const MonitorPaths& paths, const WCHAR* device_name) {
    for (int index = 0; index < paths.count; ++index) {
        if (::lstrcmpiW(paths.paths[index].device_name, device_name) == 0) return paths.paths[index].device_path;
    }
    return nullptr;
}

// Where the display configuration has no path: the monitor's device
// interface as the display devices list it, or else the GDI device name,
// which holds as long as nothing is re-plugged.
static void fall_back_to_display_device(const WCHAR* device_name, Monitor* monitor) {
    DISPLAY_DEVICEW device;
    ZeroMemory(&device, sizeof device);
    device.cb = sizeof device;
    if (::EnumDisplayDevicesW(device_name, 0, &device, EDD_GET_DEVICE_INTERFACE_NAME) && device.DeviceID[0]) {
        copy_utf8(monitor->identity, sizeof monitor->identity, device.DeviceID);
    } else {
        copy_utf8(monitor->identity, sizeof monitor->identity, device_name);
    }
}

static int effective_dpi(HMONITOR handle) {
    // Kept loaded for the process: monitors are read again on every change.
    static HMODULE shcore = ::LoadLibraryA("shcore.dll");
    GetDpiForMonitorProc get_dpi =
        shcore ? find_proc_address<GetDpiForMonitorProc>(shcore, "GetDpiForMonitor") : nullptr;
    UINT dpi_x = 0;
    UINT dpi_y = 0;
    if (!get_dpi || FAILED(get_dpi(handle, kEffectiveDpi, &dpi_x, &dpi_y))) return 0;
    return static_cast<int>(dpi_x);
}

struct Enumeration {
    MonitorList* list;
    const MonitorPaths* paths;
};

static BOOL CALLBACK add_monitor(HMONITOR handle, HDC, LPRECT, LPARAM data) {
    Enumeration* enumeration = reinterpret_cast<Enumeration*>(data);
    MonitorList* list = enumeration->list;
    if (list->count == kMonitorLimit) return FALSE;
    MONITORINFOEXW info;
    info.cbSize = sizeof info;
    if (!::GetMonitorInfoW(handle, &info)) return TRUE;
    Monitor& monitor = list->monitors[list->count++];
    ZeroMemory(&monitor, sizeof monitor);
    monitor.x = info.rcMonitor.left;
    monitor.y = info.rcMonitor.top;
    monitor.width = info.rcMonitor.right - info.rcMonitor.left;
    monitor.height = info.rcMonitor.bottom - info.rcMonitor.top;
    monitor.primary = (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
    monitor.dpi = effective_dpi(handle);
    copy_utf8(monitor.device_name, sizeof monitor.device_name, info.szDevice);
    const WCHAR* device_path = device_path_of(*enumeration->paths, info.szDevice);
    if (device_path) {
        copy_utf8(monitor.identity, sizeof monitor.identity, device_path);
    } else {
        fall_back_to_display_device(info.szDevice, &monitor);
    }
    return TRUE;
}

// The process is per-monitor DPI aware by now, so every rect is in
// physical pixels.
MonitorList read_system_monitors() {
    MonitorList list{};
    const MonitorPaths paths = read_monitor_paths();
    Enumeration enumeration = {&list, &paths};
    ::EnumDisplayMonitors(nullptr, nullptr, add_monitor, reinterpret_cast<LPARAM>(&enumeration));
    return list;
}
