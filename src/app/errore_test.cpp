#include "app/errore.h"

#include <gtest/gtest.h>

#include <sstream>

namespace scenario {
namespace {

TEST(ErroreTest, ShowsTheNumberAfterTheLiteralAndEndsWithStatusTwo) {
  std::ostringstream uscita;
  FinestraConsole finestra(uscita);
  try {
    errore(finestra, "1251");
    FAIL() << "errore returned";
  } catch (const FineProgramma& fine) {
    EXPECT_EQ(fine.stato, 2);
  }
  EXPECT_EQ(uscita.str(), " Errore n. 1251\n");
}

}  // namespace
}  // namespace scenario
