#pragma once
// The application object: the title, the hidden application window that stands for the
// program on the taskbar, the main form, the message loop and the end of the process.
#include <windows.h>

#include <exception>
#include <string>

#include "widgets/window.h"

namespace klw {

class Form;
class FolderClaim;

class Application : public Window {
public:
    Application();
    ~Application() override;

    static Application* instance() { return instance_; }

    // The title derived from the executable's file name.
    static std::string moduleTitle();
    // The title derived from the executable's name once, at creation.
    const std::string& title() const { return title_; }
    // The application window's current caption, or the title while it does not exist.
    std::string currentTitle() const;
    HICON icon() const { return icon_; }

    Form* mainForm() const { return mainForm_; }
    // The first form set here becomes the main form.
    void setMainForm(Form& form);

    // Shows the main form in the show state the process was started with, then loops until the
    // terminate flag is set.
    void run();
    // One message, or the idle step when the queue is empty. Used by nested modal loops too.
    void handleMessage();
    // Takes and processes one message; false when the queue was empty.
    bool processMessage();
    void idle();
    // Processes every queued message without waiting.
    void processMessages();

    // Asks the loop to end: PostQuitMessage(0).
    void terminate();
    bool terminated() const { return terminated_; }

    // The folder's claim, told when the close begins, and when a close fails.
    void setClaim(FolderClaim* claim) { claim_ = claim; }
    // The close has begun (its handler runs, or the session ends): a later start in the folder
    // waits for the list to be saved and opens it itself, instead of finding this window.
    void setClosing(bool closing);
    bool closing() const { return closing_; }

    void minimize();
    void restore();
    // Restores the program when it is minimized and puts the main form in front.
    void bringToFront();
    // Shows the application window while a form of the program is visible, hides it otherwise.
    void updateVisible();

    // The error report of every guard.
    static void reportError(std::exception_ptr error) noexcept;

    // The show command read from the start-up information (SW_SHOWDEFAULT when none is given).
    static int startupShowCommand();

protected:
    LRESULT handleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    static Application* instance_;
    std::string title_;
    HICON icon_ = nullptr;
    Form* mainForm_ = nullptr;
    bool terminated_ = false;
    bool closing_ = false;
    FolderClaim* claim_ = nullptr;
    HWND focusBeforeMinimize_ = nullptr;
};

}  // namespace klw
