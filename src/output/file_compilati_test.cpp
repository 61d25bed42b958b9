#include "output/file_compilati.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "output/prova_uscita_test.h"
#include "platform/file_atomico.h"
#include "prove/cartella_temporanea_test.h"
#include "text/cp1252.h"

namespace scenario {
namespace {

std::string b(std::initializer_list<int> byte) {
  std::string s;
  for (int x : byte) s += static_cast<char>(x);
  return s;
}

ModelloPercorso modello_piccolo() {
  ModelloPercorso m;
  m.crea_celle(3);
  Cella& c1 = m.cella(1);
  c1.dato1 = 5121;
  c1.dato2 = 2500;
  Cella& c2 = m.cella(2);
  c2 = {12, -2, 0x1234, 3, -32768, 7, 81, 11, 15, 97, 255};

  Voce& stazione = m.voce(1);
  stazione.tipo = 2;
  stazione.inizio = -300;
  stazione.fine = 300;
  stazione.posizione = 0x01020304;
  stazione.opz4 = 4;
  stazione.nome = utf8_a_cp1252("Pontì");
  stazione.opz7 = 7;
  stazione.opz8 = -8;
  stazione.opz10 = 10;
  stazione.opz11 = 11;
  stazione.opz12 = 12;
  stazione.opz9 = 9;
  stazione.opz13 = 13;
  stazione.opz6 = 6;
  stazione.opz5 = 5;
  stazione.orario = 37920;

  Voce& scenario = m.voce(kVoceScenario);
  scenario.posizione = 1;
  scenario.nome = "MorvessaC_Tolvarre";
  scenario.opz7 = 610;
  scenario.orario = 33796;
  m.voce(kVoceRipetizione).nome = "823";
  return m;
}

TEST(FileCompilatiTest, CellsAre15PackedBytesEach) {
  const std::string celle = byte_celle(modello_piccolo());
  ASSERT_EQ(celle.size(), 4 * kByteCella);
  EXPECT_EQ(celle.substr(0, 15), std::string(15, '\0'));
  // Cell 1: the marker 5121 and the check code 2500 right after tipo.
  EXPECT_EQ(celle.substr(15, 15), b({0, 1, 20, 196, 9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  // Cell 2: every member, in member order.
  EXPECT_EQ(celle.substr(30, 15),
            b({12, 0xFE, 0xFF, 0x34, 0x12, 3, 0, 0x00, 0x80, 7, 81, 11, 15, 97, 255}));
}

TEST(FileCompilatiTest, ItemsAre34BytesPlusTheirNames) {
  const std::string voci = byte_voci(modello_piccolo());
  const size_t nomi = 5 + 18 + 3;
  ASSERT_EQ(voci.size(), 87 * kByteVoceSenzaNome + nomi);
  // Item 0 keeps its reset values: 34 zero bytes, the name's count included.
  EXPECT_EQ(voci.substr(0, 34), std::string(34, '\0'));
  // Item 1: every member in order; "ì" is the one byte 236, the count says 5.
  EXPECT_EQ(
      voci.substr(34, 34 + 5),
      b({2,   0xD4, 0xFE, 0xFF, 0xFF, 0x2C, 1, 0,  0, 4,  3, 2, 1,  4, 5, 0,    'P',  'o', 'n', 't',
         236, 7,    0,    0xF8, 0xFF, 10,   0, 11, 0, 12, 0, 9, 13, 6, 5, 0x20, 0x94, 0,   0}));
  // Items 2 to 84 are empty; then item 85 and item 86 close the file.
  const size_t voce85 = 34 + 39 + 83 * 34;
  EXPECT_EQ(voci.substr(voce85, 52),
            b({0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 18, 0}) + "MorvessaC_Tolvarre" +
                b({98, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 132, 0, 0}));
  EXPECT_EQ(voci.substr(voce85 + 52, 19), std::string(14, '\0') + b({3, 0}) + "823");
  EXPECT_EQ(voci.size(), voce85 + 52 + 37);
}

TEST(FileCompilatiTest, PlanFileHoldsTaggedValuesCoordinateZeroFirst) {
  const int32_t m_righe = 6;  // rows 0..6; rows 2..4 computed, 5 and 6 left empty
  Tracciato t(m_righe);
  t.metti_intero(0, 0, 0);
  t.metti_intero(1, 0, 0);
  t.metti_intero(0, 1, 0);
  t.metti_intero(1, 1, 1);
  for (int r = 2; r <= 4; ++r) {
    t.metti_doppio(r, 0, r == 2 ? 1.5 : -2.0);
    t.metti_doppio(r, 1, static_cast<double>(r));
  }
  const std::string piano = byte_tracciato(t);
  ASSERT_EQ(piano.size(), static_cast<size_t>(20 * m_righe - 36));

  const std::string vuoto = b({0, 0});
  const auto doppio = [](std::initializer_list<int> valore) { return b({5, 0}) + b(valore); };
  const std::string coordinata0 = b({2, 0, 0, 0, 2, 0, 0, 0}) +
                                  doppio({0, 0, 0, 0, 0, 0, 0xF8, 0x3F}) +  // 1.5
                                  doppio({0, 0, 0, 0, 0, 0, 0x00, 0xC0}) +  // -2
                                  doppio({0, 0, 0, 0, 0, 0, 0x00, 0xC0}) + vuoto + vuoto;
  const std::string coordinata1 = b({2, 0, 0, 0, 2, 0, 1, 0}) +
                                  doppio({0, 0, 0, 0, 0, 0, 0x00, 0x40}) +  // 2
                                  doppio({0, 0, 0, 0, 0, 0, 0x08, 0x40}) +  // 3
                                  doppio({0, 0, 0, 0, 0, 0, 0x10, 0x40}) +  // 4
                                  vuoto + vuoto;
  EXPECT_EQ(piano.substr(0, 10 * m_righe - 18), coordinata0);
  EXPECT_EQ(piano.substr(10 * m_righe - 18), coordinata1);
}

TEST(FileCompilatiTest, StructuresThatWereNeverBuiltAreRefused) {
  EXPECT_THROW(byte_tracciato(Tracciato{}), GuastoEsecuzione);
  EXPECT_THROW(byte_celle(ModelloPercorso{}), GuastoEsecuzione);
  ModelloPercorso m = modello_piccolo();
  m.voce(3).nome = std::string(65536, 'x');
  EXPECT_THROW(byte_voci(m), GuastoEsecuzione);
}

TEST(FileCompilatiTest, FileIsReplacedWholeByTheStructuresBytes) {
  CartellaTemporanea cartella;
  const ModelloPercorso m = modello_piccolo();
  scrivi_file_atomico(cartella.percorso() / "voci.sim", std::string(10000, 'x'));
  scrivi_file_atomico(cartella.percorso() / "celle.dat", std::string(10000, 'x'));
  scrivi_file_voci(cartella.percorso() / "voci.sim", m);
  scrivi_file_celle(cartella.percorso() / "celle.dat", m);
  EXPECT_TRUE(stessi_byte(leggi_file(cartella.percorso() / "voci.sim"), byte_voci(m),
                          TipoCompilato::kVoci));
  EXPECT_TRUE(stessi_byte(leggi_file(cartella.percorso() / "celle.dat"), byte_celle(m),
                          TipoCompilato::kCelle));

  Tracciato t(40000);
  for (int r = 0; r <= 40000; ++r) t.metti_doppio(r, r % 2, r * 0.25);
  scrivi_file_tracciato(cartella.percorso() / "linea.dat", t);
  EXPECT_TRUE(stessi_byte(leggi_file(cartella.percorso() / "linea.dat"), byte_tracciato(t),
                          TipoCompilato::kTracciato));
  EXPECT_EQ(cartella.nomi(), (std::vector<std::string>{"celle.dat", "linea.dat", "voci.sim"}));
}

TEST(FileCompilatiTest, FailedWriteLeavesTheEarlierFileAsItWas) {
  CartellaTemporanea cartella;
  ModelloPercorso m = modello_piccolo();
  // A directory stands where the file must go (permissions would not stop root).
  std::filesystem::create_directory(cartella.percorso() / "celle.dat");
  std::filesystem::create_directory(cartella.percorso() / "linea.dat");
  EXPECT_THROW(scrivi_file_celle(cartella.percorso() / "celle.dat", m), GuastoEsecuzione);
  Tracciato t(100);
  EXPECT_THROW(scrivi_file_tracciato(cartella.percorso() / "linea.dat", t), GuastoEsecuzione);
  EXPECT_TRUE(std::filesystem::is_directory(cartella.percorso() / "celle.dat"));
  EXPECT_TRUE(std::filesystem::is_directory(cartella.percorso() / "linea.dat"));

  // A model that fails half-way through its encoding leaves the earlier file.
  scrivi_file_atomico(cartella.percorso() / "voci.sim", "earlier");
  m.voce(50).nome = std::string(70000, 'x');
  EXPECT_THROW(scrivi_file_voci(cartella.percorso() / "voci.sim", m), GuastoEsecuzione);
  EXPECT_EQ(leggi_file(cartella.percorso() / "voci.sim"), "earlier");
  EXPECT_EQ(cartella.nomi(), (std::vector<std::string>{"celle.dat", "linea.dat", "voci.sim"}))
      << "no temporary file is left behind";
}

}  // namespace
}  // namespace scenario
