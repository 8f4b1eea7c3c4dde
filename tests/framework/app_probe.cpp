// A program built on the framework's entry point: writes what its
// application object saw into "probe.txt" beside itself.
#include "framework/WinApp.h"

#include <cstdio>
#include <string>

namespace {

class ProbeApp : public CWinApp {
public:
    BOOL InitInstance() override
    {
        char path[MAX_PATH]{};
        const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string mark(path, length);
        mark.erase(mark.find_last_of('\\') + 1);
        mark += "probe.txt";
        if (FILE* file = std::fopen(mark.c_str(), "w")) {
            std::fprintf(file, "%s|%s", AfxGetAppName(), AfxGetApp() == this ? "this" : "other");
            std::fclose(file);
        }
        return FALSE;
    }
};

ProbeApp theApp;

} // namespace
