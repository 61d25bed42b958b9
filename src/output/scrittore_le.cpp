#include "output/scrittore_le.h"

#include <bit>
#include <cstring>

#include "app/file_atomico.h"
#include "model/numeri.h"

namespace scenario {

namespace {
constexpr size_t kBlocco = 1 << 16;
}

void ScrittoreLE::metti(const void* p, size_t n) {
  buffer_.append(static_cast<const char*>(p), n);
  if (file_ != nullptr && buffer_.size() >= kBlocco) svuota();
}

void ScrittoreLE::u16(uint16_t v) {
  unsigned char b[2] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8)};
  metti(b, 2);
}

void ScrittoreLE::i32(int32_t v) {
  uint32_t u = static_cast<uint32_t>(v);
  unsigned char b[4] = {static_cast<unsigned char>(u), static_cast<unsigned char>(u >> 8),
                        static_cast<unsigned char>(u >> 16), static_cast<unsigned char>(u >> 24)};
  metti(b, 4);
}

void ScrittoreLE::f64(double v) {
  uint64_t u = std::bit_cast<uint64_t>(v);
  unsigned char b[8];
  for (int i = 0; i < 8; ++i) b[i] = static_cast<unsigned char>(u >> (8 * i));
  metti(b, 8);
}

void ScrittoreLE::testo(std::string_view cp1252) {
  u16(restringi<uint16_t>(static_cast<int64_t>(cp1252.size()), "a text's 2-byte length"));
  metti(cp1252.data(), cp1252.size());
}

void ScrittoreLE::svuota() {
  if (file_ == nullptr) return;
  file_->scrivi(buffer_.data(), buffer_.size());
  buffer_.clear();
}

}  // namespace scenario
