#pragma once
// The program's sounds (180, 181, 182), played asynchronously from the compiled-in
// resources; silent without an audio device.
#include <functional>

inline constexpr int kShutterSoundId = 181;

// Plays sound `id` without waiting for it.
void PlayProgramSound(int id);

// Test hook: while set, sounds go to it instead of the audio device.
void SetSoundPlayer(std::function<void(int id)> player);
