#pragma once
// Resource, control, timer and message ids of the video player, and the pixel
// positions of its layout.
#include <QEvent>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace player {

inline constexpr int IDD_VIDEO_PLAYER = 187;
inline constexpr int IDB_PLAYER_BACKGROUND = 214;

// Controls.
enum Control : int {
    IDC_STOP = 377,
    IDC_PLAY = 381,  // two-state
    IDC_PAUSE = 382, // two-state
    IDC_FIRST = 1010,
    IDC_BACKWARD = 1011,
    IDC_FORWARD = 1012,
    IDC_LAST = 1013,
    IDC_POSITION_BAR = 1108,
    IDC_VIDEO_AREA = 1131,
};

// Timers: the position follows the clip while it plays; the keep-alive runs as
// long as the window is open.
enum Timer : int {
    IDT_POSITION = 1004,
    IDT_KEEP_ALIVE = 1005,
};
inline constexpr int kTimerMs = 50;

// The clip playback's notice that an event waits (WM_APP + 4), and the event code
// of a clip played to its end.
inline constexpr QEvent::Type WM_PLAYER_NOTIFY = static_cast<QEvent::Type>(0x8004);
inline constexpr int EC_COMPLETE = 0x01;

// Seconds Backward and Forward move; the position bar counts tenths of a second.
inline constexpr double kStepSeconds = 2.0;
inline constexpr int kBarTicksPerSecond = 10;

// Layout, in client pixels (the client is exactly the background picture).
inline constexpr QSize kClientSize(593, 476);
inline constexpr QRect kVideoAreaRect(2, 1, 589, 410);
inline constexpr QRect kPositionBarRect(40, 414, 513, 12);
inline constexpr QSize kPlayButtonSize(35, 35);
inline constexpr QSize kButtonSize(23, 23);

struct ButtonPlace {
    int id;
    int upBitmap;   // art "player_<upBitmap>"; the down look is its active look
    int downBitmap; // the pressed (or latched) look
    QPoint pos;
};
inline constexpr ButtonPlace kButtons[] = {
    {IDC_PLAY, 165, 365, {162, 426}},     {IDC_STOP, 166, 366, {212, 432}},
    {IDC_PAUSE, 167, 367, {219, 440}},    {IDC_FIRST, 161, 361, {254, 432}},
    {IDC_BACKWARD, 162, 362, {296, 432}}, {IDC_FORWARD, 163, 363, {330, 432}},
    {IDC_LAST, 164, 364, {372, 432}},
};

} // namespace player
