#pragma once
// The microscope models the program looks for, in priority order. Read from
// "SupportedHardwareIds.conf" beside the program (one "Vid_xxxx&Pid_xxxx" a line,
// '#' starts a comment) so a user can add a model; built-in ids fill missing lines.
#include <QString>
#include <array>

inline constexpr int kSupportedHardwareIdCount = 3;
using HardwareIdTable = std::array<QString, kSupportedHardwareIdCount>;

const HardwareIdTable& SupportedHardwareIds();
// Reads the configuration file again (tests, or after ProgramFolder changed).
void ReloadSupportedHardwareIds();
// Parses the file's text; invalid lines are skipped, missing entries get the built-in ids.
HardwareIdTable ParseSupportedHardwareIds(const QString& text);
// True for "Vid_" + 4 hex digits + "&Pid_" + 4 hex digits (any case).
bool IsHardwareIdText(const QString& text);
