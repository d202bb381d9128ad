// The Windows process entry: everything the program does happens inside RunProgram.
#include <windows.h>

#include "app/program.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  marvane::app::RunProgram();
}
