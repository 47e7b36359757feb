#pragma once

#include "platform/ListError.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

// An ordered table of keyed rows of texts, numbered from 1: the text and any
// number of sub-items. Look-up by key takes constant time; a key is set
// once and is unique within the table.
class KeyedTable {
  public:
    explicit KeyedTable(Qt::CaseSensitivity keyCase = Qt::CaseSensitive) : keyCase_(keyCase) {}

    int count() const { return int(rows_.size()); }
    // Appends a row and returns its number; a key that another row has
    // refuses the whole row (0 is returned and `error` tells why).
    int add(const QString& key, const QString& text, const QStringList& subItems = {},
            ListError* error = nullptr);
    bool setKey(int row, const QString& key, ListError* error = nullptr);
    void remove(int row);
    void clear();

    int find(const QString& key) const; // 0 when absent
    bool contains(const QString& key) const { return find(key) != 0; }
    QString key(int row) const { return rows_.at(row - 1).key; }
    QString text(int row) const { return rows_.at(row - 1).text; }
    void setText(int row, const QString& text) { rows_[row - 1].text = text; }
    QString subItem(int row, int index) const; // index from 1
    void setSubItem(int row, int index, const QString& value);
    // The value of the row with this key, "" when absent.
    QString textOf(const QString& key) const;

  private:
    struct Row {
        QString key;
        QString text;
        QStringList subItems;
    };
    QString normalized(const QString& key) const {
        return keyCase_ == Qt::CaseSensitive ? key : key.toCaseFolded();
    }
    void reindexFrom(int row);

    Qt::CaseSensitivity keyCase_;
    QVector<Row> rows_;
    QHash<QString, int> index_; // normalized key -> row number
};
