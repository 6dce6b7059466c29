"""The Galaxy tool galaxy/trelba.xml as Galaxy reads it, without a Galaxy server.

1. Its macro tokens expanded, it validates against Galaxy's tool XSD
   (galaxy/schema/galaxy.xsd, with xmllint).
2. Its genetic-code select offers exactly the NCBI tables the program takes (every
   number from 0 to 40 tried with --gcode), each group of its column-group select is
   one that --columns takes, and its help is reStructuredText without a fault (docutils,
   as Galaxy renders it).
3. For every <test>: the <command> is rendered with Cheetah (Debian python3-cheetah) as
   Galaxy does (its lines joined by spaces), from stand-ins of Galaxy's parameter
   wrappers (an optional select left unset reads as "None"; a boolean as its true or
   false value; a conditional's parameters as its attributes; a collection element has
   an element_identifier; a dataset reads as its path and has a name), the outputs its
   <filter>s let through counted against expect_num_outputs; run with bash -e (profile
   20.09 and later) in a working folder of its own, the program on PATH; each output
   must equal its file in galaxy/test-data/ (with --write, is copied there instead)
   and hold the texts of its has_text.

usage: check_galaxy_tool.py TRELBA [--write]   (exit status 77: no Cheetah here)
"""
import io
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


class Parameter:
    """A parameter as Galaxy's wrapper shows it to Cheetah: str() of its value ("None" for
    an optional select left unset), and a boolean's truth."""

    def __init__(self, value, truth=None):
        self.value = value
        self.truth = bool(value) if truth is None else truth

    def __str__(self):
        return str(self.value)

    def __bool__(self):
        return self.truth


class Dataset:
    """A dataset (or collection element): its path, its name (a test's file name) and its
    element identifier."""

    def __init__(self, path, element_identifier=None):
        self.path = path
        self.name = os.path.basename(path)
        self.element_identifier = element_identifier

    def __str__(self):
        return self.path


class Conditional(dict):
    """A conditional's parameters, reached as attributes ($reference.source)."""

    __getattr__ = dict.__getitem__


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


def default(param):
    """A tool input's value when a test leaves it unset."""
    kind = param.get("type")
    if kind == "boolean":
        checked = param.get("checked", "false") == "true"
        return Parameter(param.get("truevalue" if checked else "falsevalue", str(checked)),
                         checked)
    if kind == "select":
        options = param.findall("option")
        chosen = [o for o in options if o.get("selected") == "true"]
        if chosen:
            return Parameter(chosen[0].get("value"))
        return Parameter(None) if param.get("optional") == "true" else Parameter(
            options[0].get("value"))
    return None


def stage(name, job):
    staged = os.path.join(job, "datasets", name)
    os.makedirs(os.path.dirname(staged), exist_ok=True)
    shutil.copyfile(os.path.join(TEST_DATA, name), staged)
    return staged


def value(definition, given, job):
    """A test's <param> of a tool input as the wrapper Cheetah sees."""
    kind = definition.get("type")
    collection = given.find("collection")
    if collection is not None:
        return [Dataset(stage(e.get("value"), job), e.get("name"))
                for e in collection.findall("element")]
    if kind == "data":
        return Dataset(stage(given.get("value"), job))
    if kind == "boolean":
        truth = given.get("value") in ("true", "True", definition.get("truevalue"))
        return Parameter(definition.get("truevalue" if truth else "falsevalue", str(truth)),
                         truth)
    return Parameter(given.get("value"))


def fill(inputs, given, namespace, job):
    """The namespace of one level of inputs (the tool's, or a conditional's branch)."""
    for child in inputs:
        name = child.get("name")
        found = given.find(f"*[@name='{name}']") if given is not None else None
        if child.tag == "param":
            namespace[name] = value(child, found, job) if found is not None else default(child)
        elif child.tag == "conditional":
            test_param = child.find("param")
            branch = Conditional()
            fill([test_param], found, branch, job)
            when = child.find(f"when[@value='{branch[test_param.get('name')]}']")
            fill(list(when) if when is not None else [], found, branch, job)
            namespace[name] = branch


def plain(wrapper):
    """A parameter's value as an output's <filter> sees it."""
    if isinstance(wrapper, Parameter):
        return wrapper.truth if wrapper.value in ("true", "false", "True", "False") \
            else wrapper.value
    return wrapper


