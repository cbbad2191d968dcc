/* The DLL a test plugin imports; the plugin's folder never gets it. */
__declspec(dllexport) int QuillonAbsent(void) {
    return 1;
}
