#include "engine/Form.h"

#include "platform/app/Application.h"
#include "platform/display/Screen.h"
#include "platform/types/Invariant.h"

TForm::TForm(TComponent* AOwner, plat::Application& AApplication, std::unique_ptr<plat::Screen> AScreen)
    : TControl(AOwner), FApplication(AApplication), FScreen(std::move(AScreen))
{
    plat::Check(FScreen != nullptr, "a form is given its screen");
}

// The components go first (the base destructor), while the screen they may use still exists.
TForm::~TForm()
{
    while (ComponentCount() > 0)
        delete Components(ComponentCount() - 1);
}

plat::Application& ApplicationOf(const TComponent* Component)
{
    for (; Component != nullptr; Component = Component->Owner())
        if (const auto* form = dynamic_cast<const TForm*>(Component))
            return form->Application();
    plat::InvariantBroken("a component outside any form asks for its form's application");
}

void TForm::Close()
{
    FClosed = true;
    Visible = false;
    if (MainForm)
        FApplication.Terminate();
}
