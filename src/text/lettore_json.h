#pragma once
// A small JSON reader (RFC 8259): the language server reads its protocol's
// messages with it, and the tests read the tool's --json output back with it.
// Numbers keep whether they were written as an integer or with a point or
// exponent. Strings come out as UTF-8, "\u" escapes and surrogate pairs
// included. A malformed document is refused with the byte offset where the
// reading stopped.

#include <cstddef>
#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace scenario {

class ErroreJson : public std::runtime_error {
 public:
  ErroreJson(size_t scostamento, const std::string& cosa)
      : std::runtime_error("JSON at " + std::to_string(scostamento) + ": " + cosa),
        scostamento(scostamento) {}
  size_t scostamento;  // byte offset into the document
};

struct ValoreJson {
  enum Tipo { kNullo, kBooleano, kIntero, kReale, kStringa, kLista, kOggetto } tipo = kNullo;
  bool booleano = false;
  int64_t intero = 0;  // kIntero; an integer beyond 64 bits reads as kReale
  double reale = 0;
  std::string stringa;
  std::vector<ValoreJson> lista;
  std::map<std::string, ValoreJson> oggetto;

  // The member `k`, or the element `i`; a std::runtime_error when missing.
  const ValoreJson& operator[](const std::string& k) const;
  const ValoreJson& operator[](size_t i) const;
  bool ha(const std::string& k) const { return tipo == kOggetto && oggetto.count(k) > 0; }
  // The member `k`, or nullptr when this is no object or has no such member.
  const ValoreJson* trova(const std::string& k) const;
};

// Containers nest at most this deep: a deeper document is refused rather
// than read by recursion without a bound.
inline constexpr int kProfonditaJson = 256;

// Reads one whole document; blanks may surround it, nothing else may follow.
// Refuses duplicate keys, control characters in strings, lone surrogates,
// leading zeros, and every other departure from the grammar, with ErroreJson.
ValoreJson leggi_json(std::string_view testo);

}  // namespace scenario
