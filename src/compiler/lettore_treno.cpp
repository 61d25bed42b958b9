// The service half of memorizza_dati: the train's make-up and start clock, the
// line-speed and adhesion profiles, stations, signals, slowdowns and
// abbattimento marks; then the service source is deleted and the chainage
// records are checked.

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "compiler/lettura_sorgenti.h"
#include "compiler/posizioni.h"
#include "compiler/registratori.h"
#include "model/numeri.h"

namespace scenario {

namespace {

enum class Passo { kAvanti, kFineLettura, kFermo };

class LettoreTreno {
 public:
  explicit LettoreTreno(LetturaSorgenti& l) : l_(l), m_(l.m), file_(l.sorgenti.treno) {}

  void leggi();

 private:
  // Stops the reading with a recorded error: the source goes, the end steps do
  // not run.
  Passo ferma(int32_t codice) {
    l_.chiudi_ed_elimina(file_);
    l_.registra(codice);
    return Passo::kFermo;
  }
  Passo ferma(int32_t codice, int32_t posizione) {
    l_.chiudi_ed_elimina(file_);
    l_.registra(codice, posizione);
    return Passo::kFermo;
  }
  // Bound test of every positioned entry; a refusal ends the reading with 15.
  bool fuori(int32_t p, int32_t margine) {
    if (entro_celle(m_, p, margine)) return false;
    l_.registra(15, p);
    return true;
  }

  Passo velocita();
  Passo aderenza();
  Passo segnale();
  Passo rallentamento();
  Passo abbattimento();
  Passo stazione();
  void fine_lettura();

  // Tells the observer of a profile entry at p whose cell the fill, standing
  // at cell `cursore`, has already passed.
  void fuori_ordine(const char* voce, int32_t p, int32_t cursore) {
    if (osservatore_ != nullptr)
      osservatore_->fuori_ordine(l_.luogo_campo(1), voce, p, cursore * 50);
  }

  int16_t numero16(const char* cosa) { return stretto<int16_t>(cosa); }
  uint8_t numero8(const char* cosa) { return stretto<uint8_t>(cosa); }
  // A number for a member narrower than 32 bits: one that does not fit is
  // refused at its own field.
  template <typename T>
  T stretto(const char* cosa) {
    const int32_t v = in_->leggi_numero();
    constexpr int32_t minimo = std::numeric_limits<T>::min();
    constexpr int32_t massimo = std::numeric_limits<T>::max();
    if (v < minimo || v > massimo) {
      in_->rifiuta_ultimo("from " + std::to_string(minimo) + " to " + std::to_string(massimo) +
                          ": value " + std::to_string(v) + " does not fit " + cosa);
    }
    return static_cast<T>(v);
  }

  LetturaSorgenti& l_;
  ModelloPercorso& m_;
  const std::filesystem::path& file_;
  LettoreCampi* in_ = nullptr;
  OsservatoreLettura* osservatore_ = l_.sorgenti.osservatore;

