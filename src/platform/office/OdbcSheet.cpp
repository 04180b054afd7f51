#include "platform/office/OdbcSheet.h"

#include <cstring>
#include <odbcinst.h>
#include <sql.h>
#include <sqlext.h>
#include <vector>

namespace {

constexpr int kDriverListChars = 2000;
constexpr int kFieldChars = 1024;
const char kSheetRange[] = "$A1:IV65536";

// Single quotes doubled, so a quote in a value cannot end the literal.
QString SqlLiteral(const QString& text)
{
    QString quoted = text;
    return "'" + quoted.replace('\'', QStringLiteral("''")) + "'";
}

// One connection for the life of the object.
class OdbcConnection {
public:
    OdbcConnection()
    {
        if (SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &m_env) != SQL_SUCCESS) {
            m_env = SQL_NULL_HENV;
            return;
        }
        SQLSetEnvAttr(m_env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
        if (SQLAllocHandle(SQL_HANDLE_DBC, m_env, &m_dbc) != SQL_SUCCESS) {
            m_dbc = SQL_NULL_HDBC;
        }
    }
    ~OdbcConnection()
    {
        if (m_connected) {
            SQLDisconnect(m_dbc);
        }
        if (m_dbc != SQL_NULL_HDBC) {
            SQLFreeHandle(SQL_HANDLE_DBC, m_dbc);
        }
        if (m_env != SQL_NULL_HENV) {
            SQLFreeHandle(SQL_HANDLE_ENV, m_env);
        }
    }
    OdbcConnection(const OdbcConnection&) = delete;
    OdbcConnection& operator=(const OdbcConnection&) = delete;

    // Connects without the driver's dialog.
    bool Connect(const QString& connection)
    {
        if (m_dbc == SQL_NULL_HDBC) {
            m_error = QStringLiteral("The ODBC driver manager could not be started");
            return false;
        }
        QByteArray text = connection.toUtf8();
        const SQLRETURN result =
            SQLDriverConnect(m_dbc, nullptr, reinterpret_cast<SQLCHAR*>(text.data()),
                             SQLSMALLINT(text.size()), nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT);
        m_connected = SQL_SUCCEEDED(result);
        if (!m_connected) {
            m_error = Diagnostic(SQL_HANDLE_DBC, m_dbc);
        }
        return m_connected;
    }

    // Runs one statement; with `rows` the result set is read into it.
    bool Execute(const QString& statement, QStringList* columns = nullptr, QList<QStringList>* rows = nullptr)
    {
        SQLHSTMT stmt = SQL_NULL_HSTMT;
        if (SQLAllocHandle(SQL_HANDLE_STMT, m_dbc, &stmt) != SQL_SUCCESS) {
            m_error = Diagnostic(SQL_HANDLE_DBC, m_dbc);
            return false;
        }
        QByteArray text = statement.toUtf8();
        bool ok = SQL_SUCCEEDED(
            SQLExecDirect(stmt, reinterpret_cast<SQLCHAR*>(text.data()), SQLINTEGER(text.size())));
        if (!ok) {
            m_error = Diagnostic(SQL_HANDLE_STMT, stmt);
        } else if (columns && rows) {
            ReadResult(stmt, *columns, *rows);
        }
        SQLFreeHandle(SQL_HANDLE_STMT, stmt);
        return ok;
    }

    QString Error() const { return m_error; }

private:
    static QString Diagnostic(SQLSMALLINT type, SQLHANDLE handle)
    {
        SQLCHAR state[6] = {};
        SQLCHAR message[SQL_MAX_MESSAGE_LENGTH] = {};
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        if (!SQL_SUCCEEDED(
                SQLGetDiagRec(type, handle, 1, state, &native, message, sizeof message, &length))) {
            return QStringLiteral("ODBC error");
        }
        return QString::fromUtf8(reinterpret_cast<const char*>(message));
    }

