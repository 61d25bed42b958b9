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
#include <vector>

#include "model/modello.h"
#include "platform/guasto.h"

namespace scenario {

// One field as the source holds it: where it starts, how many characters it
// takes, and its text (cut to its first kCitazioneCampo characters).
struct CampoLetto {
  int riga = 0;
  int colonna = 0;
  int larghezza = 0;
  std::string testo;
  bool fine_sorgente = false;  // the source ended where the field should begin

  bool operator==(const CampoLetto&) const = default;
};
inline constexpr size_t kCitazioneCampo = 200;

// A field that cannot be read: the source ends where a field must start, a
// number field holds something that is not a 32-bit whole number, or a number
// does not fit the member that receives it.
class ErroreLettura : public GuastoEsecuzione {
 public:
  ErroreLettura(const std::string& messaggio, LuogoSorgente luogo, CampoLetto campo = {},
                std::string perche = "")
      : GuastoEsecuzione(messaggio),
        luogo_(std::move(luogo)),
        campo_(std::move(campo)),
        perche_(std::move(perche)) {}
  const LuogoSorgente& luogo() const { return luogo_; }
  // The field that failed, and why, in a few words ("holds no digits").
  const CampoLetto& campo() const { return campo_; }
  const std::string& perche() const { return perche_; }

 private:
  LuogoSorgente luogo_;
  CampoLetto campo_;
  std::string perche_;
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

  // The fields read since the last call of nuova_voce, in order: an entry's
  // fields after its keyword.
  void nuova_voce() { campi_.clear(); }
  const std::vector<CampoLetto>& campi() const { return campi_; }
  // Refuses the last field read: its value does not fit where it goes.
  [[noreturn]] void rifiuta_ultimo(const std::string& perche) const;

 private:
  void salta_spazi();
  bool fine_riga_qui() const;
  void consuma_fine_riga();
  void segna_inizio_campo();
  [[noreturn]] void fallisci(const std::string& perche) const;
  void ricorda(size_t inizio, size_t fine);

  std::string testo_;
  std::string nome_file_;
  size_t pos_ = 0;
  int riga_ = 1;
  size_t inizio_riga_ = 0;
  LuogoSorgente luogo_campo_;
  size_t inizio_campo_ = 0;  // byte offset of the last field's start
  std::vector<CampoLetto> campi_;
};

// The keywords are ASCII: a field is compared letter-case-blind by folding its
// ASCII capitals once and testing the folded text with contiene().
std::string minuscole(std::string_view s);
inline bool contiene(std::string_view campo, std::string_view parola) {
  return campo.find(parola) != std::string_view::npos;
}

}  // namespace scenario
