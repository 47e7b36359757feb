#include "platform/ListView.h"

#include "platform/Twips.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

namespace {
constexpr int RawTextRole = Qt::UserRole + 1;
constexpr int KeyRole = Qt::UserRole + 2;
// Long texts (whole records) are shown by their beginning only.
constexpr qsizetype ShownLength = 400;

class Row : public QTreeWidgetItem {
  public:
    QVariant data(int column, int role) const override {
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
            // Line breaks stay in the text but are shown on one line.
            QString shown = QTreeWidgetItem::data(column, RawTextRole).toString().left(ShownLength);
            shown.replace("\r\n", " ").replace('\n', ' ').replace('\r', ' ');
            return shown;
        }
        if (role == Qt::AccessibleTextRole) {
            const auto* list = qobject_cast<const ListView*>(treeWidget());
            if (list && !list->isColumnReadOut(column))
                return list->headerItem()->data(column, role);
        }
        return QTreeWidgetItem::data(column, role);
    }
    bool operator<(const QTreeWidgetItem& other) const override {
        const auto* list = qobject_cast<const ListView*>(treeWidget());
        const int column = list ? list->sortKey() : 0;
        return QTreeWidgetItem::data(column, RawTextRole)
                   .toString()
                   .compare(other.data(column, RawTextRole).toString(), Qt::CaseInsensitive) < 0;
    }
};
} // namespace

int shiftMask(Qt::KeyboardModifiers modifiers) {
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
           (modifiers & Qt::AltModifier ? 4 : 0);
}

ListView::ListView(QWidget* parent) : QTreeWidget(parent) {
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setColumnCount(0);
    header()->setSectionsClickable(true);
    header()->setStretchLastSection(false);
    connect(header(), &QHeaderView::sectionClicked, this,
            [this](int section) { emit columnClick(section + 1); });
    connect(this, &QTreeWidget::itemClicked, this, [this] { emit clicked(); });
    connect(this, &QTreeWidget::itemDoubleClicked, this, [this] { emit doubleClicked(); });
}

void ListView::addColumn(const QString& header, int widthTwips) {
    const int column = columnCount();
    setColumnCount(column + 1);
    headerItem()->setText(column, header);
    setColumnWidth(column, Twips::toPixels(widthTwips));
}

void ListView::setColumnAccessibleName(int column, const QString& name, bool readCells) {
    headerItem()->setData(column, Qt::AccessibleTextRole, name);
    if (!readCells)
        unreadColumns_.insert(column);
}

int ListView::add(const QString& text) {
    auto* item = new Row;
    item->setData(0, RawTextRole, text);
    addTopLevelItem(item);
    if (sorted_) {
        resort();
        return rowOf(item);
    }
    if (rowCacheValid_)
        rowCache_.insert(item, count());
    return count();
}

int ListView::rowOf(QTreeWidgetItem* item) const {
    if (!item)
        return 0;
    if (!rowCacheValid_) {
        rowCache_.clear();
        rowCache_.reserve(count());
        for (int i = 0; i < count(); ++i)
            rowCache_.insert(topLevelItem(i), i + 1);
        rowCacheValid_ = true;
    }
    return rowCache_.value(item, 0);
}

bool ListView::setKey(int row, const QString& key, ListError* error) {
    QTreeWidgetItem* item = itemAt(row);
    if (!item)
        return false;
    auto found = keys_.constFind(key);
    if (found != keys_.constEnd() && found.value() != item) {
        if (error)
            *error = ListErrors::keyNotUnique();
        return false;
    }
    const QString old = item->data(0, KeyRole).toString();
    if (!old.isEmpty())
        keys_.remove(old);
    item->setData(0, KeyRole, key);
    if (!key.isEmpty())
        keys_.insert(key, item);
    return true;
}

QString ListView::key(int row) const {
    QTreeWidgetItem* item = itemAt(row);
    return item ? item->data(0, KeyRole).toString() : QString();
}

int ListView::find(const QString& key) const {
    return rowOf(keys_.value(key, nullptr));
}

void ListView::remove(int row) {
    QTreeWidgetItem* item = itemAt(row);
    if (!item)
        return;
    const QString key = item->data(0, KeyRole).toString();
    if (!key.isEmpty())
        keys_.remove(key);
    rowCacheValid_ = false;
    delete item;
}

void ListView::clearRows() {
    keys_.clear();
    rowCache_.clear();
    rowCacheValid_ = true;
    clear();
}

QString ListView::text(int row) const {
    return subItem(row, 0);
}
void ListView::setText(int row, const QString& text) {
    setSubItem(row, 0, text);
}

QString ListView::subItem(int row, int index) const {
    QTreeWidgetItem* item = itemAt(row);
    return item ? item->data(index, RawTextRole).toString() : QString();
}

void ListView::setSubItem(int row, int index, const QString& text) {
    if (QTreeWidgetItem* item = itemAt(row)) {
        item->setData(index, RawTextRole, text);
        if (sorted_ && index == sortColumn_)
            resort();
    }
}

int ListView::selectedRow() const {
    QTreeWidgetItem* current = currentItem();
    if (current && current->isSelected())
        return rowOf(current);
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? 0 : rowOf(selected.first());
}

void ListView::setSelectedRow(int row) {
    if (QTreeWidgetItem* item = itemAt(row)) {
        setCurrentItem(item);
        item->setSelected(true);
    }
}

void ListView::ensureRowVisible(int row) {
    if (QTreeWidgetItem* item = itemAt(row))
        scrollToItem(item);
}

void ListView::setMultiSelect(bool on) {
    setSelectionMode(on ? QAbstractItemView::ExtendedSelection
                        : QAbstractItemView::SingleSelection);
}

bool ListView::isRowSelected(int row) const {
    QTreeWidgetItem* item = itemAt(row);
    return item && item->isSelected();
}

void ListView::setRowSelected(int row, bool selected) {
    if (QTreeWidgetItem* item = itemAt(row))
        item->setSelected(selected);
}

void ListView::setSorted(bool on) {
    sorted_ = on;
    resort();
}

void ListView::resort() {
    if (!sorted_)
        return;
    sortItems(sortColumn_, sortOrder_);
    rowCacheValid_ = false;
}

void ListView::keyPressEvent(QKeyEvent* event) {
    QTreeWidget::keyPressEvent(event);
    emit keyDown(event->key(), shiftMask(event->modifiers()));
}

void ListView::keyReleaseEvent(QKeyEvent* event) {
    QTreeWidget::keyReleaseEvent(event);
    if (!event->isAutoRepeat())
        emit keyUp(event->key(), shiftMask(event->modifiers()));
}

void ListView::mouseReleaseEvent(QMouseEvent* event) {
    QTreeWidget::mouseReleaseEvent(event);
    emit mouseUp(int(event->button()));
}

QVector<int> ListView::appendRows(const QVector<ListRowData>& rows) {
    QVector<int> refused;
    setUpdatesEnabled(false);
    for (const ListRowData& data : rows) {
        const int row = add(data.cells.value(0));
        for (int column = 1; column < data.cells.size(); ++column)
            setSubItem(row, column, data.cells.at(column));
        if (!data.key.isEmpty() && !setKey(row, data.key))
            refused.append(row);
    }
    setUpdatesEnabled(true);
    return refused;
}
