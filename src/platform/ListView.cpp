#include "platform/ListView.h"

#include "platform/Texts.h"
#include "platform/Twips.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSet>
#include <QStyle>

#include <algorithm>
#include <numeric>

namespace {
// Long texts (whole records) are shown by their beginning only.
constexpr qsizetype ShownLength = 400;

QString shownText(const QString& text) {
    // Line breaks stay in the text but are shown on one line.
    QString shown = text.left(ShownLength);
    shown.replace("\r\n", " ").replace('\n', ' ').replace('\r', ' ');
    return shown;
}

// What assistive technology reads for a cell: its column's name and its text
// without the padding that aligns it ("正解数 1"); an empty cell says nothing.
QString cellAccessibleText(const QString& columnName, const QString& text) {
    const QString value = text.trimmed();
    if (value.isEmpty() || columnName.isEmpty())
        return value;
    return columnName + u(" ") + value;
}

// Rows in one contiguous block with a gap where the last row was removed.
// The gap moves to the next row removed, so removing rows from the last to
// the first moves each row at most once.
class RowStore {
  public:
    int size() const { return int(slots_.size() - gapSize_); }
    ListRowData& operator[](int row) { return slots_[slot(row)]; }
    const ListRowData& operator[](int row) const { return slots_[slot(row)]; }

    void reserveMore(qsizetype more) {
        closeGap();
        slots_.reserve(slots_.size() + size_t(more));
    }
    void append(ListRowData row) {
        closeGap();
        slots_.push_back(std::move(row));
    }
    void remove(int row) {
        moveGapTo(size_t(row));
        slots_[gapStart_ + gapSize_] = ListRowData();
        ++gapSize_;
    }
    void clear() {
        slots_.clear();
        gapStart_ = 0;
        gapSize_ = 0;
    }
    // The rows in order, without gap.
    std::vector<ListRowData>& rows() {
        closeGap();
        return slots_;
    }

  private:
    size_t slot(int row) const {
        return size_t(row) < gapStart_ ? size_t(row) : size_t(row) + gapSize_;
    }
    void moveGapTo(size_t at) {
        const auto begin = slots_.begin();
        if (at < gapStart_)
            std::move_backward(begin + at, begin + gapStart_, begin + gapStart_ + gapSize_);
        else if (at > gapStart_)
            std::move(begin + gapStart_ + gapSize_, begin + at + gapSize_, begin + gapStart_);
        gapStart_ = at;
    }
    void closeGap() {
        const size_t rows = size_t(size());
        moveGapTo(rows);
        slots_.resize(rows);
        gapSize_ = 0;
    }

    std::vector<ListRowData> slots_;
    size_t gapStart_ = 0;
    size_t gapSize_ = 0;
};
} // namespace

