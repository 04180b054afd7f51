#include "platform/office/CSpreadSheet.h"

#include "platform/files/AtomicFile.h"
#include "platform/office/OdbcSheet.h"
#include "platform/office/XlsxSheet.h"

#include <QFile>
#include <QSet>
#include <QStringDecoder>

namespace {

const char kXlsSeparator[] = ",;.?";
const char kBackupSheet[] = "CSpreadSheetBackup";
const char kLineEnd[] = "\r\n";
const char kCsvSeparator[] = ",";
const QChar kQuote = '"';

bool EndsWithLower(const QString& path, QLatin1String ending)
{
    return path.right(ending.size()).toLower() == ending;
}

bool NeedsCsvQuotes(const QString& field)
{
    return field.contains(QLatin1Char(',')) || field.contains(kQuote) || field.contains(QLatin1Char('\n')) ||
           field.contains(QLatin1Char('\r')) || field.startsWith(' ') || field.endsWith(' ');
}

bool IsUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    [[maybe_unused]] const QString text = decoder(bytes);
    return !decoder.hasError();
}

} // namespace

SpreadSheetMode CSpreadSheet::ModeFor(const QString& path)
{
    if (EndsWithLower(path, QLatin1String(".xls"))) {
        return SpreadSheetMode::Xls;
    }
    return EndsWithLower(path, QLatin1String(".xlsx")) ? SpreadSheetMode::Xlsx : SpreadSheetMode::Text;
}

CSpreadSheet::CSpreadSheet(const QString& path, const QString& name, bool backup)
    : m_path(path), m_mode(ModeFor(path)), m_backup(backup)
{
    if (m_mode == SpreadSheetMode::Text) {
        m_separator = name;
        if (name == QLatin1String(kCsvSeparator)) {
            m_mode = SpreadSheetMode::Csv;
        }
    } else {
        m_sheet = name;
        m_separator = QString::fromLatin1(kXlsSeparator);
    }
    Open();
}

QString CSpreadSheet::JoinFields(const QStringList& fields, const QString& separator)
{
    QString line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        line += '"' + fields[i] + '"';
        if (i + 1 < fields.size()) {
            line += separator;
        }
    }
    return line;
}

QStringList CSpreadSheet::SplitLine(const QString& line, const QString& separator)
{
    const QString cut = '"' + separator + '"';
    if (!line.contains(cut)) {
        const bool quoted = line.size() >= 2 && line.startsWith('"') && line.endsWith('"');
        return {quoted ? line.mid(1, line.size() - 2) : line};
    }
    QStringList fields = line.split(cut);
    if (fields.first().startsWith('"')) {
        fields.first().remove(0, 1);
    }
    if (fields.last().endsWith('"')) {
        fields.last().chop(1);
    }
    return fields;
}

QString CSpreadSheet::CsvLine(const QStringList& fields)
{
    QStringList cells;
    for (const QString& field : fields) {
        if (NeedsCsvQuotes(field)) {
            cells << kQuote + QString(field).replace(kQuote, QStringLiteral("\"\"")) + kQuote;
        } else {
            cells << field;
        }
    }
    return cells.join(QLatin1String(kCsvSeparator));
}

QStringList CSpreadSheet::SplitCsvLine(const QString& line)
{
    QStringList fields;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted) {
            if (c != kQuote) {
                field += c;
            } else if (i + 1 < line.size() && line[i + 1] == kQuote) {
                field += kQuote;
                ++i;
            } else {
                quoted = false;
            }
        } else if (c == kQuote) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            fields << field;
            field.clear();
        } else {
            field += c;
        }
    }
    fields << field;
    return fields;
}

QString CSpreadSheet::EncodeRow(const QStringList& fields) const
{
    return m_mode == SpreadSheetMode::Csv ? CsvLine(fields) : JoinFields(fields, m_separator);
}

