#pragma once
// Records every message box while it lives and answers each with OK.
#include "platform/desktop/MessageBox.h"

#include <QStringList>

namespace testsupport {

class RecordedMessages {
public:
    RecordedMessages()
    {
        SetMessageResponder([this](const QString& text, const QString&, unsigned) {
            texts.append(text);
            return int(IDOK);
        });
    }
    ~RecordedMessages() { SetMessageResponder(nullptr); }
    RecordedMessages(const RecordedMessages&) = delete;
    RecordedMessages& operator=(const RecordedMessages&) = delete;
    QStringList texts;
};

} // namespace testsupport
