// scenario plot: one SVG picture of a compiled scenario.

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <regex>

#include "platform/file_atomico.h"
#include "prove/cartella_temporanea_test.h"
#include "text/righe.h"
#include "toolkit/grafico_svg.h"
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

// The geometry the picture shows, read back from its SVG.

struct Scatola {
  std::string testo;
  double x0, y0, x1, y1;
};

std::string senza_entita(std::string s) {
  for (const auto& [e, c] : std::vector<std::pair<std::string, std::string>>{
           {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}}) {
    for (size_t i = s.find(e); i != std::string::npos; i = s.find(e, i + 1))
      s.replace(i, e.size(), c);
  }
  return s;
}

size_t caratteri_utf8(const std::string& s) {
  size_t n = 0;
  for (char c : s) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

// Every label's box: text starting 2 px into its box, the baseline 3 px above
// the bottom, as wide as the placement reckons a face at that size.
std::vector<Scatola> etichette(const std::string& svg) {
  static const std::regex re(
      "<text class=\"label\" x=\"([-0-9.]+)\" y=\"([-0-9.]+)\" "
      "font-size=\"([0-9.]+)\">([^<]*)</text>");
  std::vector<Scatola> r;
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), re); it != std::sregex_iterator();
       ++it) {
    const double x = std::stod((*it)[1]), y = std::stod((*it)[2]), corpo = std::stod((*it)[3]);
    const std::string testo = senza_entita((*it)[4]);
    const double x0 = x - 2, y1 = y + 3;
    r.push_back(
        {testo, x0, y1 - corpo * 1.3, x0 + larghezza_etichetta(caratteri_utf8(testo), corpo), y1});
  }
  return r;
}

// The raw text of the group with this id, nested groups included.
std::string gruppo(const std::string& svg, const std::string& id) {
  const size_t inizio = svg.find("<g id=\"" + id + "\"");
  if (inizio == std::string::npos) return "";
  int livello = 0;
  for (size_t i = inizio; i < svg.size(); ++i) {
    if (svg.compare(i, 2, "<g") == 0 && (svg[i + 2] == ' ' || svg[i + 2] == '>')) ++livello;
    if (svg.compare(i, 4, "</g>") == 0 && --livello == 0) return svg.substr(inizio, i + 4 - inizio);
  }
  return "";
}

std::vector<std::pair<double, double>> punti_traccia(const std::string& svg) {
  const size_t i = svg.find("<path id=\"track\"");
  if (i == std::string::npos) return {};
  const size_t d = svg.find(" d=\"", i) + 4;
  std::istringstream in(svg.substr(d, svg.find('"', d) - d));
  std::vector<std::pair<double, double>> r;
  std::string comando;
  double x, y;
  while (in >> comando) {
    x = std::stod(comando.substr(1));
    in >> y;
    r.push_back({x, y});
  }
  return r;
}

size_t conta(const std::string& s, const std::string& cosa) {
  size_t n = 0;
  for (size_t i = s.find(cosa); i != std::string::npos; i = s.find(cosa, i + 1)) ++n;
  return n;
}

// The layout rules: no two labels overlap, and none lies on the track.
void controlla_disposizione(const std::string& svg) {
  const std::vector<Scatola> e = etichette(svg);
  ASSERT_FALSE(e.empty());
  for (size_t i = 0; i < e.size(); ++i) {
    for (size_t j = i + 1; j < e.size(); ++j) {
      const bool sovrapposte =
          e[i].x0 < e[j].x1 && e[j].x0 < e[i].x1 && e[i].y0 < e[j].y1 && e[j].y0 < e[i].y1;
      EXPECT_FALSE(sovrapposte) << "\"" << e[i].testo << "\" and \"" << e[j].testo << "\"";
    }
  }
  const auto traccia = punti_traccia(svg);
  for (size_t k = 1; k < traccia.size(); ++k) {
    const auto [ax, ay] = traccia[k - 1];
    const auto [bx, by] = traccia[k];
    const int passi = static_cast<int>(std::hypot(bx - ax, by - ay) * 2) + 1;
    for (int t = 0; t <= passi; ++t) {
      const double x = ax + (bx - ax) * t / passi, y = ay + (by - ay) * t / passi;
      for (const Scatola& s : e) {
        if (x > s.x0 && x < s.x1 && y > s.y0 && y < s.y1) {
          ADD_FAILURE() << "\"" << s.testo << "\" lies on the track at " << x << "," << y;
          return;
        }
      }
    }
  }
}