QStringList CSpreadSheet::DecodeRow(const QString& line) const
{
    return m_mode == SpreadSheetMode::Csv ? SplitCsvLine(line) : SplitLine(line, m_separator);
}

void CSpreadSheet::Open()
{
    switch (m_mode) {
    case SpreadSheetMode::Xls:
        OpenXls();
        break;
    case SpreadSheetMode::Text:
    case SpreadSheetMode::Csv:
        OpenText();
        break;
    case SpreadSheetMode::Xlsx:
        // A workbook is not read back: it is written anew, the old one kept aside.
        m_read = QFile::exists(m_path);
        m_exists = false;
        break;
    }
    MakeBackup();
}

void CSpreadSheet::OpenXls()
{
    m_driver = FindExcelDriver();
    m_connection = XlsConnectionString(m_driver, m_path);
    if (m_driver.isEmpty()) {
        m_error = QStringLiteral("Error in opening file\n");
        return;
    }
    const XlsSheetContents contents = ReadXlsSheet(m_connection, m_sheet);
    if (!contents.connected) {
        m_error = QStringLiteral("Error in opening file\n");
        return;
    }
    m_read = true;
    if (!contents.exists) {
        return;
    }
    m_exists = true;
    m_headers = contents.headers;
    m_columns = int(m_headers.size());
    m_rows << JoinFields(m_headers, m_separator);
    for (const QStringList& record : contents.records) {
        m_rows << JoinFields(record, m_separator);
    }
}

void CSpreadSheet::OpenText()
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_error = QStringLiteral("Error in opening file\n");
        return;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        m_error = QStringLiteral("Error reading row\n");
        return;
    }
    m_read = true;
    m_exists = true;
    // Text in another encoding is carried byte for byte, so nothing of it is lost.
    m_bytewise = !IsUtf8(bytes);
    QStringList lines = (m_bytewise ? QString::fromLatin1(bytes) : QString::fromUtf8(bytes)).split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();
    }
    for (QString& line : lines) {
        if (line.endsWith('\r')) {
            line.chop(1);
        }
        m_rows << line;
    }
    if (!m_rows.isEmpty()) {
        m_headers = DecodeRow(m_rows.first());
        m_columns = int(m_headers.size());
    }
}

void CSpreadSheet::MakeBackup()
{
    if (!m_read || !m_backup) {
        m_backup = false;
        return;
    }
    bool made = false;
    switch (m_mode) {
    case SpreadSheetMode::Xls:
        made = !m_exists || CommitXls(QString::fromLatin1(kBackupSheet), true);
        break;
    case SpreadSheetMode::Text:
    case SpreadSheetMode::Csv:
    case SpreadSheetMode::Xlsx: {
        // The old file as it is, byte for byte.
        const QString bak = m_path + ".bak";
        QFile::remove(bak);
        made = QFile::copy(m_path, bak);
        break;
    }
    }
    m_backup = made;
}

bool CSpreadSheet::CheckXlsRow(const QStringList& fields, int row)
{
    if (row == 1) {
        QSet<QString> seen;
        for (const QString& field : fields) {
            if (seen.contains(field)) {
                m_error = QStringLiteral("Duplicate header row field:%1\n").arg(field);
                return false;
            }
            seen.insert(field);
        }
        if (fields.size() < m_columns) {
            m_error = QStringLiteral("Number of columns in new header row cannot be less than the number of "
                                     "columns in previous header row");
            return false;
        }
        return true;
    }
    if (m_columns == 0) {
        m_error = QStringLiteral("No header row. Add header row first\n");
        return false;
    }
    if (fields.size() > m_columns) {
        m_error =
            QStringLiteral("Number of columns to be added cannot be greater than the number of fields\n");
        return false;
    }
    return true;
}

