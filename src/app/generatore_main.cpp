// The generator: one start writes the carried scenario's text files next to
// the executable, compiles them and writes the compiled scenario. No command
// line, no settings.

#include <iostream>

#include "app/sequenza.h"
#include "platform/cartella_programma.h"
#include "platform/finestra.h"
#include "platform/finestra_win32.h"

int main() {
#ifdef _WIN32
  scenario::FinestraWin32 finestra;
#else
  scenario::FinestraConsole finestra(std::cerr);
#endif
  return scenario::esegui_generatore(finestra, [] { return scenario::cartella_programma(); });
}
