#include "text/scenario_testi.h"
namespace scenario {
Righe righe_treno() { return Righe{"[generale]", "[fine]"}; }
}  // namespace scenario
