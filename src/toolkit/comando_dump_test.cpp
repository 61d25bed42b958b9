// scenario dump: compiled files shown as tables, JSON and annotated hex.

#include <gtest/gtest.h>

#include <sstream>

#include "output/file_compilati.h"
#include "platform/file_atomico.h"
#include "prove/cartella_temporanea_test.h"
#include "text/lettore_json.h"
#include "toolkit/prova_strumento_test.h"

namespace scenario {
namespace {
namespace fs = std::filesystem;

// The generator's compiled files, made once for every test here.
class ComandoDumpTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    cartella_ = new CartellaTemporanea;
    compila_come_generatore(cartella_->percorso());
  }
  static void TearDownTestSuite() { delete cartella_; }

  static std::string file(FileScenario f) {
    return file_scenario(cartella_->percorso(), f).string();
  }

  static CartellaTemporanea* cartella_;
};
CartellaTemporanea* ComandoDumpTest::cartella_ = nullptr;

ValoreJson dump_json(const std::string& file) {
  const EsitoStrumento e = esegui_prova({"dump", "--json", file});
  EXPECT_EQ(e.stato, 0) << e.err;
  EXPECT_EQ(e.err, "");
  return leggi_json(e.out);
}

TEST_F(ComandoDumpTest, CellsAsJsonCarryEveryValueBackToTheSameBytes) {
  const ValoreJson j = dump_json(file(FileScenario::kCelle));
  EXPECT_EQ(j["kind"].stringa, "cells");
  EXPECT_EQ(j["bytes"].intero, 11415);
  const ValoreJson& c = j["cells"];
  ASSERT_EQ(c.lista.size(), 761u);
  // Values the builder's, the reader's and the recorders' tests check.
  EXPECT_EQ(c[1]["dato1"].intero, 5121);
  EXPECT_EQ(c[1]["dato2"].intero, 2500);
  EXPECT_EQ(c[14]["tipo"].intero, 14);
  EXPECT_EQ(c[14]["dato1"].intero, 80);
  EXPECT_EQ(c[138]["tipo"].intero, 6);
  EXPECT_EQ(c[138]["dato1"].intero, 1500);
  EXPECT_EQ(c[138]["dato2"].intero, 1600);
  EXPECT_EQ(c[531]["tipo"].intero, 1);
  EXPECT_EQ(c[531]["dato1"].intero, 33);
  EXPECT_EQ(c[531]["dato2"].intero, 41);
  EXPECT_EQ(c[531]["dato4"].intero, 4);
  EXPECT_EQ(c[529]["marcatore"].intero, 41);
  EXPECT_EQ(c[523]["marcatore"].intero, 44);
  EXPECT_EQ(c[113]["dato4"].intero, 6);
  EXPECT_EQ(c[5]["tipo"].intero, 10);
  EXPECT_EQ(c[135]["dato1"].intero, 2);
  EXPECT_EQ(c[163]["tipo"].intero, 11);
  EXPECT_EQ(c[160]["montagna"].intero, 1);
  EXPECT_EQ(c[232]["montagna"].intero, 3);
  EXPECT_EQ(c[135]["vel_limite"].intero, 12);
  EXPECT_EQ(c[136]["vel_limite"].intero, 15);
  EXPECT_EQ(c[757]["vel_limite"].intero, 15);
  EXPECT_EQ(c[2]["pendenza"].intero, 97);

  // Read back into cells and written again: the very bytes of the file.
  ModelloPercorso m;
  m.crea_celle(760);
  for (size_t i = 0; i < c.lista.size(); ++i) {
    const ValoreJson& v = c[i];
    EXPECT_EQ(v["index"].intero, static_cast<int64_t>(i));
    Cella& x = m.cella(static_cast<int64_t>(i));
    x = Cella{
        static_cast<uint8_t>(v["tipo"].intero),       static_cast<int16_t>(v["dato1"].intero),
        static_cast<int16_t>(v["dato2"].intero),      static_cast<int16_t>(v["dato3"].intero),
        static_cast<int16_t>(v["dato4"].intero),      static_cast<uint8_t>(v["tempo"].intero),
        static_cast<uint8_t>(v["marcatore"].intero),  static_cast<uint8_t>(v["montagna"].intero),
        static_cast<uint8_t>(v["vel_limite"].intero), static_cast<uint8_t>(v["pendenza"].intero),
        static_cast<uint8_t>(v["aderenza"].intero)};
  }
  EXPECT_TRUE(byte_celle(m) == leggi_file(file(FileScenario::kCelle)));
}

