// The pen setting and text dialogs: what they show, what they store and when.
#include "common/RecordedMessages.h"
#include "common/TestSupport.h"
#include "measure/CPenSettingDlg.h"
#include "measure/CTextSettingDlg.h"
#include "measure/DrawingFonts.h"
#include "measure/FontColourDialog.h"
#include "measure/MeasurePainting.h"
#include "measure/PenSettingIds.h"
#include "platform/desktop/MessageBox.h"
#include "platform/files/ProgramFolder.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <climits>
#include <gtest/gtest.h>
#include <map>
#include <vector>

namespace {
using ScriptedMessages = testsupport::RecordedMessages;

// Stored values, as the application's store would hold them, and the order of writes.
class FakeStore : public MeasureSettingsStore {
public:
    QString storedUnit = "mm";
    int storedDecimal = 3;
    int storedFormat = 2;
    ColorRef storedTextColor = 255;
    std::map<QString, long long> values;
    QStringList writes;

    QString unit() const override { return storedUnit; }
    int decimal() const override { return storedDecimal; }
    int imageFormat() const override { return storedFormat; }
    ColorRef textColor() const override { return storedTextColor; }
    void StoreLineColor(ColorRef color) override { Put("LineColor", color); }
    void StoreLabelColor(ColorRef color) override { Put("MeasureTxtColor", color); }
    void StoreTextColor(ColorRef color) override { Put("fontcolor", color); }
    void StoreUnitAndDecimal(const QString& unit, int decimal) override
    {
        storedUnit = unit;
        storedDecimal = decimal;
        Put("unit+decimal", decimal);
    }
    void StoreImageFormat(int format) override
    {
        storedFormat = format;
        Put("ImageFormat", format);
    }
    void StoreLineWidth(int width) override { Put("Linewidth", width); }
    void StoreLineType(int type) override { Put("Linetype", type); }
    void StoreFontSize(int size) override { Put("fontsize", size); }

private:
    void Put(const QString& name, long long value)
    {
        values[name] = value;
        writes.append(name);
    }
};

class PenSettingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir().mkpath(home.sub("program"));
        OverrideProgramFolders(home.sub("program"), home.sub("program"));
    }
    void TearDown() override { OverrideProgramFolders(QString(), QString()); }

    QStringList Ticked(const CPenSettingDlg& dialog, std::initializer_list<int> ids)
    {
        QStringList ticked;
        for (const int id : ids) {
            if (dialog.Box(id)->isChecked()) {
                ticked.append(QString::number(id));
            }
        }
        return ticked;
    }

    testsupport::TempHome home;
    FakeStore store;
    ScriptedMessages messages;
};

const std::initializer_list<int> kUnits = {IDC_UNIT_MM, IDC_UNIT_CM, IDC_UNIT_MIL, IDC_UNIT_INCH};
const std::initializer_list<int> kTypes = {1154, 1155, 1156, 1157, 1158};

TEST_F(PenSettingTest, OpensAtWidthOneWithTheStoredChoicesTicked)
{
    store.storedUnit = "inch";
    store.storedDecimal = 4;
    store.storedFormat = 1;
    CPenSettingDlg dialog({3, kPenDot, 0x123456, 0x654321}, store);
    EXPECT_EQ(dialog.windowTitle(), "Pen setting");
    EXPECT_EQ(dialog.WidthEdit()->text(), "1");
    EXPECT_EQ(Ticked(dialog, kTypes), QStringList{"1156"});
    EXPECT_EQ(Ticked(dialog, kUnits), QStringList{"1172"});
    EXPECT_TRUE(dialog.Box(IDC_DECIMAL_4)->isChecked());
    EXPECT_TRUE(dialog.Box(IDC_FORMAT_BMP)->isChecked());
    EXPECT_FALSE(dialog.Box(IDC_FORMAT_JPG)->isChecked());

    dialog.OnCommand(IDC_SETTING_OK);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(store.values["Linewidth"], 1);
    EXPECT_EQ(store.values["Linetype"], kPenDot);
    EXPECT_EQ(dialog.values().width, 1);
    EXPECT_EQ(dialog.values().lineColor, 0x123456u);
}

TEST_F(PenSettingTest, UnknownStoredValuesTickTheFallbackBoxes)
{
    store.storedUnit = "furlong";
    store.storedDecimal = 42;
    CPenSettingDlg dialog({2, 99, 255, 255}, store);
    EXPECT_EQ(Ticked(dialog, kUnits), QStringList{"1170"});
    EXPECT_TRUE(dialog.Box(IDC_DECIMAL_5)->isChecked());
    EXPECT_TRUE(dialog.Box(IDC_FORMAT_JPG)->isChecked());
    EXPECT_EQ(Ticked(dialog, kTypes), QStringList{"1154"});
}

