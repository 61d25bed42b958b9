#pragma once
// Finds the compiled scenario in a folder: its names, and the paths of its
// plan, items and cells files by the naming rule.

#include <filesystem>
#include <string>

namespace scenario {

struct ScenarioInCartella {
  std::string nome_scenario;  // Windows-1252
  std::string numero_treno;
  std::filesystem::path tracciato, voci, celle;
};

// With the names given (UTF-8) the files follow from them; a name not given
// is taken from the one items file ("NAME_TRAIN.sim") in the folder that
// agrees with the other. Several are a usage error asking for --name and
// --train; none, or a path that is no folder, a GuastoEsecuzione.
ScenarioInCartella trova_scenario(const std::filesystem::path& cartella, const std::string& nome,
                                  const std::string& treno);

}  // namespace scenario
