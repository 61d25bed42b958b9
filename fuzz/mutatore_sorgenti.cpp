#include "fuzz/mutatore_sorgenti.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <random>
#include <string_view>
#include <vector>

#include "compiler/formato.h"
#include "fuzz/controlli_fuzz.h"

namespace scenario {
namespace {

using Righe = std::vector<std::string>;

// The pieces of `t` between its `separatore`s (one piece more than there are
// separators).
std::vector<std::string> pezzi(std::string_view t, char separatore) {
  std::vector<std::string> r;
  size_t da = 0;
  for (size_t i = t.find(separatore); i != std::string_view::npos; i = t.find(separatore, da)) {
    r.emplace_back(t.substr(da, i - da));
    da = i + 1;
  }
  r.emplace_back(t.substr(da));
  return r;
}

Righe in_righe(std::string_view t) {
  return pezzi(t, '\n');
}

std::string in_testo(const Righe& righe) {
  std::string t;
  for (size_t i = 0; i < righe.size(); ++i) t += (i ? "\n" : "") + righe[i];
  return t;
}

std::vector<std::string> in_campi(const std::string& riga) {
  return pezzi(riga, ',');
}

std::string unisci_campi(const std::vector<std::string>& campi) {
  std::string riga;
  for (size_t i = 0; i < campi.size(); ++i) riga += (i ? "," : "") + campi[i];
  return riga;
}

std::string_view senza_spazi(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
    s.remove_suffix(1);
  }
  return s;
}

// Widths of the model's members and of the reader's numbers, at their edges.
constexpr int64_t kConfini[] = {0,
                                -1,
                                1,
                                127,
                                128,
                                -128,
                                255,
                                256,
                                32767,
                                32768,
                                -32768,
                                -32769,
                                65535,
                                65536,
                                99999,
                                100000,
                                2147483647,
                                -2147483647 - 1,
                                2147483648LL,
                                -2147483649LL};

constexpr int64_t kMetriCella = 50;

class Mutatore {
 public:
  explicit Mutatore(unsigned seme) : caso_(seme) {}

  // One edit by entry; false when the input gives nothing to edit.
  bool muta(std::string& ingresso) {
    std::vector<std::string_view> parti = dividi(ingresso, kSeparatoreSorgenti, 2);
    Righe sorgenti[2] = {in_righe(parti[0]), parti.size() > 1 ? in_righe(parti[1]) : Righe{}};
    lunghezza_ = lunghezza_percorso(sorgenti[0]);
    const bool con_treno = parti.size() > 1;
    const size_t quale = con_treno && scegli(2) == 1 ? 1 : 0;
    Righe& righe = sorgenti[quale];
    const SorgenteFormato sorgente = quale ? SorgenteFormato::kTreno : SorgenteFormato::kLinea;
    if (!modifica(righe, sorgente)) return false;
    ingresso = in_testo(sorgenti[0]);
    if (con_treno) ingresso += std::string(kSeparatoreSorgenti) + in_testo(sorgenti[1]);
    return true;
  }

 private:
  size_t scegli(size_t n) { return n ? std::uniform_int_distribution<size_t>(0, n - 1)(caso_) : 0; }

  int64_t lunghezza_percorso(const Righe& linea) {
    for (const std::string& r : linea) {
      const std::vector<std::string> campi = in_campi(r);
      if (campi.size() < 2) continue;
      const VoceFormato* v = voce_per_parola(senza_spazi(campi[0]));
      if (v == nullptr || v->parola != "lunghezza percorso") continue;
      const std::string numero(senza_spazi(campi[1]));
      char* fine = nullptr;
      const long long l = std::strtoll(numero.c_str(), &fine, 10);
      // A length past 64 bits reads as the largest one; the model's
      // positions are 32 bits, so the edges worth aiming at stay within them.
      if (fine != numero.c_str() && l > 0) return std::min<long long>(l, INT32_MAX);
    }
    return 3000;
  }

  std::vector<const VoceFormato*> voci_di(SorgenteFormato sorgente) {
    std::vector<const VoceFormato*> voci;
    for (const VoceFormato& v : voci_formato()) {
      if (v.sorgente == sorgente) voci.push_back(&v);
    }
    return voci;
  }

  // A position near a cell boundary or the route's end.
  int64_t posizione() {
    const int64_t celle = std::max<int64_t>(lunghezza_ / kMetriCella, 1);
    const int64_t scarto = static_cast<int64_t>(scegli(3)) - 1;
    switch (scegli(4)) {
      case 0:
        return lunghezza_ + scarto;
      case 1:
        return lunghezza_ - kMetriCella + scarto;
      case 2:
        return scarto;
      default:
        return static_cast<int64_t>(scegli(static_cast<size_t>(celle) + 2)) * kMetriCella + scarto;
    }
  }