// The rows of one list view: keys and cell texts, and the column headers.
class ListViewModel : public QAbstractTableModel {
  public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : rows_.size();
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(headers_.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid())
            return {};
        // A column whose texts mean nothing read out (raw RTF, whole records)
        // is read as its name; the others' cells with their column's name, as
        // screen readers read a row cell by cell without the headers.
        if (role == Qt::AccessibleTextRole) {
            if (unreadColumns_.contains(index.column()))
                return accessibleNames_.value(index.column());
            return cellAccessibleText(columnName(index.column()),
                                      shownText(cell(index.row(), index.column())));
        }
        if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
            return {};
        return shownText(cell(index.row(), index.column()));
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal)
            return {};
        if (role == Qt::AccessibleTextRole && accessibleNames_.contains(section))
            return columnName(section);
        if (role != Qt::DisplayRole)
            return {};
        return headers_.value(section);
    }
    void setAccessibleName(int column, const QString& name, bool readCells) {
        accessibleNames_.insert(column, name);
        if (!readCells)
            unreadColumns_.insert(column);
        emit headerDataChanged(Qt::Horizontal, column, column);
    }
    bool isReadOut(int column) const { return !unreadColumns_.contains(column); }
    QString columnName(int column) const {
        return accessibleNames_.value(column, headers_.value(column));
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        if (!index.isValid())
            return Qt::NoItemFlags;
        return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    }

    void addColumn(const QString& header) {
        const int column = int(headers_.size());
        beginInsertColumns({}, column, column);
        headers_ << header;
        endInsertColumns();
    }
    QString header(int column) const { return headers_.value(column); }

    QString cell(int row, int column) const { return rows_[row].cells.value(column); }
    void setCell(int row, int column, const QString& text) {
        QStringList& cells = rows_[row].cells;
        if (cells.size() <= column)
            cells.resize(column + 1);
        cells[column] = text;
        if (column < columnCount()) {
            const QModelIndex changed = index(row, column);
            emit dataChanged(changed, changed,
                             {Qt::DisplayRole, Qt::ToolTipRole, Qt::AccessibleTextRole});
        }
    }

    // Appends the rows; returns the indexes of those whose key was taken.
    QVector<int> append(const QVector<ListRowData>& rows) {
        QVector<int> refused;
        if (rows.isEmpty())
            return refused;
        const int first = rows_.size();
        beginInsertRows({}, first, first + int(rows.size()) - 1);
        rows_.reserveMore(rows.size());
        keyRows_.reserve(keyRows_.size() + rows.size());
        for (const ListRowData& row : rows) {
            const int at = rows_.size();
            rows_.append(row);
            if (row.key.isEmpty())
                continue;
            // One look-up: a key new to the list makes the index grow.
            const qsizetype known = keyRows_.size();
            int& keyRow = keyRows_[row.key];
            if (keyRows_.size() > known) {
                keyRow = at;
            } else {
                rows_[at].key.clear();
                refused << at;
            }
        }
        endInsertRows();
        return refused;
    }

    const QString& key(int row) const { return rows_[row].key; }
    // False when another row has the key.
    bool setKey(int row, const QString& key) {
        ListRowData& target = rows_[row];
        if (target.key == key)
            return true;
        if (keyRows_.contains(key))
            return false;
        if (!target.key.isEmpty())
            keyRows_.remove(target.key);
        target.key = key;
        if (!key.isEmpty())
            keyRows_.insert(key, row);
        return true;
    }
    int rowOfKey(const QString& key) const { // -1 when none
        const auto found = keyRows_.constFind(key);
        if (found == keyRows_.cend())
            return -1;
        if (found.value() < rows_.size() && rows_[found.value()].key == key)
            return found.value();
        // A removal or a sort has moved rows since the keys were numbered.
        for (int row = 0; row < rows_.size(); ++row)
            if (!rows_[row].key.isEmpty())
                keyRows_[rows_[row].key] = row;
        return keyRows_.value(key);
    }

    void remove(int row) {
        beginRemoveRows({}, row, row);
        keyRows_.remove(rows_[row].key);
        rows_.remove(row);
        endRemoveRows();
    }
    // Removes the rows marked in `gone` (one flag per row) in one go. The
    // keys of the rows that stay are numbered afresh, which costs less than
    // taking thousands out of the index one by one.
    void removeMarked(const std::vector<bool>& gone) {
        beginResetModel();
        std::vector<ListRowData>& rows = rows_.rows();
        size_t kept = 0;
        for (size_t row = 0; row < rows.size(); ++row)
            if (!gone[row] && kept++ != row)
                rows[kept - 1] = std::move(rows[row]);
        rows.resize(kept);
        keyRows_.clear();
        keyRows_.reserve(qsizetype(kept));
        for (size_t row = 0; row < kept; ++row)
            if (!rows[row].key.isEmpty())
                keyRows_.insert(rows[row].key, int(row));
        endResetModel();
    }
    void clear() {
        beginResetModel();
        rows_.clear();
        keyRows_.clear();
        endResetModel();
    }

    // A stable sort by the column's texts, ignoring case; returns the new
    // place of each row.
    std::vector<int> sortRows(int column, Qt::SortOrder order) {
        std::vector<ListRowData>& rows = rows_.rows();
        const qsizetype count = qsizetype(rows.size());
        static const QString none;
        std::vector<const QString*> texts(rows.size(), &none);
        for (qsizetype row = 0; row < count; ++row) {
            const QStringList& cells = rows[size_t(row)].cells;
            if (column >= 0 && column < cells.size())
                texts[size_t(row)] = &cells.at(column);
        }
        std::vector<int> byPlace(rows.size());
        std::iota(byPlace.begin(), byPlace.end(), 0);
        const auto less = [&texts](int a, int b) {
            return QString::compare(*texts[size_t(a)], *texts[size_t(b)], Qt::CaseInsensitive) < 0;
        };
        if (order == Qt::AscendingOrder)
            std::stable_sort(byPlace.begin(), byPlace.end(), less);
        else
            std::stable_sort(byPlace.begin(), byPlace.end(),
                             [&less](int a, int b) { return less(b, a); });

        return permute(byPlace);
    }

    // Puts the rows into a new order: byPlace[place] is the row that moves
    // to `place`. Returns the new place of each row.
    std::vector<int> permute(const std::vector<int>& byPlace) {
        std::vector<ListRowData>& rows = rows_.rows();
        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        std::vector<int> placeOf(rows.size());
        std::vector<ListRowData> moved;
        moved.reserve(rows.size());
        for (size_t place = 0; place < byPlace.size(); ++place) {
            placeOf[size_t(byPlace[place])] = int(place);
            moved.push_back(std::move(rows[size_t(byPlace[place])]));
        }
        rows.swap(moved);
        const QModelIndexList before = persistentIndexList();
        QModelIndexList after;
        after.reserve(before.size());
        for (const QModelIndex& index : before)
            after << createIndex(placeOf[size_t(index.row())], index.column());
        changePersistentIndexList(before, after);
        emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
        return placeOf;
    }

  private:
    RowStore rows_;
    QStringList headers_;
    QHash<int, QString> accessibleNames_;
    QSet<int> unreadColumns_;
    // Every key of the list with its row. Removals and sorts leave some rows
    // out of date; the first look-up that meets one renumbers all keys.
    mutable QHash<QString, int> keyRows_;
};

