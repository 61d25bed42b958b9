#pragma once
// The field reader shared by both source readers. A source is read whole into
// memory and then taken apart as a stream of comma-separated fields:
//   - line ends are CR LF, a lone LF or a lone CR; blanks are space and tab;
//   - a text field runs from its first non-blank byte to the next comma or line
//     end (consumed); inner blanks stay, trailing blanks go;
//   - a number field is an optional sign and at least one digit, ended by a
//     blank, a comma or a line end; the blanks after it and then at most one
//     comma or one line end are consumed; an empty field reads as 0; anything
//     else (a letter, a point, a second sign, a value outside 32 bits) fails;
//   - "at its end" means no byte is left, and a read that finds no byte where a
//     field must start fails.
// Every field's line and column are known, so that a recorded error can point
// at the entry that caused it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "model/modello.h"
#include "platform/guasto.h"

namespace scenario {

// A field that cannot be read: the source ends where a field must start, or a
// number field holds something that is not a 32-bit whole number.
class ErroreLettura : public GuastoEsecuzione {
 public:
  ErroreLettura(const std::string& messaggio, LuogoSorgente luogo)
      : GuastoEsecuzione(messaggio), luogo_(std::move(luogo)) {}
  const LuogoSorgente& luogo() const { return luogo_; }

 private:
  LuogoSorgente luogo_;
};

class LettoreCampi {
 public:
  // `testo` holds the source's bytes; `nome_file` names it in error locations.
  LettoreCampi(std::string testo, std::string nome_file);

  bool alla_fine() const { return pos_ >= testo_.size(); }

  std::string leggi_testo();
  int32_t leggi_numero();

  // Where the last field read begins (its first non-blank byte).
  const LuogoSorgente& luogo_campo() const { return luogo_campo_; }
  // Where the reader stands now.
  LuogoSorgente luogo_corrente() const;
  const std::string& nome_file() const { return nome_file_; }

 private:
  void salta_spazi();
  bool fine_riga_qui() const;
  void consuma_fine_riga();
  void segna_inizio_campo();
  [[noreturn]] void fallisci(const std::string& perche) const;

  std::string testo_;
  std::string nome_file_;
  size_t pos_ = 0;
  int riga_ = 1;
  size_t inizio_riga_ = 0;
  LuogoSorgente luogo_campo_;
};

// The keywords are ASCII: a field is compared letter-case-blind by folding its
// ASCII capitals once and testing the folded text with contiene().
std::string minuscole(std::string_view s);
inline bool contiene(std::string_view campo, std::string_view parola) {
  return campo.find(parola) != std::string_view::npos;
}

}  // namespace scenario
