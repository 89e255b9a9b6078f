#pragma once
// The few services the render core needs from the operating system. Each
// platform implements them in its own file; the core never includes a
// platform header.

#include <cstdint>

// Seconds from the system's millisecond counter since start-up.
double current_time_seconds();

// Cursor position in screen pixels, y growing downwards.
void get_cursor_position(double* x, double* y);

// The high-resolution counter and its ticks per second.
int64_t read_performance_counter();
int64_t read_performance_frequency();

// Local calendar date with the time of day to the millisecond.
struct LocalDateTime {
    int year;          // full year, e.g. 2026
    int month;         // 0-based: January is 0
    int day_of_month;  // 1-based
    int hour;
    int minute;
    int second;
    int millisecond;
};
LocalDateTime read_local_date_time();

// What tells a file's versions apart: whether it is there, its size and its
// last write time (in the platform's finest unit).
struct FileStamp {
    bool exists;
    uint64_t size;
    int64_t write_time;
};
FileStamp read_file_stamp(const char* path);
