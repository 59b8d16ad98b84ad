#include "app/error_text.h"

#include "runtime/unicode.h"

namespace klw {

std::string errorBoxText(std::string message) {
    if (message.empty()) return message;
    // Digits, letters, "/", ":", "?" and every character outside 7-bit (Japanese text included)
    // come after "."; space and punctuation such as "!", ")", "," and "-" come before it.
    if (decodeUtf8At(message, lastCharStart(message)).code > U'.') message.push_back('.');
    return message;
}

}  // namespace klw
