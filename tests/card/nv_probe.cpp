// Builds NVIDIA streams or cards the way the program does, in a process of its
// own, so a test chooses whether nvapi.dll lies beside it and sees the driver
// initialised afresh.
//   nv_probe         two streams; reads register 25 with count 4 into bytes
//                    0xEE, writes register 19. Exit status: the byte read,
//                    1 when the read returned other than 0 or moved more.
//   nv_probe cards   both GeForce cards through enable, disable, reset and a
//                    polling pass. Exit status 0.
#include "card/board/N560GTX.h"
#include "card/board/N580GTX.h"
#include "card/driver/NVidiaStream.h"

#include <cstring>

namespace {

constexpr unsigned char kUntouched = 0xEE;

int probeStreams()
{
    NVidiaStream first;
    NVidiaStream second;
    unsigned char buffer[4] = {kUntouched, kUntouched, kUntouched, kUntouched};
    if (second.read(buffer, 25, 4) != 0) {
        return 1;
    }
    if (buffer[1] != kUntouched || buffer[2] != kUntouched || buffer[3] != kUntouched) {
        return 1;
    }
    const unsigned char value = 0x42;
    second.write(&value, 19, 1);
    return buffer[0];
}

void exercise(VideoCardBase& card)
{
    card.reset();
    ResumeThread(card.threadHandle());
    card.enable();
    Sleep(300);
    card.disable();
    card.enable();
    card.reset();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "cards") == 0) {
        N580GTX gtx580;
        N560GTX gtx560;
        exercise(gtx580);
        exercise(gtx560);
        return 0;
    }
    return probeStreams();
}
