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
constexpr size_t kBlocco =
    1 << 20;  // fewer, larger writes: each costs the file system a fixed amount
}

// With a file, the buffer grows as the bytes come, up to one block, before any
// of it is handed over: a small file costs its own size, not a whole block
// zero-filled and faulted in. A full block is then handed over whenever it
// fills, as before.
ScrittoreLE::ScrittoreLE(FileAtomico& file) : file_(&file) {}

void ScrittoreLE::fai_spazio(size_t n) {
  if (file_ != nullptr && buffer_.size() >= kBlocco) {
    svuota();
    if (n <= buffer_.size()) return;
  }
  size_t nuova = buffer_.size() < 64 ? 64 : buffer_.size();
  while (nuova - usati_ < n) nuova *= 2;
  if (file_ != nullptr) nuova = std::max(std::min(nuova, kBlocco), usati_ + n);
  buffer_.resize(nuova);
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
  if (file_ == nullptr && n > buffer_.size() - usati_) buffer_.resize(usati_ + n);
}

std::string ScrittoreLE::prendi_byte() {
  buffer_.resize(usati_);
  usati_ = 0;
  return std::exchange(buffer_, std::string());
}

void ScrittoreLE::svuota() {
  if (file_ == nullptr) return;
  file_->scrivi(buffer_.data(), usati_);
  usati_ = 0;
}

}  // namespace scenario
