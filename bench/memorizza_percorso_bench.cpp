// The whole build-and-write of memorizza_percorso, from sources on disk to the
// three compiled files, beside a baseline that only writes the same number of
// bytes into the same three files through the same atomic replacement. The
// counter "rapporto" is build time over baseline time, measured in the same
// iterations; "picco_MB" is the process's peak resident memory so far.
//
// Cases: the carried scenario (31000 m) and a generated route of 1,000,000 m
// with a curve every kilometre. The sources are read without being deleted, so
// every iteration compiles the same files.

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/memorizza_dati.h"
#include "model/modello.h"
#include "output/memorizza_percorso.h"
#include "platform/file_atomico.h"
#include "platform/guasto.h"
#include "text/nomi_file.h"
#include "text/righe.h"
#include "text/scenario_testi.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;
using Orologio = std::chrono::steady_clock;

const std::string kScenario = "MorvessaC_Tolvarre";
const std::string kTreno = "823";

struct Sorgenti {
  std::string linea;
  std::string treno;
};

Sorgenti scenario_portato() {
  return {testo_righe(righe_linea()), testo_righe(righe_treno())};
}

// A 1,000,000 m route: a curve of every class every kilometre, a gradient
// change every 2500 m; ten stations, two signals before each, a slowdown every
// 200 km, speed and adhesion changes along the whole length.
Sorgenti percorso_lungo() {
  std::string l =
      "[generale]\r\n"
      "lunghezza percorso,    1000000\r\n"
      "progressiva chilometrica uno,    0,    132100,    0\r\n"
      "progressiva chilometrica due,    0,    0,    0\r\n"
      "progressiva chilometrica tre,    0,    0,    0\r\n"
      "sfondo uno,    0\r\n"
      "sfondo due,    1\r\n"
      "sfondo tre,    0\r\n"
      "ripetizione segnali 4 codici,    0    ,0\r\n"
      "[curve]\r\n";
  int n = 0;
  for (int s = 500; s + 400 <= 999000; s += 1000, ++n) {
    l += std::string("curva") + (n % 2 == 0 ? "d" : "s") + std::to_string(1 + n % 6) + ",  " +
         std::to_string(s) + ",  " + std::to_string(100 + 50 * (n % 7)) + "\r\n";
  }
  l += "[pendenze]\r\n";
  for (int p = 0, g = 0; p <= 990000; p += 2500, ++g) {
    l += "pendenza,  " + std::to_string(p) + ",   " + std::to_string(g % 25 - 12) + "\r\n";
  }
  l += "[fine]\r\n";

  std::string t =
      "[generale]\r\n"
      "numero vetture,    8\r\n"
      "percentuale massa frenata,    105\r\n"
      "sabbia,    120\r\n"
      "orologio,    10              31            0 \r\n"
      "[aderenze]\r\n";
  for (int p = 0, k = 0; p < 1000000; p += 50000, ++k) {
    t += "aderenza,   " + std::to_string(p) + ",    " + (k % 2 == 0 ? "100" : "85") + "\r\n";
  }
  t += "[vel_limite]\r\n";
  for (int p = 0, k = 0; p < 1000000; p += 100000, ++k) {
    t += "velocita,   " + std::to_string(p) + ",    " + (k % 2 == 0 ? "100" : "120") + "\r\n";
  }
  t += "[stazioni]\r\n";
  t += "stazione,       0,  2,  600,  0, 0, 0,  1,1,0,  4,1,1,    1,  10,32, 0, ORIGINE\r\n";
  for (int p = 100000; p < 900000; p += 100000) {
    t += "stazione,   " + std::to_string(p) +
         ", 21,  300,  0, 0, 1,  0,0,0,  4,1,1,    0,   0, 0, 0, FERMATA " +
         std::to_string(p / 1000) + "\r\n";
  }
  t += "stazione,   900000, 11,  600,  1, 0, 0,  1,1,0,  2,1,1,    0,  20, 3, 0, ARRIVO\r\n";
  t += "[rallentamenti]\r\n";
  for (int x = 150000; x < 1000000; x += 200000) {
    t += "rallentamento,   " + std::to_string(x) + ",  30,  1200,  1,  1,  0\r\n";
  }
  t += "[segnali]\r\n";
  for (int p = 100000; p <= 900000; p += 100000) {
    t += "segnale,   " + std::to_string(p - 1500) + ",   1, 4, 1,  0, 0,    0,  0,0,0, 0\r\n";
    t += "segnale,   " + std::to_string(p - 700) + ",   2, 4, 1,  0, 0,    0,  0,0,0, 0\r\n";
  }
  t += "[fine]\r\n";
  return {l, t};
}

