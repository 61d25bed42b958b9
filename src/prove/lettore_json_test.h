#pragma once
// Test support: a small JSON reader, enough to read the tool's --json output
// back and prove it carries every value, and the recorded outcomes the
// compiled bytes are held to. Numbers keep whether they were written as an
// integer or with a point or exponent.

#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace scenario {

struct ValoreJson {
  enum Tipo { kNullo, kBooleano, kIntero, kReale, kStringa, kLista, kOggetto } tipo = kNullo;
  bool booleano = false;
  int64_t intero = 0;
  double reale = 0;
  std::string stringa;
  std::vector<ValoreJson> lista;
  std::map<std::string, ValoreJson> oggetto;

  const ValoreJson& operator[](const std::string& k) const {
    auto it = oggetto.find(k);
    if (tipo != kOggetto || it == oggetto.end()) throw std::runtime_error("no key " + k);
    return it->second;
  }
  const ValoreJson& operator[](size_t i) const {
    if (tipo != kLista || i >= lista.size()) throw std::runtime_error("no element");
    return lista[i];
  }
  bool ha(const std::string& k) const { return tipo == kOggetto && oggetto.count(k) > 0; }
};

class LettoreJson {
 public:
  explicit LettoreJson(std::string_view s) : s_(s) {}

  ValoreJson documento() {
    ValoreJson v = valore();
    spazi();
    if (i_ != s_.size()) errore("text after the document");
    return v;
  }

 private:
  [[noreturn]] void errore(const std::string& cosa) {
    throw std::runtime_error("JSON at " + std::to_string(i_) + ": " + cosa);
  }
  void spazi() {
    while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\n' || s_[i_] == '\r' || s_[i_] == '\t'))
      ++i_;
  }
  bool prendi(char c) {
    spazi();
    if (i_ < s_.size() && s_[i_] == c) {
      ++i_;
      return true;
    }
    return false;
  }
  void atteso(char c) {
    if (!prendi(c)) errore(std::string("expected ") + c);
  }
  bool parola(std::string_view p) {
    if (s_.substr(i_, p.size()) != p) return false;
    i_ += p.size();
    return true;
  }

  std::string stringa() {
    atteso('"');
    std::string r;
    while (true) {
      if (i_ >= s_.size()) errore("unterminated string");
      char c = s_[i_++];
      if (c == '"') return r;
      if (static_cast<unsigned char>(c) < 0x20) errore("control character in string");
      if (c != '\\') {
        r += c;
        continue;
      }
      if (i_ >= s_.size()) errore("bad escape");
      c = s_[i_++];
      switch (c) {
        case '"':
        case '\\':
        case '/':
          r += c;
          break;
        case 'n':
          r += '\n';
          break;
        case 'r':
          r += '\r';
          break;
        case 't':
          r += '\t';
          break;
        case 'b':
          r += '\b';
          break;
        case 'f':
          r += '\f';
          break;
        case 'u': {
          if (i_ + 4 > s_.size()) errore("bad \\u");
          const unsigned long u = std::strtoul(std::string(s_.substr(i_, 4)).c_str(), nullptr, 16);
          i_ += 4;
          if (u >= 0x80) errore("only ASCII \\u escapes expected");
          r += static_cast<char>(u);
          break;
        }
        default:
          errore("bad escape");
      }
    }
  }

  ValoreJson valore() {
    spazi();
    if (i_ >= s_.size()) errore("unexpected end");
    ValoreJson v;
    const char c = s_[i_];
    if (c == '{') {
      ++i_;
      v.tipo = ValoreJson::kOggetto;
      if (prendi('}')) return v;
      do {
        spazi();
        std::string k = stringa();
        atteso(':');
        if (v.oggetto.count(k)) errore("duplicate key " + k);
        v.oggetto[k] = valore();
      } while (prendi(','));
      atteso('}');
    } else if (c == '[') {
      ++i_;
      v.tipo = ValoreJson::kLista;
      if (prendi(']')) return v;
      do v.lista.push_back(valore());
      while (prendi(','));
      atteso(']');
    } else if (c == '"') {
      v.tipo = ValoreJson::kStringa;
      v.stringa = stringa();
    } else if (parola("null")) {
      v.tipo = ValoreJson::kNullo;
    } else if (parola("true") || parola("false")) {
      v.tipo = ValoreJson::kBooleano;
      v.booleano = s_[i_ - 1] == 'e' && s_[i_ - 2] == 'u';
    } else {
      const size_t inizio = i_;
      while (i_ < s_.size() &&
             std::string_view("+-0123456789.eE").find(s_[i_]) != std::string_view::npos)
        ++i_;
      const std::string testo(s_.substr(inizio, i_ - inizio));
      if (testo.empty()) errore("unexpected character");
      if (testo.find_first_of(".eE") == std::string::npos) {
        v.tipo = ValoreJson::kIntero;
        v.intero = std::stoll(testo);
      } else {
        v.tipo = ValoreJson::kReale;
        v.reale = std::strtod(testo.c_str(), nullptr);
      }
    }
    return v;
  }

  std::string_view s_;
  size_t i_ = 0;
};

inline ValoreJson leggi_json(std::string_view s) {
  return LettoreJson(s).documento();
}

}  // namespace scenario
