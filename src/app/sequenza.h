#pragma once
// The run sequence (Form_Load): names, waiting window, the five text writers,
// the compiled-output builder, then the end of the program with its exit status.

#include <filesystem>
#include <functional>

#include "platform/finestra.h"
#include "text/scenario_testi.h"

namespace scenario {

// Exit statuses of a run.
inline constexpr int kStatoRiuscito = 0;
inline constexpr int kStatoGuasto = 1;          // a run-time failure
inline constexpr int kStatoErrore = 2;          // errore (1250, 1251)
inline constexpr int kStatoErroreScenario = 3;  // files written, codice_errore not 0

// Runs the whole generator into the folder `cartella()` gives, reporting
// through `finestra`; returns the exit status.
int esegui_generatore(Finestra& finestra, const std::function<std::filesystem::path()>& cartella);

}  // namespace scenario