bool CSpreadSheet::AddHeaders(const QStringList& fields, bool replace)
{
    QStringList headers = fields;
    if (m_exists && !replace) {
        QStringList existing;
        if (!m_rows.isEmpty()) {
            existing = DecodeRow(m_rows.first());
        }
        if (m_mode == SpreadSheetMode::Xls) {
            for (const QString& field : fields) {
                if (existing.contains(field)) {
                    m_error = QStringLiteral("Duplicate header row field:%1\n").arg(field);
                    return false;
                }
            }
        }
        headers = existing + fields;
    }
    if (!AddRow(headers, 1, true)) {
        m_error = QStringLiteral("Problems with adding headers\n");
        return false;
    }
    return true;
}

QString CSpreadSheet::FillerLine() const
{
    const QString empty = m_mode == SpreadSheetMode::Xls ? QStringLiteral(" ") : QString();
    return EncodeRow(QStringList(qMax(m_columns, 1), empty));
}

bool CSpreadSheet::AddRow(const QStringList& fields, int row, bool replace)
{
    if (row < 0) {
        return false;
    }
    const int target = row == 0 ? TotalRows() + 1 : row;
    if (m_mode == SpreadSheetMode::Xls && !CheckXlsRow(fields, target)) {
        return false;
    }
    if (target == 1) {
        m_headers = fields;
        m_columns = int(fields.size());
    }
    const QString line = EncodeRow(fields);
    if (target <= TotalRows()) {
        if (replace) {
            m_rows[target - 1] = line;
        } else {
            m_rows.insert(target - 1, line);
        }
    } else {
        while (TotalRows() < target - 1) {
            m_rows << FillerLine();
        }
        m_rows << line;
    }
    m_current = target;
    return m_transaction ? true : Commit();
}

bool CSpreadSheet::ReadRow(QStringList& fields, int row)
{
    const int target = row == 0 ? m_current + 1 : row;
    if (target < 1 || target > TotalRows()) {
        m_error = QStringLiteral("Desired row is greater than total number of rows in spreadsheet\n");
        return false;
    }
    fields = DecodeRow(m_rows[target - 1]);
    m_current = target;
    return true;
}

QList<QStringList> CSpreadSheet::DataRows() const
{
    QList<QStringList> rows;
    for (qsizetype i = 1; i < m_rows.size(); ++i) {
        rows << SplitLine(m_rows[i], m_separator);
    }
    return rows;
}

bool CSpreadSheet::Commit()
{
    bool written = false;
    switch (m_mode) {
    case SpreadSheetMode::Xls:
        written = CommitXls(m_sheet, false);
        if (written) {
            m_exists = true;
        }
        break;
    case SpreadSheetMode::Text:
    case SpreadSheetMode::Csv:
        written = CommitText(m_path);
        break;
    case SpreadSheetMode::Xlsx:
        written = CommitXlsx();
        break;
    }
    if (written) {
        m_transaction = false;
    }
    return written;
}

bool CSpreadSheet::CommitXls(const QString& sheet, bool dropFailureAllowed)
{
    return WriteXlsSheet(m_connection, sheet, m_exists, dropFailureAllowed, m_headers, DataRows(), m_error);
}

bool CSpreadSheet::CommitText(const QString& path)
{
    QByteArray bytes;
    for (const QString& line : m_rows) {
        bytes += (m_bytewise ? line.toLatin1() : line.toUtf8()) + kLineEnd;
    }
    // Written beside and renamed over: a full disk leaves the old file whole.
    if (!WriteFileAtomically(path, bytes)) {
        m_error = QStringLiteral("Error writing file\n");
        return false;
    }
    return true;
}

bool CSpreadSheet::CommitXlsx()
{
    QList<SheetRow> rows;
    for (const QString& line : m_rows) {
        rows << TextCells(SplitLine(line, m_separator));
    }
    QString reason;
    if (!WriteXlsxWorkbook(m_path, m_sheet, rows, reason)) {
        m_error = QStringLiteral("Error writing file\n") + reason;
        return false;
    }
    return true;
}
