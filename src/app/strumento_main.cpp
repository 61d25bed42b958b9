// The authors' toolkit: see app/strumento.h.

#include <iostream>
#include <string>
#include <vector>

#include "app/strumento.h"

int main(int argc, char** argv) {
  std::vector<std::string> argomenti(argv + 1, argv + argc);
  const int stato = scenario::esegui_strumento(argomenti, std::cout, std::cerr);
  std::cout.flush();
  return stato;
}