// One folder per case, holding the sources that every iteration compiles.
class Banco {
 public:
  Banco(const std::string& nome, const Sorgenti& sorgenti)
      : cartella_(fs::temp_directory_path() /
                  ("scenario_bench_" + std::to_string(::getpid()) + "_" + nome)) {
    fs::remove_all(cartella_);
    fs::create_directories(cartella_);
    sorgenti_ = sorgenti_generatore(cartella_, kScenario, kTreno);
    sorgenti_.elimina = false;
    scrivi_file_atomico(sorgenti_.linea, sorgenti.linea);
    scrivi_file_atomico(sorgenti_.treno, sorgenti.treno);
  }
  ~Banco() {
    std::error_code ignorato;
    fs::remove_all(cartella_, ignorato);
  }

  // The builder as the generator calls it, with j = 1; the model's error code.
  int32_t costruisci() {
    ModelloPercorso m;
    m.nome_scenario = kScenario;
    m.numero_treno = kTreno;
    memorizza_percorso(m, 1, sorgenti_, cartella_);
    return m.codice_errore;
  }

  // The three compiled files and their sizes, as the last build left them.
  std::vector<std::pair<fs::path, size_t>> compilati() const {
    std::vector<std::pair<fs::path, size_t>> f;
    for (FileScenario tipo :
         {FileScenario::kTracciato, FileScenario::kVoci, FileScenario::kCelle}) {
      fs::path p = percorso_file(cartella_, tipo, kScenario, kTreno);
      f.emplace_back(p, fs::file_size(p));
    }
    return f;
  }

 private:
  fs::path cartella_;
  SorgentiScenario sorgenti_;
};

// The baseline: the same bytes into the same files, in blocks, replaced atomically.
void scrivi_base(const std::vector<std::pair<fs::path, size_t>>& file) {
  static const std::string blocco(1 << 20, '\0');  // the block size of the writer
  for (const auto& [percorso, n] : file) {
    FileAtomico f(percorso);
    for (size_t resto = n; resto > 0;) {
      const size_t k = std::min(resto, blocco.size());
      f.scrivi(blocco.data(), k);
      resto -= k;
    }
    f.conferma();
  }
}

double secondi(Orologio::time_point a, Orologio::time_point b) {
  return std::chrono::duration<double>(b - a).count();
}

double picco_mb() {
  rusage uso{};
  getrusage(RUSAGE_SELF, &uso);
  return static_cast<double>(uso.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB
}

void misura(benchmark::State& state, Banco& banco) {
  try {
    const int32_t codice = banco.costruisci();
    if (codice != 0) {
      state.SkipWithError(("the sources compile with error " + std::to_string(codice)).c_str());
      return;
    }
  } catch (const GuastoEsecuzione& guasto) {
    state.SkipWithError(guasto.what());
    return;
  }
  const auto file = banco.compilati();
  size_t byte = 0;
  for (const auto& f : file) byte += f.second;

  double costruzione = 0;
  double base = 0;
  for (auto _ : state) {
    const auto a = Orologio::now();
    banco.costruisci();
    const auto b = Orologio::now();
    scrivi_base(file);
    const auto c = Orologio::now();
    state.SetIterationTime(secondi(a, b));
    costruzione += secondi(a, b);
    base += secondi(b, c);
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["base_ms"] = 1000.0 * base / n;
  state.counters["rapporto"] = costruzione / base;
  state.counters["picco_MB"] = picco_mb();
  state.SetBytesProcessed(static_cast<int64_t>(byte) * state.iterations());
}

void BM_ScenarioPortato(benchmark::State& state) {
  static Banco banco("portato", scenario_portato());
  misura(state, banco);
}

void BM_Percorso1000km(benchmark::State& state) {
  static Banco banco("lungo", percorso_lungo());
  misura(state, banco);
}

BENCHMARK(BM_ScenarioPortato)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Percorso1000km)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(5.0);

}  // namespace
}  // namespace scenario

BENCHMARK_MAIN();
