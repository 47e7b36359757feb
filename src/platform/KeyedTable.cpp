#include "platform/KeyedTable.h"

int KeyedTable::add(const QString& key, const QString& text, const QStringList& subItems,
                    ListError* error) {
    if (!key.isEmpty() && contains(key)) {
        if (error)
            *error = ListErrors::keyNotUnique();
        return 0;
    }
    rows_.append({QString(), text, subItems});
    if (!key.isEmpty())
        setKey(count(), key);
    return count();
}

bool KeyedTable::setKey(int row, const QString& key, ListError* error) {
    Row& r = rows_[row - 1];
    const QString k = normalized(key);
    if (index_.contains(k) && index_.value(k) != row) {
        if (error)
            *error = ListErrors::keyNotUnique();
        return false;
    }
    if (!r.key.isEmpty())
        index_.remove(normalized(r.key));
    r.key = key;
    if (!key.isEmpty())
        index_.insert(k, row);
    return true;
}

void KeyedTable::remove(int row) {
    if (!rows_.at(row - 1).key.isEmpty())
        index_.remove(normalized(rows_.at(row - 1).key));
    rows_.removeAt(row - 1);
    reindexFrom(row);
}

void KeyedTable::reindexFrom(int row) {
    for (int i = row; i <= count(); ++i)
        if (!rows_.at(i - 1).key.isEmpty())
            index_[normalized(rows_.at(i - 1).key)] = i;
}

void KeyedTable::clear() {
    rows_.clear();
    index_.clear();
}

int KeyedTable::find(const QString& key) const {
    return index_.value(normalized(key), 0);
}

QString KeyedTable::subItem(int row, int index) const {
    const QStringList& items = rows_.at(row - 1).subItems;
    return index >= 1 && index <= items.size() ? items.at(index - 1) : QString();
}

void KeyedTable::setSubItem(int row, int index, const QString& value) {
    QStringList& items = rows_[row - 1].subItems;
    while (items.size() < index)
        items.append(QString());
    items[index - 1] = value;
}

QString KeyedTable::textOf(const QString& key) const {
    const int row = find(key);
    return row ? text(row) : QString();
}
