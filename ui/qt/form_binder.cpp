// Keeps the widgets of a window in step with the plain C++ controls the operations work on.
#include "form_binder.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextEdit>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <exception>

#include "form/main_form.h"
#include "form/progress_form.h"

namespace erpsync::qt {

namespace {

QString qs(const std::string& s) {
  return QString::fromStdString(s);
}

// The grids' colour values keep red in the lowest byte, then green, then blue (255 is red).
QColor colorOf(unsigned color) {
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

bool sameEntries(const std::vector<form::ListItem>& a, const std::vector<form::ListItem>& b, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i)
    if (a[i].text != b[i].text || a[i].itemData != b[i].itemData) return false;
  return true;
}

// Grids with more rows than this keep their column widths instead of measuring every cell.
constexpr int kMeasureRowsLimit = 2000;

}  // namespace

// One control and its widget, with what the widget currently shows.
struct FormBinder::Binding {
  form::Control* control = nullptr;
  QPointer<QWidget> widget;
  QPointer<QTimer> timer;
  bool deferred = false;
  bool dirty = false;
  bool first = true;

  bool visible = true;
  bool enabled = true;
  std::string caption;
  std::string text;
  int value = 0;
  std::vector<form::ListItem> items;
  int listIndex = -1;
  std::vector<std::vector<std::string>> cells;
  std::vector<std::vector<unsigned>> colors;
  int headerRows = -1;
  DateTime date{};
  int interval = -1;
  bool inTimer = false;

  const std::function<void(int)>* mouseDown = nullptr;
  const std::function<void()>* click = nullptr;
};

FormBinder::FormBinder(QObject* parent) : QObject(parent), alive_(std::make_shared<int>(0)) {}

FormBinder::~FormBinder() = default;

QStringList FormBinder::bindAll(const ControlSet& controls, QWidget* root) {
  QStringList missing;
  for (form::Control* c : controls.controls())
    if (!bind(*c, root)) missing << qs(c->name());
  return missing;
}

bool FormBinder::bind(form::Control& control, QWidget* root) {
  auto b = std::make_unique<Binding>();
  b->control = &control;
  if (!dynamic_cast<form::Timer*>(&control)) {
    const QString name = qs(control.name());
    QWidget* w = root->objectName() == name ? root : root->findChild<QWidget*>(name);
    if (!w) return false;
    b->widget = w;
  }
  b->deferred = dynamic_cast<form::ListBox*>(&control) || dynamic_cast<form::ComboBox*>(&control) ||
                dynamic_cast<form::Grid*>(&control);
  Binding& ref = *b;
  bindings_.push_back(std::move(b));
  connectWidget(ref);
  std::weak_ptr<int> alive = alive_;
  control.subscribe([this, alive, &ref] {
    if (alive.expired()) return;
    changed(ref);
  });
  apply(ref);
  return true;
}

void FormBinder::changed(Binding& b) {
  if (!b.deferred) {
    apply(b);
    return;
  }
  b.dirty = true;
  if (flushPosted_) return;
  flushPosted_ = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        flushPosted_ = false;
        flush();
      },
      Qt::QueuedConnection);
}

void FormBinder::flush() {
  for (auto& b : bindings_)
    if (b->dirty) {
      b->dirty = false;
      apply(*b);
    }
}

QWidget* FormBinder::widgetFor(const form::Control& control) const {
  for (auto& b : bindings_)
    if (b->control == &control) return b->widget;
  return nullptr;
}

QTimer* FormBinder::timerFor(const form::Timer& control) const {
  for (auto& b : bindings_)
    if (b->control == &control) return b->timer;
  return nullptr;
}

FormBinder::Binding* FormBinder::bindingOf(const QObject* watched) const {
  for (auto& b : bindings_) {
    if (!b->widget) continue;
    if (b->widget == watched) return b.get();
    if (auto* view = qobject_cast<QAbstractScrollArea*>(b->widget.data()); view && view->viewport() == watched)
      return b.get();
  }
  return nullptr;
}

