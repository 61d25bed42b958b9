// Fuzz target: the toolkit's decoders of the compiled files, with dump,
// verify and plot, on arbitrary bytes.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "fuzz/controlli_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n) {
  static const std::filesystem::path cartella = scenario::cartella_di_lavoro("decodifica");
  scenario::controlla_decodifica(std::string_view(reinterpret_cast<const char*>(dati), n),
                                 cartella);
  return 0;
}
