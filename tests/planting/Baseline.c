/* The baseline of the planting test: imports the same system DLLs as the setup and returns at
   once. The DLLs the loader brings in for these imports before any code of a program runs are
   the platform's doing; the setup must load no planted DLL beyond them. */
#include <objbase.h>
#include <shellapi.h>
#include <windows.h>

#include <stdio.h>

int main(int argc, char** argv) {
    (void)argv;
    if (argc > 99) {
        /* Never runs: one function of each DLL, so that each is imported. */
        HKEY key;
        RegOpenKeyExA(HKEY_CURRENT_USER, "", 0, KEY_READ, &key);
        CoInitialize(NULL);
        ShellExecuteA(NULL, "open", "", NULL, NULL, SW_HIDE);
        MessageBoxA(NULL, "", "", MB_OK);
        printf("%p\n", (void*)GetModuleHandleA(NULL));
    }
    return 0;
}
