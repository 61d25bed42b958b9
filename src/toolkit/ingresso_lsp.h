#pragma once
// The language server's input: the next message of the stream, read ahead on
// a thread of its own so that the server can wait for it until a deadline and
// do its delayed work (the diagnostics of a buffer that stopped changing) in
// the meantime. The thread reads one message at a time, when the server asks
// for the next, so nothing is read past the exit notification.

#include <chrono>
#include <condition_variable>
#include <iosfwd>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "toolkit/messaggi_lsp.h"

namespace scenario {

class IngressoLsp {
 public:
  using Istante = std::chrono::steady_clock::time_point;

  explicit IngressoLsp(std::istream& in);
  ~IngressoLsp();
  IngressoLsp(const IngressoLsp&) = delete;
  IngressoLsp& operator=(const IngressoLsp&) = delete;

  // The next message; nothing when `scadenza` comes first (a message that
  // arrives later is the next call's). Without a deadline it waits as long
  // as the stream does.
  std::optional<MessaggioLsp> prossimo(std::optional<Istante> scadenza);

 private:
  // Shared with the thread, which may outlive this object (see the destructor).
  struct Stato {
    std::mutex mutex;
    std::condition_variable cambiato;
    bool richiesto = false;  // the server waits for a message not yet read
    bool fermo = false;
    bool finito = false;  // the stream ended: every later call gets kFine
    std::optional<MessaggioLsp> pronto;
  };
  static void leggi(std::istream& in, const std::shared_ptr<Stato>& s);

  std::shared_ptr<Stato> stato_;
  std::thread filo_;
};

}  // namespace scenario