def check_column_groups(tool, trelba, work):
    fasta = os.path.join(work, "one.fa")
    with open(fasta, "w") as out:
        out.write(">g\nATGAAATTTGGGTAA\n")
    offered = [o.get("value") for o in tool.find("./inputs/param[@name='columns']").iter("option")]
    refused = [g for g in offered + ["no_such_group"]
               if subprocess.run([trelba, "--columns", g, "--no-reports", "-T", os.devnull, fasta],
                                 capture_output=True).returncode != 0]
    if refused != ["no_such_group"]:
        sys.exit(f"the column-group select offers groups --columns refuses: {refused[:-1]}")
    print(f"column groups: --columns takes each of the {len(offered)} the select offers")


def check_help(tool):
    try:
        import docutils.core
    except ImportError:
        print("no docutils (Debian package python3-docutils): the help's markup not checked")
        return
    faults = io.StringIO()
    docutils.core.publish_doctree(tool.find("help").text,
                                  settings_overrides={"warning_stream": faults, "report_level": 1})
    if faults.getvalue():
        sys.exit(f"the tool's help is not sound reStructuredText:\n{faults.getvalue()}")
    print("help: reStructuredText without a fault")


def test_namespace(tool, test, job):
    """The Cheetah namespace of one <test>, its inputs staged in the job folder, and the
    outputs its <filter>s let through."""
    namespace = {}
    fill(list(tool.find("inputs")), test, namespace, job)
    values = {name: plain(wrapper) for name, wrapper in namespace.items()}
    made = []
    for output in tool.find("outputs"):
        condition = output.find("filter")
        if condition is None or eval(condition.text, {}, values):  # noqa: S307 (the tool's own)
            namespace[output.get("name")] = Dataset(
                os.path.join(job, "outputs", output.get("name")))
            made.append(output.get("name"))
    return namespace, made


def check_output(number, output, write, produced):
    expected = output.get("file")
    if expected and write:
        shutil.copyfile(produced, os.path.join(TEST_DATA, expected))
    elif expected and open(produced, "rb").read() != open(os.path.join(TEST_DATA, expected),
                                                          "rb").read():
        sys.exit(f"test {number}: output {output.get('name')} differs from test-data/{expected}")
    for needed in output.iter("has_text"):
        if needed.get("text").encode() not in open(produced, "rb").read():
            sys.exit(f"test {number}: output {output.get('name')} lacks {needed.get('text')!r}")


def run_test(tool, number, test, bindir, work, write):
    job = os.path.join(work, f"test{number}")
    os.makedirs(os.path.join(job, "outputs"))
    os.makedirs(os.path.join(job, "working"))
    namespace, made = test_namespace(tool, test, job)
    expected = test.get("expect_num_outputs")
    if expected and int(expected) != len(made):
        sys.exit(f"test {number}: {len(made)} outputs ({made}), expected {expected}")
    rendered = str(Template(tool.find("command").text, searchList=[namespace]))
    # As Galaxy's tool evaluation does: each line stripped, then the lines joined by spaces
    # (so commands must be joined by && or ;).
    command = " ".join(line.strip() for line in rendered.splitlines()).strip()
    with open(os.path.join(job, "command.sh"), "w") as out:
        out.write(command)
    environment = dict(os.environ, PATH=bindir + os.pathsep + os.environ["PATH"], GALAXY_SLOTS="2")
    done = subprocess.run(["bash", "-e", "../command.sh"], cwd=os.path.join(job, "working"),
                          env=environment,
                          capture_output=True, text=True)
    if done.returncode != 0:
        sys.exit(f"test {number}: the rendered command failed ({done.returncode}):\n"
                 f"{command}\n{done.stderr}")
    for output in test.findall("output"):
        check_output(number, output, write, os.path.join(job, "outputs", output.get("name")))
    described = " ".join(f"{p.get('name')}={p.get('value')}" for p in test.iter("param")
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
        check_column_groups(tool, trelba, work)
        check_help(tool)
        bindir = os.path.join(work, "bin")
        os.makedirs(bindir)
        os.symlink(trelba, os.path.join(bindir, "Trelba"))
        for number, test in enumerate(tool.find("tests").findall("test"), 1):
            run_test(tool, number, test, bindir, work, write)
    finally:
        shutil.rmtree(work)


if __name__ == "__main__":
    main(os.path.realpath(sys.argv[1]), "--write" in sys.argv[2:])
