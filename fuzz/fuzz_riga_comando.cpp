// Fuzz target: the toolkit's whole command line, one argument a line of the
// input, run in a folder of its own that holds a small compiled scenario.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "fuzz/controlli_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n) {
  static const std::filesystem::path cartella = scenario::cartella_di_lavoro("riga_comando");
  scenario::controlla_riga_comando(std::string_view(reinterpret_cast<const char*>(dati), n),
                                   cartella);
  return 0;
}
