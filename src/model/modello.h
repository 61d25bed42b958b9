#pragma once
// The route model: the whole working state of one compilation. A plain struct,
// passed explicitly to every step. Members keep the widths of the compiled
// files (Byte = uint8_t, Integer = int16_t, Long = int32_t); access by index
// goes through the checked accessors below, so that input that breaks a limit
// becomes a GuastoEsecuzione, never a write outside an array.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/guasto.h"

namespace scenario {

// One 50 m stretch of route (15 bytes on disk, in this member order).
struct Cella {
  uint8_t tipo = 0;
  int16_t dato1 = 0;
  int16_t dato2 = 0;
  int16_t dato3 = 0;
  int16_t dato4 = 0;
  uint8_t tempo = 0;
  uint8_t marcatore = 0;
  uint8_t montagna = 0;
  uint8_t vel_limite = 0;
  uint8_t pendenza = 0;
  uint8_t aderenza = 0;

  bool operator==(const Cella&) const = default;
};

// Kinds of point feature held in Cella::tipo.
enum TipoCella : uint8_t {
  kNessuno = 0,
  kSegnale = 1,
  kFineRallentamento = 2,
  kInizioRallentamento = 3,
  kAvvisoRallentamento = 4,
  kPreavvisoRallentamento = 5,
  kIndicatoriVMax = 6,
  kStazione = 10,
  kSegnoMontagna = 11,
  kCodice = 12,
  kAbbattimento = 13,
  kCartello = 14,
};

// A cell takes a new point feature only when nothing but a montagna marker is there.
inline bool cella_libera(const Cella& c) {
  return c.tipo == kNessuno || c.tipo == kSegnoMontagna;
}

// One general-purpose record of the item table (34 + name length bytes on disk).
// Texts are held as Windows-1252 bytes, exactly as they go to disk.
struct Voce {
  uint8_t tipo = 0;
  int32_t inizio = 0;
  int32_t fine = 0;
  int32_t posizione = 0;
  uint8_t opz4 = 0;
  std::string nome;
  int16_t opz7 = 0;
  int16_t opz8 = 0;
  int16_t opz10 = 0;
  int16_t opz11 = 0;
  int16_t opz12 = 0;
  uint8_t opz9 = 0;
  uint8_t opz13 = 0;
  uint8_t opz6 = 0;
  uint8_t opz5 = 0;
  int32_t orario = 0;

  bool operator==(const Voce&) const = default;
};

inline constexpr int kNumeroVoci = 87;
inline constexpr int kVoceProgressivaTre = 81;  // then 82 ("due") and 83 ("uno")
inline constexpr int kVoceTreno = 84;
inline constexpr int kVoceScenario = 85;
inline constexpr int kVoceRipetizione = 86;
inline constexpr int kPrimaVoceCartelli = 80;
inline constexpr int kMassimoMontagne = 80;
inline constexpr int32_t kLunghezzaMassima = 1000000;

// Type tags of the plan table's values (the variant codes the simulator reads).
enum class Etichetta : uint16_t { kVuoto = 0, kIntero = 2, kDoppio = 5 };

// The plan table: two plane coordinates for every metre of route, rows 0 to
// ultima_riga. Stored coordinate 0 first, then coordinate 1, as on disk. Kept
// as a tag and a double per element (an Integer value is exact in a double) so
// that a 1,000,000 m route stays well under its memory budget.
class Tracciato {
 public:
  Tracciato() = default;
  explicit Tracciato(int32_t ultima_riga);

  bool creato() const { return creato_; }
  int32_t ultima_riga() const { return ultima_riga_; }
  size_t elementi() const { return etichette_.size(); }

  Etichetta etichetta(int64_t riga, int coordinata) const {
    return static_cast<Etichetta>(etichette_[indice(riga, coordinata)]);
  }
  double valore(int64_t riga, int coordinata) const { return valori_[indice(riga, coordinata)]; }
  void metti_intero(int64_t riga, int coordinata, int16_t v);
  void metti_doppio(int64_t riga, int coordinata, double v);
  // Stores rows prima .. prima + n - 1 of both coordinates as doubles, from
  // x[0..n) and y[0..n). The whole range is checked before anything is stored.
  void metti_doppi(int64_t prima, size_t n, const double* x, const double* y);

  // Raw access in storage order, for the file writer.
  const std::vector<uint8_t>& etichette() const { return etichette_; }
  const std::vector<double>& valori() const { return valori_; }

 private:
  size_t indice(int64_t riga, int coordinata) const;

  bool creato_ = false;
  int32_t ultima_riga_ = -1;
  std::vector<uint8_t> etichette_;
  std::vector<double> valori_;
};

// Where in a source file the entry that caused a recorded error stands.
struct LuogoSorgente {
  std::string file;  // file name as the user knows it (UTF-8)
  int riga = 0;      // 1-based; 0 when unknown
  int colonna = 0;   // 1-based byte column of the entry's keyword field
  bool operator==(const LuogoSorgente&) const = default;
};

struct ModelloPercorso {
  // Scenario-wide variables (texts are Windows-1252 bytes).
  std::string nome_scenario;
  std::string numero_treno;
  std::string campo;
  int32_t con_tracciato = 0;
  int32_t lunghezza_modello = 0;

  std::vector<Cella> celle;  // indices 0 to N once created
  bool celle_create = false;
  std::array<Voce, kNumeroVoci> voci{};
  Tracciato tracciato;
  std::array<int32_t, kMassimoMontagne + 1> inizio_montagna{};
  std::array<int32_t, kMassimoMontagne + 1> fine_montagna{};
  int32_t num_montagne = 0;

  int32_t codice_errore = 0;
  int32_t posizione_errore = 0;
  LuogoSorgente luogo_errore;  // the entry behind codice_errore, when a reader knows it

  // N, the upper bound of celle. Fails when the array was never created.
  int32_t ultima_cella() const;
  // Checked access: an index outside 0..N, or an array never created, fails.
  Cella& cella(int64_t i);
  const Cella& cella(int64_t i) const;
  bool cella_esiste(int64_t i) const {
    return celle_create && i >= 0 && i < static_cast<int64_t>(celle.size());
  }
  Voce& voce(int64_t i);
  const Voce& voce(int64_t i) const;

  // (Re)creates the cell array with cells 0..n, all zero.
  void crea_celle(int32_t n);
};

}  // namespace scenario
