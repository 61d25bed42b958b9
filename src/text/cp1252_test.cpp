#include "text/cp1252.h"

#include <gtest/gtest.h>

#include <string>

namespace scenario {
namespace {

TEST(Cp1252Test, EncodesEachCharacterAsItsOwnByte) {
  // "€", "’" and "Ÿ" come from the range 128 to 159, which the code page fills
  // with its own choice of characters.
  struct Caso {
    const char* utf8;
    std::string atteso;
  } casi[] = {
      {"A", "A"},    {"à", "\xE0"}, {"è", "\xE8"}, {"ì", "\xEC"},
      {"ò", "\xF2"}, {"ù", "\xF9"}, {"°", "\xB0"}, {"€", "\x80"},
      {"’", "\x92"}, {"Ÿ", "\x9F"}, {"ÿ", "\xFF"}, {"Validità n° 2", "Validit\xE0 n\xB0 2"},
      {"", ""},
  };
  for (const auto& c : casi) EXPECT_EQ(utf8_a_cp1252(c.utf8), c.atteso) << c.utf8;
}

TEST(Cp1252Test, CharactersOutsideTheCodePageAndBrokenUtf8BecomeQuestionMarks) {
  struct Caso {
    std::string utf8;
    std::string atteso;
  } casi[] = {
      {"ł", "?"},                                      // two bytes, not in the code page
      {"中", "?"},                                     // three bytes
      {"a😀b", "a?b"},                                  // four bytes become one mark, not four
      {"\x80", "?"},                                   // continuation byte without a lead
      {"\xC0\xAF", "??"},                              // overlong "/" is not UTF-8
      {"x\xC3", "x?"},                                 // lead byte cut off at the end
      {"\xC3(", "?("},                                 // lead byte followed by a plain character
      {"\xE2\x82", "??"},                              // three-byte sequence cut short
      {"\xFF\xFE", "??"},                              // bytes that never occur in UTF-8
      {std::string("\0z", 2), std::string("\0z", 2)},  // NUL passes through
  };
  for (const auto& c : casi) EXPECT_EQ(utf8_a_cp1252(c.utf8), c.atteso) << c.utf8;
}

TEST(Cp1252Test, DecodingAndEncodingAgainGivesEveryDefinedByteBack) {
  for (int b = 0; b < 256; ++b) {
    if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) continue;
    std::string byte(1, static_cast<char>(b));
    EXPECT_EQ(utf8_a_cp1252(cp1252_a_utf8(byte)), byte) << b;
  }
  EXPECT_EQ(cp1252_a_utf8("\xE0"), "à");
  EXPECT_EQ(cp1252_a_utf8("\x80"), "€");
  EXPECT_EQ(cp1252_a_utf8("\x81"), "\xEF\xBF\xBD");  // undefined byte: replacement character
}

TEST(Cp1252Test, LowerCaseCoversAccentedCapitalsAndLeavesOthers) {
  struct Caso {
    unsigned char c, atteso;
  } casi[] = {
      {'A', 'a'},   {'Z', 'z'}, {'a', 'a'}, {'@', '@'}, {'[', '['}, {0xC0, 0xE0},  // À
      {0xC8, 0xE8},                                                                // È
      {0xDE, 0xFE},                                                                // Þ
      {0xD7, 0xD7},  // × has no lower case
      {0xDF, 0xDF},  // ß is lower case already
      {0x8A, 0x9A},  // Š
      {0x8C, 0x9C},  // Œ
      {0x8E, 0x9E},  // Ž
      {0x9F, 0xFF},  // Ÿ
      {0xE8, 0xE8},
  };
  for (const auto& c : casi) EXPECT_EQ(minuscola_cp1252(c.c), c.atteso) << int(c.c);
  EXPECT_EQ(minuscolo_cp1252("STAZIONE Curvad4 \xC8"), "stazione curvad4 \xE8");
}

TEST(Cp1252Test, ShownTextKeepsUtf8AndReadsEveryStrayByteAsWindows1252) {
  const struct {
    std::string testo;
    std::string atteso;
  } casi[] = {
      {"pendenza, 5", "pendenza, 5"},
      {"gi\xC3\xA0 \xE2\x82\xAC", "gi\xC3\xA0 \xE2\x82\xAC"},  // UTF-8 already: kept
      {"5\xB0", "5\xC2\xB0"},                                  // a lone degree sign
      {"\xE8 '\xE8'", "\xC3\xA8 '\xC3\xA8'"},                  // è with no continuation
      {"\x93x\x94", "\xE2\x80\x9Cx\xE2\x80\x9D"},              // curly quotes
      {"\xC3\xA8\xE8", "\xC3\xA8\xC3\xA8"},                    // both in one text
      {"\xC0\x80", "\xC3\x80\xE2\x82\xAC"},                    // overlong: two bytes
      {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},        // a surrogate
      {"\xE2\x82", "\xC3\xA2\xE2\x80\x9A"},                    // cut short at the end
      {"\x81", "\xEF\xBF\xBD"},                                // undefined in the page
  };
  for (const auto& c : casi) EXPECT_EQ(utf8_mostrabile(c.testo), c.atteso) << c.testo;
}

}  // namespace
}  // namespace scenario
