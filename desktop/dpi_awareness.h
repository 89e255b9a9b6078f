#pragma once
// Makes the process DPI aware before its first window exists, so sizes and
// cursor positions are physical pixels.

void enable_dpi_awareness();
