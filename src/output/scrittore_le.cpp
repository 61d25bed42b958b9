#include "output/scrittore_le.h"

#include <cstring>

#include "app/file_atomico.h"
#include "model/numeri.h"

namespace scenario {

namespace {
constexpr size_t kBlocco = 1 << 18;
}

ScrittoreLE::ScrittoreLE(FileAtomico& file) : file_(&file), buffer_(kBlocco, '\0') {}

void ScrittoreLE::fai_spazio(size_t n) {
  if (file_ != nullptr) {
    svuota();
    if (n <= buffer_.size()) return;
  }
  size_t nuova = buffer_.size() < 64 ? 64 : buffer_.size();
  while (nuova - usati_ < n) nuova *= 2;
  buffer_.resize(nuova);
}

void ScrittoreLE::testo(std::string_view cp1252) {
  u16(restringi<uint16_t>(static_cast<int64_t>(cp1252.size()), "a text's 2-byte length"));
  if (!cp1252.empty()) std::memcpy(spazio(cp1252.size()), cp1252.data(), cp1252.size());
}

void ScrittoreLE::svuota() {
  if (file_ == nullptr) return;
  file_->scrivi(buffer_.data(), usati_);
  usati_ = 0;
}

}  // namespace scenario
