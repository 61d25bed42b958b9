#pragma once
// Paths to and from UTF-8. Texts a person types or reads (a command line, a
// message) are UTF-8 on every platform; paths are made from them, and shown
// again, in UTF-8 whatever the platform's own encoding.

#include <filesystem>
#include <string>
#include <string_view>

namespace scenario {

std::filesystem::path percorso_utf8(std::string_view utf8);
std::string utf8_di(const std::filesystem::path& percorso);

}  // namespace scenario