  int32_t cursore_velocita_ = 0;
  int32_t cursore_aderenza_ = 0;
  int32_t velocita_precedente_ = 0;
  int32_t aderenza_precedente_ = 0;
  int32_t stazione_ = 1;  // item of the next station
};

void LettoreTreno::leggi() {
  l_.inizia(file_);
  in_ = &l_.apri(file_);
  do {
    l_.leggi_voce();
  } while (!contiene(minuscole(m_.campo), "[generale]") && !in_->alla_fine());

  for (;;) {
    if (in_->alla_fine()) break;
    l_.leggi_voce();
    if (in_->alla_fine()) break;  // the last field of the file means nothing
    bool fine_file = false;
    for (int i = 0; i < 2 && contiene(m_.campo, "-"); ++i) {
      l_.leggi_voce();
      if (in_->alla_fine()) {
        fine_file = true;
        break;
      }
    }
    if (fine_file) break;

    const std::string c = minuscole(m_.campo);
    bool riconosciuto = false;
    Passo passo = Passo::kAvanti;
    // Every test runs on the same field, in this order, until an entry ends
    // the reading.
    auto vale = [&](bool test) {
      if (passo != Passo::kAvanti || !test) return false;
      riconosciuto = true;
      return true;
    };
    if (vale(contiene(c, "frenata") && contiene(c, "massa"))) {
      m_.voce(kVoceTreno).inizio = in_->leggi_numero();
    }
    if (vale(contiene(c, "vetture"))) m_.voce(kVoceTreno).posizione = in_->leggi_numero();
    if (vale(contiene(c, "velocit"))) passo = velocita();
    if (vale(contiene(c, "aderenza"))) passo = aderenza();
    if (vale(contiene(c, "orologio"))) {
      Voce& v = m_.voce(kVoceRipetizione);
      v.opz10 = numero16("the clock's hours");
      v.opz11 = numero16("the clock's minutes");
      v.opz12 = numero16("the clock's seconds");
    }
    if (vale(contiene(c, "sabbia"))) m_.voce(kVoceRipetizione).opz7 = numero16("the sand quantity");
    if (vale(contiene(c, "segnale"))) passo = segnale();
    if (vale(contiene(c, "rallentamento"))) passo = rallentamento();
    if (vale(contiene(c, "abbattimento"))) passo = abbattimento();
    if (vale(contiene(c, "stazione"))) passo = stazione();

    if (passo == Passo::kFermo) return;
    if (passo == Passo::kFineLettura) break;
    if (!riconosciuto && !(contiene(c, "[") && contiene(c, "]"))) l_.campo_ignorato();
  }
  fine_lettura();
}

Passo LettoreTreno::velocita() {
  const int32_t p = in_->leggi_numero();
  const int32_t s = in_->leggi_numero();
  if (fuori(p, 100)) return Passo::kFineLettura;
  const int32_t t = cella_tratto(p);
  if (t > 0 && cursore_velocita_ >= t) fuori_ordine("velocita", p, cursore_velocita_);
  const int32_t n = m_.ultima_cella();
  if (t > 0 && cursore_velocita_ < n) {
    // Stored in steps of 5 km/h; the fill never reaches cell N.
    const uint8_t valore =
        restringi<uint8_t>(arrotonda(static_cast<double>(velocita_precedente_) / 5.0),
                           "a speed limit in steps of 5 km/h");
    do {
      m_.cella(cursore_velocita_).vel_limite = valore;
      ++cursore_velocita_;
    } while (cursore_velocita_ < t && cursore_velocita_ < n);
  }
  velocita_precedente_ = s;
  return Passo::kAvanti;
}

Passo LettoreTreno::aderenza() {
  const int32_t p = in_->leggi_numero();
  const int32_t a = in_->leggi_numero();
  if (fuori(p, 100)) return Passo::kFineLettura;
  const int32_t t = cella_tratto(p);
  if (t > 0 && cursore_aderenza_ >= t) fuori_ordine("aderenza", p, cursore_aderenza_);
  if (osservatore_ != nullptr && (a < 0 || a > 255)) {
    osservatore_->valore_avvolto(l_.luogo_voce(), "aderenza", a, basso8(a));
  }
  if (t > 0) {
    richiedi_celle(m_, cursore_aderenza_, cursore_aderenza_, "an adhesion fill");
    const uint8_t valore = basso8(aderenza_precedente_);
    do {
      m_.cella(cursore_aderenza_).aderenza = valore;
      ++cursore_aderenza_;
    } while (cursore_aderenza_ < t);
  }
  aderenza_precedente_ = a;
  return Passo::kAvanti;
}

Passo LettoreTreno::segnale() {
  int32_t v[11];
  for (int32_t& x : v) x = in_->leggi_numero();
  const int32_t posizione = v[0];
  if (fuori(posizione, 100)) return Passo::kFineLettura;
  memo_segnale(m_, posizione, v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9], v[10]);
  // A code still standing from the route half stops the reading here too.
  if (m_.codice_errore > 0) return ferma(m_.codice_errore, posizione);
  l_.voce_registrata("segnale", posizione);
  return Passo::kAvanti;
}

Passo LettoreTreno::rallentamento() {
  int32_t v[6];
  for (int32_t& x : v) x = in_->leggi_numero();
  const int32_t x = v[0];
  if (fuori(x, 100)) return Passo::kFineLettura;
  memo_rallentamento(m_, x, v[1], v[2], v[3], v[4], v[5]);
  if (m_.codice_errore > 0) return ferma(m_.codice_errore, x);
  l_.voce_registrata("rallentamento", x);
  return Passo::kAvanti;
}

Passo LettoreTreno::abbattimento() {
  const int32_t p = in_->leggi_numero();
  const int32_t w = in_->leggi_numero();
  if (fuori(p, 100)) return Passo::kFineLettura;
  const int32_t c = cella_tratto(p);
  if (!cella_libera(m_.cella(c))) return ferma(7, p);
  if (p < 0) throw GuastoEsecuzione("abbattimento at position " + std::to_string(p));
  if (w > 0) {
    const int16_t valore = restringi<int16_t>(w, "an abbattimento value");
    Cella& cella = m_.cella(c);
    cella.tipo = kCodice;
    cella.dato1 = valore;
  } else {
    m_.cella(c).tipo = kAbbattimento;
  }
  l_.voce_registrata("abbattimento", p);
  return Passo::kAvanti;
}

Passo LettoreTreno::stazione() {
  const int32_t i = stazione_;
  Voce& v = m_.voce(i);
  // Item values are stored as they are read.
  v.posizione = in_->leggi_numero();
  const int32_t p = v.posizione;
  if (fuori(p, 800)) return Passo::kFineLettura;
  if (osservatore_ != nullptr && i > 1 && p < m_.voce(i - 1).posizione) {
    osservatore_->fuori_ordine(l_.luogo_campo(1), "stazione", p, m_.voce(i - 1).posizione);
  }
  if (p % 50 != 0) return ferma(8, p);
  v.tipo = numero8("a station's type");
  const int32_t lunghezza = in_->leggi_numero();
  if (lunghezza % 100 != 0) return ferma(9, p);
  v.opz4 = numero8("a station's field 4");
  v.opz5 = numero8("a station's field 5");
  v.opz6 = numero8("a station's field 6");
  v.opz7 = numero16("a station's field 7");
  v.opz8 = numero16("a station's field 8");
  v.opz9 = numero8("a station's field 9");
  v.opz10 = numero16("a station's field 10");
  v.opz11 = numero16("a station's field 11");
  v.opz12 = numero16("a station's field 12");
  v.opz13 = numero8("a station's field 13");
  const int32_t ore = in_->leggi_numero();
  const int32_t minuti = in_->leggi_numero();
  const int32_t secondi = in_->leggi_numero();
  v.orario = somma32(prodotto32(somma32(prodotto32(ore, 60), minuti), 60), secondi);
  v.nome = nome_voce(in_->leggi_testo(), "a station's name");

  // The station area: types 5 and 6 reach back by the length and 150 m
  // forward, types 7 and 8 the length both ways, all others are centred (and
  // end 50 m further with field 6 set).
  const uint8_t tipo = v.tipo;
  if (tipo == 5 || tipo == 6) {
    v.fine = somma32(p, 150);
    v.inizio = differenza32(p, lunghezza);
    v.opz6 = 0;
  } else if (tipo == 7 || tipo == 8) {
    v.inizio = differenza32(p, lunghezza);
    v.fine = somma32(p, lunghezza);
    v.opz6 = 0;
  } else {
    v.inizio = arrotonda(static_cast<double>(p) - static_cast<double>(lunghezza) / 2.0);
    v.fine = arrotonda(static_cast<double>(p) + static_cast<double>(lunghezza) / 2.0);
    if (v.opz6 != 0) v.fine = somma32(v.fine, 50);
  }
  if (lunghezza < 600) v.opz5 = 0;
  if (i == 1) {
    v.opz6 = 0;
    v.opz5 = 0;
  }

  const double fine_celle = static_cast<double>(v.fine) / 50.0;
  const bool segnata = tipo < 25;
  if (segnata && fine_celle - 1.0 > 1.0) {
    // The station cell and its approach marks must lie inside the cells.
    richiedi_celle(m_, 1, arrotonda(fine_celle - 1.0), "a station");
  }
  if (segnata && tipo != 5 && tipo != 6) {
    for (int k = 1; k <= 4; ++k) {
      const double q = fine_celle - k - 1.0;
      if (q > 1.0) m_.cella(arrotonda(q)).marcatore = static_cast<uint8_t>(80 + k);
    }
  }
  if (segnata) {
    if (!(fine_celle - 1.0 > 1.0)) return ferma(24);
    Cella& c = m_.cella(arrotonda(fine_celle - 1.0));
    c.tipo = kStazione;
    c.dato1 = static_cast<int16_t>(i);
  }
  if (i > 1 && differenza32(v.inizio, 350) < m_.voce(i - 1).fine) return ferma(22, p);
  stazione_ = i + 1;
  l_.voce_registrata("stazione", p);
  if (stazione_ >= l_.prossimo_cartello) return ferma(10);
  return Passo::kAvanti;
}

void LettoreTreno::fine_lettura() {
  l_.chiudi_ed_elimina(file_);
  const int32_t n = m_.ultima_cella();
  // Cells up to N - 3 take the last speed and adhesion; at least one each.
  const uint8_t velocita =
      restringi<uint8_t>(arrotonda(static_cast<double>(velocita_precedente_) / 5.0),
                         "a speed limit in steps of 5 km/h");
  richiedi_celle(m_, cursore_velocita_, cursore_velocita_, "the speed fill");
  do {
    m_.cella(cursore_velocita_).vel_limite = velocita;
    ++cursore_velocita_;
  } while (cursore_velocita_ < n - 2);
  const uint8_t aderenza = basso8(aderenza_precedente_);
  richiedi_celle(m_, cursore_aderenza_, cursore_aderenza_, "the adhesion fill");
  do {
    m_.cella(cursore_aderenza_).aderenza = aderenza;
    ++cursore_aderenza_;
  } while (cursore_aderenza_ < n - 2);

  // The chainage records must start and read on whole cells.
  for (int i = kVoceProgressivaTre; i <= kVoceProgressivaTre + 2; ++i) {
    const Voce& v = m_.voce(i);
    if (v.inizio % 50 != 0 || v.fine % 50 != 0) {
      m_.codice_errore = 2;
      l_.segna_file(l_.sorgenti.linea);
    }
  }
}

}  // namespace

void leggi_treno(LetturaSorgenti& l) {
  LettoreTreno(l).leggi();
}

}  // namespace scenario
