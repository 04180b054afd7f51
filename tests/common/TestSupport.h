#pragma once
// Helpers shared by the test binaries: temporary folders that stand in for the
// user's config, documents and program folders.
#include <QString>
#include <QTemporaryDir>

namespace testsupport {

// Points $XDG_CONFIG_HOME, $XDG_DATA_HOME and $HOME at fresh temporary folders for
// the lifetime of the object, so settings and documents never touch the real user.
class TempHome {
public:
    TempHome();
    ~TempHome();
    QString path() const { return m_dir.path(); }
    QString sub(const QString& name) const;

private:
    QTemporaryDir m_dir;
    QByteArray m_oldConfig, m_oldData, m_oldHome;
};

// Folder of test fixture files (tests/fixtures).
QString FixturePath(const QString& name);

// Writes bytes to a file, creating parent folders; returns false on failure.
bool WriteFile(const QString& path, const QByteArray& bytes);
QByteArray ReadFile(const QString& path);

} // namespace testsupport