TEST_F(PenSettingTest, UnitsDecimalsAndFormatAreStoredAtOnceEvenOnCancel)
{
    CPenSettingDlg dialog({}, store);
    dialog.OnCommand(IDC_UNIT_MIL);
    EXPECT_EQ(Ticked(dialog, kUnits), QStringList{"1176"});
    EXPECT_EQ(store.storedUnit, "mil");
    dialog.OnCommand(IDC_UNIT_INCH);
    EXPECT_EQ(Ticked(dialog, kUnits), QStringList{"1172"});
    dialog.OnCommand(IDC_DECIMAL_2);
    EXPECT_EQ(store.storedDecimal, 2);
    EXPECT_EQ(store.storedUnit, "inch");
    dialog.OnCommand(IDC_FORMAT_BMP);
    EXPECT_EQ(store.storedFormat, 1);
    EXPECT_FALSE(dialog.Box(IDC_FORMAT_JPG)->isChecked());
    dialog.OnCommand(IDC_SETTING_CANCEL);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(store.storedUnit, "inch");
    EXPECT_EQ(store.values.count("Linewidth"), 0u);
    EXPECT_EQ(store.values.count("Linetype"), 0u);
}

TEST_F(PenSettingTest, LineTypeBoxesTickOneAndOkStoresTheType)
{
    CPenSettingDlg dialog({}, store);
    dialog.OnCommand(1157);
    EXPECT_EQ(Ticked(dialog, kTypes), QStringList{"1157"});
    dialog.WidthEdit()->setText("3");
    dialog.OnCommand(IDC_SETTING_OK);
    EXPECT_EQ(store.values["Linetype"], kPenDashDot);
    EXPECT_EQ(store.values["Linewidth"], 3);
}

TEST_F(PenSettingTest, WidthArrowsAndUpDownKeysStepWithinTheRange)
{
    CPenSettingDlg dialog({}, store);
    dialog.show();
    QTest::mouseClick(dialog.WidthArrow(true), Qt::LeftButton);
    EXPECT_EQ(dialog.WidthEdit()->text(), "2");
    QTest::keyClick(dialog.WidthEdit(), Qt::Key_Up);
    QTest::keyClick(dialog.WidthEdit(), Qt::Key_Up);
    EXPECT_EQ(dialog.WidthEdit()->text(), "3"); // the top of the range holds
    QTest::keyClick(dialog.WidthEdit(), Qt::Key_Down);
    EXPECT_EQ(dialog.WidthEdit()->text(), "2");
    dialog.WidthEdit()->setText("abc");
    QTest::mouseClick(dialog.WidthArrow(false), Qt::LeftButton);
    EXPECT_EQ(dialog.WidthEdit()->text(), "1");
    QTest::mouseClick(dialog.WidthArrow(true), Qt::LeftButton);
    dialog.OnCommand(IDC_SETTING_OK);
    EXPECT_EQ(store.values["Linewidth"], 2);
}

TEST_F(PenSettingTest, AbsurdWidthsAreRefusedWithTheRangeMessage)
{
    CPenSettingDlg dialog({}, store);
    dialog.show();
    for (const QString bad : {"0", "4", "-1", "abc", "", "99999999999999999999"}) {
        dialog.WidthEdit()->setText(bad);
        dialog.repaint();
        dialog.OnCommand(IDC_SETTING_OK);
        EXPECT_TRUE(dialog.isVisible()) << bad.toStdString();
    }
    EXPECT_EQ(messages.texts, QStringList(6, "Please enter an integer between 1 and 3."));
    EXPECT_EQ(store.values.count("Linewidth"), 0u);
}

TEST_F(PenSettingTest, ColourAndFontAreStoredAsSoonAsChosen)
{
    std::vector<ColorRef> startColours;
    SettingsChoosers choosers;
    choosers.chooseColor = [&](QWidget*, ColorRef& color) {
        startColours.push_back(color);
        color = startColours.size() == 1 ? 0x00FF00 : 0x0000FF;
        return startColours.size() == 1; // the second time the user cancels
    };
    choosers.chooseFont = [](QWidget*, LogFontRecord& font, ColorRef& color) {
        font.height = -20;
        color = 0xFF0000;
        return true;
    };
    CPenSettingDlg dialog({}, store, choosers);
    dialog.OnCommand(IDC_PEN_COLOR);
    EXPECT_EQ(store.values["LineColor"], 0x00FF00);
    dialog.OnCommand(IDC_PEN_COLOR); // cancelled chooser: nothing stored again
    EXPECT_EQ(store.writes.count("LineColor"), 1);
    EXPECT_EQ(store.values["LineColor"], 0x00FF00);
    EXPECT_EQ(startColours, (std::vector<ColorRef>{255, 0x00FF00}));
    EXPECT_EQ(dialog.values().lineColor, 0x00FF00u);
    dialog.OnCommand(IDC_PEN_FONT);
    EXPECT_EQ(store.values["MeasureTxtColor"], 0xFF0000);
    dialog.OnCommand(IDC_SETTING_CANCEL);

    LabelFontRecord() = {};
    ASSERT_TRUE(ReadLabelFont());
    EXPECT_EQ(LabelFontRecord().height, -20);
    EXPECT_EQ(StoreLabelFontSize(store, LabelFontRecord()), 20);
    EXPECT_EQ(store.values["fontsize"], 20);
}

