#pragma once
// Compiles a user's route and service sources into the three compiled files,
// with the generator's own builder: the same reader, placement pass, check
// codes and writers. The sources are read in place and never deleted or
// changed. The outcome is data: the model's error, the diagnostics (warnings
// in reading order, then the recorded error), the files written and the exit
// status.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "compiler/diagnostiche_lettura.h"
#include "model/diagnostica.h"
#include "model/modello.h"
#include "platform/stato_uscita.h"

namespace scenario {

struct RichiestaCompilazione {
  std::filesystem::path linea;  // route source
  std::filesystem::path treno;  // service source
  std::filesystem::path cartella = ".";
  std::string nome_scenario;  // Windows-1252, as the names go into the files
  std::string numero_treno;
  bool con_tracciato = true;  // false: no plan table, no plan file (j = 0)
  OpzioniAvvisi avvisi;
  // How many problems the checking pass reports besides the recorded error.
  size_t massimo_problemi = 20;
  // A source held in memory (an editor's open buffer, Windows-1252) is read
  // in place of its file; the path still names it in every diagnostic.
  std::optional<std::string> testo_linea;
  std::optional<std::string> testo_treno;
  // Nothing written: the compiled files are encoded in memory and dropped,
  // and `cartella` is never created. `file` stays empty.
  bool in_memoria = false;
  // When given, the model as the build left it (the language server tells
  // from it what an entry became).
  ModelloPercorso* modello = nullptr;
};

struct EsitoCompilazione {
  // A StatoUscita: kUscitaErrore when a model check failed, kUscitaErroreScenario
  // when the files were written from sources holding an error.
  int stato = kUscitaRiuscita;
  int32_t codice_errore = 0;
  int32_t posizione_errore = 0;
  std::vector<Diagnostica> diagnostiche;
  std::vector<std::string> file;  // names written into the folder (UTF-8)
};

EsitoCompilazione compila_sorgenti(const RichiestaCompilazione& r);

// The scenario name and train number that source file names following the
// naming rule give ("NAME_linea.txt", "NAME_TRAIN-.txt"); each empty when the
// names do not tell. UTF-8, as file names are.
struct NomiDaSorgenti {
  std::string nome_scenario;
  std::string numero_treno;
};
NomiDaSorgenti nomi_da_sorgenti(const std::string& linea, const std::string& treno,
                                const std::string& nome_scenario_dato);

}  // namespace scenario
