#include "toolkit/strumento.h"

#include <exception>
#include <functional>
#include <new>
#include <ostream>
#include <string_view>
#include <utility>

#include "platform/guasto.h"
#include "toolkit/comandi.h"

namespace scenario {
namespace {

struct Comando {
  std::string_view nome;
  int (*esegui)(Argomenti&, Uscite&);
  std::string_view descrizione;
};

constexpr Comando kComandi[] = {
    {"new", comando_new, "write a small starting scenario that compiles as it stands"},
    {"sources", comando_sources, "write the carried scenario's five text files into a folder"},
    {"compile", comando_compile, "compile a route source and a service source"},
    {"dump", comando_dump, "show a compiled file as a table, JSON or annotated hex"},
    {"verify", comando_verify, "check a compiled scenario for consistency"},
    {"plot", comando_plot, "draw a scenario as one SVG picture"},
    {"explain", comando_explain, "explain the source format, or one keyword's fields"},
    {"lsp", comando_lsp, "serve an editor: diagnostics as you type (Language Server Protocol)"},
};

void aiuto(std::ostream& out) {
  out << "Usage: " << kNomeStrumento << " [--help] [--version] COMMAND [ARGS...]\n"
      << "\n"
      << "Tools for the authors of scenarios: compile route and service sources into the\n"
      << "files the simulator loads, with clear errors, and inspect, verify and plot them.\n"
      << "\n"
      << "Commands:\n";
  for (const Comando& c : kComandi) {
    out << "  " << c.nome << std::string(10 - c.nome.size(), ' ') << c.descrizione << "\n";
  }
  out << "\n"
      << "Run '" << kNomeStrumento << " COMMAND --help' (or '" << kNomeStrumento
      << " help COMMAND') for a command's arguments.\n"
      << "\n"
      << "Exit status: 0 success; 1 failure (nothing compiled, or problems found);\n"
      << "2 usage error, or a model check (1250, 1251) stopped the build;\n"
      << "3 compiled files written, but the sources hold an error.\n";
}

}  // namespace

int esegui_strumento(const std::vector<std::string>& argomenti, std::ostream& out,
                     std::ostream& err) {
  Uscite u{out, err};
  std::string prefisso = kNomeStrumento;
  try {
    if (argomenti.empty()) throw ErroreUso("no command given");
    std::vector<std::string> resto(argomenti.begin() + 1, argomenti.end());
    std::string primo = argomenti[0];
    // "help COMMAND" is the command's own --help.
    if (primo == "help" && !resto.empty()) {
      primo = resto[0];
      resto = {"--help"};
    }
    if (primo == "--help" || primo == "-h" || primo == "help") {
      aiuto(out);
      return kUscitaRiuscita;
    }
    if (primo == "--version") {
      out << kNomeStrumento << " " << GENERATORE_VERSIONE << "\n";
      return kUscitaRiuscita;
    }
    for (const Comando& c : kComandi) {
      if (primo != c.nome) continue;
      prefisso += " " + std::string(c.nome);
      Argomenti a(std::move(resto));
      return c.esegui(a, u);
    }
    if (primo.size() > 1 && primo[0] == '-') throw ErroreUso("unknown option '" + primo + "'");
    throw ErroreUso("unknown command '" + primo + "'");
  } catch (const ErroreUso& e) {
    err << prefisso << ": " << e.what() << "\n"
        << "Try '" << prefisso << " --help' for more information.\n";
    return kUscitaErrore;
  } catch (const GuastoEsecuzione& e) {
    err << prefisso << ": error: " << e.what() << "\n";
    return kUscitaGuasto;
  } catch (const std::bad_alloc&) {
    err << prefisso << ": error: out of memory\n";
    return kUscitaGuasto;
  } catch (const std::exception& e) {
    err << prefisso << ": error: " << e.what() << "\n";
    return kUscitaGuasto;
  }
}

}  // namespace scenario
