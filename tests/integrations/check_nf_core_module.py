"""The nf-core module modules/trelba/trelba/ against nf-core's conventions, without
Nextflow (which cannot run here).

1. .nf-core.yml makes this repository a modules repository whose org_path holds the
   module, as `nf-core modules --git-remote` installs from.
2. meta.yml validates against nf-core's module meta schema (modules/meta-schema.json)
   and environment.yml against its environment schema (modules/environment-schema.json),
   with python3-jsonschema.
3. main.nf has the current template's fields: conda from environment.yml, container
   tags of the biocontainers form VERSION--BUILD for docker and singularity, versions as
   a `versions` topic (no versions.yml), the emits meta.yml lists, the `when:` guard.
4. tests/main.nf.test.snap holds what the module's script gives: the script section of
   main.nf rendered for the test's input ([ id:'test' ] and the shipped example) and run,
   its outputs' md5 sums and the program's version as the snapshot has them; the stub's
   empty files. With --write, the snapshot's contents are made anew from that run instead.

usage: check_nf_core_module.py TRELBA [--write]   (exit status 77: no jsonschema or PyYAML)
"""
import hashlib
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

try:
    import jsonschema
    import yaml
except ImportError:
    print("no jsonschema or PyYAML (Debian python3-jsonschema, python3-yaml): skipped")
    sys.exit(77)

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
EMPTY_MD5 = hashlib.md5(b"").hexdigest()
# VERSION--BUILD, BUILD as Bioconda builds name it (h + 7 hex digits of the variant
# hash, _ + build number).
CONTAINER_TAG = re.compile(r"trelba:(?P<version>[0-9][0-9.]*)--h[0-9a-f]{7}_[0-9]+'")


def fail(message):
    sys.exit(f"nf-core module: {message}")


def module_dir():
    with open(os.path.join(ROOT, ".nf-core.yml")) as handle:
        settings = yaml.safe_load(handle)
    if settings.get("repository_type") != "modules":
        fail(".nf-core.yml: repository_type is not `modules`")
    folder = os.path.join(ROOT, "modules", settings["org_path"], "trelba")
    if not os.path.isfile(os.path.join(folder, "main.nf")):
        fail(f"no modules/{settings['org_path']}/trelba/main.nf for org_path {settings['org_path']}")
    return folder


def validate(document, schema_name):
    with open(os.path.join(ROOT, "modules", schema_name)) as handle:
        schema = json.load(handle)
    validator = jsonschema.Draft202012Validator(schema)
    errors = sorted(validator.iter_errors(document), key=lambda e: list(e.path))
    if errors:
        fail(f"does not validate against modules/{schema_name}: "
             + "; ".join(f"{'/'.join(map(str, e.path))}: {e.message}" for e in errors[:5]))


def check_template(main, meta):
    for field, pattern in [
        ("conda", r'conda "\$\{moduleDir\}/environment\.yml"'),
        ("singularity container", r"'https://depot\.galaxyproject\.org/singularity/trelba:"),
        ("docker container", r"'biocontainers/trelba:"),
        ("versions topic", r"topic: versions, emit: versions_trelba"),
        ("when guard", r"task\.ext\.when == null \|\| task\.ext\.when"),
        ("args", r"task\.ext\.args"),
        ("prefix", r"task\.ext\.prefix"),
    ]:
        if not re.search(pattern, main):
            fail(f"main.nf has no {field} ({pattern})")
    if "versions.yml" in main:
        fail("main.nf still writes versions.yml; versions go to the `versions` topic")
    tags = CONTAINER_TAG.findall(main)
    if len(tags) != 2 or len(set(tags)) != 1:
        fail(f"main.nf's container tags are not both of the form trelba:VERSION--hXXXXXXX_N: {tags}")
    emits = re.findall(r"emit: (\w+)", main)
    if sorted(emits) != sorted(meta["output"]):
        fail(f"main.nf emits {emits}, meta.yml's output lists {sorted(meta['output'])}")


