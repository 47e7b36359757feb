#pragma once

#include "platform/KeyMask.h"
#include "platform/ListError.h"

#include <QStringList>
#include <QTreeView>
#include <QVector>

#include <vector>

class ListViewModel;

// One row of a batch: its key (empty for none) and its cells, the text
// first, then the sub-items.
struct ListRowData {
    QString key;
    QStringList cells;
};

// A list view in report style: rows numbered from 1 in display order, each
// with a text, sub-items and an optional key that is unique within the list.
// The rows live in one contiguous block of the list's own model; the view
// shows only the rows on screen, so thousands of rows cost little.
//
// A batch of rows goes in with appendRows: the view learns of it once and
// lays itself out and repaints once, at the next turn of the event loop.
// Single calls (add, setSubItem) are cheap too, as the view gathers them in
// the same way. To keep a half-filled list from being painted while pending
// events run in the middle of a long fill, switch its painting off with
// setUpdatesEnabled(false) and on again when the fill is done.
class ListView : public QTreeView {
    Q_OBJECT
  public:
    explicit ListView(QWidget* parent = nullptr);

    // Column headers: text and width in twips.
    void addColumn(const QString& header, int widthTwips);
    // Widens a column (from 0) when `text` would not fit it whole.
    void widenColumnFor(int column, const QString& text);
    int columnCount() const;
    QString columnHeader(int column) const; // column from 0
    // What assistive technology reads for a column, set once: its header as
    // `name` (also where the header shows no text), and with `readCells`
    // false every cell as that name too, for columns whose texts (raw RTF,
    // whole records) mean nothing read out. The cells keep their texts.
    void setColumnAccessibleName(int column, const QString& name, bool readCells = true);
    bool isColumnReadOut(int column) const;

    int count() const;
    int add(const QString& text = {}); // appends a row, returns its number
    // Appends the rows in one go and returns the numbers of the rows whose
    // key was refused, as setKey would refuse it (taken by a row before it);
    // those rows stay, without key.
    QVector<int> appendRows(const QVector<ListRowData>& rows);
    // Sets the key of a row once; a key another row has is refused, and the
    // row keeps no key.
    bool setKey(int row, const QString& key, ListError* error = nullptr);
    QString key(int row) const;
    // Every row's key, from the first row to the last.
    QStringList keys() const;
    int find(const QString& key) const; // the row with this key, 0 when none
    void remove(int row);
    // Removes these rows (numbers from 1, in any order) in one go, however
    // many; the others keep their order, their selection and the current row.
    void removeRows(const QVector<int>& rows);
    // Puts the rows into a new order: `order` names, for each place from the
    // first, the row (from 1) that moves there, every row once; any other
    // list changes nothing. Sorting, while on, puts the rows back in order.
    void reorderRows(const QList<int>& order);
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

    // Sorting compares the texts of the sort column as text, ignoring case;
    // rows with equal texts keep their order. Switching it off keeps the
    // rows in their present order. Added rows take their sorted place; a
    // changed text moves no row until the list is sorted again.
    void setSortKey(int column);
    int sortKey() const { return sortColumn_; }
    void setSortOrder(Qt::SortOrder order);
    Qt::SortOrder sortOrder() const { return sortOrder_; }
    void setSorted(bool on);
    bool isSorted() const { return sorted_; }
    // A click on a column's header (column from 1): sorts by it ascending;
    // a second click on the same column turns an ascending sort around.
    void sortByClickedColumn(int column);

    // Keeps the list's height to whole rows: of the height it is given (by
    // its layout or by resize) it takes its frame, header and the whole rows
    // that fit, so no row is shown cut. The row height is that of the rows,
    // from their font.
    void setWholeRows(bool on);

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
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void updateGeometries() override;

  private:
    QModelIndex indexOf(int row) const;
    // Sorts the rows when sorting is on; returns the new place of each old
    // row, or nothing when the rows stayed.
    std::vector<int> resort();
    int rowPixels() const;
    void fitHeight();

    ListViewModel* model_;
    int sortColumn_ = 0;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    bool sorted_ = false;
    bool wholeRows_ = false;
    int givenHeight_ = 0;
    bool fitting_ = false;
};
