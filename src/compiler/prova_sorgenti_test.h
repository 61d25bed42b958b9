#pragma once
// Test support for the source readers: writes a route source and a service
// source into a fresh folder, reads them with memorizza_dati as the builder
// does, and tells what the model and the folder hold afterwards.

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/memorizza_dati.h"
#include "model/modello.h"
#include "prove/cartella_temporanea_test.h"

namespace scenario {

// Lines joined with CR LF after each, as the generator writes them.
inline std::string crlf(std::initializer_list<std::string_view> righe) {
  std::string s;
  for (std::string_view r : righe) {
    s += r;
    s += "\r\n";
  }
  return s;
}

// A route of 3000 m: N = 200, plan rows 0..10000.
inline std::string linea_minima(std::string_view elementi = "") {
  return crlf({"[generale]", "lunghezza percorso,    3000",
               "ripetizione segnali 4 codici,    0    ,0", "[curve]"}) +
         std::string(elementi) + crlf({"[fine]"});
}

inline std::string treno_minimo(std::string_view voci = "") {
  return crlf({"[generale]"}) + std::string(voci) + crlf({"[fine]"});
}

// The model as the builder hands it to memorizza_dati.
inline ModelloPercorso modello_iniziale(int32_t con_tracciato = 1) {
  ModelloPercorso m;
  m.nome_scenario = "MorvessaC_Tolvarre";
  m.numero_treno = "823";
  m.con_tracciato = con_tracciato;
  return m;
}

struct Lettura {
  ModelloPercorso m;
  bool resta_linea = false;
  bool resta_treno = false;
};

// Writes the sources (nullopt: the file is not there), reads them, and
// reports which of them are still in the folder.
inline Lettura leggi_sorgenti(const std::optional<std::string>& linea,
                              const std::optional<std::string>& treno, int32_t con_tracciato = 1,
                              bool elimina = true, OsservatoreLettura* osservatore = nullptr) {
  CartellaTemporanea cartella;
  SorgentiScenario s = sorgenti_generatore(cartella.percorso(), "MorvessaC_Tolvarre", "823");
  s.elimina = elimina;
  s.osservatore = osservatore;
  auto scrivi = [](const std::filesystem::path& p, const std::string& testo) {
    std::ofstream(p, std::ios::binary) << testo;
  };
  if (linea) scrivi(s.linea, *linea);
  if (treno) scrivi(s.treno, *treno);
  Lettura r{modello_iniziale(con_tracciato)};
  memorizza_dati(r.m, s);
  r.resta_linea = std::filesystem::exists(s.linea);
  r.resta_treno = std::filesystem::exists(s.treno);
  return r;
}

}  // namespace scenario
