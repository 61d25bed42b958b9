#include "platform/finestra.h"

#include <gtest/gtest.h>

#include <sstream>

namespace scenario {
namespace {

TEST(FinestraConsoleTest, PutsTheLabelAndEachMessageOnALineOfTheirOwn) {
  std::ostringstream uscita;
  FinestraConsole finestra(uscita);
  finestra.mostra_attesa("Attendere");
  finestra.messaggio(" Errore n. 1250");
  EXPECT_EQ(uscita.str(), "Attendere\n Errore n. 1250\n");
}

}  // namespace
}  // namespace scenario
