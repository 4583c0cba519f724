// Forward-mode differentiation with dual numbers: a value and its gradient
// with respect to N local parameters. The observation model is written once
// on this type, so every computed value comes with its exact partial
// derivatives (no finite differences, no hand-derived formula that could
// drift from the value it differentiates).
//
// Example: with x = Dual<2>::Variable(3.0, 0) and y = Dual<2>::Variable(4.0, 1),
// hypot(x, y) has value 5 and gradient (0.6, 0.8).
#ifndef TAVEX_ENGINE_DUAL_H
#define TAVEX_ENGINE_DUAL_H

#include <array>
#include <cmath>

namespace Tavex {

template <int N>
struct Dual {
    double v = 0.0;
    std::array<double, N> d{};

    Dual() = default;
    Dual(double value) : v(value) {}
    // The parameter number index, at the given value.
    static Dual Variable(double value, int index) {
        Dual x(value);
        x.d[static_cast<std::size_t>(index)] = 1.0;
        return x;
    }

    Dual& operator+=(const Dual& b) {
        v += b.v;
        for (int i = 0; i < N; ++i)
            d[i] += b.d[i];
        return *this;
    }
    Dual& operator-=(const Dual& b) {
        v -= b.v;
        for (int i = 0; i < N; ++i)
            d[i] -= b.d[i];
        return *this;
    }
    Dual& operator*=(const Dual& b) {
        for (int i = 0; i < N; ++i)
            d[i] = d[i] * b.v + v * b.d[i];
        v *= b.v;
        return *this;
    }
    Dual& operator/=(const Dual& b) {
        const double inverse = 1.0 / b.v;
        for (int i = 0; i < N; ++i)
            d[i] = (d[i] - v * inverse * b.d[i]) * inverse;
        v *= inverse;
        return *this;
    }
};

template <int N>
Dual<N> operator+(Dual<N> a, const Dual<N>& b) {
    return a += b;
}
template <int N>
Dual<N> operator-(Dual<N> a, const Dual<N>& b) {
    return a -= b;
}
template <int N>
Dual<N> operator*(Dual<N> a, const Dual<N>& b) {
    return a *= b;
}
template <int N>
Dual<N> operator/(Dual<N> a, const Dual<N>& b) {
    return a /= b;
}
template <int N>
Dual<N> operator+(Dual<N> a, double b) {
    a.v += b;
    return a;
}
template <int N>
Dual<N> operator+(double a, Dual<N> b) {
    b.v += a;
    return b;
}
template <int N>
Dual<N> operator-(Dual<N> a, double b) {
    a.v -= b;
    return a;
}
template <int N>
Dual<N> operator-(double a, const Dual<N>& b) {
    return Dual<N>(a) - b;
}
template <int N>
Dual<N> operator-(Dual<N> a) {
    a.v = -a.v;
    for (double& x : a.d)
        x = -x;
    return a;
}
template <int N>
Dual<N> operator*(Dual<N> a, double b) {
    a.v *= b;
    for (double& x : a.d)
        x *= b;
    return a;
}
template <int N>
Dual<N> operator*(double a, Dual<N> b) {
    return b * a;
}
template <int N>
Dual<N> operator/(Dual<N> a, double b) {
    return a * (1.0 / b);
}
template <int N>
Dual<N> operator/(double a, const Dual<N>& b) {
    return Dual<N>(a) / b;
}

// f(a) with f'(a) given: the chain rule.
template <int N>
Dual<N> Chain(const Dual<N>& a, double value, double derivative) {
    Dual<N> r(value);
    for (int i = 0; i < N; ++i)
        r.d[i] = derivative * a.d[i];
    return r;
}

template <int N>
Dual<N> sqrt(const Dual<N>& a) {
    const double s = std::sqrt(a.v);
    return Chain(a, s, 0.5 / s);
}
template <int N>
Dual<N> sin(const Dual<N>& a) {
    return Chain(a, std::sin(a.v), std::cos(a.v));
}
template <int N>
Dual<N> cos(const Dual<N>& a) {
    return Chain(a, std::cos(a.v), -std::sin(a.v));
}
// atan2(y, x) with d = (x dy − y dx) / (x² + y²).
template <int N>
Dual<N> atan2(const Dual<N>& y, const Dual<N>& x) {
    const double r2 = x.v * x.v + y.v * y.v;
    Dual<N> r(std::atan2(y.v, x.v));
    for (int i = 0; i < N; ++i)
        r.d[i] = (x.v * y.d[i] - y.v * x.d[i]) / r2;
    return r;
}

inline double Value(double x) {
    return x;
}
template <int N>
double Value(const Dual<N>& x) {
    return x.v;
}

} // namespace Tavex

#endif
