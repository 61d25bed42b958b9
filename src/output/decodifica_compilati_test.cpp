#include "output/decodifica_compilati.h"

#include <gtest/gtest.h>

#include <bit>
#include <functional>

#include "output/file_compilati.h"
#include "output/prova_uscita_test.h"

namespace scenario {
namespace {

// A small model with something in every kind of member: negative Integers,
// Long values, a name with a character outside ASCII, every tag of the plan.
ModelloPercorso modello_piccolo() {
  ModelloPercorso m;
  m.crea_celle(4);
  m.cella(1) = Cella{0, 5121, 2500, 0, 0, 0, 0, 0, 12, 97, 100};
  m.cella(2) = Cella{1, 33, 41, -7, 4, 101, 81, 3, 15, 124, 255};
  m.cella(4) = Cella{14, 80, -32768, 32767, 0, 0, 0, 0, 0, 0, 0};
  m.voce(1) = Voce{2, -300, 300, 0, 1, "MORVESSA C.", 1, 1, 4, 1, 1, 0, 1, 0, 0, 37920};
  m.voce(80).nome = "Citt\xE0";  // "Città" in Windows-1252
  m.voce(85).nome = "MorvessaC_Tolvarre";
  m.voce(85).opz7 = 610;
  m.voce(85).orario = 33796;
  m.voce(86).nome = "823";
  m.tracciato = Tracciato(5);
  for (int c = 0; c < 2; ++c) {
    m.tracciato.metti_intero(0, c, 0);
    m.tracciato.metti_intero(1, c, static_cast<int16_t>(c));
    m.tracciato.metti_doppio(2, c, c == 0 ? -0.0 : 2.0);
    m.tracciato.metti_doppio(3, c, c == 0 ? 1e-300 : 3.0000000000000004);
  }
  return m;
}

TEST(DecodificaCompilatiTest, ReadsBackExactlyWhatTheWritersWrote) {
  const ModelloPercorso m = modello_piccolo();
  EXPECT_EQ(decodifica_celle(byte_celle(m)), m.celle);
  EXPECT_EQ(decodifica_voci(byte_voci(m)), m.voci);

  const Tracciato t = decodifica_tracciato(byte_tracciato(m.tracciato));
  ASSERT_EQ(t.ultima_riga(), 5);
  EXPECT_EQ(t.etichette(), m.tracciato.etichette());
  for (size_t i = 0; i < t.valori().size(); ++i) {
    // Bit for bit: -0.0 and the last bit of a float included.
    EXPECT_EQ(std::bit_cast<uint64_t>(t.valori()[i]),
              std::bit_cast<uint64_t>(m.tracciato.valori()[i]))
        << "value " << i;
  }
}

struct CasoGuasto {
  const char* nome;
  TipoCompilato tipo;
  std::function<std::string(const ModelloPercorso&)> byte;
  size_t offset;
  const char* messaggio;
};

TEST(DecodificaCompilatiTest, BadOrTruncatedInputNamesTheOffsetAndTheField) {
  // Items 0 to 85 of the model: 86 x 34 bytes plus the names of items 1, 80, 85.
  const size_t voce_86 = 86 * 34 + 11 + 5 + 18;
  const CasoGuasto casi[] = {
      {"cells: last byte missing", TipoCompilato::kCelle,
       [](const ModelloPercorso& m) { return byte_celle(m).substr(0, 74); }, 74,
       "truncated cell 4 aderenza"},
      {"cells: empty file", TipoCompilato::kCelle, [](const ModelloPercorso&) { return ""; }, 0,
       "empty"},
      {"items: cut inside item 1's name", TipoCompilato::kVoci,
       [](const ModelloPercorso& m) { return byte_voci(m).substr(0, 34 + 14 + 2 + 5); }, 34 + 14,
       "truncated item 1 nome"},
      {"items: cut inside item 86", TipoCompilato::kVoci,
       [=](const ModelloPercorso& m) { return byte_voci(m).substr(0, voce_86 + 3); }, voce_86 + 1,
       "truncated item 86 inizio"},
      {"items: a byte left over", TipoCompilato::kVoci,
       [](const ModelloPercorso& m) { return byte_voci(m) + "x"; }, voce_86 + 34 + 3,
       "1 unexpected byte after item 86"},
      {"plan: unknown type tag", TipoCompilato::kTracciato,
       [](const ModelloPercorso& m) { return "\x07" + byte_tracciato(m.tracciato).substr(1); }, 0,
       "type tag 7"},
      {"plan: last float cut short", TipoCompilato::kTracciato,
       [](const ModelloPercorso& m) {
         std::string b = byte_tracciato(m.tracciato);
         return b.substr(0, b.size() - 2 - 2 - 3);  // into row 3 of coordinate 1
       },
       2 * (4 + 4 + 10 + 10 + 2 + 2) - 2 - 2 - 8, "truncated value 9"},
      {"plan: odd number of values", TipoCompilato::kTracciato,
       [](const ModelloPercorso& m) { return byte_tracciato(m.tracciato) + std::string(2, '\0'); },
       2 * (4 + 4 + 10 + 10 + 2 + 2) + 2, "do not split into two coordinates"},
  };
  const ModelloPercorso m = modello_piccolo();
  for (const CasoGuasto& c : casi) {
    const std::string b = c.byte(m);
    try {
      switch (c.tipo) {
        case TipoCompilato::kCelle:
          decodifica_celle(b);
          break;
        case TipoCompilato::kVoci:
          decodifica_voci(b);
          break;
        case TipoCompilato::kTracciato:
          decodifica_tracciato(b);
          break;
      }
      ADD_FAILURE() << c.nome << ": decoded without error";
    } catch (const ErroreDecodifica& e) {
      EXPECT_EQ(e.offset(), c.offset) << c.nome << ": " << e.what();
      EXPECT_NE(std::string(e.what()).find(c.messaggio), std::string::npos)
          << c.nome << ": " << e.what();
      EXPECT_EQ(std::string(e.what()).rfind("offset " + std::to_string(c.offset) + ": ", 0), 0u)
          << c.nome << ": " << e.what();
    }
  }
}

const CampoBinario* campo(const std::vector<CampoBinario>& campi, const std::string& nome) {
  for (const CampoBinario& c : campi) {
    if (c.nome == nome) return &c;
  }
  return nullptr;
}

TEST(DecodificaCompilatiTest, NamesEveryFieldWithItsOffsetBytesAndValue) {
  const ModelloPercorso m = modello_piccolo();
  std::vector<CampoBinario> campi;
  decodifica_celle(byte_celle(m), &campi);
  ASSERT_EQ(campi.size(), 5u * 11);
  size_t fine = 0;
  for (const CampoBinario& c : campi) {
    EXPECT_EQ(c.offset, fine) << c.nome;  // the fields cover the file without gaps
    fine = c.offset + c.lunghezza;
  }
  EXPECT_EQ(fine, 75u);
  const CampoBinario* d = campo(campi, "cell 1 dato1");
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->offset, 16u);
  EXPECT_EQ(d->lunghezza, 2u);
  EXPECT_EQ(d->valore, "5121");
  EXPECT_EQ(campo(campi, "cell 4 dato2")->valore, "-32768");
  EXPECT_EQ(campo(campi, "cell 2 aderenza")->valore, "255");

