#include "platform/Accessibility.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QHash>
#include <QLineEdit>
#include <QPointer>
#include <QStatusBar>
#include <QTabBar>
#include <QWidget>

namespace {

// A combo box named by its label (or accessible name); its current item is
// its value and its text, and a new current item is told as new text.
class AccessibleComboBox : public QAccessibleWidget, public QAccessibleTextInterface {
  public:
    explicit AccessibleComboBox(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {
        if (box->property("accessibleValueTold").toBool())
            return;
        box->setProperty("accessibleValueTold", true);
        box->setProperty("accessibleValue", box->currentText());
        QObject::connect(box, &QComboBox::currentTextChanged, box, [box](const QString& value) {
            const QString before = box->property("accessibleValue").toString();
            box->setProperty("accessibleValue", value);
            QAccessibleTextUpdateEvent event(box, 0, before, value);
            QAccessible::updateAccessibility(&event);
        });
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface && !comboBox()->isEditable())
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Value ? comboBox()->currentText() : QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = comboBox()->view()->isVisible();
        return s;
    }

    // The item list, then the text field of an editable box.
    int childCount() const override { return comboBox()->isEditable() ? 2 : 1; }
    QAccessibleInterface* child(int index) const override {
        if (index == 0)
            return QAccessible::queryAccessibleInterface(comboBox()->view());
        if (index == 1 && comboBox()->isEditable())
            return QAccessible::queryAccessibleInterface(comboBox()->lineEdit());
        return nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (int index = 0; index < childCount(); ++index) {
            if (child->object() == this->child(index)->object())
                return index;
        }
        return -1;
    }

    QStringList actionNames() const override {
        return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& name) override {
        if (name != showMenuAction() && name != pressAction()) {
            QAccessibleWidget::doAction(name);
        } else if (comboBox()->view()->isVisible()) {
            comboBox()->hidePopup();
        } else {
            comboBox()->showPopup();
        }
    }

    // The current item read as text; nothing in it can be selected.
    QString text(int start, int end) const override {
        return comboBox()->currentText().mid(start, end - start);
    }
    int characterCount() const override { return int(comboBox()->currentText().size()); }
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    int selectionCount() const override { return 0; }
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* start, int* end) const override {
        *start = *end = offset;
        return {};
    }

  private:
    QComboBox* comboBox() const { return static_cast<QComboBox*>(widget()); }
};

constexpr char ChoiceName[] = "accessibleChoiceName";
constexpr char ChoiceChecked[] = "accessibleChoiceChecked";
constexpr char ChoiceExclusive[] = "accessibleChoiceExclusive";

// A choice of the answering page: its number and text as its name, whether
// it is picked as its checked state, and a press that picks it.
class AccessibleChoice : public QAccessibleWidget {
  public:
    explicit AccessibleChoice(QWidget* box)
        : QAccessibleWidget(box, box->property(ChoiceExclusive).toBool() ? QAccessible::RadioButton
                                                                         : QAccessible::CheckBox) {
        addControllingSignal(QStringLiteral("clicked()"));
    }

    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? widget()->property(ChoiceName).toString()
                                      : QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = widget()->property(ChoiceChecked).toBool();
        s.readOnly = true;
        return s;
    }
    QStringList actionNames() const override { return QStringList{pressAction(), toggleAction()}; }
    void doAction(const QString& name) override {
        // After the screen reader's call has returned, as a click comes.
        if (name == pressAction() || name == toggleAction())
            QMetaObject::invokeMethod(widget(), "clicked", Qt::QueuedConnection);
    }
};

constexpr char AnnouncedText[] = "accessibleAnnouncedText";

// The announcer: named by what it says last.
class AccessibleAnnouncer : public QAccessibleWidget {
  public:
    explicit AccessibleAnnouncer(QWidget* w) : QAccessibleWidget(w, QAccessible::Notification) {}
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? widget()->property(AnnouncedText).toString()
                                      : QAccessibleWidget::text(t);
    }
};

// One tab of a tab bar. A disabled tab is reported so and cannot be opened.
class AccessibleTab : public QAccessibleInterface, public QAccessibleActionInterface {
  public:
    AccessibleTab(QTabBar* bar, int index) : bar_(bar), index_(index) {}

