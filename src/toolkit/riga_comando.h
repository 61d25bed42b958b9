#pragma once
// Command-line handling of the tool: the arguments of one subcommand, read
// one at a time, and the usage error that ends the run with status 2.

#include <filesystem>
#include <iosfwd>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/percorsi_utf8.h"
#include "platform/stato_uscita.h"

namespace scenario {

inline constexpr const char* kNomeStrumento = "scenario";

// A mistake in the command line: the message says what, the run ends with
// status 2 after a pointer to --help.
class ErroreUso : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Where a subcommand writes: results to `out`, diagnostics to `err`.
struct Uscite {
  std::ostream& out;
  std::ostream& err;
};

// The arguments of one subcommand, read left to right. "--" ends the options.
class Argomenti {
 public:
  explicit Argomenti(std::vector<std::string> argomenti) : a_(std::move(argomenti)) {}

  // Whether an argument is left; a "--" standing here is consumed, and every
  // argument after it counts as positional.
  bool prossimo();

  // The current argument is the flag `nome`: consumes it.
  bool bandiera(std::string_view nome);
  // The current argument is the option `nome` with a value, given as
  // "--name VALUE", "--name=VALUE", or for a one-letter option "-o VALUE" or
  // "-oVALUE": consumes both and stores the value. A missing value is a usage error.
  bool valore(std::string_view nome, std::string& v);
  // The current argument looks like an option (and none of the above took it).
  bool e_opzione() const;
  // The current argument, consumed.
  std::string prendi();
  // A usage error for the current argument, as an unknown option.
  [[noreturn]] void sconosciuta() const;

 private:
  bool resta() const { return i_ < a_.size(); }

  std::vector<std::string> a_;
  size_t i_ = 0;
  bool solo_posizionali_ = false;
};

}  // namespace scenario
