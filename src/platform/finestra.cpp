#include "platform/finestra.h"

#include <ostream>

namespace scenario {

FinestraConsole::FinestraConsole(std::ostream& uscita) : uscita_(uscita) {}

void FinestraConsole::mostra_attesa(std::string_view etichetta) {
  uscita_ << etichetta << '\n' << std::flush;
}

void FinestraConsole::messaggio(std::string_view testo) {
  uscita_ << testo << '\n' << std::flush;
}

}  // namespace scenario
