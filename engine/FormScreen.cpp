// TForm::Screen apart from the rest of the form: what needs only a form's application (the
// network client finds it through ApplicationOf) then links no SDL screen, so the feed tool maps
// no display library.
#include "engine/Form.h"

#include "platform/display/Screen.h"

plat::Screen* TForm::Screen()
{
    if (!FScreen)
        FScreen = plat::CreateSdlScreen();
    return FScreen.get();
}
