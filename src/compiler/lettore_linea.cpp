// The route half of memorizza_dati: sizes the model from the route length,
// fills the reserved items, records gradients, curves (the plan table),
// montagne, speed indicator boards and text boards, and deletes the source.

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "compiler/lettura_sorgenti.h"
#include "compiler/posizioni.h"
#include "compiler/registratori.h"
#include "model/numeri.h"

namespace scenario {

namespace {

// The plan table is computed only up to this row; a longer run is refused.
constexpr int32_t kUltimaRigaCalcolata = 1000000;

enum class Passo { kAvanti, kFineLettura, kEsci };

bool intestazione(std::string_view campo) {
  return contiene(campo, "[") && contiene(campo, "]");
}

std::string_view senza_spazi_iniziali(std::string_view s) {
  size_t i = s.find_first_not_of(' ');
  return i == std::string_view::npos ? std::string_view{} : s.substr(i);
}

class LettoreLinea {
 public:
  explicit LettoreLinea(LetturaSorgenti& l) : l_(l), m_(l.m), file_(l.sorgenti.linea) {}

  DopoLinea leggi();

 private:
  // Leaves memorizza_dati with a recorded route error: the route source goes,
  // the service source stays.
  DopoLinea esci(int32_t codice) {
    l_.chiudi_ed_elimina(file_);
    l_.registra(codice);
    return DopoLinea::kEsci;
  }

  bool cerca_generale();
  Passo fase_generale();
  void tra_le_fasi();
  Passo fase_elementi();
  Passo pendenza();
  Passo curva(std::string_view minuscolo);
  Passo montagna();
  Passo indicatori();
  Passo cartello();
  void fine_linea();

  class Avanzamento;
  void ripeti_pendenza(int32_t fino_a);
  void rettilineo(int32_t fino_a);

  LetturaSorgenti& l_;
  ModelloPercorso& m_;
  const std::filesystem::path& file_;
  LettoreCampi* in_ = nullptr;
  int32_t esito_codice_ = 0;  // the code of a kEsci decided inside a step

