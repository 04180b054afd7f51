// The time-lapse, print and e-mail commands reached from the main window.
#include "MainDlgTestSupport.h"
#include "capture/CaptureSession.h"
#include "capture/dialogs/CTimerCaptureDlg.h"
#include "capture/dialogs/TimeLapseIds.h"
#include "files/PicturePrint.h"
#include "platform/desktop/DefaultPrinter.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <utility>

using namespace maindlg;

namespace {

class MainDlgOutputTest : public MainDlgTest {
protected:
    void SetUp() override
    {
        MainDlgTest::SetUp();
        m_oldPath = qgetenv("PATH");
        qputenv("PATH", m_bin.path().toLocal8Bit());
        SetPrinterFactory([this] {
            auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(m_out.filePath("page.pdf"));
            return printer;
        });
    }
    void TearDown() override
    {
        SetPrinterFactory(nullptr);
        qputenv("PATH", m_oldPath);
        MainDlgTest::TearDown();
    }
    // An xdg-email that records its arguments, one a line.
    void InstallMailTool()
    {
        const QString path = m_bin.filePath("xdg-email");
        const QString script =
            QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$@\" > '%1'\n").arg(m_out.filePath("mail"));
        ASSERT_TRUE(testsupport::WriteFile(path, script.toUtf8()));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QByteArray m_oldPath;
    QTemporaryDir m_bin;
    QTemporaryDir m_out;
};

TEST_F(MainDlgOutputTest, TimeLapsePicturePrintedAndMailedFromTheStrip)
{
    auto dlg = Start();
    ASSERT_TRUE(dlg->IsConnected());
    InstallMailTool();
    dlg->OnCommand(ID_PRINT);
    dlg->OnCommand(IDC_EMAIL);
    EXPECT_EQ(m_messages, QStringList({"Please select a picture", "Please select a picture or video"}));
    m_messages.clear();
    ASSERT_TRUE(WaitFor([&] { return dlg->Session().State().FrameStore.width.load() > 0; }));

    // One picture two seconds from now; the dialog closes itself one interval later.
    // The start the dialog proposes is the second it opened, which a busy machine may
    // have left behind by the time of the click (the dialog then refuses to start).
    testsupport::ActWhenShown startSeries(
        [] { return qobject_cast<CTimerCaptureDlg*>(QApplication::activeModalWidget()); },
        [](QWidget* widget) {
            auto* timeLapse = static_cast<CTimerCaptureDlg*>(widget);
            const QDateTime start = QDateTime::currentDateTime().addSecs(2);
            const std::pair<int, int> fields[] = {
                {IDC_START_YEAR, start.date().year()},     {IDC_START_MONTH, start.date().month()},
                {IDC_START_DAY, start.date().day()},       {IDC_START_HOUR, start.time().hour()},
                {IDC_START_MINUTE, start.time().minute()}, {IDC_START_SECOND, start.time().second()}};
            for (const auto& [id, value] : fields) {
                timeLapse->Edit(id)->setText(QString::number(value));
            }
            timeLapse->Edit(IDC_PICTURE_COUNT)->setText("1");
            timeLapse->StartButton()->click();
        });
    dlg->OnCommand(IDC_CLOCK);
    ASSERT_TRUE(WaitFor([&] { return QDir(dlg->PictureFolder()).entryList(QDir::Files).size() == 1; }));
    const QString picture =
        QDir(dlg->PictureFolder()).filePath(QDir(dlg->PictureFolder()).entryList(QDir::Files)[0]);
    EXPECT_TRUE(picture.endsWith("_N0001.jpg"));

    dlg->OnCommand(ID_PRINT); // the new picture is the strip's selection
    // One page with the picture on it, printed from the bitmap of the whole still.
    const QByteArray pdf = testsupport::ReadFile(m_out.filePath("page.pdf"));
    EXPECT_EQ(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page "), 1);
    EXPECT_GE(pdf.count("/Subtype /Image"), 1);
    const QImage printed(QDir(ProgramFolderPath()).filePath(kPrintBitmapName), "BMP");
    EXPECT_EQ(printed.size(), QImage(picture).size());
    EXPECT_FALSE(printed.isNull());

    dlg->OnCommand(ID_EMAIL);
    EXPECT_EQ(testsupport::ReadFile(m_out.filePath("mail")), "--attach\n" + picture.toUtf8() + "\n");
    EXPECT_EQ(m_messages,
              QStringList{"The file was handed to your mail program. Address and send the e-mail there."});
    EXPECT_TRUE(dlg->isVisible());
}

} // namespace
