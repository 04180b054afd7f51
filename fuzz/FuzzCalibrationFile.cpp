// A damaged calibration file: lookups never crash, and a store either keeps a
// readable file that returns the stored value or reports that it did not store.
#include "FuzzInput.h"
#include "measure/Calibration.h"
#include "measure/CalibrationFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const CalibrationFile file(WriteFuzzFile(data, size, QStringLiteral("CalibrationIni.ini")));
    QString value;
    for (const char* nominal : {"60", "160", "200", " 60 ", "", "[60]"}) {
        file.Lookup(QString::fromLatin1(nominal), value);
    }
    if (file.Store(QStringLiteral("60"), 58.5) == 1) {
        if (!file.Lookup(QStringLiteral("60"), value) || value != CalibrationText(58.5)) {
            __builtin_trap();
        }
    }
    return 0;
}
