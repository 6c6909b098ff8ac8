// The elementary functions against MPFR: every result must be the double
// nearest the exact value (ties to even), over random arguments in the
// ranges the program uses, constructed hard-to-round arguments, exact and
// halfway cases of pow, and the special values.  SITEDRAIN_MATHS_ARGS sets
// the random arguments per range (scripts/check-maths.sh runs 10^7).
#include <gtest/gtest.h>
#include <mpfr.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iostream>
#include <limits>
#include <random>

#include "maths/maths.h"

namespace sitedrain::testing {
namespace {

using Ref = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t);

// MPFR at the double's precision and exponent range, subnormals included.
class Mpfr {
 public:
  Mpfr() {
    mpfr_set_emin(-1073);
    mpfr_set_emax(1024);
    mpfr_inits2(53, a_, b_, r_, static_cast<mpfr_ptr>(nullptr));
  }
  ~Mpfr() { mpfr_clears(a_, b_, r_, static_cast<mpfr_ptr>(nullptr)); }
  double unary(Ref f, double x) {
    mpfr_set_d(a_, x, MPFR_RNDN);
    return finish(f(r_, a_, MPFR_RNDN));
  }
  double pow(double x, double y) {
    mpfr_set_d(a_, x, MPFR_RNDN);
    mpfr_set_d(b_, y, MPFR_RNDN);
    return finish(mpfr_pow(r_, a_, b_, MPFR_RNDN));
  }

