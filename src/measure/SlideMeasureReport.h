#pragma once
// "pelora --measure-slide PICTURE [DIVISION_MM]": the ruler finder without a
// window, for scripts and for pictures from other microscopes. One line on
// standard output: the pitch, the divisions used, the pitch's 95 % interval and
// pixels per millimetre, or why no calibration came of the picture.
#include "measure/RulerFinder.h"

#include <QString>
#include <QStringList>

inline constexpr char kMeasureSlideOption[] = "--measure-slide";
inline constexpr double kDefaultDivisionMm = 0.01;

// The line for a finding with divisions of `divisionMm` millimetres.
QString SlideMeasureLine(const RulerFinding& finding, double divisionMm);

// Runs the command on the arguments after the option; prints the line and returns
// the exit status: 0 with a pitch, 1 without.
int RunMeasureSlide(const QStringList& arguments);
