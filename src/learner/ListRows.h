#pragma once

#include <QString>
#include <QStringList>

// Row operations for any keyed list with rows from 1, a text and sub-items
// (ListView, KeyedTable).

// Exchanges two rows completely: key, text and sub-items 1 to
// `subItemCount`. Keys stay unique while the rows swap, so one row holds a
// temporary key; list keys made by the program never take that form.
template <typename List> void swapRows(List& list, int rowA, int rowB, int subItemCount) {
    const QString keyA = list.key(rowA);
    const QString keyB = list.key(rowB);
    const QString textA = list.text(rowA);
    QStringList itemsA;
    for (int i = 1; i <= subItemCount; ++i)
        itemsA << list.subItem(rowA, i);
    list.setKey(rowB, QStringLiteral("_kyz_"));
    list.setKey(rowA, keyB);
    list.setText(rowA, list.text(rowB));
    for (int i = 1; i <= subItemCount; ++i)
        list.setSubItem(rowA, i, list.subItem(rowB, i));
    list.setKey(rowB, keyA);
    list.setText(rowB, textA);
    for (int i = 1; i <= subItemCount; ++i)
        list.setSubItem(rowB, i, itemsA.at(i - 1));
}