TEST_F(PenSettingTest, HostStartsFromDefaultsWhenTheLabelFontCannotBeRead)
{
    testsupport::WriteFile(home.sub("program") + "/Measurefont.ini", "[FONT]\nLOGFONT=zz\n");
    const PenSettings host{3, kPenDash, 0x111111, 0x222222};
    const bool read = ReadLabelFontOrDefault();
    EXPECT_FALSE(read);
    const PenSettings start = PenDialogStart(host, read);
    EXPECT_EQ(start.width, 2);
    EXPECT_EQ(start.lineColor, 255u);
    EXPECT_EQ(start.labelColor, 255u);
    EXPECT_EQ(start.style, kPenDash);
    EXPECT_EQ(LabelFontRecord().height, DefaultMeasureFont().height);
    EXPECT_EQ(QString::fromUtf16(LabelFontRecord().faceName), "Arial");
    EXPECT_EQ(PenDialogStart(host, true).lineColor, 0x111111u);

    LogFontRecord huge{};
    huge.height = INT32_MIN;
    EXPECT_GT(LabelFontSizeOf(huge), 0);
}

TEST_F(PenSettingTest, TextDialogStoresFontAndColourAndKeepsTheText)
{
    store.storedTextColor = 0x00AA00;
    TextFontRecord() = DefaultMeasureFont();
    SettingsChoosers choosers;
    choosers.chooseFont = [](QWidget*, LogFontRecord& font, ColorRef& color) {
        EXPECT_EQ(color, 0x00AA00u);
        font.weight = 700;
        color = 0x0000AA;
        return true;
    };
    CTextSettingDlg dialog(store, choosers);
    EXPECT_EQ(dialog.windowTitle(), "Text");
    dialog.show();
    dialog.TextEdit()->setPlainText(QString(300, 'x'));
    EXPECT_EQ(dialog.text().size(), kMaxTextLength);
    dialog.TextEdit()->setPlainText("Scale bar");
    dialog.OnCommand(IDC_TEXT_FONT);
    dialog.repaint();
    EXPECT_EQ(store.values["fontcolor"], 0x0000AA);
    EXPECT_EQ(dialog.textColor(), 0x0000AAu);
    dialog.OnCommand(IDC_SETTING_OK);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.text(), "Scale bar");

    TextFontRecord() = {};
    EXPECT_TRUE(ReadTextFontOrDefault());
    EXPECT_EQ(TextFontRecord().weight, 700);
}

TEST(SettingsChoosers, ChosenFontBecomesARecordWithCharacterHeight)
{
    QFont font("DejaVu Sans");
    font.setPixelSize(20);
    font.setItalic(true);
    font.setWeight(QFont::Bold);
    const LogFontRecord record = LogFontFromFont(font, DefaultMeasureFont());
    EXPECT_EQ(record.height, -20);
    EXPECT_EQ(record.weight, 700);
    EXPECT_EQ(record.italic, 1);
    EXPECT_EQ(record.charSet, DefaultMeasureFont().charSet);
    EXPECT_EQ(QString::fromUtf16(record.faceName), "DejaVu Sans");
}

TEST(SettingsChoosers, TheFontDialogOffersTheColourOfTheLabel)
{
    // The user picks green in the colour chooser the font dialog opens, then OK.
    bool colourAsked = false;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* colours = qobject_cast<QColorDialog*>(modal)) {
            colours->setCurrentColor(QColor(0, 200, 0));
            colours->accept();
        } else if (auto* fonts = qobject_cast<FontColourDialog*>(modal); fonts && !colourAsked) {
            colourAsked = true;
            // Queued: the colour chooser's own loop must not run inside this timer.
            QMetaObject::invokeMethod(fonts->ColourButton(), &QPushButton::click, Qt::QueuedConnection);
        } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->accept();
        }
    });
    answer.start(20);
    LogFontRecord font = DefaultMeasureFont();
    ColorRef colour = 0x0000FF; // red
    ASSERT_TRUE(SettingsChoosers{}.WithDefaults().chooseFont(nullptr, font, colour));
    EXPECT_EQ(colour, 0x00C800u);
}

} // namespace
