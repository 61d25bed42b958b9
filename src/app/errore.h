#pragma once
// The fatal report of the run sequence, and the end of the program it leads to.

#include <string>

#include "platform/finestra.h"
#include "platform/stato_uscita.h"

namespace scenario {

// Ends the run from anywhere below the run sequence, carrying the exit status.
struct FineProgramma {
  int stato;
};

// The fatal report: shows " Errore n. " followed by `a`, then ends the program
// (exit status kUscitaErrore). Never returns.
[[noreturn]] void errore(Finestra& finestra, const std::string& a);

}  // namespace scenario
