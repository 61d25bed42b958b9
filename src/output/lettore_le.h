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

  // The structure the fields read next belong to, named by words, an index
  // and words ("cell " 89 " "): a field's name is that and its own ("dato1").
  // The name is made only where it is used, a failure or the field list: a
  // cells file holds tens of thousands of fields, a plan file millions.
  void in_struttura(std::string_view prima, size_t indice, std::string_view dopo) {
    prima_ = prima;
    indice_ = indice;
    dopo_ = dopo;
  }

  uint8_t u8(std::string_view campo);
  uint16_t u16(std::string_view campo);
  int16_t i16(std::string_view campo);
  int32_t i32(std::string_view campo);
  double f64(std::string_view campo);
  // A text member: 2-byte count, then that many Windows-1252 bytes.
  std::string testo(std::string_view campo);

  // The next n bytes at once, when they are all there and no field list is
  // kept: a structure of fixed size is then read from them through BloccoLE,
  // with no check per member. Otherwise nothing is taken, and the structure
  // is read member by member, each failure named.
  const unsigned char* blocco(size_t n) {
    if (campi_ != nullptr || restanti() < n) return nullptr;
    const auto* p = reinterpret_cast<const unsigned char*>(byte_.data() + pos_);
    pos_ += n;
    return p;
  }

  size_t posizione() const { return pos_; }
  size_t restanti() const { return byte_.size() - pos_; }
  bool alla_fine() const { return pos_ == byte_.size(); }
  bool con_campi() const { return campi_ != nullptr; }

 private:
  std::string nome(std::string_view campo, std::string_view coda = {}) const;
  // The next n bytes, or an ErroreDecodifica saying how many were missing.
  const unsigned char* prendi(size_t n, std::string_view campo, std::string_view coda = {});
  void annota(std::string valore);

  std::string_view byte_;
  size_t pos_ = 0;
  std::vector<CampoBinario>* campi_;
  std::string_view prima_, dopo_;
  size_t indice_ = 0;
};

// The members of one structure whose bytes LettoreLE::blocco handed over
// whole, read in order with the reader's names and widths, so that one
// description of the structure serves both.
class BloccoLE {
 public:
  explicit BloccoLE(const unsigned char* p) : p_(p) {}
  uint8_t u8(std::string_view) { return *p_++; }
  int16_t i16(std::string_view) {
    const auto v = static_cast<int16_t>(static_cast<uint16_t>(p_[0] | (p_[1] << 8)));
    p_ += 2;
    return v;
  }

 private:
  const unsigned char* p_;
};

}  // namespace scenario