  int32_t cursore_ = 0;              // next cell to receive a gradient
  int32_t pendenza_precedente_ = 0;  // gradient in force up to the next change
  int32_t k_ = 2;                    // next plan row to compute
  std::vector<double> xs_, ys_;      // plan rows computed, not yet stored
};

DopoLinea LettoreLinea::leggi() {
  l_.inizia(file_);
  std::error_code ec;
  if (!l_.in_memoria() && !std::filesystem::exists(file_, ec)) {
    l_.registra(101);
    return DopoLinea::kEsci;
  }
  in_ = &l_.apri(file_);
  if (!cerca_generale()) return esci(102);
  l_.fase_generale = true;
  const Passo generale = fase_generale();
  l_.fase_generale = false;
  if (generale == Passo::kEsci) return esci(esito_codice_);
  tra_le_fasi();
  if (fase_elementi() == Passo::kEsci) return esci(esito_codice_);
  fine_linea();
  return DopoLinea::kLeggiTreno;
}

bool LettoreLinea::cerca_generale() {
  for (;;) {
    l_.leggi_voce();
    if (in_->alla_fine()) return false;
    if (contiene(minuscole(m_.campo), "[generale]")) return true;
  }
}

Passo LettoreLinea::fase_generale() {
  for (;;) {
    if (in_->alla_fine()) return Passo::kFineLettura;
    l_.leggi_voce();
    if (in_->alla_fine()) return Passo::kFineLettura;
    // Fields holding "-" are commented out: up to ten in a row are passed over.
    for (int i = 0; i < 10; ++i) {
      if (contiene(m_.campo, "-")) l_.leggi_voce();
    }
    const std::string campo = m_.campo;
    const std::string minuscolo = minuscole(campo);
    bool riconosciuto = false;

    if (contiene(minuscolo, "percorso") && contiene(minuscolo, "lunghezza")) {
      riconosciuto = true;
      const int32_t lunghezza = in_->leggi_numero();
      m_.voce(kVoceTreno).fine = lunghezza;
      if (lunghezza > kLunghezzaMassima) {
        esito_codice_ = 1;
        return Passo::kEsci;
      }
      const int32_t modello = somma32(lunghezza, 7000);
      // The model checks mark cell 1 of every scenario: a model without it is
      // refused here, not when it is marked.
      const int32_t ultima_cella = arrotonda(static_cast<double>(modello) / 50.0);
      if (ultima_cella < 1) {
        // -6974 m is the first length whose model, 26 m, rounds to two cells.
        throw GuastoEsecuzione("a route length of " + std::to_string(lunghezza) +
                               " m is too short to build: keep it in 1.." +
                               std::to_string(kLunghezzaMassima) +
                               " (the shortest that builds is -6974 m)");
      }
      m_.lunghezza_modello = modello;
      m_.crea_celle(ultima_cella);
      if (m_.con_tracciato != 0) m_.tracciato = Tracciato(modello);
    }
    // The chainage, background and signal repetition keywords match exactly.
    if (contiene(campo, "tre") && contiene(campo, "progressiva")) {
      riconosciuto = true;
      Voce& v = m_.voce(kVoceProgressivaTre);
      v.inizio = in_->leggi_numero();
      v.fine = in_->leggi_numero();
      v.posizione = in_->leggi_numero();
    }
    if (contiene(campo, "due") && contiene(campo, "progressiva")) {
      riconosciuto = true;
      Voce& v = m_.voce(kVoceProgressivaTre + 1);
      v.inizio = in_->leggi_numero();
      v.fine = in_->leggi_numero();
      v.posizione = in_->leggi_numero();
    }
    if (contiene(campo, "uno") && contiene(campo, "progressiva")) {
      riconosciuto = true;
      Voce& v = m_.voce(kVoceProgressivaTre + 2);
      v.inizio = in_->leggi_numero();
      v.fine = in_->leggi_numero();
      v.posizione = in_->leggi_numero();
    }
    if (contiene(campo, "sfondo") && contiene(campo, "uno")) {
      riconosciuto = true;
      m_.voce(kVoceScenario).inizio = in_->leggi_numero();
    }
    if (contiene(campo, "sfondo") && contiene(campo, "due")) {
      riconosciuto = true;
      m_.voce(kVoceScenario).posizione = in_->leggi_numero();
    }
    if (contiene(campo, "sfondo") && contiene(campo, "tre")) {
      riconosciuto = true;
      m_.voce(kVoceScenario).fine = in_->leggi_numero();
    }
    if (contiene(campo, "segnali") && contiene(campo, "ripetizione")) {
      riconosciuto = true;
      Voce& v = m_.voce(kVoceRipetizione);
      v.inizio = in_->leggi_numero();
      v.fine = in_->leggi_numero();
      if (v.inizio % 50 != 0) {
        esito_codice_ = 3;
        return Passo::kEsci;
      }
      if (v.fine % 50 != 0) {
        esito_codice_ = 4;
        return Passo::kEsci;
      }
      // The code system is named in the keyword itself.
      if (contiene(minuscolo, "4")) {
        v.posizione = 4;
      } else if (contiene(minuscolo, "9")) {
        v.posizione = 9;
      } else {
        esito_codice_ = 5;
        return Passo::kEsci;
      }
      if (v.fine == 0) v.posizione = 0;
    }

    const bool sezione = intestazione(minuscolo);
    if (!riconosciuto && !sezione) l_.campo_ignorato();
    if (sezione && !senza_spazi_iniziali(minuscolo).starts_with("-")) return Passo::kAvanti;
  }
}

void LettoreLinea::tra_le_fasi() {
  // The route length makes the cells every later entry is placed on: without
  // it the reader stops where [generale] ends, with or without a plan table.
  if (!m_.celle_create) {
    throw GuastoEsecuzione(
        "the [generale] section gives no \"lunghezza percorso\" entry: the route's length must "
        "come before the route's entries");
  }
  progressive_ordina(m_);
  m_.num_montagne = 0;
  l_.prossimo_cartello = kPrimaVoceCartelli;
  cursore_ = 0;
  k_ = 2;
  if (m_.con_tracciato != 0) {
    // The route starts at the origin, its first metre along coordinate 1.
    // The table exists with the cells, and a route length that builds gives
    // it far more than these two rows.
    Tracciato& t = m_.tracciato;
    t.metti_intero(0, 0, 0);
    t.metti_intero(1, 0, 0);
    t.metti_intero(0, 1, 0);
    t.metti_intero(1, 1, 1);
  }
}

Passo LettoreLinea::fase_elementi() {
  for (;;) {
    if (in_->alla_fine()) return Passo::kFineLettura;
    l_.leggi_voce();
    if (in_->alla_fine()) return Passo::kFineLettura;
    for (int i = 0; i < 2 && contiene(m_.campo, "-"); ++i) {
      l_.leggi_voce();
      if (in_->alla_fine()) return Passo::kFineLettura;
    }
    const std::string minuscolo = minuscole(m_.campo);
    bool riconosciuto = false;
    Passo passo = Passo::kAvanti;

    if (contiene(minuscolo, "pendenza")) {
      riconosciuto = true;
      if ((passo = pendenza()) != Passo::kAvanti) return passo;
    }
    if (m_.con_tracciato != 0 && contiene(minuscolo, "curva")) {
      riconosciuto = true;
      if ((passo = curva(minuscolo)) != Passo::kAvanti) return passo;
    }
    if (contiene(minuscolo, "montagna")) {
      riconosciuto = true;
      if ((passo = montagna()) != Passo::kAvanti) return passo;
    }
    if (contiene(minuscolo, "indicatori_v")) {
      riconosciuto = true;
      if ((passo = indicatori()) != Passo::kAvanti) return passo;
    }
    if (contiene(minuscolo, "indicat") && contiene(minuscolo, "cartello")) {
      riconosciuto = true;
      if ((passo = cartello()) != Passo::kAvanti) return passo;
    }
    if (!riconosciuto && !intestazione(minuscolo)) l_.campo_ignorato();
  }
}

void LettoreLinea::ripeti_pendenza(int32_t fino_a) {
  // Writes at least one cell, then fills up to (not including) fino_a.
  richiedi_celle(m_, cursore_, cursore_, "a gradient fill");
  const uint8_t valore = basso8(somma32(pendenza_precedente_, 100));
  do {
    m_.cella(cursore_).pendenza = valore;
    ++cursore_;
  } while (cursore_ < fino_a);
}

Passo LettoreLinea::pendenza() {
  const int32_t p = in_->leggi_numero();
  const int32_t g = in_->leggi_numero();
  if (!entro_celle(m_, p, 100)) {
    l_.registra(15, p);
    return Passo::kFineLettura;
  }
  const int32_t t = cella_tratto(p);
  if (OsservatoreLettura* o = l_.sorgenti.osservatore; o != nullptr) {
    if (t > 0 && cursore_ >= t) o->fuori_ordine(l_.luogo_campo(1), "pendenza", p, cursore_ * 50);
    // Cells keep the gradient + 100 in one byte.
    if (g < -100 || g > 155)
      o->valore_avvolto(l_.luogo_campo(2), "pendenza", g, basso8(int64_t{g} + 100));
  }
  if (t > 0) ripeti_pendenza(t);
  pendenza_precedente_ = g;
  return Passo::kAvanti;
}

// The plan table is computed a stretch at a time into two buffers and then
// stored at once, carrying the last two rows in hand: each new row is the last
// one plus the step between the last two, turned by c radians on an arc. Every
// operation is binary64 and the bracketed increment is rounded before it is
// added.
class LettoreLinea::Avanzamento {
 public:
  Avanzamento(Tracciato& t, int32_t k, std::vector<double>& xs, std::vector<double>& ys)
      : t_(t), prima_(k), xs_(xs), ys_(ys) {
    x2_ = t.valore(k - 2, 0), y2_ = t.valore(k - 2, 1);
    x1_ = t.valore(k - 1, 0), y1_ = t.valore(k - 1, 1);
    xs_.clear();
    ys_.clear();
  }
  // n rows going on with the last step unchanged.
  void dritti(int64_t n) {
    righe(n, [](double dx, double dy, double& px, double& py) {
      px = dx;
      py = dy;
    });
  }
  // n rows turning the step by c radians per metre.
  void curvi(int64_t n, double c) {
    righe(n, [c](double dx, double dy, double& px, double& py) {
      px = dx + c * dy;
      py = dy - c * dx;
    });
  }
  // Stores the rows computed.
  void scrivi() { t_.metti_doppi(prima_, xs_.size(), xs_.data(), ys_.data()); }

