#include "prove/processo_prova_test.h"

#include <gtest/gtest.h>

#include <string>

#include "prove/cartella_temporanea_test.h"

namespace scenario {
namespace {

#ifndef _WIN32
// A child that fills its standard error with megabytes before it writes a
// byte of standard output: a runner reading one stream to its end before the
// other would wait on a child blocked in a full pipe, for ever.
TEST(ProcessoProvaTest, MegabytesOfErrorBeforeAnyOutputAreAllCollected) {
  CartellaTemporanea cartella;
  const EsitoProcesso e = avvia_processo(
      "/bin/sh",
      {"-c", "head -c 8000000 /dev/zero | tr '\\000' e >&2; printf fatto; printf fine >&2; exit 4"},
      cartella.percorso());
  EXPECT_EQ(e.stato, 4);
  EXPECT_EQ(e.out, "fatto");
  ASSERT_EQ(e.err.size(), 8000004u);
  EXPECT_EQ(e.err.find_first_not_of('e'), 8000000u);
  EXPECT_EQ(e.err.substr(8000000), "fine");
}
#endif

}  // namespace
}  // namespace scenario
