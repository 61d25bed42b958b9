// Fuzz target: the whole builder in memory, with the plan table and without,
// on the route source and the service source that one input splits into. Its
// mutator edits the sources entry by entry (fuzz/mutatore_sorgenti.h).

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/controlli_fuzz.h"
#include "fuzz/mutatore_sorgenti.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n) {
  scenario::controlla_compilazione(std::string_view(reinterpret_cast<const char*>(dati), n));
  return 0;
}

extern "C" size_t LLVMFuzzerMutate(uint8_t* dati, size_t n, size_t massimo);

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* dati, size_t n, size_t massimo,
                                          unsigned int seme) {
  return scenario::muta_sorgenti(dati, n, massimo, seme, &LLVMFuzzerMutate);
}
