#include "capture/dialogs/CTimerCaptureDlg.h"

#include "capture/CaptureState.h"
#include "capture/CaptureTexts.h"
#include "capture/dialogs/TimeLapseIds.h"
#include "platform/desktop/MessageBox.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

using FieldRange = CTimerCaptureDlg::FieldRange;

// Shortest interval; the box names the seconds the interval edit takes.
constexpr int kShortestIntervalSeconds = 3;
const char* const kIntervalTooShort = "3 - 59";

constexpr int kInitialIntervalMinutes = 0;
constexpr int kInitialIntervalSeconds = 3;
constexpr int kInitialCount = 8;

// The start time takes only times a clock can show (hour 24, minute 60 or second
// 60 would never come, and the series would wait for ever); its day is checked
// against the month's length when it is read.
constexpr FieldRange kFieldRanges[] = {
    {IDC_START_YEAR, 2008, 2032},   {IDC_START_MONTH, 1, 12},      {IDC_START_DAY, 1, 31},
    {IDC_START_HOUR, 0, 23},        {IDC_START_MINUTE, 0, 59},     {IDC_START_SECOND, 0, 59},
    {IDC_INTERVAL_MINUTES, 0, 999}, {IDC_INTERVAL_SECONDS, 0, 60}, {IDC_PICTURE_COUNT, 1, 200},
};

struct LabelText {
    int id;
    const TextKey& text;
};
const LabelText kLabelTexts[] = {
    {IDC_YEAR_LABEL, txt::Year},
    {IDC_MONTH_LABEL, txt::Month},
    {IDC_DAY_LABEL, txt::Day},
    {IDC_HOUR_LABEL, txt::Hour},
    {IDC_MINUTE_LABEL, txt::Minute},
    {IDC_SECOND_LABEL, txt::seconds},
    {IDC_INTERVAL_MINUTE_LABEL, txt::Minute},
    {IDC_INTERVAL_SECOND_LABEL, txt::seconds},
    {IDC_COMPLETED_LABEL, txt::Completed},
    {IDC_COUNT_FRAME_LABEL, txt::Frame},
    {IDC_COMPLETED_FRAME_LABEL, txt::Frame},
    {IDC_FILE_SIZE_LABEL, txt::FileSize},
};

template <class T> T* Named(T* widget, int id)
{
    widget->setObjectName(QString::number(id));
    return widget;
}

// The number an edit's text reads as: leading blanks, a sign and digits; 0 when
// there are none.
int LeadingNumber(const QString& text)
{
    const QString trimmed = text.trimmed();
    qsizetype end = 0;
    if (end < trimmed.size() && (trimmed[end] == '-' || trimmed[end] == '+')) {
        ++end;
    }
    while (end < trimmed.size() && trimmed[end].isDigit() && end < 10) {
        ++end;
    }
    return trimmed.left(end).toInt();
}

const FieldRange* RangeOf(int id)
{
    for (const FieldRange& range : kFieldRanges) {
        if (range.id == id) {
            return &range;
        }
    }
    return nullptr;
}

} // namespace

CTimerCaptureDlg::CTimerCaptureDlg(const TextKey& captureLabel, QWidget* parent, TimeLapseSeams seams)
    : QDialog(parent), m_clock(seams.clock != nullptr ? *seams.clock : SystemTimeLapseClock()),
      m_requestStill(std::move(seams.requestStill)), m_liveFrame(std::move(seams.liveFrame)),
      m_worker(m_clock)
{
    setObjectName(QString::number(IDD_TIMER_CAPTURE));
    BuildControls(captureLabel);
    ShowStartTime();
    Edit(IDC_INTERVAL_MINUTES)->setText(QString::number(kInitialIntervalMinutes));
    Edit(IDC_INTERVAL_SECONDS)->setText(QString::number(kInitialIntervalSeconds));
    Edit(IDC_PICTURE_COUNT)->setText(QString::number(kInitialCount));
    UpdateEstimate();
}

CTimerCaptureDlg::~CTimerCaptureDlg()
{
    m_worker.StopAndWait();
}

