// The generator: one start writes the carried scenario's text files next to
// the executable, compiles them and writes the compiled scenario. No command
// line, no settings.

#include <iostream>

#include "app/cartella_programma.h"
#include "app/finestra.h"
#include "app/finestra_win32.h"
#include "app/sequenza.h"

int main() {
#ifdef _WIN32
  scenario::FinestraWin32 finestra;
#else
  scenario::FinestraConsole finestra(std::cerr);
#endif
  return scenario::esegui_generatore(finestra, [] { return scenario::cartella_programma(); });
}
