// The recorder setting dialog: the sizes it offers per class and the camera size
// it sets, and which compressor options a recording gets from OK, Compress and
// Cancel.
#include "capture/RecordingFiles.h"
#include "capture/VideoRecorder.h"
#include "capture/dialogs/CRecorderSettingDlg.h"
#include "capture/dialogs/RecorderSettingIds.h"
#include "platform/desktop/MessageBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class RecorderDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetMessageResponder([this](const QString& text, const QString&, unsigned) {
            m_boxes << text;
            return 1;
        });
    }
    void TearDown() override { SetMessageResponder(nullptr); }

    // A dialog whose camera takes every size (or none) and whose compressor choice
    // gives `m_choice` (or is cancelled when it is empty).
    std::unique_ptr<CRecorderSettingDlg> Open()
    {
        CRecorderSettingDlg::Parts parts;
        parts.setCaptureSize = [this](int width, int height) {
            m_sizes.push_back(QSize(width, height));
            return m_cameraTakes;
        };
        parts.chooseCompressor = [this](AviCompressOptions* options) {
            ++m_choices;
            if (!m_choice.IsPrepared()) {
                return false;
            }
            *options = m_choice;
            return true;
        };
        parts.format = [this] {
            CaptureFormat format;
            format.CaptureDeviceClass = m_deviceClass;
            format.captureWidth = m_sizeNow.width();
            format.captureHeight = m_sizeNow.height();
            return format;
        };
        return std::make_unique<CRecorderSettingDlg>(m_recorder, m_dir.path(), std::move(parts));
    }

    static AviCompressOptions Installed(const char* encoder)
    {
        for (const AviCompressor& c : InstalledCompressors()) {
            if (QByteArray(c.encoder) == encoder) {
                return OptionsFor(c, 5000);
            }
        }
        return {};
    }

    QTemporaryDir m_dir;
    VideoRecorder m_recorder;
    std::vector<QSize> m_sizes;
    int m_deviceClass = Class2592;
    QSize m_sizeNow{64, 48}; // the capture size the camera has
    bool m_cameraTakes = true;
    AviCompressOptions m_choice;
    int m_choices = 0;
    QStringList m_boxes;
};

TEST_F(RecorderDialogTest, SizesByClassAndTheCameraAt640x480WhileItIsOpen)
{
    struct Case {
        int deviceClass;
        QStringList items;
        int selected;
    };
    const Case cases[] = {
        {Class2592, {"640*480", "1280*1024", "1600*1200", "2048*1536", "2592*1944"}, 0},
        {Class1600, {"640*480", "1280*960", "1600*1200"}, 0},
        {Class1280, {"320*240", "640*480", "1280*1024"}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.deviceClass);
        m_deviceClass = c.deviceClass;
        m_sizeNow = QSize(SizesOfClass(c.deviceClass).lowWidth, SizesOfClass(c.deviceClass).lowHeight);
        m_sizes.clear();
        auto dialog = Open();
        QStringList items;
        for (int i = 0; i < dialog->SizeList()->count(); ++i) {
            items << dialog->SizeList()->itemText(i);
        }
        EXPECT_EQ(items, c.items);
        EXPECT_EQ(dialog->SizeList()->currentIndex(), c.selected);
        ASSERT_EQ(m_sizes.size(), 1u);
        EXPECT_EQ(m_sizes[0], QSize(640, 480));
        EXPECT_TRUE(dialog->Button(IDC_RECORD_OK)->isEnabled());
        // Cancel and Escape take the camera back to the size it had before (here
        // the class's low size), not to 640 x 480 nor the high size.
        dialog->OnCommand(IDC_RECORD_CANCEL);
        EXPECT_EQ(m_sizes.back(), m_sizeNow);
        EXPECT_EQ(dialog->result(), QDialog::Rejected);
        auto escaped = Open();
        escaped->show();
        QTest::keyClick(escaped.get(), Qt::Key_Escape);
        EXPECT_FALSE(escaped->isVisible());
        EXPECT_EQ(m_sizes.back(), m_sizeNow);
    }
}

