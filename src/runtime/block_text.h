#pragma once
// Text in a block of bytes that came from outside (a drag, the clipboard, a file), in the
// program's form (UTF-8). The block's size is its real size: the first NUL ends the text, and a
// block without one is normal and ends at its last byte. Nothing is read past it.
#include <string>
#include <string_view>

#include "runtime/codepage.h"

namespace klw {

// UTF-16, little-endian unless `bigEndian`; an odd last byte is half a unit and dropped. Lone
// surrogates are kept, as everywhere in the program.
std::string utf16BlockText(std::string_view block, bool bigEndian = false);
// UTF-8; a malformed byte becomes U+FFFD, as in every other text the program takes in.
std::string utf8BlockText(std::string_view block);
// The ANSI code page.
std::string ansiBlockText(std::string_view block, const CodePage& cp = ansiCodePage());

}  // namespace klw
