#pragma once
// The real main window under Wine, with a log of the events its controls raise. Each event is
// recorded and then passed on to the handler the window bound to it, so the window behaves as
// in the program.
#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "app/application.h"
#include "support/gui_test.h"
#include "ui/main_form.h"

namespace klw::test {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TfrmMain>(app);
        // Wherever a stored position put it, the window is tested on screen.
        SetWindowPos(form->handle(), nullptr, 100, 100, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        spy(form->edtTest->onChange, "edtTestChange");
        spy(form->lbxURL->onClick, "lbxURLClick");
        spy(form->lbxURL->onDblClick, "lbxURLDblClick");
        spy(form->btnGo->onClick, "btnGoClick");
        spy(form->btnAdd->onClick, "btnAddClick");
        spy(form->btnUP->onClick, "btnUPClick");
        spy(form->btnDown->onClick, "btnDownClick");
        spy(form->btnDelete->onClick, "btnDeleteClick");
        form->onClose = [this](CloseAction&) { events.push_back("FormClose"); };
    }
    void TearDown() override { form.reset(); }

    // Entries put into the list through its own operations before the window is shown, then
    // the state the create handler leaves after a load: entry 0 selected and Go enabled.
    void load(std::initializer_list<std::string> entries) {
        for (const auto& e : entries) form->lbxURL->append(e);
        form->lbxURL->setItemIndex(0);
        form->btnGo->setEnabled(true);
    }
    // Entries as if the user had added them in this run: Go opens them without asking.
    void loadAdded(std::initializer_list<std::string> entries) {
        load(entries);
        for (const auto& e : entries) form->openPolicy().addedByUser(e);
    }
    void show() {
        ShowWindow(form->handle(), SW_SHOWNORMAL);
        activate(app, form->handle());
        events.clear();
    }

    // The control that has the focus, or nullptr (see focusIsOnForm()).
    Control* focused() const { return Control::fromHandle(GetFocus()); }
    bool focusIsOnForm() const { return GetFocus() == form->handle(); }
    // The enabled flags of Go, Add, Up, Down and Delete as a string of 0 and 1.
    std::string states() const {
        std::string s;
        for (const Button* b : {form->btnGo.get(), form->btnAdd.get(), form->btnUP.get(),
                                form->btnDown.get(), form->btnDelete.get()})
            s.push_back(b->isEnabled() ? '1' : '0');
        return s;
    }
    // Which buttons are drawn as default buttons, in the same order.
    std::string defaultDrawn() const {
        std::string s;
        for (const Button* b : {form->btnGo.get(), form->btnAdd.get(), form->btnUP.get(),
                                form->btnDown.get(), form->btnDelete.get()}) {
            const LONG style = GetWindowLongA(b->handle(), GWL_STYLE);
            s.push_back((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON ? '1' : '0');
        }
        return s;
    }
    std::vector<std::string> entries() const {
        std::vector<std::string> out;
        for (int i = 0; i < form->lbxURL->count(); ++i) out.push_back(form->lbxURL->item(i));
        return out;
    }
    // Real mouse input on a control, at a point of its client area.
    void clickOn(const Control& c, int x = 8, int y = 6, bool doubleClick = false) {
        click(c.handle(), x, y, doubleClick);
        pump(app);
    }
    // A row of the list (rows are 12 pixels high).
    void clickRow(int row, bool doubleClick = false) {
        clickOn(*form->lbxURL, 20, row * 12 + 6, doubleClick);
    }
    void press(WORD vk, unsigned mods = kNone) {
        key(vk, mods);
        pump(app);
    }
    void type(const std::string& text) {
        typeText(text);
        pump(app);
    }

    TempCurrentDirectory dir;
    Application app;
    std::unique_ptr<TfrmMain> form;
    std::vector<std::string> events;

private:
    void spy(NotifyEvent& event, std::string name) {
        NotifyEvent inner = event;
        event = [this, inner, name](Control& sender) {
            events.push_back(name);
            if (inner) inner(sender);
        };
    }
};

using Events = std::vector<std::string>;

}  // namespace klw::test
