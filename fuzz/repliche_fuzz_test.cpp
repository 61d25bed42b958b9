// Every input of the fuzz targets' corpora and every regression input found
// by fuzzing, through the same checks the targets run, in every build.

#include <gtest/gtest.h>

#include <algorithm>
#include <exception>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "fuzz/controlli_fuzz.h"
#include "platform/file_atomico.h"
#include "prove/cartella_temporanea_test.h"

namespace scenario {
namespace {
namespace fs = std::filesystem;

// The inputs of one target, corpus first, in name order.
std::vector<fs::path> ingressi(const std::string& bersaglio) {
  std::vector<fs::path> file;
  for (const char* dove : {"corpus", "regressions"}) {
    const fs::path cartella = fs::path(CARTELLA_FUZZ) / dove / bersaglio;
    if (!fs::is_directory(cartella)) continue;
    std::vector<fs::path> qui;
    for (const auto& e : fs::directory_iterator(cartella)) {
      if (e.is_regular_file()) qui.push_back(e.path());
    }
    std::sort(qui.begin(), qui.end());
    file.insert(file.end(), qui.begin(), qui.end());
  }
  return file;
}

void ripeti(const std::string& bersaglio,
            const std::function<void(const std::string&)>& controlla) {
  const std::vector<fs::path> file = ingressi(bersaglio);
  ASSERT_FALSE(file.empty()) << "no input for " << bersaglio << " under " << CARTELLA_FUZZ;
  for (const fs::path& f : file) {
    SCOPED_TRACE(f.string());
    try {
      controlla(leggi_file(f));
    } catch (const std::exception& e) {
      ADD_FAILURE() << e.what();
    }
  }
}

TEST(ReplicheFuzzTest, FieldReaderFollowsTheReadingRulesOnEveryInput) {
  ripeti("campi", [](const std::string& byte) { controlla_lettore_campi(byte); });
}

TEST(ReplicheFuzzTest, BuilderGivesDefinedCodesTheSameFilesTwiceAndKeepsTheSources) {
  CartellaTemporanea cartella;
  ripeti("compilazione", [&](const std::string& byte) {
    controlla_compilazione(byte);
    controlla_su_disco(byte, cartella.percorso());
  });
}

TEST(ReplicheFuzzTest, DecodersReadBackTheirBytesOrNameAnOffset) {
  CartellaTemporanea cartella;
  ripeti("decodifica", [&](const std::string& byte) {
    controlla_decodifica(byte);
    controlla_su_disco(byte, cartella.percorso());
  });
}

// What the on-disk target's long runs found beyond the builder's and the
// decoders' inputs: sources and compiled files alike.
TEST(ReplicheFuzzTest, OnDiskChecksHoldOnTheInputsOnlyTheyReached) {
  CartellaTemporanea cartella;
  ripeti("disco", [&](const std::string& byte) { controlla_su_disco(byte, cartella.percorso()); });
}

TEST(ReplicheFuzzTest, JsonReaderReadsBackWhatItWritesOrNamesAnOffset) {
  ripeti("json", [](const std::string& byte) { controlla_json(byte); });
}

TEST(ReplicheFuzzTest, MessageReaderFollowsTheFramingRules) {
  ripeti("messaggi_lsp", [](const std::string& byte) { controlla_messaggi_lsp(byte); });
}

TEST(ReplicheFuzzTest, LanguageServerAnswersEveryStreamWithFramedJsonRpc) {
  ripeti("server_lsp", [](const std::string& byte) { controlla_server_lsp(byte); });
}

TEST(ReplicheFuzzTest, CommandLineEndsWithADefinedStatusAndKeepsTheSources) {
  CartellaTemporanea cartella;
  ripeti("riga_comando",
         [&](const std::string& byte) { controlla_riga_comando(byte, cartella.percorso()); });
}

}  // namespace
}  // namespace scenario
