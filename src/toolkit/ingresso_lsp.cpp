#include "toolkit/ingresso_lsp.h"

#include <exception>
#include <istream>
#include <utility>

namespace scenario {

IngressoLsp::IngressoLsp(std::istream& in)
    : stato_(std::make_shared<Stato>()), filo_([&in, s = stato_] { leggi(in, s); }) {}

IngressoLsp::~IngressoLsp() {
  bool in_lettura = false;
  {
    std::lock_guard<std::mutex> l(stato_->mutex);
    stato_->fermo = true;
    in_lettura = stato_->richiesto && !stato_->finito;
  }
  stato_->cambiato.notify_all();
  // The server leaves after a message it asked for, so the thread is idle and
  // joins; one still blocked reading a stream that never ends cannot be
  // joined, and is left to the end of the program, holding its own state.
  if (in_lettura) {
    filo_.detach();
  } else {
    filo_.join();
  }
}

void IngressoLsp::leggi(std::istream& in, const std::shared_ptr<Stato>& s) {
  while (true) {
    {
      std::unique_lock<std::mutex> l(s->mutex);
      s->cambiato.wait(l, [&] { return s->fermo || (s->richiesto && !s->pronto); });
      if (s->fermo) return;
    }
    MessaggioLsp m;
    try {
      m = leggi_messaggio_lsp(in);
    } catch (const std::exception&) {
      m = MessaggioLsp{};  // a stream that fails ends like one that ends
    }
    const bool fine = m.esito == MessaggioLsp::kFine;
    {
      std::lock_guard<std::mutex> l(s->mutex);
      s->pronto = std::move(m);
      s->richiesto = false;
      s->finito = fine;
    }
    s->cambiato.notify_all();
    if (fine) return;
  }
}

std::optional<MessaggioLsp> IngressoLsp::prossimo(std::optional<Istante> scadenza) {
  Stato& s = *stato_;
  std::unique_lock<std::mutex> l(s.mutex);
  if (!s.pronto && s.finito) return MessaggioLsp{};
  if (!s.pronto && !s.richiesto) {
    s.richiesto = true;
    s.cambiato.notify_all();
  }
  const auto arrivato = [&] { return s.pronto.has_value(); };
  if (scadenza) {
    if (!s.cambiato.wait_until(l, *scadenza, arrivato)) return std::nullopt;
  } else {
    s.cambiato.wait(l, arrivato);
  }
  MessaggioLsp m = std::move(*s.pronto);
  s.pronto.reset();
  return m;
}

}  // namespace scenario
