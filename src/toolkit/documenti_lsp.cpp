#include "toolkit/documenti_lsp.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>

#include "platform/file_atomico.h"
#include "platform/guasto.h"
#include "platform/percorsi_utf8.h"
#include "text/cp1252.h"
#include "toolkit/protocollo_lsp.h"

namespace scenario {

std::string testo_da_editore(std::string_view utf8) {
  std::string r;
  r.reserve(utf8.size());
  size_t inizio = 0;  // of the run not yet converted
  for (size_t i = 0; i < utf8.size();) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    const bool quattro = c >= 0xF0 && c <= 0xF4 && i + 3 < utf8.size() &&
                         (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80 &&
                         (static_cast<unsigned char>(utf8[i + 2]) & 0xC0) == 0x80 &&
                         (static_cast<unsigned char>(utf8[i + 3]) & 0xC0) == 0x80;
    if (!quattro) {
      ++i;
      continue;
    }
    r += utf8_a_cp1252(utf8.substr(inizio, i - inizio));
    r += "??";
    i += 4;
    inizio = i;
  }
  r += utf8_a_cp1252(utf8.substr(inizio));
  return r;
}

namespace {

int cifra_esadecimale(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool lettera_unita(std::string_view s) {
  return s.size() >= 2 && s[1] == ':' &&
         ((s[0] >= 'A' && s[0] <= 'Z') || (s[0] >= 'a' && s[0] <= 'z'));
}

bool finisce_con(std::string_view s, std::string_view fine) {
  return s.size() >= fine.size() && s.substr(s.size() - fine.size()) == fine;
}

// The URI a path is known by: the one an open document came with, else its own.
std::string uri_di(const Documenti& documenti, const std::string& percorso) {
  for (const auto& [uri, doc] : documenti) {
    if (percorso_da_uri(uri) == percorso) return uri;
  }
  return uri_da_percorso(percorso);
}

// The files of `cartella` (UTF-8 names) and the open documents in it.
std::set<std::string> nomi_in(const Documenti& documenti, const std::filesystem::path& cartella) {
  std::set<std::string> nomi;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(cartella, ec), fine; !ec && it != fine;
       it.increment(ec)) {
    nomi.insert(utf8_di(it->path().filename()));
  }
  for (const auto& [uri, doc] : documenti) {
    const std::filesystem::path p = percorso_utf8(percorso_da_uri(uri));
    if (p.parent_path() == cartella) nomi.insert(utf8_di(p.filename()));
  }
  return nomi;
}

}  // namespace

std::string percorso_da_uri(std::string_view uri) {
  constexpr std::string_view kSchema = "file://";
  if (uri.substr(0, kSchema.size()) != kSchema) return "";
  uri.remove_prefix(kSchema.size());
  std::string p;
  for (size_t i = 0; i < uri.size(); ++i) {
    if (uri[i] == '%' && i + 2 < uri.size() && cifra_esadecimale(uri[i + 1]) >= 0 &&
        cifra_esadecimale(uri[i + 2]) >= 0) {
      p += static_cast<char>(cifra_esadecimale(uri[i + 1]) * 16 + cifra_esadecimale(uri[i + 2]));
      i += 2;
    } else {
      p += uri[i];
    }
  }
  if (p.empty() || p[0] != '/') return "";  // a host other than this machine
  if (lettera_unita(std::string_view(p).substr(1))) p.erase(0, 1);
  return p;
}

std::string uri_da_percorso(std::string_view utf8) {
  std::string s(utf8);
  std::replace(s.begin(), s.end(), '\\', '/');
  if (lettera_unita(s)) s.insert(0, "/");
  std::string r = "file://";
  constexpr char kCifre[] = "0123456789ABCDEF";
  for (const char c : s) {
    const unsigned char u = static_cast<unsigned char>(c);
    if ((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') ||
        std::string_view("-._~/:").find(c) != std::string_view::npos) {
      r += c;
    } else {
      r += '%';
      r += kCifre[u >> 4];
      r += kCifre[u & 15];
    }
  }
  return r;
}

std::optional<SorgenteFormato> sorgente_di(const std::string& uri) {
  const std::string nome = utf8_di(percorso_utf8(percorso_da_uri(uri)).filename());
  if (finisce_con(nome, "_linea.txt")) return SorgenteFormato::kLinea;
  if (finisce_con(nome, "-.txt")) return SorgenteFormato::kTreno;
  return std::nullopt;
}

std::optional<Coppia> coppia_di(const Documenti& documenti, const std::string& uri) {
  const std::string percorso = percorso_da_uri(uri);
  if (percorso.empty()) return std::nullopt;
  const std::filesystem::path p = percorso_utf8(percorso);
  const std::filesystem::path cartella = p.parent_path();
  const std::string nome = utf8_di(p.filename());
  constexpr std::string_view kCodaLinea = "_linea.txt";
  constexpr std::string_view kCodaTreno = "-.txt";
  Coppia c;
  if (finisce_con(nome, kCodaLinea) && nome.size() > kCodaLinea.size()) {
    const std::string scenario = nome.substr(0, nome.size() - kCodaLinea.size());
    std::string treno;
    for (const std::string& n : nomi_in(documenti, cartella)) {
      if (n.size() > scenario.size() + 1 + kCodaTreno.size() &&
          n.compare(0, scenario.size() + 1, scenario + "_") == 0 && finisce_con(n, kCodaTreno)) {
        treno = n;
        break;
      }
    }
    if (treno.empty()) treno = scenario + "_" + std::string(kCodaTreno);
    c.linea = percorso;
    c.treno = utf8_di(cartella / percorso_utf8(treno));
  } else if (finisce_con(nome, kCodaTreno)) {
    const std::string base = nome.substr(0, nome.size() - kCodaTreno.size());
    std::string linea;
    for (const std::string& n : nomi_in(documenti, cartella)) {
      if (!finisce_con(n, kCodaLinea) || n.size() <= kCodaLinea.size()) continue;
      const std::string scenario = n.substr(0, n.size() - kCodaLinea.size());
      if (base.size() > scenario.size() + 1 &&
          base.compare(0, scenario.size() + 1, scenario + "_") == 0 && n.size() > linea.size()) {
        linea = n;  // the longest scenario name that fits
      }
    }
    if (linea.empty()) {
      const size_t u = base.rfind('_');
      if (u == std::string::npos || u == 0) return std::nullopt;
      linea = base.substr(0, u) + std::string(kCodaLinea);
    }
    c.linea = utf8_di(cartella / percorso_utf8(linea));
    c.treno = percorso;
  } else {
    return std::nullopt;
  }
  c.uri_linea = uri_di(documenti, c.linea);
  c.uri_treno = uri_di(documenti, c.treno);
  return c;
}

std::optional<std::string> testo_sorgente_lsp(const Documenti& documenti, const std::string& uri,
                                              const std::string& percorso) {
  if (auto it = documenti.find(uri); it != documenti.end()) return it->second.testo;
  try {
    return leggi_file(percorso_utf8(percorso));
  } catch (const GuastoEsecuzione&) {
    return std::nullopt;
  }
}

size_t scostamento(const std::string& testo, int64_t riga, int64_t carattere) {
  size_t i = 0;
  for (int64_t n = 0; n < riga; ++n) {
    while (i < testo.size() && testo[i] != '\n' && testo[i] != '\r') ++i;
    if (i >= testo.size()) return testo.size();
    if (testo[i] == '\r' && i + 1 < testo.size() && testo[i + 1] == '\n') ++i;
    ++i;
  }
  for (int64_t n = 0; n < carattere && i < testo.size() && testo[i] != '\n' && testo[i] != '\r';
       ++n) {
    ++i;
  }
  return i;
}

void applica_modifica(std::string& testo, const ValoreJson& modifica) {
  const std::string nuovo =
      testo_da_editore(membro(modifica, "text", ValoreJson::kStringa).stringa);
  const ValoreJson* r = modifica.trova("range");
  if (r == nullptr) {
    testo = nuovo;
    return;
  }
  const auto a_scostamento = [&](const ValoreJson& p) {
    return scostamento(testo, membro(p, "line", ValoreJson::kIntero).intero,
                       membro(p, "character", ValoreJson::kIntero).intero);
  };
  const size_t da = a_scostamento(membro(*r, "start", ValoreJson::kOggetto));
  const size_t a = std::max(da, a_scostamento(membro(*r, "end", ValoreJson::kOggetto)));
  testo.replace(da, a - da, nuovo);
}

}  // namespace scenario
