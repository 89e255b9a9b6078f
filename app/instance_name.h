#pragma once
// One name serves as the single-instance mutex, the window class and the
// window title, so a later start can find the running window by it.

constexpr const char* kInstanceName = "Lumenfold_Velvetdusk";
constexpr const char* kLogFileName = "GLumenfold_Velvetdusk.log";

// The hidden top-level window that owns the tray icon and hears the
// broadcasts the host window, a child of the desktop, never gets.
constexpr const char* kNotifyWindowClass = "Lumenfold_Velvetdusk_Notify";
