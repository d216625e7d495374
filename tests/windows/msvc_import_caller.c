/* Built as Microsoft's tools build a 32-bit program (clang for i686-pc-windows-msvc, no C
 * runtime) and linked by lld-link with /SAFESEH against the shipped zarelcom.lib: the import
 * library must give a Microsoft-style object the decorated stdcall symbols it asks for and lead
 * them to the plain names the DLL exports. The exit code is DllVersion plus a counted text's
 * length. */
__declspec(dllimport) int __stdcall DllVersion(void);
__declspec(dllimport) const char *__stdcall MakeText(const char *bytes, int length);
__declspec(dllimport) void __stdcall ReleaseText(const char *text);

int __stdcall Start(void) {
    const char *text = MakeText("LOT", 3);
    const int length = ((const int *)text)[-1];
    ReleaseText(text);
    return DllVersion() + length;
}
