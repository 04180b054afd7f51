#pragma once
// The time-lapse schedule: local time as the six fields the user types, the
// clock the worker polls, and the file-size estimate of a series.
#include <QDateTime>
#include <QString>
#include <compare>
#include <cstddef>
#include <cstdint>

// A local time as year, month, day, hour, minute, second. Times compare field by
// field, first difference decides.
struct TimeFields {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    auto operator<=>(const TimeFields&) const = default;
};
TimeFields FieldsOf(const QDateTime& localTime);
// Days of a month of the Gregorian calendar (28 ... 31).
int DaysInMonth(int year, int month);

// The local time and the worker's sleeps; tests put a clock of their own in its place.
class TimeLapseClock {
public:
    virtual ~TimeLapseClock() = default;
    virtual QDateTime Now() = 0;
    // Milliseconds on a clock that only runs forward (not the wall clock); the
    // intervals of a series are measured on it.
    virtual std::int64_t ElapsedMs() = 0;
    virtual void Sleep(int ms) = 0;
};
// The machine's local time and real sleeps.
TimeLapseClock& SystemTimeLapseClock();

// Estimated size of `count` pictures of `frameBytes` each, in megabytes as
// "%4d.%02d", by the sensor class's factor (one frame of the class's high size
// counts 3.00 MB).
QString TimeLapseSizeEstimate(int count, std::size_t frameBytes, int deviceClass);
