#include "output/verifica_compilati.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "model/numeri.h"
#include "output/codici_gara.h"
#include "output/decodifica_compilati.h"
#include "output/file_compilati.h"
#include "output/posa_codici.h"
#include "text/cp1252.h"

namespace scenario {
namespace {

// The items file read by its layout alone: every item is 14 bytes (tipo,
// inizio, fine, posizione, opz4), a 2-byte name count and the name, then 18
// bytes (opz7 to orario). A name is text: no control byte.
constexpr size_t kPrimaDelNome = 14;
constexpr size_t kDopoIlNome = 18;

bool byte_di_testo(char c) {
  return static_cast<unsigned char>(c) >= 0x20;
}

uint16_t conteggio_a(std::string_view b, size_t offset) {
  return static_cast<uint16_t>(static_cast<unsigned char>(b[offset]) |
                               static_cast<unsigned char>(b[offset + 1]) << 8);
}

// Whether items `da` to 86, the first at `pos`, fill the bytes exactly to the
// end with names of text.
bool voci_fino_alla_fine(std::string_view b, int da, size_t pos) {
  for (int i = da; i < kNumeroVoci; ++i) {
    if (pos > b.size() || b.size() - pos < kPrimaDelNome + 2) return false;
    const size_t nome = pos + kPrimaDelNome + 2;
    const size_t l = conteggio_a(b, pos + kPrimaDelNome);
    if (b.size() - nome < l + kDopoIlNome) return false;
    for (size_t k = 0; k < l; ++k) {
      if (!byte_di_testo(b[nome + k])) return false;
    }
    pos = nome + l + kDopoIlNome;
  }
  return pos == b.size();
}

// Where the first `valori` values of a plan file end, when their tags are
// all known; nothing when the bytes end first or a tag is unknown.
std::optional<size_t> fine_dei_valori(std::string_view b, size_t valori) {
  size_t pos = 0;
  for (size_t v = 0; v < valori; ++v) {
    if (b.size() - pos < 2) return std::nullopt;
    const auto etichetta = static_cast<Etichetta>(conteggio_a(b, pos));
    pos += 2;
    const size_t n = etichetta == Etichetta::kVuoto    ? 0
                     : etichetta == Etichetta::kIntero ? 2
                     : etichetta == Etichetta::kDoppio ? 8
                                                       : SIZE_MAX;
    if (n == SIZE_MAX || b.size() - pos < n) return std::nullopt;
    pos += n;
  }
  return pos;
}

std::string byte_in_piu(size_t n) {
  return std::to_string(n) + (n == 1 ? " byte" : " bytes");
}

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
      if (auto p = conteggio_nome_danneggiato(c_.voci, c_.nome_voci)) {
        problemi_.push_back(std::move(*p));
      } else {
        problema(c_.nome_voci, e.what(), e.offset());
      }
    }
    // The route length in item 84 tells how long the other two files are:
    // bytes past that end are reported as such, and what comes before them
    // is checked as usual.
    std::optional<int32_t> lunghezza;
    if (voci && (*voci)[kVoceTreno].fine >= 0 && (*voci)[kVoceTreno].fine <= kLunghezzaMassima) {
      lunghezza = (*voci)[kVoceTreno].fine;
    }
    std::string_view byte_celle = c_.celle;
    if (lunghezza) {
      const int32_t n = arrotonda((static_cast<double>(*lunghezza) + 7000.0) / 50.0);
      const size_t attesi = (static_cast<size_t>(n) + 1) * kByteCella;
      if (byte_celle.size() > attesi && byte_celle.size() % kByteCella != 0) {
        problema(c_.nome_celle,
                 "offset " + std::to_string(attesi) + ": " +
                     byte_in_piu(byte_celle.size() - attesi) + " after cell " + std::to_string(n) +
                     ", the last of the " + std::to_string(n + 1) +
                     " cells that the route length " + std::to_string(*lunghezza) +
                     " m in item 84 gives",
                 attesi);
        byte_celle = byte_celle.substr(0, attesi);
      }
    }
    try {
      celle = decodifica_celle(byte_celle);
    } catch (const ErroreDecodifica& e) {
      problema(c_.nome_celle, e.what(), e.offset());
    }
    if (c_.tracciato) {
      std::string_view byte_tracciato = *c_.tracciato;
      if (lunghezza) {
        const int64_t m = static_cast<int64_t>(*lunghezza) + 7000;
        const auto fine = fine_dei_valori(byte_tracciato, 2 * (static_cast<size_t>(m) + 1));
        if (fine && *fine < byte_tracciato.size()) {
          problema(c_.nome_tracciato,
                   "offset " + std::to_string(*fine) + ": " +
                       byte_in_piu(byte_tracciato.size() - *fine) + " after row " +
                       std::to_string(m) + " of coordinate 1, the last row that the route length " +
                       std::to_string(*lunghezza) + " m in item 84 gives",
                   *fine);
          byte_tracciato = byte_tracciato.substr(0, *fine);
        }
      }
      try {
        tracciato = decodifica_tracciato(byte_tracciato);
      } catch (const ErroreDecodifica& e) {
        problema(c_.nome_tracciato, e.what(), e.offset());
      }
    }
    if (voci) controlla_voci(*voci);
    if (voci && celle) controlla_celle(*voci, *celle);
    if (voci && tracciato) controlla_tracciato(*voci, *tracciato);
    return std::move(problemi_);
  }

 private:
  void problema(const std::string& file, std::string testo,
                std::optional<size_t> offset = std::nullopt) {
    problemi_.push_back({file, std::move(testo), offset});
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

// An items file that does not decode because one name count is wrong: a
// count too large swallows the next fields into the name, one too small reads
// the name's end as fields, and either way the decoder stumbles some items
// later, far from the fault. Found as the one item, at or shortly before the
// first that goes wrong, whose count alone changed lets the rest decode to the
// end of the file.
std::optional<ProblemaCompilato> conteggio_nome_danneggiato(std::string_view b,
                                                            const std::string& file) {
  std::vector<size_t> inizi;
  int guasta = -1;  // the first item that goes wrong
  size_t pos = 0;
  for (int i = 0; i < kNumeroVoci; ++i) {
    inizi.push_back(pos);
    if (b.size() - pos < kPrimaDelNome + 2) {
      guasta = i;
      break;
    }
    const size_t nome = pos + kPrimaDelNome + 2;
    const size_t l = conteggio_a(b, pos + kPrimaDelNome);
    bool testo = b.size() - nome >= l + kDopoIlNome;
    for (size_t k = 0; testo && k < l; ++k) testo = byte_di_testo(b[nome + k]);
    if (!testo) {
      guasta = i;
      break;
    }
    pos = nome + l + kDopoIlNome;
  }
  // Every item read as text, and bytes left after the last: those bytes are
  // the simpler account.
  if (guasta < 0) return std::nullopt;
  constexpr int kIndietro = 3;
  for (int j = std::max(0, guasta - kIndietro); j <= guasta; ++j) {
    const size_t conteggio = inizi[static_cast<size_t>(j)] + kPrimaDelNome;
    if (conteggio + 2 > b.size()) break;
    const size_t nome = conteggio + 2;
    const uint16_t letto = conteggio_a(b, conteggio);
    // A name longer than its run of text bytes cannot be the right one.
    for (size_t t = 0; nome + t + kDopoIlNome <= b.size(); ++t) {
      if (t > 0 && !byte_di_testo(b[nome + t - 1])) break;
      if (t == letto) continue;
      if (!voci_fino_alla_fine(b, j + 1, nome + t + kDopoIlNome)) continue;
      return ProblemaCompilato{
          file,
          "offset " + std::to_string(conteggio) + ": item " + std::to_string(j) +
              " nome length reads " + std::to_string(letto) +
              ", but the items after it decode to the end of the file only with " +
              std::to_string(t) + ": the count is damaged",
          conteggio};
    }
  }
  return std::nullopt;
}

std::vector<ProblemaCompilato> verifica_compilati(const CompilatiDaVerificare& c) {
  return Verifica(c).esegui();
}

}  // namespace scenario
