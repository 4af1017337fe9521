#pragma once

#include "settingkeys.h"

#include <QSettings>
#include <QString>

#include <memory>

// The per-user settings: text values under application "Velmora", section
// "Tarnwick". The file's location is injected so that tests use their own.
class SettingsStore {
public:
    explicit SettingsStore(const QString& iniFile);
    // $XDG_CONFIG_HOME/Velmora/Tarnwick.conf (default ~/.config).
    static QString DefaultLocation();

    // The stored text, or the key's default when the key is absent. A store
    // that cannot be read gives the defaults.
    QString GetSetting(const SettingKey& key) const;
    // The same with a default known only at run time (the desktop folder).
    QString GetSetting(const SettingKey& key, const QString& defaultText) const;
    // On disk before it returns: the program may end at any moment. A write
    // that fails raises a TarnwickError naming the key and the file.
    void SaveSetting(const SettingKey& key, const QString& text);

    const QString& fileName() const { return file_; }

private:
    // QSettings reports the first error it ever met, so after an error the
    // next call starts with a fresh one.
    QSettings& settings() const;
    // True when the file holds `text` under `path`.
    bool onDisk(const QString& path, const QString& text) const;

    QString file_;
    mutable std::unique_ptr<QSettings> settings_;
};

// A stored truth value: "True"/"False" in any letter case, or a number (0 is
// false, any other number true). Anything else raises "Type mismatch".
bool ToTruth(const QString& text);
// The text form in which truth values are stored.
QString TruthText(bool value);
