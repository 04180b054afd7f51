#pragma once
// Message boxes through one service, so tests can script the answers and record
// every text shown.
#include <QString>
#include <functional>

class QWidget;

// Button sets and icons (the platform's flag values) and results.
enum MessageFlags : unsigned {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_YESNOCANCEL = 0x3,
    MB_YESNO = 0x4,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONWARNING = 0x30,
    MB_ICONINFORMATION = 0x40,
    MB_DEFBUTTON2 = 0x100, // the second button (No of Yes/No) answers Enter
};
enum MessageResult : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

// Shows the message modally and returns the button pressed.
int ShowMessage(QWidget* owner, const QString& text, const QString& caption, unsigned flags = MB_OK);

// Test hook: while set, ShowMessage calls it instead of showing a box.
using MessageResponder = std::function<int(const QString& text, const QString& caption, unsigned flags)>;
void SetMessageResponder(MessageResponder responder);
