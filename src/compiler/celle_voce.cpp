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
  int64_t fine = 0;
  if (tipo == 5 || tipo == 6) {
    fine = p + 150;
  } else if (tipo == 7 || tipo == 8) {
    fine = p + lunghezza;
  } else {
    fine = arrotonda(static_cast<double>(p) + static_cast<double>(lunghezza) / 2.0) +
           (opz6 != 0 ? 50 : 0);
  }
  return arrotonda(static_cast<double>(fine) / 50.0 - 1.0);
}

}  // namespace scenario