TEST_F(ComandoDumpTest, ItemsAsJsonCarryEveryValueBackToTheSameBytes) {
  const ValoreJson j = dump_json(file(FileScenario::kVoci));
  EXPECT_EQ(j["kind"].stringa, "items");
  const ValoreJson& v = j["items"];
  ASSERT_EQ(v.lista.size(), 87u);
  EXPECT_EQ(v[85]["opz7"].intero, 610);
  EXPECT_EQ(v[85]["orario"].intero, 33796);
  EXPECT_EQ(v[85]["nome"].stringa, "MorvessaC_Tolvarre");
  EXPECT_EQ(v[86]["nome"].stringa, "823");
  EXPECT_EQ(v[86]["opz7"].intero, 120);
  EXPECT_EQ(v[86]["opz10"].intero, 10);
  EXPECT_EQ(v[86]["opz11"].intero, 31);
  EXPECT_EQ(v[84]["inizio"].intero, 105);
  EXPECT_EQ(v[84]["fine"].intero, 31000);
  EXPECT_EQ(v[84]["posizione"].intero, 8);
  EXPECT_EQ(v[81]["fine"].intero, 132100);
  EXPECT_EQ(v[1]["inizio"].intero, -300);
  EXPECT_EQ(v[1]["nome"].stringa, "MORVESSA C.");
  EXPECT_EQ(v[2]["fine"].intero, 6800);
  EXPECT_EQ(v[80]["nome"].stringa, "(Cavalcavia)(Km 132+749)(ex P.L.   )");
  EXPECT_EQ(v[1]["role"].stringa, "station");
  EXPECT_EQ(v[53]["role"].stringa, "text board");
  EXPECT_EQ(v[52]["role"].stringa, "empty");
  EXPECT_EQ(v[0]["role"].stringa, "unused");

  ModelloPercorso m;
  for (int i = 0; i < kNumeroVoci; ++i) {
    const ValoreJson& x = v[static_cast<size_t>(i)];
    Voce& y = m.voce(i);
    y.tipo = static_cast<uint8_t>(x["tipo"].intero);
    y.inizio = static_cast<int32_t>(x["inizio"].intero);
    y.fine = static_cast<int32_t>(x["fine"].intero);
    y.posizione = static_cast<int32_t>(x["posizione"].intero);
    y.opz4 = static_cast<uint8_t>(x["opz4"].intero);
    y.nome = x["nome"].stringa;  // ASCII in this scenario
    y.opz7 = static_cast<int16_t>(x["opz7"].intero);
    y.opz8 = static_cast<int16_t>(x["opz8"].intero);
    y.opz10 = static_cast<int16_t>(x["opz10"].intero);
    y.opz11 = static_cast<int16_t>(x["opz11"].intero);
    y.opz12 = static_cast<int16_t>(x["opz12"].intero);
    y.opz9 = static_cast<uint8_t>(x["opz9"].intero);
    y.opz13 = static_cast<uint8_t>(x["opz13"].intero);
    y.opz6 = static_cast<uint8_t>(x["opz6"].intero);
    y.opz5 = static_cast<uint8_t>(x["opz5"].intero);
    y.orario = static_cast<int32_t>(x["orario"].intero);
  }
  EXPECT_TRUE(byte_voci(m) == leggi_file(file(FileScenario::kVoci)));
}

TEST_F(ComandoDumpTest, ThePlanAsJsonKeepsEveryTagAndEveryBit) {
  const ValoreJson j = dump_json(file(FileScenario::kTracciato));
  EXPECT_EQ(j["kind"].stringa, "plan");
  EXPECT_EQ(j["bytes"].intero, 759964);
  EXPECT_EQ(j["rows"].intero, 38001);
  const ValoreJson& x = j["coordinata0"];
  const ValoreJson& y = j["coordinata1"];
  ASSERT_EQ(x.lista.size(), 38001u);
  ASSERT_EQ(y.lista.size(), 38001u);
  EXPECT_EQ(y[1].tipo, ValoreJson::kIntero);
  EXPECT_EQ(y[1].intero, 1);
  EXPECT_EQ(x[300].tipo, ValoreJson::kReale);
  EXPECT_EQ(x[300].reale, 0.0);
  EXPECT_EQ(y[300].reale, 300.0);
  EXPECT_NEAR(x[400].reale, 5.0459, 1e-4);
  EXPECT_NEAR(y[400].reale, 399.8334, 1e-4);
  EXPECT_NEAR(x[550].reale, 42.1708, 1e-4);
  EXPECT_EQ(x[37999].tipo, ValoreJson::kNullo);
  EXPECT_EQ(y[38000].tipo, ValoreJson::kNullo);

  Tracciato t(38000);
  for (int c = 0; c < 2; ++c) {
    const ValoreJson& l = c == 0 ? x : y;
    for (int64_t r = 0; r <= 38000; ++r) {
      const ValoreJson& v = l[static_cast<size_t>(r)];
      if (v.tipo == ValoreJson::kIntero) t.metti_intero(r, c, static_cast<int16_t>(v.intero));
      if (v.tipo == ValoreJson::kReale) t.metti_doppio(r, c, v.reale);
    }
  }
  EXPECT_TRUE(byte_tracciato(t) == leggi_file(file(FileScenario::kTracciato)));
}

