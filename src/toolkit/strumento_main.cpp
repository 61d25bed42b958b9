// The authors' toolkit: see toolkit/strumento.h.

#include <iostream>
#include <string>
#include <vector>

#include "toolkit/strumento.h"

#ifdef _WIN32
#include "platform/finestra_win32.h"

// On Windows the arguments come wide, split from the command line by the C
// run-time (the program links with -municode), and go on as UTF-8: the narrow
// argv holds only what the ANSI code page can say.
int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> argomenti;
  for (int i = 1; i < argc; ++i) argomenti.push_back(scenario::wide_a_utf8(argv[i]));
  const int stato = scenario::esegui_strumento(argomenti, std::cout, std::cerr);
  std::cout.flush();
  return stato;
}
#else
int main(int argc, char** argv) {
  const std::vector<std::string> argomenti(argv + 1, argv + argc);
  const int stato = scenario::esegui_strumento(argomenti, std::cout, std::cerr);
  std::cout.flush();
  return stato;
}
#endif
