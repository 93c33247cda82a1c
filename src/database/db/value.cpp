// Values as the database layer hands them to the operations: one cell of a recordset.
#include "db/value.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "util/c_number.h"

namespace erpsync::db {

namespace {

std::string formatNumber(double d) {
  if (std::isnan(d) || std::isinf(d)) return d > 0 ? "1.#INF" : "NaN";
  if (d == std::floor(d) && std::fabs(d) < 1e15) return util::cFormat(d, 0, true);
  return util::cFormat(d, 15);
}

}  // namespace

bool Value::isNumber() const {
  return std::holds_alternative<std::int64_t>(v_) || std::holds_alternative<double>(v_) ||
         std::holds_alternative<Decimal>(v_) || std::holds_alternative<bool>(v_);
}

std::string Value::toString() const {
  struct V {
    std::string operator()(std::monostate) const { return {}; }
    std::string operator()(std::int64_t i) const { return std::to_string(i); }
    std::string operator()(double d) const { return formatNumber(d); }
    std::string operator()(const Decimal& d) const {
      // Exact decimals read without trailing zeros, as a number field does: "12.50" -> "12.5".
      std::string t = d.text;
      if (t.find('.') != std::string::npos) {
        while (!t.empty() && t.back() == '0') t.pop_back();
        if (!t.empty() && t.back() == '.') t.pop_back();
      }
      if (t.empty() || t == "-") return "0";
      if (t == "-0") return "0";
      if (t.rfind("-.", 0) == 0) t.insert(1, "0");
      if (t.rfind(".", 0) == 0) t.insert(0, "0");
      return t;
    }
    std::string operator()(const std::string& s) const { return s; }
    std::string operator()(const DateTime& t) const { return t.iso(); }
    std::string operator()(bool b) const { return b ? "1" : "0"; }
    std::string operator()(const Bytes& b) const { return std::string(b.data.begin(), b.data.end()); }
  };
  return std::visit(V{}, v_);
}

double leadingNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  std::size_t start = i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  bool digits = false;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, digits = true;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, digits = true;
  }
  if (!digits) return 0;
  std::string part(text.substr(start, i - start));
  return util::cNumber(part);
}

double Value::toDouble() const {
  struct V {
    double operator()(std::monostate) const { return 0; }
    double operator()(std::int64_t i) const { return static_cast<double>(i); }
    double operator()(double d) const { return d; }
    double operator()(const Decimal& d) const { return leadingNumber(d.text); }
    double operator()(const std::string& s) const { return leadingNumber(s); }
    double operator()(const DateTime& t) const {
      return static_cast<double>(t.dayNumber()) + (t.hour * 3600 + t.minute * 60 + t.second) / 86400.0;
    }
    double operator()(bool b) const { return b ? 1 : 0; }
    double operator()(const Bytes&) const { return 0; }
  };
  return std::visit(V{}, v_);
}

std::int64_t Value::toInt() const {
  if (auto* i = std::get_if<std::int64_t>(&v_)) return *i;
  return static_cast<std::int64_t>(std::llround(toDouble()));
}

std::optional<DateTime> Value::toDateTime() const {
  if (auto* t = std::get_if<DateTime>(&v_)) return *t;
  if (auto* s = std::get_if<std::string>(&v_)) return DateTime::fromIso(*s);
  return std::nullopt;
}

}  // namespace erpsync::db
