#include "settingsstore.h"

#include "errors.h"

#include <QSettings>
#include <QStandardPaths>

namespace {
const QString Section = QStringLiteral("Tarnwick");
} // namespace

SettingsStore::SettingsStore(const QString& iniFile) : file_(iniFile) {}

QString SettingsStore::DefaultLocation()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Velmora/Tarnwick.conf");
}

QString SettingsStore::GetSetting(const SettingKey& key) const
{
    return GetSetting(key, key.defaultText);
}

QString SettingsStore::GetSetting(const SettingKey& key, const QString& defaultText) const
{
    const QString path = Section + u'/' + key.name;
    const QSettings& store = settings();
    if (store.status() != QSettings::NoError || !store.contains(path))
        return defaultText;
    const QVariant value = store.value(path);
    // An unquoted comma in a hand-edited file reads as a list.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

void SettingsStore::SaveSetting(const SettingKey& key, const QString& text)
{
    QSettings& store = settings();
    const QString path = Section + u'/' + key.name;
    // Writing the text that is already stored would change nothing on disk.
    // sync() first picks up what another Tarnwick may have written.
    store.sync();
    if (store.status() == QSettings::NoError && store.contains(path) &&
        store.value(path).typeId() == QMetaType::QString && store.value(path).toString() == text)
        return;
    store.setValue(path, text);
    store.sync();
    // The status keeps an error met while reading the old content (a
    // damaged file), though the write replaced it: only the file tells.
    if (store.status() != QSettings::NoError && !onDisk(path, text))
        throw TarnwickError(
            QStringLiteral("The setting %1 could not be saved in %2.").arg(key.name, file_));
}

bool SettingsStore::onDisk(const QString& path, const QString& text) const
{
    const QSettings written(file_, QSettings::IniFormat);
    return written.status() == QSettings::NoError && written.contains(path) &&
           written.value(path).toString() == text;
}

QSettings& SettingsStore::settings() const
{
    if (!settings_ || settings_->status() != QSettings::NoError)
        settings_ = std::make_unique<QSettings>(file_, QSettings::IniFormat);
    return *settings_;
}

bool ToTruth(const QString& text)
{
    if (text.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QStringLiteral("False"), Qt::CaseInsensitive) == 0)
        return false;
    bool isNumber = false;
    const double number = text.trimmed().toDouble(&isNumber);
    if (!isNumber)
        throw TarnwickError(QStringLiteral("Type mismatch"), TypeMismatch);
    return number != 0;
}

QString TruthText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}
