// The generator's own cost as a whole process: the generator executable
// against the write-only process (scenario_solo_scrittura), which writes the
// same eight files with the same sizes and deletes the same two, run
// alternately, each in a folder of its own. Prints the median wall time of
// each, the quartiles and their ratio.
//
//   scenario_processi [RUNS [GENERATOR]]
//
// RUNS defaults to 200 of each; GENERATOR, another build of the generator to
// measure in place of the one built beside this program.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "text/nomi_file.h"
#include "text/righe.h"
#include "text/scenario_testi.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace scenario;

// Runs the program to its end with no output; its wall time in milliseconds.
double esegui(const std::vector<std::string>& argomenti) {
  std::vector<char*> argv;
  for (const std::string& a : argomenti) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t azioni;
  posix_spawn_file_actions_init(&azioni);
  posix_spawn_file_actions_addopen(&azioni, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&azioni, 2, "/dev/null", O_WRONLY, 0);
  const auto inizio = std::chrono::steady_clock::now();
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], &azioni, nullptr, argv.data(), environ) != 0) {
    std::fprintf(stderr, "cannot start %s\n", argv[0]);
    std::exit(1);
  }
  int stato = 0;
  waitpid(pid, &stato, 0);
  const auto fine = std::chrono::steady_clock::now();
  posix_spawn_file_actions_destroy(&azioni);
  if (!WIFEXITED(stato) || WEXITSTATUS(stato) != 0) {
    std::fprintf(stderr, "%s ended with status %d\n", argv[0], stato);
    std::exit(1);
  }
  return std::chrono::duration<double, std::milli>(fine - inizio).count();
}

double quantile(std::vector<double> v, double q) {
  std::sort(v.begin(), v.end());
  return v[static_cast<size_t>(q * static_cast<double>(v.size() - 1) + 0.5)];
}

}  // namespace

int main(int argc, char** argv) {
  const int corse = argc > 1 ? std::atoi(argv[1]) : 200;
  const fs::path radice =
      fs::temp_directory_path() / ("scenario_processi_" + std::to_string(::getpid()));
  const fs::path cartella_g = radice / "generatore", cartella_s = radice / "scrittura";
  fs::create_directories(cartella_g);
  fs::create_directories(cartella_s);
  // The generator writes beside its own executable.
  const fs::path originale = argc > 2 ? fs::path(argv[2]) : fs::path(GENERATORE_ESEGUIBILE);
  const fs::path generatore = cartella_g / originale.filename();
  fs::copy_file(originale, generatore, fs::copy_options::overwrite_existing);
  esegui({generatore.string()});

  // The write-only process's steps: the five text files, the two sources
  // deleted, the three compiled files, as the generator leaves them.
  const std::string s = kNomeScenario, t = kNumeroTreno;
  std::vector<std::string> passi = {SOLO_SCRITTURA_ESEGUIBILE, cartella_s.string()};
  const auto scrivi = [&](FileScenario f, size_t byte) {
    passi.push_back(nome_file(f, s, t) + "=" + std::to_string(byte));
  };
  const auto su_disco = [&](FileScenario f) {
    return static_cast<size_t>(fs::file_size(percorso_file(cartella_g, f, s, t)));
  };
  scrivi(FileScenario::kSorgenteLinea, testo_righe(righe_linea()).size());
  scrivi(FileScenario::kSorgenteTreno, testo_righe(righe_treno()).size());
  for (FileScenario f :
       {FileScenario::kNote, FileScenario::kRallentamenti, FileScenario::kSchedaTreno}) {
    scrivi(f, su_disco(f));
  }
  passi.push_back("-" + nome_file(FileScenario::kSorgenteLinea, s, t));
  passi.push_back("-" + nome_file(FileScenario::kSorgenteTreno, s, t));
  for (FileScenario f : {FileScenario::kTracciato, FileScenario::kVoci, FileScenario::kCelle}) {
    scrivi(f, su_disco(f));
  }
  esegui(passi);

  std::vector<double> g, w;
  for (int i = 0; i < corse; ++i) {
    g.push_back(esegui({generatore.string()}));
    w.push_back(esegui(passi));
  }
  const double mg = quantile(g, 0.5), mw = quantile(w, 0.5);
  std::printf("%d runs of each, alternately\n", corse);
  std::printf("generator    median %7.2f ms  (quartiles %.2f to %.2f)\n", mg, quantile(g, 0.25),
              quantile(g, 0.75));
  std::printf("write-only   median %7.2f ms  (quartiles %.2f to %.2f)\n", mw, quantile(w, 0.25),
              quantile(w, 0.75));
  std::printf("ratio of the medians %.2f\n", mg / mw);
  std::error_code ignorato;
  fs::remove_all(radice, ignorato);
  return 0;
}
