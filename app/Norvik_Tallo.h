#pragma once
// The application object: one instance per log-on session, whose start-up
// runs the main window as a modal dialog, the program's only message loop.
#include "common/UniqueHandle.h"
#include "framework/WinApp.h"

class CNorvik_TalloApp : public CWinApp {
public:
    CNorvik_TalloApp() = default;
    ~CNorvik_TalloApp() override = default;

    // Runs the whole program; FALSE always, so the framework runs no loop.
    BOOL InitInstance() override;

    // The name of the single-instance mutex. Without a prefix it lives in the
    // log-on session's namespace.
    static constexpr char kMutexName[] = "Norvik_Tallo";

private:
    // Held until the process ends; closing it at exit frees the name.
    UniqueKernelHandle m_hMutex;
};

extern CNorvik_TalloApp theApp;
