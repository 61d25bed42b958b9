#include "toolkit/json.h"

#include <charconv>
#include <cmath>
#include <ostream>

#include "text/cp1252.h"

namespace scenario {

std::string stringa_json(std::string_view testo) {
  // Whatever reaches here, the document stays UTF-8.
  const std::string utf8 = utf8_mostrabile(testo);
  std::string s = "\"";
  for (char c : utf8) {
    const auto u = static_cast<unsigned char>(c);
    switch (c) {
      case '"':
        s += "\\\"";
        break;
      case '\\':
        s += "\\\\";
        break;
      case '\n':
        s += "\\n";
        break;
      case '\r':
        s += "\\r";
        break;
      case '\t':
        s += "\\t";
        break;
      default:
        if (u < 0x20) {
          static const char* cifre = "0123456789abcdef";
          s += "\\u00";
          s += cifre[u >> 4];
          s += cifre[u & 15];
        } else {
          s += c;
        }
    }
  }
  s += '"';
  return s;
}

void ScrittoreJson::a_capo() {
  out_ << '\n';
  for (size_t i = 0; i < livelli_.size(); ++i) out_ << "  ";
}

void ScrittoreJson::prima_del_valore() {
  if (dopo_chiave_) {
    dopo_chiave_ = false;
    return;
  }
  if (livelli_.empty()) return;
  Livello& l = livelli_.back();
  if (!l.vuoto) out_ << (l.in_linea ? ", " : ",");
  if (!l.in_linea) a_capo();
  l.vuoto = false;
}

void ScrittoreJson::apri(char c, bool in_linea) {
  prima_del_valore();
  out_ << c;
  livelli_.push_back({in_linea || (!livelli_.empty() && livelli_.back().in_linea)});
}

void ScrittoreJson::chiudi(char c) {
  const Livello l = livelli_.back();
  livelli_.pop_back();
  if (!l.in_linea && !l.vuoto) a_capo();
  out_ << c;
  if (livelli_.empty()) out_ << '\n';
}

void ScrittoreJson::apri_oggetto(bool in_linea) {
  apri('{', in_linea);
}
void ScrittoreJson::chiudi_oggetto() {
  chiudi('}');
}
void ScrittoreJson::apri_lista(bool in_linea) {
  apri('[', in_linea);
}
void ScrittoreJson::chiudi_lista() {
  chiudi(']');
}

void ScrittoreJson::chiave(std::string_view nome) {
  prima_del_valore();
  out_ << stringa_json(nome) << ": ";
  dopo_chiave_ = true;
}

void ScrittoreJson::stringa(std::string_view utf8) {
  prima_del_valore();
  out_ << stringa_json(utf8);
}

void ScrittoreJson::intero(int64_t v) {
  prima_del_valore();
  out_ << v;
}

void ScrittoreJson::reale(double v) {
  prima_del_valore();
  if (!std::isfinite(v)) {
    // JSON has no literal for these; a string keeps the value readable.
    out_ << (std::isnan(v) ? "\"nan\"" : (v > 0 ? "\"inf\"" : "\"-inf\""));
    return;
  }
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  std::string_view s(buf, static_cast<size_t>(r.ptr - buf));
  out_ << s;
  if (s.find_first_of(".e") == std::string_view::npos) out_ << ".0";
}

void ScrittoreJson::booleano(bool v) {
  prima_del_valore();
  out_ << (v ? "true" : "false");
}

void ScrittoreJson::nullo() {
  prima_del_valore();
  out_ << "null";
}

}  // namespace scenario
