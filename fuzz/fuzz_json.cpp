// Fuzz target: the JSON reader the language server reads its messages with,
// on arbitrary bytes, and the tool's JSON writer on what it reads.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/controlli_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n) {
  scenario::controlla_json(std::string_view(reinterpret_cast<const char*>(dati), n));
  return 0;
}