void FormBinder::forwardMouseDown(const form::Control& control, const std::function<void(int)>* handler) {
  for (auto& b : bindings_)
    if (b->control == &control && b->widget) {
      b->mouseDown = handler;
      QWidget* target = b->widget;
      if (auto* view = qobject_cast<QAbstractScrollArea*>(target)) target = view->viewport();
      target->installEventFilter(this);
    }
}

void FormBinder::forwardClick(const form::Control& control, const std::function<void()>* handler) {
  for (auto& b : bindings_)
    if (b->control == &control && b->widget) {
      b->click = handler;
      b->widget->installEventFilter(this);
    }
}

bool FormBinder::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonRelease)
    return QObject::eventFilter(watched, event);
  Binding* b = bindingOf(watched);
  if (!b) return QObject::eventFilter(watched, event);
  auto* me = static_cast<QMouseEvent*>(event);
  if (event->type() == QEvent::MouseButtonPress && b->mouseDown && *b->mouseDown) {
    int button = me->button() == Qt::LeftButton ? 1 : me->button() == Qt::RightButton ? 2 : 4;
    auto handler = *b->mouseDown;
    asOperator(*b->control, [&] { handler(button); });
    // A right press works the whole list; it must not also toggle the entry under the pointer.
    if (button == 2 && dynamic_cast<form::ListBox*>(b->control)) return true;
  }
  if (event->type() == QEvent::MouseButtonRelease && me->button() == Qt::LeftButton && b->click && *b->click) {
    auto handler = *b->click;
    asOperator(*b->control, [&] { handler(); });
  }
  return QObject::eventFilter(watched, event);
}

void FormBinder::asOperator(const form::Control& control, const std::function<void()>& f) {
  std::weak_ptr<int> alive = alive_;
  const form::Control** slot = activeSlot_;
  const form::Control* previous = slot ? *slot : nullptr;
  if (slot) *slot = &control;
  try {
    f();
  } catch (const std::exception& e) {
    // Handlers trap their own errors; one that escapes must not take the event loop down with it.
    qWarning("Unhandled error in the handler of %s: %s", control.name().c_str(), e.what());
  } catch (...) {
    qWarning("Unhandled error in the handler of %s", control.name().c_str());
  }
  if (!alive.expired() && slot) *slot = previous;
}

// ---------------------------------------------------------------------------------------------------
// Operator → model

