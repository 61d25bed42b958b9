#include "text/scenario_testi.h"
namespace scenario {
Righe righe_note() { return Righe{}; }
Righe righe_rallentamenti() { return Righe{}; }
Righe righe_scheda() { return Righe{}; }
}  // namespace scenario
