// Time of one whole Compute (three conversions in, two simulations, two texts
// out) on the in-memory platform. Prints the median of several batches.
#include "compute.h"
#include "headlessplatform.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

double nanosecondsPerCall(HeadlessPlatform& platform, int calls)
{
    std::vector<double> batches;
    for (int batch = 0; batch < 9; ++batch) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < calls; ++i) {
            ComputePayoff(platform);
            platform.clearMessages();
        }
        const std::chrono::duration<double, std::nano> elapsed =
            std::chrono::steady_clock::now() - start;
        batches.push_back(elapsed.count() / calls);
    }
    std::sort(batches.begin(), batches.end());
    return batches[batches.size() / 2];
}

void run(const char* name, const char* payment, const char* rate, const char* balance,
         int calls)
{
    HeadlessPlatform platform(QLocale(QLocale::English, QLocale::UnitedStates));
    platform.SetText(Control::Text1, payment);
    platform.SetText(Control::Text2, rate);
    platform.SetText(Control::Text3, balance);
    platform.SetText(Control::Combo1, "Fixed");
    nanosecondsPerCall(platform, calls / 10); // warm-up
    const double ns = nanosecondsPerCall(platform, calls);
    std::printf("%-34s %9.0f ns per call   (%s / %s)\n", name, ns,
                platform.GetText(Control::Text4).c_str(), platform.GetText(Control::Text5).c_str());
}

} // namespace

int main()
{
    run("ComputePayoff, 11 months", "100", "18", "1000", 200000);
    run("ComputePayoff, past the limit", "10", "18", "1000", 20000);
    return 0;
}
