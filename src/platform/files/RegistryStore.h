#pragma once
// Per-user registry: typed values (DWORD, string) in subkeys of a key. Each key is
// one file under $XDG_CONFIG_HOME/Pelora/registry (a key "SOFTWARE\\X" is the file
// SOFTWARE/X.reg); each subkey is a section of it. Every change replaces the file
// as a whole, so a crash never leaves half a file behind.
#include <QString>
#include <cstdint>

namespace registry {

// File that holds `key`; empty when the key name is unusable (empty parts, "..").
QString KeyFilePath(const QString& key);

// True when the key exists (it was created and not deleted since).
bool KeyExists(const QString& key);
// Creates the key and the subkey if they are missing. True on success.
bool CreateSubkey(const QString& key, const QString& subkey);
// Removes the key with all its subkeys and values. True when it is gone.
bool DeleteKey(const QString& key);

// Reads fail (false, `value` untouched) when the key, the subkey or the value is
// missing or holds the other type. Names are matched without regard to case.
bool ReadDword(const QString& key, const QString& subkey, const QString& name, uint32_t& value);
// A string is cut at an embedded NUL and to capacity - 1 characters.
bool ReadString(const QString& key, const QString& subkey, const QString& name, QString& value, int capacity);

// Writes create the key and subkey when needed. True on success.
bool WriteDword(const QString& key, const QString& subkey, const QString& name, uint32_t value);
bool WriteString(const QString& key, const QString& subkey, const QString& name, const QString& value);
bool DeleteValue(const QString& key, const QString& subkey, const QString& name);

} // namespace registry
