#pragma once
// The recorders: each turns one entry of a source into marks of the route
// model. A refusal the format defines is recorded in m.codice_errore (the
// reader adds the position and stops); an entry that would write outside the
// model, or store a value its member cannot hold, is a GuastoEsecuzione raised
// before anything of it is written.

#include <cstdint>

#include "model/modello.h"

namespace scenario {

// Route features.

// Puts the three chainage records (items 81, 82, 83, read from "tre", "due",
// "uno") in position order, largest first, and adds 100 to the chainage of each
// record whose flag is 1.
void progressive_ordina(ModelloPercorso& m);

// Records one montagna: its type in every cell from round(inizio / 50) to
// round(fine / 50 - 1), and, for a lit montagna (tipo above 10), the marker
// kind 11 in every fourth free cell. A montagna starting at most 150 m after
// the previous one's end takes type 3. `tipo` is the reader's own variable and
// is changed as the type is worked out.
void memo_montagna(ModelloPercorso& m, int32_t inizio, int32_t fine, int32_t& tipo);

// Records a set of speed indicator boards in cell round(posizione / 50 + 1);
// refuses a cell that is not free with 21.
void memo_indicatori_v_max(ModelloPercorso& m, int32_t posizione, int32_t vas, int32_t vbs,
                           int32_t vcs, int32_t strisces, int32_t vad, int32_t vbd, int32_t vcd,
                           int32_t strisced);

// Service features.

// Records a signal in cell c = round(posizione / 50 + 1) with its approach
// marks in cells c - 2, c - 4, c - 6, c - 8; refuses a cell that is not free
// with 16. A `tempo` of 1 to 100 is raised to 101 in the caller's variable.
void memo_segnale(ModelloPercorso& m, int32_t posizione, int32_t sx, int32_t s1, int32_t s2,
                  int32_t s3, int32_t rapp, int32_t dx, int32_t d1, int32_t d2, int32_t d3,
                  int32_t& tempo);

// Records a slowdown starting at x, l metres long, at speed v: its warning
// point 1200 m before the start (only when x > 1500), start and end cells, and
// with f_ta the four cells before the warning point. Refusals: 17 warning cell,
// 18 start cell, 19 end cell (nothing written), 20 a pre-warning cell (the
// start, end and warning marks stay).
void memo_rallentamento(ModelloPercorso& m, int32_t x, int32_t v, int32_t l, int32_t f_tt,
                        int32_t f_ta, int32_t d_v);

}  // namespace scenario
