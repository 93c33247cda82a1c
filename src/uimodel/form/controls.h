// The window's controls as plain C++ state. Operations read and write these; the window (or the
// console) subscribes and shows them. Every setter notifies the subscribers of that control.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "util/date_time.h"
#include "util/text.h"

namespace erpsync::form {

class Control {
 public:
  explicit Control(std::string name) : name_(std::move(name)) {}
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  virtual ~Control() = default;

  const std::string& name() const { return name_; }
  bool visible() const { return visible_; }
  void setVisible(bool v) { set(visible_, v); }
  // What the operator sees: enabled by its own state and not held.
  bool enabled() const { return enabled_ && !held_; }
  void setEnabled(bool v) { set(enabled_, v); }
  // Held while another operation runs: shown disabled whatever setEnabled says, and back to that state
  // when released (operations that enable or disable the control meanwhile are not overridden).
  bool held() const { return held_; }
  void setHeld(bool v) { set(held_, v); }
  // Free text the operations keep with a control (the cost-centre label keeps its id here).
  const std::string& tag() const { return tag_; }
  void setTag(std::string v) { set(tag_, std::move(v)); }

  // Called after every change of this control.
  void subscribe(std::function<void()> f) { observers_.push_back(std::move(f)); }

 protected:
  template <class T>
  void set(T& field, T value) {
    if (field == value) return;
    field = std::move(value);
    changed();
  }
  void changed() {
    for (auto& f : observers_) f();
  }

 private:
  std::string name_;
  bool visible_ = true;
  bool enabled_ = true;
  bool held_ = false;
  std::string tag_;
  std::vector<std::function<void()>> observers_;
};

class Label : public Control {
 public:
  Label(std::string name, std::string caption = {}) : Control(std::move(name)), caption_(std::move(caption)) {}
  const std::string& caption() const { return caption_; }
  void setCaption(std::string v) { set(caption_, std::move(v)); }

 private:
  std::string caption_;
};

class Button : public Label {
 public:
  using Label::Label;
  std::function<void()> onClick;
  // What a press does: runs the click handler when the button is enabled and visible.
  void click() {
    if (enabled() && visible() && onClick) onClick();
  }
};

class TextBox : public Control {
 public:
  using Control::Control;
  const std::string& text() const { return text_; }
  void setText(std::string v) { set(text_, std::move(v)); }

 private:
  std::string text_;
};

class CheckBox : public Label {
 public:
  using Label::Label;
  int value() const { return value_; }
  // Changing the value raises the click handler, as ticking the box by code does in the window.
  void setValue(int v) {
    if (v == value_) return;
    value_ = v;
    changed();
    if (onClick) onClick();
  }
  std::function<void()> onClick;

 private:
  int value_ = 0;
};

struct ListItem {
  std::string text;
  long long itemData = 0;
  bool selected = false;
  bool operator==(const ListItem&) const = default;
};

// A list box; multiSelect lists keep a selected flag per entry.
class ListBox : public Control {
 public:
  ListBox(std::string name, bool multiSelect = false) : Control(std::move(name)), multiSelect_(multiSelect) {}
  const std::vector<ListItem>& items() const { return items_; }
  int listCount() const { return static_cast<int>(items_.size()); }
  void clear() {
    items_.clear();
    listIndex_ = -1;
    changed();
  }
  void addItem(std::string text, long long itemData = 0) {
    items_.push_back({std::move(text), itemData, false});
    changed();
  }
  bool selected(int i) const { return items_.at(static_cast<std::size_t>(i)).selected; }
  // Selecting an entry by code raises the click handler, as the window's list does.
  void setSelected(int i, bool v) {
    auto& it = items_.at(static_cast<std::size_t>(i));
    if (!multiSelect_ && v)
      for (auto& o : items_) o.selected = false;
    it.selected = v;
    listIndex_ = i;
    changed();
    if (onClick) onClick();
  }
  int selectedCount() const {
    int n = 0;
    for (auto& i : items_) n += i.selected ? 1 : 0;
    return n;
  }
  int listIndex() const { return listIndex_; }
  void setListIndex(int i) { set(listIndex_, i); }
  bool multiSelect() const { return multiSelect_; }
  std::function<void()> onClick;