void FormBinder::connectWidget(Binding& b) {
  form::Control* c = b.control;
  QWidget* w = b.widget;
  if (auto* timer = dynamic_cast<form::Timer*>(c)) {
    b.timer = new QTimer(this);
    std::weak_ptr<int> alive = alive_;
    connect(b.timer, &QTimer::timeout, this, [&b, timer, alive] {
      // A pass that lets the window process events must not start a second pass inside itself.
      if (b.inTimer || !timer->enabled() || !timer->onTimer) return;
      b.inTimer = true;
      auto handler = timer->onTimer;
      try {
        handler();
      } catch (const std::exception& e) {
        qWarning("Unhandled error in the timer %s: %s", timer->name().c_str(), e.what());
      }
      if (!alive.expired()) b.inTimer = false;
    });
    return;
  }
  if (auto* check = dynamic_cast<form::CheckBox*>(c)) {
    if (auto* box = qobject_cast<QAbstractButton*>(w))
      connect(box, &QAbstractButton::clicked, this, [this, check](bool on) {
        if (applying_) return;
        asOperator(*check, [&] { check->setValue(on ? 1 : 0); });
      });
  } else if (auto* button = dynamic_cast<form::Button*>(c)) {
    if (auto* pb = qobject_cast<QAbstractButton*>(w))
      connect(pb, &QAbstractButton::clicked, this, [this, button] {
        if (applying_) return;
        asOperator(*button, [&] { button->click(); });
      });
  } else if (auto* label = dynamic_cast<form::Label*>(c)) {
    (void)label;
    if (auto* l = qobject_cast<QLabel*>(w)) l->setTextFormat(Qt::PlainText);
  } else if (auto* text = dynamic_cast<form::TextBox*>(c)) {
    if (auto* le = qobject_cast<QLineEdit*>(w)) {
      connect(le, &QLineEdit::textEdited, this, [this, text](const QString& s) {
        if (applying_) return;
        asOperator(*text, [&] { text->setText(s.toStdString()); });
      });
    } else if (auto* pe = qobject_cast<QPlainTextEdit*>(w)) {
      connect(pe, &QPlainTextEdit::textChanged, this, [this, text, pe] {
        if (applying_ || pe->isReadOnly()) return;
        asOperator(*text, [&] { text->setText(pe->toPlainText().toStdString()); });
      });
    }
  } else if (auto* list = dynamic_cast<form::ListBox*>(c)) {
    if (auto* lw = qobject_cast<QListWidget*>(w)) {
      lw->setSelectionMode(list->multiSelect() ? QAbstractItemView::MultiSelection
                                               : QAbstractItemView::SingleSelection);
      connect(lw, &QListWidget::itemSelectionChanged, this, [this, &b] { listSelectionChanged(b); });
    }
  } else if (auto* combo = dynamic_cast<form::ComboBox*>(c)) {
    if (auto* cb = qobject_cast<QComboBox*>(w)) {
      connect(cb, &QComboBox::activated, this, [this, combo](int i) {
        if (applying_) return;
        asOperator(*combo, [&] { combo->setListIndex(i); });
      });
      if (cb->isEditable()) {
        cb->setInsertPolicy(QComboBox::NoInsert);
        connect(cb->lineEdit(), &QLineEdit::textEdited, this, [this, combo](const QString& s) {
          if (applying_) return;
          asOperator(*combo, [&] { combo->setText(s.toStdString()); });
        });
      }
    }
  } else if (auto* date = dynamic_cast<form::DatePicker*>(c)) {
    if (auto* de = qobject_cast<QDateTimeEdit*>(w))
      connect(de, &QDateTimeEdit::dateChanged, this, [this, date](QDate d) {
        if (applying_ || !d.isValid()) return;
        asOperator(*date, [&] { date->setValue(DateTime{d.year(), d.month(), d.day()}); });
      });
  } else if (auto* tabs = dynamic_cast<form::TabSet*>(c)) {
    if (auto* tw = qobject_cast<QTabWidget*>(w))
      connect(tw, &QTabWidget::currentChanged, this, [this, tabs](int i) {
        if (applying_ || i < 0 || i >= tabs->tabs() || i == tabs->tab()) return;
        asOperator(*tabs, [&] { tabs->setTab(i); });
      });
  }
}

void FormBinder::listSelectionChanged(Binding& b) {
  if (applying_) return;
  auto* lw = qobject_cast<QListWidget*>(b.widget);
  if (!lw) return;
  auto& list = static_cast<form::ListBox&>(*b.control);
  struct Change {
    int row;
    bool selected;
  };
  std::vector<Change> changes;
  const int n = std::min(list.listCount(), lw->count());
  for (int i = 0; i < n; ++i) {
    const bool shown = lw->item(i)->isSelected();
    if (shown != list.selected(i)) changes.push_back({i, shown});
  }
  if (!list.multiSelect()) {
    // A single-choice list: choosing an entry is one change, whatever it deselected.
    auto chosen = std::find_if(changes.begin(), changes.end(), [](const Change& ch) { return ch.selected; });
    if (chosen != changes.end()) changes = {*chosen};
  }
  asOperator(list, [&] {
    for (const Change& ch : changes) {
      // A handler may have rebuilt or changed the list meanwhile; only the operator's own changes go in.
      if (ch.row >= list.listCount() || list.selected(ch.row) == ch.selected) continue;
      list.setSelected(ch.row, ch.selected);
    }
  });
  // Whatever the handlers did, the list shows the model's state again.
  changed(b);
}

// ---------------------------------------------------------------------------------------------------
// Model → widget

