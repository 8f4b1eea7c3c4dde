#pragma once
// Waits on the window's thread for something the card's worker thread holds.
#include <windows.h>

namespace card {

// Waits without a time limit for one object, and meanwhile handles the
// messages other threads send to this thread's windows: the worker thread may
// be blocked sending a lamp update here. Posted messages stay queued, so no
// input is handled re-entrantly. Returns the wait's result for the object
// (WAIT_OBJECT_0, WAIT_ABANDONED_0 or WAIT_FAILED).
DWORD waitHandlingSentMessages(HANDLE object) noexcept;

} // namespace card
