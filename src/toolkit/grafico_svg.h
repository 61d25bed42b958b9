#pragma once
// One SVG picture of a compiled scenario, for people: the track seen from
// above (from the plan table, equal scales, stations and signals marked and
// named, text boards as small ticks), and below it, on one distance axis with
// kilometre labels from the chainage, the gradient profile with the montagna
// stretches shaded, the line-speed limit and the adhesion.

#include <array>
#include <string>
#include <vector>

#include "model/modello.h"

namespace scenario {

struct DatiGrafico {
  std::string titolo;                    // UTF-8
  const Tracciato* tracciato = nullptr;  // none: compiled without the plan table
  std::array<Voce, kNumeroVoci> voci{};
  std::vector<Cella> celle;
};

// The picture as a standalone SVG document. Its parts are groups with the ids
// "plan", "stations", "signals", "boards", "gradient", "montagna", "speed",
// "adhesion" and "km".
std::string grafico_svg(const DatiGrafico& d);

// Text for XML content and attribute values.
std::string testo_xml(std::string_view utf8);

}  // namespace scenario
