#pragma once
// An address list view without a window: entries, selection, five flags and the entry field,
// with the list's selection rules, the field's synchronous change event and a list that can be
// made to refuse entries.
#include <string>
#include <vector>

#include "runtime/exceptions.h"
#include "runtime/texts.h"
#include "ui/address_list.h"

namespace klw::test {

// The shell's lookups over a list of names: the texts that name a file, those whose lookup
// fails, and the environment's variables.
class FakeShell : public ShellLookups {
public:
    std::vector<std::string> files;
    std::vector<std::string> failing;
    std::vector<std::string> variables;
    std::vector<std::string> looked;  // every text looked up, in order

    FileLookup fileFor(const std::string& text) override {
        looked.push_back(text);
        for (const std::string& f : failing)
            if (f == text) return FileLookup::Unknown;
        for (const std::string& f : files)
            if (f == text) return FileLookup::Found;
        return FileLookup::None;
    }
    bool hasVariable(std::string_view name) override {
        for (const std::string& v : variables)
            if (v == name) return true;
        return false;
    }
};

class FakeView : public AddressListView {
public:
    std::vector<std::string> entries;
    int selected = -1;
    bool enabled[5] = {false, false, false, false, false};
    std::string field;
    std::vector<std::string> opened;
    // The handler class of each open, in the same order ("" for the shell's own "open").
    std::vector<std::string> openedAs;
    // The questions asked before an open, with the texts asked about, and the answer given.
    std::vector<std::string> asked;
    bool answerYes = false;
    FakeShell shell;
    OpenPolicy policy{shell};
    int changeEvents = 0;
    int updateDepth = 0;
    // append() fails, as a full list does, once this many entries have been taken (-1: never).
    int refuseAfter = -1;
    // The operations on the list and the field, in order: "append x", "select 1", "clear 10101"
    // (with the command states when the field is cleared), "change x" (the field's change event
    // with its new text).
    std::vector<std::string> trace;

    bool on(Command c) const { return enabled[static_cast<int>(c)]; }
    // Go, Add, Up, Down, Delete as a string of 0 and 1, for compact expectations.
    std::string states() const {
        std::string s;
        for (bool b : enabled) s.push_back(b ? '1' : '0');
        return s;
    }
    void type(const std::string& text) {
        field = text;
        ++changeEvents;
        trace.push_back("change " + text);
        entryFieldChanged(*this);
    }

    int count() const override { return static_cast<int>(entries.size()); }
    std::string item(int i) const override { return entries.at(static_cast<size_t>(i)); }
    int append(const std::string& t) override {
        if (refuseAfter == 0) throw EOutOfResources(std::string(texts::kCannotInsertLine));
        if (refuseAfter > 0) --refuseAfter;
        trace.push_back("append " + t);
        entries.push_back(t);
        return count() - 1;
    }
    void replace(int i, const std::string& t) override {
        const int keep = selected;
        remove(i);
        entries.insert(entries.begin() + i, t);
        selected = keep;
    }
    void remove(int i) override {
        entries.erase(entries.begin() + i);
        if (selected == i)
            selected = -1;
        else if (selected > i)
            --selected;
    }
    int selection() const override { return selected; }
    void setSelection(int i) override {
        trace.push_back("select " + std::to_string(i));
        selected = (i >= -1 && i < count()) ? i : -1;
    }
    void setEnabled(Command c, bool on) override { enabled[static_cast<int>(c)] = on; }
    std::string entryText() const override { return field; }
    void clearEntry() override {
        trace.push_back("clear " + states());
        type("");
    }
    void replaceEntrySelection(const std::string& text) override {
        trace.push_back("paste " + text);
        type(text);
    }
    void shellOpen(const std::string& text, const std::string& handlerClass) override {
        opened.push_back(text);
        openedAs.push_back(handlerClass);
    }
    bool confirmOpen(const std::string& text) override {
        asked.push_back(text);
        return answerYes;
    }
    void beginUpdate() override {
        trace.push_back("begin");
        ++updateDepth;
    }
    void endUpdate() override {
        trace.push_back("end");
        --updateDepth;
    }
};

}  // namespace klw::test
