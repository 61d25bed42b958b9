#pragma once
// The checks behind the fuzz targets, shared with the test that replays the
// corpus and the regression inputs in every normal and sanitizer build. Each
// takes arbitrary bytes, runs one part of the system on them and proves more
// than the absence of a crash; a broken property is a ViolazioneControllo
// saying which.
//
//   controlla_lettore_campi  the field reader: every field read is the bytes
//                            the reading rules give, at the line and column
//                            they give, and every failure is a real one;
//   controlla_compilazione   the whole builder in memory, with the plan table
//                            and without, on the two sources the bytes split
//                            into: a code the format defines, compiled bytes
//                            that read back into the model and that verify
//                            passes when error-free, the checking pass;
//   controlla_decodifica     the decoders of the compiled files, the verify
//                            and plot cores, in memory: a decoder either gives
//                            back exactly the bytes it read or names an
//                            offset within them;
//   controlla_su_disco       what needs real files, on either kind of input:
//                            the toolkit's compile and the builder writing
//                            into folders (the files the model gives and
//                            nothing else, the same bytes every time and as in
//                            memory, the sources left in place), and the
//                            dump command on the bytes as a file;
//   controlla_json           the JSON reader: a document either reads, and
//                            written back it reads as the same value, or is
//                            refused at an offset within it;
//   controlla_messaggi_lsp   the language server's message reader: the
//                            messages and refusals a stream holds, in order,
//                            as its framing rules give them;
//   controlla_server_lsp     the language server on a stream of messages:
//                            whatever the client sends, it answers with framed
//                            JSON-RPC messages and ends with 0 or 1;
//   controlla_riga_comando   the toolkit's command line on arguments naming
//                            files of a working folder only: a defined status,
//                            a usage error that says so, JSON where asked.

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace scenario {

class ViolazioneControllo : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

// The route source and the service source are one input split at the first
// occurrence of this line; without it, the service source is empty.
inline constexpr std::string_view kSeparatoreSorgenti = "\n====\n";

// The plan, items and cells files are one input split at this marker (up to
// three parts, in that order).
inline constexpr std::string_view kSeparatoreCompilati = "\n#FILE#\n";

std::vector<std::string_view> dividi(std::string_view byte, std::string_view separatore,
                                     size_t parti_massime);

void controlla_lettore_campi(std::string_view byte);

void controlla_compilazione(std::string_view byte);

void controlla_decodifica(std::string_view byte);

// The language server's messages are one input split at this line, each
// framed with its own Content-Length.
inline constexpr std::string_view kSeparatoreMessaggi = "\n#MSG#\n";

void controlla_json(std::string_view byte);

void controlla_messaggi_lsp(std::string_view byte);

void controlla_server_lsp(std::string_view byte);

// `cartella` is a folder of the check's own; what it holds is replaced.
void controlla_riga_comando(std::string_view byte, const std::filesystem::path& cartella);

// `cartella` is a folder of the check's own; what it holds is replaced.
void controlla_su_disco(std::string_view byte, const std::filesystem::path& cartella);

// A folder of the process's own under the system's temporary folder, for a
// fuzz target (one per process: the first name given holds), removed when the
// process ends normally.
std::filesystem::path cartella_di_lavoro(std::string_view nome);

}  // namespace scenario
