#pragma once

#include <QSettings>
#include <QString>
#include <QVariant>

// The per-user settings: text values under application "Velmora", section
// "Tarnwick". The file's location is injected so tests use their own.
class SettingsStore {
public:
    explicit SettingsStore(const QString& iniFile);
    // $XDG_CONFIG_HOME/Velmora/Tarnwick.conf (default ~/.config).
    static QString DefaultLocation();

    // The stored text, or the default's text form when the key is absent.
    QString GetSetting(const QString& key, const QVariant& defaultValue) const;
    // Written through to disk before it returns: the program may end at any
    // moment.
    void SaveSetting(const QString& key, const QString& text);

private:
    mutable QSettings settings_;
};
