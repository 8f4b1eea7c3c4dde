#include "framework/Menu.h"

#include "framework/WinApp.h"

bool CMenu::LoadMenu(UINT resourceId)
{
    m_hMenu.reset(::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(resourceId)));
    return static_cast<bool>(m_hMenu);
}

HMENU CMenu::GetSubMenu(int position) const
{
    return m_hMenu ? ::GetSubMenu(m_hMenu.get(), position) : nullptr;
}
