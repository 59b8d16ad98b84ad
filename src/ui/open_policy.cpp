#include "ui/open_policy.h"

#include "ui/web_address.h"

namespace klw {

void OpenPolicy::addedByUser(std::string_view text) {
    if (!holdsHiddenCharacter(text)) added_.emplace(text);
}

void OpenPolicy::allowed(std::string_view text) { allowed_.emplace(text); }

OpenWay OpenPolicy::wayFor(const std::string& text) const {
    // The user has seen this text in the question and said Yes.
    if (allowed_.count(text)) return {};
    const bool web = isWebAddress(text) && !expandsVariable(text, [this](std::string_view name) {
                         return shell_.hasVariable(name);
                     });
    if (web) {
        // Before trust: a file that appears under the name of an address the user added
        // turns it into that file.
        if (shell_.fileFor(text) != FileLookup::None) return {.ask = true, .handlerClass = {}};
        return {.ask = false, .handlerClass = webAddressScheme(text)};
    }
    if (added_.count(text)) return {};
    return {.ask = true, .handlerClass = {}};
}

}  // namespace klw
