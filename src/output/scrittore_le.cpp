#include "output/scrittore_le.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <utility>

#include "model/numeri.h"
#include "platform/file_atomico.h"

namespace scenario {

namespace {
// Bytes handed to the file at once: few enough writes for the longest route's
// 18 MB plan file, since each costs the file system a fixed amount, and a
// block small enough that the carried scenario's plan file touches few pages.
constexpr size_t kBlocco = 1 << 18;
}  // namespace

ScrittoreLE::ScrittoreLE(FileAtomico& file) : file_(&file) {}

void ScrittoreLE::fai_spazio(size_t n) {
  if (file_ != nullptr) {
    // What is written goes to the file, and the block holds the next bytes.
    svuota();
    if (n > capacita_) {
      capacita_ = std::max(n, kBlocco);
      blocco_.reset(new unsigned char[capacita_]);
      dati_ = blocco_.get();
    }
    return;
  }
  size_t nuova = capacita_ < 64 ? 64 : capacita_;
  while (nuova - usati_ < n) nuova *= 2;
  buffer_.resize(nuova);
  dati_ = reinterpret_cast<unsigned char*>(buffer_.data());
  capacita_ = nuova;
}

void ScrittoreLE::testo(std::string_view cp1252) {
  u16(restringi<uint16_t>(static_cast<int64_t>(cp1252.size()), "a text's 2-byte length"));
  if (!cp1252.empty()) std::memcpy(spazio(cp1252.size()), cp1252.data(), cp1252.size());
}

void ScrittoreLE::etichettati(std::span<const uint8_t> etichette, std::span<const double> valori) {
  if (etichette.size() != valori.size()) {
    throw GuastoEsecuzione("tagged values: " + std::to_string(etichette.size()) + " tags for " +
                           std::to_string(valori.size()) + " values");
  }
  constexpr size_t kPasso = 4096;  // elements per check of the room left
  for (size_t inizio = 0; inizio < etichette.size(); inizio += kPasso) {
    const size_t fine = std::min(etichette.size(), inizio + kPasso);
    // Room for the worst case; without a file, the exact room, so that a
    // writer sized up front never grows.
    size_t n = (fine - inizio) * 10;
    if (file_ == nullptr) {
      n = 0;
      for (size_t e = inizio; e < fine; ++e) {
        n += 2 + (etichette[e] == 5 ? 8 : etichette[e] == 2 ? 2 : 0);
      }
    }
    unsigned char* const base = spazio(n);
    unsigned char* p = base;
    for (size_t e = inizio; e < fine; ++e) {
      const uint8_t etichetta = etichette[e];
      le<2>(p, etichetta);
      p += 2;
      if (etichetta == 5) {
        le<8>(p, std::bit_cast<uint64_t>(valori[e]));
        p += 8;
      } else if (etichetta == 2) {
        const double v = valori[e];
        if (!(v >= std::numeric_limits<int16_t>::min() &&
              v <= std::numeric_limits<int16_t>::max() &&
              v == static_cast<double>(static_cast<int16_t>(v)))) {
          throw GuastoEsecuzione("tagged value " + std::to_string(e) +
                                 " is no Integer: " + std::to_string(v));
        }
        le<2>(p, static_cast<uint16_t>(static_cast<int16_t>(v)));
        p += 2;
      } else if (etichetta != 0) {
        throw GuastoEsecuzione("tagged value " + std::to_string(e) + " has type tag " +
                               std::to_string(etichetta) + ", which the format cannot hold");
      }
    }
    usati_ -= n - static_cast<size_t>(p - base);  // the room not used
  }
}

void ScrittoreLE::riserva(size_t n) {
  if (file_ != nullptr || n <= capacita_ - usati_) return;
  buffer_.resize(usati_ + n);
  dati_ = reinterpret_cast<unsigned char*>(buffer_.data());
  capacita_ = buffer_.size();
}

std::string ScrittoreLE::prendi_byte() {
  if (file_ != nullptr) {
    std::string r(byte());
    usati_ = 0;
    return r;
  }
  buffer_.resize(usati_);
  dati_ = nullptr;
  capacita_ = 0;
  usati_ = 0;
  return std::exchange(buffer_, std::string());
}

void ScrittoreLE::svuota() {
  if (file_ == nullptr) return;
  if (usati_ > 0) file_->scrivi(dati_, usati_);
  usati_ = 0;
}

}  // namespace scenario
