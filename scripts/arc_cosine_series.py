#!/usr/bin/env python3
"""Coefficients of the arc cosine series in shading/models/arc_cosine.h.

asin(s) = s + s z R(z) with z = s^2. R's Taylor series is summed exactly (as
fractions) to 44 terms, economised over z in [0, 1/4] by dropping the Chebyshev
terms above degree 12, whose sum is below 1.5e-15 of R, and printed as the 13
power-series coefficients in z, lowest first.
"""
from fractions import Fraction as F
from math import comb, factorial

TERMS, DEGREE = 44, 12


def main():
    taylor = [F(factorial(2 * k), 4**k * factorial(k) ** 2 * (2 * k + 1)) for k in range(1, TERMS + 1)]
    # z = (1 + t) / 8 for t in [-1, 1]: the series in t.
    in_t = [F(0)] * TERMS
    for k, a in enumerate(taylor):
        for j in range(k + 1):
            in_t[j] += a * F(1, 8) ** k * comb(k, j)
    # Powers of t as Chebyshev polynomials.
    cheb = [F(0)] * TERMS
    for j, b in enumerate(in_t):
        for k in range(j // 2 + 1):
            weight = F(comb(j, k), 2 ** (j - 1)) if j else F(1)
            if j and j == 2 * k:
                weight /= 2
            cheb[j - 2 * k] += b * weight
    # Back to powers of t, then of z (t = 8 z - 1), keeping degrees 0..DEGREE.
    t_polys = [[F(1)], [F(0), F(1)]]
    for _ in range(2, DEGREE + 1):
        last, before = t_polys[-1], t_polys[-2]
        cur = [F(0)] + [2 * x for x in last]
        for i, x in enumerate(before):
            cur[i] -= x
        t_polys.append(cur)
    power_t = [F(0)] * (DEGREE + 1)
    for n in range(DEGREE + 1):
        for i, x in enumerate(t_polys[n]):
            power_t[i] += cheb[n] * x
    power_z = [F(0)] * (DEGREE + 1)
    for i, x in enumerate(power_t):
        for j in range(i + 1):
            power_z[j] += x * comb(i, j) * F(8) ** j * (-1) ** (i - j)
    for x in power_z:
        print(repr(float(x)))


if __name__ == "__main__":
    main()
