#include "toolkit/ingresso_lsp.h"

#include <exception>
#include <istream>
#include <utility>

namespace scenario {

IngressoLsp::IngressoLsp(std::istream& in) : in_(in), filo_([this] { leggi(); }) {}

IngressoLsp::~IngressoLsp() {
  bool in_lettura = false;
  {
    std::lock_guard<std::mutex> l(mutex_);
    fermo_ = true;
    in_lettura = richiesto_ && !finito_;
  }
  cambiato_.notify_all();
  // A thread still blocked reading a stream that never ends cannot be
  // joined: it is left to the end of the program, which ends it.
  if (in_lettura) {
    filo_.detach();
  } else {
    filo_.join();
  }
}

void IngressoLsp::leggi() {
  while (true) {
    {
      std::unique_lock<std::mutex> l(mutex_);
      cambiato_.wait(l, [this] { return fermo_ || (richiesto_ && !pronto_); });
      if (fermo_) return;
    }
    MessaggioLsp m;
    try {
      m = leggi_messaggio_lsp(in_);
    } catch (const std::exception&) {
      m = MessaggioLsp{};  // a stream that fails ends like one that ends
    }
    const bool fine = m.esito == MessaggioLsp::kFine;
    {
      std::lock_guard<std::mutex> l(mutex_);
      pronto_ = std::move(m);
      richiesto_ = false;
      finito_ = fine;
    }
    cambiato_.notify_all();
    if (fine) return;
  }
}

std::optional<MessaggioLsp> IngressoLsp::prossimo(std::optional<Istante> scadenza) {
  std::unique_lock<std::mutex> l(mutex_);
  if (!pronto_ && finito_) return MessaggioLsp{};
  if (!pronto_ && !richiesto_) {
    richiesto_ = true;
    cambiato_.notify_all();
  }
  const auto arrivato = [this] { return pronto_.has_value(); };
  if (scadenza) {
    if (!cambiato_.wait_until(l, *scadenza, arrivato)) return std::nullopt;
  } else {
    cambiato_.wait(l, arrivato);
  }
  MessaggioLsp m = std::move(*pronto_);
  pronto_.reset();
  return m;
}

}  // namespace scenario