void CTimerCaptureDlg::BuildControls(const TextKey& captureLabel)
{
    setWindowTitle(LoadText(txt::CaptureSetting));
    std::map<int, QLabel*> labels;
    const auto addField = [&](QGridLayout* grid, int row, int editId, int labelId) {
        auto* edit = Named(new QLineEdit(this), editId);
        m_edits[editId] = edit;
        labels[labelId] = Named(new QLabel(this), labelId);
        grid->addWidget(edit, row, 0);
        grid->addWidget(labels[labelId], row, 1);
    };

    auto* layout = new QVBoxLayout(this);
    auto* startGroup = Named(new QGroupBox(LoadText(txt::StartTime), this), IDC_START_TIME_GROUP);
    auto* startGrid = new QGridLayout(startGroup);
    addField(startGrid, 0, IDC_START_YEAR, IDC_YEAR_LABEL);
    addField(startGrid, 1, IDC_START_MONTH, IDC_MONTH_LABEL);
    addField(startGrid, 2, IDC_START_DAY, IDC_DAY_LABEL);
    addField(startGrid, 3, IDC_START_HOUR, IDC_HOUR_LABEL);
    addField(startGrid, 4, IDC_START_MINUTE, IDC_MINUTE_LABEL);
    addField(startGrid, 5, IDC_START_SECOND, IDC_SECOND_LABEL);
    layout->addWidget(startGroup);

    auto* intervalGroup = Named(new QGroupBox(LoadText(txt::Interval), this), IDC_INTERVAL_GROUP);
    auto* intervalGrid = new QGridLayout(intervalGroup);
    addField(intervalGrid, 0, IDC_INTERVAL_MINUTES, IDC_INTERVAL_MINUTE_LABEL);
    addField(intervalGrid, 1, IDC_INTERVAL_SECONDS, IDC_INTERVAL_SECOND_LABEL);
    layout->addWidget(intervalGroup);

    auto* captureGroup = Named(new QGroupBox(LoadText(captureLabel), this), IDC_CAPTURE_GROUP);
    auto* captureGrid = new QGridLayout(captureGroup);
    addField(captureGrid, 0, IDC_PICTURE_COUNT, IDC_COUNT_FRAME_LABEL);
    m_completed = Named(new QLabel(QStringLiteral("0"), this), IDC_COMPLETED_COUNT);
    labels[IDC_COMPLETED_LABEL] = Named(new QLabel(this), IDC_COMPLETED_LABEL);
    labels[IDC_COMPLETED_FRAME_LABEL] = Named(new QLabel(this), IDC_COMPLETED_FRAME_LABEL);
    captureGrid->addWidget(labels[IDC_COMPLETED_LABEL], 1, 0);
    captureGrid->addWidget(m_completed, 1, 1);
    captureGrid->addWidget(labels[IDC_COMPLETED_FRAME_LABEL], 1, 2);
    m_estimate = Named(new QLabel(this), IDC_FILE_SIZE);
    labels[IDC_FILE_SIZE_LABEL] = Named(new QLabel(this), IDC_FILE_SIZE_LABEL);
    captureGrid->addWidget(labels[IDC_FILE_SIZE_LABEL], 2, 0);
    captureGrid->addWidget(m_estimate, 2, 1);
    layout->addWidget(captureGroup);
    for (const LabelText& label : kLabelTexts) {
        labels[label.id]->setText(LoadText(label.text));
    }

    auto* buttons = new QHBoxLayout;
    m_start = Named(new QPushButton(LoadText(txt::Start), this), IDC_TIMER_START);
    auto* cancel = Named(new QPushButton(LoadText(txt::Cancel), this), IDC_TIMER_CANCEL);
    m_start->setAutoDefault(false);
    cancel->setAutoDefault(false);
    buttons->addWidget(m_start);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(m_start, &QPushButton::clicked, this, [this] { OnCommand(IDC_TIMER_START); });
    connect(cancel, &QPushButton::clicked, this, [this] { OnCommand(IDC_TIMER_CANCEL); });
    Edit(IDC_PICTURE_COUNT)->installEventFilter(this);
}

QLineEdit* CTimerCaptureDlg::Edit(int id) const
{
    const auto it = m_edits.find(id);
    return it != m_edits.end() ? it->second : nullptr;
}

int CTimerCaptureDlg::DoModal()
{
    exec();
    return IDCANCEL;
}

void CTimerCaptureDlg::OnCommand(int id)
{
    if (id == IDC_TIMER_START) {
        OnStartStop();
    } else if (id == IDC_TIMER_CANCEL) {
        OnCancel();
    }
}

void CTimerCaptureDlg::ShowStartTime()
{
    const TimeFields now = FieldsOf(m_clock.Now());
    Edit(IDC_START_YEAR)->setText(QString::number(now.year));
    Edit(IDC_START_MONTH)->setText(QString::number(now.month));
    Edit(IDC_START_DAY)->setText(QString::number(now.day));
    Edit(IDC_START_HOUR)->setText(QString::number(now.hour));
    Edit(IDC_START_MINUTE)->setText(QString::number(now.minute));
    Edit(IDC_START_SECOND)->setText(QString::number(now.second));
}