TEST_F(RecorderDialogTest, ButtonsWaitForTheCameraToTakeASize)
{
    m_cameraTakes = false;
    auto dialog = Open();
    for (const int id : {IDC_RECORD_OK, IDC_RECORD_CANCEL, IDC_RECORD_COMPRESS}) {
        EXPECT_FALSE(dialog->Button(id)->isEnabled());
    }
    m_cameraTakes = true;
    dialog->SizeList()->setCurrentIndex(2);
    dialog->OnCommand(IDC_RECORD_SIZE);
    EXPECT_EQ(m_sizes.back(), QSize(1600, 1200));
    for (const int id : {IDC_RECORD_OK, IDC_RECORD_CANCEL, IDC_RECORD_COMPRESS}) {
        EXPECT_TRUE(dialog->Button(id)->isEnabled());
    }
}

TEST_F(RecorderDialogTest, OkPreparesTheDefaultUnlessCompressChoseThisTime)
{
    // OK alone: MS Video 1 at its default quality.
    auto first = Open();
    first->OnCommand(IDC_RECORD_OK);
    EXPECT_EQ(first->result(), QDialog::Accepted);
    EXPECT_EQ(m_recorder.CompressorOptions().fccHandler, kHandlerMsVideo1);
    EXPECT_EQ(m_recorder.CompressorOptions().quality, 7500u);
    EXPECT_FALSE(QFile::exists(ScratchVideoPath(m_dir.path())));

    // Compress and a confirmed choice: that choice for this recording.
    m_choice = Installed("mjpeg");
    ASSERT_TRUE(m_choice.IsPrepared());
    auto second = Open();
    second->OnCommand(IDC_RECORD_COMPRESS);
    second->OnCommand(IDC_RECORD_OK);
    EXPECT_EQ(m_recorder.CompressorOptions(), m_choice);

    // Compress, the choice cancelled, OK: the options prepared last stay.
    m_choice = {};
    auto third = Open();
    third->OnCommand(IDC_RECORD_COMPRESS);
    third->OnCommand(IDC_RECORD_OK);
    EXPECT_EQ(m_recorder.CompressorOptions(), Installed("mjpeg"));

    // The next dialog falls back to the default.
    auto fourth = Open();
    fourth->OnCommand(IDC_RECORD_OK);
    EXPECT_EQ(m_recorder.CompressorOptions().fccHandler, kHandlerMsVideo1);
    EXPECT_EQ(m_choices, 2);
}

TEST_F(RecorderDialogTest, FieldsAreCheckedAndTheLimitFollowsItsBox)
{
    auto dialog = Open();
    EXPECT_EQ(dialog->FrameRateEdit()->text(), "15");
    EXPECT_EQ(dialog->TimeLimitEdit()->text(), "10");
    EXPECT_TRUE(dialog->TimeLimitBox()->isChecked());

    dialog->FrameRateEdit()->setText("31");
    dialog->OnCommand(IDC_RECORD_OK);
    EXPECT_EQ(dialog->result(), 0); // still open
    ASSERT_EQ(m_boxes.size(), 1);
    EXPECT_EQ(m_boxes[0], "Please enter an integer between 1 and 30.");

    dialog->FrameRateEdit()->setText("30");
    dialog->TimeLimitBox()->setChecked(false);
    dialog->OnCommand(IDC_RECORD_LIMIT_CHECK);
    EXPECT_FALSE(dialog->TimeLimitEdit()->isEnabled());
    dialog->TimeLimitEdit()->setText("99999");
    dialog->OnCommand(IDC_RECORD_OK);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_FALSE(dialog->timeLimitTicked());
    EXPECT_EQ(dialog->timeLimitSeconds(), 99999);
    EXPECT_EQ(dialog->frameRate(), 30);
}

} // namespace
