#include "compiler/lettore_campi.h"

#include <algorithm>
#include <utility>

#include "text/cp1252.h"

namespace scenario {

namespace {

bool spazio(char c) {
  return c == ' ' || c == '\t';
}
bool cifra(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

LettoreCampi::LettoreCampi(std::string testo, std::string nome_file)
    : testo_(std::move(testo)), nome_file_(std::move(nome_file)) {
  luogo_campo_ = luogo_corrente();
}

LuogoSorgente LettoreCampi::luogo_corrente() const {
  return LuogoSorgente{nome_file_, riga_, static_cast<int>(pos_ - inizio_riga_) + 1};
}

void LettoreCampi::fallisci(const std::string& perche) const {
  LuogoSorgente qui = luogo_corrente();
  // The field that failed runs from its start to the next comma or line end.
  CampoLetto campo;
  if (alla_fine()) {
    campo = {qui.riga, qui.colonna, 0, "", true};
  } else {
    size_t fine = testo_.find_first_of(",\r\n", inizio_campo_);
    if (fine == std::string::npos) fine = testo_.size();
    while (fine > inizio_campo_ && spazio(testo_[fine - 1])) --fine;
    campo = {luogo_campo_.riga, luogo_campo_.colonna, static_cast<int>(fine - inizio_campo_),
             testo_.substr(inizio_campo_, std::min(fine - inizio_campo_, kCitazioneCampo))};
  }
  throw ErroreLettura(nome_file_ + ":" + std::to_string(qui.riga) + ":" +
                          std::to_string(qui.colonna) + ": " + perche,
                      qui, std::move(campo), perche);
}

void LettoreCampi::rifiuta_ultimo(const std::string& perche) const {
  const CampoLetto c = campi_.empty() ? CampoLetto{} : campi_.back();
  const LuogoSorgente dove{nome_file_, c.riga, c.colonna};
  throw ErroreLettura(
      nome_file_ + ":" + std::to_string(c.riga) + ":" + std::to_string(c.colonna) + ": " + perche,
      dove, c, perche);
}

void LettoreCampi::ricorda(size_t inizio, size_t fine) {
  campi_.push_back({luogo_campo_.riga, luogo_campo_.colonna, static_cast<int>(fine - inizio),
                    testo_.substr(inizio, std::min(fine - inizio, kCitazioneCampo))});
}

void LettoreCampi::salta_spazi() {
  while (pos_ < testo_.size() && spazio(testo_[pos_])) ++pos_;
}

bool LettoreCampi::fine_riga_qui() const {
  return pos_ < testo_.size() && (testo_[pos_] == '\r' || testo_[pos_] == '\n');
}

void LettoreCampi::consuma_fine_riga() {
  if (testo_[pos_] == '\r' && pos_ + 1 < testo_.size() && testo_[pos_ + 1] == '\n') ++pos_;
  ++pos_;
  ++riga_;
  inizio_riga_ = pos_;
}

void LettoreCampi::segna_inizio_campo() {
  inizio_campo_ = pos_;
  luogo_campo_.riga = riga_;
  luogo_campo_.colonna = static_cast<int>(pos_ - inizio_riga_) + 1;
}

std::string LettoreCampi::leggi_testo() {
  salta_spazi();
  if (alla_fine()) fallisci("the source ends where a field should begin");
  segna_inizio_campo();
  size_t inizio = pos_;
  while (pos_ < testo_.size() && testo_[pos_] != ',' && testo_[pos_] != '\r' &&
         testo_[pos_] != '\n') {
    ++pos_;
  }
  size_t fine = pos_;
  while (fine > inizio && spazio(testo_[fine - 1])) --fine;
  std::string campo(testo_, inizio, fine - inizio);
  ricorda(inizio, fine);
  if (pos_ < testo_.size()) {
    if (testo_[pos_] == ',') {
      ++pos_;
    } else {
      consuma_fine_riga();
    }
  }
  return campo;
}

int32_t LettoreCampi::leggi_numero() {
  salta_spazi();
  if (alla_fine()) fallisci("the source ends where a number should begin");
  segna_inizio_campo();
  char c = testo_[pos_];
  if (c == ',') {  // empty field
    ricorda(pos_, pos_);
    ++pos_;
    return 0;
  }
  if (fine_riga_qui()) {
    ricorda(pos_, pos_);
    consuma_fine_riga();
    return 0;
  }
  bool negativo = false;
  if (c == '+' || c == '-') {
    negativo = c == '-';
    ++pos_;
  }
  // The magnitude is capped just past the 32-bit range so it cannot overflow.
  constexpr int64_t kOltre = int64_t{1} << 32;
  int64_t valore = 0;
  size_t prima_cifra = pos_;
  while (pos_ < testo_.size() && cifra(testo_[pos_])) {
    valore = valore * 10 + (testo_[pos_] - '0');
    if (valore > kOltre) valore = kOltre;
    ++pos_;
  }
  if (pos_ == prima_cifra) fallisci("a number field holds no digits");
  if (pos_ < testo_.size()) {
    char d = testo_[pos_];
    if (!spazio(d) && d != ',' && d != '\r' && d != '\n') {
      fallisci("a number field holds '" + cp1252_a_utf8(std::string_view(&d, 1)) + "'");
    }
  }
  if (negativo) valore = -valore;
  if (valore < INT32_MIN || valore > INT32_MAX) {
    fallisci("a number field is outside the 32-bit range");
  }
  ricorda(inizio_campo_, pos_);
  salta_spazi();
  if (pos_ < testo_.size()) {
    if (testo_[pos_] == ',') {
      ++pos_;
    } else if (fine_riga_qui()) {
      consuma_fine_riga();
    }
  }
  return static_cast<int32_t>(valore);
}

std::string minuscole(std::string_view s) {
  std::string r(s);
  for (char& c : r) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return r;
}

}  // namespace scenario
