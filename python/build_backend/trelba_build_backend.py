"""The PEP 517 build backend of `pip install .`: the module trelba built by CMake.

Why a backend of our own: scikit-build-core, the usual one, is not in Debian 12, and the
module must be built by the project's CMake (its compiler flags decide every printed
bit). This one uses the standard library only, so `pip install .` works without a
package index, with or without build isolation. It configures CMake for the interpreter
that runs it (-DPython3_EXECUTABLE), builds the target trelba_python, installs the CMake
component `python` and zips that into a wheel. config_settings: build-dir (kept, for a
faster rebuild; default a temporary one) and jobs (default one per core).
"""
import base64
import hashlib
import io
import os
import re
import shutil
import subprocess
import sys
import sysconfig
import tarfile
import tempfile
import zipfile

try:
    import tomllib
except ImportError:  # Python before 3.11
    tomllib = None

SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
NAME = "trelba"
MINIMUM_CMAKE = (3, 20)


def _version():
    """The version CMakeLists.txt's project() gives the program."""
    with open(os.path.join(SOURCE, "CMakeLists.txt"), encoding="utf-8") as f:
        found = re.search(r"project\(\s*Trelba\s+VERSION\s+([0-9.]+)", f.read())
    if not found:
        raise RuntimeError("no project(Trelba VERSION ...) in CMakeLists.txt")
    return found.group(1)


def _project():
    """The [project] table of pyproject.toml (name, description, dependencies)."""
    with open(os.path.join(SOURCE, "pyproject.toml"), "rb") as f:
        if tomllib is not None:
            return tomllib.load(f)["project"]
    return {"name": NAME}


def _metadata():
    project = _project()
    lines = ["Metadata-Version: 2.1", "Name: " + NAME, "Version: " + _version()]
    if "description" in project:
        lines.append("Summary: " + project["description"])
    if "license" in project:
        lines.append("License: " + project["license"].get("text", ""))
    if "requires-python" in project:
        lines.append("Requires-Python: " + project["requires-python"])
    for requirement in project.get("dependencies", []):
        lines.append("Requires-Dist: " + requirement)
    for extra, requirements in project.get("optional-dependencies", {}).items():
        lines.append("Provides-Extra: " + extra)
        for requirement in requirements:
            lines.append('Requires-Dist: %s ; extra == "%s"' % (requirement, extra))
    return "\n".join(lines) + "\n"


def _tag():
    """The wheel's python-abi-platform tag for this interpreter."""
    platform = re.sub(r"[-.]", "_", sysconfig.get_platform())
    if sys.implementation.name == "cpython":
        version = "cp%d%d" % sys.version_info[:2]
        abi = version + ("d" if sysconfig.get_config_var("Py_DEBUG") else "")
        return "%s-%s-%s" % (version, abi, platform)
    soabi = (sysconfig.get_config_var("SOABI") or "").replace("-", "_").replace(".", "_")
    return "%s%d%d-%s-%s" % (sys.implementation.name, *sys.version_info[:2], soabi or "none",
                             platform)


def _cmake_ok():
    cmake = shutil.which("cmake")
    if cmake is None:
        return False
    out = subprocess.run([cmake, "--version"], capture_output=True, text=True).stdout
    found = re.search(r"(\d+)\.(\d+)", out)
    return bool(found) and tuple(map(int, found.groups())) >= MINIMUM_CMAKE


def _pybind11_dir():
    """pybind11's CMake files when the Python package pybind11 is installed, else None
    (CMake then finds the system's: Debian pybind11-dev)."""
    try:
        import pybind11
    except ImportError:
        return None
    return pybind11.get_cmake_dir()


def _system_pybind11():
    prefixes = ["/usr", "/usr/local", sys.prefix, sys.base_prefix]
    return any(os.path.isfile(os.path.join(p, sub, "pybind11", "pybind11Config.cmake"))
               for p in prefixes for sub in ("lib/cmake", "share/cmake", "lib64/cmake"))


def get_requires_for_build_wheel(config_settings=None):
    """CMake and pybind11 from the package index only when the system has none."""
    needed = [] if _cmake_ok() else ["cmake>=%d.%d" % MINIMUM_CMAKE]
    if _pybind11_dir() is None and not _system_pybind11():
        needed.append("pybind11>=2.10")
    return needed


def get_requires_for_build_sdist(config_settings=None):
    return []


