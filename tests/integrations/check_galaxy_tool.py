"""The Galaxy tool galaxy/trelba.xml as Galaxy reads it, without a Galaxy server.

1. Its macro tokens expanded, it validates against Galaxy's tool XSD
   (galaxy/schema/galaxy.xsd, with xmllint).
2. Its genetic-code select offers exactly the NCBI tables the program takes (every
   number from 0 to 40 tried with --gcode).
3. For every <test>: the <command> is rendered with Cheetah (Debian python3-cheetah) as
   Galaxy does (its lines joined by spaces), from stand-ins of Galaxy's parameter wrappers (an optional select left
   unset reads as "None"; a collection element has an element_identifier; a dataset
   reads as its path), run with bash -e (profile 20.09 and later) and the program on
   PATH, and each output must equal its file in galaxy/test-data/ (with --write, is copied
   there instead).

usage: check_galaxy_tool.py TRELBA [--write]   (exit status 77: no Cheetah here)
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

try:
    from Cheetah.Template import Template
except ImportError:
    print("no Cheetah (Debian package python3-cheetah): skipped")
    sys.exit(77)

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
TOOL = os.path.join(ROOT, "galaxy", "trelba.xml")
SCHEMA = os.path.join(ROOT, "galaxy", "schema", "galaxy.xsd")
TEST_DATA = os.path.join(ROOT, "galaxy", "test-data")
CODES_TRIED = range(0, 41)


class SelectParameter:
    """A select as Galaxy's wrapper shows it to Cheetah: str() of the chosen value, and
    "None" when an optional select is left unset."""

    def __init__(self, value):
        self.value = value

    def __str__(self):
        return str(self.value)


class Dataset:
    """A dataset (or collection element): its path, and its element identifier."""

    def __init__(self, path, element_identifier=None):
        self.path = path
        self.element_identifier = element_identifier

    def __str__(self):
        return self.path


def expanded_tool():
    """The tool's text with its macro tokens replaced by their values."""
    text = open(TOOL, encoding="utf-8").read()
    tokens = {t.get("name"): t.text or "" for t in ET.fromstring(text).iter("token")}
    for name, value in tokens.items():
        text = text.replace(name, value)
    return text


def check_schema(text, work):
    expanded = os.path.join(work, "trelba.xml")
    with open(expanded, "w", encoding="utf-8") as out:
        out.write(text)
    done = subprocess.run(["xmllint", "--noout", "--schema", SCHEMA, expanded],
                          capture_output=True, text=True)
    if done.returncode != 0:
        sys.exit(f"galaxy/trelba.xml does not validate against Galaxy's XSD:\n{done.stderr}")
    print("galaxy/trelba.xml validates against galaxy/schema/galaxy.xsd")


def accepted_codes(trelba, work):
    fasta = os.path.join(work, "one.fa")
    with open(fasta, "w") as out:
        out.write(">g\nATGAAATTTGGGTAA\n")
    return {n for n in CODES_TRIED
            if subprocess.run([trelba, "--gcode", str(n), "--no-reports", "-T", os.devnull, fasta],
                              capture_output=True).returncode == 0}


def check_codes(tool, trelba, work):
    select = tool.find("./inputs/param[@name='gcode']")
    offered = [int(o.get("value")) for o in select.iter("option")]
    taken = accepted_codes(trelba, work)
    if sorted(offered) != sorted(taken) or len(offered) != len(set(offered)):
        sys.exit(f"the genetic-code select offers {offered}; the program takes {sorted(taken)}")
    if select.get("optional") != "true":
        sys.exit("the genetic-code select must be optional (unset: the program's default)")
    print(f"genetic codes: the select offers the {len(taken)} tables the program takes")


def test_namespace(test, job):
    """The Cheetah namespace of one <test>: its inputs staged in the job folder."""
    namespace = {"gcode": SelectParameter(None)}
    for param in test.findall("param"):
        collection = param.find("collection")
        if collection is not None:
            elements = []
            for element in collection.findall("element"):
                staged = os.path.join(job, "inputs", element.get("value"))
                os.makedirs(os.path.dirname(staged), exist_ok=True)
                shutil.copyfile(os.path.join(TEST_DATA, element.get("value")), staged)
                elements.append(Dataset(staged, element.get("name")))
            namespace[param.get("name")] = elements
        else:
            namespace[param.get("name")] = SelectParameter(param.get("value"))
    for output in test.findall("output"):
        namespace[output.get("name")] = Dataset(os.path.join(job, "outputs", output.get("name")))
    return namespace


def run_test(tool, number, test, bindir, work, write):
    job = os.path.join(work, f"test{number}")
    os.makedirs(os.path.join(job, "outputs"))
    rendered = str(Template(tool.find("command").text, searchList=[test_namespace(test, job)]))
    # As Galaxy's tool evaluation does: each line stripped, then the lines joined by spaces
    # (so commands must be joined by && or ;).
    command = " ".join(line.strip() for line in rendered.splitlines()).strip()
    with open(os.path.join(job, "command.sh"), "w") as out:
        out.write(command)
    environment = dict(os.environ, PATH=bindir + os.pathsep + os.environ["PATH"], GALAXY_SLOTS="2")
    done = subprocess.run(["bash", "-e", "command.sh"], cwd=job, env=environment,
                          capture_output=True, text=True)
    if done.returncode != 0:
        sys.exit(f"test {number}: the rendered command failed ({done.returncode}):\n"
                 f"{command}\n{done.stderr}")
    for output in test.findall("output"):
        produced = os.path.join(job, "outputs", output.get("name"))
        expected = os.path.join(TEST_DATA, output.get("file"))
        if write:
            shutil.copyfile(produced, expected)
        elif open(produced, "rb").read() != open(expected, "rb").read():
            sys.exit(f"test {number}: output {output.get('name')} differs from {expected}")
    described = " ".join(f"{p.get('name')}={p.get('value')}" for p in test.findall("param")
                         if p.get("value")) or "no code"
    print(f"test {number} ({described}): rendered command run, outputs "
          + ("written to" if write else "equal") + " galaxy/test-data")


def main(trelba, write):
    work = tempfile.mkdtemp()
    try:
        text = expanded_tool()
        check_schema(text, work)
        tool = ET.fromstring(text)
        check_codes(tool, trelba, work)
        bindir = os.path.join(work, "bin")
        os.makedirs(bindir)
        os.symlink(trelba, os.path.join(bindir, "Trelba"))
        for number, test in enumerate(tool.find("tests").findall("test"), 1):
            run_test(tool, number, test, bindir, work, write)
    finally:
        shutil.rmtree(work)


if __name__ == "__main__":
    main(os.path.realpath(sys.argv[1]), "--write" in sys.argv[2:])