def rendered_script(main, prefix, cds):
    """The script section's command as Nextflow would run it for meta [ id:prefix ],
    no ext.args, one cpu."""
    section = main.split("\n    script:", 1)[1].split("\n    stub:", 1)[0]
    command = re.search(r'"""\n(.*?)\n\s*"""', section, re.S).group(1)
    values = {"args": "", "gcode": "", "task.cpus": "1", "prefix": prefix, "cds": cds}
    command = re.sub(r"\$\{(\w+(?:\.\w+)?)\}|\$(\w+(?:\.\w+)?)",
                     lambda m: values[m.group(1) or m.group(2)], command)
    return command.replace("\\\\", "\\")


def snapshot_content(genes, summary, version, meta):
    return [[[meta, genes]], [[meta, summary]],
            {"versions_trelba": [["TRELBA", "trelba", version]]}]


def md5(path):
    with open(path, "rb") as handle:
        return hashlib.md5(handle.read()).hexdigest()


def check_snapshot(folder, main, trelba, write):
    with open(os.path.join(folder, "tests", "main.nf.test")) as handle:
        test = handle.read()
    example = re.search(r'file\("\$\{moduleDir\}/([^"]+)"', test).group(1)
    cds = os.path.normpath(os.path.join(folder, example))
    snapshot_path = os.path.join(folder, "tests", "main.nf.test.snap")
    with open(snapshot_path) as handle:
        snapshot = json.load(handle)
    version = subprocess.run([trelba, "-V"], capture_output=True, text=True,
                             check=True).stdout.split()[-1]
    work = tempfile.mkdtemp()
    try:
        os.symlink(trelba, os.path.join(work, "Trelba"))
        command = rendered_script(main, "test", cds)
        subprocess.run(["bash", "-euo", "pipefail", "-c", command], cwd=work, check=True,
                       env=dict(os.environ, PATH=work + os.pathsep + os.environ["PATH"]))
        expected = {
            "ecoli - highly expressed genes - fasta": snapshot_content(
                f"test.genes.tsv:md5,{md5(os.path.join(work, 'test.genes.tsv'))}",
                f"test.summary.tsv:md5,{md5(os.path.join(work, 'test.summary.tsv'))}",
                version, {"id": "test"}),
            "ecoli - highly expressed genes - fasta -- stub": snapshot_content(
                f"test.genes.tsv:md5,{EMPTY_MD5}", f"test.summary.tsv:md5,{EMPTY_MD5}",
                version, {"id": "test"}),
        }
    finally:
        shutil.rmtree(work)
    if write:
        for name, content in expected.items():
            snapshot.setdefault(name, {})["content"] = content
        with open(snapshot_path, "w") as handle:
            handle.write(json.dumps(snapshot, indent=4) + "\n")
        return
    if sorted(snapshot) != sorted(expected):
        fail(f"the snapshot's tests {sorted(snapshot)} are not {sorted(expected)}")
    for name, content in expected.items():
        if snapshot[name]["content"] != content:
            fail(f"snapshot {name!r} holds {json.dumps(snapshot[name]['content'])}, "
                 f"the module's script gives {json.dumps(content)}")


def main(trelba, write):
    folder = module_dir()
    with open(os.path.join(folder, "meta.yml")) as handle:
        meta = yaml.safe_load(handle)
    with open(os.path.join(folder, "environment.yml")) as handle:
        environment = yaml.safe_load(handle)
    with open(os.path.join(folder, "main.nf")) as handle:
        main_nf = handle.read()
    validate(meta, "meta-schema.json")
    validate(environment, "environment-schema.json")
    print("nf-core module: meta.yml and environment.yml validate against nf-core's schemas")
    check_template(main_nf, meta)
    print("nf-core module: main.nf has the template's fields, biocontainers tags, a versions topic")
    check_snapshot(folder, main_nf, trelba, write)
    print("nf-core module: tests/main.nf.test.snap " +
          ("written from" if write else "equals") + " the module's script run here")


if __name__ == "__main__":
    main(os.path.realpath(sys.argv[1]), "--write" in sys.argv[2:])
