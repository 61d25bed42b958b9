#pragma once
// The one little-endian writer of the three compiled files: members packed
// with no filler, least significant byte first, texts as a 2-byte count and
// Windows-1252 bytes. It buffers and hands full blocks to a FileAtomico, or
// keeps everything in memory when it has no file (for tests and tools).

#include <cstdint>
#include <string>
#include <string_view>

namespace scenario {

class FileAtomico;

class ScrittoreLE {
 public:
  ScrittoreLE() = default;
  explicit ScrittoreLE(FileAtomico& file) : file_(&file) {}
  ~ScrittoreLE() = default;

  void u8(uint8_t v) { metti(&v, 1); }
  void u16(uint16_t v);
  void i16(int16_t v) { u16(static_cast<uint16_t>(v)); }
  void i32(int32_t v);
  void f64(double v);
  // A text member: fails when it is longer than the 2-byte count can say.
  void testo(std::string_view cp1252);

  // Hands what is buffered to the file.
  void svuota();
  // The bytes written so far (only those not yet handed to a file).
  const std::string& byte() const { return buffer_; }

 private:
  void metti(const void* p, size_t n);

  FileAtomico* file_ = nullptr;
  std::string buffer_;
};

}  // namespace scenario
