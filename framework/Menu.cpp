#include "framework/Menu.h"

#include "framework/WinApp.h"

bool CMenu::LoadMenu(UINT resourceId)
{
    menu_.reset(::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(resourceId)));
    return static_cast<bool>(menu_);
}

HMENU CMenu::GetSubMenu(int position) const
{
    return menu_ ? ::GetSubMenu(menu_.get(), position) : nullptr;
}
