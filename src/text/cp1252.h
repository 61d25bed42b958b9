#pragma once
// Windows-1252, the code page of every file the simulator reads. The program's
// own literals are UTF-8; these helpers turn them into Windows-1252 bytes and back.

#include <string>
#include <string_view>

namespace scenario {

// UTF-8 to Windows-1252; a character the code page cannot hold, or a byte
// sequence that is not UTF-8, becomes "?".
std::string utf8_a_cp1252(std::string_view utf8);

// Windows-1252 to UTF-8; the five bytes the code page leaves undefined become U+FFFD.
std::string cp1252_a_utf8(std::string_view cp1252);

// A text that should be UTF-8 made sure to be: well-formed UTF-8 is kept, and
// every byte outside a well-formed sequence is read as Windows-1252 (a source
// file's "\xE8" becomes "è"). For what goes to a terminal or into JSON.
std::string utf8_mostrabile(std::string_view s);

// Lower case of one Windows-1252 character (A-Z, and the accented capitals
// such as "È" 200 -> "è" 232, "Š" 138 -> "š" 154).
unsigned char minuscola_cp1252(unsigned char c);
std::string minuscolo_cp1252(std::string_view s);

}  // namespace scenario
