#pragma once
// The naming rule of every file the generator writes or reads: scenario name
// first, then the train number where the file has one, then a fixed suffix.
// Nothing is trimmed, case-changed or tested. Names are Windows-1252 text; the
// path helpers turn them into a path of this platform.

#include <filesystem>
#include <string>
#include <string_view>

namespace scenario {

enum class FileScenario {
  kSorgenteLinea,  // route source
  kSorgenteTreno,  // service source
  kNote,           // notes
  kRallentamenti,  // slowdown order
  kSchedaTreno,    // timetable card
  kTracciato,      // plan file
  kVoci,           // items file
  kCelle,          // cells file
};

// The file's name, in the names' own encoding (Windows-1252 bytes).
std::string nome_file(FileScenario file, std::string_view nome_scenario,
                      std::string_view numero_treno);

// The file's full path in `cartella`.
std::filesystem::path percorso_file(const std::filesystem::path& cartella, FileScenario file,
                                    std::string_view nome_scenario, std::string_view numero_treno);

}  // namespace scenario
