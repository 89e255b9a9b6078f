// Hybrid-graphics drivers look for these exports to run the process on the
// discrete GPU. Nothing in the program reads them.
#include <windows.h>

extern "C" {
__declspec(dllexport) DWORD NvOptimusEnablement = 1;
__declspec(dllexport) int AmdPowerXpressRequestHighPerformance = 1;
}
