#pragma once
// The platform services as tests set them: a clock, cursor, counter and date
// that move only when told to.

#include <cstdint>

#include "desktop/platform_services.h"

void set_fake_time_milliseconds(uint32_t milliseconds);
void set_fake_cursor(double x, double y);
void set_fake_counter(int64_t ticks, int64_t frequency);
void set_fake_date(const LocalDateTime& date);
