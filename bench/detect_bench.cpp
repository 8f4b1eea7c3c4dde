// Time of one card identification: the first in a process (COM and WMI start
// up) and later ones (each opens its own connection again).
#include "detect/CardModel.h"
#include "nt_test.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kLaterRuns = 5;

} // namespace

int main()
{
    int model = 0;
    auto identify = [&] { model = identifyCardModel(); };
    const double first = nt_test::millisecondsOf(identify);
    std::vector<double> later;
    later.reserve(kLaterRuns);
    for (int run = 0; run < kLaterRuns; ++run) {
        later.push_back(nt_test::millisecondsOf(identify));
    }
    std::sort(later.begin(), later.end());
    std::printf("identifyCardModel, first in the process\t%.1f\tms\n", first);
    std::printf("identifyCardModel, later (median of %d)\t%.1f\tms\n", kLaterRuns, later[later.size() / 2]);
    std::printf("card model found\t%d\tmodel\n", model);
    return 0;
}
