#pragma once
// The source format as one table: every entry of the route source and of the
// service source, with the keyword the readers recognise it by, the section it
// is written in and each of its fields after the keyword, by name, unit,
// meaning and the range an author should keep it in. The readers keep their
// own recognition code (their order and tests decide the compiled bytes);
// everything that explains or checks a source reads this table: the nearest
// keyword of a warning, the field names of a diagnostic, the checking pass,
// the toolkit's explain command and the reference page.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace scenario {

enum class SorgenteFormato { kLinea, kTreno };

enum class GenereCampo { kNumero, kTesto };

struct CampoFormato {
  std::string_view nome;         // Italian, as the format's words are
  std::string_view unita;        // "m", "km/h", "%", "" for a plain number or text
  std::string_view significato;  // one short line
  GenereCampo genere = GenereCampo::kNumero;
  int64_t minimo = 0;  // the range an author should keep a number in
  int64_t massimo = 0;
  int32_t multiplo = 1;  // a number that must be a multiple of this (1: any)
};

struct VoceFormato {
  std::string_view parola;   // the keyword as an author writes it
  SorgenteFormato sorgente;  // which source holds it
  std::string_view sezione;  // the section it is written in, "[generale]" ...
  // The words the keyword field must contain, all of them, for the reader to
  // recognise the entry; with `esatte` letter case counts.
  std::span<const std::string_view> prove;
  bool esatte = false;
  std::string_view significato;
  std::span<const CampoFormato> campi;
  std::string_view esempio;  // a line as it stands in a source
};

// Every entry, the route source's in its reader's order, then the service
// source's in its reader's order.
std::span<const VoceFormato> voci_formato();

// The entry whose keyword is `parola` (letter case and outer blanks ignored),
// or nullptr.
const VoceFormato* voce_per_parola(std::string_view parola);

// The first entry of `sorgente`, in its reader's order, whose test the keyword
// field `campo` passes, or nullptr. In the route source the general section's
// entries are tested only in its general phase, the others only after it. A
// field holding "-" is discarded by the readers, never recognised.
const VoceFormato* voce_riconosciuta(std::string_view campo, SorgenteFormato sorgente,
                                     bool fase_generale);

// Whether `campo` passes the entry's own test.
bool riconosce(const VoceFormato& v, std::string_view campo);

// What a source is called in messages: "route source", "service source".
std::string_view nome_sorgente(SorgenteFormato s);

// The sections of a source in the order they are written.
std::span<const std::string_view> sezioni_formato(SorgenteFormato s);

}  // namespace scenario
