#pragma once
// Addresses from dropped or pasted data: what a browser, a file manager or another program
// hands over, decoded format by format. Every block is taken at its real size and never read
// past; a length written inside the data is never believed.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/codepage.h"
#include "widgets/transfer_data.h"

namespace klw {

// A .url file larger than this is no shortcut and is skipped.
inline constexpr std::size_t kInternetShortcutLimit = std::size_t{1} << 20;

// One address per line: lines end at CR LF, LF or CR, each is taken without the blanks around
// it (see trimLine), and a line with nothing else is skipped. A NUL ends the text.
std::vector<std::string> splitAddresses(std::string_view text);
// A line without the blanks before and after it (isBlank: spaces of every width and tabs).
std::string_view trimLine(std::string_view line);
// The text up to its first line break or NUL.
std::string_view firstLine(std::string_view text);

// The URL= value of the [InternetShortcut] section of a .url file's contents, read as the
// platform's profile functions read such a file: a UTF-16 (either order) or UTF-8 byte order
// mark, else the ANSI code page; section and key without regard to letter case, spaces and tabs
// around names and values ignored, one pair of enclosing quotes removed. Empty when there is
// none.
std::string internetShortcutUrl(std::string_view contents, const CodePage& cp);
// Whether a dropped file is a shortcut to an address (its name ends in ".url", in any case).
bool isInternetShortcutFile(std::string_view path);

// The addresses that one format's block gives: the first line of a link format, every
// non-blank line of a text format, each trimmed as splitAddresses trims.
std::vector<std::string> addressesInBlock(TransferFormat format, std::string_view block,
                                          const CodePage& cp);

// Whether a drag would give addresses, judged from what it offers alone: a format the program
// reads, or a file drop that names a .url file. No block is read and no file opened, so that a
// drag passing over the window costs the source nothing.
bool offersAddresses(const TransferData& data);

// The addresses of a drop: the formats in the order links are best kept in (the link formats,
// then the .url files of a file drop, then plain text), the first one that gives at least one
// address.
std::vector<std::string> droppedAddresses(const TransferData& data,
                                          const CodePage& cp = ansiCodePage());

}  // namespace klw
