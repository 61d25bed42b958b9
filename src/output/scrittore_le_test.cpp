#include "output/scrittore_le.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "platform/guasto.h"

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
