#pragma once
// The text form of one registry key file:
//   [subkey]
//   "name"=dword:000000ff
//   "name"="text with \"escapes\""
// Lines that do not parse are dropped; the first of duplicate names wins.
#include <QList>
#include <QString>
#include <cstdint>

struct RegistryValue {
    QString name;
    bool isDword = false;
    uint32_t dword = 0;
    QString text;
};

struct RegistrySubkey {
    QString name;
    QList<RegistryValue> values;
    RegistryValue* Find(const QString& valueName);
};

struct RegistryFile {
    QList<RegistrySubkey> subkeys;
    RegistrySubkey* Find(const QString& subkeyName);
    RegistrySubkey& FindOrAdd(const QString& subkeyName);
};

RegistryFile ParseRegistryFile(const QString& text);
QString FormatRegistryFile(const RegistryFile& file);
