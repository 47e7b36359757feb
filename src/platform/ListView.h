#pragma once

#include "platform/ListError.h"

#include <QHash>
#include <QSet>
#include <QTreeWidget>

// One row to append: its key (may be empty) and its column texts.
struct ListRowData {
    QString key;
    QStringList cells;
};

// A list view in report style: rows numbered from 1 in display order, each
// with a text, sub-items and an optional key that is unique within the list.
class ListView : public QTreeWidget {
    Q_OBJECT
  public:
    explicit ListView(QWidget* parent = nullptr);

    // Column headers: text and width in twips.
    void addColumn(const QString& header, int widthTwips);
    // What assistive technology reads for a column, set once: its header as
    // `name` (also where the header shows no text), and with `readCells`
    // false every cell as that name too, for columns whose texts (raw RTF,
    // whole records) mean nothing read out. The cells keep their texts.
    void setColumnAccessibleName(int column, const QString& name, bool readCells = true);
    bool isColumnReadOut(int column) const { return !unreadColumns_.contains(column); }

    int count() const { return topLevelItemCount(); }
    int add(const QString& text = {}); // appends a row, returns its number
    // Appends many rows at once; returns the numbers of the rows whose key
    // was refused (they stay, without a key).
    QVector<int> appendRows(const QVector<ListRowData>& rows);
    // Sets the key of a row once; a key another row has is refused, and the
    // row keeps no key.
    bool setKey(int row, const QString& key, ListError* error = nullptr);
    QString key(int row) const;
    int find(const QString& key) const; // the row with this key, 0 when none
    void remove(int row);
    void clearRows();

    QString text(int row) const;
    void setText(int row, const QString& text);
    QString subItem(int row, int index) const; // index from 1 (the second column)
    void setSubItem(int row, int index, const QString& text);

    int selectedRow() const; // 0 when none
    void setSelectedRow(int row);
    void ensureRowVisible(int row);
    void setMultiSelect(bool on);
    bool isRowSelected(int row) const;
    void setRowSelected(int row, bool selected);

    // Sorting compares the texts of the sort column as text. Switching it
    // off keeps the rows in their present order.
    void setSortKey(int column) {
        sortColumn_ = column;
        resort();
    }
    int sortKey() const { return sortColumn_; }
    void setSortOrder(Qt::SortOrder order) {
        sortOrder_ = order;
        resort();
    }
    Qt::SortOrder sortOrder() const { return sortOrder_; }
    void setSorted(bool on);
    bool isSorted() const { return sorted_; }

  signals:
    void clicked();
    void doubleClicked();
    void keyDown(int key, int shift);
    void keyUp(int key, int shift);
    void mouseUp(int button);
    void columnClick(int column); // from 1

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    QTreeWidgetItem* itemAt(int row) const { return topLevelItem(row - 1); }
    int rowOf(QTreeWidgetItem* item) const;
    void resort();

    QHash<QString, QTreeWidgetItem*> keys_;
    QSet<int> unreadColumns_;
    mutable QHash<const QTreeWidgetItem*, int> rowCache_;
    mutable bool rowCacheValid_ = true;
    int sortColumn_ = 0;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    bool sorted_ = false;
};

// The shift mask of key and mouse events: 1 Shift, 2 Ctrl, 4 Alt.
int shiftMask(Qt::KeyboardModifiers modifiers);
