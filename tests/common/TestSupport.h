#pragma once
// Helpers shared by the test binaries: temporary folders that stand in for the
// user's config, documents and program folders.
#include <QString>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

class QWidget;

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

// While a modal dialog or popup menu runs its own loop: polls every 10 ms for
// `find` to give a widget, then hands it to `act` once.
class ActWhenShown {
public:
    ActWhenShown(std::function<QWidget*()> find, std::function<void(QWidget*)> act);

private:
    QTimer m_timer;
};

// True in a sanitizer build, where the code runs several times slower: figures of
// accuracy over many cases are measured in the release build, and the sanitizer
// build runs a sample of the same cases for the faults it looks for.
// GCC names the sanitizers with macros, clang answers __has_feature.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define PELORA_TESTS_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define PELORA_TESTS_SANITIZED 1
#endif
#endif
constexpr bool kSanitizerBuild =
#if defined(PELORA_TESTS_SANITIZED)
    true;
#else
    false;
#endif

// Folder of test fixture files (tests/fixtures).
QString FixturePath(const QString& name);

// Writes bytes to a file, creating parent folders; returns false on failure.
bool WriteFile(const QString& path, const QByteArray& bytes);
QByteArray ReadFile(const QString& path);

} // namespace testsupport
