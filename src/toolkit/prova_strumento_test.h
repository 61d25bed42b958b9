#pragma once
// Test support for the tool: runs it in the test's own process on a list of
// arguments, and makes the generator's compiled files for the carried
// scenario, as a run of the generator writes them.

#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "compiler/memorizza_dati.h"
#include "output/memorizza_percorso.h"
#include "platform/file_atomico.h"
#include "prove/processo_prova_test.h"
#include "text/nomi_file.h"
#include "text/scenario_testi.h"
#include "toolkit/strumento.h"

namespace scenario {

struct EsitoStrumento {
  int stato = -1;
  std::string out;
  std::string err;
};

inline EsitoStrumento esegui_prova(const std::vector<std::string>& argomenti) {
  std::ostringstream out, err;
  EsitoStrumento e;
  e.stato = esegui_strumento(argomenti, out, err);
  e.out = out.str();
  e.err = err.str();
  return e;
}

// The same through the built executable, started in `cartella`.
inline EsitoStrumento avvia_strumento(const std::vector<std::string>& argomenti,
                                      const std::filesystem::path& cartella) {
  EsitoStrumento e;
  const EsitoProcesso p =
      avvia_processo(eseguibile_di_prova(STRUMENTO_ESEGUIBILE), argomenti, cartella);
  e.stato = p.stato;
  e.out = p.out;
  e.err = p.err;
  return e;
}

// The carried scenario's file of one kind in `cartella`.
inline std::filesystem::path file_scenario(const std::filesystem::path& cartella, FileScenario f) {
  return percorso_file(cartella, f, kNomeScenario, kNumeroTreno);
}

// What the generator leaves in `cartella`: its five text files written, its
// two sources compiled (and deleted) with j.
inline void compila_come_generatore(const std::filesystem::path& cartella, int32_t j = 1) {
  scrivi_testi_scenario(cartella, kNomeScenario, kNumeroTreno);
  ModelloPercorso m;
  m.nome_scenario = kNomeScenario;
  m.numero_treno = kNumeroTreno;
  memorizza_percorso(m, j, sorgenti_generatore(cartella, kNomeScenario, kNumeroTreno), cartella);
}

}  // namespace scenario
