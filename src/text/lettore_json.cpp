#include "text/lettore_json.h"

#include <cerrno>
#include <cstdlib>
#include <string>

namespace scenario {

const ValoreJson& ValoreJson::operator[](const std::string& k) const {
  const ValoreJson* v = trova(k);
  if (v == nullptr) throw std::runtime_error("no key " + k);
  return *v;
}

const ValoreJson& ValoreJson::operator[](size_t i) const {
  if (tipo != kLista || i >= lista.size()) throw std::runtime_error("no element");
  return lista[i];
}

const ValoreJson* ValoreJson::trova(const std::string& k) const {
  if (tipo != kOggetto) return nullptr;
  auto it = oggetto.find(k);
  return it == oggetto.end() ? nullptr : &it->second;
}

namespace {

void aggiungi_utf8(std::string& r, uint32_t u) {
  if (u < 0x80) {
    r += static_cast<char>(u);
  } else if (u < 0x800) {
    r += static_cast<char>(0xC0 | (u >> 6));
    r += static_cast<char>(0x80 | (u & 0x3F));
  } else if (u < 0x10000) {
    r += static_cast<char>(0xE0 | (u >> 12));
    r += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    r += static_cast<char>(0x80 | (u & 0x3F));
  } else {
    r += static_cast<char>(0xF0 | (u >> 18));
    r += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
    r += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    r += static_cast<char>(0x80 | (u & 0x3F));
  }
}

class Lettore {
 public:
  explicit Lettore(std::string_view s) : s_(s) {}

  ValoreJson documento() {
    ValoreJson v = valore(0);
    spazi();
    if (i_ != s_.size()) errore("text after the document");
    return v;
  }

 private:
  [[noreturn]] void errore(const std::string& cosa) const { throw ErroreJson(i_, cosa); }

  bool fine() const { return i_ >= s_.size(); }
  char ora() const { return s_[i_]; }

  void spazi() {
    while (!fine() && (ora() == ' ' || ora() == '\n' || ora() == '\r' || ora() == '\t')) ++i_;
  }
  bool prendi(char c) {
    spazi();
    if (!fine() && ora() == c) {
      ++i_;
      return true;
    }
    return false;
  }
  void atteso(char c) {
    if (!prendi(c)) errore(std::string("expected '") + c + "'");
  }
  bool parola(std::string_view p) {
    if (s_.substr(i_, p.size()) != p) return false;
    i_ += p.size();
    return true;
  }

  uint32_t quattro_cifre() {
    if (s_.size() - i_ < 4) errore("\\u needs four hex digits");
    uint32_t u = 0;
    for (int k = 0; k < 4; ++k) {
      const char c = s_[i_];
      uint32_t cifra;
      if (c >= '0' && c <= '9') {
        cifra = static_cast<uint32_t>(c - '0');
      } else if (c >= 'a' && c <= 'f') {
        cifra = static_cast<uint32_t>(c - 'a' + 10);
      } else if (c >= 'A' && c <= 'F') {
        cifra = static_cast<uint32_t>(c - 'A' + 10);
      } else {
        errore("\\u needs four hex digits");
      }
      u = u * 16 + cifra;
      ++i_;
    }
    return u;
  }

  std::string stringa() {
    spazi();
    if (fine() || ora() != '"') errore("expected a string");
    ++i_;
    std::string r;
    while (true) {
      if (fine()) errore("unterminated string");
      const char c = s_[i_];
      if (c == '"') {
        ++i_;
        return r;
      }
      if (static_cast<unsigned char>(c) < 0x20) errore("control character in string");
      if (c != '\\') {
        r += c;
        ++i_;
        continue;
      }
      ++i_;
      if (fine()) errore("unterminated string");
      const char e = s_[i_++];
      switch (e) {
        case '"':
        case '\\':
        case '/':
          r += e;
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
          const size_t inizio = i_ - 2;
          uint32_t u = quattro_cifre();
          if (u >= 0xDC00 && u <= 0xDFFF) {
            i_ = inizio;
            errore("low surrogate without a high one");
          }
          if (u >= 0xD800 && u <= 0xDBFF) {
            if (!parola("\\u")) {
              i_ = inizio;
              errore("high surrogate without a low one");
            }
            const uint32_t basso = quattro_cifre();
            if (basso < 0xDC00 || basso > 0xDFFF) {
              i_ = inizio;
              errore("high surrogate without a low one");
            }
            u = 0x10000 + ((u - 0xD800) << 10) + (basso - 0xDC00);
          }
          aggiungi_utf8(r, u);
          break;
        }
        default:
          i_ -= 2;
          errore("bad escape");
      }
    }
  }

  bool cifra() const { return !fine() && ora() >= '0' && ora() <= '9'; }

  ValoreJson numero() {
    const size_t inizio = i_;
    bool intero = true;
    if (ora() == '-') ++i_;
    if (!cifra()) errore("expected a digit");
    if (ora() == '0') {
      ++i_;
      if (cifra()) errore("leading zero");
    } else {
      while (cifra()) ++i_;
    }
    if (!fine() && ora() == '.') {
      intero = false;
      ++i_;
      if (!cifra()) errore("expected a digit after the point");
      while (cifra()) ++i_;
    }
    if (!fine() && (ora() == 'e' || ora() == 'E')) {
      intero = false;
      ++i_;
      if (!fine() && (ora() == '+' || ora() == '-')) ++i_;
      if (!cifra()) errore("expected a digit in the exponent");
      while (cifra()) ++i_;
    }
    const std::string testo(s_.substr(inizio, i_ - inizio));
    ValoreJson v;
    if (intero) {
      errno = 0;
      char* fine_numero = nullptr;
      const long long n = std::strtoll(testo.c_str(), &fine_numero, 10);
      if (errno == 0) {
        v.tipo = ValoreJson::kIntero;
        v.intero = n;
        return v;
      }
    }
    v.tipo = ValoreJson::kReale;
    v.reale = std::strtod(testo.c_str(), nullptr);
    return v;
  }

  ValoreJson valore(int profondita) {
    spazi();
    if (fine()) errore("unexpected end");
    ValoreJson v;
    const char c = ora();
    if (c == '{' || c == '[') {
      if (profondita >= kProfonditaJson) errore("nested too deep");
      ++i_;
    }
    if (c == '{') {
      v.tipo = ValoreJson::kOggetto;
      if (prendi('}')) return v;
      do {
        spazi();
        const size_t dove = i_;
        std::string k = stringa();
        atteso(':');
        ValoreJson membro = valore(profondita + 1);
        if (!v.oggetto.emplace(std::move(k), std::move(membro)).second) {
          i_ = dove;
          errore("duplicate key");
        }
      } while (prendi(','));
      atteso('}');
    } else if (c == '[') {
      v.tipo = ValoreJson::kLista;
      if (prendi(']')) return v;
      do v.lista.push_back(valore(profondita + 1));
      while (prendi(','));
      atteso(']');
    } else if (c == '"') {
      v.tipo = ValoreJson::kStringa;
      v.stringa = stringa();
    } else if (parola("null")) {
      v.tipo = ValoreJson::kNullo;
    } else if (parola("true")) {
      v.tipo = ValoreJson::kBooleano;
      v.booleano = true;
    } else if (parola("false")) {
      v.tipo = ValoreJson::kBooleano;
    } else if (c == '-' || (c >= '0' && c <= '9')) {
      return numero();
    } else {
      errore("unexpected character");
    }
    return v;
  }

  std::string_view s_;
  size_t i_ = 0;
};

}  // namespace

ValoreJson leggi_json(std::string_view testo) {
  return Lettore(testo).documento();
}

}  // namespace scenario