    bool isValid() const override { return bar_ && index_ < bar_->count(); }
    QObject* object() const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::PageTab; }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        s = parent()->state();
        s.selected = bar_->currentIndex() == index_;
        s.focused = s.focused && s.selected;
        if (bar_->isTabEnabled(index_)) {
            s.selectable = true;
        } else {
            s.disabled = true;
            s.focusable = false;
        }
        return s;
    }
    QString text(QAccessible::Text t) const override {
        if (!isValid())
            return {};
        if (t == QAccessible::Name) {
            const QString name = bar_->accessibleTabName(index_);
            return name.isEmpty() ? bar_->tabText(index_) : name;
        }
        return t == QAccessible::Description ? bar_->tabToolTip(index_) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid())
            return {};
        const QRect tab = bar_->tabRect(index_);
        return QRect(bar_->mapToGlobal(tab.topLeft()), tab.size());
    }

    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(bar_.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }
    QStringList actionNames() const override {
        return isValid() && bar_->isTabEnabled(index_) ? QStringList{pressAction()} : QStringList{};
    }
    void doAction(const QString& name) override {
        if (actionNames().contains(name))
            bar_->setCurrentIndex(index_);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

  private:
    QPointer<QTabBar> bar_;
    int index_;
};

// The tabs, then the bar's own buttons (its scroll arrows).
class AccessibleTabBar : public QAccessibleWidget {
  public:
    explicit AccessibleTabBar(QTabBar* bar) : QAccessibleWidget(bar, QAccessible::PageTabList) {}
    ~AccessibleTabBar() override {
        for (const QAccessible::Id id : std::as_const(tabs_))
            QAccessible::deleteAccessibleInterface(id);
    }

    QString text(QAccessible::Text t) const override {
        QAccessibleInterface* current = child(tabBar()->currentIndex());
        return t == QAccessible::Name && current ? current->text(t) : QAccessibleWidget::text(t);
    }

    int childCount() const override { return tabBar()->count() + QAccessibleWidget::childCount(); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0)
            return nullptr;
        if (index >= tabBar()->count())
            return QAccessibleWidget::child(index - tabBar()->count());
        if (const QAccessible::Id id = tabs_.value(index))
            return QAccessible::accessibleInterface(id);
        auto* tab = new AccessibleTab(tabBar(), index);
        tabs_.insert(index, QAccessible::registerAccessibleInterface(tab));
        return tab;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (auto it = tabs_.cbegin(); it != tabs_.cend(); ++it) {
            if (QAccessible::accessibleInterface(it.value()) == child)
                return it.key();
        }
        const int own = QAccessibleWidget::indexOfChild(child);
        return own < 0 ? -1 : tabBar()->count() + own;
    }

  private:
    QTabBar* tabBar() const { return static_cast<QTabBar*>(widget()); }
    mutable QHash<int, QAccessible::Id> tabs_;
};

QAccessibleInterface* programInterface(const QString& className, QObject* object) {
    if (className == QLatin1String("QComboBox"))
        return new AccessibleComboBox(static_cast<QComboBox*>(object));
    if (object && object->isWidgetType() && object->property(ChoiceName).isValid())
        return new AccessibleChoice(static_cast<QWidget*>(object));
    if (object && object->isWidgetType() && object->property(AnnouncedText).isValid())
        return new AccessibleAnnouncer(static_cast<QWidget*>(object));
    if (className == QLatin1String("QTabBar"))
        return new AccessibleTabBar(static_cast<QTabBar*>(object));
    return nullptr;
}

// An interface made before the widget took its new role is made anew.
void remakeInterface(QWidget* widget, QAccessible::Role role) {
    QAccessibleInterface* made = QAccessible::queryAccessibleInterface(widget);
    if (made && made->role() != role)
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

} // namespace

void installAccessibleInterfaces() {
    QAccessible::installFactory(programInterface);
}

void makeAccessibleChoice(QWidget* box, const QString& name, bool exclusive) {
    box->setProperty(ChoiceExclusive, exclusive);
    box->setProperty(ChoiceChecked, false);
    box->setProperty(ChoiceName, name);
    remakeInterface(box, exclusive ? QAccessible::RadioButton : QAccessible::CheckBox);
    QAccessibleEvent named(box, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
}

QString accessibleChoiceName(const QWidget* box) {
    return box->property(ChoiceName).toString();
}

void setAccessibleChecked(QWidget* box, bool checked) {
    if (box->property(ChoiceChecked).toBool() == checked)
        return;
    box->setProperty(ChoiceChecked, checked);
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(box, changed);
    QAccessible::updateAccessibility(&event);
}

QWidget* addAnnouncer(QStatusBar* bar) {
    auto* announcer = new QWidget(bar);
    announcer->setProperty(AnnouncedText, QString());
    remakeInterface(announcer, QAccessible::Notification);
    announcer->setFixedWidth(0);
    bar->addPermanentWidget(announcer);
    announcer->hide();
    return announcer;
}

void announce(QWidget* announcer, const QString& text) {
    // Screen readers speak a notification as it comes up, not as it changes.
    announcer->hide();
    announcer->setProperty(AnnouncedText, text);
    announcer->show();
}
