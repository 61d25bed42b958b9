#pragma once
// The carried scenario's five text files: the route source, the service source
// and the three driver documents, as literal line lists.

#include <filesystem>
#include <string>

#include "text/righe.h"

namespace scenario {

// The carried scenario: its name and the number of the train it drives.
inline constexpr const char* kNomeScenario = "MorvessaC_Tolvarre";
inline constexpr const char* kNumeroTreno = "823";

Righe righe_linea();          // route source
Righe righe_treno();          // service source
Righe righe_note();           // notes
Righe righe_rallentamenti();  // slowdown order
Righe righe_scheda();         // timetable card

// The five writers: each fills its list and writes it by the naming rule.
void dati_linea(const std::filesystem::path& cartella, const std::string& nome_scenario,
                const std::string& numero_treno);
void dati_treno(const std::filesystem::path& cartella, const std::string& nome_scenario,
                const std::string& numero_treno);
void dati_note(const std::filesystem::path& cartella, const std::string& nome_scenario,
               const std::string& numero_treno);
void dati_rallentamenti(const std::filesystem::path& cartella, const std::string& nome_scenario,
                        const std::string& numero_treno);
void dati_scheda(const std::filesystem::path& cartella, const std::string& nome_scenario,
                 const std::string& numero_treno);

// All five, in the run's order: linea, treno, note, rallentamenti, scheda.
void scrivi_testi_scenario(const std::filesystem::path& cartella, const std::string& nome_scenario,
                           const std::string& numero_treno);

}  // namespace scenario
