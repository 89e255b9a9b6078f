#include "tests/support/fake_platform.h"

#include <sys/stat.h>

#include "desktop/clock.h"

static uint32_t fake_milliseconds = 1000;
static double fake_cursor_x = 0.0;
static double fake_cursor_y = 0.0;
static int64_t fake_ticks = 0;
static int64_t fake_frequency = 1000;
static LocalDateTime fake_date = {2026, 11, 8, 12, 0, 0, 0};

void set_fake_time_milliseconds(uint32_t milliseconds) { fake_milliseconds = milliseconds; }

void set_fake_cursor(double x, double y) {
    fake_cursor_x = x;
    fake_cursor_y = y;
}

void set_fake_counter(int64_t ticks, int64_t frequency) {
    fake_ticks = ticks;
    fake_frequency = frequency;
}

void set_fake_date(const LocalDateTime& date) { fake_date = date; }

double current_time_seconds() { return seconds_from_milliseconds(fake_milliseconds); }

void get_cursor_position(double* x, double* y) {
    *x = fake_cursor_x;
    *y = fake_cursor_y;
}

int64_t read_performance_counter() { return fake_ticks; }
int64_t read_performance_frequency() { return fake_frequency; }
LocalDateTime read_local_date_time() { return fake_date; }

// Real files: whole seconds and the size are enough for tests that change
// the size with every version they write.
FileStamp read_file_stamp(const char* path) {
    FileStamp stamp = {false, 0, 0};
    struct stat status;
    if (!path || stat(path, &status) != 0) return stamp;
    stamp.exists = true;
    stamp.size = static_cast<uint64_t>(status.st_size);
    stamp.write_time = static_cast<int64_t>(status.st_mtime);
    return stamp;
}