  campi.clear();
  decodifica_voci(byte_voci(m), &campi);
  const CampoBinario* nome = campo(campi, "item 80 nome");
  ASSERT_NE(nome, nullptr);
  EXPECT_EQ(nome->lunghezza, 5u);
  EXPECT_EQ(nome->valore, "\"Citt\u00e0\"");
  EXPECT_EQ(campo(campi, "item 80 nome length")->valore, "5");
  EXPECT_EQ(campo(campi, "item 85 orario")->valore, "33796");
  EXPECT_EQ(campo(campi, "item 0 nome"), nullptr);  // an empty name has no bytes to show

  campi.clear();
  decodifica_tracciato(byte_tracciato(m.tracciato), &campi);
  EXPECT_EQ(campo(campi, "row 1 coordinate 1")->valore, "1");
  EXPECT_EQ(campo(campi, "row 2 coordinate 1 tag")->valore, "5");
  EXPECT_EQ(campo(campi, "row 3 coordinate 1")->valore, "3.0000000000000004");
  EXPECT_EQ(campo(campi, "row 5 coordinate 0 tag")->valore, "0");
  EXPECT_EQ(campo(campi, "row 5 coordinate 0"), nullptr);  // an empty value has no bytes
}

TEST(DecodificaCompilatiTest, NamesThePlaceOfAByte) {
  const ModelloPercorso m = modello_piccolo();
  const std::string celle = byte_celle(m), voci = byte_voci(m), piano = byte_tracciato(m.tracciato);
  // Item 0 takes 34 bytes; item 1's name "MORVESSA C." 11. Each plan
  // coordinate: two Integers (4 bytes), two floats (10), two empty rows (2).
  const struct {
    TipoCompilato tipo;
    const std::string& byte;
    size_t offset;
    const char* luogo;
  } casi[] = {
      {TipoCompilato::kCelle, celle, 0, "cell 0, tipo"},
      {TipoCompilato::kCelle, celle, 2 * 15 + 2, "cell 2, dato1 (byte 2 of 2)"},
      {TipoCompilato::kCelle, celle, 4 * 15 + 14, "cell 4, aderenza"},
      {TipoCompilato::kCelle, celle, 75, "offset 75, past the end of the 75 bytes"},
      {TipoCompilato::kVoci, voci, 34 + 14, "item 1, nome length (byte 1 of 2)"},
      {TipoCompilato::kVoci, voci, 34 + 16 + 10, "item 1, nome (byte 11 of 11)"},
      {TipoCompilato::kVoci, voci, 34 + 30 + 11, "item 1, orario (byte 1 of 4)"},
      {TipoCompilato::kTracciato, piano, 0, "plan row 0, coordinate 0, tag (byte 1 of 2)"},
      {TipoCompilato::kTracciato, piano, 10, "plan row 2, coordinate 0 (byte 1 of 8)"},
      {TipoCompilato::kTracciato, piano, 32 + 7, "plan row 1, coordinate 1 (byte 2 of 2)"},
      {TipoCompilato::kTracciato, piano, 32 + 8 + 9, "plan row 2, coordinate 1 (byte 8 of 8)"},
      {TipoCompilato::kTracciato, piano, 63, "plan row 5, coordinate 1, tag (byte 2 of 2)"},
  };
  for (const auto& c : casi) {
    EXPECT_EQ(luogo_nel_compilato(c.tipo, c.byte, c.offset), c.luogo)
        << nome_tipo_compilato(c.tipo) << " offset " << c.offset;
  }

  // The fields before a decoding failure keep their names; past it, the
  // failure is told.
  EXPECT_EQ(luogo_nel_compilato(TipoCompilato::kCelle, celle.substr(0, 20), 16),
            "cell 1, dato1 (byte 1 of 2)");
  EXPECT_EQ(luogo_nel_compilato(TipoCompilato::kTracciato, std::string("\x07\x00", 2), 1),
            "offset 1, where the plan file does not decode (offset 0: value 0 has type tag 7; "
            "a plan file holds only tags 0, 2 and 5)");

  // A comparison of two compiled files names the place where they part.
  std::string altre = celle;
  altre[2 * 15 + 2] ^= 0x01;
  const testing::AssertionResult esito = stessi_byte(altre, celle, TipoCompilato::kCelle);
  EXPECT_FALSE(esito);
  EXPECT_EQ(std::string(esito.message()),
            "75 bytes where 75 were expected; first difference at offset 32: 1 instead of 0, in "
            "cell 2, dato1 (byte 2 of 2)");
}

TEST(DecodificaCompilatiTest, TellsTheKindByNameElseByContent) {
  const ModelloPercorso m = modello_piccolo();
  const std::string celle = byte_celle(m), voci = byte_voci(m), piano = byte_tracciato(m.tracciato);
  EXPECT_EQ(riconosci_compilato("MorvessaC_Tolvarre_linea.dat", ""), TipoCompilato::kTracciato);
  EXPECT_EQ(riconosci_compilato("MorvessaC_Tolvarre_823.sim", ""), TipoCompilato::kVoci);
  EXPECT_EQ(riconosci_compilato("MorvessaC_Tolvarre_823.dat", ""), TipoCompilato::kCelle);
  EXPECT_EQ(riconosci_compilato("copia", voci), TipoCompilato::kVoci);
  EXPECT_EQ(riconosci_compilato("copia", piano), TipoCompilato::kTracciato);
  EXPECT_EQ(riconosci_compilato("copia", celle), TipoCompilato::kCelle);
  EXPECT_EQ(riconosci_compilato("copia", celle + "x"), std::nullopt);
}

}  // namespace
}  // namespace scenario
