#pragma once
// One SVG picture of a compiled scenario, for people. From the top: a legend;
// the track seen from above (from the plan table, equal scales) with every
// station, signal, text board and speed indicator board marked and labelled,
// the start and end of the route and the direction of travel; then, on one
// distance axis with kilometre labels from the chainage, the features along
// the route (so that they show without a plan table too), the gradient profile
// with the montagna stretches shaded, the line-speed limit with the slowdowns
// and the speed indicator boards, and the adhesion.
//
// Labels never overlap one another nor the track: each is placed greedily at
// the first free place near its mark, with a leader line back to it; a label
// that finds no free place is left out (its mark and tooltip stay). Every
// feature's mark carries a tooltip (<title>) naming the entry, and the file
// and line it came from when the picture is drawn from sources.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/modello.h"

namespace scenario {

// Where the reader found one feature entry.
struct LuogoVoce {
  std::string voce;       // its keyword: "stazione", "segnale", "cartello_indicatore"...
  int32_t posizione = 0;  // the position the entry gives, in metres
  LuogoSorgente luogo;
};

struct DatiGrafico {
  std::string titolo;                    // UTF-8
  const Tracciato* tracciato = nullptr;  // none: compiled without the plan table
  std::array<Voce, kNumeroVoci> voci{};
  std::vector<Cella> celle;
  bool con_pianta = true;  // false: the track view is left out
  // The stretch drawn, in metres along the route; `a` below 0: to the end.
  int64_t da = 0;
  int64_t a = -1;
  std::vector<LuogoVoce> luoghi;  // empty when drawn from compiled files
};

// The picture as a standalone SVG document. Its parts are groups with the ids
// "legend", "plan", "track", "ends", "stations", "signals", "boards",
// "speed-boards", "along", "gradient", "montagna", "speed", "slowdowns",
// "adhesion" and "km". Every label is a <text class="label">.
std::string grafico_svg(const DatiGrafico& d);

// The route positions (metres) whose chainage lies between `da_km` and `a_km`
// kilometres: the first and the last, or nothing when no position does.
std::optional<std::pair<int64_t, int64_t>> tratto_di_progressive(
    const std::array<Voce, kNumeroVoci>& voci, double da_km, double a_km);

// The width a label of `caratteri` characters takes at `corpo` px: the
// estimate the placement works with (a wide sans-serif face).
double larghezza_etichetta(size_t caratteri, double corpo);

// Text for XML content and attribute values.
std::string testo_xml(std::string_view utf8);

}  // namespace scenario
