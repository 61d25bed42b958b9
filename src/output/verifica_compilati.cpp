#include "output/verifica_compilati.h"

#include <cmath>

#include "model/numeri.h"
#include "output/codici_gara.h"
#include "output/decodifica_compilati.h"
#include "output/posa_codici.h"
#include "text/cp1252.h"

namespace scenario {
namespace {

class Verifica {
 public:
  explicit Verifica(const CompilatiDaVerificare& c) : c_(c) {}

  std::vector<ProblemaCompilato> esegui() {
    std::optional<std::array<Voce, kNumeroVoci>> voci;
    std::optional<std::vector<Cella>> celle;
    std::optional<Tracciato> tracciato;
    try {
      voci = decodifica_voci(c_.voci);
    } catch (const ErroreDecodifica& e) {
      problema(c_.nome_voci, e.what());
    }
    try {
      celle = decodifica_celle(c_.celle);
    } catch (const ErroreDecodifica& e) {
      problema(c_.nome_celle, e.what());
    }
    if (c_.tracciato) {
      try {
        tracciato = decodifica_tracciato(*c_.tracciato);
      } catch (const ErroreDecodifica& e) {
        problema(c_.nome_tracciato, e.what());
      }
    }
    if (voci) controlla_voci(*voci);
    if (voci && celle) controlla_celle(*voci, *celle);
    if (voci && tracciato) controlla_tracciato(*voci, *tracciato);
    return std::move(problemi_);
  }

 private:
  void problema(const std::string& file, std::string testo) {
    problemi_.push_back({file, std::move(testo)});
  }

  // The names and the check code of the items file.
  void controlla_voci(const std::array<Voce, kNumeroVoci>& voci) {
    const Voce& scenario = voci[kVoceScenario];
    const Voce& treno = voci[kVoceRipetizione];
    if (scenario.nome != c_.nome_scenario) {
      problema(c_.nome_voci, "item 85 names the scenario \"" + cp1252_a_utf8(scenario.nome) +
                                 "\", not \"" + cp1252_a_utf8(c_.nome_scenario) + "\"");
    }
    if (treno.nome != c_.numero_treno) {
      problema(c_.nome_voci, "item 86 names the train \"" + cp1252_a_utf8(treno.nome) +
                                 "\", not \"" + cp1252_a_utf8(c_.numero_treno) + "\"");
    }
    if (scenario.opz7 != kMarcatoreVoce85) {
      problema(c_.nome_voci, "item 85 opz7 holds " + std::to_string(scenario.opz7) +
                                 ", not the marker " + std::to_string(kMarcatoreVoce85));
    }
    const int32_t st = codice_gara_st(modello_nomi());
    if (scenario.orario != st) {
      problema(c_.nome_voci, "item 85 orario holds the check code " +
                                 std::to_string(scenario.orario) + ", but the names give " +
                                 std::to_string(st));
    }
    if (voci[kVoceTreno].fine < 0 || voci[kVoceTreno].fine > kLunghezzaMassima) {
      problema(c_.nome_voci, "item 84 fine holds the route length " +
                                 std::to_string(voci[kVoceTreno].fine) + " m, outside 0.." +
                                 std::to_string(kLunghezzaMassima));
    }
  }

