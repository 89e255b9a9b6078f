// Clock, counter and date for the host flavour's programs (benchmarks); the
// cursor does not exist there and stays at the origin.
#include <sys/stat.h>
#include <time.h>

#include "desktop/clock.h"
#include "desktop/platform_services.h"

double current_time_seconds() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    const uint64_t milliseconds =
        static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    return seconds_from_milliseconds(static_cast<uint32_t>(milliseconds));
}

void get_cursor_position(double* x, double* y) {
    *x = 0.0;
    *y = 0.0;
}

int64_t read_performance_counter() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

int64_t read_performance_frequency() { return 1000000000; }

FileStamp read_file_stamp(const char* path) {
    FileStamp stamp = {false, 0, 0};
    struct stat status;
    if (!path || stat(path, &status) != 0) return stamp;
    stamp.exists = true;
    stamp.size = static_cast<uint64_t>(status.st_size);
    stamp.write_time = static_cast<int64_t>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    return stamp;
}

LocalDateTime read_local_date_time() {
    timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    tm local;
    localtime_r(&now.tv_sec, &local);
    LocalDateTime result;
    result.year = local.tm_year + 1900;
    result.month = local.tm_mon;
    result.day_of_month = local.tm_mday;
    result.hour = local.tm_hour;
    result.minute = local.tm_min;
    result.second = local.tm_sec;
    result.millisecond = static_cast<int>(now.tv_nsec / 1000000);
    return result;
}