namespace {
struct ApplyGuard {
  explicit ApplyGuard(int& n) : n_(n) { ++n_; }
  ~ApplyGuard() { --n_; }
  ApplyGuard(const ApplyGuard&) = delete;
  ApplyGuard& operator=(const ApplyGuard&) = delete;
  int& n_;
};
}  // namespace

void FormBinder::apply(Binding& b) {
  form::Control* c = b.control;
  if (auto* timer = dynamic_cast<form::Timer*>(c)) {
    applyTimer(b, *timer);
    b.first = false;
    return;
  }
  if (!b.widget) return;
  ApplyGuard guard(applying_);
  QSignalBlocker blocker(b.widget);
  QWidget* w = b.widget;

  if (auto* check = dynamic_cast<form::CheckBox*>(c)) {
    applyCaption(b, check->caption());
    if (auto* box = qobject_cast<QCheckBox*>(w); box && (b.first || check->value() != b.value)) {
      box->setTristate(check->value() == 2);
      box->setCheckState(check->value() == 0   ? Qt::Unchecked
                         : check->value() == 2 ? Qt::PartiallyChecked
                                               : Qt::Checked);
    }
    b.value = check->value();
  } else if (auto* label = dynamic_cast<form::Label*>(c)) {
    applyCaption(b, label->caption());
  } else if (auto* text = dynamic_cast<form::TextBox*>(c)) {
    if (b.first || text->text() != b.text) {
      const QString s = qs(text->text());
      if (auto* le = qobject_cast<QLineEdit*>(w)) {
        if (le->text() != s) le->setText(s);
      } else if (auto* pe = qobject_cast<QPlainTextEdit*>(w)) {
        if (pe->toPlainText() != s) pe->setPlainText(s);
      } else if (auto* te = qobject_cast<QTextEdit*>(w)) {
        te->setPlainText(s);
      } else if (auto* l = qobject_cast<QLabel*>(w)) {
        l->setText(s);
      }
    }
    b.text = text->text();
  } else if (auto* list = dynamic_cast<form::ListBox*>(c)) {
    applyList(b, *list);
  } else if (auto* combo = dynamic_cast<form::ComboBox*>(c)) {
    applyCombo(b, *combo);
  } else if (auto* grid = dynamic_cast<form::Grid*>(c)) {
    applyGrid(b, *grid);
  } else if (auto* date = dynamic_cast<form::DatePicker*>(c)) {
    if (auto* de = qobject_cast<QDateTimeEdit*>(w); de && (b.first || date->value() != b.date)) {
      QDate d(date->value().year, date->value().month, date->value().day);
      if (d.isValid()) de->setDate(d);
    }
    b.date = date->value();
  } else if (auto* tabs = dynamic_cast<form::TabSet*>(c)) {
    applyTabs(b, *tabs);
  } else if (auto* bar = dynamic_cast<form::ProgressBar*>(c)) {
    if (auto* pb = qobject_cast<QProgressBar*>(w)) {
      pb->setRange(bar->min(), std::max(bar->min(), bar->max()));
      pb->setValue(bar->value());
    }
  } else if (auto* progress = dynamic_cast<form::ProgressForm*>(c)) {
    applyCaption(b, progress->caption());
  }
  // Visibility last, so a window that appears shows its current contents at once.
  applyCommon(b);
  b.first = false;
}

void FormBinder::applyCommon(Binding& b) {
  QWidget* w = b.widget;
  const bool enabled = b.control->enabled();
  if (b.first || enabled != b.enabled) w->setEnabled(enabled);
  b.enabled = enabled;
  const bool visible = b.control->visible();
  if (b.first || visible != b.visible) {
    // A window closed by the operator is hidden although its control still says shown.
    if (w->isWindow()) {
      if (visible) {
        w->show();
        w->raise();
        w->activateWindow();
      } else {
        w->hide();
      }
    } else {
      w->setVisible(visible);
    }
  }
  b.visible = visible;
}

