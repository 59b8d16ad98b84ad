#include "runtime/format.h"

namespace klw {

std::string formatText(std::string_view pattern, std::initializer_list<FormatArg> args) {
    std::string out;
    out.reserve(pattern.size() + 32);
    auto next = args.begin();
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '%' && i + 1 < pattern.size()) {
            const char k = pattern[i + 1];
            if (k == '%') {
                out.push_back('%');
                ++i;
                continue;
            }
            if ((k == 's' || k == 'd') && next != args.end()) {
                if (const auto* s = std::get_if<std::string_view>(&*next))
                    out.append(*s);
                else
                    out.append(std::to_string(std::get<std::int64_t>(*next)));
                ++next;
                ++i;
                continue;
            }
        }
        out.push_back(c);
    }
    return out;
}

}  // namespace klw
