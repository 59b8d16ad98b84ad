#pragma once
// Which entries Go opens without a question, and how it hands them to the shell. Shells read an
// entry as a program, a file or an environment variable before (Wine) or beside (Windows) its
// scheme; so an entry opens unasked only where no shell can take it for anything but a web
// address, or where the user typed it, could read it all and added it, or said Yes to it.
#include <string>
#include <string_view>
#include <unordered_set>

namespace klw {

enum class FileLookup {
    None,     // no file or folder answers to any name the shell would try
    Found,    // one does
    Unknown,  // a lookup failed (too long a path, no access): one may
};

// What the shell would find for a text, asked of the platform.
class ShellLookups {
public:
    virtual ~ShellLookups() = default;
    // Looks for a file or folder under every name the shell's "open" tries for `text`: the text
    // as a path with ".." collapsed, then with each program extension, ".lnk" and ".pif", in the
    // current folder and on the program path.
    virtual FileLookup fileFor(const std::string& text) = 0;
    // Whether the environment has a variable of that name, which the shell would expand.
    virtual bool hasVariable(std::string_view name) = 0;
};

struct OpenWay {
    bool ask = false;
    // Where the shell takes the entry unasked as an address: the scheme whose registered
    // command receives it, handed over as the class so that no file or program is looked for.
    // Empty: the shell's own "open" of the text.
    std::string handlerClass;
};

// The rule, the entries the user added and the Yes answers of this run.
class OpenPolicy {
public:
    explicit OpenPolicy(ShellLookups& shell) : shell_(shell) {}

    // Added through the entry field: opens unasked when the user could read all of it, that is
    // when it holds no hidden character.
    void addedByUser(std::string_view text);
    // Answered Yes: the same text opens unasked until the program ends.
    void allowed(std::string_view text);

    OpenWay wayFor(const std::string& text) const;

private:
    ShellLookups& shell_;
    std::unordered_set<std::string> added_;
    std::unordered_set<std::string> allowed_;
};

}  // namespace klw
