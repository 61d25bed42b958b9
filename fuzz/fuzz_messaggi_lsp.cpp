// Fuzz target: the language server's message reader (Content-Length
// framing) on an arbitrary byte stream.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/controlli_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n) {
  scenario::controlla_messaggi_lsp(std::string_view(reinterpret_cast<const char*>(dati), n));
  return 0;
}
