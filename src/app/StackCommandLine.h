#pragma once
// "pelora --stack OUT IN1 IN2 ...": stacks stored focus series without a window.
#include <QStringList>

inline constexpr char kStackOption[] = "--stack";

// Runs the stack named by the arguments after the option; prints what it did or why
// it refused on the console. 0 when OUT was written; 1 when the frames could not be
// stacked (nothing written); 2 when the arguments were wrong.
int RunStackCommand(const QStringList& arguments);