void FormBinder::applyCaption(Binding& b, const std::string& caption) {
  // An empty caption at first leaves the designed text (picture buttons have no caption of their own).
  const bool apply = b.first ? !caption.empty() : caption != b.caption;
  b.caption = caption;
  if (!apply) return;
  QWidget* w = b.widget;
  const QString s = qs(caption);
  if (w->isWindow())
    w->setWindowTitle(s);
  else if (auto* l = qobject_cast<QLabel*>(w))
    l->setText(s);
  else if (auto* ab = qobject_cast<QAbstractButton*>(w))
    ab->setText(s);
  else if (auto* gb = qobject_cast<QGroupBox*>(w))
    gb->setTitle(s);
  else if (auto* le = qobject_cast<QLineEdit*>(w))
    le->setText(s);
}

void FormBinder::applyList(Binding& b, const form::ListBox& list) {
  auto* lw = qobject_cast<QListWidget*>(b.widget);
  if (!lw) return;
  const auto& items = list.items();
  const std::size_t shown = static_cast<std::size_t>(lw->count());
  if (b.first || shown != b.items.size() || items.size() < shown || !sameEntries(items, b.items, shown)) {
    lw->clear();
    for (const auto& it : items) lw->addItem(qs(it.text));
  } else {
    // Entries added at the end (the usual fill) are appended without rebuilding the list.
    for (std::size_t i = shown; i < items.size(); ++i) lw->addItem(qs(items[i].text));
  }
  for (int i = 0; i < lw->count(); ++i) {
    const bool sel = items[static_cast<std::size_t>(i)].selected;
    if (lw->item(i)->isSelected() != sel) lw->item(i)->setSelected(sel);
  }
  const int index = list.listIndex();
  if (index >= 0 && index < lw->count())
    lw->selectionModel()->setCurrentIndex(lw->model()->index(index, 0), QItemSelectionModel::NoUpdate);
  else
    lw->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
  b.items = items;
  b.listIndex = index;
}

void FormBinder::applyCombo(Binding& b, const form::ComboBox& combo) {
  auto* cb = qobject_cast<QComboBox*>(b.widget);
  if (!cb) return;
  const auto& items = combo.items();
  if (b.first || items.size() != b.items.size() || !sameEntries(items, b.items, items.size())) {
    cb->clear();
    for (const auto& it : items) cb->addItem(qs(it.text), QVariant::fromValue(it.itemData));
  }
  const int index = combo.listIndex();
  if (index >= 0 && index < cb->count()) {
    if (cb->currentIndex() != index) cb->setCurrentIndex(index);
  } else {
    cb->setCurrentIndex(-1);
    // A text that is not one of the entries: editable boxes show it, the others as a hint.
    if (cb->isEditable())
      cb->setEditText(qs(combo.text()));
    else
      cb->setPlaceholderText(qs(combo.text()));
  }
  if (cb->isEditable() && cb->currentText() != qs(combo.text())) cb->setEditText(qs(combo.text()));
  b.items = items;
  b.listIndex = index;
  b.text = combo.text();
}

