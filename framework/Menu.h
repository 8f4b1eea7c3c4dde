#pragma once
#include "common/UniqueHandle.h"

#include <windows.h>

// A menu loaded from the program's resources, destroyed with its owner.
class CMenu {
public:
    bool LoadMenu(UINT resourceId);
    // The popup at that position; it belongs to this menu.
    HMENU GetSubMenu(int position) const;
    void DestroyMenu() { m_hMenu.reset(); }
    HMENU GetSafeHmenu() const { return m_hMenu.get(); }

private:
    UniqueHandle<HMENU, &::DestroyMenu> m_hMenu;
};
