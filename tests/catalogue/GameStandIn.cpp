// Stands in for the game in the Windows tests: a process named totala.exe
// that waits until it is ended.

#include <windows.h>

int main() {
    Sleep(60000);
    return 0;
}
