#pragma once

#include <QString>

// Every key of the settings store, with the text it reads as while absent.
// Names and stored texts are what users' settings files hold already: they
// never change.
struct SettingKey {
    QString name;
    QString defaultText;
};

namespace Setting {
// The output folder as the text box holds it. Its default, the desktop
// folder, is known only at run time: readers pass it to GetSetting.
inline const SettingKey Text1{QStringLiteral("Text1"), QString()};
// "True"/"False": which output option is selected; defaults in number form.
inline const SettingKey Option1{QStringLiteral("Option1"), QStringLiteral("1")};
inline const SettingKey Option2{QStringLiteral("Option2"), QStringLiteral("0")};
// The folders last chosen with the output-folder button and for the scan.
inline const SettingKey LastFolderDot{QStringLiteral("LastFolderDot"), QString()};
inline const SettingKey LastFolder{QStringLiteral("LastFolder"), QString()};
// The extension last typed for the folder scan, as typed.
inline const SettingKey Extension{QStringLiteral("Extension"), QStringLiteral("*")};
// The recorded sample files: full paths, each ended by NUL (earlier
// versions joined them by "|").
inline const SettingKey Snapshot{QStringLiteral("Snapshot"), QString()};
} // namespace Setting
