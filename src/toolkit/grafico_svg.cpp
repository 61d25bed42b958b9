#include "toolkit/grafico_svg.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

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

// A point where the route is at a position, from the plan table's rows.
struct Punto {
  double x, y;
};

class Grafico {
 public:
  explicit Grafico(const DatiGrafico& d) : d_(d) {
    // A damaged items file may hold any length: draw within the model's limit.
    lunghezza_ = std::clamp(d.voci[kVoceTreno].fine, 1, kLunghezzaMassima);
    larghezza_utile_ = kLarghezza - kMargineSinistro - kMargineDestro;
  }

  std::string disegna() {
    double y = 56;
    std::ostringstream corpo;
    corpo << "<text x=\"" << n(kMargineSinistro) << "\" y=\"28\" class=\"titolo\">"
          << testo_xml(d_.titolo) << "</text>\n";
    y = pianta(corpo, y);
    const double y_profili = y;
    y = profilo(
        corpo, y, "gradient", "Gradient (\u2030), montagna stretches shaded", true,
        [](const Cella& c) { return static_cast<double>(pendenza_cella(c)); },
        [](const Cella& c) { return c.pendenza != 0; });
    y = profilo(
        corpo, y, "speed", "Line-speed limit (km/h)", false,
        [](const Cella& c) { return static_cast<double>(velocita_cella(c)); },
        [](const Cella& c) { return c.vel_limite != 0; });
    y = profilo(
        corpo, y, "adhesion", "Adhesion", false,
        [](const Cella& c) { return static_cast<double>(c.aderenza); },
        [](const Cella&) { return true; });
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
        << "</style>\n"
        << "<rect x=\"0\" y=\"0\" width=\"" << n(kLarghezza) << "\" height=\"" << n(y + 20)
        << "\" fill=\"white\"/>\n"
        << corpo.str() << "</svg>\n";
    return svg.str();
  }

 private:
  double x_distanza(double metri) const {
    return kMargineSinistro + larghezza_utile_ * std::clamp(metri / lunghezza_, 0.0, 1.0);
  }

  // The route's last row: the route length, within the rows the table has.
  int64_t ultima_riga_percorso() const {
    return std::min<int64_t>(lunghezza_, d_.tracciato->ultima_riga() - 2);
  }

  bool riga_valida(int64_t r) const {
    return r >= 0 && r <= d_.tracciato->ultima_riga() &&
           d_.tracciato->etichetta(r, 0) != Etichetta::kVuoto &&
           d_.tracciato->etichetta(r, 1) != Etichetta::kVuoto;
  }

  Punto punto(int64_t r) const {
    Punto p{d_.tracciato->valore(r, 0), d_.tracciato->valore(r, 1)};
    return {ox_ + (p.x - min_x_) * scala_, oy_ - (p.y - min_y_) * scala_};
  }

  // The plan view: returns the y where the next part starts.
  double pianta(std::ostringstream& s, double y) {
    s << "<g id=\"plan\">\n<text x=\"" << n(kMargineSinistro) << "\" y=\"" << n(y)
      << "\" class=\"pannello\">Track seen from above (equal scales)</text>\n";
    y += 10;
    if (d_.tracciato == nullptr || !d_.tracciato->creato() || !riga_valida(0)) {
      s << "<text x=\"" << n(kMargineSinistro) << "\" y=\"" << n(y + 20)
        << "\">No plan file: the scenario was compiled without the plan table.</text>\n</g>\n";
      return y + 40 + kSpazioProfili;
    }
    const int64_t ultima = ultima_riga_percorso();
    min_x_ = min_y_ = 1e300;
    double max_x = -1e300, max_y = -1e300;
    for (int64_t r = 0; r <= ultima; ++r) {
      if (!riga_valida(r)) continue;
      const double px = d_.tracciato->valore(r, 0), py = d_.tracciato->valore(r, 1);
      min_x_ = std::min(min_x_, px), max_x = std::max(max_x, px);
      min_y_ = std::min(min_y_, py), max_y = std::max(max_y, py);
    }
    const double w = std::max(max_x - min_x_, 1.0), h = std::max(max_y - min_y_, 1.0);
    const double box_w = larghezza_utile_ - 160, box_h = kAltezzaPianta - 40;
    scala_ = std::min(box_w / w, box_h / h);
    ox_ = kMargineSinistro + 80 + (box_w - w * scala_) / 2;
    oy_ = y + 20 + box_h - (box_h - h * scala_) / 2;

    // The route, one point every 10 m.
    s << "<path fill=\"none\" stroke=\"#1f4e9c\" stroke-width=\"2.2\" stroke-linejoin=\"round\" "
         "d=\"";
    for (int64_t r = 0;; r = std::min(r + 10, ultima)) {
      if (riga_valida(r)) {
        const Punto p = punto(r);
        s << (r == 0 ? "M" : " L") << n(p.x) << " " << n(p.y);
      }
      if (r == ultima) break;
    }
    s << "\"/>\n";
    scala_metrica(s, y + kAltezzaPianta - 10);
    s << "</g>\n";
    segnali(s);
    cartelli(s);
    stazioni(s);
    return y + kAltezzaPianta + kSpazioProfili;
  }

