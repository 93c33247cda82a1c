// How many branches one head office serves: a discrete-event simulation of a business day of N
// branches that upload into one head office over links of a given round-trip time, the push lock
// serialising their uploads. Uses the standard library only; the round-trip counts are parameters
// (measured by roundtrip_bench, see docs/capacity.md).
//
// The model:
//   - vouchers arrive at each branch as a Poisson process: V a day over the business day, the peak
//     hour at P times the mean rate, the other hours evenly below it;
//   - each branch runs a pass at opening time (all branches at once) and then every interval from a
//     random phase; a pass that runs past its next start time is followed at once by the next;
//   - a pass reads the vouchers waiting at its start (with --age S, those at least S old). Its calls before the lock
//   take
//     (total(n) - locked(n)) x RTT; then it queues for the push lock (FIFO) and holds it for
//     locked(n) x RTT + server work; the vouchers commit at head office batch by batch, spread evenly
//     over the hold;
//   - with --busy skip a pass that finds the lock held gives up and tries again after --retry seconds
//     (what the upload does: "Server Busy"), instead of queueing.
//   total(n) = A + B n + C ceil(n / batch), locked(n) = a + b n + c ceil(n / batch); the idle pass
//   (n = 0) has its own counts. Server work under the lock: w_call per locked call + w_voucher per voucher.
//
// Reports lock utilisation (day and peak hour), p50/p99 voucher delay (entry to committed at head
// office), p99 and largest lock wait, and how long the opening rush takes to clear, against the goal:
// p99 delay within the interval (plus the age) and one pass. --find: the most branches that meet it.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <queue>
#include <random>
#include <string>
#include <vector>

namespace {

// Head-office round trips of one upload pass carrying n vouchers.
struct TripModel {
  const char* name;
  double A, B, C;  // total: A + B n + C ceil(n / batch)
  double a, b, c;  // under the push lock: a + b n + c ceil(n / batch)
  int batch;
  double idleTotal, idleLocked;  // a pass with nothing to send
  double opens;                  // connection opens per pass (three round trips each on the link, one counted)

