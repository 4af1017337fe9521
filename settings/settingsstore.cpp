#include "settingsstore.h"

#include <QStandardPaths>

namespace {
const QString Section = QStringLiteral("Tarnwick");

QString textForm(const QVariant& value)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    return value.toString();
}
} // namespace

SettingsStore::SettingsStore(const QString& iniFile) : settings_(iniFile, QSettings::IniFormat) {}

QString SettingsStore::DefaultLocation()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Velmora/Tarnwick.conf");
}

QString SettingsStore::GetSetting(const QString& key, const QVariant& defaultValue) const
{
    const QString path = Section + u'/' + key;
    return settings_.contains(path) ? settings_.value(path).toString() : textForm(defaultValue);
}

void SettingsStore::SaveSetting(const QString& key, const QString& text)
{
    settings_.setValue(Section + u'/' + key, text);
    settings_.sync();
}
