// The screen a form makes on first use, apart from the rest of the form: the dialog's network
// client reaches forms (for their application) but never a screen, and with this function in
// Form.cpp the dialog's module linked, and loaded at every opening, the whole SDL and sound stack.
#include "engine/Form.h"

#include "platform/display/Screen.h"

plat::Screen* TForm::Screen()
{
    if (!FScreen)
        FScreen = plat::CreateSdlScreen();
    return FScreen.get();
}
