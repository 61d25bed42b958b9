#pragma once
#include <filesystem>

namespace scenario {

// The folder that holds the running executable (not the current directory):
// every file of the run lies there.
std::filesystem::path cartella_programma();

}  // namespace scenario
