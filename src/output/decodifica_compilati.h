#pragma once
// Decoders of the three compiled files: the plan file, the items file and the
// cells file, read back into the route model's own records. Each reads the
// file exactly to its end; a truncated file, bytes left over, or a value the
// format cannot hold is an ErroreDecodifica naming the offset and the field.
// Given a field list, they fill it with every field's place and name, for the
// annotated hex dump.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/modello.h"
#include "output/lettore_le.h"

namespace scenario {

enum class TipoCompilato { kTracciato, kVoci, kCelle };

// "plan", "items", "cells": the words the tool uses for them.
const char* nome_tipo_compilato(TipoCompilato tipo);
std::optional<TipoCompilato> tipo_compilato_da_parola(std::string_view parola);

// Tells the kind of a compiled file by its name ("_linea.dat", ".sim",
// ".dat"), else by its content; nothing when neither says.
std::optional<TipoCompilato> riconosci_compilato(std::string_view nome_file, std::string_view byte);

// Cells 0 to N, 15 bytes each.
std::vector<Cella> decodifica_celle(std::string_view byte,
                                    std::vector<CampoBinario>* campi = nullptr);

// Items 0 to 86, each 34 bytes plus its name.
std::array<Voce, kNumeroVoci> decodifica_voci(std::string_view byte,
                                              std::vector<CampoBinario>* campi = nullptr);

// The plan table: tagged values (empty, Integer, 64-bit float), all rows of
// coordinate 0 then all rows of coordinate 1; the number of rows follows from
// the number of values.
Tracciato decodifica_tracciato(std::string_view byte, std::vector<CampoBinario>* campi = nullptr);

// The place of byte `offset` in a compiled file of kind `tipo` whose bytes are
// `byte`, for a person comparing two files: "cell 89, dato1", "item 85,
// orario", "plan row 1200, coordinate 1", with the byte within a wider member
// ("byte 2 of 2"). Where the bytes do not decode up to that offset, or it lies
// past their end, the text says so.
std::string luogo_nel_compilato(TipoCompilato tipo, std::string_view byte, size_t offset);

}  // namespace scenario
