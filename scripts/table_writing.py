"""What the table generators share: mpmath at 600 bits, rounding to doubles and to
fixed-point limbs, C++ literals, and writing or checking the generated files.

A generator imports this module first: without python3-mpmath, `--check` exits with 77
(skipped, for CTest) and anything else fails.
"""
import sys

try:
    import mpmath
except ImportError:
    if sys.argv[1:] == ["--check"]:
        print("python3-mpmath is not installed: not checked", file=sys.stderr)
        sys.exit(77)
    raise

mpmath.mp.prec = 600


def to_double(value):
    return float(mpmath.mpf(value))  # mpmath rounds to nearest


def hex_double(value):
    return float(value).hex()


def round_to_bits(value, bits):
    """value rounded to nearest with `bits` significant bits."""
    mantissa, exponent = mpmath.frexp(value)
    return mpmath.ldexp(mpmath.nint(mpmath.ldexp(mantissa, bits)), exponent - bits)


def significant_bits(value):
    """How many significant bits the double `value` has (0 for 0)."""
    numerator, _ = abs(float(value)).as_integer_ratio()
    while numerator and numerator % 2 == 0:
        numerator //= 2
    return numerator.bit_length()


def fixed_limbs(value, fraction_bits):
    """round(value * 2^fraction_bits) as 64-bit limbs, least significant first."""
    integer = int(mpmath.nint(value * mpmath.mpf(2) ** fraction_bits))
    assert 0 <= integer < 2 ** fraction_bits
    return [(integer >> (64 * j)) & (2 ** 64 - 1) for j in range(fraction_bits // 64)]


def limbs_text(limbs):
    return "{" + ", ".join(f"0x{limb:016x}" for limb in limbs) + "}"


def write_or_check(outputs):
    """Writes {path: text}, or with --check fails naming the files that differ."""
    if sys.argv[1:] == ["--check"]:
        stale = [path.name for path, text in outputs.items()
                 if not path.exists() or path.read_text() != text]
        if stale:
            print("out of date: " + ", ".join(stale), file=sys.stderr)
            return 1
        return 0
    for path, text in outputs.items():
        path.write_text(text)
    return 0
