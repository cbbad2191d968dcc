/* Plugins that load, or fail to load in one way each: the kind's exports are chosen by macro,
   REFUSE makes DllMain say no, IMPORT_ABSENT imports a DLL that is not there. Nothing here is
   ever called by the load check. */
#include <windows.h>

#ifdef IMPORT_ABSENT
__declspec(dllimport) int __cdecl QuillonAbsent(void);
#endif

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reserved;
#ifdef IMPORT_ABSENT
    if (reason == 0xFFFF)
        return QuillonAbsent();
#endif
#ifdef REFUSE
    return reason != DLL_PROCESS_ATTACH;
#else
    (void)reason;
    return TRUE;
#endif
}

#define EXPORT(name)                                                                                         \
    __declspec(dllexport) int __stdcall name(void) {                                                         \
        return 0;                                                                                            \
    }

#ifdef KIND_WCX
EXPORT(OpenArchive)
EXPORT(ReadHeader)
EXPORT(ProcessFile)
EXPORT(CloseArchive)
#endif
#ifdef KIND_WFX_WIDE
EXPORT(FsInitW)
EXPORT(FsFindFirstW)
EXPORT(FsFindNextW)
EXPORT(FsFindClose)
#endif
#ifdef KIND_WLX
EXPORT(ListLoad)
#endif
#ifdef KIND_WDX
EXPORT(ContentGetSupportedField)
EXPORT(ContentGetValue)
#endif
