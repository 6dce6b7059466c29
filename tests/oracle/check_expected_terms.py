#!/usr/bin/env python3
"""The expected entropy terms and order values of print_expected_terms against mpmath.

For c ~ Binomial(n, q), E[-p ln p] with p = c / n rounded to a double (the frequency the
analysis takes the term of: near 1 that rounding alone moves -p ln p by up to n * 2^-53
relative) is summed in 40-digit arithmetic over every c
(n <= 3000) or over the mode +- 40 standard deviations (the rest weighs below 1e-340),
q being the program's double exactly. Each term must agree within 1e-12 relative, and
E[O] = 1 - E[H] / ln k within 1e-12 relative or, where 1 - E[H] / ln k cancels, within
the rounding the program's own order values carry (4 units of the last place of 1).
Hand-picked and seeded random (n, k, q), n up to 10^6.

usage: check_expected_terms.py PRINT_EXPECTED_TERMS   (exit 77 without mpmath)
"""
import random
import subprocess
import sys

try:
    import mpmath
except ImportError:
    print("mpmath is missing: skipped")
    sys.exit(77)

mpmath.mp.dps = 40
RELATIVE = 1e-12
ORDER_FLOOR = 4 * 2.0**-52

# NCBI table 1 families of 2, 3, 4 and 6 codons, table 3's threonines (8).
FAMILIES = {2: (1, 1), 3: (1, 12), 4: (1, 8), 6: (1, 2), 8: (3, 14)}


def expected_term(n, q):
    if n == 0 or q == 0:
        return mpmath.mpf(0)
    q = mpmath.mpf(q)
    if q == 1:
        return mpmath.mpf(0)
    nn = mpmath.mpf(n)
    mode = int(mpmath.floor((nn + 1) * q))
    mode = min(mode, n)
    width = int(40 * mpmath.sqrt(nn * q * (1 - q))) + 40
    lo, hi = (0, n) if n <= 3000 else (max(0, mode - width), min(n, mode + width))
    log_pmf = (mpmath.loggamma(nn + 1) - mpmath.loggamma(lo + 1) - mpmath.loggamma(nn - lo + 1)
               + lo * mpmath.log(q) + (nn - lo) * mpmath.log1p(-q))
    weight = mpmath.exp(log_pmf)
    up = q / (1 - q)
    total = mpmath.mpf(0)
    for c in range(lo, hi + 1):
        if 0 < c < n:
            p = mpmath.mpf(c / n)  # the analysis's frequency, a double
            total += weight * (-p * mpmath.log(p))
        weight *= (nn - c) / (c + 1) * up
    return total


def relative_error(value, exact):
    return abs(mpmath.mpf(value) - exact) / abs(exact) if exact != 0 else abs(mpmath.mpf(value))


def main():
    tool = sys.argv[1]
    rng = random.Random(20261209)
    terms = [(n, q) for n in (1, 2, 3, 10, 100, 1000, 10**4, 10**5, 10**6)
             for q in (0.5, 1 / 3, 0.1, 1e-3, 1e-6, 0.999, 1 - 2.0**-30)]
    terms += [(int(10 ** rng.uniform(0, 6)), rng.random() ** 3) for _ in range(30)]
    families = []
    for k, (table, family) in FAMILIES.items():
        for n in (1, 7, 64, 2049, 10**6):
            families.append((table, family, n, [1] * k))
            families.append((table, family, n, [rng.choice((0, 1, 2, 50, 10**4)) for _ in range(k)]))
    for _ in range(20):
        k = rng.choice(list(FAMILIES))
        table, family = FAMILIES[k]
        families.append((table, family, int(10 ** rng.uniform(0, 6)),
                         [int(10 ** rng.uniform(0, 5)) for _ in range(k)]))
    lines = [f"term {n} {float(q).hex()}" for n, q in terms]
    lines += [f"family {t} {f} {n} " + " ".join(map(str, counts)) for t, f, n, counts in families]
    out = subprocess.run([tool], input="\n".join(lines) + "\n", capture_output=True, text=True,
                         check=True).stdout.split("\n")
    worst_term = worst_order = worst_difference = mpmath.mpf(0)
    failures = 0
    for (n, q), line in zip(terms, out):
        error = relative_error(float.fromhex(line), expected_term(n, float(q)))
        worst_term = max(worst_term, error)
        if error > RELATIVE:
            failures += 1
            print(f"term n={n} q={float(q)!r}: relative error {float(error):.3g}")
    for (table, family, n, counts), line in zip(families, out[len(terms):]):
        words = [float.fromhex(w) for w in line.split()]
        entropy = mpmath.mpf(0)
        for m in range(len(counts)):
            q, term = words[2 * m], words[2 * m + 1]
            exact = expected_term(n, q)
            error = relative_error(term, exact)
            worst_term = max(worst_term, error)
            if error > RELATIVE:
                failures += 1
                print(f"family {table}/{family} n={n} q={q!r}: relative error {float(error):.3g}")
            entropy += exact
        order = 1 - entropy / mpmath.log(len(counts))
        difference = abs(mpmath.mpf(words[-1]) - order)
        worst_order = max(worst_order, difference / max(abs(order), mpmath.mpf(1e-300)))
        worst_difference = max(worst_difference, difference)
        if difference > max(RELATIVE * abs(order), ORDER_FLOOR):
            failures += 1
            print(f"family {table}/{family} n={n} {counts}: E[O] {words[-1]!r}, exact {order}")
    print(f"{len(terms)} terms and {len(families)} families; largest relative error of a term "
          f"{float(worst_term):.3g}, of E[O] {float(worst_order):.3g} (at most "
          f"{float(worst_difference / 2**-52):.2g} units of the last place of 1); {failures} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
