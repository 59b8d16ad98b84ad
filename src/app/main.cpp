// KorLinkWalker: walks a list of web addresses, opening one after another.
#include <windows.h>
// commctrl.h and ole2.h need the declarations of windows.h.
#include <commctrl.h>
#include <ole2.h>

#include "app/application.h"
#include "ui/main_form.h"
#include "widgets/error_sink.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // OLE for the window as a drop target; it also gives COM to the shell's "open", whose
    // handlers may be COM objects.
    const HRESULT ole = OleInitialize(nullptr);
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    {
        klw::Application app;
        {
            klw::TfrmMain form(app);
            app.run();
            // Process end: hide the windows owned by the application, then destroy the forms.
            ShowOwnedPopups(app.handle(), FALSE);
        }
    }
    if (SUCCEEDED(ole)) OleUninitialize();
    return 0;
}