bool ha_etichetta(const std::string& svg, const std::string& testo) {
  const auto e = etichette(svg);
  return std::any_of(e.begin(), e.end(), [&](const Scatola& s) { return s.testo == testo; });
}

// The carried scenario's sources in `cartella`, with `piu` lines added to the
// service source before its "[codici]" section; the line number of the first
// line holding `cerca` in each, when asked.
void scrivi_sorgenti(const fs::path& cartella, const std::vector<std::string>& piu = {}) {
  std::vector<std::string> treno;
  const Righe r = righe_treno();
  for (int i = 0; r[i] != kFineRighe; ++i) {
    if (r[i] == "[codici]") treno.insert(treno.end(), piu.begin(), piu.end());
    treno.push_back(r[i]);
  }
  scrivi_righe(righe_linea(), file_scenario(cartella, FileScenario::kSorgenteLinea));
  scrivi_righe(Righe::da(treno), file_scenario(cartella, FileScenario::kSorgenteTreno));
}

int riga_di(const Righe& r, const std::string& cerca) {
  for (int i = 0; r[i] != kFineRighe; ++i) {
    if (r[i].find(cerca) != std::string::npos) return i + 1;
  }
  return 0;
}

class ComandoPlotTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    cartella_ = new CartellaTemporanea;
    compila_come_generatore(cartella_->percorso());
  }
  static void TearDownTestSuite() { delete cartella_; }
  static std::string disegna(std::vector<std::string> piu = {}) {
    std::vector<std::string> a = {"plot", cartella_->percorso().string(), "-o", "-"};
    a.insert(a.end(), piu.begin(), piu.end());
    const EsitoStrumento e = esegui_prova(a);
    EXPECT_EQ(e.stato, 0) << e.err;
    return e.out;
  }
  static CartellaTemporanea* cartella_;
};
CartellaTemporanea* ComandoPlotTest::cartella_ = nullptr;

TEST_F(ComandoPlotTest, DrawsTheTrackAndTheProfilesAsWellFormedSvg) {
  CartellaTemporanea uscita;
  const fs::path svg = uscita.percorso() / "nuova" / "cartella" / "scenario.svg";
  const EsitoStrumento e =
      esegui_prova({"plot", cartella_->percorso().string(), "-o", svg.string()});
  ASSERT_EQ(e.stato, 0) << e.err;
  EXPECT_EQ(e.out, svg.string() + "\n");
  const std::string testo = leggi_file(svg);
  EXPECT_EQ(testo, disegna());  // -o - writes the same picture to standard output
  const XmlLetto x = leggi_xml(testo);
  ASSERT_EQ(x.errore, "");
  EXPECT_EQ(x.elementi.at("svg"), 1);
  EXPECT_NE(testo.find("xmlns=\"http://www.w3.org/2000/svg\""), std::string::npos);
  for (const char* parte :
       {"#legend", "#plan", "#track", "#ends", "#stations", "#signals", "#boards", "#speed-boards",
        "#along", "#gradient", "#montagna", "#speed", "#slowdowns", "#adhesion", "#km"}) {
    EXPECT_EQ(x.elementi.count(parte), 1u) << parte;
  }
  for (const char* voce : {"station", "distant signal", "home signal", "text board",
                           "speed indicator boards", "slowdown warning", "start of route",
                           "end of route", "direction of travel", "montagna stretch"}) {
    EXPECT_NE(x.testo_per_id.at("legend").find(voce), std::string::npos) << voce;
  }
  // Kilometre labels from the chainage: 132100 m at the start, 163100 m at the end.
  const std::string km = gruppo(testo, "km");
  EXPECT_NE(km.find(">133</text>"), std::string::npos);
  EXPECT_NE(km.find(">163</text>"), std::string::npos);
  EXPECT_EQ(km.find(">132</text>"), std::string::npos);
  // A unit on every axis.
  EXPECT_NE(testo.find("Gradient (\u2030)"), std::string::npos);
  EXPECT_NE(testo.find("Line-speed limit (km/h)"), std::string::npos);
  EXPECT_NE(testo.find("Adhesion (%)"), std::string::npos);
  EXPECT_NE(km.find(">km</text>"), std::string::npos);
  // The four montagna stretches, shaded.
  EXPECT_NE(x.testo_per_id.at("montagna").find("montagna type 1, 8000-8300 m"), std::string::npos);
  EXPECT_NE(x.testo_per_id.at("montagna").find("montagna type 2, 25700-25750 m"),
            std::string::npos);
}

