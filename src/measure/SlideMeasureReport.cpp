#include "measure/SlideMeasureReport.h"

#include <QImage>
#include <QTextStream>
#include <cmath>

QString SlideMeasureLine(const RulerFinding& f, double divisionMm)
{
    switch (f.status) {
    case RulerStatus::NoRuler:
        return QStringLiteral("no ruler: no regular row of ticks found");
    case RulerStatus::TooUncertain:
        return QString::asprintf(
            "too uncertain: pitch %.4f px +- %.2f %% over %d divisions (at most %.1f %%)", f.pitch,
            f.RelativeUncertainty() * 100, f.divisions, kRulerMaxRelativeUncertainty * 100);
    case RulerStatus::Found:
        break;
    }
    return QString::asprintf("pitch %.4f px, %d divisions, 95 %% interval %.4f-%.4f px, %.3f px/mm", f.pitch,
                             f.divisions, f.pitchLow, f.pitchHigh, f.pitch / divisionMm);
}

int RunMeasureSlide(const QStringList& arguments)
{
    QTextStream out(stdout);
    if (arguments.isEmpty() || arguments.size() > 2) {
        out << "usage: pelora " << kMeasureSlideOption << " PICTURE [DIVISION_MM]\n";
        return 1;
    }
    double divisionMm = kDefaultDivisionMm;
    if (arguments.size() == 2) {
        bool ok = false;
        divisionMm = arguments[1].toDouble(&ok);
        if (!ok || !std::isfinite(divisionMm) || divisionMm <= 0) {
            out << "not a division length in millimetres: " << arguments[1] << '\n';
            return 1;
        }
    }
    const QImage picture(arguments[0]);
    if (picture.isNull()) {
        out << "cannot read the picture " << arguments[0] << '\n';
        return 1;
    }
    const RulerFinding finding = FindRuler(picture);
    out << SlideMeasureLine(finding, divisionMm) << '\n';
    return finding.status == RulerStatus::Found ? 0 : 1;
}
