#pragma once
// One name serves as the single-instance mutex, the window class and the
// window title, so a later start can find the running window by it.

constexpr const char* kInstanceName = "Lumenfold_Velvetdusk";
constexpr const char* kLogFileName = "GLumenfold_Velvetdusk.log";
