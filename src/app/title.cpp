#include "app/title.h"

namespace klw {

std::string deriveTitle(std::string_view path, const LetterCase& letterCase) {
    // "\" and "." are single bytes that UTF-8 never uses inside another character.
    const std::size_t slash = path.rfind('\\');
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    name = name.substr(0, name.find('.'));
    if (name.empty()) return {};
    const std::size_t second = decodeUtf8At(name, 0).length;
    std::string title(name.substr(0, second));
    title.append(lowerCase(name.substr(second), letterCase));
    return title;
}

}  // namespace klw
