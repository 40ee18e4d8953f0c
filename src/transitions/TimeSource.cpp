#include "transitions/TimeSource.h"

#include <chrono>

namespace transitions {

namespace {

class SteadySource : public TimeSource {
public:
    double NowMs() const override {
        using namespace std::chrono;
        return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
    }
    void WaitUntil(double ms) override {
        while (NowMs() < ms) {
        }
    }
};

}  // namespace

TimeSource& SteadyTimeSource() {
    static SteadySource source;
    return source;
}

}  // namespace transitions
