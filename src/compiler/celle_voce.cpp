#include "compiler/celle_voce.h"

#include "model/numeri.h"

namespace scenario {

RegolaCella regola_cella(std::string_view parola, std::string_view campo) {
  if (parola == "pendenza" || parola == "velocita" || parola == "aderenza" ||
      parola == "abbattimento" || (parola == "montagna" && campo == "inizio"))
    return RegolaCella::kTratto;
  if (parola == "montagna" && campo == "fine") return RegolaCella::kFineTratto;
  if (parola == "segnale" || parola == "cartello_indicatore" || parola == "indicatori_vmax" ||
      (parola == "rallentamento" && campo == "x"))
    return RegolaCella::kPunto;
  if (parola == "stazione" && campo == "posizione") return RegolaCella::kStazione;
  return RegolaCella::kNessuna;
}

std::optional<int32_t> cella_per_regola(RegolaCella regola, int64_t p) {
  const double q = static_cast<double>(p) / 50.0;
  switch (regola) {
    case RegolaCella::kTratto:
      return arrotonda(q);
    case RegolaCella::kPunto:
      return arrotonda(q + 1.0);
    case RegolaCella::kFineTratto:
      return arrotonda(q - 1.0);
    case RegolaCella::kNessuna:
    case RegolaCella::kStazione:
      break;
  }
  return std::nullopt;
}

std::optional<int32_t> cella_stazione(int64_t p, int64_t tipo, int64_t lunghezza, int64_t opz6) {
  if (tipo >= 25) return std::nullopt;
  // The reader computes the area's ends in 32 bits: a station whose ends do
  // not fit is refused there (error 25) and holds no cell.
  const double pd = static_cast<double>(p), ld = static_cast<double>(lunghezza);
  double inizio = 0, fine = 0;
  if (tipo == 5 || tipo == 6) {
    inizio = pd - ld;
    fine = pd + 150;
  } else if (tipo == 7 || tipo == 8) {
    inizio = pd - ld;
    fine = pd + ld;
  } else {
    inizio = pd - ld / 2.0;
    fine = pd + ld / 2.0;
    if (!arrotondabile32(fine)) return std::nullopt;
    fine = static_cast<double>(arrotonda(fine)) + (opz6 != 0 ? 50 : 0);
  }
  if (!arrotondabile32(inizio) || !arrotondabile32(fine)) return std::nullopt;
  return arrotonda(fine / 50.0 - 1.0);
}

}  // namespace scenario