  void scala_metrica(std::ostringstream& s, double y) {
    double metri = 1000;
    while (metri * scala_ > 240) metri /= 10;
    while (metri * scala_ < 60) metri *= 2;
    const double x = kMargineSinistro;
    s << "<g id=\"scale\"><line x1=\"" << n(x) << "\" y1=\"" << n(y) << "\" x2=\""
      << n(x + metri * scala_) << "\" y2=\"" << n(y)
      << "\" stroke=\"#222\" stroke-width=\"2\"/><text x=\"" << n(x) << "\" y=\"" << n(y - 5)
      << "\" class=\"piccolo\">" << (metri >= 1000 ? n(metri / 1000) + " km" : n(metri) + " m")
      << "</text></g>\n";
  }

  // The direction of travel at a row, as a unit vector on the picture.
  Punto direzione(int64_t r) const {
    const int64_t a = std::max<int64_t>(0, r - 5), b = std::min(ultima_riga_percorso(), r + 5);
    if (!riga_valida(a) || !riga_valida(b)) return {0, -1};
    const Punto pa = punto(a), pb = punto(b);
    const double l = std::hypot(pb.x - pa.x, pb.y - pa.y);
    return l > 0 ? Punto{(pb.x - pa.x) / l, (pb.y - pa.y) / l} : Punto{0, -1};
  }

  // A point feature in cell k stands at the start of the cell before it.
  static int64_t posizione_punto(size_t k) { return (static_cast<int64_t>(k) - 1) * 50; }

  void segnali(std::ostringstream& s) {
    s << "<g id=\"signals\">\n";
    for (size_t k = 0; k < d_.celle.size(); ++k) {
      if (d_.celle[k].tipo != kSegnale) continue;
      const int64_t pos = posizione_punto(k);
      if (!riga_valida(pos) || pos > ultima_riga_percorso()) continue;
      const Punto p = punto(pos), t = direzione(pos);
      const Punto q{p.x - t.y * 9, p.y + t.x * 9};  // to the right of the track
      s << "<g><title>signal at " << pos << " m</title><line x1=\"" << n(p.x) << "\" y1=\""
        << n(p.y) << "\" x2=\"" << n(q.x) << "\" y2=\"" << n(q.y)
        << "\" stroke=\"#333\" stroke-width=\"1\"/><circle cx=\"" << n(q.x) << "\" cy=\"" << n(q.y)
        << "\" r=\"3.5\" fill=\"#d62728\" stroke=\"#333\" stroke-width=\"0.8\"/>"
        << "<text x=\"" << n(q.x + 6) << "\" y=\"" << n(q.y + 3) << "\" class=\"piccolo\">S "
        << testo_progressiva(progressiva(d_.voci, pos)) << "</text></g>\n";
    }
    s << "</g>\n";
  }

