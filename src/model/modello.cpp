#include "model/modello.h"

#include <algorithm>
#include <cstddef>
#include <string>

namespace scenario {

namespace {
// The number of elements of a plan table with rows 0..ultima_riga, checked
// before anything is allocated.
size_t elementi_tracciato(int32_t ultima_riga) {
  if (ultima_riga < 0) throw GuastoEsecuzione("plan table with a negative number of rows");
  return 2 * (static_cast<size_t>(ultima_riga) + 1);
}
}  // namespace

Tracciato::Tracciato(int32_t ultima_riga)
    : creato_(true),
      ultima_riga_(ultima_riga),
      etichette_(elementi_tracciato(ultima_riga), static_cast<uint8_t>(Etichetta::kVuoto)),
      valori_(elementi_tracciato(ultima_riga), 0.0) {}

size_t Tracciato::indice(int64_t riga, int coordinata) const {
  if (!creato_) throw GuastoEsecuzione("the plan table was never created");
  if (riga < 0 || riga > ultima_riga_ || coordinata < 0 || coordinata > 1) {
    throw GuastoEsecuzione("plan table row " + std::to_string(riga) + " is outside rows 0.." +
                           std::to_string(ultima_riga_));
  }
  return static_cast<size_t>(coordinata) * (static_cast<size_t>(ultima_riga_) + 1) +
         static_cast<size_t>(riga);
}

void Tracciato::metti_intero(int64_t riga, int coordinata, int16_t v) {
  size_t i = indice(riga, coordinata);
  etichette_[i] = static_cast<uint8_t>(Etichetta::kIntero);
  valori_[i] = v;
}

void Tracciato::metti_doppio(int64_t riga, int coordinata, double v) {
  size_t i = indice(riga, coordinata);
  etichette_[i] = static_cast<uint8_t>(Etichetta::kDoppio);
  valori_[i] = v;
}

void Tracciato::metti_doppi(int64_t prima, size_t n, const double* x, const double* y) {
  if (n == 0) return;
  const size_t i = indice(prima, 0);
  indice(prima + static_cast<int64_t>(n) - 1, 0);
  const size_t righe = static_cast<size_t>(ultima_riga_) + 1;
  const auto doppio = static_cast<uint8_t>(Etichetta::kDoppio);
  std::copy(x, x + n, valori_.begin() + static_cast<std::ptrdiff_t>(i));
  std::copy(y, y + n, valori_.begin() + static_cast<std::ptrdiff_t>(i + righe));
  std::fill_n(etichette_.begin() + static_cast<std::ptrdiff_t>(i), n, doppio);
  std::fill_n(etichette_.begin() + static_cast<std::ptrdiff_t>(i + righe), n, doppio);
}

int32_t ModelloPercorso::ultima_cella() const {
  if (!celle_create) throw GuastoEsecuzione("the cell array was never created");
  return static_cast<int32_t>(celle.size()) - 1;
}

Cella& ModelloPercorso::cella(int64_t i) {
  return const_cast<Cella&>(static_cast<const ModelloPercorso&>(*this).cella(i));
}

const Cella& ModelloPercorso::cella(int64_t i) const {
  if (!celle_create) throw GuastoEsecuzione("the cell array was never created");
  if (i < 0 || i >= static_cast<int64_t>(celle.size())) {
    throw GuastoEsecuzione("cell " + std::to_string(i) + " is outside cells 0.." +
                           std::to_string(celle.size() - 1));
  }
  return celle[static_cast<size_t>(i)];
}

Voce& ModelloPercorso::voce(int64_t i) {
  return const_cast<Voce&>(static_cast<const ModelloPercorso&>(*this).voce(i));
}

const Voce& ModelloPercorso::voce(int64_t i) const {
  if (i < 0 || i >= kNumeroVoci) {
    throw GuastoEsecuzione("item " + std::to_string(i) + " is outside items 0..86");
  }
  return voci[static_cast<size_t>(i)];
}

void ModelloPercorso::crea_celle(int32_t n) {
  if (n < 0) throw GuastoEsecuzione("cell array with a negative upper bound");
  celle.assign(static_cast<size_t>(n) + 1, Cella{});
  celle_create = true;
}

}  // namespace scenario
