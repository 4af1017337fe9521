#include "settingsstore.h"

#include "errors.h"

#include <QSettings>
#include <QStandardPaths>

namespace {
const QString Section = QStringLiteral("Tarnwick");
constexpr int TypeMismatch = 13;
} // namespace

SettingsStore::SettingsStore(const QString& iniFile) : file_(iniFile) {}

QString SettingsStore::DefaultLocation()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Velmora/Tarnwick.conf");
}

QString SettingsStore::GetSetting(const QString& key, const QVariant& defaultValue) const
{
    const QString fallback = defaultValue.typeId() == QMetaType::Bool
                                 ? TruthText(defaultValue.toBool())
                                 : defaultValue.toString();
    const QString path = Section + u'/' + key;
    const QSettings settings(file_, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError || !settings.contains(path))
        return fallback;
    const QVariant value = settings.value(path);
    // An unquoted comma in a hand-edited file reads as a list.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

void SettingsStore::SaveSetting(const QString& key, const QString& text)
{
    QSettings settings(file_, QSettings::IniFormat);
    settings.setValue(Section + u'/' + key, text);
    settings.sync();
    if (settings.status() != QSettings::NoError)
        throw TarnwickError(
            QStringLiteral("The setting %1 could not be saved in %2.").arg(key, file_));
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