  void cartelli(std::ostringstream& s) {
    s << "<g id=\"boards\" stroke=\"#2ca02c\" stroke-width=\"1.4\">\n";
    for (size_t k = 0; k < d_.celle.size(); ++k) {
      if (d_.celle[k].tipo != kCartello) continue;
      const int64_t pos = posizione_punto(k);
      if (!riga_valida(pos) || pos > ultima_riga_percorso()) continue;
      const Punto p = punto(pos), t = direzione(pos);
      const int i = d_.celle[k].dato1;
      const std::string testo =
          i >= 0 && i < kNumeroVoci ? cp1252_a_utf8(d_.voci[static_cast<size_t>(i)].nome) : "";
      s << "<line x1=\"" << n(p.x + t.y * 5) << "\" y1=\"" << n(p.y - t.x * 5) << "\" x2=\""
        << n(p.x - t.y * 5) << "\" y2=\"" << n(p.y + t.x * 5) << "\"><title>"
        << testo_xml("board at " + std::to_string(pos) + " m: " + testo) << "</title></line>\n";
    }
    s << "</g>\n";
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

  void stazioni(std::ostringstream& s) {
    s << "<g id=\"stations\">\n";
    per_stazione([&](const Voce& v) {
      const int64_t pos = v.posizione;
      if (!riga_valida(pos)) return;
      const Punto p = punto(pos), t = direzione(pos);
      // The name to the left of the track, away from the signals.
      const Punto q{p.x + t.y * 14, p.y - t.x * 14};
      const bool a_sinistra = q.x < p.x;
      s << "<g><rect x=\"" << n(p.x - 5) << "\" y=\"" << n(p.y - 5)
        << "\" width=\"10\" height=\"10\" fill=\"#ffbf00\" stroke=\"#222\" stroke-width=\"1\"/>"
        << "<text x=\"" << n(q.x) << "\" y=\"" << n(q.y + 4) << "\" font-weight=\"bold\""
        << (a_sinistra ? " text-anchor=\"end\"" : "") << ">" << testo_xml(cp1252_a_utf8(v.nome))
        << "</text></g>\n";
    });
    s << "</g>\n";
  }

  // A profile panel drawn as steps, one per cell, over the route length.
  template <typename Valore, typename Valido>
  double profilo(std::ostringstream& s, double y, const char* id, const char* titolo, bool montagna,
                 Valore valore, Valido valido) {
    double lo = 0, hi = 0;
    bool qualcuno = false;
    const size_t celle = std::min(d_.celle.size(), static_cast<size_t>((lunghezza_ + 49) / 50));
    for (size_t k = 0; k < celle; ++k) {
      if (!valido(d_.celle[k])) continue;
      const double v = valore(d_.celle[k]);
      lo = qualcuno ? std::min(lo, v) : v, hi = qualcuno ? std::max(hi, v) : v;
      qualcuno = true;
    }
    lo = std::min(lo, 0.0);
    hi = std::max(hi, 0.0);
    // Round the range outward to a step that gives a few grid lines.
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
      size_t k = 0;
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
          << k * 50 << " m</title></rect>\n";
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
    s << "<path fill=\"none\" stroke=\"" << (montagna ? "#8c2d04" : "#1f4e9c")
      << "\" stroke-width=\"1.4\" d=\"";
    bool primo = true;
    for (size_t k = 0; k < celle; ++k) {
      if (!valido(d_.celle[k])) {
        primo = true;
        continue;
      }
      const double yv = y_di(valore(d_.celle[k]));
      const double x0 = x_distanza(static_cast<double>(k) * 50);
      const double x1 = x_distanza(static_cast<double>(k + 1) * 50);
      s << (primo ? "M" + n(x0) + " " + n(yv) : " V" + n(yv)) << " H" << n(x1);
      primo = false;
    }
    s << "\"/>\n<rect class=\"cornice\" x=\"" << n(kMargineSinistro) << "\" y=\"" << n(top)
      << "\" width=\"" << n(larghezza_utile_) << "\" height=\"" << n(kAltezzaProfilo)
      << "\"/>\n</g>\n";
    return bottom + kSpazioProfili;
  }

  void stazioni_sui_profili(std::ostringstream& s, double y0, double y1) {
    s << "<g id=\"station-lines\" stroke=\"#b08900\" stroke-width=\"0.8\" "
         "stroke-dasharray=\"4 3\">\n";
    per_stazione([&](const Voce& v) {
      if (v.posizione < 0 || v.posizione > lunghezza_) return;
      const double x = x_distanza(v.posizione);
      s << "<line x1=\"" << n(x) << "\" y1=\"" << n(y0 + 10) << "\" x2=\"" << n(x) << "\" y2=\""
        << n(y1) << "\"/><text x=\"" << n(x + 3) << "\" y=\"" << n(y0 + 20)
        << "\" class=\"piccolo\" stroke=\"none\">" << testo_xml(cp1252_a_utf8(v.nome))
        << "</text>\n";
    });
    s << "</g>\n";
  }

  // Kilometre labels from the chainage, every whole kilometre (fewer on long routes).
  double asse_km(std::ostringstream& s, double y) {
    const int64_t km_totali = lunghezza_ / 1000 + 1;
    const auto ogni = static_cast<int64_t>(passo_tondo(static_cast<double>(km_totali), 40));
    s << "<g id=\"km\">\n<line x1=\"" << n(kMargineSinistro) << "\" y1=\"" << n(y) << "\" x2=\""
      << n(kLarghezza - kMargineDestro) << "\" y2=\"" << n(y)
      << "\" stroke=\"#222\" stroke-width=\"1\"/>\n";
    for (int64_t p = 0; p <= lunghezza_; ++p) {
      const int64_t c = progressiva(d_.voci, p);
      if (c % (1000 * ogni) != 0) continue;
      const double x = x_distanza(static_cast<double>(p));
      s << "<line x1=\"" << n(x) << "\" y1=\"" << n(y) << "\" x2=\"" << n(x) << "\" y2=\""
        << n(y + 5) << "\" stroke=\"#222\"/><text x=\"" << n(x) << "\" y=\"" << n(y + 17)
        << "\" text-anchor=\"middle\" class=\"piccolo\">" << c / 1000 << "</text>\n";
    }
    s << "<text x=\"" << n(kLarghezza - kMargineDestro) << "\" y=\"" << n(y + 32)
      << "\" text-anchor=\"end\">distance along the route, labelled in km of chainage</text>\n"
      << "</g>\n";
    return y + 36;
  }

  const DatiGrafico& d_;
  int32_t lunghezza_;
  double larghezza_utile_;
  double min_x_ = 0, min_y_ = 0, scala_ = 1, ox_ = 0, oy_ = 0;
};

}  // namespace

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
