// Time of one card identification: the first in a process (COM and WMI start
// up) and later ones (each opens its own connection again).
#include "detect/CardModel.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kLaterRuns = 5;

double millisecondsOf(int (*identify)(), int& model)
{
    LARGE_INTEGER frequency;
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    model = identify();
    QueryPerformanceCounter(&end);
    return static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 /
           static_cast<double>(frequency.QuadPart);
}

} // namespace

int main()
{
    int model = 0;
    const double first = millisecondsOf(identifyCardModel, model);
    std::vector<double> later;
    for (int run = 0; run < kLaterRuns; ++run) {
        later.push_back(millisecondsOf(identifyCardModel, model));
    }
    std::sort(later.begin(), later.end());
    std::printf("identifyCardModel, first in the process\t%.1f\tms\n", first);
    std::printf("identifyCardModel, later (median of %d)\t%.1f\tms\n", kLaterRuns, later[later.size() / 2]);
    std::printf("card model found\t%d\tmodel\n", model);
    return 0;
}
