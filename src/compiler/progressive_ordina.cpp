#include "compiler/registratori.h"
#include "model/numeri.h"

namespace scenario {

namespace {

struct Progressiva {
  int32_t posizione = 0;     // route position from which the chainage applies
  int32_t chilometrica = 0;  // chainage value
  int32_t segno = 0;         // flag 0 or 1

  static Progressiva da(const Voce& v) { return {v.inizio, v.fine, v.posizione}; }
  void in(Voce& v) const {
    v.inizio = posizione;
    v.fine = chilometrica;
    v.posizione = segno;
  }
};

struct Ordine {
  Progressiva voce[3];  // new items 81, 82, 83; all zero unless a rule fills them
};

Ordine in_ordine(const Progressiva& x, const Progressiva& y, const Progressiva& z) {
  return Ordine{{x, y, z}};
}

bool maggiore_di(const Progressiva& x, const Progressiva& y, const Progressiva& z) {
  return x.posizione > y.posizione && x.posizione > z.posizione;
}

}  // namespace

void progressive_ordina(ModelloPercorso& m) {
  const Progressiva a = Progressiva::da(m.voce(kVoceProgressivaTre));
  const Progressiva b = Progressiva::da(m.voce(kVoceProgressivaTre + 1));
  const Progressiva c = Progressiva::da(m.voce(kVoceProgressivaTre + 2));
  Ordine r;

  if (somma32(somma32(a.posizione, b.posizione), c.posizione) != 0) {
    // Largest position first. On a tie between the other two the order is
    // fixed: C before B, C before A, B before A. With no strictly largest
    // position all three records are cleared.
    if (maggiore_di(a, b, c)) {
      r = b.posizione > c.posizione ? in_ordine(a, b, c) : in_ordine(a, c, b);
    } else if (maggiore_di(b, a, c)) {
      r = a.posizione > c.posizione ? in_ordine(b, a, c) : in_ordine(b, c, a);
    } else if (maggiore_di(c, a, b)) {
      r = a.posizione > b.posizione ? in_ordine(c, a, b) : in_ordine(c, b, a);
    }
  } else {
    // All positions sum to nothing: order by which chainage is set, a later
    // match replacing an earlier one.
    if (a.chilometrica > 0) r = in_ordine(a, b, c);
    if (b.chilometrica > 0) r = in_ordine(b, a, c);
    if (c.chilometrica > 0) r = in_ordine(c, b, a);
  }

  for (int i = 0; i < 3; ++i) {
    Progressiva& p = r.voce[i];
    if (p.segno == 1) p.chilometrica = somma32(p.chilometrica, 100);
  }
  for (int i = 0; i < 3; ++i) r.voce[i].in(m.voce(kVoceProgressivaTre + i));
}

}  // namespace scenario
