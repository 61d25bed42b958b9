#include "compiler/posizioni.h"

#include <string>

namespace scenario {

void richiedi_celle(const ModelloPercorso& m, int64_t prima, int64_t ultima, const char* cosa) {
  int32_t n = m.ultima_cella();
  if (prima < 0 || ultima > n) {
    throw GuastoEsecuzione(std::string(cosa) + " would write cells " + std::to_string(prima) +
                           ".." + std::to_string(ultima) + ", outside cells 0.." +
                           std::to_string(n));
  }
}

}  // namespace scenario
