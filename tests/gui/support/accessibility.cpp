#include "accessibility.hpp"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTabBar>
#include <QTextEdit>
#include <QWidget>

namespace velmor::test {

namespace {

// Something a user operates or reads as a field.
bool isControl(const QWidget* w) {
  return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLineEdit*>(w) ||
         qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
         qobject_cast<const QAbstractItemView*>(w) || qobject_cast<const QAbstractSlider*>(w) ||
         qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QTextEdit*>(w) || qobject_cast<const QTabBar*>(w);
}

// Parts of a composite control that a screen reader reads through the
// control itself: the text box of an editable list, the headers and cell
// editors of a table, the scroll bars of a scrolled area.
bool isPartOfAnother(const QWidget* w, const QWidget* top) {
  for (const QWidget* p = w->parentWidget(); p && p != top; p = p->parentWidget()) {
    if (qobject_cast<const QComboBox*>(p) || qobject_cast<const QAbstractSpinBox*>(p)) return true;
    if (qobject_cast<const QAbstractItemView*>(p)) return true;
    if (qobject_cast<const QAbstractScrollArea*>(p) && qobject_cast<const QScrollBar*>(w)) return true;
  }
  return false;
}

QString describe(const QWidget* w) {
  QString where = QString::fromLatin1(w->metaObject()->className());
  if (!w->objectName().isEmpty()) where += ' ' + w->objectName();
  for (const QWidget* p = w->parentWidget(); p; p = p->parentWidget()) {
    if (!p->objectName().isEmpty()) return where + " in " + p->objectName();
  }
  return where;
}

QString accessibleName(QObject* object) { return spokenName(object); }

// Every visible menu entry, in menus and submenus, read as a screen reader
// reads it: through the menu bar's accessible tree.
void checkMenuTree(QAccessibleInterface* node, const QString& path, int depth, QStringList& problems) {
  if (!node || depth > 6) return;
  for (int i = 0; i < node->childCount(); ++i) {
    QAccessibleInterface* child = node->child(i);
    if (!child || child->role() == QAccessible::Separator) continue;
    // A closed menu reports its entries as not showing; what counts is
    // whether the entry appears when the menu opens.
    if (auto* action = qobject_cast<QAction*>(child->object()); action && !action->isVisible()) continue;
    const QString name = child->text(QAccessible::Name).trimmed();
    if ((child->role() == QAccessible::MenuItem || child->role() == QAccessible::ButtonMenu) && name.isEmpty()) {
      problems << path + ": menu entry " + QString::number(i) + " has no name";
    }
    checkMenuTree(child, name.isEmpty() ? path : path + " > " + name, depth + 1, problems);
  }
}

}  // namespace

QString spokenName(QObject* control) {
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(control);
  if (!iface) return {};
  // A list box is named by its label through a relation: its own name may be
  // the text it shows, empty while it shows nothing.
  if (iface->role() == QAccessible::ComboBox) {
    for (const auto& [label, relation] : iface->relations(QAccessible::Label)) {
      const QString text = label ? label->text(QAccessible::Name).trimmed() : QString();
      if (!text.isEmpty()) return text;
    }
  }
  return iface->text(QAccessible::Name).trimmed();
}

QStringList accessibilityProblems(QWidget* top) {
  QStringList problems;
  if (!top) return {"no widget to check"};
  if (top->isWindow()) {
    if (top->windowTitle().trimmed().isEmpty() || accessibleName(top).isEmpty()) {
      problems << describe(top) + ": window without a title";
    }
  }
  const QList<QWidget*> all = top->findChildren<QWidget*>();
  for (QWidget* w : all) {
    // Windows of their own (menus, popups, dialogs) are checked on their own.
    if (w->isWindow() || !w->isVisibleTo(top) || !isControl(w) || isPartOfAnother(w, top)) continue;
    if (accessibleName(w).isEmpty()) problems << describe(w) + ": no accessible name";
  }
  for (QMenuBar* bar : top->findChildren<QMenuBar*>()) {
    if (!bar->isVisibleTo(top)) continue;
    checkMenuTree(QAccessible::queryAccessibleInterface(bar), QStringLiteral("menu bar"), 0, problems);
  }
  return problems;
}

}  // namespace velmor::test