void FormBinder::applyGrid(Binding& b, const form::Grid& grid) {
  auto* table = qobject_cast<QTableWidget*>(b.widget);
  if (!table) return;
  const int rows = grid.rows();
  const int cols = grid.cols();
  const int header = grid.fixedRows() >= 1 && rows >= 1 ? 1 : 0;
  bool changedAny = false;
  if (header != b.headerRows || table->columnCount() != cols) {
    // The cells moved: nothing shown can be trusted to be in place any more.
    b.cells.clear();
    b.colors.clear();
  }
  if (table->columnCount() != cols) {
    table->setColumnCount(cols);
    changedAny = true;
  }
  if (table->rowCount() != rows - header) {
    table->setRowCount(rows - header);
    changedAny = true;
  }
  table->horizontalHeader()->setVisible(header == 1);
  if (header) {
    for (int c = 0; c < cols; ++c) {
      const QString s = qs(grid.text(0, c));
      QTableWidgetItem* h = table->horizontalHeaderItem(c);
      if (!h) {
        table->setHorizontalHeaderItem(c, new QTableWidgetItem(s));
        changedAny = true;
      } else if (h->text() != s) {
        h->setText(s);
        changedAny = true;
      }
    }
  }
  for (int r = header; r < rows; ++r) {
    const auto ur = static_cast<std::size_t>(r);
    for (int c = 0; c < cols; ++c) {
      const auto uc = static_cast<std::size_t>(c);
      const std::string& text = grid.text(r, c);
      const unsigned color = grid.cellColor(r, c);
      const bool known = ur < b.cells.size() && uc < b.cells[ur].size() && ur < b.colors.size() &&
                         uc < b.colors[ur].size() && table->item(r - header, c);
      if (known && b.cells[ur][uc] == text && b.colors[ur][uc] == color) continue;
      QTableWidgetItem* item = table->item(r - header, c);
      if (!item) {
        item = new QTableWidgetItem;
        table->setItem(r - header, c, item);
      }
      item->setText(qs(text));
      if (color)
        item->setBackground(colorOf(color));
      else
        item->setData(Qt::BackgroundRole, QVariant());
      changedAny = true;
    }
  }
  b.cells.assign(static_cast<std::size_t>(rows), {});
  b.colors.assign(static_cast<std::size_t>(rows), {});
  for (int r = 0; r < rows; ++r) {
    b.cells[static_cast<std::size_t>(r)] = grid.row(r);
    auto& colorRow = b.colors[static_cast<std::size_t>(r)];
    colorRow.resize(static_cast<std::size_t>(cols));
    for (int c = 0; c < cols; ++c) colorRow[static_cast<std::size_t>(c)] = grid.cellColor(r, c);
  }
  b.headerRows = header;
  if (changedAny && rows <= kMeasureRowsLimit) table->resizeColumnsToContents();
  // A column given a width keeps it whatever its cells hold: that many digits' widths and the cell's
  // margins, and never narrower than its caption.
  const QFontMetrics metrics = table->fontMetrics();
  const int margins = 2 * table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table) + 8;
  for (std::size_t c = 0; c < grid.columnWidths().size() && static_cast<int>(c) < cols; ++c) {
    if (grid.columnWidths()[c] <= 0) continue;
    int width = grid.columnWidths()[c] * metrics.horizontalAdvance(QLatin1Char('0')) + margins;
    if (const QTableWidgetItem* caption = table->horizontalHeaderItem(static_cast<int>(c)))
      width = std::max(width, table->horizontalHeader()->fontMetrics().horizontalAdvance(caption->text()) + 2 * margins);
    table->setColumnWidth(static_cast<int>(c), width);
  }
}

void FormBinder::applyTabs(Binding& b, const form::TabSet& tabs) {
  auto* tw = qobject_cast<QTabWidget*>(b.widget);
  if (!tw) return;
  const int n = std::min(tabs.tabs(), tw->count());
  for (int i = 0; i < n; ++i) {
    const QString caption = qs(tabs.caption(i));
    if (!caption.isEmpty() && tw->tabText(i) != caption) tw->setTabText(i, caption);
    if (tw->isTabVisible(i) != tabs.tabVisible(i)) tw->setTabVisible(i, tabs.tabVisible(i));
  }
  if (tabs.tab() >= 0 && tabs.tab() < n && tw->currentIndex() != tabs.tab()) tw->setCurrentIndex(tabs.tab());
  b.listIndex = tabs.tab();
}

void FormBinder::applyTimer(Binding& b, const form::Timer& timer) {
  if (!b.timer) return;
  const int interval = timer.intervalMs();
  if (interval != b.interval) {
    b.timer->setInterval(std::max(0, interval));
    b.interval = interval;
  }
  // A timer with no interval never fires, as the window's timer control behaves.
  const bool run = timer.enabled() && interval > 0;
  if (run && !b.timer->isActive())
    b.timer->start();
  else if (!run && b.timer->isActive())
    b.timer->stop();
}

}  // namespace erpsync::qt
