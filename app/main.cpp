#include <windows.h>

#include "app/program.h"
#include "app/single_instance.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    if (!quillane::becomeTheOnlyInstance()) {
        return 0;
    }
    quillane::runProgram();
}
