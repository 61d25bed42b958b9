// The tool's command line: help, version, usage errors and exit statuses.

#include "toolkit/strumento.h"

#include <gtest/gtest.h>

#include "prove/cartella_temporanea_test.h"
#include "toolkit/prova_strumento_test.h"

namespace scenario {
namespace {

bool contiene(const std::string& testo, const std::string& parte) {
  return testo.find(parte) != std::string::npos;
}

TEST(StrumentoTest, UsageErrorsEndWithStatusTwoSayingWhatAndWhereToLook) {
  const struct {
    std::vector<std::string> argomenti;
    const char* messaggio;
    const char* aiuto;
  } casi[] = {
      {{}, "scenario: no command given", "Try 'scenario --help'"},
      {{"frobnicate"}, "scenario: unknown command 'frobnicate'", "Try 'scenario --help'"},
      {{"--frob"}, "scenario: unknown option '--frob'", "Try 'scenario --help'"},
      {{"sources", "a", "b"}, "too many arguments", "Try 'scenario sources --help'"},
      {{"sources", "--bogus"}, "scenario sources: unknown option '--bogus'", "sources --help"},
      {{"compile", "Prova_linea.txt"}, "compile takes two sources", "compile --help"},
      {{"compile", "linea.txt", "treno.txt"}, "give --name NAME", "compile --help"},
      {{"compile", "Prova_linea.txt", "treno.txt"}, "give --train NUMBER", "compile --help"},
      {{"compile", "Prova_linea.txt", "Prova_7-.txt", "-Wno-frobs"},
       "unknown warning '-Wno-frobs'",
       "compile --help"},
      {{"compile", "Prova_linea.txt", "Prova_7-.txt", "-o"},
       "option '-o' needs a value",
       "compile --help"},
      {{"compile", "Prova_linea.txt", "Prova_7-.txt", "--plan"},
       "unknown option '--plan'",
       "compile --help"},
      {{"dump"}, "no file to dump", "dump --help"},
      {{"dump", "--kind", "maps", "f.dat"}, "unknown kind 'maps'", "dump --help"},
      {{"verify"}, "verify takes one folder", "verify --help"},
      {{"plot", "."}, "no output file: give -o FILE.svg", "plot --help"},
      {{"dump", "--json", "--hex", "f.dat"}, "--json and --hex", "dump --help"},
      {{"dump", "--hex", "--json", "f.dat"}, "--json and --hex", "dump --help"},
      {{"help", "frobnicate"}, "scenario: unknown command 'frobnicate'", "Try 'scenario --help'"},
  };
  for (const auto& c : casi) {
    const EsitoStrumento e = esegui_prova(c.argomenti);
    EXPECT_EQ(e.stato, 2) << c.messaggio;
    EXPECT_EQ(e.out, "") << c.messaggio;
    EXPECT_TRUE(contiene(e.err, c.messaggio)) << e.err;
    EXPECT_TRUE(contiene(e.err, c.aiuto)) << e.err;
  }
}

TEST(StrumentoTest, EveryCommandAndTheWholeHaveHelpOnStandardOutput) {
  const EsitoStrumento tutto = esegui_prova({"--help"});
  EXPECT_EQ(tutto.stato, 0);
  EXPECT_EQ(tutto.err, "");
  for (const char* comando : {"sources", "compile", "dump", "verify", "plot"}) {
    EXPECT_TRUE(contiene(tutto.out, std::string("\n  ") + comando + " ")) << comando;
    for (const char* richiesta : {"--help", "-h"}) {
      const EsitoStrumento e = esegui_prova({comando, richiesta});
      EXPECT_EQ(e.stato, 0) << comando;
      EXPECT_EQ(e.out.rfind(std::string("Usage: scenario ") + comando, 0), 0u) << e.out;
      EXPECT_EQ(e.err, "");
    }
  }
}

TEST(StrumentoTest, HelpCommandIsTheCommandsOwnHelp) {
  EXPECT_EQ(esegui_prova({"help"}).out, esegui_prova({"--help"}).out);
  for (const char* comando : {"sources", "compile", "dump", "verify", "plot"}) {
    const EsitoStrumento aiuto = esegui_prova({"help", comando});
    EXPECT_EQ(aiuto.stato, 0) << comando;
    EXPECT_EQ(aiuto.err, "");
    EXPECT_EQ(aiuto.out, esegui_prova({comando, "--help"}).out) << comando;
  }
}

TEST(StrumentoTest, VersionIsTheProjectsVersion) {
  const EsitoStrumento e = esegui_prova({"--version"});
  EXPECT_EQ(e.stato, 0);
  EXPECT_EQ(e.out, std::string("scenario ") + GENERATORE_VERSIONE + "\n");
}

TEST(StrumentoTest, TheExecutableKeepsResultsAndDiagnosticsApartAndReturnsTheStatus) {
  CartellaTemporanea cartella;
  const EsitoStrumento uso = avvia_strumento({"compile"}, cartella.percorso());
  EXPECT_EQ(uso.stato, 2);
  EXPECT_EQ(uso.out, "");
  EXPECT_TRUE(contiene(uso.err, "compile takes two sources"));

  const EsitoStrumento fonti = avvia_strumento({"sources"}, cartella.percorso());
  EXPECT_EQ(fonti.stato, 0) << fonti.err;
  EXPECT_EQ(fonti.err, "");
  EXPECT_TRUE(contiene(fonti.out, "MorvessaC_Tolvarre_linea.txt\n"));

  const EsitoStrumento guasto = avvia_strumento({"dump", "manca.dat"}, cartella.percorso());
  EXPECT_EQ(guasto.stato, 1);
  EXPECT_EQ(guasto.out, "");
  EXPECT_TRUE(contiene(guasto.err, "manca.dat")) << guasto.err;
}

// Each argument reaches the executable as given, whatever it holds: on
// Windows it travels through one command line, quoted by the starter and
// split again by the program. The file name comes back in dump's failure.
TEST(StrumentoTest, ArgumentsReachTheExecutableAsGiven) {
  CartellaTemporanea cartella;
  for (const std::string a :
       {"due parole", "dentro \"virgolette\"", "\"", "fine\\", "fine con spazio\\", "doppia\\\\",
        "\\\"mista\\\\\" e\\", "citt\u00e0 \u00e8 \u20ac", "\t tab", "a\\b\\\\c"}) {
    const EsitoStrumento e = avvia_strumento({"dump", a}, cartella.percorso());
    EXPECT_EQ(e.stato, 1) << a;
    EXPECT_TRUE(contiene(e.err, "cannot open " + a + ": ") ||
                contiene(e.err, "cannot read " + a + ": "))
        << "[" << a << "] gave: " << e.err;
  }
}

}  // namespace
}  // namespace scenario
