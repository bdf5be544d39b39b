/* The control case of the planting test: loads the DLL named on the command line by its bare
   name, as a careless program would. Exit status 0 when something was loaded. */
#include <windows.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    return LoadLibraryA(argv[1]) != NULL ? 0 : 1;
}
