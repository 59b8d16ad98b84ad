// KorLinkWalker: walks a list of web addresses, opening one after another.
#include <windows.h>
// commctrl.h and ole2.h need the declarations of windows.h.
#include <commctrl.h>
#include <ole2.h>

#include "app/application.h"
#include "app/console_end.h"
#include "app/single_instance.h"
#include "ui/main_form.h"
#include "widgets/error_sink.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // The folder's list may be open in a running instance already: then that window comes to
    // the front, and this start reads and writes nothing.
    klw::FolderClaim claim;
    if (claim.heldElsewhere()) claim.activateHolder();
    if (claim.heldElsewhere()) return 0;
    // OLE for the window as a drop target; it also gives COM to the shell's "open", whose
    // handlers may be COM objects.
    const HRESULT ole = OleInitialize(nullptr);
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    {
        klw::Application app;
        claim.publish(app.handle());
        {
            klw::TfrmMain form(app);
            klw::watchConsoleEnd(form.handle(), klw::TfrmMain::endRequestMessage());
            app.run();
            form.saveBeforeEnd();
            // The list is saved: a start from now on may open it.
            claim.release();
            // Process end: hide the windows owned by the application, then destroy the forms.
            ShowOwnedPopups(app.handle(), FALSE);
        }
    }
    if (SUCCEEDED(ole)) OleUninitialize();
    return 0;
}