TEST_F(ComandoPlotTest, EveryFeatureOfTheExampleHasItsMarkAndText) {
  const std::string svg = disegna();
  controlla_disposizione(svg);
  struct Atteso {
    const char* gruppo;
    size_t segni;
    std::vector<std::string> testi;
  };
  const Atteso attesi[] = {
      {"stations", 4, {"MORVESSA C.", "SAN CATALDO", "SERRADIFALCO", "TOLVARRE"}},
      {"signals",
       6,
       {"Distant (SAN CATALDO)", "Home (SAN CATALDO)", "Distant (SERRADIFALCO)",
        "Home (SERRADIFALCO)", "Distant L+R (TOLVARRE)", "Home L+R (TOLVARRE)"}},
      {"boards",
       28,
       {"Cavalcavia / Km 132+749 / ex P.L.", "Sottovia", "F", "P.L. / Km 137+747",
        "Confluenza / Sx Morvessa / Dx Agrigento"}},
      {"speed-boards", 3, {"V 75/80/80", "V 65/65/65"}},
      {"ends", 2, {"Start 132+100", "End 163+100"}},
  };
  const std::string lungo = gruppo(svg, "along");
  for (const Atteso& a : attesi) {
    const std::string g = gruppo(svg, a.gruppo);
    // One mark per feature on the track, each with its tooltip and its label.
    EXPECT_EQ(conta(g, "<title>"), a.segni) << a.gruppo;
    EXPECT_EQ(conta(g, "class=\"mark\""), a.segni) << a.gruppo;
    EXPECT_EQ(conta(g, "class=\"label\""), a.segni) << a.gruppo;
    for (const std::string& t : a.testi) {
      EXPECT_TRUE(ha_etichetta(g, t)) << a.gruppo << ": " << t;
      EXPECT_TRUE(ha_etichetta(lungo, t)) << "along the route: " << t;
    }
  }
  EXPECT_EQ(conta(lungo, "class=\"mark\""), 43u);
  EXPECT_EQ(conta(lungo, "class=\"label\""), 43u);
  EXPECT_NE(
      gruppo(svg, "signals").find("distant signal at 4400 m (136+500), protecting SAN CATALDO"),
      std::string::npos);
  EXPECT_NE(gruppo(svg, "boards").find("text board at 650 m (132+750): (Cavalcavia)(Km 132+749)"),
            std::string::npos);
  // The three speed indicator boards also stand on the speed panel at their speed.
  EXPECT_EQ(conta(gruppo(svg, "speed-board-marks"), "class=\"mark\""), 3u);
}

TEST_F(ComandoPlotTest, WithoutThePlanEveryFeatureStillShowsAlongTheRoute) {
  // Without the plan file, and with --no-plan on a scenario that has one.
  CartellaTemporanea c;
  for (FileScenario f : {FileScenario::kVoci, FileScenario::kCelle}) {
    fs::copy_file(file_scenario(cartella_->percorso(), f), file_scenario(c.percorso(), f));
  }
  const EsitoStrumento senza = esegui_prova({"plot", c.percorso().string(), "-o", "-"});
  ASSERT_EQ(senza.stato, 0) << senza.err;
  for (const std::string& svg : {senza.out, disegna({"--no-plan"})}) {
    const XmlLetto x = leggi_xml(svg);
    ASSERT_EQ(x.errore, "");
    EXPECT_EQ(x.elementi.count("#track"), 0u);
    EXPECT_EQ(x.elementi.count("#signals"), 0u);
    const std::string lungo = gruppo(svg, "along");
    for (const char* t : {"Distant (SAN CATALDO)", "Home L+R (TOLVARRE)", "SERRADIFALCO"}) {
      EXPECT_TRUE(ha_etichetta(lungo, t)) << t;
    }
    controlla_disposizione(svg);
  }

  // A damaged cells file: reported with its offset, no picture.
  const fs::path celle = file_scenario(c.percorso(), FileScenario::kCelle);
  scrivi_file_atomico(celle, leggi_file(celle).substr(0, 100));
  const EsitoStrumento e =
      esegui_prova({"plot", c.percorso().string(), "-o", (c.percorso() / "q.svg").string()});
  EXPECT_EQ(e.stato, 1);
  EXPECT_NE(e.err.find("offset 100: truncated cell 6 marcatore"), std::string::npos) << e.err;
  EXPECT_FALSE(fs::exists(c.percorso() / "q.svg"));
}

