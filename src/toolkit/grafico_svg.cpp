#include "toolkit/grafico_svg.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <sstream>
#include <unordered_map>

#include "compiler/posizioni.h"
#include "output/descrizione_compilati.h"
#include "text/cp1252.h"

namespace scenario {
namespace {

constexpr double kLarghezza = 1200;
constexpr double kMargineSinistro = 70;
constexpr double kMargineDestro = 30;
constexpr double kAltezzaPianta = 560;
constexpr double kAltezzaProfilo = 130;
constexpr double kSpazioProfili = 42;
constexpr double kPi = 3.14159265358979323846;
constexpr double kCoordinataMassima = 1e8;  // metres from the origin
constexpr double kCorpoEtichetta = 10;
constexpr double kRigaEtichetta = 13;  // one row of labels along the distance axis
constexpr int kRigheLungoPercorso = 8;
// Labels that found no place, after which a part of the picture tries no more.
constexpr int kTentativiVani = 300;  // beyond these, labels are left out

std::string n(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f", v);
  return buf;
}

// The smallest of 1, 2, 5, 10, 20, 50... that splits `ampiezza` into at most
// `parti` steps.
double passo_tondo(double ampiezza, double parti) {
  for (double p = 1;; p *= 10) {
    for (double m : {1.0, 2.0, 5.0}) {
      if (ampiezza / (m * p) <= parti) return m * p;
    }
  }
}

std::string breve(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", v);
  return buf;
}

// Characters, not bytes, of a UTF-8 text.
size_t caratteri(std::string_view s) {
  return static_cast<size_t>(std::count_if(
      s.begin(), s.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

struct Punto {
  double x, y;
};

struct Rettangolo {
  double x0, y0, x1, y1;
  bool incontra(const Rettangolo& r) const {
    return x0 < r.x1 && r.x0 < x1 && y0 < r.y1 && r.y0 < y1;
  }
  bool dentro(const Rettangolo& r) const {
    return x0 >= r.x0 && x1 <= r.x1 && y0 >= r.y0 && y1 <= r.y1;
  }
};

// A board's text is one parenthesised group per line of the board: the
// label shows the lines side by side, their padding blanks left out.
std::string righe_cartello(const std::string& testo) {
  std::string r;
  std::string riga;
  const auto chiudi = [&] {
    while (!riga.empty() && riga.back() == ' ') riga.pop_back();
    size_t i = riga.find_first_not_of(' ');
    if (i != std::string::npos) {
      if (!r.empty()) r += " / ";
      r += riga.substr(i);
    }
    riga.clear();
  };
  for (char c : testo) {
    if (c == '(' || c == ')') {
      chiudi();
    } else {
      riga += c;
    }
  }
  chiudi();
  return r.empty() ? testo : r;
}

enum class Genere {
  kStazione,
  kSegnale,
  kCartello,
  kIndicatori,
  kRallentamento,
  kInizioPercorso,
  kFinePercorso,
};

// One feature of the route, as the picture shows it.
struct Elemento {
  Genere genere;
  int64_t posizione;      // metres along the route
  int sottotipo = 0;      // signals: 1 distant, 2 home (the left signal's kind)
  std::string etichetta;  // its text on the picture
  std::string titolo;     // its tooltip
  // Slowdowns: warning point, end and speed; speed boards: the left speeds.
  int64_t avviso = -1, fine = 0;
  int velocita = 0;
  std::array<int, 3> velocita_tabella{};
};

// One mark of a feature kind, centred on (x, y): the same on the track, on
// the distance axis and in the legend.
void simbolo(std::ostringstream& s, Genere g, int sottotipo, double x, double y) {
  switch (g) {
    case Genere::kStazione:
      s << "<rect class=\"mark\" x=\"" << n(x - 5) << "\" y=\"" << n(y - 5)
        << "\" width=\"10\" height=\"10\" fill=\"#ffbf00\" stroke=\"#222\" stroke-width=\"1\"/>";
      break;
    case Genere::kSegnale:
      s << "<circle class=\"mark\" cx=\"" << n(x) << "\" cy=\"" << n(y) << "\" r=\"3.8\" fill=\""
        << (sottotipo == 1 ? "#f2c200" : "#d62728") << "\" stroke=\"#222\" stroke-width=\"0.9\"/>";
      break;
    case Genere::kCartello:
      s << "<rect class=\"mark\" x=\"" << n(x - 1.5) << "\" y=\"" << n(y - 5)
        << "\" width=\"3\" height=\"10\" fill=\"#2ca02c\"/>";
      break;
    case Genere::kIndicatori:
      s << "<path class=\"mark\" d=\"M" << n(x) << " " << n(y - 5) << " L" << n(x + 5) << " "
        << n(y) << " L" << n(x) << " " << n(y + 5) << " L" << n(x - 5) << " " << n(y)
        << " Z\" fill=\"#ffffff\" stroke=\"#1f4e9c\" stroke-width=\"1.4\"/>";
      break;
    case Genere::kRallentamento:
      s << "<path class=\"mark\" d=\"M" << n(x) << " " << n(y - 5) << " L" << n(x + 5) << " "
        << n(y + 4) << " L" << n(x - 5) << " " << n(y + 4)
        << " Z\" fill=\"#ff7f0e\" stroke=\"#222\" stroke-width=\"0.8\"/>";
      break;
    case Genere::kInizioPercorso:
      s << "<circle class=\"mark\" cx=\"" << n(x) << "\" cy=\"" << n(y)
        << "\" r=\"5\" fill=\"#ffffff\" stroke=\"#222\" stroke-width=\"2\"/>";
      break;
    case Genere::kFinePercorso:
      s << "<rect class=\"mark\" x=\"" << n(x - 5) << "\" y=\"" << n(y - 5)
        << "\" width=\"10\" height=\"10\" fill=\"#222\"/>";
      break;
  }
}

// The order labels are placed in, the most telling first.
int precedenza(Genere g) {
  switch (g) {
    case Genere::kStazione:
      return 0;
    case Genere::kInizioPercorso:
    case Genere::kFinePercorso:
      return 1;
    case Genere::kRallentamento:
      return 2;
    case Genere::kIndicatori:
      return 3;
    case Genere::kSegnale:
      return 4;
    case Genere::kCartello:
      break;
  }
  return 5;
}

const char* gruppo_di(Genere g) {
  switch (g) {
    case Genere::kStazione:
      return "stations";
    case Genere::kSegnale:
      return "signals";
    case Genere::kCartello:
      return "boards";
    case Genere::kIndicatori:
      return "speed-boards";
    case Genere::kRallentamento:
      return "slowdown-marks";
    case Genere::kInizioPercorso:
    case Genere::kFinePercorso:
      break;
  }
  return "ends";
}

// Labels placed so far, over the whole picture: a new one goes at the first
// of its candidate places that meets none of them nor anything reserved.
class Posatore {
 public:
  void riserva(const Rettangolo& r) {
    const size_t i = occupati_.size();
    occupati_.push_back(r);
    per_casella(r, [&](int64_t c) { caselle_[c].push_back(i); });
  }
  bool libero(const Rettangolo& r) const {
    bool si = true;
    per_casella(r, [&](int64_t c) {
      const auto it = caselle_.find(c);
      if (!si || it == caselle_.end()) return;
      for (size_t i : it->second) {
        if (occupati_[i].incontra(r)) {
          si = false;
          return;
        }
      }
    });
    return si;
  }
  // An extra test a place must pass (the track in the plan view).
  using Libero = std::function<bool(const Rettangolo&)>;

  std::optional<Rettangolo> posa(const std::vector<Rettangolo>& candidati, const Rettangolo& area,
                                 const Libero& prova = nullptr) {
    for (const Rettangolo& c : candidati) {
      if (!c.dentro(area) || !libero(c)) continue;
      if (prova && !prova(c)) continue;
      riserva(c);
      return c;
    }
    return std::nullopt;
  }

 private:
  // Occupied places are looked up by the 32 px squares they cover, so that a
  // crowded picture costs in proportion to its crowd, not to its square.
  static constexpr double kLato = 32;
  static int64_t casella(double v) {
    if (!(v >= -1e6)) v = -1e6;  // NaN too
    if (!(v <= 1e6)) v = 1e6;
    return static_cast<int64_t>(std::floor(v / kLato));
  }
  template <typename F>
  static void per_casella(const Rettangolo& r, F f) {
    const int64_t a = casella(r.x0), b = casella(r.x1), c = casella(r.y0), d = casella(r.y1);
    for (int64_t y = c; y <= d; ++y) {
      for (int64_t x = a; x <= b; ++x) f(y * 100000 + x);
    }
  }
  std::vector<Rettangolo> occupati_;
  std::unordered_map<int64_t, std::vector<size_t>> caselle_;
};

// The label text in its box (start-anchored, baseline near the bottom), on a
// white ground that hides any leader passing behind it.
void etichetta(std::ostringstream& s, const Rettangolo& r, const std::string& testo) {
  s << "<rect x=\"" << n(r.x0) << "\" y=\"" << n(r.y0 + 1) << "\" width=\"" << n(r.x1 - r.x0)
    << "\" height=\"" << n(r.y1 - r.y0 - 1) << "\" fill=\"#fff\" fill-opacity=\"0.85\"/>";
  s << "<text class=\"label\" x=\"" << n(r.x0 + 2) << "\" y=\"" << n(r.y1 - 3) << "\" font-size=\""
    << n(kCorpoEtichetta) << "\">" << testo_xml(testo) << "</text>";
}

Rettangolo scatola(double x0, double y0, const std::string& testo) {
  return {x0, y0, x0 + larghezza_etichetta(caratteri(testo), kCorpoEtichetta),
          y0 + kCorpoEtichetta * 1.3};
}

// The point of r nearest to p, where a leader line ends.
Punto vicino(const Rettangolo& r, Punto p) {
  return {std::clamp(p.x, r.x0, r.x1), std::clamp(p.y, r.y0, r.y1)};
}

void linea_guida(std::ostringstream& s, Punto p, const Rettangolo& r) {
  const Punto q = vicino(r, p);
  if (std::hypot(q.x - p.x, q.y - p.y) < 3) return;
  s << "<line class=\"leader\" x1=\"" << n(p.x) << "\" y1=\"" << n(p.y) << "\" x2=\"" << n(q.x)
    << "\" y2=\"" << n(q.y) << "\" stroke=\"#777\" stroke-width=\"0.6\"/>";
}

// Which of a grid of 4 px squares the track passes through: a label may not
// cover one.
class GrigliaTraccia {
 public:
  GrigliaTraccia(const Rettangolo& area) : area_(area) {
    colonne_ = static_cast<int>((area.x1 - area.x0) / kLato) + 1;
    righe_ = static_cast<int>((area.y1 - area.y0) / kLato) + 1;
    pieni_.assign(static_cast<size_t>(colonne_) * static_cast<size_t>(righe_), false);
  }
  void segmento(Punto a, Punto b) {
    const double l = std::hypot(b.x - a.x, b.y - a.y);
    const int passi = static_cast<int>(l) + 1;
    for (int i = 0; i <= passi; ++i) {
      const double t = static_cast<double>(i) / passi;
      segna(a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t);
    }
  }
  bool libero(const Rettangolo& r) const {
    const int c0 = colonna(r.x0), c1 = colonna(r.x1), r0 = riga(r.y0), r1 = riga(r.y1);
    for (int y = r0; y <= r1; ++y) {
      for (int x = c0; x <= c1; ++x) {
        if (pieno(x, y)) return false;
      }
    }
    return true;
  }

 private:
  static constexpr double kLato = 4;
  int colonna(double x) const { return static_cast<int>(std::floor((x - area_.x0) / kLato)); }
  int riga(double y) const { return static_cast<int>(std::floor((y - area_.y0) / kLato)); }
  bool pieno(int x, int y) const {
    if (x < 0 || y < 0 || x >= colonne_ || y >= righe_) return false;
    return pieni_[static_cast<size_t>(y) * static_cast<size_t>(colonne_) + static_cast<size_t>(x)];
  }
  void segna(double px, double py) {
    const int x = colonna(px), y = riga(py);
    if (x < 0 || y < 0 || x >= colonne_ || y >= righe_) return;
    pieni_[static_cast<size_t>(y) * static_cast<size_t>(colonne_) + static_cast<size_t>(x)] = true;
  }
  Rettangolo area_;
  int colonne_ = 0, righe_ = 0;
  std::vector<bool> pieni_;
};

class Grafico {
 public:
  explicit Grafico(const DatiGrafico& d) : d_(d) {
    // A damaged items file may hold any length: draw within the model's limit.
    lunghezza_ = std::clamp(d.voci[kVoceTreno].fine, 1, kLunghezzaMassima);
    da_ = std::clamp<int64_t>(d.da, 0, lunghezza_ - 1);
    a_ = d.a < 0 ? lunghezza_ : std::clamp<int64_t>(d.a, da_ + 1, lunghezza_);
    larghezza_utile_ = kLarghezza - kMargineSinistro - kMargineDestro;
    raccogli_elementi();
  }

  std::string disegna() {
    std::ostringstream corpo;
    corpo << "<text x=\"" << n(kMargineSinistro) << "\" y=\"28\" class=\"titolo\">"
          << testo_xml(d_.titolo) << "</text>\n";
    double y = legenda(corpo, 44);
    if (d_.con_pianta) y = pianta(corpo, y + 18);
    y = lungo_percorso(corpo, y);
    const double y_profili = y;
    y = profilo(
        corpo, y, "gradient", "Gradient (\u2030); montagna stretches shaded", true,
        [](const Cella& c) { return static_cast<double>(pendenza_cella(c)); },
        [](const Cella& c) { return c.pendenza != 0; }, nullptr);
    y = profilo(
        corpo, y, "speed", "Line-speed limit (km/h), slowdowns and speed indicator boards", false,
        [](const Cella& c) { return static_cast<double>(velocita_cella(c)); },
        [](const Cella& c) { return c.vel_limite != 0; },
        [this](std::ostringstream& s, const std::function<double(double)>& y_di, double top,
               double bottom) { velocita_extra(s, y_di, top, bottom); });
    y = profilo(
        corpo, y, "adhesion", "Adhesion (%)", false,
        [](const Cella& c) { return static_cast<double>(c.aderenza); },
        [](const Cella&) { return true; }, nullptr);
    stazioni_sui_profili(corpo, y_profili, y - kSpazioProfili);
    y = asse_km(corpo, y - kSpazioProfili + 4);

    std::ostringstream svg;
    svg << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << n(kLarghezza) << "\" height=\""
        << n(y + 20) << "\" viewBox=\"0 0 " << n(kLarghezza) << " " << n(y + 20) << "\">\n"
        << "<style>\n"
        << "text { font-family: sans-serif; font-size: 11px; fill: #222; }\n"
        << ".titolo { font-size: 16px; font-weight: bold; }\n"
        << ".pannello { font-size: 12px; font-weight: bold; }\n"
        << ".piccolo { font-size: 9px; fill: #555; }\n"
        << ".cornice { fill: none; stroke: #999; stroke-width: 0.8; }\n"
        << ".griglia { stroke: #ddd; stroke-width: 0.6; }\n"
        << ".label { paint-order: stroke; stroke: #fff; stroke-width: 3px; stroke-linejoin: round; "
           "}\n"
        << "</style>\n"
        << "<rect x=\"0\" y=\"0\" width=\"" << n(kLarghezza) << "\" height=\"" << n(y + 20)
        << "\" fill=\"white\"/>\n"
        << corpo.str() << "</svg>\n";
    return svg.str();
  }

 private:
  double x_distanza(double metri) const {
    const double t = (metri - static_cast<double>(da_)) / static_cast<double>(a_ - da_);
    return kMargineSinistro + larghezza_utile_ * std::clamp(t, 0.0, 1.0);
  }
  bool nel_tratto(int64_t p) const { return p >= da_ && p <= a_; }

  std::string km(int64_t pos) const { return testo_progressiva(progressiva(d_.voci, pos)); }

  // " (keyword entry at FILE:LINE)" for a feature drawn from sources.
  std::string luogo(const char* voce, const std::function<bool(int32_t)>& stessa) const {
    for (const LuogoVoce& l : d_.luoghi) {
      if (l.voce != voce || !stessa(l.posizione)) continue;
      return "; " + l.voce + " entry at " + l.luogo.file + ":" + std::to_string(l.luogo.riga);
    }
    return "";
  }
  std::string luogo_cella(const std::string& voce, size_t k) const {
    const auto it = luoghi_per_cella_.find({voce, static_cast<int64_t>(k)});
    if (it == luoghi_per_cella_.end()) return "";
    const LuogoVoce& l = *it->second;
    return "; " + l.voce + " entry at " + l.luogo.file + ":" + std::to_string(l.luogo.riga);
  }

  // Station items: 1 upward, for as long as they hold a station.
  template <typename F>
  void per_stazione(F f) const {
    for (int i = 1; i < kVoceProgressivaTre; ++i) {
      const Voce& v = d_.voci[static_cast<size_t>(i)];
      if (ruolo_voce(i, v) != "station") break;
      f(v);
    }
  }

  // The next station at or beyond a position: the one a signal there protects.
  std::string stazione_dopo(int64_t pos) const {
    std::string nome;
    per_stazione([&](const Voce& v) {
      if (nome.empty() && v.posizione >= pos) nome = cp1252_a_utf8(v.nome);
    });
    return nome;
  }

  // A point feature in cell k stands at the start of the cell before it.
  static int64_t posizione_punto(size_t k) { return (static_cast<int64_t>(k) - 1) * 50; }

  void raccogli_elementi() {
    // Point features by keyword and cell; the first entry of a cell is the one it holds.
    for (const LuogoVoce& l : d_.luoghi) {
      luoghi_per_cella_.emplace(std::pair(l.voce, int64_t{cella_punto(l.posizione)}), &l);
    }
    // For each cell, the first slowdown end from it on.
    std::vector<size_t> fine_da(d_.celle.size() + 1, d_.celle.size());
    for (size_t k = d_.celle.size(); k-- > 0;) {
      fine_da[k] = d_.celle[k].tipo == kFineRallentamento ? k : fine_da[k + 1];
    }
    elementi_.push_back({Genere::kInizioPercorso, 0, 0, "Start " + km(0),
                         "start of the route, 0 m (" + km(0) + ")"});
    per_stazione([&](const Voce& v) {
      const std::string nome = cp1252_a_utf8(v.nome);
      const int32_t p = v.posizione;
      elementi_.push_back({Genere::kStazione, p, 0, nome,
                           "station " + nome + " at " + std::to_string(p) + " m (" + km(p) +
                               "), type " + std::to_string(v.tipo) + ", from " +
                               std::to_string(v.inizio) + " to " + std::to_string(v.fine) + " m" +
                               luogo("stazione", [p](int32_t q) { return q == p; })});
    });
    const char* nomi_segnale[] = {"", "Distant", "Home"};
    for (size_t k = 0; k < d_.celle.size(); ++k) {
      const Cella& c = d_.celle[k];
      const int64_t pos = posizione_punto(k);
      if (c.tipo == kSegnale) {
        // dato4 = rapp x 10 + left kind x 3 + right kind.
        const int combinato = std::abs(c.dato4 % 10);
        const int sx = combinato / 3, dx = combinato % 3;
        const int tipo = sx != 0 ? sx : dx;
        const std::string nome = tipo >= 1 && tipo <= 2 ? nomi_segnale[tipo] : "Signal";
        std::string lati;
        if (sx != 0 && dx != 0) {
          lati = sx == dx ? " L+R" : " L, " + std::string(dx <= 2 ? nomi_segnale[dx] : "?") + " R";
        } else if (dx != 0) {
          lati = " R";
        }
        const std::string stazione = stazione_dopo(pos);
        const std::string testo = nome + lati + (stazione.empty() ? "" : " (" + stazione + ")");
        std::string titolo = (tipo == 1   ? "distant signal"
                              : tipo == 2 ? "home signal"
                                          : "signal") +
                             lati + " at " + std::to_string(pos) + " m (" + km(pos) + ")";
        if (!stazione.empty()) titolo += ", protecting " + stazione;
        elementi_.push_back(
            {Genere::kSegnale, pos, tipo, testo, titolo + luogo_cella("segnale", k)});
      } else if (c.tipo == kCartello) {
        const int i = c.dato1;
        const std::string testo =
            i >= 0 && i < kNumeroVoci ? cp1252_a_utf8(d_.voci[static_cast<size_t>(i)].nome) : "";
        elementi_.push_back({Genere::kCartello, pos, 0, righe_cartello(testo),
                             "text board at " + std::to_string(pos) + " m (" + km(pos) +
                                 "): " + testo + luogo_cella("cartello_indicatore", k)});
      } else if (c.tipo == kIndicatoriVMax) {
        // Each of dato1 to dato3 holds a left speed x 20 plus the right one / 5.
        Elemento e{Genere::kIndicatori, pos, 0, "", ""};
        std::array<int, 3> destra{};
        const int16_t dati[3] = {c.dato1, c.dato2, c.dato3};
        for (int j = 0; j < 3; ++j) {
          e.velocita_tabella[static_cast<size_t>(j)] = dati[j] / 20;
          destra[static_cast<size_t>(j)] = dati[j] % 20 * 5;
        }
        const auto tre = [](const std::array<int, 3>& v) {
          return std::to_string(v[0]) + "/" + std::to_string(v[1]) + "/" + std::to_string(v[2]);
        };
        e.etichetta = "V " + tre(e.velocita_tabella);
        const bool con_destra = destra != std::array<int, 3>{};
        if (con_destra) e.etichetta += " R " + tre(destra);
        e.titolo = "speed indicator boards at " + std::to_string(pos) + " m (" + km(pos) +
                   "): left " + tre(e.velocita_tabella) + " km/h" +
                   (con_destra ? ", right " + tre(destra) + " km/h" : "") +
                   luogo_cella("indicatori_vmax", k);
        elementi_.push_back(e);
      } else if (c.tipo == kInizioRallentamento) {
        // The end is the first end cell from the start on; a start and end
        // on one cell is a start cell.
        const size_t f = fine_da[k + 1];
        const int64_t fine = f < d_.celle.size() ? posizione_punto(f) : pos;
        int64_t avviso = -1;
        for (size_t w = k; w-- > 0 && posizione_punto(w) >= pos - 1400;) {
          if (d_.celle[w].tipo == kAvvisoRallentamento && d_.celle[w].dato1 == c.dato1) {
            avviso = posizione_punto(w);
            break;
          }
        }
        Elemento e{Genere::kRallentamento, pos, 0, "", ""};
        e.avviso = avviso;
        e.fine = fine;
        e.velocita = c.dato1;
        e.etichetta = "Slowdown " + std::to_string(c.dato1) + " km/h";
        e.titolo = "slowdown to " + std::to_string(c.dato1) + " km/h from " + std::to_string(pos) +
                   " m (" + km(pos) + ") to " + std::to_string(fine) + " m, " +
                   std::to_string(fine - pos) + " m" +
                   (avviso >= 0 ? ", warning at " + std::to_string(avviso) + " m" : "") +
                   luogo_cella("rallentamento", k);
        elementi_.push_back(e);
      }
    }
    elementi_.push_back(
        {Genere::kFinePercorso, lunghezza_, 0, "End " + km(lunghezza_),
         "end of the route, " + std::to_string(lunghezza_) + " m (" + km(lunghezza_) + ")"});
    // The order labels are placed in: the most telling first, so that on a
    // crowded picture the signals and boards are the ones left unlabelled.
    std::stable_sort(elementi_.begin(), elementi_.end(), [](const Elemento& a, const Elemento& b) {
      return precedenza(a.genere) < precedenza(b.genere);
    });
  }

  double legenda(std::ostringstream& s, double y) {
    struct VoceLegenda {
      Genere g;
      int sottotipo;
      const char* testo;
    };
    const VoceLegenda voci[] = {{Genere::kStazione, 0, "station"},
                                {Genere::kSegnale, 1, "distant signal"},
                                {Genere::kSegnale, 2, "home signal"},
                                {Genere::kCartello, 0, "text board"},
                                {Genere::kIndicatori, 0, "speed indicator boards (left speeds)"},
                                {Genere::kRallentamento, 0, "slowdown warning"},
                                {Genere::kInizioPercorso, 0, "start of route"},
                                {Genere::kFinePercorso, 0, "end of route"}};
    s << "<g id=\"legend\">\n";
    double x = kMargineSinistro;
    const double riga = y + 8;
    for (const VoceLegenda& v : voci) {
      const double w = 16 + larghezza_etichetta(std::string_view(v.testo).size(), 10) + 14;
      if (x + w > kLarghezza - kMargineDestro) break;
      simbolo(s, v.g, v.sottotipo, x + 6, riga);
      s << "<text x=\"" << n(x + 16) << "\" y=\"" << n(riga + 3.5) << "\" font-size=\"10\">"
        << v.testo << "</text>\n";
      x += w;
    }
    // Lines and shading, on a second row.
    x = kMargineSinistro;
    const double seconda = riga + 18;
    const auto tratto = [&](const char* stile, const char* testo) {
      s << "<line x1=\"" << n(x) << "\" y1=\"" << n(seconda) << "\" x2=\"" << n(x + 22)
        << "\" y2=\"" << n(seconda) << "\" " << stile << "/><text x=\"" << n(x + 28) << "\" y=\""
        << n(seconda + 3.5) << "\" font-size=\"10\">" << testo << "</text>\n";
      x += 28 + larghezza_etichetta(std::string_view(testo).size(), 10) + 14;
    };
    tratto("stroke=\"#1f4e9c\" stroke-width=\"2.2\"", "track, line-speed limit");
    tratto("stroke=\"#ff7f0e\" stroke-width=\"2.2\"", "slowdown speed");
    tratto("stroke=\"#ff7f0e\" stroke-width=\"1\" stroke-dasharray=\"3 2\"",
           "warning to start of slowdown");
    tratto("stroke=\"#b08900\" stroke-width=\"0.8\" stroke-dasharray=\"4 3\"", "station");
    tratto("stroke=\"#8c2d04\" stroke-width=\"1.4\"", "gradient");
    s << "<rect x=\"" << n(x) << "\" y=\"" << n(seconda - 5) << "\" width=\"22\" height=\"10\" "
      << "fill=\"#c8a165\" fill-opacity=\"0.35\"/><text x=\"" << n(x + 28) << "\" y=\""
      << n(seconda + 3.5) << "\" font-size=\"10\">montagna stretch</text>\n";
    x += 28 + larghezza_etichetta(16, 10) + 14;
    s << "<path d=\"M" << n(x) << " " << n(seconda) << " H" << n(x + 16) << " M" << n(x + 11) << " "
      << n(seconda - 4) << " L" << n(x + 17) << " " << n(seconda) << " L" << n(x + 11) << " "
      << n(seconda + 4) << "\" fill=\"none\" stroke=\"#222\" stroke-width=\"1.4\"/><text x=\""
      << n(x + 24) << "\" y=\"" << n(seconda + 3.5) << "\" font-size=\"10\">direction of "
      << "travel</text>\n</g>\n";
    return seconda + 14;
  }

  // The route's last row drawn: the stretch's end, within the rows the table has.
  int64_t ultima_riga() const { return std::min<int64_t>(a_, d_.tracciato->ultima_riga() - 2); }

  // A row with both coordinates, each within reach of a route of the longest
  // length (a damaged plan file may hold any double, infinities and NaN too).
  bool riga_valida(int64_t r) const {
    if (r < 0 || r > d_.tracciato->ultima_riga()) return false;
    for (int c = 0; c < 2; ++c) {
      if (d_.tracciato->etichetta(r, c) == Etichetta::kVuoto) return false;
      if (!(std::abs(d_.tracciato->valore(r, c)) <= kCoordinataMassima)) return false;
    }
    return true;
  }

  Punto punto(int64_t r) const {
    Punto p{d_.tracciato->valore(r, 0), d_.tracciato->valore(r, 1)};
    return {ox_ + (p.x - min_x_) * scala_, oy_ - (p.y - min_y_) * scala_};
  }

  // The direction of travel at a row, as a unit vector on the picture.
  Punto direzione(int64_t r) const {
    const int64_t a = std::max<int64_t>(da_, r - 5), b = std::min(ultima_riga(), r + 5);
    if (!riga_valida(a) || !riga_valida(b)) return {1, 0};
    const Punto pa = punto(a), pb = punto(b);
    const double l = std::hypot(pb.x - pa.x, pb.y - pa.y);
    return l > 0 ? Punto{(pb.x - pa.x) / l, (pb.y - pa.y) / l} : Punto{1, 0};
  }

  // The plan view: returns the y where the next part starts.
  double pianta(std::ostringstream& s, double y) {
    s << "<g id=\"plan\">\n<text x=\"" << n(kMargineSinistro) << "\" y=\"" << n(y)
      << "\" class=\"pannello\">Track seen from above (equal scales)</text>\n";
    y += 10;
    if (d_.tracciato == nullptr || !d_.tracciato->creato() || !riga_valida(da_)) {
      s << "<text x=\"" << n(kMargineSinistro) << "\" y=\"" << n(y + 20)
        << "\">No plan file: the scenario was compiled without the plan table.</text>\n</g>\n";
      return y + 40 + kSpazioProfili;
    }
    const int64_t ultima = ultima_riga();
    min_x_ = min_y_ = 1e300;
    double max_x = -1e300, max_y = -1e300;
    for (int64_t r = da_; r <= ultima; ++r) {
      if (!riga_valida(r)) continue;
      const double px = d_.tracciato->valore(r, 0), py = d_.tracciato->valore(r, 1);
      min_x_ = std::min(min_x_, px), max_x = std::max(max_x, px);
      min_y_ = std::min(min_y_, py), max_y = std::max(max_y, py);
    }
    const double w = std::max(max_x - min_x_, 1.0), h = std::max(max_y - min_y_, 1.0);
    // Room around the track for the labels.
    const double box_w = larghezza_utile_ - 240, box_h = kAltezzaPianta - 120;
    scala_ = std::min(box_w / w, box_h / h);
    ox_ = kMargineSinistro + 120 + (box_w - w * scala_) / 2;
    oy_ = y + 60 + box_h - (box_h - h * scala_) / 2;
    const Rettangolo area{kMargineSinistro, y + 4, kLarghezza - kMargineDestro,
                          y + kAltezzaPianta - 24};
    s << "<rect class=\"cornice\" x=\"" << n(area.x0) << "\" y=\"" << n(area.y0) << "\" width=\""
      << n(area.x1 - area.x0) << "\" height=\"" << n(area.y1 - area.y0) << "\"/>\n";

    // The route: a point wherever it has moved a pixel on the picture.
    GrigliaTraccia griglia(area);
    s << "<path id=\"track\" fill=\"none\" stroke=\"#1f4e9c\" stroke-width=\"2.2\" "
         "stroke-linejoin=\"round\" d=\"";
    bool primo = true;
    Punto ultimo{0, 0};
    for (int64_t r = da_; r <= ultima; ++r) {
      if (!riga_valida(r)) continue;
      const Punto p = punto(r);
      if (!primo && r != ultima && std::hypot(p.x - ultimo.x, p.y - ultimo.y) < 1.0) continue;
      if (!primo) griglia.segmento(ultimo, p);
      s << (primo ? "M" : " L") << n(p.x) << " " << n(p.y);
      primo = false;
      ultimo = p;
    }
    s << "\"/>\n";
    freccia(s, griglia);
    scala_metrica(s, area.y1 - 10);
    posatore_.riserva({area.x0, area.y1 - 30, area.x0 + 250, area.y1});
    s << "</g>\n";

    // Marks first, so that no label covers one; then the labels.
    std::vector<std::pair<const Elemento*, Punto>> segnati;
    for (const Elemento& e : elementi_) {
      if (!nel_tratto(e.posizione) || e.genere == Genere::kRallentamento) continue;
      const int64_t r = std::min<int64_t>(e.posizione, ultima);
      if (!riga_valida(r)) continue;
      Punto p = punto(r);
      const Punto t = direzione(r);
      // Signals and boards stand beside the track, to its right.
      if (e.genere == Genere::kSegnale || e.genere == Genere::kCartello) {
        p = {p.x - t.y * 8, p.y + t.x * 8};
      } else if (e.genere == Genere::kIndicatori) {
        p = {p.x + t.y * 8, p.y - t.x * 8};
      }
      segnati.push_back({&e, p});
      posatore_.riserva({p.x - 5, p.y - 5, p.x + 5, p.y + 5});
    }
    std::map<std::string, std::ostringstream> gruppi;
    for (const auto& [e, p] : segnati) {
      std::ostringstream& g = gruppi[gruppo_di(e->genere)];
      g << "<g><title>" << testo_xml(e->titolo) << "</title>";
      simbolo(g, e->genere, e->sottotipo, p.x, p.y);
      std::vector<Rettangolo> candidati;
      const Rettangolo base = scatola(0, 0, e->etichetta);
      const double lw = base.x1, lh = base.y1;
      // Signals and boards come in crowds: their labels stay close or go.
      const double lontano = precedenza(e->genere) >= precedenza(Genere::kSegnale) ? 64 : 120;
      for (double dist : {8.0, 16.0, 28.0, 44.0, 64.0, 90.0, 120.0}) {
        if (dist > lontano) break;
        for (int i = 0; i < 16; ++i) {
          const double ang = i * kPi / 8;
          const double dx = std::cos(ang), dy = std::sin(ang);
          const double cx = p.x + dx * (dist + lw / 2), cy = p.y + dy * (dist + lh / 2);
          candidati.push_back({cx - lw / 2, cy - lh / 2, cx + lw / 2, cy + lh / 2});
        }
      }
      // On a picture this crowded the rest would find no room either.
      const auto r = senza_etichetta_ > kTentativiVani
                         ? std::nullopt
                         : posatore_.posa(candidati, area,
                                          [&](const Rettangolo& c) { return griglia.libero(c); });
      if (r) {
        linea_guida(g, p, *r);
        etichetta(g, *r, e->etichetta);
      } else {
        ++senza_etichetta_;
      }
      g << "</g>\n";
    }
    for (const char* id : {"ends", "stations", "signals", "boards", "speed-boards"}) {
      s << "<g id=\"" << id << "\">\n" << gruppi[id].str() << "</g>\n";
    }
    if (senza_etichetta_ > 0) {
      s << "<text x=\"" << n(area.x1 - 4) << "\" y=\"" << n(area.y1 + 14)
        << "\" text-anchor=\"end\" class=\"piccolo\">" << senza_etichetta_
        << " labels found no free place on the track view (hover the marks, or draw a "
           "stretch with --from and --to)</text>\n";
    }
    return y + kAltezzaPianta + kSpazioProfili - 20;
  }

  // An arrow along the track near the start of the stretch, in the direction
  // of travel, beside the track.
  void freccia(std::ostringstream& s, GrigliaTraccia& griglia) {
    const int64_t r = std::min<int64_t>(da_ + (a_ - da_) / 20, ultima_riga());
    if (!riga_valida(r)) return;
    const Punto p = punto(r), t = direzione(r);
    const Punto c{p.x + t.y * 16, p.y - t.x * 16};  // to the left of the track
    const Punto a{c.x - t.x * 12, c.y - t.y * 12}, b{c.x + t.x * 12, c.y + t.y * 12};
    const Punto l{b.x - t.x * 6 + t.y * 4, b.y - t.y * 6 - t.x * 4};
    const Punto d{b.x - t.x * 6 - t.y * 4, b.y - t.y * 6 + t.x * 4};
    s << "<path id=\"direction\" d=\"M" << n(a.x) << " " << n(a.y) << " L" << n(b.x) << " "
      << n(b.y) << " M" << n(l.x) << " " << n(l.y) << " L" << n(b.x) << " " << n(b.y) << " L"
      << n(d.x) << " " << n(d.y)
      << "\" fill=\"none\" stroke=\"#222\" stroke-width=\"1.6\"><title>direction of "
         "travel</title></path>\n";
    griglia.segmento(a, b);
  }

  void scala_metrica(std::ostringstream& s, double y) {
    double metri = 1000;
    while (metri * scala_ > 240) metri /= 10;
    while (metri * scala_ < 60) metri *= 2;
    const double x = kMargineSinistro + 8;
    s << "<g id=\"scale\"><line x1=\"" << n(x) << "\" y1=\"" << n(y) << "\" x2=\""
      << n(x + metri * scala_) << "\" y2=\"" << n(y)
      << "\" stroke=\"#222\" stroke-width=\"2\"/><text x=\"" << n(x) << "\" y=\"" << n(y - 5)
      << "\" class=\"piccolo\">"
      << (metri >= 1000 ? breve(metri / 1000) + " km" : breve(metri) + " m") << "</text></g>\n";
  }

  // The features on the distance axis, so that they show without a plan
  // table too: marks on a line, labels in rows below.
  double lungo_percorso(std::ostringstream& s, double y) {
    s << "<g id=\"along\">\n<text x=\"" << n(kMargineSinistro) << "\" y=\"" << n(y)
      << "\" class=\"pannello\">Features along the route</text>\n";
    const double linea = y + 16;
    s << "<line x1=\"" << n(kMargineSinistro) << "\" y1=\"" << n(linea) << "\" x2=\""
      << n(kLarghezza - kMargineDestro) << "\" y2=\"" << n(linea)
      << "\" stroke=\"#1f4e9c\" stroke-width=\"1.2\"/>\n";
    // The most telling first; each kind in route order, so that the rows
    // fill from the left.
    std::vector<const Elemento*> ordinati;
    for (const Elemento& e : elementi_) {
      if (nel_tratto(e.posizione)) ordinati.push_back(&e);
    }
    std::stable_sort(ordinati.begin(), ordinati.end(), [](const Elemento* a, const Elemento* b) {
      return std::pair(precedenza(a->genere), a->posizione) <
             std::pair(precedenza(b->genere), b->posizione);
    });
    const double prima_riga = linea + 10;
    const Rettangolo area{kMargineSinistro - 40, prima_riga, kLarghezza,
                          prima_riga + kRigheLungoPercorso * kRigaEtichetta};
    int righe = 0, senza = 0;
    std::ostringstream marche, guide, testi;
    for (const Elemento* e : ordinati) {
      const double x = x_distanza(static_cast<double>(e->posizione));
      marche << "<g><title>" << testo_xml(e->titolo) << "</title>";
      simbolo(marche, e->genere, e->sottotipo, x, linea);
      marche << "</g>\n";
      const Rettangolo base = scatola(0, 0, e->etichetta);
      std::vector<Rettangolo> candidati;
      for (int r = 0; r < kRigheLungoPercorso; ++r) {
        const double y0 = prima_riga + r * kRigaEtichetta;
        candidati.push_back({x - 2, y0, x - 2 + base.x1, y0 + base.y1 - 1});
        candidati.push_back({x + 2 - base.x1, y0, x + 2, y0 + base.y1 - 1});
      }
      // A place whose leader, from the line down to the label, crosses no
      // label above it; else the first free place (the label's halo keeps it
      // readable over a leader).
      std::optional<Rettangolo> r;
      if (senza <= kTentativiVani) {
        r = posatore_.posa(candidati, area, [&](const Rettangolo& c) {
          return c.y0 <= prima_riga + 1 || posatore_.libero({x - 0.5, prima_riga, x + 0.5, c.y0});
        });
        if (!r) r = posatore_.posa(candidati, area);
      }
      if (!r) {
        ++senza;
        continue;
      }
      righe = std::max(righe, static_cast<int>((r->y0 - prima_riga) / kRigaEtichetta + 1.5));
      posatore_.riserva({x - 1.5, prima_riga, x + 1.5, r->y0});
      guide << "<line class=\"leader\" x1=\"" << n(x) << "\" y1=\"" << n(linea + 5) << "\" x2=\""
            << n(x) << "\" y2=\"" << n(r->y0) << "\" stroke=\"#999\" stroke-width=\"0.5\"/>\n";
      etichetta(testi, *r, e->etichetta);
      testi << "\n";
    }
    // Leaders first: the labels' halo keeps them readable where one passes.
    s << guide.str() << testi.str() << marche.str();
    const double fondo = prima_riga + righe * kRigaEtichetta;
    if (senza > 0) {
      s << "<text x=\"" << n(kLarghezza - kMargineDestro) << "\" y=\"" << n(fondo + 12)
        << "\" text-anchor=\"end\" class=\"piccolo\">" << senza
        << " labels left out for want of room (hover the marks, or draw a stretch with --from "
           "and --to)</text>\n";
    }
    // Direction of travel along the axis.
    s << "<text x=\"" << n(kLarghezza - kMargineDestro) << "\" y=\"" << n(y)
      << "\" text-anchor=\"end\" class=\"piccolo\">direction of travel \u2192</text>\n</g>\n";
    return fondo + (senza > 0 ? 16 : 0) + kSpazioProfili;
  }

  // The slowdowns and the speed indicator boards on the speed panel.
  void velocita_extra(std::ostringstream& s, const std::function<double(double)>& y_di, double top,
                      double bottom) {
    const Rettangolo area{kMargineSinistro, top, kLarghezza - kMargineDestro, bottom};
    s << "<g id=\"slowdowns\">\n";
    for (const Elemento& e : elementi_) {
      if (e.genere != Genere::kRallentamento) continue;
      if (e.fine < da_ || e.posizione > a_) continue;
      const double x0 = x_distanza(static_cast<double>(e.posizione));
      const double x1 = std::max(x_distanza(static_cast<double>(e.fine)), x0 + 2);
      const double yv = y_di(e.velocita);
      s << "<g><title>" << testo_xml(e.titolo) << "</title>";
      if (e.avviso >= 0) {
        const double xa = x_distanza(static_cast<double>(e.avviso));
        s << "<line x1=\"" << n(xa) << "\" y1=\"" << n(yv) << "\" x2=\"" << n(x0) << "\" y2=\""
          << n(yv) << "\" stroke=\"#ff7f0e\" stroke-width=\"1\" stroke-dasharray=\"3 2\"/>";
        simbolo(s, Genere::kRallentamento, 0, xa, yv);
      }
      s << "<path class=\"slowdown\" d=\"M" << n(x0) << " " << n(bottom) << " V" << n(yv) << " H"
        << n(x1) << " V" << n(bottom) << "\" fill=\"#ff7f0e\" fill-opacity=\"0.15\" "
        << "stroke=\"#ff7f0e\" stroke-width=\"2.2\"/>";
      const Punto p{x0, yv};
      posatore_.riserva({x0 - 1, yv - 1, x1 + 1, yv + 1});
      std::vector<Rettangolo> candidati;
      const Rettangolo b = scatola(0, 0, e.etichetta);
      for (double dy : {-16.0, -30.0, 4.0, 18.0, -44.0}) {
        for (double dx : {2.0, -b.x1 - 2, 20.0, -b.x1 - 20}) {
          candidati.push_back({p.x + dx, p.y + dy, p.x + dx + b.x1, p.y + dy + b.y1});
        }
      }
      if (const auto r = posatore_.posa(candidati, area)) {
        linea_guida(s, p, *r);
        etichetta(s, *r, e.etichetta);
      }
      s << "</g>\n";
    }
    s << "</g>\n<g id=\"speed-board-marks\">\n";
    for (const Elemento& e : elementi_) {
      if (e.genere != Genere::kIndicatori || !nel_tratto(e.posizione)) continue;
      const double x = x_distanza(static_cast<double>(e.posizione));
      const double yv = y_di(e.velocita_tabella[0]);
      s << "<g><title>" << testo_xml(e.titolo) << "</title>";
      simbolo(s, Genere::kIndicatori, 0, x, yv);
      posatore_.riserva({x - 5, yv - 5, x + 5, yv + 5});
      std::vector<Rettangolo> candidati;
      const Rettangolo b = scatola(0, 0, e.etichetta);
      for (double dy : {-22.0, -36.0, 6.0, 20.0, -50.0}) {
        for (double dx : {4.0, -b.x1 - 4, 24.0, -b.x1 - 24}) {
          candidati.push_back({x + dx, yv + dy, x + dx + b.x1, yv + dy + b.y1});
        }
      }
      if (const auto r = posatore_.posa(candidati, area)) {
        linea_guida(s, {x, yv}, *r);
        etichetta(s, *r, e.etichetta);
      }
      s << "</g>\n";
    }
    s << "</g>\n";
  }

  // A profile panel drawn as steps, one per run of equal cells, over the stretch.
  template <typename Valore, typename Valido>
  double profilo(std::ostringstream& s, double y, const char* id, const char* titolo, bool montagna,
                 Valore valore, Valido valido,
                 const std::function<void(std::ostringstream&, const std::function<double(double)>&,
                                          double, double)>& extra) {
    double lo = 0, hi = 0;
    bool qualcuno = false;
    const size_t da = static_cast<size_t>(da_ / 50);
    const size_t celle = std::min(d_.celle.size(), static_cast<size_t>((a_ + 49) / 50));
    const auto conta = [&](double v) {
      lo = qualcuno ? std::min(lo, v) : v, hi = qualcuno ? std::max(hi, v) : v;
      qualcuno = true;
    };
    for (size_t k = da; k < celle; ++k) {
      if (valido(d_.celle[k])) conta(valore(d_.celle[k]));
    }
    if (extra) {
      for (const Elemento& e : elementi_) {
        if (e.genere == Genere::kRallentamento) conta(e.velocita);
        if (e.genere == Genere::kIndicatori) conta(e.velocita_tabella[0]);
      }
    }
    const bool sotto_zero = lo < 0;
    lo = std::min(lo, 0.0);
    hi = std::max(hi, 0.0);
    // A margin, so that no line runs along the frame, then the range rounded
    // outward to a step that gives a few grid lines.
    const double margine = std::max((hi - lo) * 0.1, 1.0);
    hi += margine;
    if (sotto_zero) lo -= margine;
    const double passo = passo_tondo(hi - lo, 6);
    lo = std::floor(lo / passo) * passo;
    hi = std::ceil(hi / passo) * passo;
    if (hi == lo) hi = lo + passo;
    const double top = y + 10, bottom = top + kAltezzaProfilo;
    const auto y_di = [&](double v) { return bottom - (v - lo) / (hi - lo) * kAltezzaProfilo; };

    s << "<g id=\"" << id << "\">\n<text x=\"" << n(kMargineSinistro) << "\" y=\"" << n(y)
      << "\" class=\"pannello\">" << testo_xml(titolo) << "</text>\n";
    if (montagna) {
      s << "<g id=\"montagna\" fill=\"#c8a165\" fill-opacity=\"0.35\">\n";
      size_t k = da;
      while (k < celle) {
        if (d_.celle[k].montagna == 0) {
          ++k;
          continue;
        }
        const size_t inizio = k;
        const uint8_t tipo = d_.celle[k].montagna;
        while (k < celle && d_.celle[k].montagna == tipo) ++k;
        const double x0 = x_distanza(static_cast<double>(inizio) * 50);
        const double x1 = x_distanza(static_cast<double>(k) * 50);
        s << "<rect x=\"" << n(x0) << "\" y=\"" << n(top) << "\" width=\""
          << n(std::max(x1 - x0, 1.0)) << "\" height=\"" << n(kAltezzaProfilo)
          << "\"><title>montagna type " << static_cast<int>(tipo) << ", " << inizio * 50 << "-"
          << k * 50 << " m"
          << testo_xml(luogo(
                 "montagna",
                 [inizio](int32_t p) { return cella_tratto(p) == static_cast<int64_t>(inizio); }))
          << "</title></rect>\n";
      }
      s << "</g>\n";
    }
    for (double v = lo; v <= hi + passo / 2; v += passo) {
      s << "<line class=\"griglia\" x1=\"" << n(kMargineSinistro) << "\" y1=\"" << n(y_di(v))
        << "\" x2=\"" << n(kLarghezza - kMargineDestro) << "\" y2=\"" << n(y_di(v))
        << "\"/><text x=\"" << n(kMargineSinistro - 6) << "\" y=\"" << n(y_di(v) + 4)
        << "\" text-anchor=\"end\" class=\"piccolo\">" << breve(v) << "</text>\n";
    }
    if (lo < 0) {
      s << "<line x1=\"" << n(kMargineSinistro) << "\" y1=\"" << n(y_di(0)) << "\" x2=\""
        << n(kLarghezza - kMargineDestro) << "\" y2=\"" << n(y_di(0))
        << "\" stroke=\"#888\" stroke-width=\"0.8\"/>\n";
    }
    s << "<path class=\"profile\" fill=\"none\" stroke=\"" << (montagna ? "#8c2d04" : "#1f4e9c")
      << "\" stroke-width=\"1.4\" d=\"";
    bool primo = true;
    double ultimo = 0, x_corsa = 0;
    // On the panel with labels, the line is kept clear of them.
    const auto corsa = [&](double x1, double y_dopo) {
      if (!extra) return;
      posatore_.riserva({x_corsa, ultimo - 1.5, x1, ultimo + 1.5});
      posatore_.riserva({x1 - 1, std::min(ultimo, y_dopo), x1 + 1, std::max(ultimo, y_dopo)});
      x_corsa = x1;
    };
    for (size_t k = da; k < celle; ++k) {
      if (!valido(d_.celle[k])) {
        primo = true;
        continue;
      }
      const double yv = y_di(valore(d_.celle[k]));
      const double x0 = x_distanza(static_cast<double>(k) * 50);
      if (primo) {
        s << "M" << n(x0) << " " << n(yv);
        x_corsa = x0;
      } else if (yv != ultimo) {
        s << " H" << n(x0) << " V" << n(yv);
        corsa(x0, yv);
      }
      ultimo = yv;
      primo = false;
      // The run ends where the next cell differs, or at the end.
      if (k + 1 == celle || !valido(d_.celle[k + 1])) {
        const double x1 = x_distanza(static_cast<double>(k + 1) * 50);
        s << " H" << n(x1);
        corsa(x1, yv);
      }
    }
    s << "\"/>\n";
    if (extra) extra(s, y_di, top, bottom);
    s << "<rect class=\"cornice\" x=\"" << n(kMargineSinistro) << "\" y=\"" << n(top)
      << "\" width=\"" << n(larghezza_utile_) << "\" height=\"" << n(kAltezzaProfilo)
      << "\"/>\n</g>\n";
    return bottom + kSpazioProfili;
  }

  void stazioni_sui_profili(std::ostringstream& s, double y0, double y1) {
    s << "<g id=\"station-lines\" stroke=\"#b08900\" stroke-width=\"0.8\" "
         "stroke-dasharray=\"4 3\">\n";
    per_stazione([&](const Voce& v) {
      if (!nel_tratto(v.posizione)) return;
      const double x = x_distanza(v.posizione);
      s << "<line x1=\"" << n(x) << "\" y1=\"" << n(y0 + 4) << "\" x2=\"" << n(x) << "\" y2=\""
        << n(y1) << "\"/>\n";
    });
    s << "</g>\n";
  }

  // Kilometre labels from the chainage, every whole kilometre (fewer on long stretches).
  double asse_km(std::ostringstream& s, double y) {
    const int64_t km_totali = (a_ - da_) / 1000 + 1;
    const auto ogni = static_cast<int64_t>(passo_tondo(static_cast<double>(km_totali), 40));
    s << "<g id=\"km\">\n<line x1=\"" << n(kMargineSinistro) << "\" y1=\"" << n(y) << "\" x2=\""
      << n(kLarghezza - kMargineDestro) << "\" y2=\"" << n(y)
      << "\" stroke=\"#222\" stroke-width=\"1\"/>\n";
    for (int64_t p = da_; p <= a_; ++p) {
      const int64_t c = progressiva(d_.voci, p);
      if (c % (1000 * ogni) != 0) continue;
      const double x = x_distanza(static_cast<double>(p));
      s << "<line x1=\"" << n(x) << "\" y1=\"" << n(y) << "\" x2=\"" << n(x) << "\" y2=\""
        << n(y + 5) << "\" stroke=\"#222\"/><text x=\"" << n(x) << "\" y=\"" << n(y + 17)
        << "\" text-anchor=\"middle\" class=\"piccolo\">" << c / 1000 << "</text>\n";
    }
    s << "<text x=\"" << n(kMargineSinistro - 16) << "\" y=\"" << n(y + 17)
      << "\" text-anchor=\"end\" class=\"piccolo\">km</text>\n"
      << "<text x=\"" << n(kLarghezza - kMargineDestro) << "\" y=\"" << n(y + 32)
      << "\" text-anchor=\"end\">distance along the route (" << da_ << " to " << a_
      << " m), labelled in km of chainage; direction of travel \u2192</text>\n"
      << "</g>\n";
    return y + 36;
  }

  const DatiGrafico& d_;
  int32_t lunghezza_;
  int64_t da_, a_;
  double larghezza_utile_;
  double min_x_ = 0, min_y_ = 0, scala_ = 1, ox_ = 0, oy_ = 0;
  std::vector<Elemento> elementi_;
  std::map<std::pair<std::string, int64_t>, const LuogoVoce*> luoghi_per_cella_;
  Posatore posatore_;
  int senza_etichetta_ = 0;
};

}  // namespace

double larghezza_etichetta(size_t caratteri, double corpo) {
  return static_cast<double>(caratteri) * corpo * 0.68 + 4;
}

std::optional<std::pair<int64_t, int64_t>> tratto_di_progressive(
    const std::array<Voce, kNumeroVoci>& voci, double da_km, double a_km) {
  const int32_t lunghezza = std::clamp(voci[kVoceTreno].fine, 1, kLunghezzaMassima);
  std::optional<std::pair<int64_t, int64_t>> r;
  for (int64_t p = 0; p <= lunghezza; ++p) {
    const double c = static_cast<double>(progressiva(voci, p));
    if (c < da_km * 1000 || c > a_km * 1000) continue;
    if (!r) r = std::pair<int64_t, int64_t>{p, p};
    r->second = p;
  }
  return r;
}

std::string testo_xml(std::string_view utf8) {
  std::string s;
  for (char c : utf8) {
    switch (c) {
      case '&':
        s += "&amp;";
        break;
      case '<':
        s += "&lt;";
        break;
      case '>':
        s += "&gt;";
        break;
      case '"':
        s += "&quot;";
        break;
      case '\'':
        s += "&apos;";
        break;
      default:
        // XML 1.0 admits no control character but tab, line feed and carriage return.
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r') {
          s += '?';
        } else {
          s += c;
        }
    }
  }
  return s;
}

std::string grafico_svg(const DatiGrafico& d) {
  return Grafico(d).disegna();
}

}  // namespace scenario
