#include "app/errore.h"

#include <gtest/gtest.h>

#include <sstream>

#ifdef _WIN32
#include <string>
#include <vector>

#include "platform/finestra_win32.h"
#include "platform/finestre_prova_test.h"
#endif

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

#ifdef _WIN32
TEST(ErroreTest, OnWindowsShowsItsNumberInAnApplicationModalBoxAndEndsWhenAnswered) {
  FinestraWin32 finestra;
  finestra.mostra_attesa("Attendere");
  ASSERT_NE(finestra.form(), nullptr) << "no window system: run the tests under a display";
  int stato = -1;
  {
    RispostaMessaggio risposta;
    try {
      errore(finestra, "1250");
    } catch (const FineProgramma& fine) {
      stato = fine.stato;
    }
    risposta.attendi();
    ASSERT_TRUE(risposta.trovata()) << "no message box appeared";
    const VistaMessaggio& v = risposta.vista();
    EXPECT_EQ(v.testo, " Errore n. 1250");
    EXPECT_EQ(v.titolo, wide_a_utf8(kTitoloApplicazione));
    EXPECT_EQ(v.pulsanti, std::vector<std::string>{"OK"});
    EXPECT_EQ(v.id_pulsanti, std::vector<int>{IDOK});
    EXPECT_EQ(v.pulsante_predefinito, IDOK);
    EXPECT_FALSE(v.icona);
    EXPECT_EQ(v.proprietario, finestra.form());
    EXPECT_TRUE(risposta.modulo_disabilitato()) << "the box is application-modal";
  }
  EXPECT_EQ(stato, kUscitaErrore) << "the run ends when the box is closed";
  EXPECT_TRUE(IsWindowEnabled(finestra.form()));
}
#endif

}  // namespace
}  // namespace scenario
