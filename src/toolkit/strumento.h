#pragma once
// The authors' toolkit, "scenario": compiles a route source and a service
// source with the generator's own reader, builder and writers, reports what is
// wrong with file, line and column, and inspects, verifies and plots compiled
// scenarios.

#include <iosfwd>
#include <string>
#include <vector>

namespace scenario {

// Runs the tool on its arguments (without the program name); returns the
// exit status: 0 success, 1 failure, 2 usage error (or the model checks'
// 1250, 1251), 3 compiled files written from sources that hold an error.
int esegui_strumento(const std::vector<std::string>& argomenti, std::ostream& out,
                     std::ostream& err);

}  // namespace scenario
