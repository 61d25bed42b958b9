// Fuzz target: what needs real files, on the sources' and the compiled files'
// inputs alike: the toolkit's compile and the builder writing into folders,
// the sources left in place, and the dump command on the bytes as a file. Far
// slower than the targets in memory; it runs in long runs only.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "fuzz/controlli_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n) {
  static const std::filesystem::path cartella = scenario::cartella_di_lavoro("disco");
  scenario::controlla_su_disco(std::string_view(reinterpret_cast<const char*>(dati), n), cartella);
  return 0;
}
