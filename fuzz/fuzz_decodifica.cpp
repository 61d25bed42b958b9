// Fuzz target: the toolkit's decoders of the compiled files, with the verify
// and plot cores, in memory, on arbitrary bytes.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/controlli_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n) {
  scenario::controlla_decodifica(std::string_view(reinterpret_cast<const char*>(dati), n));
  return 0;
}
