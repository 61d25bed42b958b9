#include "output/lettore_le.h"

#include <bit>
#include <charconv>

#include "text/cp1252.h"

namespace scenario {

ErroreDecodifica::ErroreDecodifica(size_t offset, const std::string& messaggio)
    : std::runtime_error("offset " + std::to_string(offset) + ": " + messaggio), offset_(offset) {}

std::string LettoreLE::nome(std::string_view campo, std::string_view coda) const {
  char indice[24];
  const size_t cifre =
      prima_.empty() ? 0
                     : static_cast<size_t>(
                           std::to_chars(indice, indice + sizeof indice, indice_).ptr - indice);
  std::string n;
  n.reserve(prima_.size() + cifre + dopo_.size() + campo.size() + coda.size());
  n.append(prima_).append(indice, cifre).append(dopo_).append(campo).append(coda);
  return n;
}

const unsigned char* LettoreLE::prendi(size_t n, std::string_view campo, std::string_view coda) {
  if (restanti() < n) {
    throw ErroreDecodifica(pos_, "truncated " + nome(campo, coda) + ": needs " + std::to_string(n) +
                                     " bytes, the file has " + std::to_string(restanti()) +
                                     " left");
  }
  const auto* p = reinterpret_cast<const unsigned char*>(byte_.data() + pos_);
  if (campi_ != nullptr && n > 0) campi_->push_back({pos_, n, nome(campo, coda), {}});
  pos_ += n;
  return p;
}

void LettoreLE::annota(std::string valore) {
  if (campi_ != nullptr && !campi_->empty()) campi_->back().valore = std::move(valore);
}

uint8_t LettoreLE::u8(std::string_view campo) {
  const uint8_t v = *prendi(1, campo);
  if (campi_ != nullptr) annota(std::to_string(v));
  return v;
}

uint16_t LettoreLE::u16(std::string_view campo) {
  const unsigned char* p = prendi(2, campo);
  const auto v = static_cast<uint16_t>(p[0] | (p[1] << 8));
  if (campi_ != nullptr) annota(std::to_string(v));
  return v;
}

int16_t LettoreLE::i16(std::string_view campo) {
  const unsigned char* p = prendi(2, campo);
  const auto v = static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
  if (campi_ != nullptr) annota(std::to_string(v));
  return v;
}

int32_t LettoreLE::i32(std::string_view campo) {
  const unsigned char* p = prendi(4, campo);
  uint32_t u = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
               (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
  const auto v = static_cast<int32_t>(u);
  if (campi_ != nullptr) annota(std::to_string(v));
  return v;
}

double LettoreLE::f64(std::string_view campo) {
  const unsigned char* p = prendi(8, campo);
  uint64_t u = 0;
  for (int i = 7; i >= 0; --i) u = (u << 8) | p[i];
  const double v = std::bit_cast<double>(u);
  if (campi_ != nullptr) {
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    annota(std::string(buf, r.ptr));
  }
  return v;
}

std::string LettoreLE::testo(std::string_view campo) {
  const size_t inizio = pos_;
  const unsigned char* conteggio = prendi(2, campo, " length");
  const auto n = static_cast<uint16_t>(conteggio[0] | (conteggio[1] << 8));
  if (campi_ != nullptr) annota(std::to_string(n));
  if (restanti() < n) {
    throw ErroreDecodifica(inizio, "truncated " + nome(campo) + ": its count says " +
                                       std::to_string(n) + " characters, the file has " +
                                       std::to_string(restanti()) + " bytes left");
  }
  const unsigned char* p = prendi(n, campo);
  std::string s(reinterpret_cast<const char*>(p), n);
  if (campi_ != nullptr && n > 0) annota("\"" + cp1252_a_utf8(s) + "\"");
  return s;
}

}  // namespace scenario
