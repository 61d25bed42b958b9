// scenario verify: a compiled scenario checked for consistency.

#include <gtest/gtest.h>

#include <functional>

#include "output/decodifica_compilati.h"
#include "platform/file_atomico.h"
#include "prove/cartella_temporanea_test.h"
#include "text/lettore_json.h"
#include "toolkit/prova_strumento_test.h"

namespace scenario {
namespace {
namespace fs = std::filesystem;

class ComandoVerifyTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    originali_ = new CartellaTemporanea;
    compila_come_generatore(originali_->percorso());
  }
  static void TearDownTestSuite() { delete originali_; }

  // A copy of the generator's three compiled files in `c`.
  static void copia_in(const CartellaTemporanea& c) {
    for (FileScenario f : {FileScenario::kTracciato, FileScenario::kVoci, FileScenario::kCelle}) {
      fs::copy_file(file_scenario(originali_->percorso(), f), file_scenario(c.percorso(), f));
    }
  }

  static CartellaTemporanea* originali_;
};
CartellaTemporanea* ComandoVerifyTest::originali_ = nullptr;

// The offset of a named field of the items file.
size_t offset_voce(const std::string& byte, const std::string& campo) {
  std::vector<CampoBinario> campi;
  decodifica_voci(byte, &campi);
  for (const CampoBinario& c : campi) {
    if (c.nome == campo) return c.offset;
  }
  ADD_FAILURE() << "no field " << campo;
  return 0;
}

// Item `voce`'s name count set to `n`, its bytes left as they are.
std::function<std::string(std::string)> nome_lungo(int voce, uint16_t n) {
  return [voce, n](std::string b) {
    const size_t o = offset_voce(b, "item " + std::to_string(voce) + " nome length");
    b[o] = static_cast<char>(n & 0xFF);
    b[o + 1] = static_cast<char>(n >> 8);
    return b;
  };
}

TEST_F(ComandoVerifyTest, TheGeneratorsOutputIsConsistent) {
  const EsitoStrumento e = esegui_prova({"verify", originali_->percorso().string()});
  EXPECT_EQ(e.stato, 0) << e.out << e.err;
  EXPECT_EQ(e.out, "MorvessaC_Tolvarre, train 823: consistent (plan, items, cells)\n");
  EXPECT_EQ(e.err, "");
  const EsitoStrumento j = esegui_prova({"verify", originali_->percorso().string(), "--json"});
  EXPECT_EQ(j.stato, 0);
  EXPECT_EQ(j.err, "");
  const ValoreJson v = leggi_json(j.out);
  EXPECT_EQ(v["status"].intero, 0);
  EXPECT_TRUE(v["consistent"].booleano);
  EXPECT_EQ(v["scenario"].stringa, "MorvessaC_Tolvarre");
  EXPECT_EQ(v["train"].stringa, "823");
  EXPECT_TRUE(v["plan"].booleano);
  EXPECT_EQ(v["problems"].lista.size(), 0u);
}

