// scenario plot: one SVG picture of a compiled scenario.

#include <gtest/gtest.h>

#include <cctype>
#include <map>

#include "platform/file_atomico.h"
#include "prove/cartella_temporanea_test.h"
#include "toolkit/prova_strumento_test.h"

namespace scenario {
namespace {
namespace fs = std::filesystem;

// A strict reading of XML's well-formedness: one root element, tags that
// nest and close, quoted attributes without repeats, only the five named
// entities and character references, no "<" or bare "&" in text. It counts
// the elements by name, and by "id" those that have one.
struct XmlLetto {
  std::string errore;  // empty when well formed
  std::map<std::string, int> elementi;
  std::map<std::string, std::string> testo_per_id;  // all text inside the element with that id
};

XmlLetto leggi_xml(const std::string& s) {
  XmlLetto r;
  size_t i = 0;
  std::vector<std::pair<std::string, std::string>> pila;  // name, id
  int radici = 0;
  const auto fallisci = [&](const std::string& e) {
    if (r.errore.empty()) r.errore = "at " + std::to_string(i) + ": " + e;
  };
  const auto nome_valido = [](const std::string& n) {
    if (n.empty() || !(std::isalpha(static_cast<unsigned char>(n[0])) || n[0] == '_')) return false;
    for (char c : n) {
      if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == ':' ||
            c == '.'))
        return false;
    }
    return true;
  };
  const auto entita = [&](size_t& k) {
    const size_t fine = s.find(';', k);
    if (fine == std::string::npos) return false;
    const std::string e = s.substr(k + 1, fine - k - 1);
    const bool ok = e == "amp" || e == "lt" || e == "gt" || e == "quot" || e == "apos" ||
                    (e.size() > 1 && e[0] == '#');
    k = fine + 1;
    return ok;
  };
  if (s.rfind("<?xml", 0) == 0) i = s.find("?>") + 2;
  while (i < s.size() && r.errore.empty()) {
    if (s[i] != '<') {
      if (s[i] == '&') {
        if (!entita(i)) fallisci("bad entity");
        continue;
      }
      if (pila.empty() && !std::isspace(static_cast<unsigned char>(s[i])))
        fallisci("text outside the root");
      for (auto& [nome, id] : pila) {
        if (!id.empty()) r.testo_per_id[id] += s[i];
      }
      ++i;
      continue;
    }
    if (s.compare(i, 4, "<!--") == 0) {
      i = s.find("-->", i);
      if (i == std::string::npos) return fallisci("unclosed comment"), r;
      i += 3;
      continue;
    }
    const bool chiude = s[i + 1] == '/';
    size_t j = i + (chiude ? 2 : 1);
    size_t k = j;
    while (k < s.size() && !std::isspace(static_cast<unsigned char>(s[k])) && s[k] != '>' &&
           s[k] != '/')
      ++k;
    const std::string nome = s.substr(j, k - j);
    if (!nome_valido(nome)) fallisci("bad element name '" + nome + "'");
    if (chiude) {
      if (pila.empty() || pila.back().first != nome) fallisci("'" + nome + "' closes out of order");
      if (!pila.empty()) pila.pop_back();
      i = s.find('>', k) + 1;
      continue;
    }
    std::map<std::string, std::string> attributi;
    bool vuoto = false;
    while (r.errore.empty()) {
      while (k < s.size() && std::isspace(static_cast<unsigned char>(s[k]))) ++k;
      if (k >= s.size()) return fallisci("unclosed tag"), r;
      if (s[k] == '>') break;
      if (s.compare(k, 2, "/>") == 0) {
        vuoto = true;
        ++k;
        break;
      }
      size_t u = s.find('=', k);
      const std::string a = s.substr(k, u - k);
      if (!nome_valido(a)) fallisci("bad attribute name '" + a + "'");
      if (attributi.count(a)) fallisci("repeated attribute '" + a + "'");
      const char q = s[u + 1];
      if (q != '"' && q != '\'') fallisci("unquoted attribute '" + a + "'");
      size_t v = u + 2;
      std::string valore;
      while (v < s.size() && s[v] != q) {
        if (s[v] == '<') fallisci("'<' in attribute '" + a + "'");
        if (s[v] == '&') {
          if (!entita(v)) fallisci("bad entity in attribute '" + a + "'");
          continue;
        }
        valore += s[v++];
      }
      attributi[a] = valore;
      k = v + 1;
    }
    ++r.elementi[nome];
    if (pila.empty() && ++radici > 1) fallisci("a second root element");
    const std::string id = attributi.count("id") ? attributi["id"] : "";
    if (!id.empty()) ++r.elementi["#" + id];
    if (!vuoto) pila.push_back({nome, id});
    i = k + 1;
  }
  if (!pila.empty()) fallisci("'" + pila.back().first + "' never closed");
  if (radici != 1) fallisci("no root element");
  return r;
}