 private:
  std::vector<ListItem> items_;
  int listIndex_ = -1;
  bool multiSelect_;
};

class ComboBox : public Control {
 public:
  using Control::Control;
  const std::vector<ListItem>& items() const { return items_; }
  int listCount() const { return static_cast<int>(items_.size()); }
  void clear() {
    items_.clear();
    listIndex_ = -1;
    text_.clear();
    changed();
  }
  void addItem(std::string text, long long itemData = 0) {
    items_.push_back({std::move(text), itemData, false});
    changed();
  }
  int listIndex() const { return listIndex_; }
  // Choosing an entry sets the text to the entry's text and raises the change handler.
  void setListIndex(int i) {
    listIndex_ = i;
    text_ = i >= 0 && i < listCount() ? items_[static_cast<std::size_t>(i)].text : std::string();
    changed();
    if (onChange) onChange();
  }
  long long itemData(int i) const { return items_.at(static_cast<std::size_t>(i)).itemData; }
  const std::string& text() const { return text_; }
  // Typing a text: selects the entry with that text, letter case aside, when there is one; the text
  // stays as typed ("5 Minutes" selects the entry "5 MInutes").
  void setText(std::string v) {
    text_ = std::move(v);
    listIndex_ = -1;
    for (int i = 0; i < listCount(); ++i) {
      const std::string& entry = items_[static_cast<std::size_t>(i)].text;
      if (entry == text_ || (listIndex_ < 0 && text::iequals(entry, text_))) listIndex_ = i;
    }
    changed();
    if (onChange) onChange();
  }
  std::function<void()> onChange;

 private:
  std::vector<ListItem> items_;
  int listIndex_ = -1;
  std::string text_;
};

// A grid of text cells with one colour per cell; row 0 is the header when fixedRows is 1.
class Grid : public Control {
 public:
  using Control::Control;
  int rows() const { return static_cast<int>(cells_.size()); }
  int cols() const { return cols_; }
  int fixedRows() const { return fixedRows_; }
  void setFixedRows(int n) { set(fixedRows_, n); }
  // Header from a "|"-separated format string: one column per part, one fixed row.
  void setFormatString(const std::string& format);
  void setRows(int n);
  void setCols(int n);
  void clear();
  // Appends a row from tab-separated text (missing cells stay empty).
  void addItem(const std::string& tabSeparated);
  const std::string& text(int row, int col) const;
  void setText(int row, int col, std::string v);
  // Cell colours are 0xRRGGBB; 0 is the default colour.
  unsigned cellColor(int row, int col) const;
  // A colour value with red in the lowest byte, then green, then blue (255 is red); 0 the default.
  void setCellColor(int row, int col, unsigned color);
  const std::vector<std::string>& row(int r) const { return cells_.at(static_cast<std::size_t>(r)); }
  // Column widths in characters, by column; a column without one (or 0) is as wide as its contents.
  const std::vector<int>& columnWidths() const { return widths_; }
  void setColumnWidths(std::vector<int> chars) { set(widths_, std::move(chars)); }

 private:
  std::vector<std::vector<std::string>> cells_;
  std::vector<std::vector<unsigned>> colors_;
  std::vector<int> widths_;
  int cols_ = 0;
  int fixedRows_ = 0;
};

class DatePicker : public Control {
 public:
  using Control::Control;
  // The date (time of day zero).
  const DateTime& value() const { return value_; }
  void setValue(DateTime v) { set(value_, v.dateOnly()); }

 private:
  DateTime value_{};
};

class TabSet : public Control {
 public:
  TabSet(std::string name, std::vector<std::string> captions)
      : Control(std::move(name)), captions_(std::move(captions)), pageVisible_(captions_.size(), true) {}
  int tab() const { return tab_; }
  // Selecting a page raises the click handler with the page before the change.
  void setTab(int t) {
    if (t == tab_) return;
    int previous = tab_;
    tab_ = t;
    changed();
    if (onClick) onClick(previous);
  }
  int tabs() const { return static_cast<int>(captions_.size()); }
  const std::string& caption(int i) const { return captions_.at(static_cast<std::size_t>(i)); }
  bool tabVisible(int i) const { return pageVisible_.at(static_cast<std::size_t>(i)); }
  void setTabVisible(int i, bool v) {
    if (pageVisible_.at(static_cast<std::size_t>(i)) == v) return;
    pageVisible_[static_cast<std::size_t>(i)] = v;
    changed();
  }
  std::function<void(int previousTab)> onClick;

 private:
  std::vector<std::string> captions_;
  std::vector<bool> pageVisible_;
  int tab_ = 0;
};

class Timer : public Control {
 public:
  using Control::Control;
  int intervalMs() const { return interval_; }
  void setInterval(int ms) { set(interval_, ms); }
  std::function<void()> onTimer;

 private:
  int interval_ = 0;
};

}  // namespace erpsync::form