TEST(PlotSorgentiTest, FromSourcesASlowdownShowsOnTheSpeedPanelAndMarksNameTheirLine) {
  CartellaTemporanea c;
  scrivi_sorgenti(c.percorso(), {"rallentamento,   14000,   30,   400,   0,   0,   0"});
  const fs::path linea = file_scenario(c.percorso(), FileScenario::kSorgenteLinea);
  const fs::path treno = file_scenario(c.percorso(), FileScenario::kSorgenteTreno);
  const EsitoStrumento e = esegui_prova({"plot", linea.string(), treno.string(), "-o", "-"});
  ASSERT_EQ(e.stato, 0) << e.err;
  const std::string& svg = e.out;
  // Compiled in memory: the sources stay as they were, nothing else is written.
  EXPECT_EQ(std::distance(fs::directory_iterator(c.percorso()), fs::directory_iterator()), 2);
  controlla_disposizione(svg);

  // The slowdown on the speed panel: 14000 to 14400 m at 30 km/h, its warning
  // 1200 m before, inside the panel's frame.
  const std::string velocita = gruppo(svg, "speed");
  std::smatch cornice, rall;
  ASSERT_TRUE(std::regex_search(velocita, cornice,
                                std::regex("class=\"cornice\" x=\"([0-9.]+)\" y=\"([0-9.]+)\" "
                                           "width=\"([0-9.]+)\" height=\"([0-9.]+)\"")));
  const double x0 = std::stod(cornice[1]), y0 = std::stod(cornice[2]);
  const double w = std::stod(cornice[3]), h = std::stod(cornice[4]);
  const std::string rallentamenti = gruppo(svg, "slowdowns");
  ASSERT_TRUE(std::regex_search(rallentamenti, rall,
                                std::regex("class=\"slowdown\" d=\"M([0-9.]+) ([0-9.]+) "
                                           "V([0-9.]+) H([0-9.]+) V([0-9.]+)\"")));
  EXPECT_NEAR(std::stod(rall[1]), x0 + w * 14000 / 31000, 0.2);
  EXPECT_NEAR(std::stod(rall[4]), x0 + w * 14400 / 31000, 0.2);
  EXPECT_DOUBLE_EQ(std::stod(rall[2]), y0 + h);  // from the panel's floor
  const double y30 = std::stod(rall[3]);
  EXPECT_GT(y30, y0);
  EXPECT_LT(y30, y0 + h);
  EXPECT_TRUE(ha_etichetta(rallentamenti, "Slowdown 30 km/h"));
  EXPECT_TRUE(ha_etichetta(gruppo(svg, "along"), "Slowdown 30 km/h"));
  EXPECT_EQ(conta(rallentamenti, "class=\"mark\""), 1u);     // the warning
  const int riga_rall = riga_di(righe_treno(), "[codici]");  // the line it took
  EXPECT_NE(rallentamenti.find("slowdown to 30 km/h from 14000 m (146+100) to 14400 m, 400 m, "
                               "warning at 12800 m; rallentamento entry at " +
                               treno.string() + ":" + std::to_string(riga_rall)),
            std::string::npos)
      << rallentamenti;
  // The line-speed limit stays drawn above it, distinct.
  EXPECT_NE(velocita.find("class=\"profile\""), std::string::npos);

  // Each mark names its entry's file and line.
  const std::string nome_linea = linea.string(), nome_treno = treno.string();
  for (const auto& [g, cerca, file, riga] :
       std::vector<std::tuple<std::string, std::string, std::string, int>>{
           {"signals", "segnale entry at ", nome_treno, riga_di(righe_treno(), "segnale,    4400")},
           {"stations", "stazione entry at ", nome_treno,
            riga_di(righe_treno(), "stazione,   19050")},
           {"boards", "cartello_indicatore entry at ", nome_linea,
            riga_di(righe_linea(), "cartello_indicatore,  26400")},
           {"speed-boards", "indicatori_vmax entry at ", nome_linea,
            riga_di(righe_linea(), "indicatori_vmax,  9950")},
           {"montagna", "montagna entry at ", nome_linea,
            riga_di(righe_linea(), "montagna,   11450")}}) {
    EXPECT_NE(gruppo(svg, g).find(cerca + file + ":" + std::to_string(riga) + "<"),
              std::string::npos)
        << g << " " << riga;
  }
  EXPECT_EQ(conta(gruppo(svg, "boards"), "cartello_indicatore entry at "), 28u);
}

