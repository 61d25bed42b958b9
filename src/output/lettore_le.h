#pragma once
// The read side of the compiled files: a little-endian reader over bytes in
// memory that knows where it stands. Reading past the end, or a value that the
// format does not allow, is an ErroreDecodifica naming the offset and the
// field, never a read outside the bytes.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace scenario {

class ErroreDecodifica : public std::runtime_error {
 public:
  ErroreDecodifica(size_t offset, const std::string& messaggio);
  size_t offset() const { return offset_; }

 private:
  size_t offset_;
};

// One field of a compiled file: where its bytes lie and what they are
// ("cell 89 dato1"). The annotated hex dump is made of these.
struct CampoBinario {
  size_t offset = 0;
  size_t lunghezza = 0;
  std::string nome;
  std::string valore;  // the value read, as text (a name in quotes, UTF-8)
};

class LettoreLE {
 public:
  // `campi`, when given, receives one entry per field read.
  explicit LettoreLE(std::string_view byte, std::vector<CampoBinario>* campi = nullptr)
      : byte_(byte), campi_(campi) {}

  uint8_t u8(const std::string& nome);
  uint16_t u16(const std::string& nome);
  int16_t i16(const std::string& nome);
  int32_t i32(const std::string& nome);
  double f64(const std::string& nome);
  // A text member: 2-byte count, then that many Windows-1252 bytes.
  std::string testo(const std::string& nome);

  size_t posizione() const { return pos_; }
  size_t restanti() const { return byte_.size() - pos_; }
  bool alla_fine() const { return pos_ == byte_.size(); }

 private:
  // The next n bytes, or an ErroreDecodifica saying how many were missing.
  const unsigned char* prendi(size_t n, const std::string& nome);
  void annota(std::string valore);

  std::string_view byte_;
  size_t pos_ = 0;
  std::vector<CampoBinario>* campi_;
};

}  // namespace scenario
