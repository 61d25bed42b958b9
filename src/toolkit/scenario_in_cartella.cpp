#include "toolkit/scenario_in_cartella.h"

#include <algorithm>
#include <system_error>
#include <vector>

#include "platform/guasto.h"
#include "text/cp1252.h"
#include "text/nomi_file.h"
#include "toolkit/riga_comando.h"

namespace scenario {
namespace {

struct Candidato {
  std::string nome;
  std::string treno;
};

bool finisce_con(std::string_view s, std::string_view fine) {
  return s.size() >= fine.size() && s.substr(s.size() - fine.size()) == fine;
}

}  // namespace

ScenarioInCartella trova_scenario(const std::filesystem::path& cartella, const std::string& nome,
                                  const std::string& treno) {
  std::error_code ec;
  if (!std::filesystem::is_directory(cartella, ec)) {
    throw GuastoEsecuzione("'" + utf8_di(cartella) + "' is not a folder");
  }
  std::string n = nome;
  std::string t = treno;
  if (n.empty() || t.empty()) {
    std::vector<Candidato> candidati;
    for (const auto& e : std::filesystem::directory_iterator(cartella)) {
      const std::string f = utf8_di(e.path().filename());
      if (!finisce_con(f, ".sim")) continue;
      const std::string base = f.substr(0, f.size() - 4);
      Candidato c;
      if (!n.empty()) {
        if (base.size() <= n.size() + 1 || base.compare(0, n.size(), n) != 0 ||
            base[n.size()] != '_')
          continue;
        c = {n, base.substr(n.size() + 1)};
      } else if (!t.empty()) {
        if (!finisce_con(base, "_" + t) || base.size() <= t.size() + 1) continue;
        c = {base.substr(0, base.size() - t.size() - 1), t};
      } else {
        // The train number follows the last "_": scenario names may hold "_".
        const size_t u = base.rfind('_');
        if (u == std::string::npos || u == 0 || u + 1 >= base.size()) continue;
        c = {base.substr(0, u), base.substr(u + 1)};
      }
      candidati.push_back(c);
    }
    if (candidati.empty()) {
      throw GuastoEsecuzione("no compiled scenario (an items file NAME_TRAIN.sim) in '" +
                             utf8_di(cartella) + "'");
    }
    if (candidati.size() > 1) {
      std::string elenco;
      for (const Candidato& c : candidati) elenco += " " + c.nome + "_" + c.treno + ".sim";
      throw ErroreUso("several compiled scenarios in '" + utf8_di(cartella) + "' (" +
                      elenco.substr(1) + "); give --name and --train");
    }
    n = candidati[0].nome;
    t = candidati[0].treno;
  }
  ScenarioInCartella s;
  s.nome_scenario = utf8_a_cp1252(n);
  s.numero_treno = utf8_a_cp1252(t);
  s.tracciato = percorso_file(cartella, FileScenario::kTracciato, s.nome_scenario, s.numero_treno);
  s.voci = percorso_file(cartella, FileScenario::kVoci, s.nome_scenario, s.numero_treno);
  s.celle = percorso_file(cartella, FileScenario::kCelle, s.nome_scenario, s.numero_treno);
  return s;
}

}  // namespace scenario
