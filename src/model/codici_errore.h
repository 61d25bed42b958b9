#pragma once
// The scenario errors a compilation can record in codice_errore, each with one
// plain sentence for the people who write scenarios.

#include <cstdint>
#include <string>

#include "model/modello.h"

namespace scenario {

// One sentence saying what is wrong, or an empty text for a code the format
// does not define.
std::string descrizione_errore(int32_t codice);

// "FILE:LINE:COL: error CODE: sentence (position P m)" for the model's
// recorded error; the location is left out where no reader knew it, the
// position for the codes that record none.
std::string messaggio_errore(const ModelloPercorso& m);

}  // namespace scenario
