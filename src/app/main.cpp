// KorLinkWalker: walks a list of web addresses, opening one after another.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "app/application.h"
#include "ui/main_form.h"
#include "widgets/error_sink.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // The shell's "open" may run handlers that are COM objects.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
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
    if (SUCCEEDED(com)) CoUninitialize();
    return 0;
}
