// The small progress window frmInitialize ("Easy Progress") that the list and grid fill shows while
// it loads rows: a progress bar, a caption line and a close button.
#pragma once

#include <algorithm>
#include <string>

#include "form/controls.h"

namespace erpsync::form {

class ProgressBar : public Control {
 public:
  using Control::Control;
  int min() const { return min_; }
  int max() const { return max_; }
  int value() const { return value_; }
  void setMin(int v) { set(min_, v); }
  void setMax(int v) { set(max_, v); }
  // The value stays within min..max.
  void setValue(int v) { set(value_, std::clamp(v, min_, std::max(min_, max_))); }

 private:
  int min_ = 0;
  int max_ = 100;
  int value_ = 0;
};

// The window itself is a control: its visibility says whether it is loaded and shown.
class ProgressForm : public Control {
 public:
  ProgressForm() : Control("frmInitialize") {
    setVisible(false);
    cmdClose.onClick = [this] {
      if (!noClose) closed = true;
      unload();
    };
  }

  const std::string& caption() const { return caption_; }

  // Loading clears the closed flag; showing loads the window when it is not loaded yet.
  void load() {
    if (loaded_) return;
    loaded_ = true;
    closed = false;
  }
  void show() {
    load();
    setVisible(true);
  }
  void unload() {
    loaded_ = false;
    setVisible(false);
  }
  bool loaded() const { return loaded_; }

  ProgressBar prg{"prg"};
  Label lblCAption{"lblCAption"};
  Button cmdClose{"cmdClose", "X"};

  // When set, the close button only hides the window and does not mark it closed.
  bool noClose = false;
  // Set by the close button (unless noClose); cleared when the window loads.
  bool closed = false;

 private:
  std::string caption_ = "Easy Progress";
  bool loaded_ = false;
};

}  // namespace erpsync::form
