#pragma once
// Control, command, timer, accelerator and message ids of the main window, and
// the pixel positions its layout rests on.
#include <QEvent>
#include <QPoint>
#include <QRect>
#include <QRgb>
#include <QSize>

namespace maindlg {

// Controls.
enum Control : int {
    IDC_PREVIEW_WINDOW = 1000,
    IDC_FILE_LIST = 1002,
    IDC_CAMERA = 1005,
    IDC_AVI = 1006,
    IDC_CLOCK = 1007,
    IDC_SAVE = 1008,
    IDC_EMAIL = 1009,
    IDC_PREVIEW = 1014,
    IDC_SETTING = 1016,
    IDC_FOUR_ANGLE = 1136,
    IDC_LINE = 1138, // first of the nine tools 1138 ... 1146
    IDC_THREE_ANGLE = 1146,
    IDC_MAGNIFICATION = 1147,
    IDC_OTHER_TOOLS = 1164,
    IDC_RESOLUTION_TEXT = 1182,
    IDC_STATUS_TEXT = 1183,
    IDC_RECORD_SECONDS = 1184,
    IDC_NEGATIVE = 1188,
    IDC_RGB = 1189,
    IDC_RED = 1190,
    IDC_GREEN = 1191,
    IDC_BLUE = 1192,
    IDC_BINARY = 1193,
    IDC_VER_MIRROR = 1194,
    IDC_HOR_MIRROR = 1195,
    IDC_CALIBRATION_VALUE = 1196,
    IDC_CALIBRATION = 1197,
};

// Menu commands (menu 183, right-click menu 371, other-tools menu).
enum Command : int {
    ID_LOW_SIZE = 385,
    ID_SAVE_ALL = 386,
    ID_LANG_ENGLISH = 387,
    ID_LANG_SIMPLIFIED = 388,
    ID_SNAPSHOT = 395,
    ID_MEASURE_UNDO = 1114,
    ID_MEASURE_REDO = 1115,
    ID_MEASURE_DELETE_ALL = 1116,
    ID_MEASURE_EXPORT = 1186,
    ID_OPEN = 32776,
    ID_SAVE_AS = 32777,
    ID_DELETE = 32778,
    ID_HELP_MANUAL = 32784,
    ID_ABOUT = 32786,
    ID_EMAIL = 32787,
    ID_CROSSHAIR_TOOLS = 32788,
    ID_SCALE_LINE = 32789,
    ID_CIRCLE_GRID = 32790,
    ID_PEN_SETTINGS = 32791,
    ID_DELETE_ALL = 32792,
    ID_CROSSHAIR = 32798,
    ID_HIGH_SIZE = 32810,
    ID_LANG_FIRST_RANGE = 32825, // 32825 ... 32834
    ID_LANG_LAST_RANGE = 32834,
    ID_HELP_UPDATE = 32835,
    ID_PRINT = 32836,
    ID_LANG_ITALIAN = 32841,
    ID_SLIDE_CALIBRATION = 32850, // calibration from a stage micrometer (liveids::kSlideCalibrationCommand)
    ID_HELP_DIAGNOSTICS = 32842,
    ID_FOCUS_STACK = 32851,
    ID_FOCUS_STEPS = 32852,
    IDM_ABOUTBOX = 16, // the about item added to the system menu
};

// Window timers.
enum Timer : int {
    IDT_DEVICE_CHECK = 1001,
    IDT_RECORD_SECONDS = 1002,
    IDT_STARTUP_PROMPT = 1006,
};
inline constexpr int kDeviceCheckStartMs = 100;
inline constexpr int kDeviceCheckChangeMs = 1000;
inline constexpr int kStartupPromptMs = 100;

// Accelerator tables, offered in this order.
enum Accelerator : int {
    IDR_ACCEL_F2 = 224,
    IDR_ACCEL_F3 = 225,
    IDR_ACCEL_F4 = 226,
    IDR_ACCEL_F11 = 255,
    IDR_ACCEL_F12 = 253,
    IDR_ACCEL_F8 = 256, // calibration from a stage micrometer
    IDR_ACCEL_F6 = 260,
};

// Private messages of the main window (the capture graph defines 0x8001 and 0x8003;
// the device-change values come with the camera backend).
inline constexpr QEvent::Type WM_DEVICE_NOTICE = static_cast<QEvent::Type>(0x8005);
inline constexpr QEvent::Type WM_OPEN_PICTURE = static_cast<QEvent::Type>(0x8007);
inline constexpr QEvent::Type WM_OPEN_VIDEO = static_cast<QEvent::Type>(0x8008);
inline constexpr QEvent::Type WM_CALIBRATION_DONE = static_cast<QEvent::Type>(0x8009);
inline constexpr QEvent::Type WM_SHOW_PROMPT = static_cast<QEvent::Type>(0x800A);

// System commands the window handles (the desktop's maximize and restore).
enum SysCommand : int {
    SC_MAXIMIZE = 0xF030,
    SC_RESTORE = 0xF120,
};

// Layout, in client pixels.
inline constexpr QSize kClientSize(843, 580);
inline constexpr QRect kPreviewRect(193, 34, 640, 480);
inline constexpr QRect kFileListRect(12, 80, 162, 460);
inline constexpr QRect kPicturesTab(QPoint(11, 38), QPoint(91, 76));
inline constexpr QRect kVideosTab(QPoint(94, 38), QPoint(173, 76));
inline constexpr QPoint kPageBitmapPos(10, 38);
inline constexpr QSize kPageBitmapSize(164, 504);
// The two edit boxes take the whole gap between the four-point angle button and
// the calibration button (a little more than their 34 pixels), so numbers fit; the
// calibrated box, with two more digits to show, takes the larger share.
inline constexpr QRect kMagnificationRect(753, 6, 35, 25);
inline constexpr QRect kCalibrationValueRect(709, 6, 44, 25);
inline constexpr QRect kRecordSecondsRect(737, 516, 100, 25);
inline constexpr QPoint kResolutionTextPos(200, 517);
// Strip repainted after a capture size change: (260, 515)-(335, 527).
inline constexpr QRect kResolutionStrip(QPoint(260, 515), QPoint(334, 526));
inline constexpr int kMagnificationMaxChars = 5;
inline constexpr QRgb kStatusBrushColour = 0xD2E9FC; // window brush 0xFCE9D2 (blue-green-red order)
inline constexpr QRgb kMenuBackground = 0xEEEEEE;
// The other-tools menu: every item shows icon 231; it opens at the button's left
// edge, this many pixels above its bottom edge.
inline constexpr int kOtherToolsItemIcon = 231;
inline constexpr int kMenuIconSide = 16;
inline constexpr int kOtherToolsMenuRise = 4;
// Where the window hides while it leaves full screen.
inline constexpr QPoint kRestoreHidePos(520, 400);

// Full-screen scale bases.
inline constexpr double kFullScreenScaleX = 0.0015625; // 1 / 640
inline constexpr double kFullScreenHeight1024 = 512.0;
inline constexpr double kFullScreenHeightOther = 480.0;

// File-list pages.
inline constexpr int kPageVideos = 0;
inline constexpr int kPagePictures = 1;

} // namespace maindlg
