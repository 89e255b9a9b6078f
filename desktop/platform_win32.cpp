// Clock, cursor, counter and date for the Windows flavour.
#include <windows.h>
#include <mmsystem.h>
#include <sys/timeb.h>
#include <time.h>

#include <cstdlib>

#include "base/text_encoding.h"

#include "desktop/clock.h"
#include "desktop/platform_services.h"

double current_time_seconds() { return seconds_from_milliseconds(::timeGetTime()); }

void get_cursor_position(double* x, double* y) {
    POINT point = {0, 0};
    ::GetCursorPos(&point);
    *x = static_cast<double>(point.x);
    *y = static_cast<double>(point.y);
}

int64_t read_performance_counter() {
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return now.QuadPart;
}

int64_t read_performance_frequency() {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart;
}

FileStamp read_file_stamp(const char* path) {
    FileStamp stamp = {false, 0, 0};
    WIN32_FILE_ATTRIBUTE_DATA attributes;
    wchar_t* wide_path = path ? reinterpret_cast<wchar_t*>(utf16_from_utf8(path, nullptr)) : nullptr;
    const bool found = wide_path && ::GetFileAttributesExW(wide_path, GetFileExInfoStandard, &attributes);
    free(wide_path);
    if (!found) return stamp;
    stamp.exists = true;
    stamp.size = (static_cast<uint64_t>(attributes.nFileSizeHigh) << 32) | attributes.nFileSizeLow;
    stamp.write_time = (static_cast<int64_t>(attributes.ftLastWriteTime.dwHighDateTime) << 32) |
                       attributes.ftLastWriteTime.dwLowDateTime;
    return stamp;
}

LocalDateTime read_local_date_time() {
    struct __timeb64 now;
    _ftime64(&now);
    const struct tm* local = _localtime64(&now.time);
    LocalDateTime result = {1970, 0, 1, 0, 0, 0, 0};
    if (!local) return result;
    result.year = local->tm_year + 1900;
    result.month = local->tm_mon;
    result.day_of_month = local->tm_mday;
    result.hour = local->tm_hour;
    result.minute = local->tm_min;
    result.second = local->tm_sec;
    result.millisecond = now.millitm;
    return result;
}
