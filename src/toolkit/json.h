#pragma once
// A small streaming JSON writer for the tool's --json output. Members and list
// elements go one per line, indented, except inside a container opened "in
// line", where everything stays on one line (one cell, one list of numbers).
// Texts are UTF-8; a 64-bit float always shows a point or an exponent, so that
// a reader can tell it from an Integer.

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace scenario {

class ScrittoreJson {
 public:
  explicit ScrittoreJson(std::ostream& out) : out_(out) {}
  ~ScrittoreJson() = default;

  void apri_oggetto(bool in_linea = false);
  void chiudi_oggetto();
  void apri_lista(bool in_linea = false);
  void chiudi_lista();
  // The key of the next member of the open object.
  void chiave(std::string_view nome);

  void stringa(std::string_view utf8);
  void intero(int64_t v);
  void reale(double v);
  void booleano(bool v);
  void nullo();

  // Shorthands for one member.
  void campo(std::string_view nome, std::string_view utf8) {
    chiave(nome);
    stringa(utf8);
  }
  void campo(std::string_view nome, const char* utf8) { campo(nome, std::string_view(utf8)); }
  void campo(std::string_view nome, int64_t v) {
    chiave(nome);
    intero(v);
  }

 private:
  struct Livello {
    bool in_linea;
    bool vuoto = true;
  };
  void prima_del_valore();
  void apri(char c, bool in_linea);
  void chiudi(char c);
  void a_capo();

  std::ostream& out_;
  std::vector<Livello> livelli_;
  bool dopo_chiave_ = false;
};

// A JSON string literal, quotes included.
std::string stringa_json(std::string_view utf8);

}  // namespace scenario
