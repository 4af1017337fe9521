#pragma once

#include <QStringList>
#include <QStringView>

// The order in which a file manager lists a folder: letters without regard
// to case, runs of digits by their value (Q1, Q2, Q10). Names that differ
// only in case or in leading zeros still get a fixed order.
int CompareNames(QStringView a, QStringView b);
void SortByName(QStringList& names);
