#include "app/error_text.h"

#include <cstring>

namespace klw {

std::string errorBoxText(std::string message, const CodePage& cp) {
    if (message.empty()) return message;
    const std::string_view last = std::string_view(message).substr(lastCharStart(message, cp));
    // Compare the last character with "." byte-wise, unsigned: any byte above 0x2E, or a
    // longer string starting with ".", is greater.
    const auto first = static_cast<unsigned char>(last[0]);
    if (first > '.' || (first == '.' && last.size() > 1)) message.push_back('.');
    return message;
}

}  // namespace klw