TEST(PlotSorgentiTest, SourcesThatHoldAnErrorAreDrawnAsReadWithTheErrorAtItsLine) {
  CartellaTemporanea c;
  // A second signal on the first one's cell: reading stops there (error 16).
  scrivi_sorgenti(c.percorso(), {"segnale,    4400,   2, 4, 1,  0, 0,    0,  0,0,0, 0"});
  const fs::path linea = file_scenario(c.percorso(), FileScenario::kSorgenteLinea);
  const fs::path treno = file_scenario(c.percorso(), FileScenario::kSorgenteTreno);
  const EsitoStrumento e = esegui_prova({"plot", linea.string(), treno.string(), "-o", "-"});
  EXPECT_EQ(e.stato, 3);
  const int riga = riga_di(righe_treno(), "[codici]");
  EXPECT_NE(e.err.find(treno.string() + ":" + std::to_string(riga) + ":13: error 16"),
            std::string::npos)
      << e.err;
  ASSERT_EQ(leggi_xml(e.out).errore, "");
  EXPECT_EQ(conta(gruppo(e.out, "signals"), "class=\"mark\""), 6u);

  // No route source: nothing to draw.
  const EsitoStrumento senza = esegui_prova(
      {"plot", (c.percorso() / "nessuna_linea.txt").string(), treno.string(), "-o", "-"});
  EXPECT_EQ(senza.stato, 1);
  EXPECT_NE(senza.err.find("nothing to draw"), std::string::npos) << senza.err;
  EXPECT_EQ(senza.out, "");
}

TEST_F(ComandoPlotTest, AStretchDrawsOnlyItsPartOfTheRoute) {
  const std::string svg = disegna({"--from", "138", "--to", "150.5"});
  controlla_disposizione(svg);
  const std::string km = gruppo(svg, "km");
  for (int k = 138; k <= 150; ++k) {
    EXPECT_NE(km.find(">" + std::to_string(k) + "</text>"), std::string::npos) << k;
  }
  EXPECT_EQ(km.find(">137</text>"), std::string::npos);
  EXPECT_EQ(km.find(">151</text>"), std::string::npos);
  EXPECT_NE(svg.find("route 31000 m \u2014 5900 to 18400 m"), std::string::npos);
  const std::string stazioni = gruppo(svg, "stations");
  EXPECT_TRUE(ha_etichetta(stazioni, "SAN CATALDO"));
  EXPECT_FALSE(ha_etichetta(stazioni, "MORVESSA C."));
  EXPECT_FALSE(ha_etichetta(stazioni, "SERRADIFALCO"));                      // at 19050 m
  EXPECT_TRUE(ha_etichetta(gruppo(svg, "signals"), "Home (SERRADIFALCO)"));  // at 18400 m
  EXPECT_FALSE(ha_etichetta(gruppo(svg, "signals"), "Home (SAN CATALDO)"));  // at 5600 m
}

TEST_F(ComandoPlotTest, RefusesWhatItCannotDraw) {
  const std::string dir = cartella_->percorso().string();
  struct Caso {
    std::vector<std::string> argomenti;
    const char* messaggio;
  };
  const Caso casi[] = {
      {{"plot", dir, "-o", "x.png"}, "plot draws SVG only"},
      {{"plot", dir, "-o", "x.PDF"}, "plot draws SVG only"},
      {{"plot", dir}, "no output file"},
      {{"plot", dir, "-o", "-", "--from", "150", "--to", "140"}, "--from must come before --to"},
      {{"plot", dir, "-o", "-", "--from", "km140"}, "--from takes a chainage in kilometres"},
      {{"plot", dir, "-o", "-", "--from", "500", "--to", "600"}, "no stretch of the route"},
      {{"plot", "a", "b", "c", "-o", "-"}, "plot takes one folder, or two sources"},
  };
  for (const Caso& c : casi) {
    const EsitoStrumento e = esegui_prova(c.argomenti);
    EXPECT_EQ(e.stato, 2) << c.messaggio;
    EXPECT_NE(e.err.find(c.messaggio), std::string::npos) << e.err;
    EXPECT_EQ(e.out, "");
  }
  EXPECT_FALSE(fs::exists("x.png"));
}

