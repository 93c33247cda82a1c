// The window's controls as plain C++ state.
#include "form/controls.h"

namespace erpsync::form {

namespace {
std::vector<std::string> split(const std::string& s, char sep) {
  std::vector<std::string> parts;
  std::string cur;
  for (char c : s) {
    if (c == sep) {
      parts.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  parts.push_back(cur);
  return parts;
}
const std::string kEmpty;
}  // namespace

void Grid::setFormatString(const std::string& format) {
  auto parts = split(format, '|');
  cells_.assign(1, parts);
  colors_.assign(1, std::vector<unsigned>(parts.size(), 0));
  cols_ = static_cast<int>(parts.size());
  fixedRows_ = 1;
  changed();
}

void Grid::setRows(int n) {
  if (n < 0) n = 0;
  cells_.resize(static_cast<std::size_t>(n), std::vector<std::string>(static_cast<std::size_t>(cols_)));
  colors_.resize(static_cast<std::size_t>(n), std::vector<unsigned>(static_cast<std::size_t>(cols_), 0));
  changed();
}

void Grid::setCols(int n) {
  if (n < 0) n = 0;
  cols_ = n;
  for (auto& r : cells_) r.resize(static_cast<std::size_t>(n));
  for (auto& r : colors_) r.resize(static_cast<std::size_t>(n), 0);
  changed();
}

void Grid::clear() {
  for (auto& r : cells_)
    for (auto& c : r) c.clear();
  for (auto& r : colors_)
    for (auto& c : r) c = 0;
  changed();
}

void Grid::addItem(const std::string& tabSeparated) {
  auto parts = split(tabSeparated, '\t');
  if (static_cast<int>(parts.size()) > cols_) setCols(static_cast<int>(parts.size()));
  parts.resize(static_cast<std::size_t>(cols_));
  cells_.push_back(std::move(parts));
  colors_.emplace_back(static_cast<std::size_t>(cols_), 0);
  changed();
}

const std::string& Grid::text(int row, int col) const {
  if (row < 0 || row >= rows() || col < 0 || col >= cols_) return kEmpty;
  return cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
}

void Grid::setText(int row, int col, std::string v) {
  if (row >= rows()) setRows(row + 1);
  if (col >= cols_) setCols(col + 1);
  cells_.at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(col)) = std::move(v);
  changed();
}

unsigned Grid::cellColor(int row, int col) const {
  if (row < 0 || row >= rows() || col < 0 || col >= cols_) return 0;
  return colors_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
}

void Grid::setCellColor(int row, int col, unsigned color) {
  if (row >= rows()) setRows(row + 1);
  if (col >= cols_) setCols(col + 1);
  colors_.at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(col)) = color;
  changed();
}

}  // namespace erpsync::form
