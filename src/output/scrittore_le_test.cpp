#include "output/scrittore_le.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "platform/file_atomico.h"
#include "platform/guasto.h"
#include "prove/cartella_temporanea_test.h"

namespace scenario {
namespace {

std::string b(std::initializer_list<int> byte) {
  std::string s;
  for (int x : byte) s += static_cast<char>(x);
  return s;
}

TEST(ScrittoreLETest, MembersAreLittleEndianWithNoFiller) {
  ScrittoreLE out;
  out.u8(255);
  out.i16(-2);
  out.u16(0x1234);
  out.i32(-300);
  out.f64(1.5);
  out.testo("\xEC");  // "ì" in Windows-1252: one character, one byte
  out.testo("");
  EXPECT_EQ(out.byte(), b({255, 0xFE, 0xFF, 0x34, 0x12, 0xD4, 0xFE, 0xFF, 0xFF, 0, 0,
                           0,   0,    0,    0,    0xF8, 0x3F, 1,    0,    0xEC, 0, 0}));
}

TEST(ScrittoreLETest, TaggedValuesTakeTheWidthTheirTagGives) {
  const std::vector<uint8_t> etichette = {2, 2, 5, 0, 5};
  const std::vector<double> valori = {0, -1, -2.0, 123.0, 1.5};
  ScrittoreLE out;
  out.etichettati(etichette, valori);
  EXPECT_EQ(out.byte(), b({2, 0, 0,    0, 2, 0, 0xFF, 0xFF, 5, 0, 0, 0, 0, 0,    0,
                           0, 0, 0xC0, 0, 0, 5, 0,    0,    0, 0, 0, 0, 0, 0xF8, 0x3F}));
}

// The same members, a little over a megabyte of them, into a file and into
// memory: blocks handed over and reused give the file every byte in order,
// a member cut by a block's end and a run of tagged values longer than a
// block included.
TEST(ScrittoreLETest, AFileOfManyBlocksHoldsTheBytesWrittenInMemory) {
  std::vector<uint8_t> etichette;
  std::vector<double> valori;
  for (int i = 0; i < 60000; ++i) {
    etichette.push_back(i % 3 == 0 ? 5 : i % 3 == 1 ? 2 : 0);
    valori.push_back(i % 3 == 0 ? i * 0.25 : i % 3 == 1 ? (i % 30000) - 15000 : 0);
  }
  const auto scrivi = [&](ScrittoreLE& out) {
    for (int giro = 0; giro < 4; ++giro) {
      for (int i = 0; i < 30001; ++i) {
        out.u8(static_cast<uint8_t>(i));
        out.i32(i * 7919 - giro);
        out.i16(static_cast<int16_t>(-i));
      }
      out.testo(std::string(40000 + giro, static_cast<char>('a' + giro)));
      out.etichettati(etichette, valori);
    }
  };
  ScrittoreLE in_memoria;
  scrivi(in_memoria);
  ASSERT_GT(in_memoria.byte().size(), size_t{1} << 20);

  CartellaTemporanea cartella;
  const auto percorso = cartella.percorso() / "blocchi.dat";
  FileAtomico file(percorso);
  ScrittoreLE su_file(file);
  scrivi(su_file);
  su_file.svuota();
  file.conferma();
  EXPECT_TRUE(leggi_file(percorso) == in_memoria.byte());
}

TEST(ScrittoreLETest, TaggedValuesTheFormatCannotHoldAreRefused) {
  struct Caso {
    std::vector<uint8_t> etichette;
    std::vector<double> valori;
  } casi[] = {
      {{2, 3}, {0, 0}},  // no such tag
      {{2}, {40000}},    // an Integer that does not fit 16 bits
      {{2}, {1.5}},      // an Integer that is no whole number
      {{5, 5}, {1.0}},   // a tag without a value
  };
  for (const Caso& c : casi) {
    ScrittoreLE out;
    EXPECT_THROW(out.etichettati(c.etichette, c.valori), GuastoEsecuzione);
  }
}

TEST(ScrittoreLETest, TextLongerThanItsCountIsRefused) {
  ScrittoreLE out;
  out.testo(std::string(65535, 'x'));
  EXPECT_THROW(out.testo(std::string(65536, 'x')), GuastoEsecuzione);
}

}  // namespace
}  // namespace scenario
