"""The Bioconda recipe recipes/trelba/ against bioconda-utils' lints that can be told
without conda (which cannot run here): rendered with Jinja2 (conda-build's functions
stood in for), the build requirements hold {{ stdlib('c') }} beside the compiler, the
recipe builds for macOS (its file layer is POSIX's) and any platform it skips has its
reason in a comment just above, no run requirement
repeats a host library whose run_exports already give it, and the build never tunes for
the build machine.

usage: check_bioconda_recipe.py
"""
import os
import re
import sys

import jinja2
import yaml

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
RECIPE = os.path.join(ROOT, "recipes", "trelba")
# conda-forge host libraries whose packages carry run_exports.
RUN_EXPORTING = {"zlib", "xz", "bzip2", "zstd", "isa-l"}


def fail(message):
    sys.exit(f"Bioconda recipe: {message}")


def rendered(text):
    functions = {
        "compiler": lambda language: f"compiler-{language}",
        "stdlib": lambda language: f"stdlib-{language}",
        "pin_subpackage": lambda name, **pins: f"pin-{name}",
    }
    return yaml.safe_load(jinja2.Template(text).render(**functions))


def main():
    with open(os.path.join(RECIPE, "meta.yaml")) as handle:
        text = handle.read()
    recipe = rendered(text)
    requirements = recipe["requirements"]
    if "stdlib-c" not in requirements.get("build", []):
        fail("requirements/build lacks {{ stdlib('c') }}")
    if "compiler-cxx" not in requirements.get("build", []):
        fail("requirements/build lacks {{ compiler('cxx') }}")
    lines = text.splitlines()
    for number, line in enumerate(lines):
        skip = re.match(r"\s*skip: true\s+# \[(?P<selector>[^\]]+)\]", line)
        if not skip:
            continue
        if "osx" in re.findall(r"\w+", skip["selector"]):
            fail("skips macOS, which its POSIX file layer builds for")
        if number == 0 or not lines[number - 1].lstrip().startswith("#"):
            fail(f"`{line.strip()}` without a comment above it giving the reason")
    names = lambda section: {re.split(r"[\s=<>]", r)[0] for r in requirements.get(section) or []}  # noqa: E731
    repeated = names("run") & names("host") & RUN_EXPORTING
    if repeated:
        fail(f"run requirements {sorted(repeated)} repeat what the host libraries' run_exports give")
    with open(os.path.join(RECIPE, "build.sh")) as handle:
        build = "".join(line for line in handle if not line.lstrip().startswith("#"))
    for flag in ("-march=native", "-ffast-math"):
        if flag in build:
            fail(f"build.sh uses {flag}")
    print("Bioconda recipe: stdlib('c') and the compiler, built for macOS, each skip with its "
          "reason, no run requirement the run_exports give")


if __name__ == "__main__":
    main()
