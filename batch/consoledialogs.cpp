#include "consoledialogs.h"

#include <cstdio>

MessageAnswer ConsoleDialogs::message(const QString& text, const QString& caption,
                                      MessageButtons buttons, MessageIcon)
{
    // Message boxes break lines with "\r" too; a terminal would overwrite.
    QString oneLine = text.simplified();
    std::fprintf(stderr, "tarnwick: %s: %s\n", qPrintable(caption), qPrintable(oneLine));
    return buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
}
