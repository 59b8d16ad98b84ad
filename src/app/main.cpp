// KorLinkWalker: walks a list of web addresses, opening one after another.
#include <windows.h>
// commctrl.h and ole2.h need the declarations of windows.h.
#include <commctrl.h>
#include <ole2.h>

#include "app/application.h"
#include "app/console_end.h"
#include "app/error_report.h"
#include "app/error_text.h"
#include "app/single_instance.h"
#include "runtime/texts.h"
#include "ui/main_form.h"
#include "widgets/error_sink.h"
#include "widgets/messages.h"

namespace {

// Exit code of a start that found its folder's list held by a window that does not answer.
constexpr int kHolderNotAnsweringExitCode = 2;

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // The folder's list may be open in a running instance already: then that window comes to
    // the front, and this start reads and writes nothing.
    klw::FolderClaim claim;
    if (claim.heldElsewhere()) {
        switch (claim.activateHolder()) {
            case klw::FolderClaim::Holder::Activated:
                return 0;
            case klw::FolderClaim::Holder::NotAnswering:
                // Never silently: the user started the program and would see nothing at all.
                klw::applicationMessageBox(
                    klw::errorBoxText(std::string(klw::texts::kListOpenNotAnswering)),
                    klw::Application::moduleTitle(), MB_OK | MB_ICONSTOP);
                return kHolderNotAnsweringExitCode;
            case klw::FolderClaim::Holder::Gone:
                break;
        }
    }
    // OLE for the window as a drop target; it also gives COM to the shell's "open", whose
    // handlers may be COM objects.
    const HRESULT ole = OleInitialize(nullptr);
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    {
        klw::Application app;
        app.setClaim(&claim);
        claim.publish(app.handle());
        {
            klw::TfrmMain form(app);
            form.onEndAnswered = [](std::exception_ptr error) {
                klw::consoleEndAnswered(
                    error ? klw::errorBoxText(klw::errorMessage(error).value_or("")) : "");
            };
            klw::watchConsoleEnd(form.handle(), klw::kEndRequested);
            app.run();
            form.saveBeforeEnd();
            // The list is saved: a start from now on may open it.
            claim.release();
            // Process end: hide the windows owned by the application, then destroy the forms.
            ShowOwnedPopups(app.handle(), FALSE);
        }
        app.setClaim(nullptr);
    }
    if (SUCCEEDED(ole)) OleUninitialize();
    return 0;
}
