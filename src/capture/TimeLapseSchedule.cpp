#include "capture/TimeLapseSchedule.h"

#include "capture/CaptureState.h"

#include <chrono>
#include <thread>

namespace {

// Megabytes (in hundredths) per byte of one frame, by sensor class.
constexpr double kSizeFactorClass2592 = 0.000019845806025504242;
constexpr double kSizeFactorClass1600 = 0.00005208333333333334;
constexpr double kSizeFactorClass1280 = 0.0000762939453125;
constexpr int kHundredths = 100;

class SystemClock final : public TimeLapseClock {
public:
    QDateTime Now() override { return QDateTime::currentDateTime(); }
    std::int64_t ElapsedMs() override
    {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    }
    void Sleep(int ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
};

double SizeFactor(int deviceClass)
{
    switch (deviceClass) {
    case Class2592:
        return kSizeFactorClass2592;
    case Class1600:
        return kSizeFactorClass1600;
    default:
        return kSizeFactorClass1280;
    }
}

} // namespace

TimeFields FieldsOf(const QDateTime& localTime)
{
    const QDate date = localTime.date();
    const QTime time = localTime.time();
    return {date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second()};
}

int DaysInMonth(int year, int month)
{
    return QDate(year, month, 1).daysInMonth();
}

TimeLapseClock& SystemTimeLapseClock()
{
    static SystemClock clock;
    return clock;
}

QString TimeLapseSizeEstimate(int count, std::size_t frameBytes, int deviceClass)
{
    const double hundredths = double(count) * double(frameBytes) * SizeFactor(deviceClass);
    const int whole = int(hundredths / kHundredths);
    const int rest = int(hundredths - double(kHundredths) * whole);
    // Two digits for the hundredths: 7.03 MB must not read "7. 3".
    return QString::asprintf("%4d.%02d", whole, rest);
}