TEST_F(ComandoVerifyTest, EachDamageFailsNamingTheFileAndTheProblem) {
  const struct {
    const char* nome;
    FileScenario file;
    std::function<std::string(std::string)> danno;
    const char* problema;
  } casi[] = {
      {"one byte changed: cell 1's marker", FileScenario::kCelle,
       [](std::string b) {
         b.replace(16, 1, 1, '\x15');
         return b;
       },
       "MorvessaC_Tolvarre_823.dat: error: cell 1 dato1 holds 5141, not the marker 5121"},
      {"one byte changed: cell 1's check code", FileScenario::kCelle,
       [](std::string b) {
         b.replace(18, 1, 1, '\x0A');
         return b;
       },
       "MorvessaC_Tolvarre_823.dat: error: cell 1 dato2 holds the check code 2314, but the names "
       "give "
       "2500"},
      {"truncated cells file", FileScenario::kCelle,
       [](std::string b) { return b.substr(0, 11414); },
       "MorvessaC_Tolvarre_823.dat: error: offset 11414: truncated cell 760 aderenza"},
      {"a cell too many", FileScenario::kCelle,
       [](std::string b) { return b + std::string(15, '\0'); },
       "MorvessaC_Tolvarre_823.dat: error: the file holds 762 cells, but the route length 31000 m "
       "in item "
       "84 gives 761 (cells 0..760)"},
      {"wrong check code in the items file", FileScenario::kVoci,
       [](std::string b) {
         b[offset_voce(b, "item 85 orario")] = 5;
         return b;
       },
       "MorvessaC_Tolvarre_823.sim: error: item 85 orario holds the check code 33797, but the "
       "names give "
       "33796"},
      {"items file with a byte more", FileScenario::kVoci, [](std::string b) { return b + "!"; },
       "MorvessaC_Tolvarre_823.sim: error: offset 3474: 1 unexpected byte after item 86"},
      {"cells file with a byte more", FileScenario::kCelle, [](std::string b) { return b + "!"; },
       "MorvessaC_Tolvarre_823.dat: error: offset 11415: 1 byte after cell 760, the last of the "
       "761 cells that the route length 31000 m in item 84 gives"},
      {"cells file with 16 bytes more", FileScenario::kCelle,
       [](std::string b) { return b + std::string(16, '\0'); },
       "MorvessaC_Tolvarre_823.dat: error: offset 11415: 16 bytes after cell 760, the last of the "
       "761 cells that the route length 31000 m in item 84 gives"},
      {"cells file with a byte less", FileScenario::kCelle,
       [](std::string b) { return b.substr(0, b.size() - 1); },
       "MorvessaC_Tolvarre_823.dat: error: offset 11414: truncated cell 760 aderenza"},
      {"plan file with a byte more", FileScenario::kTracciato,
       [](std::string b) { return b + "!"; },
       "MorvessaC_Tolvarre_linea.dat: error: offset 759964: 1 byte after row 38000 of coordinate "
       "1, the last row that the route length 31000 m in item 84 gives"},
      {"item 3's name length one more", FileScenario::kVoci, nome_lungo(3, 13),
       "MorvessaC_Tolvarre_823.sim: error: offset 138: item 3 nome length reads 13, but the items "
       "after it decode to the end of the file only with 12: the count is damaged"},
      {"item 3's name length one less", FileScenario::kVoci, nome_lungo(3, 11),
       "MorvessaC_Tolvarre_823.sim: error: offset 138: item 3 nome length reads 11, but the items "
       "after it decode to the end of the file only with 12: the count is damaged"},
      {"item 3's name length's high byte", FileScenario::kVoci, nome_lungo(3, 0x0C0C),
       "MorvessaC_Tolvarre_823.sim: error: offset 138: item 3 nome length reads 3084, but the "
       "items after it decode to the end of the file only with 12: the count is damaged"},
      {"item 0's empty name given a length", FileScenario::kVoci, nome_lungo(0, 1),
       "MorvessaC_Tolvarre_823.sim: error: offset 14: item 0 nome length reads 1, but the items "
       "after it decode to the end of the file only with 0: the count is damaged"},
      {"item 85's name length one less", FileScenario::kVoci, nome_lungo(85, 17),
       "MorvessaC_Tolvarre_823.sim: error: offset 3399: item 85 nome length reads 17, but the "
       "items after it decode to the end of the file only with 18: the count is damaged"},
      {"item 85's name length too long", FileScenario::kVoci, nome_lungo(85, 30),
       "MorvessaC_Tolvarre_823.sim: error: offset 3399: item 85 nome length reads 30, but the "
       "items after it decode to the end of the file only with 18: the count is damaged"},
      {"truncated plan file", FileScenario::kTracciato,
       [](std::string b) { return b.substr(0, b.size() - 20); },
       "MorvessaC_Tolvarre_linea.dat: error: offset"},
      {"a plan row's tag changed", FileScenario::kTracciato,
       [](std::string b) {
         // Row 37999 of coordinate 1 (the file's last but one value) made an Integer 0.
         return b.substr(0, b.size() - 4) + std::string("\x02\x00\x00\x00\x00\x00", 6);
       },
       "MorvessaC_Tolvarre_linea.dat: error: row 37999 of coordinate 1 has the Integer 0 where an "
       "empty "
       "value belongs\n"},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    CartellaTemporanea cartella;
    copia_in(cartella);
    const fs::path p = file_scenario(cartella.percorso(), c.file);
    scrivi_file_atomico(p, c.danno(leggi_file(p)));
    const EsitoStrumento e = esegui_prova({"verify", cartella.percorso().string()});
    EXPECT_EQ(e.stato, 1);
    // The findings are diagnostics, as compile's and dump's are; the verdict is the result.
    EXPECT_NE(e.err.find(c.problema), std::string::npos) << e.err;
    EXPECT_EQ(e.out.rfind("MorvessaC_Tolvarre, train 823: ", 0), 0u) << e.out;
    EXPECT_NE(e.out.find(" found\n"), std::string::npos) << e.out;

    const EsitoStrumento j = esegui_prova({"verify", "--json", cartella.percorso().string()});
    EXPECT_EQ(j.stato, 1);
    EXPECT_EQ(j.err, "");
    const ValoreJson v = leggi_json(j.out);
    EXPECT_EQ(v["status"].intero, 1);
    EXPECT_FALSE(v["consistent"].booleano);
    ASSERT_GE(v["problems"].lista.size(), 1u);
    std::string atteso = c.problema;
    if (atteso.ends_with("\n")) atteso.pop_back();
    bool visto = false;
    for (const ValoreJson& p : v["problems"].lista) {
      visto = visto || p["text"].stringa.rfind(atteso, 0) == 0;
    }
    EXPECT_TRUE(visto) << j.out;
  }
}

