#pragma once
// The two check codes that tie the compiled files to their scenario. Both are
// computed over the first 25 characters of the check text: the train number
// (item 86 nome) directly followed by the scenario name (item 85 nome), lower
// case in Windows-1252, then the fill text. Each builds the check text in
// `campo`, which is all they change.

#include <cstdint>
#include <string_view>

#include "model/modello.h"

namespace scenario {

inline constexpr std::string_view kTestoRiempimento = "aabbccddeeffgghhiillmmnnoo";
inline constexpr int kCaratteriControllo = 25;

// Position-weighted sum: 1 x c(1) + 2 x c(2) + ... + 25 x c(25). Goes into item 85 orario.
int32_t codice_gara_st(ModelloPercorso& m);

// Plain sum: c(1) + ... + c(25). Goes into cell 1 dato2.
int16_t codice_gara_og(ModelloPercorso& m);

}  // namespace scenario
