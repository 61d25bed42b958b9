#pragma once
// The exit statuses of both programs, the generator and the toolkit: one list,
// so that a script reads the same number the same way from either.

namespace scenario {

enum StatoUscita : int {
  kUscitaRiuscita = 0,        // done
  kUscitaGuasto = 1,          // a run-time failure; for verify, problems found
  kUscitaErrore = 2,          // the fatal report (1250, 1251), or a bad command line
  kUscitaErroreScenario = 3,  // files written, from sources that hold an error
};

}  // namespace scenario
