/* A do-nothing DLL: the resources are what the tests read. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}

__declspec(dllexport) int __stdcall GetPluginAnswer(void) { return 42; }
