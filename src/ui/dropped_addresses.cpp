#include "ui/dropped_addresses.h"

#include <optional>

#include "runtime/block_text.h"
#include "runtime/unicode.h"

namespace klw {
namespace {

// Calls `line` for every line of `text`, empty ones included; lines end at CR LF, LF or CR.
template <class Fn>
void forEachLine(std::string_view text, Fn line) {
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            line(text.substr(start));
            return;
        }
        line(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
    }
}

std::string_view trimBlanks(std::string_view s) {
    const std::size_t first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

}  // namespace

std::string_view trimLine(std::string_view line) {
    while (!line.empty()) {
        const DecodedChar d = decodeUtf8At(line, 0);
        if (!isBlank(d.code)) break;
        line.remove_prefix(d.length);
    }
    while (!line.empty()) {
        const std::size_t last = lastCharStart(line);
        if (!isBlank(decodeUtf8At(line, last).code)) break;
        line.remove_suffix(line.size() - last);
    }
    return line;
}

std::vector<std::string> splitAddresses(std::string_view text) {
    std::vector<std::string> out;
    forEachLine(text.substr(0, text.find('\0')), [&](std::string_view line) {
        if (const std::string_view address = trimLine(line); !address.empty())
            out.emplace_back(address);
    });
    return out;
}

std::string_view firstLine(std::string_view text) {
    return text.substr(0, text.find_first_of(std::string_view("\r\n\0", 3)));
}

std::string internetShortcutUrl(std::string_view contents, const CodePage& cp) {
    std::string text;
    if (startsWith(contents, "\xFF\xFE"))
        text = utf16BlockText(contents.substr(2));
    else if (startsWith(contents, "\xFE\xFF"))
        text = utf16BlockText(contents.substr(2), true);
    else if (startsWith(contents, "\xEF\xBB\xBF"))
        text = utf8BlockText(contents.substr(3));
    else
        text = ansiBlockText(contents, cp);

    // The first section of that name counts, and in it the first key of that name.
    enum { Before, Inside, After } state = Before;
    std::string url;
    forEachLine(text, [&](std::string_view raw) {
        if (state == After) return;
        const std::string_view line = trimBlanks(raw);
        if (!line.empty() && line.front() == '[') {
            const std::string_view name = line.substr(1, line.find(']') - 1);
            if (state == Inside)
                state = After;
            else if (equalsIgnoringAsciiCase(trimBlanks(name), "InternetShortcut"))
                state = Inside;
            return;
        }
        if (state != Inside) return;
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos ||
            !equalsIgnoringAsciiCase(trimBlanks(line.substr(0, eq)), "URL"))
            return;
        std::string_view value = trimBlanks(line.substr(eq + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        url = value;
        state = After;
    });
    return url;
}

bool isInternetShortcutFile(std::string_view path) {
    return path.size() >= 4 && equalsIgnoringAsciiCase(path.substr(path.size() - 4), ".url");
}

std::vector<std::string> addressesInBlock(TransferFormat format, std::string_view block,
                                          const CodePage& cp) {
    const std::string text = blockText(format, block, cp);
    if (!formatInfo(format).link) return splitAddresses(text);
    // A link format holds one address; a line after it is its title.
    const std::string_view address = trimLine(firstLine(text));
    if (address.empty()) return {};
    return {std::string(address)};
}

bool offersAddresses(const TransferData& data) {
    for (const TransferFormatInfo& info : kTransferFormats)
        if (data.offers(info.format)) return true;
    for (const std::string& file : data.files())
        if (isInternetShortcutFile(file)) return true;
    return false;
}

std::vector<std::string> droppedAddresses(const TransferData& data, const CodePage& cp) {
    auto fromBlock = [&](TransferFormat format) {
        const std::optional<std::string> block = data.block(format);
        return block ? addressesInBlock(format, *block, cp) : std::vector<std::string>{};
    };
    for (const TransferFormatInfo& info : kTransferFormats) {
        if (!info.link) continue;
        if (auto addresses = fromBlock(info.format); !addresses.empty()) return addresses;
    }
    std::vector<std::string> shortcuts;
    for (const std::string& file : data.files()) {
        if (!isInternetShortcutFile(file)) continue;
        const std::optional<std::string> contents = data.fileContents(file, kInternetShortcutLimit);
        if (!contents) continue;
        if (std::string url = internetShortcutUrl(*contents, cp); !url.empty())
            shortcuts.push_back(std::move(url));
    }
    if (!shortcuts.empty()) return shortcuts;
    for (const TransferFormatInfo& info : kTransferFormats) {
        if (info.link) continue;
        if (auto addresses = fromBlock(info.format); !addresses.empty()) return addresses;
    }
    return {};
}

}  // namespace klw