ListView::ListView(QWidget* parent) : QTreeView(parent), model_(new ListViewModel(this)) {
    setModel(model_);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    header()->setSectionsClickable(true);
    header()->setStretchLastSection(false);
    connect(header(), &QHeaderView::sectionClicked, this,
            [this](int section) { emit columnClick(section + 1); });
    connect(this, &QAbstractItemView::clicked, this, [this] { emit clicked(); });
    connect(this, &QAbstractItemView::doubleClicked, this, [this] { emit doubleClicked(); });
}

void ListView::addColumn(const QString& header, int widthTwips) {
    const int column = columnCount();
    model_->addColumn(header);
    setColumnWidth(column, Twips::toPixels(widthTwips));
}

void ListView::widenColumnFor(int column, const QString& text) {
    const int margins = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1);
    const int needed = fontMetrics().horizontalAdvance(text) + margins + 2;
    if (columnWidth(column) < needed)
        setColumnWidth(column, needed);
}

int ListView::columnCount() const {
    return model_->columnCount();
}

QString ListView::columnHeader(int column) const {
    return model_->header(column);
}

void ListView::setColumnAccessibleName(int column, const QString& name, bool readCells) {
    model_->setAccessibleName(column, name, readCells);
}

bool ListView::isColumnReadOut(int column) const {
    return model_->isReadOut(column);
}

int ListView::count() const {
    return model_->rowCount();
}

QModelIndex ListView::indexOf(int row) const {
    return model_->index(row - 1, 0);
}

int ListView::add(const QString& text) {
    const int at = count();
    model_->append({{QString(), {text}}});
    const std::vector<int> placeOf = resort();
    return (placeOf.empty() ? at : placeOf[size_t(at)]) + 1;
}

