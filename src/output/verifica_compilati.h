#pragma once
// Consistency of a compiled scenario: the three files decode exactly to their
// end, their sizes agree with the route length kept in item 84, the markers
// 610 and 5121 are in place, the check codes and the names agree with the
// scenario's names, and the plan file's type tags follow its rows.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace scenario {

struct ProblemaCompilato {
  std::string file;                // the file it concerns (its name)
  std::string testo;               // what is wrong, one sentence ("offset N: ..." when placed)
  std::optional<size_t> offset{};  // where in the file, when one place is at fault

  bool operator==(const ProblemaCompilato&) const = default;
};

struct CompilatiDaVerificare {
  std::string nome_scenario;  // Windows-1252, as in the files
  std::string numero_treno;
  std::string nome_tracciato, nome_voci, nome_celle;  // file names, for the reports
  std::optional<std::string> tracciato;               // absent: compiled without a plan table
  std::string voci;
  std::string celle;
};

// An items file that does not decode because one item's name count is
// wrong: that count, at its own offset, with the count that lets every item
// after it decode to the end of the file. Nothing when no single count
// accounts for the failure (bytes left after the last item, for instance).
std::optional<ProblemaCompilato> conteggio_nome_danneggiato(std::string_view voci,
                                                            const std::string& file);

// Every problem found; none means the scenario is consistent.
std::vector<ProblemaCompilato> verifica_compilati(const CompilatiDaVerificare& c);

}  // namespace scenario
