#pragma once
// Where an entry's place lands on the 50 m cells, by the rule its recorder
// follows: one statement of it for everything that explains or checks a
// source (the checking pass, the editor's hover). The recorders keep their
// own arithmetic; these rules restate it for an entry as an author wrote it.

#include <cstdint>
#include <optional>
#include <string_view>

namespace scenario {

enum class RegolaCella {
  kNessuna,     // the place marks no cell of its own (a curve, a chainage)
  kTratto,      // a section value changes there: round(p / 50)
  kPunto,       // a point feature: the cell after the one holding p, round(p / 50 + 1)
  kFineTratto,  // the end of a stretch: round(p / 50 - 1)
  kStazione,    // a station: the cell before its area's end (cella_stazione)
};

// The rule for the place in field `campo` (its name in the format table) of
// the entry `parola`.
RegolaCella regola_cella(std::string_view parola, std::string_view campo);

// The cell of a place at `p` under a rule other than kStazione; nothing for
// kNessuna.
std::optional<int32_t> cella_per_regola(RegolaCella regola, int64_t p);

// The cell a station at `p` marks: the one before its area's end. Its kind
// (`tipo`) decides the area: 5 and 6 reach 150 m, 7 and 8 their length, any
// other is centred on p and ends 50 m further when `opz6` is non-zero. A kind
// of 25 or more marks no cell.
std::optional<int32_t> cella_stazione(int64_t p, int64_t tipo, int64_t lunghezza, int64_t opz6);

}  // namespace scenario