QVector<int> ListView::appendRows(const QVector<ListRowData>& rows) {
    QVector<int> refused = model_->append(rows);
    const std::vector<int> placeOf = resort();
    for (int& row : refused)
        row = (placeOf.empty() ? row : placeOf[size_t(row)]) + 1;
    return refused;
}

bool ListView::setKey(int row, const QString& key, ListError* error) {
    if (row < 1 || row > count())
        return false;
    if (model_->setKey(row - 1, key))
        return true;
    if (error)
        *error = ListErrors::keyNotUnique();
    return false;
}

QString ListView::key(int row) const {
    return row < 1 || row > count() ? QString() : model_->key(row - 1);
}

QStringList ListView::keys() const {
    QStringList keys;
    keys.reserve(count());
    for (int row = 0; row < count(); ++row)
        keys << model_->key(row);
    return keys;
}

int ListView::find(const QString& key) const {
    return model_->rowOfKey(key) + 1;
}

void ListView::remove(int row) {
    if (row >= 1 && row <= count())
        model_->remove(row - 1);
}

void ListView::removeRows(const QVector<int>& rows) {
    const int before = count();
    std::vector<bool> gone(size_t(before), false);
    for (const int row : rows)
        if (row >= 1 && row <= before)
            gone[size_t(row - 1)] = true;
    std::vector<int> newRow(size_t(before), -1);
    int kept = 0;
    for (size_t row = 0; row < gone.size(); ++row)
        if (!gone[row])
            newRow[row] = kept++;
    // The model starts afresh; the rows that stay keep their selection and
    // the current row stays current.
    QModelIndexList selected = selectionModel()->selectedRows();
    std::sort(selected.begin(), selected.end());
    QList<int> stillSelected;
    for (const QModelIndex& index : selected)
        if (newRow[size_t(index.row())] >= 0)
            stillSelected << newRow[size_t(index.row())];
    const QModelIndex current = currentIndex();
    const int currentRow = current.isValid() ? newRow[size_t(current.row())] : -1;
    model_->removeMarked(gone);
    if (currentRow >= 0)
        selectionModel()->setCurrentIndex(model_->index(currentRow, 0),
                                          QItemSelectionModel::NoUpdate);
    QItemSelection selection;
    for (const int row : stillSelected) {
        const QModelIndex index = model_->index(row, 0);
        if (!selection.isEmpty() && selection.last().bottom() == row - 1)
            selection.last() = QItemSelectionRange(selection.last().topLeft(), index);
        else
            selection.select(index, index);
    }
    selectionModel()->select(selection, QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void ListView::reorderRows(const QList<int>& order) {
    std::vector<int> byPlace;
    byPlace.reserve(size_t(order.size()));
    std::vector<bool> named(size_t(count()), false);
    for (const int row : order) {
        if (row < 1 || row > count() || named[size_t(row - 1)])
            return;
        named[size_t(row - 1)] = true;
        byPlace.push_back(row - 1);
    }
    if (int(byPlace.size()) != count())
        return;
    model_->permute(byPlace);
    resort();
}

void ListView::clearRows() {
    model_->clear();
}

QString ListView::text(int row) const {
    return subItem(row, 0);
}
void ListView::setText(int row, const QString& text) {
    setSubItem(row, 0, text);
}

QString ListView::subItem(int row, int index) const {
    return row < 1 || row > count() ? QString() : model_->cell(row - 1, index);
}

void ListView::setSubItem(int row, int index, const QString& text) {
    if (row < 1 || row > count() || index < 0)
        return;
    // The row keeps its place until the list is sorted again, so a loop over
    // the rows that changes their texts reaches each row once.
    model_->setCell(row - 1, index, text);
}

int ListView::selectedRow() const {
    const QModelIndex current = currentIndex();
    if (current.isValid() && selectionModel()->isSelected(current))
        return current.row() + 1;
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? 0 : selected.first().row() + 1;
}

void ListView::setSelectedRow(int row) {
    const QModelIndex index = indexOf(row);
    if (!index.isValid())
        return;
    setCurrentIndex(index);
    selectionModel()->select(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void ListView::ensureRowVisible(int row) {
    const QModelIndex index = indexOf(row);
    if (index.isValid())
        scrollTo(index);
}

void ListView::setMultiSelect(bool on) {
    setSelectionMode(on ? QAbstractItemView::ExtendedSelection
                        : QAbstractItemView::SingleSelection);
}

bool ListView::isRowSelected(int row) const {
    const QModelIndex index = indexOf(row);
    return index.isValid() && selectionModel()->isSelected(index);
}

void ListView::setRowSelected(int row, bool selected) {
    const QModelIndex index = indexOf(row);
    if (index.isValid())
        selectionModel()->select(
            index, (selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
                       QItemSelectionModel::Rows);
}

void ListView::setSortKey(int column) {
    sortColumn_ = column;
    resort();
}

void ListView::setSortOrder(Qt::SortOrder order) {
    sortOrder_ = order;
    resort();
}

void ListView::setSorted(bool on) {
    sorted_ = on;
    resort();
}

std::vector<int> ListView::resort() {
    if (!sorted_)
        return {};
    return model_->sortRows(sortColumn_, sortOrder_);
}

void ListView::setWholeRows(bool on) {
    wholeRows_ = on;
    fitHeight();
}

// The height of one row: that of the rows shown, or while there are none
// that of a line of Latin and Japanese text, whose fonts differ in height.
int ListView::rowPixels() const {
    if (count() > 0 && columnCount() > 0)
        return indexRowSizeHint(model_->index(0, 0));
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.features |= QStyleOptionViewItem::HasDisplay;
    option.text = u("Xあ");
    return style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), this).height();
}

// Frame, header and scroll bar are known only once the list is shown; the
// height it then takes is its own, not the one it was given.
void ListView::fitHeight() {
    if (fitting_ || !isVisible())
        return;
    fitting_ = true;
    int fitted = givenHeight_;
    const int rowHeight = rowPixels();
    const int room = givenHeight_ - (height() - viewport()->height());
    if (wholeRows_ && rowHeight > 0 && room >= rowHeight)
        fitted -= room % rowHeight;
    resize(width(), fitted);
    fitting_ = false;
}

bool ListView::event(QEvent* event) {
    if (event->type() == QEvent::Resize && !fitting_)
        givenHeight_ = static_cast<QResizeEvent*>(event)->size().height();
    return QTreeView::event(event);
}

void ListView::showEvent(QShowEvent* event) {
    QTreeView::showEvent(event);
    if (wholeRows_)
        fitHeight();
}

void ListView::updateGeometries() {
    QTreeView::updateGeometries();
    if (wholeRows_)
        fitHeight();
}

void ListView::keyPressEvent(QKeyEvent* event) {
    QTreeView::keyPressEvent(event);
    emit keyDown(event->key(), shiftMask(event->modifiers()));
}

void ListView::keyReleaseEvent(QKeyEvent* event) {
    QTreeView::keyReleaseEvent(event);
    if (!event->isAutoRepeat())
        emit keyUp(event->key(), shiftMask(event->modifiers()));
}

void ListView::mouseReleaseEvent(QMouseEvent* event) {
    QTreeView::mouseReleaseEvent(event);
    emit mouseUp(int(event->button()));
}

void ListView::sortByClickedColumn(int column) {
    const int newKey = column - 1;
    const bool ascending = sorted_ && sortOrder_ == Qt::AscendingOrder;
    const bool sameKey = sortColumn_ == newKey;
    // The rows are sorted once, when sorting comes on again.
    setSorted(false);
    setSortKey(newKey);
    setSortOrder(ascending && sameKey ? Qt::DescendingOrder : Qt::AscendingOrder);
    setSorted(true);
}