  // The number of cells the route length gives, the marker and the check code of cell 1.
  void controlla_celle(const std::array<Voce, kNumeroVoci>& voci, const std::vector<Cella>& celle) {
    const int32_t lunghezza = voci[kVoceTreno].fine;
    if (lunghezza >= 0 && lunghezza <= kLunghezzaMassima) {
      const int32_t n = arrotonda((static_cast<double>(lunghezza) + 7000.0) / 50.0);
      if (celle.size() != static_cast<size_t>(n) + 1) {
        problema(c_.nome_celle, "the file holds " + std::to_string(celle.size()) +
                                    " cells, but the route length " + std::to_string(lunghezza) +
                                    " m in item 84 gives " + std::to_string(n + 1) + " (cells 0.." +
                                    std::to_string(n) + ")");
      }
    }
    if (celle.size() < 2) {
      problema(c_.nome_celle,
               "the file has no cell 1, which carries the marker and the check code");
      return;
    }
    if (celle[1].dato1 != kMarcatoreCella1) {
      problema(c_.nome_celle, "cell 1 dato1 holds " + std::to_string(celle[1].dato1) +
                                  ", not the marker " + std::to_string(kMarcatoreCella1));
    }
    const int16_t og = codice_gara_og(modello_nomi());
    if (celle[1].dato2 != og) {
      problema(c_.nome_celle, "cell 1 dato2 holds the check code " +
                                  std::to_string(celle[1].dato2) + ", but the names give " +
                                  std::to_string(og));
    }
  }

  // The rows the route length gives, and the type tags row by row: rows 0
  // and 1 the Integer seed (0, 0) and (0, 1), rows 2 to M - 2 computed
  // 64-bit floats, the last two rows empty.
  void controlla_tracciato(const std::array<Voce, kNumeroVoci>& voci, const Tracciato& t) {
    const int64_t m = static_cast<int64_t>(voci[kVoceTreno].fine) + 7000;
    if (t.ultima_riga() != m) {
      problema(c_.nome_tracciato, "the file holds rows 0.." + std::to_string(t.ultima_riga()) +
                                      " of each coordinate, but the route length " +
                                      std::to_string(voci[kVoceTreno].fine) +
                                      " m in item 84 gives rows 0.." + std::to_string(m));
      return;
    }
    for (int c = 0; c < 2; ++c) {
      int64_t diverse = 0;
      std::string prima;
      for (int64_t r = 0; r <= m; ++r) {
        const Etichetta attesa =
            r <= 1 ? Etichetta::kIntero : (r <= m - 2 ? Etichetta::kDoppio : Etichetta::kVuoto);
        const Etichetta trovata = t.etichetta(r, c);
        bool giusta = trovata == attesa;
        if (giusta && r <= 1) giusta = t.valore(r, c) == (r == 1 && c == 1 ? 1.0 : 0.0);
        if (giusta) continue;
        if (diverse++ == 0) {
          prima = "row " + std::to_string(r) + " of coordinate " + std::to_string(c) + " has " +
                  descrivi(t, r, c) + " where " + nome_etichetta(attesa) +
                  (r <= 1 ? " " + std::string(r == 1 && c == 1 ? "1" : "0") : "") + " belongs";
        }
      }
      if (diverse > 0) {
        problema(c_.nome_tracciato, prima + (diverse > 1 ? " (and " + std::to_string(diverse - 1) +
                                                               " more rows of that coordinate)"
                                                         : ""));
      }
    }
  }

  static std::string nome_etichetta(Etichetta e) {
    switch (e) {
      case Etichetta::kVuoto:
        return "an empty value";
      case Etichetta::kIntero:
        return "the Integer";
      case Etichetta::kDoppio:
        return "a 64-bit float";
    }
    return "";
  }

  static std::string descrivi(const Tracciato& t, int64_t r, int c) {
    switch (t.etichetta(r, c)) {
      case Etichetta::kVuoto:
        return "an empty value";
      case Etichetta::kIntero:
        return "the Integer " + std::to_string(static_cast<int>(t.valore(r, c)));
      case Etichetta::kDoppio:
        return "a 64-bit float";
    }
    return "";
  }

  ModelloPercorso& modello_nomi() {
    nomi_.voci[kVoceScenario].nome = c_.nome_scenario;
    nomi_.voci[kVoceRipetizione].nome = c_.numero_treno;
    return nomi_;
  }

  const CompilatiDaVerificare& c_;
  std::vector<ProblemaCompilato> problemi_;
  ModelloPercorso nomi_;
};

}  // namespace

std::vector<ProblemaCompilato> verifica_compilati(const CompilatiDaVerificare& c) {
  return Verifica(c).esegui();
}

}  // namespace scenario
