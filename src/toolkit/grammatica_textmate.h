#pragma once
// The highlighting grammar of the two sources for editors that read TextMate
// grammars (the VS Code extension in editors/vscode): section headers,
// keywords, numbers, texts and comment lines. Its keywords come from the format
// table, each with the test its reader applies, so that a keyword is shown as
// one exactly when the reader would recognise it.

#include <iosfwd>

namespace scenario {

// Writes the grammar as a JSON document (scope "source.scenario").
void scrivi_grammatica_textmate(std::ostream& out);

}  // namespace scenario
