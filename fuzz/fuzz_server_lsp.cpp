// Fuzz target: the language server on in-memory streams, each part of the
// input (split at kSeparatoreMessaggi) one framed message.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/controlli_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n) {
  scenario::controlla_server_lsp(std::string_view(reinterpret_cast<const char*>(dati), n));
  return 0;
}
