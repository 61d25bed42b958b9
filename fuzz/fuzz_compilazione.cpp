// Fuzz target: the whole builder, by the toolkit's compile and directly, on
// the route source and the service source that one input splits into.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "fuzz/controlli_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n) {
  static const std::filesystem::path cartella = scenario::cartella_di_lavoro("compilazione");
  scenario::controlla_compilazione(std::string_view(reinterpret_cast<const char*>(dati), n),
                                   cartella);
  return 0;
}
