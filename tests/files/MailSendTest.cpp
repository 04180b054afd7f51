// E-mail hand-off through a stand-in xdg-email that records what it was given.
#include "common/TestSupport.h"
#include "files/CMailSendDlg.h"
#include "files/FilesTestSupport.h"
#include "files/MailAttachment.h"
#include "platform/files/ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace filestest;

namespace {

// xdg-email returning means the compose window opened, not that anything was sent.
const QString kHandedOver = "The file was handed to your mail program. Address and send the e-mail there.";

class MailSendTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_oldPath = qgetenv("PATH");
        qputenv("PATH", m_bin.path().toLocal8Bit());
        OverrideProgramFolders(m_program.path(), m_program.path());
    }
    void TearDown() override
    {
        OverrideProgramFolders(QString(), QString());
        qputenv("PATH", m_oldPath);
    }

    // An xdg-email that writes its arguments (NUL-separated) to the record file,
    // waits `seconds` and exits with `code`.
    void InstallTool(int code = 0, int seconds = 0)
    {
        const QString script =
            QStringLiteral("#!/bin/sh\nprintf '%s\\0' \"$@\" > '%1'\n%2exit %3\n")
                .arg(RecordPath())
                .arg(seconds > 0 ? QStringLiteral("/bin/sleep %1\n").arg(seconds) : QString())
                .arg(code);
        const QString path = m_bin.filePath("xdg-email");
        ASSERT_TRUE(testsupport::WriteFile(path, script.toUtf8()));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QString RecordPath() const { return m_out.filePath("arguments"); }
    QStringList Arguments() const
    {
        QByteArray bytes = testsupport::ReadFile(RecordPath());
        if (bytes.isEmpty()) {
            return {};
        }
        bytes.chop(1);
        QStringList arguments;
        for (const QByteArray& argument : bytes.split('\0')) {
            arguments << QString::fromUtf8(argument);
        }
        return arguments;
    }
    void Send(const QString& path, int waitMs = CMailSendDlg::kWaitLimitMs)
    {
        CMailSendDlg dialog(path);
        dialog.SetWaitLimit(waitMs);
        dialog.DoModal();
    }

    QByteArray m_oldPath;
    QTemporaryDir m_bin;
    QTemporaryDir m_program;
    QTemporaryDir m_out;
    QTemporaryDir m_files;
    MessageScript m_boxes{1};
};

TEST_F(MailSendTest, AnyFileNameReachesTheMailProgramIntactAndRunsNothing)
{
    InstallTool();
    const QString name = QStringLiteral("clip 1 $(touch pwned) `touch pwned2`; 'it''s' \"q\" & |x|.avi");
    const QString video = m_files.filePath(name);
    ASSERT_TRUE(testsupport::WriteFile(video, "RIFF"));
    const QString cwd = QDir::currentPath();
    Send(video);
    EXPECT_EQ(Arguments(), QStringList({"--attach", video}));
    EXPECT_EQ(m_boxes.texts, QStringList{kHandedOver});
    EXPECT_EQ(m_boxes.flags, QList<unsigned>{MB_OK | MB_ICONINFORMATION});
    EXPECT_FALSE(QFile::exists(QDir(cwd).filePath("pwned")) || QFile::exists(QDir(cwd).filePath("pwned2")));
}

TEST_F(MailSendTest, LowerCaseBitmapsGoAsJpegCopiesAndOnlyOurCopiesAreCleared)
{
    InstallTool();
    ASSERT_TRUE(QDir().mkpath(m_files.filePath("day.one")));
    const QString bitmap = m_files.filePath("day.one/pic.bmp");
    ASSERT_TRUE(WritePicture(bitmap, Qt::green, 40, 30));
    const QString earlierCopy = QDir(MailPictureFolder()).filePath("earlier.jpg");
    const QString someoneElses = m_program.filePath("holiday.jpg");
    ASSERT_TRUE(QDir().mkpath(MailPictureFolder()));
    ASSERT_TRUE(WritePicture(earlierCopy, Qt::red));
    ASSERT_TRUE(WritePicture(someoneElses, Qt::red));

    Send(bitmap);
    const QString copy = QDir(MailPictureFolder()).filePath("pic.jpg");
    EXPECT_EQ(Arguments(), QStringList({"--attach", copy}));
    EXPECT_EQ(QImage(copy, "JPEG").size(), QSize(40, 30));
    EXPECT_FALSE(QFile::exists(earlierCopy));
    EXPECT_TRUE(QFile::exists(someoneElses));
    EXPECT_TRUE(QFile::exists(bitmap));

    // An upper-case extension is sent as it is.
    const QString upper = m_files.filePath("PIC2.BMP");
    ASSERT_TRUE(QFile::copy(bitmap, upper));
    Send(upper);
    EXPECT_EQ(Arguments(), QStringList({"--attach", upper}));
    EXPECT_TRUE(QFile::exists(copy));
    EXPECT_EQ(m_boxes.texts, QStringList({kHandedOver, kHandedOver}));
}

TEST_F(MailSendTest, FailuresAreToldAndNothingIsSent)
{
    // No xdg-email on the path.
    const QString bitmap = m_files.filePath("pic.bmp");
    ASSERT_TRUE(WritePicture(bitmap, Qt::green));
    Send(bitmap);
    ASSERT_EQ(m_boxes.texts.size(), 1);
    EXPECT_TRUE(m_boxes.texts[0].startsWith("Mail support is not available"))
        << m_boxes.texts[0].toStdString();

    // A bitmap that cannot be read, then a copy that cannot be written.
    InstallTool();
    const QString broken = m_files.filePath("broken.bmp");
    ASSERT_TRUE(testsupport::WriteFile(broken, "BM no picture"));
    ASSERT_TRUE(testsupport::WriteFile(MailPictureFolder(), "a file where the folder goes"));
    Send(broken);
    Send(bitmap);
    EXPECT_TRUE(Arguments().isEmpty());

    // The mail program reports a failure.
    InstallTool(3);
    Send(m_files.filePath("pic.bmp.avi"));
    EXPECT_EQ(m_boxes.texts.mid(1), QStringList({"imageEmail Create fail", "Compress fail",
                                                 "The mail program could not take the file"}));
}

TEST_F(MailSendTest, TheWindowNeverWaitsForeverAndCancelSaysNothing)
{
    InstallTool(0, 1);
    const QString video = m_files.filePath("clip.avi");
    ASSERT_TRUE(WriteVideo(video, Qt::red));
    Send(video, 100); // the mail program is still starting: the window closes anyway
    EXPECT_EQ(Arguments(), QStringList({"--attach", video}));
    // ... and says so, in words other than a hand-off's.
    EXPECT_EQ(m_boxes.texts, QStringList{"The mail program did not answer within 1 seconds. If its window "
                                         "still opens, the file is attached there."});
    m_boxes.texts.clear();

    CMailSendDlg dialog(video);
    QTimer::singleShot(200, &dialog, [&] { static_cast<QDialog&>(dialog).reject(); }); // Escape
    dialog.DoModal();
    EXPECT_TRUE(m_boxes.texts.isEmpty());
    // The mail programs left running were never killed; once they end, their
    // process objects go too (the leak checker sees what is left at exit).
    QTest::qWait(2500);
}

} // namespace