TEST_F(ComandoVerifyTest, FilesUnderOtherNamesFailOnTheirNamesAndCheckCodes) {
  CartellaTemporanea cartella;
  for (auto [f, nome] : {std::pair{FileScenario::kTracciato, "Altra_linea.dat"},
                         std::pair{FileScenario::kVoci, "Altra_824.sim"},
                         std::pair{FileScenario::kCelle, "Altra_824.dat"}}) {
    fs::copy_file(file_scenario(originali_->percorso(), f), cartella.percorso() / nome);
  }
  const EsitoStrumento e = esegui_prova({"verify", cartella.percorso().string()});
  EXPECT_EQ(e.stato, 1);
  for (const char* problema :
       {"Altra_824.sim: error: item 85 names the scenario \"MorvessaC_Tolvarre\", not \"Altra\"",
        "Altra_824.sim: error: item 86 names the train \"823\", not \"824\"",
        "Altra_824.sim: error: item 85 orario holds the check code 33796, but the names give",
        "Altra_824.dat: error: cell 1 dato2 holds the check code 2500, but the names give"}) {
    EXPECT_NE(e.err.find(problema), std::string::npos) << e.err;
  }
}

TEST_F(ComandoVerifyTest, FindsTheScenarioByItsNamesWhenTheFolderHoldsSeveral) {
  CartellaTemporanea cartella;
  copia_in(cartella);
  scrivi_file_atomico(cartella.percorso() / "Altra_1.sim", "");
  EXPECT_EQ(esegui_prova({"verify", cartella.percorso().string()}).stato, 2);
  EXPECT_EQ(esegui_prova({"verify", cartella.percorso().string(), "--name", "MorvessaC_Tolvarre",
                          "--train", "823"})
                .stato,
            0);
  EXPECT_EQ(esegui_prova({"verify", cartella.percorso().string(), "--train", "823"}).stato, 0);
  // Without the plan file the scenario is one compiled with --no-plan.
  fs::remove(file_scenario(cartella.percorso(), FileScenario::kTracciato));
  const EsitoStrumento e =
      esegui_prova({"verify", cartella.percorso().string(), "--name=MorvessaC_Tolvarre"});
  EXPECT_EQ(e.stato, 0) << e.out;
  EXPECT_EQ(e.out, "MorvessaC_Tolvarre, train 823: consistent (no plan file, items, cells)\n");
  // A folder with no compiled scenario at all.
  CartellaTemporanea vuota;
  const EsitoStrumento v = esegui_prova({"verify", vuota.percorso().string()});
  EXPECT_EQ(v.stato, 1);
  EXPECT_NE(v.err.find("no compiled scenario"), std::string::npos) << v.err;
  const EsitoStrumento j = esegui_prova({"verify", "--json", vuota.percorso().string()});
  EXPECT_EQ(j.stato, 1);
  EXPECT_EQ(j.err, "");
  const ValoreJson vj = leggi_json(j.out);
  EXPECT_FALSE(vj["consistent"].booleano);
  EXPECT_EQ(vj["scenario"].tipo, ValoreJson::kNullo);
  EXPECT_NE(vj["problems"][0]["message"].stringa.find("no compiled scenario"), std::string::npos);
}

}  // namespace
}  // namespace scenario
