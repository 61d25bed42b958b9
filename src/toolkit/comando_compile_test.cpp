// scenario compile: the generator's own build on a user's sources, with every
// recorded error reported at its file, line and column.

#include <gtest/gtest.h>

#include <map>
#include <optional>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "model/codici_errore.h"
#include "model/diagnostica.h"
#include "output/prova_uscita_test.h"
#include "platform/file_atomico.h"
#include "platform/percorsi_utf8.h"
#include "prove/cartella_temporanea_test.h"
#include "text/lettore_json.h"
#include "toolkit/prova_strumento_test.h"

namespace scenario {
namespace {
namespace fs = std::filesystem;

const FileScenario kCompilati[] = {FileScenario::kTracciato, FileScenario::kVoci,
                                   FileScenario::kCelle};

std::string nome_di(FileScenario f) {
  return nome_file(f, kNomeScenario, kNumeroTreno);
}

// Compares two compiled files without printing 760000 bytes when they
// differ: the first difference is named by its place, from the file's kind.
void stessi_byte(const fs::path& a, const fs::path& b) {
  const std::string x = leggi_file(a), y = leggi_file(b);
  EXPECT_TRUE(scenario::stessi_byte(x, y, riconosci_compilato(utf8_di(b.filename()), y)))
      << a << " and " << b;
}

TEST(ComandoCompileTest, SourcesThenCompileGiveTheGeneratorsFilesAndLeaveTheSourcesInPlace) {
  CartellaTemporanea generatore, autore;
  compila_come_generatore(generatore.percorso());

  const fs::path dir = autore.percorso();
  const EsitoStrumento fonti = esegui_prova({"sources", dir.string()});
  ASSERT_EQ(fonti.stato, 0) << fonti.err;
  const std::vector<std::string> testi = {
      "MorvessaC_Tolvarre_823-.txt", "MorvessaC_Tolvarre_823_note.txt",
      "MorvessaC_Tolvarre_823_rallentamenti.txt", "MorvessaC_Tolvarre_823_scheda_treno.txt",
      "MorvessaC_Tolvarre_linea.txt"};
  ASSERT_EQ(autore.nomi(), testi);  // the five text files and nothing else
  const fs::path linea = file_scenario(dir, FileScenario::kSorgenteLinea);
  const fs::path treno = file_scenario(dir, FileScenario::kSorgenteTreno);
  const std::string prima_linea = leggi_file(linea), prima_treno = leggi_file(treno);

  const EsitoStrumento e =
      esegui_prova({"compile", linea.string(), treno.string(), "-o", (dir / "out").string()});
  EXPECT_EQ(e.stato, 0);
  EXPECT_EQ(e.err, "");  // the carried scenario draws no warning
  for (FileScenario f : kCompilati) {
    stessi_byte(file_scenario(generatore.percorso(), f), dir / "out" / nome_di(f));
    EXPECT_TRUE(e.out.find(nome_di(f)) != std::string::npos) << e.out;
  }
  EXPECT_EQ(leggi_file(linea), prima_linea);
  EXPECT_EQ(leggi_file(treno), prima_treno);
  EXPECT_EQ(fs::directory_iterator(dir / "out") != fs::directory_iterator(), true);
}

TEST(ComandoCompileTest, NoPlanBuildsAsTheGeneratorDoesWithJZero) {
  CartellaTemporanea generatore, autore;
  compila_come_generatore(generatore.percorso(), 0);
  ASSERT_EQ(esegui_prova({"sources", autore.percorso().string()}).stato, 0);
  const fs::path dir = autore.percorso();
  const EsitoStrumento e =
      esegui_prova({"compile", file_scenario(dir, FileScenario::kSorgenteLinea).string(),
                    file_scenario(dir, FileScenario::kSorgenteTreno).string(), "--no-plan", "-o",
                    (dir / "out").string()});
  ASSERT_EQ(e.stato, 0) << e.err;
  EXPECT_FALSE(fs::exists(dir / "out" / nome_di(FileScenario::kTracciato)));
  stessi_byte(file_scenario(generatore.percorso(), FileScenario::kVoci),
              dir / "out" / nome_di(FileScenario::kVoci));
  stessi_byte(file_scenario(generatore.percorso(), FileScenario::kCelle),
              dir / "out" / nome_di(FileScenario::kCelle));
}

TEST(ComandoCompileTest, NamesComeFromTheSourceNamesOrFromTheOptions) {
  CartellaTemporanea cartella;
  const fs::path dir = cartella.percorso();
  ASSERT_EQ(esegui_prova({"sources", dir.string()}).stato, 0);
  fs::copy_file(file_scenario(dir, FileScenario::kSorgenteLinea), dir / "Altra_linea.txt");
  fs::copy_file(file_scenario(dir, FileScenario::kSorgenteTreno), dir / "Altra_42-.txt");
  fs::copy_file(file_scenario(dir, FileScenario::kSorgenteLinea), dir / "percorso.txt");
  fs::copy_file(file_scenario(dir, FileScenario::kSorgenteTreno), dir / "servizio.txt");

  EsitoStrumento e = esegui_prova({"compile", (dir / "Altra_linea.txt").string(),
                                   (dir / "Altra_42-.txt").string(), "-o", (dir / "a").string()});
  ASSERT_EQ(e.stato, 0) << e.err;
  for (const char* n : {"Altra_linea.dat", "Altra_42.sim", "Altra_42.dat"}) {
    EXPECT_TRUE(fs::exists(dir / "a" / n)) << n;
  }
  EXPECT_EQ(esegui_prova({"verify", (dir / "a").string()}).stato, 0);

  e = esegui_prova({"compile", (dir / "percorso.txt").string(), (dir / "servizio.txt").string(),
                    "--name", "Terza", "--train=7", "-o", (dir / "b").string()});
  ASSERT_EQ(e.stato, 0) << e.err;
  for (const char* n : {"Terza_linea.dat", "Terza_7.sim", "Terza_7.dat"}) {
    EXPECT_TRUE(fs::exists(dir / "b" / n)) << n;
  }
  EXPECT_EQ(esegui_prova({"verify", (dir / "b").string()}).stato, 0);
}

// --- broken sources ---

// A route of 3000 m (cells 0..200) with a curve, a gradient and a text board
// in cell 14; `cambia` replaces lines by number, `aggiungi` comes before [fine].
std::string linea_prova(const std::map<int, std::string>& cambia,
                        const std::vector<std::string>& aggiungi) {
  std::vector<std::string> r = {"[generale]",
                                "lunghezza percorso, 3000",
                                "progressiva chilometrica uno, 0, 132100, 0",
                                "ripetizione segnali 4 codici, 0, 0",
                                "[curve]",
                                "curvad4, 300, 100",
                                "pendenza, 0, -3",
                                "cartello_indicatore, 650, (Sottovia)"};
  for (const auto& [n, testo] : cambia) r[static_cast<size_t>(n - 1)] = testo;
  r.insert(r.end(), aggiungi.begin(), aggiungi.end());
  r.push_back("[fine]");
  std::string s;
  for (const std::string& riga : r) s += riga + "\r\n";
  return s;
}

// Profiles from 0, the origin station (its cell is 5) and a signal in cell 29.
std::string treno_prova(const std::map<int, std::string>& cambia,
                        const std::vector<std::string>& aggiungi) {
  std::vector<std::string> r = {
      "[generale]",
      "numero vetture, 8",
      "velocita, 0, 60",
      "aderenza, 0, 100",
      "stazione, 0, 2, 600, 0, 0, 0, 1, 1, 0, 4, 1, 1, 1, 10, 32, 0, ORIGINE",
      "segnale, 1400, 1, 4, 1, 0, 0, 0, 0, 0, 0, 0"};
  for (const auto& [n, testo] : cambia) r[static_cast<size_t>(n - 1)] = testo;
  r.insert(r.end(), aggiungi.begin(), aggiungi.end());
  r.push_back("[fine]");
  std::string s;
  for (const std::string& riga : r) s += riga + "\r\n";
  return s;
}

std::string stazione(int posizione, int lunghezza, const char* nome) {
  return "stazione, " + std::to_string(posizione) + ", 21, " + std::to_string(lunghezza) +
         ", 0, 0, 0, 0, 0, 0, 4, 1, 1, 0, 0, 0, 0, " + nome;
}

std::vector<std::string> cartelli(int quanti, int da) {
  std::vector<std::string> r;
  for (int k = 0; k < quanti; ++k) {
    r.push_back("cartello_indicatore, " + std::to_string(da + 50 * k) + ", (F)");
  }
  return r;
}

struct CasoErrore {
  int32_t codice;
  std::map<int, std::string> linea_cambia;
  std::vector<std::string> linea_aggiungi;
  std::map<int, std::string> treno_cambia;
  std::vector<std::string> treno_aggiungi;
  char file;  // 'L' route source, 'T' service source
  int riga;
  std::optional<int32_t> posizione;
  int stato;
  bool senza_linea = false;
  const char* dettaglio = "";                     // what a read failure adds to the sentence
  std::optional<int32_t> posizione_modello = {};  // posizione_errore, when not `posizione`
  const char* nota = "";                          // a note that must follow
};

TEST(ComandoCompileTest, EachRecordedErrorIsReportedWithItsFileLineColumnAndPosition) {
  const std::string segnale_800 = "segnale, 800, 1, 4, 1, 0, 0, 0, 0, 0, 0, 0";
  const CasoErrore casi[] = {
      {1, {{2, "lunghezza percorso, 1000001"}}, {}, {}, {}, 'L', 2, {}, 1},
      {25,
       {{2, "lunghezza percorso, -7000"}},
       {},
       {},
       {},
       'L',
       2,
       {},
       1,
       false,
       "a route length of -7000 m is too short to build: keep it in 1..1000000 (the shortest "
       "that builds is -6974 m)"},
      {3, {{4, "ripetizione segnali 4 codici, 25, 0"}}, {}, {}, {}, 'L', 4, {}, 3},
      {4, {{4, "ripetizione segnali 4 codici, 0, 25"}}, {}, {}, {}, 'L', 4, {}, 3},
      {5, {{4, "ripetizione segnali codici, 0, 0"}}, {}, {}, {}, 'L', 4, {}, 3},
      {6, {}, {"cartello_indicatore, 650, (Bis)"}, {}, {}, 'L', 9, 650, 3},
      // The code still stands when the service source reaches its signal,
      // which records its own position: a note shows where reading stopped.
      {15,
       {},
       {"pendenza, 20000, 1"},
       {},
       {},
       'L',
       9,
       20000,
       3,
       false,
       "",
       1400,
       "Prova_7-.txt:6:1: note: reading of this source stops here with error 15 still standing "
       "(position 1400 m)\nsegnale, 1400"},
      {15, {}, {}, {}, {"velocita, 20000, 60"}, 'T', 7, 20000, 3},
      {21, {}, {"indicatori_vmax, 650, 75, 80, 80, 0, , , , 0"}, {}, {}, 'L', 9, 650, 3},
      {25,
       {},
       {"pendenza, 1000, abc"},
       {},
       {},
       'L',
       9,
       {},
       3,
       false,
       "pendenza: field 2 (pendenza) holds \"abc\": a whole number is expected"},
      {103, {{6, "curvad, 300, 100"}}, {}, {}, {}, 'L', 6, {}, 3},
      // Said in metres of the route, not in rows of the plan.
      {25,
       {{6, "curvad4, 2000, 8000"}},
       {},
       {},
       {},
       'L',
       6,
       {},
       3,
       false,
       "a curve ending at 10000 m runs past the route's plan, which ends at 9998 m (the route "
       "length plus 6998 m)"},
      // Pointed at the header that was meant as "[generale]".
      {102,
       {{1, "[genrale]"}},
       {},
       {},
       {},
       'L',
       1,
       {},
       1,
       false,
       "",
       {},
       "scenario: error: nothing to build: reading the route source ended with error 102 before "
       "the route's length was taken; nothing was compiled"},
      {101, {}, {}, {}, {}, 'L', 0, {}, 1, true, "; nothing was compiled"},
      {2, {{3, "progressiva chilometrica uno, 25, 132100, 0"}}, {}, {}, {}, 'L', 0, {}, 3},
      {7, {}, {}, {}, {"abbattimento, 250, 100"}, 'T', 7, 250, 3},
      {8, {}, {}, {}, {stazione(1525, 300, "MEZZO")}, 'T', 7, 1525, 3},
      {9, {}, {}, {}, {stazione(1500, 350, "MEZZO")}, 'T', 7, 1500, 3},
      {10, {}, cartelli(78, 700), {}, {}, 'T', 5, {}, 3},
      {16, {}, {}, {}, {"segnale, 1400, 2, 4, 1, 0, 0, 0, 0, 0, 0, 0"}, 'T', 7, 1400, 3},
      {17, {}, {}, {}, {segnale_800, "rallentamento, 2000, 30, 200, 1, 0, 0"}, 'T', 8, 2000, 3},
      {18,
       {},
       {},
       {},
       {"segnale, 2000, 1, 4, 1, 0, 0, 0, 0, 0, 0, 0", "rallentamento, 2000, 30, 200, 1, 0, 0"},
       'T',
       8,
       2000,
       3},
      {19,
       {},
       {},
       {},
       {"segnale, 2200, 1, 4, 1, 0, 0, 0, 0, 0, 0, 0", "rallentamento, 2000, 30, 200, 1, 0, 0"},
       'T',
       8,
       2000,
       3},
      {20, {}, {}, {}, {"rallentamento, 2000, 30, 200, 1, 1, 0"}, 'T', 7, 2000, 3},
      {22, {}, {}, {}, {stazione(1000, 300, "UNO"), stazione(1300, 300, "DUE")}, 'T', 8, 1300, 3},
      {24,
       {},
       {},
       {{5, "stazione, 0, 2, 100, 0, 0, 0, 1, 1, 0, 4, 1, 1, 1, 10, 32, 0, ORIGINE"}},
       {},
       'T',
       5,
       {},
       3},
  };
  for (const CasoErrore& c : casi) {
    SCOPED_TRACE("error " + std::to_string(c.codice));
    CartellaTemporanea cartella;
    const fs::path linea = cartella.percorso() / "Prova_linea.txt";
    const fs::path treno = cartella.percorso() / "Prova_7-.txt";
    const std::string testo_linea = linea_prova(c.linea_cambia, c.linea_aggiungi);
    const std::string testo_treno = treno_prova(c.treno_cambia, c.treno_aggiungi);
    if (!c.senza_linea) scrivi_file_atomico(linea, testo_linea);
    scrivi_file_atomico(treno, testo_treno);

    const EsitoStrumento e =
        esegui_prova({"compile", linea.string(), treno.string(), "-o",
                      (cartella.percorso() / "out").string(), "--json", "--text-diagnostics"});
    EXPECT_EQ(e.stato, c.stato) << e.err;
    const fs::path& file = c.file == 'L' ? linea : treno;
    // FILE:LINE:COL: error CODE: the entry's field, what is wrong (position P m),
    // then the source line and a caret under the field.
    const std::string prefisso =
        file.string() + ":" + (c.riga > 0 ? std::to_string(c.riga) + ":" : "");
    const std::string errore_n = " error " + std::to_string(c.codice) + ": ";
    size_t inizio = e.err.find(prefisso);
    while (inizio != std::string::npos && e.err.find(errore_n, inizio) > e.err.find('\n', inizio)) {
      inizio = e.err.find(prefisso, inizio + 1);
    }
    ASSERT_NE(inizio, std::string::npos) << e.err;
    const size_t fine = e.err.find('\n', inizio);
    const std::string prima = e.err.substr(inizio, fine - inizio);
    if (c.codice != 25) {
      EXPECT_NE(prima.find(descrizione_errore(c.codice)), std::string::npos) << prima;
    }
    EXPECT_NE(prima.find(c.dettaglio), std::string::npos) << prima;
    if (c.posizione) {
      EXPECT_NE(prima.find(" (position " + std::to_string(*c.posizione) + " m)"), std::string::npos)
          << prima;
    }
    if (c.riga > 0) {
      const std::string sorgente =
          riga_del_testo(c.file == 'L' ? testo_linea : testo_treno, c.riga);
      EXPECT_EQ(e.err.substr(fine + 1, sorgente.size() + 1), sorgente + "\n") << e.err;
      const size_t caret = fine + 1 + sorgente.size() + 1;
      EXPECT_NE(e.err.substr(caret, e.err.find('\n', caret) - caret).find('^'), std::string::npos);
    }

    const ValoreJson j = leggi_json(e.out);
    EXPECT_EQ(j["status"].intero, c.stato);
    EXPECT_EQ(j["codice_errore"].intero, c.codice);
    if (c.posizione_modello || c.posizione) {
      EXPECT_EQ(j["posizione_errore"].intero,
                c.posizione_modello ? *c.posizione_modello : *c.posizione);
    }
    EXPECT_NE(e.err.find(c.nota), std::string::npos) << e.err;
    const ValoreJson& d = j["diagnostics"];
    ASSERT_GE(d.lista.size(), 1u);
    const ValoreJson& errore = d[0];
    EXPECT_EQ(errore["level"].stringa, "error");
    EXPECT_EQ(errore["code"].intero, c.codice);
    EXPECT_EQ(errore["file"].stringa, file.string());
    EXPECT_EQ(j["files"].lista.size(), c.stato == 3 ? 3u : 0u);
    // The user's sources are never deleted or changed, whatever went wrong.
    if (!c.senza_linea) {
      EXPECT_EQ(leggi_file(linea), testo_linea);
    }
    EXPECT_EQ(leggi_file(treno), testo_treno);
  }
}

TEST(ComandoCompileTest, AFailedModelCheckEndsWithStatusTwoAndNoCompiledFile) {
  const struct {
    const char* nome;
    const char* linea;
    const char* treno;
    const char* nota;  // after the file's name, the note naming the entry that took cell 1;
                       // nullptr when none took it
  } casi[] = {
      // Boards in cells 2 and 3 leave cell 1 as the only room for the
      // approach code cell 20 cells before a slowdown starting in cell 21:
      // the marker of cell 1 then finds its place taken, by no entry of the
      // sources.
      {"the placement pass fills cell 1",
       "[generale]\r\nlunghezza percorso, 3000\r\n[curve]\r\n"
       "cartello_indicatore, 50, (A)\r\ncartello_indicatore, 100, (B)\r\n[fine]\r\n",
       "[generale]\r\nrallentamento, 1000, 30, 200, 1, 0, 0\r\n[fine]\r\n", nullptr},
      // An abbattimento at 50 m marks cell 50 / 50 = 1 with its value.
      {"an abbattimento takes cell 1", "[generale]\r\nlunghezza percorso, 1000\r\n[fine]\r\n",
       "[generale]\r\nabbattimento,   50,   5\r\n[fine]\r\n",
       ":2:17: note: the abbattimento here takes cell 1\n"
       "abbattimento,   50,   5\n"
       "                ^~\n"},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    CartellaTemporanea cartella;
    const fs::path linea = cartella.percorso() / "Prova_linea.txt";
    const fs::path treno = cartella.percorso() / "Prova_7-.txt";
    scrivi_file_atomico(linea, c.linea);
    scrivi_file_atomico(treno, c.treno);
    const fs::path out = cartella.percorso() / "out";
    const EsitoStrumento e =
        esegui_prova({"compile", linea.string(), treno.string(), "-o", out.string()});
    EXPECT_EQ(e.stato, 2);
    EXPECT_EQ(e.out, "");
    EXPECT_EQ(
        e.err.rfind(
            "scenario: error 1250: cell 1, where every scenario carries a marker, already holds",
            0),
        0u)
        << e.err;
    if (c.nota != nullptr) {
      // Right after the error, at the entry's position field.
      const size_t dopo_errore = e.err.find('\n') + 1;
      EXPECT_EQ(e.err.substr(dopo_errore), treno.string() + c.nota) << e.err;
    } else {
      EXPECT_EQ(e.err.find("note"), std::string::npos) << e.err;
    }
    EXPECT_TRUE(fs::is_empty(out));
  }
}

// A route source whose [generale] lacks its length is refused where the
// section ends, in the author's words, whether or not a plan table is built.
TEST(ComandoCompileTest, AMissingRouteLengthIsReportedWhereGeneraleEnds) {
  for (const bool senza_tracciato : {false, true}) {
    SCOPED_TRACE(senza_tracciato ? "--no-plan" : "with the plan table");
    CartellaTemporanea cartella;
    const fs::path linea = cartella.percorso() / "Prova_linea.txt";
    const fs::path treno = cartella.percorso() / "Prova_7-.txt";
    scrivi_file_atomico(linea, linea_prova({{2, "lunghezza percoso, 3000"}}, {}));
    scrivi_file_atomico(treno, treno_prova({}, {}));
    const fs::path out = cartella.percorso() / "out";
    std::vector<std::string> a = {"compile", linea.string(), treno.string(), "-o", out.string()};
    if (senza_tracciato) a.push_back("--no-plan");
    const EsitoStrumento e = esegui_prova(a);
    EXPECT_EQ(e.stato, 1);
    EXPECT_NE(e.err.find(linea.string() +
                         ":5:1: error 25: an entry is malformed, incomplete or outside the limits "
                         "of the route model: the [generale] section gives no \"lunghezza "
                         "percorso\" entry: the route's length must come before the route's "
                         "entries\n[curve]\n"),
              std::string::npos)
        << e.err;
    EXPECT_NE(e.err.find("error 25 before the route's length was taken; nothing was compiled\n"),
              std::string::npos)
        << e.err;
    for (const char* interno : {"cell array", "plan table"}) {
      EXPECT_EQ(e.err.find(interno), std::string::npos) << e.err;
    }
    EXPECT_TRUE(!fs::exists(out) || fs::is_empty(out));
  }
}

// --- warnings ---

// The carried scenario's sources in `dir`, with line `riga` of the route
// source replaced (or removed, when `testo` is empty).
void sorgenti_con_riga(const fs::path& dir, int riga, const std::string& testo) {
  ASSERT_EQ(esegui_prova({"sources", dir.string()}).stato, 0);
  const fs::path linea = file_scenario(dir, FileScenario::kSorgenteLinea);
  std::string s = leggi_file(linea);
  size_t inizio = 0;
  for (int r = 1; r < riga; ++r) inizio = s.find("\r\n", inizio) + 2;
  const size_t fine = s.find("\r\n", inizio) + 2;
  s.replace(inizio, fine - inizio, testo.empty() ? "" : testo + "\r\n");
  scrivi_file_atomico(linea, s);
}

EsitoStrumento compila(const fs::path& dir, std::vector<std::string> opzioni = {}) {
  std::vector<std::string> a = {
      "compile", file_scenario(dir, FileScenario::kSorgenteLinea).string(),
      file_scenario(dir, FileScenario::kSorgenteTreno).string(), "-o", (dir / "out").string()};
  a.insert(a.end(), opzioni.begin(), opzioni.end());
  return esegui_prova(a);
}

TEST(ComandoCompileTest, AMistypedKeywordWarnsAtItsLineAndChangesNothingWritten) {
  // Line 97 of the route source is "pendenza,  150,   3".
  CartellaTemporanea refuso, senza_riga, zitto, severo;
  sorgenti_con_riga(refuso.percorso(), 97, "pendnza,  150,   3");
  sorgenti_con_riga(senza_riga.percorso(), 97, "");
  sorgenti_con_riga(zitto.percorso(), 97, "pendnza,  150,   3");
  sorgenti_con_riga(severo.percorso(), 97, "pendnza,  150,   3");

  const EsitoStrumento e = compila(refuso.percorso());
  EXPECT_EQ(e.stato, 0);
  const std::string linea = file_scenario(refuso.percorso(), FileScenario::kSorgenteLinea).string();
  EXPECT_EQ(e.err, linea +
                       ":97:1: warning: \"pendnza\" is not a keyword; it is ignored with the rest "
                       "of its line; did you mean \"pendenza\"? [-Wunknown-keyword]\n"
                       "pendnza,  150,   3\n"
                       "^~~~~~~\n");
  ASSERT_EQ(compila(senza_riga.percorso()).stato, 0);

  const EsitoStrumento z = compila(zitto.percorso(), {"-Wno-unknown-keyword"});
  EXPECT_EQ(z.stato, 0);
  EXPECT_EQ(z.err, "");

  const EsitoStrumento s = compila(severo.percorso(), {"-Werror"});
  EXPECT_EQ(s.stato, 3);
  EXPECT_NE(s.err.find(":97:1: error: \"pendnza\""), std::string::npos) << s.err;
  EXPECT_NE(s.err.find("[-Werror=unknown-keyword]"), std::string::npos) << s.err;

  // The ignored line reads as if it were not there, with or without the warning.
  for (FileScenario f : kCompilati) {
    stessi_byte(senza_riga.percorso() / "out" / nome_di(f), refuso.percorso() / "out" / nome_di(f));
    stessi_byte(senza_riga.percorso() / "out" / nome_di(f), zitto.percorso() / "out" / nome_di(f));
    stessi_byte(senza_riga.percorso() / "out" / nome_di(f), severo.percorso() / "out" / nome_di(f));
  }
}

TEST(ComandoCompileTest, WarnsAboutWrappedValuesAndEntriesOutOfRouteOrder) {
  CartellaTemporanea cartella;
  const fs::path linea = cartella.percorso() / "Prova_linea.txt";
  const fs::path treno = cartella.percorso() / "Prova_7-.txt";
  scrivi_file_atomico(
      linea, linea_prova({}, {"pendenza, 1000, 5", "pendenza, 500, 3", "pendenza, 1500, 200"}));
  scrivi_file_atomico(
      treno, treno_prova({}, {"velocita, 2000, 75", "velocita, 1000, 65", "aderenza, 650, 300",
                              stazione(2500, 300, "DOPO"), stazione(1500, 300, "PRIMA")}));
  const EsitoStrumento e =
      esegui_prova({"compile", linea.string(), treno.string(), "-o",
                    (cartella.percorso() / "out").string(), "--json", "--text-diagnostics"});
  const ValoreJson j = leggi_json(e.out);
  std::vector<std::string> visti;
  for (const ValoreJson& d : j["diagnostics"].lista) {
    visti.push_back(d["level"].stringa + " " +
                    (d["warning"].tipo == ValoreJson::kStringa ? d["warning"].stringa
                                                               : std::to_string(d["code"].intero)) +
                    " line " + std::to_string(d["line"].intero));
  }
  // The stations out of order also break the 350 m rule: the warning says why.
  EXPECT_EQ(visti, (std::vector<std::string>{
                       "warning route-order line 10", "warning wrapped-value line 11",
                       "warning route-order line 8", "warning wrapped-value line 9",
                       "warning route-order line 11", "error 22 line 11"}));
  // Each at the field it is about: the value that wraps, the position out of order.
  EXPECT_NE(e.err.find(":11:17: warning: gradient 200 does not fit its cell: it is kept as -56 "
                       "[-Wwrapped-value]"),
            std::string::npos)
      << e.err;
  EXPECT_NE(e.err.find(":10:11: warning: the gradient from 500 m does not come after"),
            std::string::npos)
      << e.err;
  EXPECT_EQ(e.stato, 3);

  const EsitoStrumento zitto = esegui_prova(
      {"compile", linea.string(), treno.string(), "-o", (cartella.percorso() / "out").string(),
       "-Wno-route-order", "-Wno-wrapped-value", "-Wno-out-of-range"});
  EXPECT_EQ(zitto.err.find("warning"), std::string::npos) << zitto.err;
}

// --- what reaches the author's screen ---

// Whether `s` is well-formed UTF-8 (no stray byte, no overlong form, no surrogate).
bool utf8_valido(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    const size_t n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    uint32_t cp = n == 1 ? b : b & (0x7F >> n);
    for (size_t k = 1; k < n; ++k) {
      const auto c = static_cast<unsigned char>(s[i + k]);
      if ((c & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (c & 0x3F);
    }
    if ((n == 2 && cp < 0x80) || (n == 3 && cp < 0x800) || (n == 4 && cp < 0x10000) ||
        (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) {
      return false;
    }
    i += n;
  }
  return true;
}

TEST(ComandoCompileTest, WindowsCharactersInAQuotedFieldReachJsonAndTerminalAsUtf8) {
  // "\xB0" is the degree sign and "\xE8" the e with grave accent in Windows-1252.
  const struct {
    const char* nome;
    std::string riga;  // added to the route source
    const char* citato;
    int colonna, larghezza;  // of the field, in characters: one per Windows-1252 byte
  } casi[] = {
      {"a number field that ends in a degree sign", "pendenza, 1000, 5\xB0", "\xC2\xB0", 17, 2},
      {"a keyword with an accented letter", "pendenz\xE8, 1000, 5", "pendenz\xC3\xA8", 1, 8},
      {"a keyword in curly quotes", "\x93pendnza\x94, 1000, 5", "\xE2\x80\x9Cpendnza", 1, 9},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    CartellaTemporanea cartella;
    const fs::path linea = cartella.percorso() / "Prova_linea.txt";
    const fs::path treno = cartella.percorso() / "Prova_7-.txt";
    scrivi_file_atomico(linea, linea_prova({}, {c.riga}));
    scrivi_file_atomico(treno, treno_prova({}, {}));
    const std::vector<std::string> a = {"compile", linea.string(), treno.string(), "-o",
                                        (cartella.percorso() / "out").string()};
    std::vector<std::string> con_json = a;
    con_json.insert(con_json.end(), {"--json", "--text-diagnostics"});
    const EsitoStrumento j = esegui_prova(con_json);
    EXPECT_TRUE(utf8_valido(j.out)) << j.out;
    EXPECT_TRUE(utf8_valido(j.err)) << j.err;
    const ValoreJson v = leggi_json(j.out);
    ASSERT_GE(v["diagnostics"].lista.size(), 1u);
    const ValoreJson& d = v["diagnostics"][0];
    EXPECT_NE(d["message"].stringa.find(c.citato), std::string::npos) << d["message"].stringa;
    EXPECT_NE(d["source_line"].stringa.find(c.citato), std::string::npos);
    EXPECT_EQ(d["column"].intero, c.colonna);
    EXPECT_EQ(d["width"].intero, c.larghezza);
    const EsitoStrumento t = esegui_prova(a);
    EXPECT_TRUE(utf8_valido(t.err)) << t.err;
    EXPECT_NE(t.err.find(c.citato), std::string::npos) << t.err;
  }
}

TEST(ComandoCompileTest, WithJsonStandardOutputHoldsTheObjectAloneAndTextOnlyWhenAsked) {
  CartellaTemporanea cartella;
  const fs::path linea = cartella.percorso() / "Prova_linea.txt";
  const fs::path treno = cartella.percorso() / "Prova_7-.txt";
  // One warning and one recorded error.
  scrivi_file_atomico(linea, linea_prova({}, {"pendnza, 1000, 5"}));
  scrivi_file_atomico(treno, treno_prova({}, {"velocita, 20000, 60"}));
  const std::vector<std::string> a = {
      "compile", linea.string(), treno.string(), "-o", (cartella.percorso() / "out").string(),
      "--json"};
  const EsitoStrumento zitto = esegui_prova(a);
  EXPECT_EQ(zitto.stato, 3);
  EXPECT_EQ(zitto.err, "");
  EXPECT_EQ(leggi_json(zitto.out)["diagnostics"].lista.size(), 2u);

  std::vector<std::string> chiesto = a;
  chiesto.push_back("--text-diagnostics");
  const EsitoStrumento testo = esegui_prova(chiesto);
  EXPECT_EQ(testo.out, zitto.out);
  EXPECT_NE(testo.err.find("warning: \"pendnza\""), std::string::npos) << testo.err;
  EXPECT_NE(testo.err.find("error 15"), std::string::npos) << testo.err;
}

TEST(ComandoCompileTest, ASourceThatCannotBeReadIsStatusOneWithNothingWritten) {
  const struct {
    const char* nome;
    bool linea_cartella, treno_cartella, senza_linea, senza_treno;
    const char* nominato;
    int32_t codice;
  } casi[] = {
      {"the route source missing", false, false, true, false, "Prova_linea.txt", 101},
      {"the service source missing", false, false, false, true, "Prova_7-.txt", 0},
      {"both missing", false, false, true, true, "Prova_linea.txt", 101},
      {"the route source a folder", true, false, false, false, "Prova_linea.txt", 0},
      {"the service source a folder", false, true, false, false, "Prova_7-.txt", 0},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    CartellaTemporanea cartella;
    const fs::path linea = cartella.percorso() / "Prova_linea.txt";
    const fs::path treno = cartella.percorso() / "Prova_7-.txt";
    const fs::path out = cartella.percorso() / "out";
    if (c.linea_cartella) {
      fs::create_directory(linea);
    } else if (!c.senza_linea) {
      scrivi_file_atomico(linea, linea_prova({}, {}));
    }
    if (c.treno_cartella) {
      fs::create_directory(treno);
    } else if (!c.senza_treno) {
      scrivi_file_atomico(treno, treno_prova({}, {}));
    }
    const EsitoStrumento e =
        esegui_prova({"compile", linea.string(), treno.string(), "-o", out.string()});
    EXPECT_EQ(e.stato, 1);
    EXPECT_EQ(e.out, "");
    EXPECT_NE(e.err.find(c.nominato), std::string::npos) << e.err;
    EXPECT_NE(e.err.find("nothing was compiled"), std::string::npos) << e.err;
    EXPECT_FALSE(fs::exists(out));

    const EsitoStrumento j =
        esegui_prova({"compile", linea.string(), treno.string(), "-o", out.string(), "--json"});
    EXPECT_EQ(j.stato, 1);
    const ValoreJson v = leggi_json(j.out);
    EXPECT_EQ(v["status"].intero, 1);
    EXPECT_EQ(v["codice_errore"].intero, c.codice);
    EXPECT_EQ(v["files"].lista.size(), 0u);
    EXPECT_FALSE(fs::exists(out));
  }
#ifndef _WIN32
  // A file its owner may not read (root reads it all the same).
  if (geteuid() != 0) {
    CartellaTemporanea cartella;
    const fs::path linea = cartella.percorso() / "Prova_linea.txt";
    const fs::path treno = cartella.percorso() / "Prova_7-.txt";
    scrivi_file_atomico(linea, linea_prova({}, {}));
    scrivi_file_atomico(treno, treno_prova({}, {}));
    fs::permissions(treno, fs::perms::none);
    const fs::path out = cartella.percorso() / "out";
    const EsitoStrumento e =
        esegui_prova({"compile", linea.string(), treno.string(), "-o", out.string()});
    fs::permissions(treno, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(e.stato, 1);
    EXPECT_NE(e.err.find("the service source cannot be read"), std::string::npos) << e.err;
    EXPECT_FALSE(fs::exists(out));
  }
#endif
}

}  // namespace
}  // namespace scenario

namespace scenario {
namespace {

// Every diagnostic points at the field that causes it, by the entry's keyword,
// the field's number and its name from the format table, with "~" under the
// rest of the field; a missing field is reported on the entry's own line.
TEST(ComandoCompileTest, AReadErrorPointsAtItsFieldByNumberAndName) {
  const struct {
    std::vector<std::string> treno;  // service entries added after the example's
    std::string prima_riga;          // after "FILE:"
    std::string caret;               // the caret line
  } casi[] = {
      {{"segnale, 3000, 1, 4, 12.5, 0, 0, 0, 0, 0, 0, 0"},
       "7:22: error 25: segnale: field 4 (s2) holds \"12.5\": a whole number is expected",
       "                     ^~~~"},
      {{"segnale, 3000, 1, 4, 1, 0, 0, 0, 0, 0, 0", "segnale, 3400, 1, 4, 1, 0, 0, 0, 0, 0, 0, 0"},
       "7:1: error 25: segnale takes 11 fields after its keyword, found 10 on its line; the "
       "reader took line 8's \"segnale\" for field 11",
       "^~~~~~~"},
      {{"stazione, 3000, 300, 600, 0, 0, 0, 1, 1, 0, 4, 1, 1, 1, 10, 32, 0, FINE"},
       "7:17: error 25: stazione: field 2 (tipo) holds \"300\": a whole number from 0 to 255 is "
       "expected",
       "                ^~~"},
      {{"stazione, 3025, 21, 300, 0, 0, 0, 1, 1, 0, 4, 1, 1, 1, 10, 32, 0, FINE"},
       "7:11: error 8: stazione: field 1 (posizione) holds \"3025\": a station position is not a "
       "multiple of 50 (position 3025 m)",
       "          ^~~~"},
      {{"aderenza, 3000, 999999999999"},
       "7:17: error 25: aderenza: field 2 (aderenza) holds \"999999999999\": a whole number from "
       "-2147483648 to 2147483647 is expected",
       "                ^~~~~~~~~~~~"},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.prima_riga);
    CartellaTemporanea cartella;
    const fs::path linea = cartella.percorso() / "Prova_linea.txt";
    const fs::path treno = cartella.percorso() / "Prova_7-.txt";
    scrivi_file_atomico(linea, linea_prova({}, {}));
    scrivi_file_atomico(treno, treno_prova({}, c.treno));
    const EsitoStrumento e = esegui_prova(
        {"compile", linea.string(), treno.string(), "-o", (cartella.percorso() / "out").string()});
    EXPECT_EQ(e.stato, 3);
    const std::string atteso = treno.string() + ":" + c.prima_riga + "\n" +
                               riga_del_testo(treno_prova({}, c.treno), 7) + "\n" + c.caret + "\n";
    EXPECT_NE(e.err.find(atteso), std::string::npos) << "expected:\n"
                                                     << atteso << "got:\n"
                                                     << e.err;
  }
}

}  // namespace
}  // namespace scenario
