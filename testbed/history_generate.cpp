// The histories made from a seed: the steps of a branch's life, each drawn with the same generator on
// every platform, so a seed always gives the same recipe.
#include <fmt/format.h>

#include <array>
#include <random>

#include "history.h"

namespace erpsync::testbed::history {

namespace {

// The same numbers for one seed on every platform.
class Dice {
 public:
  explicit Dice(unsigned seed) : g_(seed) {}
  int below(int n) { return n <= 0 ? 0 : static_cast<int>(g_() % static_cast<unsigned>(n)); }
  int between(int lo, int hi) { return lo + below(hi - lo + 1); }
  bool chance(int percent) { return below(100) < percent; }
  unsigned raw() { return static_cast<unsigned>(g_()); }
  // An index by weight.
  template <std::size_t N>
  std::size_t weighted(const std::array<int, N>& weights) {
    int total = 0;
    for (int w : weights) total += w;
    int x = below(total);
    for (std::size_t i = 0; i < N; ++i) {
      if (x < weights[i]) return i;
      x -= weights[i];
    }
    return N - 1;
  }

 private:
  std::mt19937 g_;
};

VoucherFamily randomFamily(Dice& d) {
  static const std::array<int, 5> w{40, 15, 15, 15, 15};
  return kVoucherFamilies[d.weighted(w)];
}

LineEdit randomLineEdit(Dice& d) {
  static const std::array<int, 4> w{40, 20, 20, 20};
  return static_cast<LineEdit>(d.weighted(w));
}

Fault randomFault(Dice& d) {
  Fault f;
  f.kind = static_cast<FaultKind>(d.below(4));
  if (f.kind == FaultKind::Error && d.chance(25)) {
    static const long others[] = {1222, 9002, 2627, 547};
    f.error = others[d.below(4)];
  }
  f.centralOnly = d.chance(70);
  // Most verbs make a few dozen calls on a branch of a few vouchers: the early calls are chosen more.
  f.at = d.between(1, 1 << d.between(f.centralOnly ? 3 : 4, f.centralOnly ? 6 : 7));
  return f;
}

std::string syncVerb(Dice& d) {
  static const std::array<int, 6> w{40, 20, 12, 8, 8, 4};
  switch (d.weighted(w)) {
    case 0:
      return fmt::format("run --passes {} --wait-ms 0", d.between(1, 3));
    case 1:
      return "upload";
    case 2:
      return "day-end";
    case 3:
      return "resync";
    case 4:
      return "day-start";
    default:
      return "purge";
  }
}

}  // namespace

History generate(unsigned seed) {
  History h;
  h.seed = seed;
  Dice d(seed * 2654435761u + 0x9e3779b9u);
  const int n = d.between(10, 25);
  int late = -1, midnight = -1;
  if (d.chance(30)) {
    late = d.between(3, n - 4);
    midnight = std::min(n - 2, late + d.between(1, 3));
  }
  // Enter, edit, edit uploaded, delete, delete uploaded, delete newest and enter, head office edit,
  // head office delete, untick, tick, clock, sync.
  static const std::array<int, 12> weights{22, 6, 8, 4, 7, 4, 3, 3, 3, 3, 3, 34};
  for (int i = 0; i < n; ++i) {
    Step s;
    if (i == late) {
      s.kind = StepKind::Clock;
      s.clock = ClockMove::LateEvening;
    } else if (i == midnight) {
      s.kind = StepKind::Clock;
      s.clock = ClockMove::PastMidnight;
    } else {
      s.kind = i < 2 ? StepKind::Enter : static_cast<StepKind>(d.weighted(weights));
    }
    s.family = randomFamily(d);
    s.pick = d.raw() % 1000;
    switch (s.kind) {
      case StepKind::Edit:
      case StepKind::EditUploaded:
        s.lines = randomLineEdit(d);
        break;
      case StepKind::CentralEdit:
        s.lines = d.chance(50) ? LineEdit::Quantity : LineEdit::None;
        break;
      case StepKind::Clock:
        if (s.clock == ClockMove::Minutes) s.minutes = d.between(5, 90);
        break;
      case StepKind::Sync:
        s.verb = syncVerb(d);
        if (d.chance(45)) s.fault = randomFault(d);
        break;
      default:
        break;
    }
    h.steps.push_back(std::move(s));
  }
  return h;
}

}  // namespace erpsync::testbed::history
