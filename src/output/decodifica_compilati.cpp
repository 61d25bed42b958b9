#include "output/decodifica_compilati.h"

#include <algorithm>
#include <string>

#include "output/file_compilati.h"

namespace scenario {
namespace {

bool finisce_con(std::string_view s, std::string_view fine) {
  return s.size() >= fine.size() && s.substr(s.size() - fine.size()) == fine;
}

template <typename Decodifica>
bool si_decodifica(Decodifica decodifica) {
  try {
    decodifica();
    return true;
  } catch (const ErroreDecodifica&) {
    return false;
  }
}

void fine_attesa(const LettoreLE& in, const std::string& dopo) {
  if (!in.alla_fine()) {
    throw ErroreDecodifica(
        in.posizione(),
        std::to_string(in.restanti()) +
            (in.restanti() == 1 ? " unexpected byte after " : " unexpected bytes after ") + dopo);
  }
}

// One cell's members in the file's order: from a whole cell's bytes, or
// member by member where the file may end inside it or the fields are listed.
template <typename Lettore>
Cella membri_cella(Lettore& in) {
  Cella c;
  c.tipo = in.u8("tipo");
  c.dato1 = in.i16("dato1");
  c.dato2 = in.i16("dato2");
  c.dato3 = in.i16("dato3");
  c.dato4 = in.i16("dato4");
  c.tempo = in.u8("tempo");
  c.marcatore = in.u8("marcatore");
  c.montagna = in.u8("montagna");
  c.vel_limite = in.u8("vel_limite");
  c.pendenza = in.u8("pendenza");
  c.aderenza = in.u8("aderenza");
  return c;
}
static_assert(kByteCella == 1 + 4 * 2 + 6, "a cell's members fill its bytes");

}  // namespace

const char* nome_tipo_compilato(TipoCompilato tipo) {
  switch (tipo) {
    case TipoCompilato::kTracciato:
      return "plan";
    case TipoCompilato::kVoci:
      return "items";
    case TipoCompilato::kCelle:
      return "cells";
  }
  return "";
}

std::optional<TipoCompilato> tipo_compilato_da_parola(std::string_view parola) {
  for (TipoCompilato t : {TipoCompilato::kTracciato, TipoCompilato::kVoci, TipoCompilato::kCelle}) {
    if (parola == nome_tipo_compilato(t)) return t;
  }
  return std::nullopt;
}

std::optional<TipoCompilato> riconosci_compilato(std::string_view nome_file,
                                                 std::string_view byte) {
  if (finisce_con(nome_file, "_linea.dat")) return TipoCompilato::kTracciato;
  if (finisce_con(nome_file, ".sim")) return TipoCompilato::kVoci;
  if (finisce_con(nome_file, ".dat")) return TipoCompilato::kCelle;
  // No telling name: the items file has a structure strict enough to test,
  // the plan file starts with its Integer seed, the cells file only has a size.
  if (si_decodifica([&] { decodifica_voci(byte); })) return TipoCompilato::kVoci;
  if (byte.substr(0, 4) == std::string_view("\x02\x00\x00\x00", 4) &&
      si_decodifica([&] { decodifica_tracciato(byte); })) {
    return TipoCompilato::kTracciato;
  }
  if (!byte.empty() && byte.size() % kByteCella == 0) return TipoCompilato::kCelle;
  return std::nullopt;
}

std::vector<Cella> decodifica_celle(std::string_view byte, std::vector<CampoBinario>* campi) {
  if (byte.empty()) throw ErroreDecodifica(0, "the cells file is empty");
  LettoreLE in(byte, campi);
  std::vector<Cella> celle;
  celle.reserve(byte.size() / kByteCella + 1);
  if (campi != nullptr) campi->reserve(campi->size() + celle.capacity() * 11);
  while (!in.alla_fine()) {
    if (const unsigned char* b = in.blocco(kByteCella)) {
      BloccoLE cella(b);
      celle.push_back(membri_cella(cella));
    } else {
      in.in_struttura("cell ", celle.size(), " ");
      celle.push_back(membri_cella(in));
    }
  }
  return celle;
}

std::array<Voce, kNumeroVoci> decodifica_voci(std::string_view byte,
                                              std::vector<CampoBinario>* campi) {
  LettoreLE in(byte, campi);
  std::array<Voce, kNumeroVoci> voci{};
  if (campi != nullptr) campi->reserve(campi->size() + kNumeroVoci * 17);
  for (int i = 0; i < kNumeroVoci; ++i) {
    in.in_struttura("item ", static_cast<size_t>(i), " ");
    Voce& v = voci[static_cast<size_t>(i)];
    v.tipo = in.u8("tipo");
    v.inizio = in.i32("inizio");
    v.fine = in.i32("fine");
    v.posizione = in.i32("posizione");
    v.opz4 = in.u8("opz4");
    v.nome = in.testo("nome");
    v.opz7 = in.i16("opz7");
    v.opz8 = in.i16("opz8");
    v.opz10 = in.i16("opz10");
    v.opz11 = in.i16("opz11");
    v.opz12 = in.i16("opz12");
    v.opz9 = in.u8("opz9");
    v.opz13 = in.u8("opz13");
    v.opz6 = in.u8("opz6");
    v.opz5 = in.u8("opz5");
    v.orario = in.i32("orario");
  }
  fine_attesa(in, "item 86, the last item");
  return voci;
}

Tracciato decodifica_tracciato(std::string_view byte, std::vector<CampoBinario>* campi) {
  if (byte.empty()) throw ErroreDecodifica(0, "the plan file is empty");
  // First pass: count the values and check every tag, so that the second pass
  // knows the number of rows and can name each value by row and coordinate.
  size_t valori = 0;
  {
    LettoreLE in(byte);
    while (!in.alla_fine()) {
      const size_t offset = in.posizione();
      in.in_struttura("value ", valori, "");
      const uint16_t etichetta = in.u16(" tag");
      switch (static_cast<Etichetta>(etichetta)) {
        case Etichetta::kVuoto:
          break;
        case Etichetta::kIntero:
          in.i16("");
          break;
        case Etichetta::kDoppio:
          in.f64("");
          break;
        default:
          throw ErroreDecodifica(offset, "value " + std::to_string(valori) + " has type tag " +
                                             std::to_string(etichetta) +
                                             "; a plan file holds only tags 0, 2 and 5");
      }
      ++valori;
    }
  }
  if (valori % 2 != 0) {
    throw ErroreDecodifica(byte.size(), "the plan file holds " + std::to_string(valori) +
                                            " values, which do not split into two coordinates "
                                            "of equal length");
  }
  const size_t righe = valori / 2;
  if (righe > static_cast<size_t>(INT32_MAX)) {
    throw ErroreDecodifica(0, "the plan file holds too many rows");
  }
  Tracciato t(static_cast<int32_t>(righe - 1));
  LettoreLE in(byte, campi);
  if (campi != nullptr) campi->reserve(campi->size() + 2 * valori);
  for (int coordinata = 0; coordinata < 2; ++coordinata) {
    for (size_t riga = 0; riga < righe; ++riga) {
      in.in_struttura("row ", riga, coordinata == 0 ? " coordinate 0" : " coordinate 1");
      const auto etichetta = static_cast<Etichetta>(in.u16(" tag"));
      const auto r = static_cast<int64_t>(riga);
      if (etichetta == Etichetta::kIntero) t.metti_intero(r, coordinata, in.i16(""));
      if (etichetta == Etichetta::kDoppio) t.metti_doppio(r, coordinata, in.f64(""));
    }
  }
  return t;
}

std::string luogo_nel_compilato(TipoCompilato tipo, std::string_view byte, size_t offset) {
  const std::string fuori = "offset " + std::to_string(offset);
  if (offset >= byte.size()) {
    return fuori + ", past the end of the " + std::to_string(byte.size()) + " bytes";
  }
  // The decoders name every field they read; a decoding that fails still
  // names the fields before the failure.
  std::vector<CampoBinario> campi;
  std::string guasto;
  try {
    switch (tipo) {
      case TipoCompilato::kTracciato:
        decodifica_tracciato(byte, &campi);
        break;
      case TipoCompilato::kVoci:
        decodifica_voci(byte, &campi);
        break;
      case TipoCompilato::kCelle:
        decodifica_celle(byte, &campi);
        break;
    }
  } catch (const ErroreDecodifica& e) {
    guasto = e.what();
  }
  const auto dopo = std::upper_bound(campi.begin(), campi.end(), offset,
                                     [](size_t o, const CampoBinario& c) { return o < c.offset; });
  if (dopo == campi.begin() || offset >= std::prev(dopo)->offset + std::prev(dopo)->lunghezza) {
    return fuori + ", where the " + nome_tipo_compilato(tipo) + " file does not decode (" +
           (guasto.empty() ? "no field there" : guasto) + ")";
  }
  const CampoBinario& c = *std::prev(dopo);
  // "cell 89 dato1" reads "cell 89, dato1"; a plan value's name is its row
  // and coordinate, then "tag" for its type tag.
  std::string nome = c.nome;
  const size_t primo = nome.find(' ');
  const size_t secondo = primo == std::string::npos ? primo : nome.find(' ', primo + 1);
  if (secondo != std::string::npos) nome.replace(secondo, 1, ", ");
  if (tipo == TipoCompilato::kTracciato) {
    const size_t tag = nome.rfind(" tag");
    if (tag != std::string::npos && tag + 4 == nome.size()) nome.replace(tag, 1, ", ");
    nome = "plan " + nome;
  }
  if (c.lunghezza > 1) {
    nome += " (byte " + std::to_string(offset - c.offset + 1) + " of " +
            std::to_string(c.lunghezza) + ")";
  }
  return nome;
}

}  // namespace scenario
