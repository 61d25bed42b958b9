#include "output/posa_codici.h"

#include "model/numeri.h"

namespace scenario {
namespace {

// One run of the pass over a model whose cell array exists, with N read once.
class Passata {
 public:
  explicit Passata(ModelloPercorso& m) : m_(m), n_(m.ultima_cella()) {}

  void esegui() {
    for (int32_t i = 1; i <= n_ - 2; ++i) {
      const uint8_t tipo = m_.cella(i).tipo;
      if (tipo == kAvvisoRallentamento) {
        regola_a(i);
      } else if (tipo == kInizioRallentamento) {
        regole_b(i);
      }
    }
  }

 private:
  bool dentro(int64_t c) const { return c >= 0 && c <= n_; }
  // Outside 0..N a cell is occupied and has no type of its own.
  bool libera(int64_t c) const { return dentro(c) && cella_libera(m_.cella(c)); }
  bool ha_tipo(int64_t c, uint8_t tipo) const { return dentro(c) && m_.cella(c).tipo == tipo; }

  void posa(int64_t c) {
    Cella& cella = m_.cella(c);
    cella.tipo = kCodice;
    cella.dato1 = kCodicePosato;
  }

  void abbassa(int64_t c) {
    Cella& cella = m_.cella(c);
    cella.dato1 = minimo(kCodicePosato, cella.dato1);
  }

  void registra(int32_t codice, int64_t cella) {
    m_.codice_errore = codice;
    m_.posizione_errore = prodotto32(cella, 50);
  }

  // Rule A: every signal up to 20 cells behind a warning gets a code cell in
  // front of it, or has the code already there lowered to 180.
  void regola_a(int32_t i) {
    for (int32_t k = 1; k <= 20; ++k) {
      const int32_t s = i - k;
      if (s < 3) return;
      if (!ha_tipo(s, kSegnale)) continue;
      if (libera(s - 1)) {
        posa(s - 1);
      } else if (libera(s - 2)) {
        posa(s - 2);
      } else if (ha_tipo(s - 1, kCodice)) {
        abbassa(s - 1);
      } else if (ha_tipo(s - 2, kCodice)) {
        abbassa(s - 2);
      } else {
        registra(kErroreSegnale, s);
      }
    }
  }

  // One approach window: a code cell on the first free candidate.
  void finestra_avvicinamento(int32_t i, int32_t primo) {
    for (int32_t c = primo; c <= primo + 2; ++c) {
      if (libera(i - c)) {
        posa(i - c);
        return;
      }
    }
    registra(kErroreAvvicinamento, i);
  }

  void regole_b(int32_t i) {
    if (i > 7) finestra_avvicinamento(i, 5);
    if (i > 13) finestra_avvicinamento(i, 11);
    if (i > 20) finestra_avvicinamento(i, 18);

    int32_t fine = -1;  // the slowdown end cell, when one is found
    if (m_.cella(i).dato1 < 110) {
      fine = regola_b4(i);
    } else {
      for (int32_t c = i + 1; c <= n_; ++c) {
        if (m_.cella(c).tipo == kFineRallentamento) {
          fine = c;
          break;
        }
      }
    }
    if (fine >= 0) regola_b5(fine);
  }

  // Rule B4: a code cell every 8 cells from the last one placed, up to the
  // slowdown end. Returns the end cell, or -1 when the walk reached N without one.
  int32_t regola_b4(int32_t i) {
    int32_t passi = 0;
    int32_t k = i;
    while (true) {
      ++k;
      ++passi;
      if (passi == 8) {
        if (libera(k)) {
          posa(k);
          passi = 0;
        } else if (libera(k - 1)) {
          posa(k - 1);
          passi = 1;
        } else if (libera(k + 1)) {
          posa(k + 1);
          passi = -1;
        } else {
          // The counter stays at 8 and runs past it: no further code cell
          // along this slowdown.
          registra(kErroreRipetizione, k);
        }
      }
      if (m_.cella(k).tipo == kFineRallentamento) return k;
      if (k >= n_) return -1;
    }
  }

  // Rule B5: a code cell in front of the first signal within 13 cells of the end.
  void regola_b5(int32_t k) {
    int32_t f = 0;
    for (int32_t c = k; c <= k + 12 && c <= n_; ++c) {
      if (m_.cella(c).tipo == kSegnale) {
        f = c - 1;
        break;
      }
    }
    if (f <= 0) return;
    if (libera(f)) {
      posa(f);
    } else if (libera(f - 1)) {
      posa(f - 1);
    } else {
      registra(kErroreRipetizione, k);
    }
  }

  ModelloPercorso& m_;
  const int32_t n_;
};

}  // namespace

void posa_codici(ModelloPercorso& m) {
  Passata(m).esegui();
}

ErroreFatale::ErroreFatale(int16_t n)
    : std::runtime_error("the model checks failed with " + std::to_string(n)), numero(n) {}

void controlli_modello(ModelloPercorso& m) {
  Voce& voce85 = m.voce(kVoceScenario);
  if (voce85.opz7 != 0 || m.cella(1).dato1 != 0) throw ErroreFatale(1250);
  voce85.opz7 = kMarcatoreVoce85;
  m.cella(1).dato1 = kMarcatoreCella1;
  if (voce85.orario != 0 || m.cella(1).dato2 != 0) throw ErroreFatale(1251);
}

}  // namespace scenario