 private:
  double finish(int inexact) {
    mpfr_subnormalize(r_, inexact, MPFR_RNDN);
    return mpfr_get_d(r_, MPFR_RNDN);
  }
  mpfr_t a_, b_, r_;
};

bool same(double a, double b) {
  if (std::isnan(a) && std::isnan(b)) return true;
  std::uint64_t ua, ub;
  std::memcpy(&ua, &a, 8);
  std::memcpy(&ub, &b, 8);
  return ua == ub;
}

long long args_per_range() {
  const char* s = std::getenv("SITEDRAIN_MATHS_ARGS");
  return s ? std::atoll(s) : 10000;
}

// Runs n arguments from gen through ours and MPFR's; reports the count.
template <class Gen, class Ours, class Theirs>
void check(const char* what, long long n, Gen gen, Ours ours, Theirs theirs) {
  long long wrong = 0;
  for (long long i = 0; i < n; ++i) {
    const auto [x, y] = gen();
    const double got = ours(x, y), want = theirs(x, y);
    if (!same(got, want) && ++wrong <= 5)
      ADD_FAILURE() << what << "(" << std::hexfloat << x << ", " << y << ") = " << got
                    << ", nearest " << want;
  }
  std::cout << what << ": " << n << " arguments, " << wrong << " misrounded\n";
}

struct Args {
  double x, y;
};

std::mt19937_64 rng(20261207);
double uniform(double a, double b) {
  return std::uniform_real_distribution<double>(a, b)(rng);
}
// Any finite positive double between 2^lo and 2^hi, spread over the exponents.
double log_uniform(int lo, int hi) {
  return std::exp2(uniform(lo, hi));
}
double near_one() {
  return 1.0 + (rng() % 2 ? 1 : -1) * log_uniform(-53, -4);
}

TEST(Maths, ExpLogLog10AgainstMpfr) {
  Mpfr m;
  const long long n = args_per_range();
  auto exp1 = [](double x, double) { return maths::exp(x); };
  auto mexp = [&](double x, double) { return m.unary(mpfr_exp, x); };
  check(
      "exp [-746, 710]", n,
      [] {
        return Args{uniform(-746, 710), 0};
      },
      exp1, mexp);
  check(
      "exp [-30, 30]", n,
      [] {
        return Args{uniform(-30, 30), 0};
      },
      exp1, mexp);
  check(
      "exp |x| in [2^-60, 1]", n,
      [] {
        return Args{(rng() % 2 ? 1 : -1) * log_uniform(-60, 0), 0};
      },
      exp1, mexp);
  // exp(x) = 1 + x + x^2/2 + x^3/6 with 1 + x + x^2/2 on a halfway point of
  // the doubles: the exact value within about x^3/6 of halfway.
  check(
      "exp near halfway", n,
      [] {
        const double a = static_cast<double>(rng() % (1u << 24) + 1) * 0x1p-52 + 0x1p-53;
        double x = a;
        for (int i = 0; i < 3; ++i) x = a - x * x / 2;
        return Args{x, 0};
      },
      exp1, mexp);

  for (auto [name, ours, ref] : {std::tuple{"log", &maths::log, &mpfr_log},
                                 std::tuple{"log10", &maths::log10, &mpfr_log10}}) {
    auto f = [ours = ours](double x, double) { return ours(x); };
    auto g = [&m, ref = ref](double x, double) { return m.unary(ref, x); };
    check((std::string(name) + " all positive doubles").c_str(), n,
          [] {
            std::uint64_t u = rng() % 0x7FF0000000000000ull;
            double x;
            std::memcpy(&x, &u, 8);
            return Args{x, 0};
          },
          f, g);
    check((std::string(name) + " [1e-3, 1e4]").c_str(), n,
          [] {
            return Args{log_uniform(-10, 14), 0};
          },
          f, g);
    check((std::string(name) + " near 1").c_str(), n, [] { return Args{near_one(), 0}; }, f, g);
  }
}

TEST(Maths, PowAgainstMpfr) {
  Mpfr m;
  const long long n = args_per_range();
  auto ours = [](double x, double y) { return maths::pow(x, y); };
  auto theirs = [&](double x, double y) { return m.pow(x, y); };
  check(
      "pow x in [0, 1e4], y in [-3, 3]", n,
      [] {
        return Args{uniform(0, 1e4), uniform(-3, 3)};
      },
      ours, theirs);
  check(
      "pow x in [2^-30, 2^30], y in [-40, 40]", n,
      [] {
        return Args{log_uniform(-30, 30), uniform(-40, 40)};
      },
      ours, theirs);
  check(
      "pow x near 1, large y", n,
      [] {
        const double x = near_one();
        return Args{x, uniform(-700, 700) / std::fabs(std::log(x))};
      },
      ours, theirs);
  check(
      "pow x within 2^-36 of 1, |y| <= 4", n,
      [] {
        const double k = std::floor(uniform(-0x1p16, 0x1p16));
        return Args{1.0 + k * 0x1p-52, rng() % 4 ? uniform(-4, 4) : std::round(uniform(-4, 4))};
      },
      ours, theirs);
  check(
      "pow x < 0, integer y", n,
      [] {
        return Args{-log_uniform(-20, 20), std::round(uniform(-60, 60))};
      },
      ours, theirs);
  // Exact and halfway results: small integers to integer and dyadic powers,
  // and x^2 within 2^-104 of halfway (1 + a, a^2 near 2^-53 mod 2^-52).
  check(
      "pow exact and halfway", n,
      [] {
        const double b = static_cast<double>(rng() % 1000 + 1);
        switch (rng() % 3) {
          case 0:
            return Args{b, static_cast<double>(rng() % 80) - 20};
          case 1:
            return Args{b * b * b * b, (rng() % 2 ? 0.25 : -0.75)};
          default: {
            const double a = std::floor(0x1.6a09e667f3bcdp25 + uniform(-1e6, 1e6)) * 0x1p-52;
            return Args{1.0 + a, 2.0};
          }
        }
      },
      ours, theirs);
  for (double y : {2.0, 3.0}) {
    check(
        "pow(x, 2 or 3) hard", n / 10,
        [y] {
          return Args{std::floor(uniform(0x1p26, 0x1p27)) + (rng() % 2 ? 0.5 : 0), y};
        },
        ours, theirs);
  }
}

TEST(Maths, SpecialValues) {
  Mpfr m;
  const double inf = std::numeric_limits<double>::infinity(), nan = std::nan("");
  const double vals[] = {0.0,
                         -0.0,
                         1.0,
                         -1.0,
                         2.0,
                         -2.0,
                         0.5,
                         -0.5,
                         3.0,
                         -3.0,
                         1.5,
                         -1.5,
                         0x1p-1074,
                         -0x1p-1074,
                         0x1p-1022,
                         0x1.fffffffffffffp1023,
                         -0x1.fffffffffffffp1023,
                         709.782712893384,
                         709.7827128933841,
                         -745.1332191019411,
                         -745.1332191019412,
                         -708.4,
                         1e300,
                         -1e300,
                         1e-300,
                         inf,
                         -inf,
                         nan,
                         0x1p53,
                         0x1p53 + 2,
                         0x1p63,
                         1024.0,
                         -1075.0,
                         -1074.0,
                         0.1};
  for (double x : vals) {
    EXPECT_TRUE(same(maths::exp(x), m.unary(mpfr_exp, x))) << "exp " << x;
    EXPECT_TRUE(same(maths::log(x), m.unary(mpfr_log, x))) << "log " << x;
    EXPECT_TRUE(same(maths::log10(x), m.unary(mpfr_log10, x))) << "log10 " << x;
    for (double y : vals) {
      // MPFR follows the C standard's pow special cases, signed zeros included
      EXPECT_TRUE(same(maths::pow(x, y), m.pow(x, y))) << "pow " << x << " " << y;
    }
  }
  for (int i = -22; i <= 22; ++i) EXPECT_EQ(maths::log10(m.pow(10.0, i)), i);
  EXPECT_EQ(maths::pow(3.0, 34.0), 16677181699666568.0);  // 3^34 is halfway: to even
  EXPECT_EQ(maths::pow(1 + 0x1p-45, 1.0), 1 + 0x1p-45);   // y ln x tiny, yet not 1
  EXPECT_EQ(maths::pow(134217727.0, 2.0), 18014398241046528.0);
}

}  // namespace
}  // namespace sitedrain::testing
