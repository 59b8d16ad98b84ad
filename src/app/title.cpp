#include "app/title.h"

namespace klw {

std::string deriveTitle(std::string_view path, const CodePage& cp, const LowerCase& lower) {
    size_t nameStart = 0;
    for (size_t i = 0; i < path.size();) {
        const auto b = static_cast<unsigned char>(path[i]);
        if (cp.isLeadByte(b) && i + 1 < path.size()) {
            i += 2;
            continue;
        }
        if (b == '\\') nameStart = i + 1;
        ++i;
    }
    std::string_view name = path.substr(nameStart);
    for (size_t i = 0; i < name.size();) {
        const auto b = static_cast<unsigned char>(name[i]);
        if (cp.isLeadByte(b) && i + 1 < name.size()) {
            i += 2;
            continue;
        }
        if (b == '.') {
            name = name.substr(0, i);
            break;
        }
        ++i;
    }
    if (name.size() <= 1) return std::string(name);
    std::string title(name.substr(0, 1));
    title.append(lower(name.substr(1)));
    return title;
}

}  // namespace klw
