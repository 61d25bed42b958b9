// The write-only process the generator is compared with: it writes the same
// files with the same sizes, in the same order and through the same atomic
// replacement, and deletes the two sources as the generator does after
// reading them, but builds nothing.
//
//   scenario_solo_scrittura FOLDER STEP...
//
// A STEP is "NAME=SIZE" (write SIZE bytes into FOLDER/NAME) or "-NAME"
// (delete FOLDER/NAME).

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>

#include "platform/file_atomico.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: scenario_solo_scrittura FOLDER NAME=SIZE|-NAME...\n");
    return 2;
  }
  try {
    const std::filesystem::path cartella = argv[1];
    static const std::string blocco(1 << 16, '\0');
    for (int i = 2; i < argc; ++i) {
      const std::string passo = argv[i];
      if (passo[0] == '-') {
        scenario::elimina_se_esiste(cartella / passo.substr(1));
        continue;
      }
      const size_t uguale = passo.rfind('=');
      size_t resto = std::strtoull(passo.c_str() + uguale + 1, nullptr, 10);
      scenario::FileAtomico f(cartella / passo.substr(0, uguale));
      while (resto > 0) {
        const size_t k = std::min(resto, blocco.size());
        f.scrivi(blocco.data(), k);
        resto -= k;
      }
      f.conferma();
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "scenario_solo_scrittura: %s\n", e.what());
    return 1;
  }
  return 0;
}
