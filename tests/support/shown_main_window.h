#pragma once
// A fixture with the real main window shown and active, in a fresh current directory.
#include <gtest/gtest.h>

#include <memory>

#include "app/application.h"
#include "support/gui_test.h"
#include "ui/main_form.h"

namespace klw::test {

class ShownMainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TfrmMain>(app);
        ShowWindow(form->handle(), SW_SHOWNORMAL);
        activate(app, form->handle());
    }
    void TearDown() override { form.reset(); }

    TempCurrentDirectory dir;
    Application app;
    std::unique_ptr<TfrmMain> form;
};

}  // namespace klw::test
