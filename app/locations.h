#pragma once

#include <QString>

// Where the window's error reports say the error happened: one fixed text
// for each guarded procedure of the main window.
namespace Location {
inline const QString FormLoad = QStringLiteral("in Brenlow2021/08/31.Form1.Form_Load ");
inline const QString PushButton1Click =
    QStringLiteral("in Brenlow2021/08/31.Form1.PushButton1_Click ");
inline const QString PushButton2Click =
    QStringLiteral("in Brenlow2021/08/31.Form1.PushButton2_Click ");
inline const QString PushButton3Click =
    QStringLiteral("in Brenlow2021/08/31.Form1.PushButton3_Click ");
inline const QString PushButton4Click =
    QStringLiteral("in Brenlow2021/08/31.Form1.PushButton4_Click ");
inline const QString PushButton8Click =
    QStringLiteral("in Brenlow2021/08/31.Form1.PushButton8_Click ");
inline const QString PushButton9Click =
    QStringLiteral("in Brenlow2021/08/31.Form1.PushButton9_Click ");
} // namespace Location
