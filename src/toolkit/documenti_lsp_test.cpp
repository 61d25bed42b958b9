#include "toolkit/documenti_lsp.h"

#include <gtest/gtest.h>

#include <string>

namespace scenario {
namespace {

TEST(DocumentiLspTest, AnEditorsTextBecomesOneWindows1252BytePerUtf16Unit) {
  struct Caso {
    std::string utf8;
    std::string atteso;
  } casi[] = {
      {"stazione, 0, SAN CATALDO", "stazione, 0, SAN CATALDO"},
      {"è°€’Ÿ", "\xE8\xB0\x80\x92\x9F"},  // one byte each, as they are on disk
      {"ł中", "??"},                      // in the plane, not in the code page: one unit, one byte
      {"a😀b", "a??b"},                    // two UTF-16 units, two bytes
      {"\xF0\x9F", "??"},                 // a cut sequence is two broken bytes
  };
  for (const Caso& c : casi) EXPECT_EQ(testo_da_editore(c.utf8), c.atteso) << c.utf8;
}

TEST(DocumentiLspTest, FileUrisAndPathsRoundTrip) {
  struct Caso {
    const char* uri;
    const char* percorso;
  } casi[] = {
      {"file:///home/a/MorvessaC_Tolvarre_linea.txt", "/home/a/MorvessaC_Tolvarre_linea.txt"},
      {"file:///home/a%20b/Citt%C3%A0_linea.txt", "/home/a b/Città_linea.txt"},
      {"file:///C:/scenari/x-.txt", "C:/scenari/x-.txt"},
  };
  for (const Caso& c : casi) {
    EXPECT_EQ(percorso_da_uri(c.uri), c.percorso) << c.uri;
    EXPECT_EQ(uri_da_percorso(c.percorso), c.uri) << c.percorso;
  }
  EXPECT_EQ(percorso_da_uri("untitled:1"), "");
  EXPECT_EQ(percorso_da_uri("file://host/share/a.txt"), "");
}

}  // namespace
}  // namespace scenario
