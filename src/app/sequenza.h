#pragma once
// The run sequence (Form_Load): names, waiting window, the five text writers,
// the compiled-output builder, then the end of the program with its exit status.

#include <filesystem>
#include <functional>

#include "platform/finestra.h"
#include "platform/stato_uscita.h"
#include "text/scenario_testi.h"

namespace scenario {

// Runs the whole generator into the folder `cartella()` gives, reporting
// through `finestra`; returns the exit status (StatoUscita).
int esegui_generatore(Finestra& finestra, const std::function<std::filesystem::path()>& cartella);

}  // namespace scenario
