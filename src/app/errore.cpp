#include "app/errore.h"

namespace scenario {

void errore(Finestra& finestra, const std::string& a) {
  finestra.messaggio(" Errore n. " + a);
  throw FineProgramma{kUscitaErrore};
}

}  // namespace scenario
