#pragma once
// The plain message box: a small modal form of our own with the text and an "OK" button.
#include <memory>
#include <string>

#include "runtime/handles.h"
#include "widgets/button.h"
#include "widgets/form.h"
#include "widgets/label.h"

namespace klw {

class MessageForm : public Form {
public:
    explicit MessageForm(const std::string& text);
    ~MessageForm() override;

    // Shows `text` modally and returns when the box has closed.
    static void show(const std::string& text);
    int showModal();

    // The text that Ctrl+C puts on the clipboard.
    std::string clipboardText() const;

protected:
    bool previewKey(UINT keyMsg, WPARAM vk, LPARAM lp) override;
    void closeConfirmed(CloseAction action) override;

private:
    void copyToClipboard() const;
    std::string text_;
    UniqueFont font_;
    std::unique_ptr<Label> message_;
    std::unique_ptr<Button> ok_;
    int modalResult_ = 0;
};

}  // namespace klw