TEST(LeggiXmlTest, TellsWellFormedFromBroken) {
  EXPECT_EQ(leggi_xml("<?xml version=\"1.0\"?>\n<a x=\"1\"><b/>t &amp; &#8212;</a>\n").errore, "");
  for (const char* rotto : {"<a><b></a></b>", "<a x=1/>", "<a>&nbsp;</a>", "<a>x < y</a>",
                            "<a/><b/>", "<a x='1' x='2'/>", "<a>", "<a y=\"<\"/>"}) {
    EXPECT_NE(leggi_xml(rotto).errore, "") << rotto;
  }
}

class ComandoPlotTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    cartella_ = new CartellaTemporanea;
    compila_come_generatore(cartella_->percorso());
  }
  static void TearDownTestSuite() { delete cartella_; }
  static CartellaTemporanea* cartella_;
};
CartellaTemporanea* ComandoPlotTest::cartella_ = nullptr;

TEST_F(ComandoPlotTest, DrawsTheTrackAndTheProfilesAsWellFormedSvg) {
  CartellaTemporanea uscita;
  const fs::path svg = uscita.percorso() / "scenario.svg";
  const EsitoStrumento e =
      esegui_prova({"plot", cartella_->percorso().string(), "-o", svg.string()});
  ASSERT_EQ(e.stato, 0) << e.err;
  EXPECT_EQ(e.out, svg.string() + "\n");
  const std::string testo = leggi_file(svg);
  const XmlLetto x = leggi_xml(testo);
  ASSERT_EQ(x.errore, "");
  EXPECT_EQ(x.elementi.at("svg"), 1);
  EXPECT_NE(testo.find("xmlns=\"http://www.w3.org/2000/svg\""), std::string::npos);
  for (const char* parte : {"#plan", "#stations", "#signals", "#boards", "#gradient", "#montagna",
                            "#speed", "#adhesion", "#km"}) {
    EXPECT_EQ(x.elementi.count(parte), 1u) << parte;
  }
  // The four stations named on the track, the six signals named by chainage.
  for (const char* stazione : {"MORVESSA C.", "SAN CATALDO", "SERRADIFALCO", "TOLVARRE"}) {
    EXPECT_NE(x.testo_per_id.at("stations").find(stazione), std::string::npos) << stazione;
  }
  for (const char* segnale :
       {"S 136+500", "S 137+700", "S 149+400", "S 150+500", "S 158+600", "S 159+750"}) {
    EXPECT_NE(x.testo_per_id.at("signals").find(segnale), std::string::npos) << segnale;
  }
  // The 28 text boards, each a tick telling its text on hover.
  const std::string cartelli = x.testo_per_id.at("boards");
  size_t n = 0;
  for (size_t i = cartelli.find("board at "); i != std::string::npos;
       i = cartelli.find("board at ", i + 1))
    ++n;
  EXPECT_EQ(n, 28u);
  EXPECT_NE(cartelli.find("board at 650 m: (Cavalcavia)(Km 132+749)(ex P.L.   )"),
            std::string::npos);
  // Kilometre labels from the chainage: 132100 m at the start, 163100 m at the end.
  const std::string km = testo.substr(testo.find("<g id=\"km\">"));
  EXPECT_NE(km.find(">133</text>"), std::string::npos);
  EXPECT_NE(km.find(">163</text>"), std::string::npos);
  EXPECT_EQ(km.find(">132</text>"), std::string::npos);
  // The four montagna stretches, shaded.
  EXPECT_NE(x.testo_per_id.at("montagna").find("montagna type 1, 8000-8300 m"), std::string::npos);
  EXPECT_NE(x.testo_per_id.at("montagna").find("montagna type 2, 25700-25750 m"),
            std::string::npos);
}

TEST_F(ComandoPlotTest, WithoutAPlanFileTheProfilesStillDraw) {
  CartellaTemporanea c;
  for (FileScenario f : {FileScenario::kVoci, FileScenario::kCelle}) {
    fs::copy_file(file_scenario(cartella_->percorso(), f), file_scenario(c.percorso(), f));
  }
  const fs::path svg = c.percorso() / "p.svg";
  ASSERT_EQ(esegui_prova({"plot", c.percorso().string(), "-o", svg.string()}).stato, 0);
  const XmlLetto x = leggi_xml(leggi_file(svg));
  ASSERT_EQ(x.errore, "");
  EXPECT_NE(x.testo_per_id.at("plan").find("No plan file"), std::string::npos);
  EXPECT_EQ(x.elementi.count("#stations"), 0u);
  EXPECT_EQ(x.elementi.count("#gradient"), 1u);

  // A damaged cells file: reported with its offset, no picture.
  const fs::path celle = file_scenario(c.percorso(), FileScenario::kCelle);
  scrivi_file_atomico(celle, leggi_file(celle).substr(0, 100));
  const EsitoStrumento e =
      esegui_prova({"plot", c.percorso().string(), "-o", (c.percorso() / "q.svg").string()});
  EXPECT_EQ(e.stato, 1);
  EXPECT_NE(e.err.find("offset 100: truncated cell 6 marcatore"), std::string::npos) << e.err;
  EXPECT_FALSE(fs::exists(c.percorso() / "q.svg"));
}

}  // namespace
}  // namespace scenario
