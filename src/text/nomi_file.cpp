#include "text/nomi_file.h"

#include "text/cp1252.h"

namespace scenario {

std::string nome_file(FileScenario file, std::string_view s, std::string_view t) {
  std::string nome(s);
  switch (file) {
    case FileScenario::kSorgenteLinea:
      return nome + "_linea.txt";
    case FileScenario::kSorgenteTreno:
      return nome + "_" + std::string(t) + "-.txt";
    case FileScenario::kNote:
      return nome + "_" + std::string(t) + "_" + "note.txt";
    case FileScenario::kRallentamenti:
      return nome + "_" + std::string(t) + "_" + "rallentamenti.txt";
    case FileScenario::kSchedaTreno:
      return nome + "_" + std::string(t) + "_" + "scheda_treno.txt";
    case FileScenario::kTracciato:
      return nome + "_linea.dat";
    case FileScenario::kVoci:
      return nome + "_" + std::string(t) + ".sim";
    case FileScenario::kCelle:
      return nome + "_" + std::string(t) + ".dat";
  }
  return nome;
}

std::filesystem::path percorso_file(const std::filesystem::path& cartella, FileScenario file,
                                    std::string_view nome_scenario, std::string_view numero_treno) {
  std::string utf8 = cp1252_a_utf8(nome_file(file, nome_scenario, numero_treno));
  return cartella / std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace scenario
