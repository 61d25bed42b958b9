#pragma once
// The language server's message stream: each message is a header block
// ("Content-Length: N", other headers ignored, each line ended by CR LF) and
// an empty line, then N bytes of JSON. The reader survives what a broken
// client sends: a header block without a usable length is reported and
// skipped, and reading goes on with the next block.

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>

namespace scenario {

// The longest body read; a longer one is skipped unread.
inline constexpr size_t kMassimoCorpoLsp = 256u << 20;

struct MessaggioLsp {
  enum Esito {
    kMessaggio,     // `corpo` holds the body
    kIntestazione,  // a header block that gives no usable length: `perche` says why
    kFine,          // the stream ended (in the middle of a message, or between two)
  } esito = kFine;
  std::string corpo;
  std::string perche;
};

MessaggioLsp leggi_messaggio_lsp(std::istream& in);

// Writes one message with its header and flushes the stream.
void scrivi_messaggio_lsp(std::ostream& out, std::string_view corpo);

}  // namespace scenario
