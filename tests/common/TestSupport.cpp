#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace testsupport {

TempHome::TempHome()
    : m_oldConfig(qgetenv("XDG_CONFIG_HOME")), m_oldData(qgetenv("XDG_DATA_HOME")), m_oldHome(qgetenv("HOME"))
{
    QDir().mkpath(sub("config"));
    QDir().mkpath(sub("data"));
    QDir().mkpath(sub("home/Documents"));
    qputenv("XDG_CONFIG_HOME", sub("config").toLocal8Bit());
    qputenv("XDG_DATA_HOME", sub("data").toLocal8Bit());
    qputenv("HOME", sub("home").toLocal8Bit());
}

TempHome::~TempHome()
{
    qputenv("XDG_CONFIG_HOME", m_oldConfig);
    qputenv("XDG_DATA_HOME", m_oldData);
    qputenv("HOME", m_oldHome);
}

QString TempHome::sub(const QString& name) const
{
    return m_dir.path() + "/" + name;
}

QString FixturePath(const QString& name)
{
    return QString::fromUtf8(PELORA_SOURCE_DIR) + "/tests/fixtures/" + name;
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    return f.write(bytes) == bytes.size();
}

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

ActWhenShown::ActWhenShown(std::function<QWidget*()> find, std::function<void(QWidget*)> act)
{
    m_timer.setInterval(10);
    QObject::connect(&m_timer, &QTimer::timeout, [this, find = std::move(find), act = std::move(act)] {
        if (QWidget* widget = find()) {
            m_timer.stop();
            act(widget);
        }
    });
    m_timer.start();
}

} // namespace testsupport