void CTimerCaptureDlg::UpdateEstimate()
{
    bool ok = false;
    const int count = Edit(IDC_PICTURE_COUNT)->text().trimmed().toInt(&ok);
    const FieldRange* range = RangeOf(IDC_PICTURE_COUNT);
    if (ok && count >= range->low && count <= range->high && m_liveFrame) {
        const TimeLapseFrameInfo frame = m_liveFrame();
        m_estimate->setText(TimeLapseSizeEstimate(count, frame.frameBytes, frame.deviceClass));
    }
}

bool CTimerCaptureDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Edit(IDC_PICTURE_COUNT) && event->type() == QEvent::FocusOut) {
        UpdateEstimate();
    }
    return QDialog::eventFilter(watched, event);
}

void CTimerCaptureDlg::OnStartStop()
{
    // The interval is checked on every press, Stop included.
    if (LeadingNumber(Edit(IDC_INTERVAL_MINUTES)->text()) == 0 &&
        LeadingNumber(Edit(IDC_INTERVAL_SECONDS)->text()) < kShortestIntervalSeconds) {
        ShowMessage(this, QString::fromLatin1(kIntervalTooShort), LoadText(txt::MsgTitle), MB_OK);
        return;
    }
    if (m_started) {
        OnStop();
    } else {
        OnStart();
    }
}

void CTimerCaptureDlg::OnStop()
{
    m_completed->setText(QStringLiteral("0"));
    m_worker.Stop();
    m_started = false;
    m_start->setText(LoadText(txt::Start));
}

bool CTimerCaptureDlg::ReadField(int id, int& value)
{
    return ReadInRange(*RangeOf(id), value);
}

bool CTimerCaptureDlg::ReadInRange(const FieldRange& range, int& value)
{
    QLineEdit* edit = Edit(range.id);
    bool ok = false;
    value = edit->text().trimmed().toInt(&ok);
    if (ok && value >= range.low && value <= range.high) {
        return true;
    }
    ShowMessage(this, LoadText(txt::IntegerRange).arg(range.low).arg(range.high), LoadText(txt::MsgTitle),
                MB_OK | MB_ICONWARNING);
    edit->setFocus();
    edit->selectAll();
    return false;
}

bool CTimerCaptureDlg::ReadPlan(TimeLapsePlan& plan)
{
    TimeFields& start = plan.start;
    if (!ReadField(IDC_START_YEAR, start.year) || !ReadField(IDC_START_MONTH, start.month)) {
        return false;
    }
    const FieldRange day{IDC_START_DAY, RangeOf(IDC_START_DAY)->low, DaysInMonth(start.year, start.month)};
    return ReadInRange(day, start.day) && ReadField(IDC_START_HOUR, start.hour) &&
           ReadField(IDC_START_MINUTE, start.minute) && ReadField(IDC_START_SECOND, start.second) &&
           ReadField(IDC_INTERVAL_MINUTES, plan.intervalMinutes) &&
           ReadField(IDC_INTERVAL_SECONDS, plan.intervalSeconds) && ReadField(IDC_PICTURE_COUNT, plan.count);
}

void CTimerCaptureDlg::OnStart()
{
    TimeLapsePlan plan;
    if (!ReadPlan(plan)) {
        return;
    }
    UpdateEstimate();
    if (plan.start < FieldsOf(m_clock.Now())) {
        ShowMessage(this, LoadText(txt::SET_TIMER_FAIL), LoadText(txt::MsgTitle), MB_OK);
        return;
    }
    ++m_series;
    if (!m_worker.Start(plan, CallbacksForSeries())) {
        return;
    }
    m_started = true;
    m_start->setText(LoadText(txt::Stop));
}

TimeLapseCallbacks CTimerCaptureDlg::CallbacksForSeries()
{
    // The worker never waits for this thread: its notices are posted, and a
    // notice of a series that was stopped in the meantime is dropped.
    const int series = m_series;
    TimeLapseCallbacks callbacks;
    callbacks.requestStill = m_requestStill;
    callbacks.completed = [this, series](int done) {
        QMetaObject::invokeMethod(
            this,
            [this, series, done] {
                if (series == m_series && m_started) {
                    m_completed->setText(QString::number(done));
                }
            },
            Qt::QueuedConnection);
    };
    callbacks.seriesComplete = [this, series] {
        QMetaObject::invokeMethod(
            this,
            [this, series] {
                if (series == m_series && m_started) {
                    OnCancel();
                }
            },
            Qt::QueuedConnection);
    };
    return callbacks;
}

void CTimerCaptureDlg::reject()
{
    OnCancel();
}

void CTimerCaptureDlg::OnCancel()
{
    m_worker.StopAndWait();
    m_started = false;
    QDialog::reject();
}