 private:
  template <typename Passo>
  void righe(int64_t n, Passo passo) {
    if (n <= 0) return;
    const size_t base = xs_.size();
    xs_.resize(base + static_cast<size_t>(n));
    ys_.resize(base + static_cast<size_t>(n));
    double* px = xs_.data() + base;
    double* py = ys_.data() + base;
    double x2 = x2_, y2 = y2_, x1 = x1_, y1 = y1_;
    for (int64_t i = 0; i < n; ++i) {
      double ix, iy;
      passo(x1 - x2, y1 - y2, ix, iy);
      const double x = x1 + ix;
      const double y = y1 + iy;
      px[i] = x;
      py[i] = y;
      x2 = x1, y2 = y1, x1 = x, y1 = y;
    }
    x2_ = x2, y2_ = y2, x1_ = x1, y1_ = y1;
  }

  Tracciato& t_;
  int32_t prima_;
  std::vector<double>& xs_;
  std::vector<double>& ys_;
  double x2_, y2_, x1_, y1_;
};

void LettoreLinea::rettilineo(int32_t fino_a) {
  Avanzamento a(m_.tracciato, k_, xs_, ys_);
  if (k_ <= fino_a) {
    a.dritti(int64_t{fino_a} - k_ + 1);
    k_ = fino_a + 1;
  }
  a.scrivi();
}

Passo LettoreLinea::curva(std::string_view minuscolo) {
  const int32_t s = in_->leggi_numero();
  const int32_t lunghezza = in_->leggi_numero();
  if (!entro_celle(m_, s, 100)) {
    l_.registra(15, s);
    return Passo::kFineLettura;
  }
  // Curvature per metre of the radius classes 1 to 6; the first digit found decides.
  static constexpr double kCurvature[] = {0.0001, 0.0002, 0.0004, 0.001, 0.002, 0.003};
  double c = 0.0;
  bool trovata = false;
  for (int classe = 1; classe <= 6 && !trovata; ++classe) {
    if (minuscolo.find(static_cast<char>('0' + classe)) != std::string_view::npos) {
      c = kCurvature[classe - 1];
      trovata = true;
    }
  }
  if (!trovata) {
    esito_codice_ = 103;
    return Passo::kEsci;
  }
  if (contiene(minuscolo, "s")) c = -c;

  // The last two rows of the plan table are never computed: a curve reaching
  // them is refused before any row of it is written.
  const int64_t fine = int64_t{s} + lunghezza;
  const int64_t ultima_riga = int64_t{m_.lunghezza_modello} - 2;
  if (std::max<int64_t>(s, fine) > ultima_riga) {
    throw GuastoEsecuzione("a curve ending at " + std::to_string(fine) +
                           " m runs past the route's plan, which ends at " +
                           std::to_string(ultima_riga) + " m (the route length plus 6998 m)");
  }

  // Straight run up to the curve, then the arc. The plan is computed up to
  // row 1000000 at most: a curve that needs more stops the reading there.
  Avanzamento a(m_.tracciato, k_, xs_, ys_);
  bool oltre = false;
  auto tratto = [&](int64_t fino_a, auto&& calcola) {
    if (oltre || k_ > fino_a) return;
    const int64_t ultima = std::min<int64_t>(fino_a, kUltimaRigaCalcolata);
    calcola(ultima - k_ + 1);
    k_ = static_cast<int32_t>(ultima + 1);
    oltre = k_ > kUltimaRigaCalcolata;
  };
  tratto(s, [&](int64_t n) { a.dritti(n); });
  tratto(fine, [&](int64_t n) { a.curvi(n, c); });
  a.scrivi();
  if (oltre) {
    esito_codice_ = 103;
    return Passo::kEsci;
  }
  return Passo::kAvanti;
}

Passo LettoreLinea::montagna() {
  const int32_t inizio = in_->leggi_numero();
  const int32_t fine = in_->leggi_numero();
  int32_t tipo = in_->leggi_numero();
  if (!entro_celle(m_, inizio, 100)) {
    l_.registra(15, inizio);
    return Passo::kFineLettura;
  }
  memo_montagna(m_, inizio, fine, tipo);
  if (m_.codice_errore > 0) {
    m_.posizione_errore = inizio;
    esito_codice_ = m_.codice_errore;
    return Passo::kEsci;
  }
  l_.voce_registrata("montagna", inizio);
  return Passo::kAvanti;
}

Passo LettoreLinea::indicatori() {
  int32_t v[9];
  for (int32_t& x : v) x = in_->leggi_numero();
  const int32_t posizione = v[0];
  if (!entro_celle(m_, posizione, 100)) {
    l_.registra(15, posizione);
    return Passo::kFineLettura;
  }
  memo_indicatori_v_max(m_, posizione, v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8]);
  if (m_.codice_errore > 0) {
    m_.posizione_errore = posizione;
    esito_codice_ = m_.codice_errore;
    return Passo::kEsci;
  }
  l_.voce_registrata("indicatori_vmax", posizione);
  return Passo::kAvanti;
}

Passo LettoreLinea::cartello() {
  const int32_t p = in_->leggi_numero();
  m_.campo = in_->leggi_testo();  // the board's text
  if (!entro_celle(m_, p, 100)) {
    l_.registra(15, p);
    return Passo::kFineLettura;
  }
  const int32_t q = cella_punto(p);
  if (!cella_libera(m_.cella(q))) {
    m_.posizione_errore = p;
    esito_codice_ = 6;
    return Passo::kEsci;
  }
  if (p < 0) throw GuastoEsecuzione("text board at position " + std::to_string(p));
  const int32_t voce = l_.prossimo_cartello;
  if (voce < 1) throw GuastoEsecuzione("no item left for another text board");
  std::string nome = nome_voce(m_.campo, "a board's text");
  Cella& c = m_.cella(q);
  c.tipo = kCartello;
  c.dato1 = restringi<int16_t>(voce, "a board's item");
  m_.voce(voce).nome = std::move(nome);
  l_.prossimo_cartello = voce - 1;
  l_.voce_registrata("cartello_indicatore", p);
  return Passo::kAvanti;
}

void LettoreLinea::fine_linea() {
  l_.chiudi_ed_elimina(file_);
  // Every cell up to N - 3 gets the gradient in force; at least one is written.
  ripeti_pendenza(m_.ultima_cella() - 2);
  if (m_.con_tracciato != 0) rettilineo(m_.lunghezza_modello - 2);
}

}  // namespace

DopoLinea leggi_linea(LetturaSorgenti& l) {
  return LettoreLinea(l).leggi();
}

}  // namespace scenario
