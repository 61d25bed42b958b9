#pragma once
// The builder's fuzz mutator: it reads an input as the two sources it splits
// into (kSeparatoreSorgenti), each a list of entries (lines of comma-separated
// fields), and edits one entry at a time, so that most of what it makes still
// reads past the field reader into the recorders and the placement pass:
//
//   - a line inserted (an entry of the format table, or a copy of one of the
//     source's), deleted, swapped with another or duplicated;
//   - one field set to a boundary of a number's width (0, -1, 255, 256, 32767,
//     32768, -32768, 2^31-1, ...) or of the field's own range;
//   - a position set to a cell boundary (a multiple of 50, or one metre off)
//     or to the route's end, as the route length entry gives it;
//   - a keyword changed to a near one: another keyword of the same source, or
//     one letter dropped, doubled or in the other case.
//
// Now and then, and whenever an edit would not fit, the plain byte mutation
// takes over.

#include <cstddef>
#include <cstdint>
#include <string>

namespace scenario {

// The byte mutation that stands in for an edit: libFuzzer's LLVMFuzzerMutate
// in the target; nullptr for edits by entry only.
using MutazioneByte = size_t (*)(uint8_t* dati, size_t n, size_t massimo);

// Mutates the `n` bytes at `dati` in place into at most `massimo` bytes,
// choosing by `seme`; returns the new size.
size_t muta_sorgenti(uint8_t* dati, size_t n, size_t massimo, unsigned seme,
                     MutazioneByte muta_byte);

// The same edit by entry on a string (no byte fallback), for tests.
std::string muta_voci(const std::string& ingresso, unsigned seme);

}  // namespace scenario