def _run(command):
    print("+ " + " ".join(command), flush=True)
    subprocess.run(command, check=True)


def _build(build_dir, stage, config_settings):
    jobs = str(config_settings.get("jobs") or os.cpu_count() or 1)
    configure = ["cmake", "-S", SOURCE, "-B", build_dir, "-DCMAKE_BUILD_TYPE=Release",
                 "-DTRELBA_PYTHON=ON", "-DTRELBA_BUILD_TESTS=OFF", "-DTRELBA_BUILD_BENCH=OFF",
                 "-DPython3_EXECUTABLE=" + sys.executable, "-DTRELBA_PYTHON_INSTALL_DIR=."]
    pybind11_dir = _pybind11_dir()
    if pybind11_dir is not None:
        configure.append("-Dpybind11_DIR=" + pybind11_dir)
    _run(configure)
    _run(["cmake", "--build", build_dir, "--target", "trelba_python", "-j", jobs])
    _run(["cmake", "--install", build_dir, "--component", "python", "--prefix", stage])


def _dist_info():
    return "%s-%s.dist-info" % (NAME, _version())


def prepare_metadata_for_build_wheel(metadata_directory, config_settings=None):
    """The wheel's METADATA without building it (CMakeLists.txt has the version)."""
    folder = os.path.join(metadata_directory, _dist_info())
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "METADATA"), "w", encoding="utf-8") as f:
        f.write(_metadata())
    return _dist_info()


def _record_line(path, data):
    digest = base64.urlsafe_b64encode(hashlib.sha256(data).digest()).rstrip(b"=").decode()
    return "%s,sha256=%s,%d" % (path, digest, len(data))


def build_wheel(wheel_directory, config_settings=None, metadata_directory=None):
    config_settings = config_settings or {}
    tag = _tag()
    dist_info = _dist_info()
    wheel_name = "%s-%s-%s.whl" % (NAME, _version(), tag)
    with tempfile.TemporaryDirectory() as scratch:
        build_dir = config_settings.get("build-dir") or os.path.join(scratch, "build")
        stage = os.path.join(scratch, "stage")
        _build(os.path.abspath(build_dir), stage, config_settings)
        files = {}
        for folder, _, names in os.walk(os.path.join(stage, NAME)):
            for name in sorted(names):
                path = os.path.join(folder, name)
                with open(path, "rb") as f:
                    files[os.path.relpath(path, stage).replace(os.sep, "/")] = f.read()
        with open(os.path.join(SOURCE, "LICENSE"), "rb") as f:
            files[dist_info + "/LICENSE"] = f.read()
        files[dist_info + "/METADATA"] = _metadata().encode()
        files[dist_info + "/WHEEL"] = ("Wheel-Version: 1.0\nGenerator: trelba_build_backend\n"
                                       "Root-Is-Purelib: false\nTag: %s\n" % tag).encode()
        record = [_record_line(path, data) for path, data in files.items()]
        record.append(dist_info + "/RECORD,,")
        files[dist_info + "/RECORD"] = ("\n".join(record) + "\n").encode()
        with zipfile.ZipFile(os.path.join(wheel_directory, wheel_name), "w",
                             zipfile.ZIP_DEFLATED) as wheel:
            for path, data in files.items():
                wheel.writestr(path, data)
    return wheel_name


def _source_files():
    """The files of the source tree: git's list where there is one, else every file but
    build folders and hidden ones."""
    done = subprocess.run(["git", "-C", SOURCE, "ls-files", "-z"], capture_output=True)
    if done.returncode == 0 and done.stdout:
        return [p for p in done.stdout.decode().split("\0") if p]
    found = []
    for folder, dirs, names in os.walk(SOURCE):
        dirs[:] = [d for d in dirs if not d.startswith((".", "build"))]
        found += [os.path.relpath(os.path.join(folder, n), SOURCE) for n in names]
    return found


def build_sdist(sdist_directory, config_settings=None):
    base = "%s-%s" % (NAME, _version())
    name = base + ".tar.gz"
    with tarfile.open(os.path.join(sdist_directory, name), "w:gz", format=tarfile.PAX_FORMAT) as tar:
        for path in sorted(_source_files()):
            tar.add(os.path.join(SOURCE, path), arcname=base + "/" + path, recursive=False)
        info = tarfile.TarInfo(base + "/PKG-INFO")
        data = _metadata().encode()
        info.size = len(data)
        tar.addfile(info, io.BytesIO(data))
    return name