    static void ReadResult(SQLHSTMT stmt, QStringList& columns, QList<QStringList>& rows)
    {
        SQLSMALLINT count = 0;
        SQLNumResultCols(stmt, &count);
        for (SQLUSMALLINT c = 1; c <= SQLUSMALLINT(count); ++c) {
            SQLCHAR name[kFieldChars] = {};
            SQLSMALLINT length = 0;
            SQLDescribeCol(stmt, c, name, sizeof name, &length, nullptr, nullptr, nullptr, nullptr);
            columns << QString::fromUtf8(reinterpret_cast<const char*>(name));
        }
        while (SQL_SUCCEEDED(SQLFetch(stmt))) {
            QStringList fields;
            for (SQLUSMALLINT c = 1; c <= SQLUSMALLINT(count); ++c) {
                SQLCHAR value[kFieldChars] = {};
                SQLLEN indicator = 0;
                SQLGetData(stmt, c, SQL_C_CHAR, value, sizeof value, &indicator);
                fields << (indicator == SQL_NULL_DATA
                               ? QString()
                               : QString::fromUtf8(reinterpret_cast<const char*>(value)));
            }
            rows << fields;
        }
    }

    SQLHENV m_env = SQL_NULL_HENV;
    SQLHDBC m_dbc = SQL_NULL_HDBC;
    bool m_connected = false;
    QString m_error;
};

} // namespace

QString FindExcelDriver()
{
    std::vector<char> names(kDriverListChars, '\0');
    WORD used = 0;
    if (!SQLGetInstalledDrivers(names.data(), WORD(names.size() - 1), &used)) {
        return {};
    }
    // Names separated by NULs, the list ended by an empty name.
    for (size_t at = 0; at < names.size() && names[at] != '\0';) {
        const char* name = &names[at];
        if (std::strstr(name, "Excel") != nullptr) {
            return QString::fromLocal8Bit(name);
        }
        at += std::strlen(name) + 1;
    }
    return {};
}

QString XlsConnectionString(const QString& driver, const QString& path)
{
    return QStringLiteral("DRIVER={%1};DSN='';FIRSTROWHASNAMES=1;READONLY=FALSE;CREATE_DB=\"%2\";DBQ=%2")
        .arg(driver, path);
}

XlsSheetContents ReadXlsSheet(const QString& connection, const QString& sheet)
{
    XlsSheetContents contents;
    OdbcConnection db;
    if (!db.Connect(connection)) {
        contents.error = db.Error();
        return contents;
    }
    contents.connected = true;
    const QString select = QStringLiteral("SELECT * FROM [%1%2]").arg(sheet, QLatin1String(kSheetRange));
    contents.exists = db.Execute(select, &contents.headers, &contents.records);
    return contents;
}

QString XlsDropStatement(const QString& sheet)
{
    return QStringLiteral("DROP TABLE [%1%2]").arg(sheet, QLatin1String(kSheetRange));
}

QString XlsCreateStatement(const QString& sheet, const QStringList& headers, bool sheetExists)
{
    QString statement = sheetExists
                            ? QStringLiteral("CREATE TABLE [%1%2] (").arg(sheet, QLatin1String(kSheetRange))
                            : QStringLiteral("CREATE TABLE [%1] (").arg(sheet);
    QStringList columns;
    for (const QString& header : headers) {
        columns << "[" + header + "] char(255)";
    }
    return statement + columns.join(QStringLiteral(", ")) + ")";
}

QString XlsInsertStatement(const QString& sheet, int row, const QStringList& headers,
                           const QStringList& fields)
{
    QStringList columns;
    for (const QString& header : headers) {
        columns << "[" + header + "]";
    }
    QStringList values;
    for (const QString& field : fields) {
        values << SqlLiteral(field);
    }
    return QStringLiteral("INSERT INTO [%1$A1:IV%2] (").arg(sheet).arg(row) +
           columns.join(QStringLiteral(", ")) + ") VALUES (" + values.join(QStringLiteral(", ")) + ")";
}

bool WriteXlsSheet(const QString& connection, const QString& sheet, bool sheetExists, bool dropFailureAllowed,
                   const QStringList& headers, const QList<QStringList>& rows, QString& error)
{
    OdbcConnection db;
    if (!db.Connect(connection)) {
        error = db.Error();
        return false;
    }
    bool recreate = sheetExists;
    if (sheetExists && !db.Execute(XlsDropStatement(sheet))) {
        if (!dropFailureAllowed) {
            error = db.Error();
            return false;
        }
        recreate = false;
    }
    if (!db.Execute(XlsCreateStatement(sheet, headers, recreate))) {
        error = db.Error();
        return false;
    }
    for (qsizetype h = 0; h < rows.size(); ++h) {
        if (!db.Execute(XlsInsertStatement(sheet, int(h + 1), headers, rows[h]))) {
            error = db.Error();
            return false;
        }
    }
    return true;
}
