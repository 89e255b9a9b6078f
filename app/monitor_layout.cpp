#include "app/monitor_layout.h"

#include <cstdint>
#include <cstring>

static const char* const kLayoutNames[] = {"each", "span", "duplicate", "primary"};

const char* monitor_layout_name(MonitorLayout layout) { return kLayoutNames[static_cast<int>(layout)]; }

bool monitor_layout_from_name(const char* name, MonitorLayout* layout) {
    for (int index = 0; index < 4; ++index) {
        if (name && strcmp(name, kLayoutNames[index]) == 0) {
            *layout = static_cast<MonitorLayout>(index);
            return true;
        }
    }
    return false;
}

static int primary_index(const MonitorRect* monitors, int count) {
    for (int index = 0; index < count; ++index) {
        if (monitors[index].primary) return index;
    }
    return 0;
}

static MonitorRect bounding_rect(const MonitorRect* monitors, int count) {
    int left = monitors[0].x;
    int top = monitors[0].y;
    int right = monitors[0].x + monitors[0].width;
    int bottom = monitors[0].y + monitors[0].height;
    for (int index = 1; index < count; ++index) {
        const MonitorRect& m = monitors[index];
        if (m.x < left) left = m.x;
        if (m.y < top) top = m.y;
        if (m.x + m.width > right) right = m.x + m.width;
        if (m.y + m.height > bottom) bottom = m.y + m.height;
    }
    return MonitorRect{left, top, right - left, bottom - top, false};
}

// GL counts rows from the window's bottom edge, the screen from its top.
static WindowPlace place_in(const PicturePlan& plan, const MonitorRect& monitor) {
    const int x = monitor.x - plan.window_x;
    const int y = plan.window_y + plan.window_height - (monitor.y + monitor.height);
    return WindowPlace{x, y, monitor.width, monitor.height};
}

static void cover_window(PicturePlan* plan, const MonitorRect& rect) {
    plan->window_x = rect.x;
    plan->window_y = rect.y;
    plan->window_width = rect.width;
    plan->window_height = rect.height;
}

static void add_picture(PicturePlan* plan, const WindowPlace& place, int monitor) {
    plan->pictures[plan->picture_count] = place;
    plan->monitor_of_picture[plan->picture_count] = monitor;
    ++plan->picture_count;
}

PicturePlan plan_pictures(MonitorLayout layout, const MonitorRect* monitors, int count, const MonitorRect& fallback) {
    PicturePlan plan;
    memset(&plan, 0, sizeof plan);
    if (count <= 0) {
        cover_window(&plan, fallback);
        add_picture(&plan, WindowPlace{0, 0, fallback.width, fallback.height}, -1);
        plan.follows_window = true;
        return plan;
    }
    if (count > kMostMonitors) count = kMostMonitors;
    const int primary = primary_index(monitors, count);
    if (layout == MonitorLayout::Primary) {
        cover_window(&plan, monitors[primary]);
        add_picture(&plan, place_in(plan, monitors[primary]), primary);
        return plan;
    }
    const MonitorRect all = bounding_rect(monitors, count);
    cover_window(&plan, all);
    switch (layout) {
        case MonitorLayout::Span:
            add_picture(&plan, WindowPlace{0, 0, all.width, all.height}, -1);
            break;
        case MonitorLayout::Duplicate:
            add_picture(&plan, place_in(plan, monitors[primary]), primary);
            for (int index = 0; index < count; ++index) {
                if (index != primary) plan.copies[plan.copy_count++] = place_in(plan, monitors[index]);
            }
            break;
        default:
            for (int index = 0; index < count; ++index) add_picture(&plan, place_in(plan, monitors[index]), index);
            break;
    }
    return plan;
}

WindowPlace cover_crop(int source_width, int source_height, int width, int height) {
    if (source_width <= 0 || source_height <= 0 || width <= 0 || height <= 0) {
        return WindowPlace{0, 0, source_width, source_height};
    }
    // Compare width / height with source_width / source_height without
    // rounding: the wider of the two loses its sides.
    const int64_t place_shape = static_cast<int64_t>(width) * source_height;
    const int64_t source_shape = static_cast<int64_t>(source_width) * height;
    if (place_shape >= source_shape) {
        const int kept = static_cast<int>(static_cast<int64_t>(source_width) * height / width);
        return WindowPlace{0, (source_height - kept) / 2, source_width, kept};
    }
    const int kept = static_cast<int>(static_cast<int64_t>(source_height) * width / height);
    return WindowPlace{(source_width - kept) / 2, 0, kept, source_height};
}
