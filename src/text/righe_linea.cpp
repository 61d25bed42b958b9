#include "text/scenario_testi.h"
namespace scenario {
Righe righe_linea() { return Righe{"[generale]", "[fine]"}; }
}  // namespace scenario
