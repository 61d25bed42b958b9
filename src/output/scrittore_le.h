#pragma once
// The one little-endian writer of the three compiled files: members packed
// with no filler, least significant byte first, texts as a 2-byte count and
// Windows-1252 bytes. It buffers and hands full blocks to a FileAtomico, or
// keeps everything in memory when it has no file (for tests and tools).
//
// The plan file of a long route holds millions of values, so the members are
// written inline straight into the buffer; only a full buffer leaves the
// fast path.

#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace scenario {

class FileAtomico;

class ScrittoreLE {
 public:
  ScrittoreLE() = default;
  explicit ScrittoreLE(FileAtomico& file);
  ~ScrittoreLE() = default;
  ScrittoreLE(const ScrittoreLE&) = delete;
  ScrittoreLE& operator=(const ScrittoreLE&) = delete;

  void u8(uint8_t v) { *spazio(1) = v; }
  void u16(uint16_t v) { le<2>(spazio(2), v); }
  void i16(int16_t v) { u16(static_cast<uint16_t>(v)); }
  void i32(int32_t v) { le<4>(spazio(4), static_cast<uint32_t>(v)); }
  void f64(double v) { le<8>(spazio(8), std::bit_cast<uint64_t>(v)); }
  // A text member: fails when it is longer than the 2-byte count can say.
  void testo(std::string_view cp1252);
  // Tagged values, one per (tag, value) pair: the 2-byte tag, then nothing for
  // tag 0 (empty), the value as an Integer for tag 2, as a binary64 for tag 5.
  // Any other tag, or an Integer value that does not fit, fails naming the
  // element. Written in one tight pass: a plan table holds millions of them.
  void etichettati(std::span<const uint8_t> etichette, std::span<const double> valori);

  // Without a file: makes room for n bytes at once, so that a large structure
  // is not copied as the buffer grows.
  void riserva(size_t n);

  // Hands what is buffered to the file.
  void svuota();
  // The bytes written so far (only those not yet handed to a file).
  std::string_view byte() const { return {reinterpret_cast<const char*>(dati_), usati_}; }
  // The same bytes, handed over; the writer is left empty.
  std::string prendi_byte();

 private:
  // Room for n more bytes at the end of what is written; the caller fills it.
  unsigned char* spazio(size_t n) {
    if (n > capacita_ - usati_) fai_spazio(n);
    unsigned char* p = dati_ + usati_;
    usati_ += n;
    return p;
  }
  void fai_spazio(size_t n);
  // The N low bytes of v, least significant first: one store on a
  // little-endian machine.
  template <int N>
  static void le(unsigned char* p, uint64_t v) {
    if constexpr (std::endian::native == std::endian::little) {
      std::memcpy(p, &v, N);
    } else {
      for (int i = 0; i < N; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
    }
  }

  FileAtomico* file_ = nullptr;
  // Without a file, the bytes grow in buffer_, which is handed over whole.
  // With one, they go through blocco_, left uninitialised: only the pages a
  // file's bytes reach are ever touched, and the block is reused once handed
  // over, so that a large file costs no zero-filling and no copy as it grows.
  std::string buffer_;
  std::unique_ptr<unsigned char[]> blocco_;
  unsigned char* dati_ = nullptr;  // buffer_'s or blocco_'s bytes
  size_t capacita_ = 0;            // the bytes at dati_, all usable
  size_t usati_ = 0;               // the first of them, written
};

}  // namespace scenario
