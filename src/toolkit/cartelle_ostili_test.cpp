// Hostile folders and files: a folder where nothing can be written, a disk
// that fills during a write, a source that is a folder, lines of megabytes,
// NUL and undefined bytes, paths with spaces and accents, the longest route.
// Each ends with a clear message and the right exit status, and no earlier
// file is lost.

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "output/decodifica_compilati.h"
#include "output/prova_uscita_test.h"
#include "platform/file_atomico.h"
#include "prove/cartella_temporanea_test.h"
#include "text/nomi_file.h"
#include "text/scenario_testi.h"
#include "toolkit/strumento.h"

namespace scenario {
namespace {
namespace fs = std::filesystem;

struct Esito {
  int stato = -1;
  std::string out;
  std::string err;
};

// The toolkit, in this process.
Esito strumento(const std::vector<std::string>& argomenti) {
  std::ostringstream out, err;
  Esito e;
  e.stato = esegui_strumento(argomenti, out, err);
  e.out = out.str();
  e.err = err.str();
  return e;
}

// Every file in a folder with its bytes; a folder shows as "<folder>".
[[maybe_unused]] std::map<std::string, std::string> contenuto(const fs::path& cartella) {
  std::map<std::string, std::string> c;
  for (const auto& e : fs::directory_iterator(cartella)) {
    c[e.path().filename().string()] = e.is_directory() ? "<folder>" : leggi_file(e.path());
  }
  return c;
}

bool contiene(const std::string& testo, const std::string& parte) {
  return testo.find(parte) != std::string::npos;
}

// The carried scenario's two sources in `cartella`, as the toolkit's
// "sources" writes them.
struct Sorgenti {
  fs::path linea, treno;
};
Sorgenti sorgenti_portate(const fs::path& cartella) {
  scrivi_testi_scenario(cartella, kNomeScenario, kNumeroTreno);
  return {percorso_file(cartella, FileScenario::kSorgenteLinea, kNomeScenario, kNumeroTreno),
          percorso_file(cartella, FileScenario::kSorgenteTreno, kNomeScenario, kNumeroTreno)};
}

// The route source with `riga` added before its closing "[fine]".
void aggiungi_alla_linea(const fs::path& linea, const std::string& riga) {
  std::string s = leggi_file(linea);
  const size_t fine = s.rfind("[fine]");
  ASSERT_NE(fine, std::string::npos);
  s.insert(fine, riga + "\r\n");
  scrivi_file_atomico(linea, s);
}

// A literal's bytes, NULs included.
template <size_t N>
std::string byte(const char (&s)[N]) {
  return std::string(s, N - 1);
}

std::string u8(std::u8string_view s) {
  return std::string(s.begin(), s.end());
}

std::string compilato(FileScenario f) {
  return nome_file(f, kNomeScenario, kNumeroTreno);
}

#ifndef _WIN32

constexpr rlim_t kSenzaLimite = RLIM_INFINITY;

// Starts `programma` in `cartella` with every file it writes limited to
// `limite` bytes: a write past the limit fails as on a full disk (SIGXFSZ is
// ignored, so the write returns EFBIG). Standard output and error come back
// through pipes, which the limit does not touch.
Esito avvia_limitato(const fs::path& programma, const std::vector<std::string>& argomenti,
                     const fs::path& cartella, rlim_t limite) {
  std::vector<std::string> parole = {programma.string()};
  parole.insert(parole.end(), argomenti.begin(), argomenti.end());
  std::vector<char*> argv;
  for (std::string& p : parole) argv.push_back(p.data());
  argv.push_back(nullptr);
  const std::string dir = cartella.string();
  int tubo_out[2], tubo_err[2];
  if (pipe(tubo_out) != 0 || pipe(tubo_err) != 0) return {};
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(tubo_out[1], 1);
    dup2(tubo_err[1], 2);
    close(tubo_out[0]);
    close(tubo_err[0]);
    const rlimit r{limite, limite};
    signal(SIGXFSZ, SIG_IGN);
    if (chdir(dir.c_str()) != 0 || setrlimit(RLIMIT_FSIZE, &r) != 0) _exit(126);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(tubo_out[1]);
  close(tubo_err[1]);
  Esito e;
  // Both outputs are short: one pipe is drained after the other.
  char buf[4096];
  for (ssize_t n; (n = read(tubo_out[0], buf, sizeof buf)) > 0;) e.out.append(buf, size_t(n));
  for (ssize_t n; (n = read(tubo_err[0], buf, sizeof buf)) > 0;) e.err.append(buf, size_t(n));
  close(tubo_out[0]);
  close(tubo_err[0]);
  int stato = 0;
  waitpid(pid, &stato, 0);
  e.stato = WIFEXITED(stato) ? WEXITSTATUS(stato) : -1;
  return e;
}

const std::string kFileTroppoGrande = std::generic_category().message(EFBIG);

TEST(CartelleOstiliTest, GeneratorThatCannotWriteEndsWithStatusOneKeepingEveryEarlierFile) {
  CartellaTemporanea programma;
  const fs::path generatore = programma.percorso() / "generatore";
  fs::copy_file(GENERATORE_ESEGUIBILE, generatore);
  ASSERT_EQ(avvia_limitato(generatore, {}, programma.percorso(), kSenzaLimite).stato, 0);
  const auto prima = contenuto(programma.percorso());

  struct Caso {
    const char* nome;
    rlim_t limite;
    std::string fallisce;  // the file whose write fails
  } casi[] = {
      // No file can grow: the first one, the route source, fails.
      {"a folder where nothing can be written", 0, "MorvessaC_Tolvarre_linea.txt"},
      // The text files fit; the 759964-byte plan file does not.
      {"a disk that fills during the plan file", 300000, compilato(FileScenario::kTracciato)},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    const Esito e = avvia_limitato(generatore, {}, programma.percorso(), c.limite);
    EXPECT_EQ(e.stato, 1);
    EXPECT_TRUE(contiene(e.err, "error: cannot write " +
                                    (programma.percorso() / c.fallisce).string() + ": " +
                                    kFileTroppoGrande))
        << e.err;
    // Every earlier file as it was, and nothing else: no temporary, no source.
    EXPECT_TRUE(contenuto(programma.percorso()) == prima);
  }
}

TEST(CartelleOstiliTest, CompileThatCannotWriteNamesTheFileAndKeepsTheEarlierOnes) {
  struct Caso {
    const char* nome;
    rlim_t limite;
    FileScenario occupato;  // held by a folder; kSorgenteLinea: none
    std::string detto;
    bool tracciato_nuovo;  // the plan file was replaced before the failure
  } casi[] = {
      {"a disk that fills during the plan file", 300000, FileScenario::kSorgenteLinea,
       "cannot write out/" + compilato(FileScenario::kTracciato) + ": " + kFileTroppoGrande, false},
      {"the items file's name held by a folder", kSenzaLimite, FileScenario::kVoci,
       "cannot replace out/" + compilato(FileScenario::kVoci) + ": " +
           std::generic_category().message(EISDIR),
       true},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    CartellaTemporanea cartella;
    const Sorgenti s = sorgenti_portate(cartella.percorso());
    const auto sorgenti = contenuto(cartella.percorso());
    const fs::path out = cartella.percorso() / "out";
    fs::create_directory(out);
    for (FileScenario f : {FileScenario::kTracciato, FileScenario::kVoci, FileScenario::kCelle}) {
      if (f == c.occupato) {
        fs::create_directory(out / compilato(f));
      } else {
        scrivi_file_atomico(out / compilato(f), "earlier " + compilato(f));
      }
    }
    const auto prima = contenuto(out);

    const Esito e = avvia_limitato(STRUMENTO_ESEGUIBILE,
                                   {"compile", s.linea.string(), s.treno.string(), "-o", "out"},
                                   cartella.percorso(), c.limite);
    EXPECT_EQ(e.stato, 1);
    EXPECT_TRUE(contiene(e.err, c.detto)) << e.err;
    EXPECT_EQ(e.out, "");
    auto dopo = contenuto(out);
    const std::string tracciato = compilato(FileScenario::kTracciato);
    EXPECT_EQ(dopo[tracciato] != prima.at(tracciato), c.tracciato_nuovo);
    dopo[tracciato] = prima.at(tracciato);
    EXPECT_TRUE(dopo == prima);  // the rest as it was, no temporary
    // The user's sources are never touched, and only they are there.
    fs::remove_all(out);
    EXPECT_TRUE(contenuto(cartella.percorso()) == sorgenti);
  }
}

#endif  // _WIN32

TEST(CartelleOstiliTest, ASourceThatIsAFolderIsNamedWithTheSystemsReason) {
  const std::string cartella_msg = std::generic_category().message(EISDIR);
  for (bool linea_cartella : {true, false}) {
    SCOPED_TRACE(linea_cartella ? "the route source" : "the service source");
    CartellaTemporanea cartella;
    Sorgenti s = sorgenti_portate(cartella.percorso());
    const fs::path dir = cartella.percorso() / (linea_cartella ? "linea" : "treno");
    fs::create_directory(dir);
    (linea_cartella ? s.linea : s.treno) = dir;
    const fs::path out = cartella.percorso() / "out";
    fs::create_directory(out);
    scrivi_file_atomico(out / compilato(FileScenario::kCelle), "earlier");

    const Esito e = strumento({"compile", s.linea.string(), s.treno.string(), "-o", out.string(),
                               "--name", kNomeScenario, "--train", kNumeroTreno});
    EXPECT_TRUE(contiene(e.err, dir.string() + ": error: ")) << e.err;
    EXPECT_TRUE(contiene(e.err, "cannot read " + dir.string() + ": " + cartella_msg)) << e.err;
    // Either source unreadable: nothing is compiled, the earlier file stays.
    EXPECT_EQ(e.stato, 1);
    EXPECT_EQ(leggi_file(out / compilato(FileScenario::kCelle)), "earlier");
    EXPECT_TRUE(fs::is_directory(dir));
  }
}

TEST(CartelleOstiliTest, ASourceWhereACompiledFileWouldGoIsNeverOverwritten) {
  struct Caso {
    const char* nome;
    std::string linea, treno;  // the sources' names, in the output folder
    std::vector<std::string> opzioni;
    std::string scontro;  // "the KIND file ... would replace the ROLE source"; empty: none
    std::string sorgente;
  } casi[] = {
      {"a route source named as the plan file",
       "P_linea.dat",
       "P_7-.txt",
       {},
       "the plan file ",
       "route source P_linea.dat"},
      {"a service source named as the items file",
       "P_linea.txt",
       "P_7.sim",
       {},
       "the items file ",
       "service source P_7.sim"},
      {"no plan file, so no clash", "P_linea.dat", "P_7-.txt", {"--no-plan"}, "", ""},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    CartellaTemporanea cartella;
    const Sorgenti portate = sorgenti_portate(cartella.percorso());
    const fs::path dir = cartella.percorso() / "o";
    fs::create_directory(dir);
    fs::copy_file(portate.linea, dir / c.linea);
    fs::copy_file(portate.treno, dir / c.treno);
    std::vector<std::string> a = {"compile", c.linea, c.treno,   "-o", ".",
                                  "--name",  "P",     "--train", "7"};
    a.insert(a.end(), c.opzioni.begin(), c.opzioni.end());
    const fs::path prima = fs::current_path();
    fs::current_path(dir);
    const Esito e = strumento(a);
    fs::current_path(prima);
    if (c.scontro.empty()) {
      EXPECT_EQ(e.stato, 0) << e.err;
    } else {
      // Refused before anything is read or written.
      EXPECT_EQ(e.stato, 1);
      EXPECT_TRUE(contiene(e.err, c.scontro)) << e.err;
      EXPECT_TRUE(contiene(e.err, " would replace the " + c.sorgente +
                                      ", which is never overwritten: choose another folder (-o) "
                                      "or name (--name, --train); no compiled file was written"))
          << e.err;
    }
    EXPECT_EQ(leggi_file(dir / c.linea), leggi_file(portate.linea));
    EXPECT_EQ(leggi_file(dir / c.treno), leggi_file(portate.treno));
  }
}

TEST(CartelleOstiliTest, LinesOfMegabytesAreReadInTimeOrRefusedAtTheirEntry) {
  const std::string lunga(5000000, 'x');
  const std::string stazione = "stazione, 29500, 21, 300, 0, 0, 1, 0,0,0, 4,1,1, 0, 0, 0, 0, ";
  struct Caso {
    const char* nome;
    std::string linea;  // added to the route source
    std::string treno;  // added to the service source, before "[fine]"
    int stato;
    std::string detto;
    size_t nome_nuovo;  // length of the name of item 52, the next text board's
  } casi[] = {
      {"a word of megabytes in keyword position", lunga + ", 5", "", 0,
       "warning: \"" + lunga.substr(0, 60) + "...\" (5000000 characters) is not a keyword", 0},
      {"blanks of megabytes before a number", "pendenza, " + std::string(5000000, ' ') + "30950, 1",
       "", 0, "", 0},
      {"a text board as long as a name can be",
       "cartello_indicatore, 30900, " + std::string(65535, 'T'), "", 0, "", 65535},
      // Refused before its cell or its item is written.
      {"a text board of megabytes", "cartello_indicatore, 30900, " + std::string(3000000, 'T'), "",
       3,
       "error 25: an entry is malformed, incomplete or outside the limits of the route model: a "
       "board's text of 3000000 characters does not fit an item's name (at most 65535)",
       0},
      {"a station name of 70000 characters", "", stazione + std::string(70000, 'S'), 3,
       "a station's name of 70000 characters does not fit an item's name", 0},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    CartellaTemporanea cartella;
    const Sorgenti s = sorgenti_portate(cartella.percorso());
    if (!c.linea.empty()) aggiungi_alla_linea(s.linea, c.linea);
    if (!c.treno.empty()) {
      std::string t = leggi_file(s.treno);
      t.insert(t.rfind("[fine]"), c.treno + "\r\n");
      scrivi_file_atomico(s.treno, t);
    }
    const std::string linea = leggi_file(s.linea), treno = leggi_file(s.treno);
    const auto inizio = std::chrono::steady_clock::now();
    const Esito e = strumento({"compile", s.linea.string(), s.treno.string(), "-o",
                               (cartella.percorso() / "o").string()});
    const auto durata = std::chrono::steady_clock::now() - inizio;
    EXPECT_EQ(e.stato, c.stato) << e.err.substr(0, 2000);
    EXPECT_TRUE(contiene(e.err, c.detto)) << e.err.substr(0, 2000);
    // Linear work: well within a minute even under the sanitizers.
    EXPECT_LT(durata, std::chrono::seconds(60));
    const auto voci =
        decodifica_voci(leggi_file(cartella.percorso() / "o" / compilato(FileScenario::kVoci)));
    EXPECT_EQ(voci[52].nome.size(), c.nome_nuovo);
    EXPECT_TRUE(leggi_file(s.linea) == linea && leggi_file(s.treno) == treno);
  }
}

// Whether `s` is well-formed UTF-8.
bool utf8_valido(const std::string& s) {
  for (size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    const size_t n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    for (size_t k = 1; k < n; ++k) {
      if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2) return false;
    }
    i += n;
  }
  return true;
}

TEST(CartelleOstiliTest, NulAndUndefinedBytesAreKeptAsReadAndReportedAsText) {
  CartellaTemporanea cartella;
  const Sorgenti s = sorgenti_portate(cartella.percorso());
  // A board text with NUL and the bytes Windows-1252 leaves undefined; a
  // keyword broken by the same bytes; a NUL where a number should be.
  const std::string testo = byte("(A\0B\x81\x8d\x8f\x90\x9d\xff)");
  aggiungi_alla_linea(s.linea, "cartello_indicatore, 30900, " + testo);
  aggiungi_alla_linea(s.linea, byte("pen\0den\x81za, 30950, 1"));
  const fs::path out = cartella.percorso() / "out";
  const Esito e = strumento({"compile", s.linea.string(), s.treno.string(), "-o", out.string()});
  EXPECT_EQ(e.stato, 0) << e.err;
  EXPECT_TRUE(contiene(e.err, "is not a keyword")) << e.err;
  EXPECT_TRUE(utf8_valido(e.err)) << e.err;
  // Stored as read: the items file holds the very bytes.
  const auto voci = decodifica_voci(leggi_file(out / compilato(FileScenario::kVoci)));
  EXPECT_EQ(voci[52].nome, testo);
  // Shown as text: the dump's JSON is UTF-8 with the NUL escaped.
  const Esito d = strumento({"dump", "--json", (out / compilato(FileScenario::kVoci)).string()});
  EXPECT_EQ(d.stato, 0);
  EXPECT_TRUE(utf8_valido(d.out));
  EXPECT_TRUE(contiene(d.out, "(A\\u0000B")) << d.out.substr(0, 200);

  aggiungi_alla_linea(s.linea, byte("pendenza, \0, 1"));
  const Esito n = strumento({"compile", s.linea.string(), s.treno.string(), "-o", out.string()});
  EXPECT_EQ(n.stato, 3);
  EXPECT_TRUE(contiene(n.err, "error 25: ")) << n.err;
  EXPECT_TRUE(utf8_valido(n.err));
}

TEST(CartelleOstiliTest, PathsWithSpacesAndAccentsServeEveryToolkitCommand) {
  CartellaTemporanea cartella;
  const fs::path dir = cartella.percorso() / fs::path(u8"sorgenti con spazi/Citt\u00e0 \u00e8");
  const fs::path out = cartella.percorso() / fs::path(u8"uscita \u00f9/d\u00e9j\u00e0 vu");
  fs::create_directories(dir);
  const Sorgenti portate = sorgenti_portate(cartella.percorso());
  const fs::path linea = dir / fs::path(u8"Linea \u00f9_linea.txt");
  const fs::path treno = dir / fs::path(u8"Linea \u00f9_8 3-.txt");
  fs::copy_file(portate.linea, linea);
  fs::copy_file(portate.treno, treno);

  const Esito e = strumento({"compile", linea.string(), treno.string(), "-o", out.string()});
  EXPECT_EQ(e.stato, 0) << e.err;
  // The names come from the file names, and the files are named by them.
  std::vector<std::string> nomi;
  for (const auto& f : fs::directory_iterator(out)) nomi.push_back(f.path().filename().string());
  std::sort(nomi.begin(), nomi.end());
  EXPECT_EQ(nomi,
            (std::vector<std::string>{u8(u8"Linea \u00f9_8 3.dat"), u8(u8"Linea \u00f9_8 3.sim"),
                                      u8(u8"Linea \u00f9_linea.dat")}));
  const auto voci = decodifica_voci(leggi_file(out / fs::path(u8"Linea \u00f9_8 3.sim")));
  EXPECT_EQ(voci[85].nome, "Linea \xf9");  // one Windows-1252 byte for the accent
  EXPECT_EQ(voci[86].nome, "8 3");

  const Esito v = strumento({"verify", out.string()});
  EXPECT_EQ(v.stato, 0) << v.out << v.err;
  const Esito d = strumento({"dump", (out / fs::path(u8"Linea \u00f9_8 3.dat")).string()});
  EXPECT_EQ(d.stato, 0) << d.err;
  const Esito p =
      strumento({"plot", out.string(), "-o", (out / fs::path(u8"pi\u00f9.svg")).string()});
  EXPECT_EQ(p.stato, 0) << p.err;
  EXPECT_TRUE(fs::exists(out / fs::path(u8"pi\u00f9.svg")));
}

// The SHA-256 of the longest route's plan file.
constexpr const char* kImprontaPianoPiuLungo =
    "64abd8bd2a190fe0897668327f4df4d4825f124449a8e6e9f7d12500f0c1d993";

TEST(CartelleOstiliTest, TheLongestRouteCompilesInTimeAndIsConsistent) {
  // 1,000,000 m with a curve of every class each kilometre.
  std::string linea = "[generale]\r\nlunghezza percorso, 1000000\r\n[curve]\r\n";
  for (int s = 500, n = 0; s + 400 <= 999000; s += 1000, ++n) {
    linea += std::string("curva") + (n % 2 == 0 ? "d" : "s") + std::to_string(1 + n % 6) + ", " +
             std::to_string(s) + ", " + std::to_string(100 + 50 * (n % 7)) + "\r\n";
  }
  linea += "[fine]\r\n";
  CartellaTemporanea cartella;
  const fs::path l = cartella.percorso() / "Lungo_linea.txt";
  const fs::path t = cartella.percorso() / "Lungo_1-.txt";
  scrivi_file_atomico(l, linea);
  scrivi_file_atomico(t, "[generale]\r\nvelocita, 0, 100\r\n[fine]\r\n");
  const fs::path out = cartella.percorso() / "out";

  const auto inizio = std::chrono::steady_clock::now();
  const Esito e = strumento({"compile", l.string(), t.string(), "-o", out.string()});
  const auto durata = std::chrono::steady_clock::now() - inizio;
  ASSERT_EQ(e.stato, 0) << e.err;
  // One pass, a fixed cost per metre: a fraction of a second when optimised,
  // a few seconds under the sanitizers; a minute means the work is no longer linear.
  EXPECT_LT(durata, std::chrono::seconds(60));
  EXPECT_EQ(fs::file_size(out / "Lungo_linea.dat"), 20u * 1007000u - 36u);
  EXPECT_EQ(fs::file_size(out / "Lungo_1.dat"), 15u * (20140u + 1u));
  const Esito v = strumento({"verify", out.string()});
  EXPECT_EQ(v.stato, 0) << v.out;
  // Two million plan values, every one of them held: the digest was recorded
  // once from a build whose plan the checks above and `verify` accept.
  EXPECT_TRUE(come_registrato("Lungo_linea.dat", leggi_file(out / "Lungo_linea.dat"),
                              20u * 1007000u - 36u, kImprontaPianoPiuLungo,
                              fs::path(CARTELLA_PRODOTTI) / "percorso_piu_lungo"));
}

}  // namespace
}  // namespace scenario
