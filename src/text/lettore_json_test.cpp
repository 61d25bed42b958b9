#include "text/lettore_json.h"

#include <gtest/gtest.h>

#include <string>

namespace scenario {
namespace {

TEST(LettoreJsonTest, ReadsValidDocuments) {
  const ValoreJson v = leggi_json(
      R"( {"a": [1, -2, 0, 3.5, -0.25e2, 1E3, true, false, null], "b": {"c": {}}, "d": []} )");
  ASSERT_EQ(v.tipo, ValoreJson::kOggetto);
  const ValoreJson& a = v["a"];
  ASSERT_EQ(a.lista.size(), 9u);
  EXPECT_EQ(a[0].tipo, ValoreJson::kIntero);
  EXPECT_EQ(a[0].intero, 1);
  EXPECT_EQ(a[1].intero, -2);
  EXPECT_EQ(a[2].intero, 0);
  EXPECT_EQ(a[3].tipo, ValoreJson::kReale);
  EXPECT_EQ(a[3].reale, 3.5);
  EXPECT_EQ(a[4].reale, -25.0);
  EXPECT_EQ(a[5].tipo, ValoreJson::kReale);
  EXPECT_EQ(a[5].reale, 1000.0);
  EXPECT_TRUE(a[6].booleano);
  EXPECT_EQ(a[7].tipo, ValoreJson::kBooleano);
  EXPECT_FALSE(a[7].booleano);
  EXPECT_EQ(a[8].tipo, ValoreJson::kNullo);
  EXPECT_EQ(v["b"]["c"].tipo, ValoreJson::kOggetto);
  EXPECT_TRUE(v["d"].lista.empty());
  EXPECT_EQ(v.trova("e"), nullptr);
  EXPECT_EQ(v["a"].trova("a"), nullptr);  // a list has no members
  EXPECT_THROW(v["e"], std::runtime_error);
}

TEST(LettoreJsonTest, IntegersKeep64BitsAndWiderOnesReadAsReals) {
  EXPECT_EQ(leggi_json("9223372036854775807").intero, INT64_MAX);
  EXPECT_EQ(leggi_json("-9223372036854775808").intero, INT64_MIN);
  const ValoreJson largo = leggi_json("9223372036854775808");
  EXPECT_EQ(largo.tipo, ValoreJson::kReale);
  EXPECT_EQ(largo.reale, 9223372036854775808.0);
}

TEST(LettoreJsonTest, StringsComeOutAsUtf8) {
  struct Caso {
    const char* json;
    std::string atteso;
  } casi[] = {
      {R"("")", ""},
      {R"("a\"b\\c\/d")", "a\"b\\c/d"},
      {R"("\n\r\t\b\f")", "\n\r\t\b\f"},
      {R"("\u0041\u00e8\u00B0")", "A\xC3\xA8\xC2\xB0"},  // "Aè°"
      {R"("\u20ac")", "\xE2\x82\xAC"},                   // "€"
      {R"("\ud83d\ude00")", "\xF0\x9F\x98\x80"},         // a surrogate pair, one character
      {R"("\u0000")", std::string("\0", 1)},
      {"\"è°\"", "è°"},  // UTF-8 passes as it is
  };
  for (const auto& c : casi) {
    const ValoreJson v = leggi_json(c.json);
    EXPECT_EQ(v.tipo, ValoreJson::kStringa) << c.json;
    EXPECT_EQ(v.stringa, c.atteso) << c.json;
  }
}

TEST(LettoreJsonTest, NestsUpToItsBound) {
  const std::string ammesso = std::string(kProfonditaJson, '[') + std::string(kProfonditaJson, ']');
  EXPECT_EQ(leggi_json(ammesso).tipo, ValoreJson::kLista);
  const std::string troppo =
      std::string(kProfonditaJson + 1, '[') + std::string(kProfonditaJson + 1, ']');
  try {
    leggi_json(troppo);
    FAIL() << "accepted " << kProfonditaJson + 1 << " levels";
  } catch (const ErroreJson& e) {
    EXPECT_EQ(e.scostamento, static_cast<size_t>(kProfonditaJson));
  }
}

TEST(LettoreJsonTest, RefusesMalformedInputAtItsOffset) {
  struct Caso {
    std::string json;
    size_t scostamento;
  } casi[] = {
      {"", 0},
      {"   ", 3},
      {"{", 1},
      {"[1,]", 3},
      {"[1 2]", 3},
      {R"({"a" 1})", 5},
      {R"({"a":1,})", 7},
      {R"({a:1})", 1},
      {R"({"a":1,"a":2})", 7},  // duplicate key, at the second
      {"01", 1},
      {"-", 1},
      {"1.", 2},
      {"1e", 2},
      {"+1", 0},
      {".5", 0},
      {"tru", 0},
      {"nul", 0},
      {"[1] x", 4},
      {"\"abc", 4},
      {"\"a\nb\"", 2},  // a raw line end inside a string
      {R"("\x")", 1},
      {R"("\u12")", 3},
      {R"("\u12g4")", 5},
      {R"("\ud83d")", 1},        // high surrogate alone
      {R"("\ud83dx")", 1},       // high surrogate followed by no escape
      {R"("\ud83d\u0041")", 1},  // high surrogate followed by no low one
      {R"("\ude00")", 1},        // low surrogate alone
      {std::string("[\"a\", \0]", 8), 6},
  };
  for (const auto& c : casi) {
    try {
      leggi_json(c.json);
      ADD_FAILURE() << "accepted " << c.json;
    } catch (const ErroreJson& e) {
      EXPECT_EQ(e.scostamento, c.scostamento) << c.json << ": " << e.what();
    }
  }
}

}  // namespace
}  // namespace scenario