TEST_F(ComandoDumpTest, SeveralFilesAsJsonMakeOneList) {
  const EsitoStrumento e =
      esegui_prova({"dump", "--json", file(FileScenario::kVoci), file(FileScenario::kCelle)});
  ASSERT_EQ(e.stato, 0) << e.err;
  const ValoreJson j = leggi_json(e.out);
  ASSERT_EQ(j.lista.size(), 2u);
  EXPECT_EQ(j[0]["kind"].stringa, "items");
  EXPECT_EQ(j[1]["kind"].stringa, "cells");
}

std::vector<std::string> righe(const std::string& testo) {
  std::vector<std::string> r;
  std::istringstream in(testo);
  for (std::string riga; std::getline(in, riga);) r.push_back(riga);
  return r;
}

// The line of a hex dump that annotates `campo`.
std::string riga_di(const std::string& dump, const std::string& campo) {
  for (const std::string& r : righe(dump)) {
    const size_t i = r.find(" ; " + campo + " = ");
    if (i != std::string::npos) return r;
  }
  return "";
}

TEST_F(ComandoDumpTest, TheHexDumpGivesEveryFieldItsOffsetBytesAndName) {
  const EsitoStrumento e = esegui_prova({"dump", "--hex", file(FileScenario::kCelle)});
  ASSERT_EQ(e.stato, 0) << e.err;
  // Cell 1's marker 5121 and check code 2500, then the signal of cell 89 at 89 x 15 + 1.
  const std::string dato1 = riga_di(e.out, "cell 1 dato1");
  EXPECT_EQ(dato1.rfind("00000010  01 14 ", 0), 0u) << dato1;
  EXPECT_TRUE(dato1.ends_with("; cell 1 dato1 = 5121")) << dato1;
  EXPECT_EQ(riga_di(e.out, "cell 1 dato2").rfind("00000012  c4 09 ", 0), 0u);
  EXPECT_EQ(riga_di(e.out, "cell 89 dato1").rfind("00000538  ", 0), 0u);
  EXPECT_EQ(righe(e.out).size(), 1 + 761u * 11);  // a header, then one line a field

  const EsitoStrumento v = esegui_prova({"dump", "--hex", file(FileScenario::kVoci)});
  ASSERT_EQ(v.stato, 0) << v.err;
  // A name longer than a line continues on the next lines without a note.
  const std::vector<std::string> r = righe(v.out);
  const auto nome = std::find_if(r.begin(), r.end(), [](const std::string& x) {
    return x.find("; item 85 nome = \"MorvessaC_Tolvarre\"") != std::string::npos;
  });
  ASSERT_NE(nome, r.end());
  EXPECT_EQ(nome->substr(10, 24), "4d 6f 72 76 65 73 73 61 ");
  EXPECT_EQ(nome[1].find(';'), std::string::npos);
  EXPECT_EQ(nome[2].find(';'), std::string::npos);
  EXPECT_NE(nome[3].find("; item 85 opz7 = 610"), std::string::npos);
}

TEST_F(ComandoDumpTest, TablesNameKindsRolesAndUnits) {
  const EsitoStrumento c = esegui_prova({"dump", file(FileScenario::kCelle)});
  ASSERT_EQ(c.stato, 0) << c.err;
  const std::vector<std::string> r = righe(c.out);
  ASSERT_EQ(r.size(), 2 + 761u);
  // Cell 531: a signal over 26500-26550 m; gradient, speed (km/h) and adhesion last.
  EXPECT_EQ(r[2 + 531].substr(0, 29), "  531    26550-26600  signal ");
  EXPECT_NE(r[2 + 138].find("speed boards"), std::string::npos);
  EXPECT_TRUE(r[2 + 0].ends_with("-3    60      100")) << r[2];

  const EsitoStrumento v = esegui_prova({"dump", file(FileScenario::kVoci)});
  ASSERT_EQ(v.stato, 0) << v.err;
  const std::vector<std::string> w = righe(v.out);
  ASSERT_EQ(w.size(), 2 + 87u);
  EXPECT_EQ(w[2 + 85].substr(0, 18), "  85 scenario     ");
  EXPECT_TRUE(w[2 + 85].ends_with("\"MorvessaC_Tolvarre\""));
  EXPECT_EQ(w[2 + 80].substr(0, 17), "  80 text board  ");
}

