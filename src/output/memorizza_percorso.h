#pragma once
// memorizza_percorso: the compiled-output builder. Resets the model, has both
// sources read, runs the placement pass and the model checks, stores the check
// codes and writes the plan, items and cells files.

#include <filesystem>
#include <string>

#include "compiler/memorizza_dati.h"
#include "model/modello.h"

namespace scenario {

// `m` holds nome_scenario and numero_treno, the only members kept: the build
// starts from the model a fresh run starts from. j = 0 builds without the plan
// table. The compiled files go to `cartella` by the naming rule. A failed model
// check is an ErroreFatale, raised before any compiled file is opened; a file
// that cannot be written is a GuastoEsecuzione.
void memorizza_percorso(ModelloPercorso& m, int32_t j, const SorgentiScenario& sorgenti,
                        const std::filesystem::path& cartella);

// memorizza_percorso without its writing: the model the compiled files would
// be written from, for tools that compile in memory (an editor's buffers).
void costruisci_modello(ModelloPercorso& m, int32_t j, const SorgentiScenario& sorgenti);

// The builder's steps after reading, for tools that fill the model another way:
// the placement pass, the model checks and the two check codes. A cell array
// that was never created is a GuastoEsecuzione, raised before anything changes.
void completa_modello(ModelloPercorso& m);

// Writes the plan file (only when con_tracciato is not 0), the items file and
// the cells file into `cartella`, in that order, each replaced atomically. A
// model without its cell array (or without the plan table it should have) is
// refused before any file is opened.
void scrivi_compilati(const ModelloPercorso& m, const std::filesystem::path& cartella);

}  // namespace scenario
