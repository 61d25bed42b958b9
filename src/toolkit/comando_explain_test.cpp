// scenario explain and scenario new: the format table shown to authors, the
// reference page made from it, and a starting scenario that compiles clean.

#include <gtest/gtest.h>

#include "compiler/formato.h"
#include "platform/file_atomico.h"
#include "prove/cartella_temporanea_test.h"
#include "toolkit/prova_strumento_test.h"

namespace scenario {
namespace {
namespace fs = std::filesystem;

TEST(ComandoExplainTest, WithNoKeywordListsEveryEntryUnderItsSection) {
  const EsitoStrumento e = esegui_prova({"explain"});
  ASSERT_EQ(e.stato, 0) << e.err;
  for (const VoceFormato& v : voci_formato()) {
    const size_t sezione =
        e.out.find("  " + std::string(v.sezione) + "\n",
                   v.sorgente == SorgenteFormato::kLinea ? 0 : e.out.find("Service source"));
    ASSERT_NE(sezione, std::string::npos) << v.sezione;
    const size_t voce = e.out.find("    " + std::string(v.parola) + " ", sezione);
    ASSERT_NE(voce, std::string::npos) << v.parola;
    // Under its own section: no other header stands between them.
    EXPECT_EQ(e.out.substr(sezione + 3, voce - sezione - 3).find("  ["), std::string::npos)
        << v.parola;
  }
}

TEST(ComandoExplainTest, AKeywordShowsItsFieldsAndAMistypedOneTheNearest) {
  const struct {
    std::vector<std::string> argomenti;
    int stato;
    const char* in_out;  // "" for no output
    const char* in_err;  // "" for nothing on the error stream
  } casi[] = {
      {{"explain", "segnale"}, 0, "  11     tempo ", ""},
      {{"explain", "STAZIONE"}, 0, "  17     nome ", ""},
      {{"explain", "numero", "vetture"},
       0,
       "numero vetture (service source, section [generale])",
       ""},
      {{"explain", "curvas5"}, 0, "curvad4,  300,  100", ""},
      {{"explain", "pendnza"},
       0,
       "  2      pendenza     per mille  -100..155",
       "\"pendnza\" is not a keyword; did you mean \"pendenza\"?"},
      {{"explain", "cartello-indicatore"},
       0,
       "cartello_indicatore (route source",
       "did you mean \"cartello_indicatore\"?"},
      {{"explain", "xyz"}, 1, "", "\"xyz\" is not a keyword"},
      {{"explain", "--markdown", "segnale"}, 2, "", "--markdown takes no keyword"},
      {{"explain", "--textmate", "segnale"}, 2, "", "--textmate takes no keyword"},
      {{"explain", "--markdown", "--textmate"}, 2, "", "go one at a time"},
  };
  for (const auto& c : casi) {
    const EsitoStrumento e = esegui_prova(c.argomenti);
    EXPECT_EQ(e.stato, c.stato) << c.argomenti[1] << e.err;
    if (*c.in_out == '\0') {
      EXPECT_EQ(e.out, "") << c.argomenti[1];
    } else {
      EXPECT_NE(e.out.find(c.in_out), std::string::npos) << c.argomenti[1] << "\n" << e.out;
    }
    if (*c.in_err == '\0') {
      EXPECT_EQ(e.err, "") << c.argomenti[1];
    } else {
      EXPECT_NE(e.err.find(c.in_err), std::string::npos) << c.argomenti[1] << "\n" << e.err;
    }
  }
}

TEST(ComandoExplainTest, TheCommittedReferencePageIsTheOneTheTableGives) {
  const EsitoStrumento e = esegui_prova({"explain", "--markdown"});
  ASSERT_EQ(e.stato, 0) << e.err;
  EXPECT_TRUE(e.out == leggi_file(PAGINA_FORMATO))
      << "docs/formato.md is out of date: build the target formato_doc and commit the page";
}

TEST(ComandoExplainTest, TheCommittedGrammarIsTheOneTheTableGives) {
  const EsitoStrumento e = esegui_prova({"explain", "--textmate"});
  ASSERT_EQ(e.stato, 0) << e.err;
  EXPECT_TRUE(e.out == leggi_file(GRAMMATICA_VSCODE))
      << "editors/vscode/syntaxes/scenario.tmLanguage.json is out of date: build the target "
         "grammatica_vscode and commit the grammar";
}

TEST(ComandoNewTest, TheStartingScenarioCompilesWithNoDiagnosticAndStaysPut) {
  CartellaTemporanea t;
  const fs::path dir = t.percorso() / "nuovo";
  const EsitoStrumento nuovo = esegui_prova({"new", "Valle", "7", dir.string()});
  ASSERT_EQ(nuovo.stato, 0) << nuovo.err;
  EXPECT_EQ(nuovo.out,
            "Valle_linea.txt\nValle_7-.txt\nValle_7_scheda_treno.txt\nValle_7_rallentamenti.txt\n"
            "Valle_7_note.txt\n");
  const EsitoStrumento c =
      esegui_prova({"compile", (dir / "Valle_linea.txt").string(), (dir / "Valle_7-.txt").string(),
                    "-o", (dir / "out").string()});
  EXPECT_EQ(c.stato, 0);
  EXPECT_EQ(c.err, "");
  EXPECT_EQ(c.out.find("Valle_7.dat") != std::string::npos, true) << c.out;
}

TEST(ComandoNewTest, AnExistingFileIsNamedAndKeptUnlessForced) {
  CartellaTemporanea t;
  const fs::path dir = t.percorso();
  const fs::path treno = dir / "Valle_7-.txt";
  scrivi_file_atomico(treno, "my own service source\r\n");

  const EsitoStrumento rifiutato = esegui_prova({"new", "Valle", "7", dir.string()});
  EXPECT_EQ(rifiutato.stato, 1);
  EXPECT_NE(rifiutato.err.find(treno.string() + ": error: already exists"), std::string::npos)
      << rifiutato.err;
  EXPECT_EQ(rifiutato.err.find("Valle_linea.txt"), std::string::npos) << rifiutato.err;
  EXPECT_EQ(t.nomi(), std::vector<std::string>{"Valle_7-.txt"});  // nothing written
  EXPECT_EQ(leggi_file(treno), "my own service source\r\n");

  const EsitoStrumento forzato = esegui_prova({"new", "Valle", "7", dir.string(), "--force"});
  EXPECT_EQ(forzato.stato, 0) << forzato.err;
  EXPECT_EQ(t.nomi().size(), 5u);
  EXPECT_NE(leggi_file(treno).find("stazione,"), std::string::npos);
}

}  // namespace
}  // namespace scenario