  int64_t confine(const CampoFormato* campo) {
    if (campo != nullptr && scegli(2) == 0) {
      const int64_t scarto = static_cast<int64_t>(scegli(3)) - 1;
      return (scegli(2) ? campo->minimo : campo->massimo) + scarto;
    }
    return kConfini[scegli(std::size(kConfini))];
  }

  std::string parola_vicina(std::string_view parola, SorgenteFormato sorgente) {
    std::string p(parola);
    const size_t scelta = scegli(4);
    if (scelta == 0 || p.empty()) {
      const auto voci = voci_di(sorgente);
      return std::string(voci[scegli(voci.size())]->parola);
    }
    const size_t i = scegli(p.size());
    switch (scelta) {
      case 1:
        p.erase(i, 1);
        break;
      case 2:
        p.insert(i, 1, p[i]);
        break;
      default: {
        const unsigned char c = static_cast<unsigned char>(p[i]);
        p[i] = static_cast<char>(std::isupper(c) ? std::tolower(c) : std::toupper(c));
      }
    }
    return p;
  }

  bool modifica(Righe& righe, SorgenteFormato sorgente) {
    const size_t n = righe.size();
    const size_t a = scegli(n), b = scegli(n);
    switch (scegli(7)) {
      case 0: {  // insert
        std::string nuova;
        if (scegli(2) == 0 || n == 0) {
          const auto voci = voci_di(sorgente);
          nuova = std::string(voci[scegli(voci.size())]->esempio);
        } else {
          nuova = righe[b];
        }
        righe.insert(righe.begin() + static_cast<std::ptrdiff_t>(std::min(a, n)), nuova);
        return true;
      }
      case 1:  // delete
        if (n < 2) return false;
        righe.erase(righe.begin() + static_cast<std::ptrdiff_t>(a));
        return true;
      case 2:  // swap
        if (a == b) return false;
        std::swap(righe[a], righe[b]);
        return true;
      case 3:  // duplicate
        righe.insert(righe.begin() + static_cast<std::ptrdiff_t>(a), righe[a]);
        return true;
      case 4:  // a keyword to a near one
      {
        std::vector<std::string> campi = in_campi(righe[a]);
        campi[0] = parola_vicina(senza_spazi(campi[0]), sorgente);
        righe[a] = unisci_campi(campi);
        return true;
      }
      default:  // a field to a boundary, a position to a cell or route edge
        return campo_al_confine(righe[a]);
    }
  }

  bool campo_al_confine(std::string& riga) {
    std::vector<std::string> campi = in_campi(riga);
    if (campi.size() < 2) return false;
    const size_t k = 1 + scegli(campi.size() - 1);
    const VoceFormato* v = voce_per_parola(senza_spazi(campi[0]));
    const CampoFormato* campo =
        v != nullptr && k - 1 < v->campi.size() ? &v->campi[k - 1] : nullptr;
    if (campo != nullptr && campo->genere == GenereCampo::kTesto) return false;
    const bool metri = campo != nullptr ? campo->unita == "m" : scegli(2) == 0;
    const bool cr = !campi.back().empty() && campi.back().back() == '\r';
    campi[k] = " " + std::to_string(metri ? posizione() : confine(campo));
    if (cr && k == campi.size() - 1) campi[k] += '\r';
    riga = unisci_campi(campi);
    return true;
  }

  std::minstd_rand caso_;
  int64_t lunghezza_ = 3000;
};

}  // namespace

std::string muta_voci(const std::string& ingresso, unsigned seme) {
  std::string t = ingresso;
  Mutatore m(seme);
  for (int tentativo = 0; tentativo < 4 && !m.muta(t); ++tentativo) {
  }
  return t;
}

size_t muta_sorgenti(uint8_t* dati, size_t n, size_t massimo, unsigned seme,
                     MutazioneByte muta_byte) {
  // One input in eight, and each edit that finds nothing to edit or does not
  // fit, is left to the byte mutation.
  if (muta_byte != nullptr && seme % 8 == 0) return muta_byte(dati, n, massimo);
  std::string t(reinterpret_cast<const char*>(dati), n);
  Mutatore m(seme);
  bool mutato = false;
  for (int tentativo = 0; tentativo < 4 && !mutato; ++tentativo) mutato = m.muta(t);
  if (!mutato || t.size() > massimo) {
    return muta_byte != nullptr ? muta_byte(dati, n, massimo) : n;
  }
  std::memcpy(dati, t.data(), t.size());
  return t.size();
}

}  // namespace scenario