// A route of 1,000,000 m, the longest the format takes, with a feature every
// few kilometres: the picture stays readable and small.
TEST(PlotSorgentiTest, ALongestRouteStaysReadableAndSmall) {
  CartellaTemporanea c;
  std::vector<std::string> linea = {"[generale]",
                                    "lunghezza percorso,    1000000",
                                    "progressiva chilometrica uno,    0,    0,    0",
                                    "progressiva chilometrica due,    0,    0,    0",
                                    "progressiva chilometrica tre,    0,    0,    0",
                                    "ripetizione segnali 4 codici,    0    ,0",
                                    "[curve]"};
  for (int p = 5000; p < 990000; p += 10000) {
    linea.push_back(std::string(p / 10000 % 2 ? "curvad3" : "curvas3") + ", " + std::to_string(p) +
                    ", 2000");
  }
  for (int p = 0; p < 1000000; p += 1000) {
    linea.push_back("pendenza, " + std::to_string(p) + ", " + std::to_string(p / 1000 % 41 - 20));
  }
  for (int i = 0; i < 70; ++i) {
    linea.push_back("cartello_indicatore, " + std::to_string(7500 + i * 14000) + ", (Board " +
                    std::to_string(i) + ")");
  }
  linea.push_back("[fine]");
  std::vector<std::string> treno = {"[generale]", "numero vetture, 8", "velocita, 0, 100",
                                    "velocita, 400000, 80", "aderenza, 0, 100"};
  for (int i = 0; i < 5; ++i) {
    treno.push_back("stazione, " + std::to_string(i * 200000) +
                    ", 21, 300, 0, 0, 1, 0,0,0, 4,1,1, 0, 0,0,0, STAZIONE " + std::to_string(i));
  }
  for (int p = 3000; p < 990000; p += 4000) {  // never on a board's cell
    treno.push_back("segnale, " + std::to_string(p) + ", 1, 4, 1, 0, 0, 0, 0,0,0, 0");
  }
  treno.push_back("rallentamento, 600000, 30, 2000, 0, 0, 0");
  treno.push_back("[fine]");
  // More lines than a line list holds: written as they are.
  const auto testo = [](const std::vector<std::string>& righe) {
    std::string s;
    for (const std::string& r : righe) s += r + "\r\n";
    return s;
  };
  const fs::path l = c.percorso() / "Lunga_linea.txt", t = c.percorso() / "Lunga_1-.txt";
  scrivi_file_atomico(l, testo(linea));
  scrivi_file_atomico(t, testo(treno));
  const EsitoStrumento e = esegui_prova({"plot", l.string(), t.string(), "-o", "-"});
  ASSERT_EQ(e.stato, 0) << e.err;
  EXPECT_LT(e.out.size(), 3u << 20);
  ASSERT_EQ(leggi_xml(e.out).errore, "");
  controlla_disposizione(e.out);
  // Every feature keeps its mark and tooltip, labelled or not.
  EXPECT_EQ(conta(gruppo(e.out, "signals"), "class=\"mark\""), 247u);
  EXPECT_EQ(conta(gruppo(e.out, "slowdowns"), "<title>"), 1u);
  const std::string km = gruppo(e.out, "km");
  EXPECT_NE(km.find(">500</text>"), std::string::npos);

  // A stretch of it labels every feature there.
  const EsitoStrumento s =
      esegui_prova({"plot", l.string(), t.string(), "-o", "-", "--from", "590", "--to", "610"});
  ASSERT_EQ(s.stato, 0) << s.err;
  controlla_disposizione(s.out);
  EXPECT_TRUE(ha_etichetta(gruppo(s.out, "slowdowns"), "Slowdown 30 km/h"));
  EXPECT_EQ(conta(gruppo(s.out, "signals"), "class=\"label\""), 5u);
  EXPECT_EQ(s.out.find("left out"), std::string::npos);
}

}  // namespace
}  // namespace scenario