  double total(long n) const { return n == 0 ? idleTotal : A + B * n + C * std::ceil(static_cast<double>(n) / batch); }
  double locked(long n) const {
    return n == 0 ? idleLocked : a + b * n + c * std::ceil(static_cast<double>(n) / batch);
  }
};

struct Options {
  int branches = 500;
  double interval = 120;    // seconds between a branch's passes
  double vouchers = 300;    // a branch's vouchers a day
  double dayHours = 12;     // the business day
  double peak = 3;          // the peak hour's rate over the mean
  int peakHour = 4;         // which hour of the day is the peak (0 = the first)
  double backlog = 0;       // vouchers waiting at each branch at opening time (mean, Poisson)
  double wCallMs = 0.2;     // head office's work per call under the lock
  double wVoucherMs = 1.0;  // head office's work per voucher
  bool skip = false;        // a busy lock ends the pass (retried after `retry`) instead of queueing
  double retry = 120;
  double age = 0;  // a voucher goes only once this many seconds old (the upload's waiting interval)
  unsigned seed = 1;
  std::vector<double> rtts{20, 50, 100};
};

struct Result {
  double utilisationDay = 0, utilisationPeak = 0;
  double p50Delay = 0, p99Delay = 0, maxDelay = 0;
  double p99Wait = 0, maxWait = 0;
  double openingClear = 0;  // seconds until every branch's opening pass has ended
  long passes = 0, idlePasses = 0, busyPasses = 0;
  double meanBatch = 0;  // vouchers per pass that sent any
};

double quantile(std::vector<double>& v, double q) {
  if (v.empty()) return 0;
  const std::size_t k = std::min(v.size() - 1, static_cast<std::size_t>(q * static_cast<double>(v.size())));
  std::nth_element(v.begin(), v.begin() + static_cast<long>(k), v.end());
  return v[k];
}

// A pass reaching the point where it asks for the lock.
struct Request {
  double at;
  int branch;
  double passStart;
  bool opening;
  bool operator>(const Request& o) const { return at > o.at || (at == o.at && branch > o.branch); }
};

Result simulate(const Options& o, const TripModel& m, double rttMs) {
  const double rtt = rttMs / 1000.0;
  const double day = o.dayHours * 3600;
  std::mt19937_64 rng(o.seed);

  // Arrivals: hour h has rate mean x weight(h); the peak hour's weight is P, the others share the rest.
  const int hours = static_cast<int>(std::lround(o.dayHours));
  const double meanRate = o.vouchers / day;
  const double otherWeight = hours > 1 ? (hours - o.peak) / (hours - 1) : 1;
  std::vector<std::vector<double>> arrivals(static_cast<std::size_t>(o.branches));
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (auto& a : arrivals) {
    std::poisson_distribution<long> back(o.backlog > 0 ? o.backlog : 1);
    const long waiting = o.backlog > 0 ? back(rng) : 0;
    for (long i = 0; i < waiting; ++i) a.push_back(0);  // entered before opening, waiting
    for (int h = 0; h < hours; ++h) {
      const double rate = meanRate * (h == o.peakHour ? o.peak : otherWeight);
      std::exponential_distribution<double> gap(rate);
      for (double t = h * 3600.0 + gap(rng); t < (h + 1) * 3600.0; t += gap(rng)) a.push_back(t);
    }
  }

  std::vector<std::size_t> sent(arrivals.size(), 0);  // vouchers of each branch read by a pass so far
  std::priority_queue<Request, std::vector<Request>, std::greater<>> requests;
  // Every branch's first pass is at opening; then its phase.
  std::vector<double> phase(arrivals.size());
  for (int b = 0; b < o.branches; ++b) {
    phase[static_cast<std::size_t>(b)] = unit(rng) * o.interval;
  }

  Result r;
  std::vector<double> delays, waits;
  delays.reserve(static_cast<std::size_t>(o.branches * o.vouchers * 1.1));
  double lockFree = 0, held = 0, heldPeak = 0;
  const double peakFrom = o.peakHour * 3600.0, peakTo = peakFrom + 3600.0;
  long sentPasses = 0, sentVouchers = 0;

  // A pass starting at `start`: the vouchers waiting then go; the lock is asked for after the calls
  // made before it.
  auto startPass = [&](int b, double start, bool opening) {
    const auto& a = arrivals[static_cast<std::size_t>(b)];
    std::size_t& s = sent[static_cast<std::size_t>(b)];
    std::size_t upTo = s;
    while (upTo < a.size() && a[upTo] <= start - o.age) ++upTo;
    const long n = static_cast<long>(upTo - s);
    const double before = (m.total(n) - m.locked(n) + 2 * m.opens) * rtt;
    requests.push({start + before, b, start, opening});
  };
  for (int b = 0; b < o.branches; ++b) startPass(b, 0, true);

  auto nextStart = [&](int b, double passStart, double end) {
    // The next grid time of this branch's phase after the pass start, or the pass end when later.
    const double ph = phase[static_cast<std::size_t>(b)];
    const double k = std::floor((passStart - ph) / o.interval) + 1;
    return std::max(ph + std::max(0.0, k) * o.interval, end);
  };

  while (!requests.empty()) {
    const Request q = requests.top();
    requests.pop();
    const int b = q.branch;
    const auto& a = arrivals[static_cast<std::size_t>(b)];
    std::size_t& s = sent[static_cast<std::size_t>(b)];
    std::size_t upTo = s;
    while (upTo < a.size() && a[upTo] <= q.passStart - o.age) ++upTo;
    const long n = static_cast<long>(upTo - s);
    ++r.passes;
    if (n == 0) ++r.idlePasses;
    const double lockedTrips = m.locked(n);
    double end = q.at;
    if (lockedTrips > 0) {
      if (o.skip && lockFree > q.at) {
        // "Server Busy": nothing sent, the vouchers wait for the retry.
        ++r.busyPasses;
        const double retryAt = q.at + o.retry;
        if (retryAt < day + 4 * 3600) startPass(b, retryAt, false);
        continue;
      }
      const double grant = std::max(q.at, lockFree);
      const double hold = lockedTrips * rtt + (lockedTrips * o.wCallMs + n * o.wVoucherMs) / 1000.0;
      waits.push_back(grant - q.at);
      lockFree = grant + hold;
      held += hold;
      heldPeak += std::max(0.0, std::min(lockFree, peakTo) - std::max(grant, peakFrom));
      end = lockFree;
      if (n > 0) {
        const long batches = static_cast<long>(std::ceil(static_cast<double>(n) / m.batch));
        for (long i = 0; i < n; ++i) {
          const long k = i / m.batch + 1;
          const double committed = grant + hold * static_cast<double>(k) / static_cast<double>(batches);
          delays.push_back(committed - a[s + static_cast<std::size_t>(i)]);
        }
        ++sentPasses;
        sentVouchers += n;
      }
    }
    s = upTo;
    if (q.opening) r.openingClear = std::max(r.openingClear, end);
    // Passes go on until every voucher of the day is at head office.
    const double next = nextStart(b, q.passStart, end);
    if (next < day || s < a.size()) startPass(b, next, false);
  }

  r.utilisationDay = held / day;
  r.utilisationPeak = heldPeak / 3600.0;
  r.maxDelay = delays.empty() ? 0 : *std::max_element(delays.begin(), delays.end());
  r.p50Delay = quantile(delays, 0.50);
  r.p99Delay = quantile(delays, 0.99);
  r.maxWait = waits.empty() ? 0 : *std::max_element(waits.begin(), waits.end());
  r.p99Wait = quantile(waits, 0.99);
  r.meanBatch = sentPasses ? static_cast<double>(sentVouchers) / static_cast<double>(sentPasses) : 0;
  return r;
}

// The timer pass as measured before the upload was batched (roundtrip_bench, docs/roundtrips-before.txt):
// 11 calls with nothing to send, one of them the open of the head-office connection; 6.9 more a
// voucher, every one of them under the push lock; the lock row stands from the take's commit to the
// release (two calls with nothing to send).
TripModel beforeModel() {
  return {"before", 11, 6.9, 0, 2, 6.9, 0, 1, 11, 2, 1};
}
// The budget of the batched upload: a pass sending n vouchers at most 4 + ceil(n / 50) calls, the
// lock held for at most 2 + ceil(n / 50) of them; an idle pass at most 2 calls, without the lock;
// the connection kept open between passes.
TripModel afterModel() {
  return {"after (budget)", 4, 0, 1, 2, 0, 1, 50, 2, 0, 0};
}

// What a voucher entered at the peak may wait: the interval, the age it must reach, and one pass
// carrying the peak hour's vouchers of one interval.
double goal(const Options& o, const TripModel& m, double rttMs) {
  const long n = static_cast<long>(std::ceil(o.vouchers * o.peak / o.dayHours * o.interval / 3600.0));
  return o.interval + o.age + (m.total(n) + 2 * m.opens) * rttMs / 1000.0;
}

bool number(const char* text, double& out) {
  char* end = nullptr;
  out = std::strtod(text, &end);
  return end != text && *end == '\0';
}

void usage() {
  std::fprintf(
      stderr,
      "usage: capacity_sim [--branches N] [--interval S] [--vouchers V] [--day-hours H] [--peak P]\n"
      "       [--backlog K] [--age S] [--rtt MS]... [--busy fifo|skip] [--retry S] [--w-call MS] [--w-voucher MS]\n"
      "       [--seed N]\n"
      "       [--model A,B,C,a,b,c,batch,idleTotal,idleLocked,opens]  (replaces the two built-in models)\n");
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  std::vector<TripModel> models{beforeModel(), afterModel()};
  bool customModel = false, rttGiven = false, find = false;
  for (int i = 1; i < argc; ++i) {
    const std::string k = argv[i];
    if (k == "--find") {
      find = true;
      continue;
    }
    if (i + 1 >= argc) {
      usage();
      return 2;
    }
    const char* v = argv[++i];
    double d = 0;
    if (k == "--busy") {
      if (std::strcmp(v, "skip") != 0 && std::strcmp(v, "fifo") != 0) {
        usage();
        return 2;
      }
      o.skip = std::strcmp(v, "skip") == 0;
      continue;
    }
    if (k == "--model") {
      TripModel m{"custom", 0, 0, 0, 0, 0, 0, 1, 0, 0, 0};
      double f[10];
      int got = 0;
      std::string text = v;
      std::size_t from = 0;
      while (got < 10 && from <= text.size()) {
        const std::size_t comma = std::min(text.find(',', from), text.size());
        if (!number(text.substr(from, comma - from).c_str(), f[got])) break;
        ++got;
        from = comma + 1;
      }
      if (got != 10 || f[6] < 1) {
        usage();
        return 2;
      }
      m = {"custom", f[0], f[1], f[2], f[3], f[4], f[5], static_cast<int>(f[6]), f[7], f[8], f[9]};
      if (!customModel) models.clear();
      customModel = true;
      models.push_back(m);
      continue;
    }
    if (!number(v, d)) {
      usage();
      return 2;
    }
    if (k == "--branches")
      o.branches = static_cast<int>(d);
    else if (k == "--interval")
      o.interval = d;
    else if (k == "--vouchers")
      o.vouchers = d;
    else if (k == "--day-hours")
      o.dayHours = d;
    else if (k == "--peak")
      o.peak = d;
    else if (k == "--backlog")
      o.backlog = d;
    else if (k == "--retry")
      o.retry = d;
    else if (k == "--age")
      o.age = d;
    else if (k == "--w-call")
      o.wCallMs = d;
    else if (k == "--w-voucher")
      o.wVoucherMs = d;
    else if (k == "--seed")
      o.seed = static_cast<unsigned>(d);
    else if (k == "--rtt") {
      if (!rttGiven) o.rtts.clear();
      rttGiven = true;
      o.rtts.push_back(d);
    } else {
      usage();
      return 2;
    }
  }
  if (o.branches < 1 || o.interval <= 0 || o.dayHours < 1 || o.peak < 1 || o.peak > o.dayHours) {
    usage();
    return 2;
  }

  std::printf(
      "%d branches, a pass every %.0f s (all at opening), %.0f vouchers a branch a day over %.0f h, peak hour %.1fx "
      "the mean,\n%.1f waiting at opening, sent once %.0f s old; lock %s; server work %.2f ms a call + %.2f ms a "
      "voucher under the lock\n\n",
      o.branches, o.interval, o.vouchers, o.dayHours, o.peak, o.backlog, o.age,
      o.skip ? "busy = skip and retry" : "FIFO", o.wCallMs, o.wVoucherMs);
  std::printf("%-15s %5s  %8s %8s  %9s %9s %9s  %9s %9s  %9s  %8s  %8s\n", "model", "RTT", "lock day", "lock pk",
              "p50 delay", "p99 delay", "max delay", "p99 wait", "max wait", "opening", "busy", "goal");
  for (const auto& m : models)
    for (double rtt : o.rtts) {
      const Result r = simulate(o, m, rtt);
      const double g = goal(o, m, rtt);
      std::printf("%-15s %5.0f  %7.1f%% %7.1f%%  %8.1fs %8.1fs %8.1fs  %8.2fs %8.2fs  %8.1fs  %8ld  %6.1fs %s\n",
                  m.name, rtt, 100 * r.utilisationDay, 100 * r.utilisationPeak, r.p50Delay, r.p99Delay, r.maxDelay,
                  r.p99Wait, r.maxWait, r.openingClear, r.busyPasses, g, r.p99Delay <= g ? "met" : "MISSED");
    }
  if (find) {
    std::printf("\nthe most branches whose p99 voucher delay stays within the goal (to 1%%)\n");
    for (const auto& m : models)
      for (double rtt : o.rtts) {
        // The delay grows with the branches: the largest count that meets the goal, by bisection.
        int lo = 0, hi = 20000;
        while (hi - lo > std::max(1, lo / 100)) {
          const int mid = (lo + hi) / 2;
          Options t = o;
          t.branches = mid;
          (simulate(t, m, rtt).p99Delay <= goal(o, m, rtt) ? lo : hi) = mid;
        }
        std::printf("  %-15s %5.0f ms  %6d branches\n", m.name, rtt, lo);
      }
  }
  std::printf(
      "\nlock day/pk: lock time over the day's length (above 100%%: the queue runs past closing) / share of the peak\n"
      "hour the push lock was held; delay: voucher entered to committed\n"
      "at head office; wait: a pass's wait for the lock; opening: until every branch's opening pass ended; busy:\n"
      "passes that found the lock held (--busy skip only); goal: interval + age + one pass at the peak hour's size.\n");
  return 0;
}