TEST_F(ComandoDumpTest, BadInputIsReportedWithTheOffsetNeverACrash) {
  CartellaTemporanea c;
  const std::string celle = leggi_file(file(FileScenario::kCelle));
  const std::string voci = leggi_file(file(FileScenario::kVoci));
  scrivi_file_atomico(c.percorso() / "corta.dat", celle.substr(0, 11408));
  scrivi_file_atomico(c.percorso() / "lunga.sim", voci + "xy");
  scrivi_file_atomico(c.percorso() / "strano.bin", "\x01\x02\x03");
  std::string danneggiata = voci;
  danneggiata[138] = 13;  // item 3's name count, 12 in the file
  scrivi_file_atomico(c.percorso() / "danneggiata.sim", danneggiata);
  const struct {
    std::vector<std::string> argomenti;
    const char* messaggio;
  } casi[] = {
      {{"dump", (c.percorso() / "corta.dat").string()},
       "corta.dat: error: offset 11407: truncated cell 760 dato4: needs 2 bytes, the file has 1 "
       "left (read as a cells file)\n"},
      {{"dump", "--json", "--text-diagnostics", (c.percorso() / "lunga.sim").string()},
       "lunga.sim: error: offset 3474: 2 unexpected bytes after item 86, the last item (read as "
       "an items file)"},
      {{"dump", (c.percorso() / "danneggiata.sim").string()},
       "danneggiata.sim: error: offset 138: item 3 nome length reads 13, but the items after it "
       "decode to the end of the file only with 12: the count is damaged (read as an items "
       "file)"},
      {{"dump", (c.percorso() / "strano.bin").string()},
       "strano.bin: error: cannot tell a plan, items or cells file"},
      {{"dump", "--kind", "plan", (c.percorso() / "strano.bin").string()},
       "strano.bin: error: offset 0: value 0 has type tag 513"},
      {{"dump", (c.percorso() / "manca.dat").string()}, "manca.dat"},
  };
  for (const auto& caso : casi) {
    const EsitoStrumento e = esegui_prova(caso.argomenti);
    EXPECT_EQ(e.stato, 1) << caso.messaggio;
    EXPECT_NE(e.err.find(caso.messaggio), std::string::npos) << e.err;
  }
  // The hex dump shows what it could read, then the bytes no field took.
  const EsitoStrumento h = esegui_prova({"dump", "--hex", (c.percorso() / "corta.dat").string()});
  EXPECT_EQ(h.stato, 1);
  EXPECT_TRUE(h.out.ends_with("; cell 760 dato3 = 0\n00002c8f  00" + std::string(22, ' ') +
                              " ; not part of any field\n"))
      << h.out.substr(h.out.size() - 200);
}

TEST_F(ComandoDumpTest, WithJsonAFileThatFailsIsAnObjectWithItsErrorAndNothingOnStandardError) {
  CartellaTemporanea c;
  const std::string voci = leggi_file(file(FileScenario::kVoci));
  scrivi_file_atomico(c.percorso() / "lunga.sim", voci + "xy");
  const std::string lunga = (c.percorso() / "lunga.sim").string();
  const std::string manca = (c.percorso() / "manca.dat").string();
  const EsitoStrumento e =
      esegui_prova({"dump", "--json", file(FileScenario::kVoci), lunga, manca});
  EXPECT_EQ(e.stato, 1);
  EXPECT_EQ(e.err, "");
  const ValoreJson j = leggi_json(e.out);
  ASSERT_EQ(j.lista.size(), 3u);
  EXPECT_FALSE(j[0].ha("error"));
  EXPECT_EQ(j[0]["items"].lista.size(), 87u);
  EXPECT_EQ(j[1]["file"].stringa, lunga);
  EXPECT_EQ(j[1]["error"]["offset"].intero, 3474);
  EXPECT_NE(j[1]["error"]["message"].stringa.find("2 unexpected bytes after item 86"),
            std::string::npos);
  EXPECT_FALSE(j[1].ha("items"));
  EXPECT_EQ(j[2]["file"].stringa, manca);
  EXPECT_EQ(j[2]["error"]["offset"].tipo, ValoreJson::kNullo);
  EXPECT_NE(j[2]["error"]["message"].stringa.find("manca.dat"), std::string::npos);

  const EsitoStrumento t = esegui_prova({"dump", "--json", "--text-diagnostics", lunga});
  EXPECT_EQ(t.stato, 1);
  EXPECT_NE(t.err.find("lunga.sim: error: offset 3474"), std::string::npos) << t.err;
  EXPECT_EQ(leggi_json(t.out)["error"]["offset"].intero, 3474);
}

}  // namespace
}  // namespace scenario
