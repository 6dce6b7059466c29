// The Python module's native part, trelba._trelba: the table, the summary or the codon usage
// of files, of file objects or of FASTA text as its bytes or as typed column arrays (NumPy,
// no copy of the text), made by the library with the interpreter's lock released (taken
// again for each read of a file object). Warnings are handed to the caller's `warn` after
// the work; Ctrl-C stops the work between blocks of input; errors are raised as
// _trelba.Error(message, file, errno, option) for the package to raise as Python's own.
#include <Python.h>
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <deque>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "trelba/trelba.hpp"

namespace py = pybind11;

namespace {

// How often the interpreter is asked whether Ctrl-C was pressed (it takes its lock).
constexpr std::chrono::milliseconds kSignalCheckInterval{50};

// Asks the interpreter, on the main thread only (where Python runs its signal handlers)
// and at most every kSignalCheckInterval unless a signal has arrived, whether a handler
// raised: KeyboardInterrupt for Ctrl-C. The exception is kept, to be raised when the
// library has stopped.
class SignalCheck {
 public:
  explicit SignalCheck(bool main_thread) : main_thread_(main_thread) {}

  bool operator()(bool signal_arrived) {
    const auto now = std::chrono::steady_clock::now();
    if (!main_thread_ || (!signal_arrived && now - last_ < kSignalCheckInterval)) return false;
    last_ = now;
    py::gil_scoped_acquire held;
    if (PyErr_CheckSignals() == 0) return false;
    raised_.emplace();  // takes the exception the handler raised
    return true;
  }

  // With the lock held: raises what the handler raised.
  [[noreturn]] void Raise() {
    raised_->restore();
    raised_.reset();
    throw py::error_already_set();
  }

 private:
  bool main_thread_;
  std::chrono::steady_clock::time_point last_{};
  std::optional<py::error_already_set> raised_;
};

bool OnMainThread() {
  const py::module_ threading = py::module_::import("threading");
  return threading.attr("current_thread")().is(threading.attr("main_thread")());
}

py::object ErrorType() {
  return py::module_::import("trelba._trelba").attr("Error");
}

// A Python file object read for the library, with the lock taken for each read: bytes
// as they come (a binary handle, gzip.open's too), or str (a text handle) as UTF-8. The
// first exception read() raises is kept, to be raised when the library has stopped.
class HandleReader {
 public:
  explicit HandleReader(py::object handle) : handle_(std::move(handle)) {}

  std::ptrdiff_t operator()(char* buffer, std::size_t capacity) {
    py::gil_scoped_acquire held;
    try {
      if (pending_.empty()) {
        const py::object piece = handle_.attr("read")(capacity);
        if (py::isinstance<py::str>(piece)) {
          pending_ = py::bytes(piece.attr("encode")("utf-8", "surrogateescape"));
        } else {
          pending_ = py::bytes(piece);  // bytes, bytearray, memoryview; else TypeError
        }
        begin_ = 0;
      }
    } catch (py::error_already_set& raised) {
      if (!raised_) raised_.emplace(std::move(raised));
      errno = 0;
      return -1;
    }
    const std::size_t n = std::min(capacity, pending_.size() - begin_);
    std::memcpy(buffer, pending_.data() + begin_, n);
    begin_ += n;
    if (begin_ == pending_.size()) pending_.clear();
    return static_cast<std::ptrdiff_t>(n);
  }

  // With the lock held: raises what read() raised, if it did.
  void RaiseIfRaised() {
    if (!raised_) return;
    raised_->restore();
    raised_.reset();
    throw py::error_already_set();
  }

 private:
  py::object handle_;
  std::string pending_;
  std::size_t begin_ = 0;
  std::optional<py::error_already_set> raised_;
};

// The inputs of a call: each a path as bytes, or a (name as bytes, file object) pair.
struct Inputs {
  std::vector<trelba::Input> inputs;
  std::deque<HandleReader> readers;

  explicit Inputs(const py::list& given) {
    for (const py::handle item : given) {
      if (py::isinstance<py::bytes>(item)) {
        inputs.push_back({std::string(item.cast<py::bytes>()), {}});
        continue;
      }
      const auto pair = item.cast<py::tuple>();
      HandleReader& reader = readers.emplace_back(pair[1]);
      inputs.push_back(
          {std::string(pair[0].cast<py::bytes>()),
           [&reader](char* buffer, std::size_t capacity) { return reader(buffer, capacity); }});
    }
  }

  void RaiseIfRaised() {
    for (HandleReader& reader : readers) reader.RaiseIfRaised();
  }
};

// Runs `work(hooks)` with the lock released, then hands the warnings to `warn` and raises
// the library's error, or the interrupting exception.
template <class Work>
void Call(const py::object& warn, Work&& work, Inputs* inputs = nullptr) {
  std::vector<std::string> warnings;
  SignalCheck signals(OnMainThread());
  trelba::CallerHooks hooks;
  hooks.warning = [&](std::string_view line) { warnings.emplace_back(line); };
  hooks.interrupted = [&](bool signal_arrived) { return signals(signal_arrived); };
  std::optional<trelba::Error> error;
  bool interrupted = false;
  {
    py::gil_scoped_release released;
    try {
      work(hooks);
    } catch (const trelba::Interrupted&) {
      interrupted = true;
    } catch (const trelba::Error& failure) {
      error = failure;
    }
  }
  if (inputs != nullptr) inputs->RaiseIfRaised();
  if (interrupted) signals.Raise();
  for (const std::string& line : warnings) warn(py::bytes(line));
  if (!error) return;
  PyErr_SetObject(ErrorType().ptr(),
                  py::make_tuple(py::bytes(error->what()), py::bytes(error->file()),
                                 error->system_error(), error->option())
                      .ptr());
  throw py::error_already_set();
}

// A vector's memory handed to NumPy, which frees it with the array.
template <class T>
py::array ArrayOf(std::vector<T>&& values, const py::dtype& type) {
  auto* owner = new std::vector<T>(std::move(values));
  const py::capsule free(owner, [](void* p) { delete static_cast<std::vector<T>*>(p); });
  return py::array(type, {owner->size()}, {sizeof(T)}, owner->data(), free);
}

const char* KindName(trelba::ColumnKind kind) {
  switch (kind) {
    case trelba::ColumnKind::kText:
      return "text";
    case trelba::ColumnKind::kWholeNumber:
      return "whole";
    case trelba::ColumnKind::kNumber:
      break;
  }
  return "number";
}

// The array of str of a text column (the table writes UTF-8 only); a text equal to the
// one before it is the same object (the file column). The column's text is freed.
py::array TextArray(trelba::ColumnVectors::Vectors& column) {
  py::array texts(py::dtype("O"),
                  std::vector<py::ssize_t>{static_cast<py::ssize_t>(column.ends.size())});
  auto* slots = static_cast<PyObject**>(texts.mutable_data());
  std::string_view previous;
  std::size_t begin = 0;
  for (std::size_t i = 0; i < column.ends.size(); ++i) {
    const std::string_view text(column.chars.data() + begin, column.ends[i] - begin);
    begin = column.ends[i];
    PyObject* object = nullptr;
    if (i != 0 && text == previous) {
      object = slots[i - 1];
      Py_INCREF(object);
    } else {
      object = PyUnicode_DecodeUTF8(text.data(), static_cast<py::ssize_t>(text.size()), "replace");
      if (object == nullptr) throw py::error_already_set();
    }
    Py_XDECREF(slots[i]);
    slots[i] = object;
    previous = text;
  }
  std::string().swap(column.chars);
  std::vector<std::size_t>().swap(column.ends);
  return texts;
}

// [(name, kind, values, mask or None)], with the lock held: NumPy arrays over the
// vectors' own memory (no copy), arrays of str for texts.
py::list Arrays(trelba::ColumnVectors& table) {
  py::list result;
  for (trelba::ColumnVectors::Vectors& column : table.columns) {
    py::object values;
    py::object mask = py::none();
    switch (column.column.kind) {
      case trelba::ColumnKind::kText:
        values = TextArray(column);
        break;
      case trelba::ColumnKind::kWholeNumber:
        values = ArrayOf(std::move(column.wholes), py::dtype::of<std::int64_t>());
        if (!column.missing.empty()) mask = ArrayOf(std::move(column.missing), py::dtype("?"));
        break;
      case trelba::ColumnKind::kNumber:
        values = ArrayOf(std::move(column.numbers), py::dtype::of<double>());
        break;
    }
    result.append(py::make_tuple(column.column.name, KindName(column.column.kind), values, mask));
  }
  table.columns.clear();
  return result;
}

// The keyword arguments of the Python layer, each to its setting: text (a str, or a path as
// bytes) or a flag. None leaves a setting as it is.
struct Keyword {
  const char* name;
  std::optional<std::string> trelba::TableSettings::*text;
  bool trelba::TableSettings::*flag;
};
using Settings_ = trelba::TableSettings;
constexpr Keyword kKeywords[] = {
    {"variant", &Settings_::variant, nullptr},
    {"gcode", &Settings_::gcode, nullptr},
    {"background", &Settings_::background, nullptr},
    {"threads", &Settings_::threads, nullptr},
    {"reference", &Settings_::reference, nullptr},
    {"columns", &Settings_::columns, nullptr},
    {"coa", &Settings_::coa, nullptr},
    {"gff", &Settings_::gff, nullptr},
    {"trna", &Settings_::trna, nullptr},
    {"optimal_codons", &Settings_::optimal_codons, nullptr},
    {"min_codons", &Settings_::min_codons, nullptr},
    {"file_column", nullptr, &Settings_::file_column},
    {"counts", nullptr, &Settings_::counts},
    {"description", nullptr, &Settings_::description},
    {"cds_only", nullptr, &Settings_::cds_only},
    {"skip_first_codon", nullptr, &Settings_::skip_first_codon},
};

trelba::TableSettings SettingsOf(const py::kwargs& options) {
  trelba::TableSettings settings;
  for (const auto& [key, value] : options) {
    const std::string name = py::str(key);
    const Keyword* keyword = std::find_if(std::begin(kKeywords), std::end(kKeywords),
                                          [&](const Keyword& k) { return name == k.name; });
    if (keyword == std::end(kKeywords)) {
      throw py::type_error("unexpected keyword argument '" + name + "'");
    }
    if (value.is_none()) continue;
    if (keyword->text != nullptr) {
      settings.*(keyword->text) = value.cast<std::string>();
    } else {
      settings.*(keyword->flag) = value.cast<bool>();
    }
  }
  return settings;
}

using Inputs_ = std::vector<trelba::Input>;
using Hooks_ = trelba::CallerHooks;

// The outputs (the table, the summary, the codon usage): as text, and cell by cell.
struct OutputKind {
  std::string (*text)(const Inputs_&, const Settings_&, const Hooks_&);
  void (*cells)(const Inputs_&, const Settings_&, trelba::TableReceiver&, const Hooks_&);
};
constexpr OutputKind kTable = {[](const Inputs_& i, const Settings_& s, const Hooks_& h) {
                                 return trelba::TableOfInputs(i, s, h);
                               },
                               [](const Inputs_& i, const Settings_& s, trelba::TableReceiver& r,
                                  const Hooks_& h) { trelba::TableOfInputs(i, s, r, h); }};
constexpr OutputKind kSummary = {[](const Inputs_& i, const Settings_& s, const Hooks_& h) {
                                   return trelba::SummaryOfInputs(i, s, h);
                                 },
                                 [](const Inputs_& i, const Settings_& s, trelba::TableReceiver& r,
                                    const Hooks_& h) { trelba::SummaryOfInputs(i, s, r, h); }};
constexpr OutputKind kCodonUsage = {
    [](const Inputs_& i, const Settings_& s, const Hooks_& h) {
      return trelba::CodonUsageOfInputs(i, s, h);
    },
    [](const Inputs_& i, const Settings_& s, trelba::TableReceiver& r, const Hooks_& h) {
      trelba::CodonUsageOfInputs(i, s, r, h);
    }};

// The text of one of the outputs of `paths`.
py::bytes OutputText(const py::list& paths, const py::object& warn, const py::kwargs& options,
                     const OutputKind& output) {
  Inputs inputs(paths);
  const trelba::TableSettings settings = SettingsOf(options);
  std::string text;
  Call(
      warn,
      [&](const trelba::CallerHooks& hooks) { text = output.text(inputs.inputs, settings, hooks); },
      &inputs);
  return py::bytes(text);
}

// Its columns: [(name, kind, values, mask or None)].
py::list OutputColumns(const py::list& paths, const py::object& warn, const py::kwargs& options,
                       const OutputKind& output) {
  Inputs inputs(paths);
  const trelba::TableSettings settings = SettingsOf(options);
  trelba::ColumnVectors columns;
  Call(
      warn,
      [&](const trelba::CallerHooks& hooks) {
        output.cells(inputs.inputs, settings, columns, hooks);
      },
      &inputs);
  return Arrays(columns);
}

}  // namespace

PYBIND11_MODULE(_trelba, m) {
  m.doc() = "The table of results of Trelba, made by its own code.";
  m.attr("__version__") = TRELBA_VERSION;
  py::object error = py::module_::import("builtins").attr("RuntimeError");
  m.attr("Error") = py::reinterpret_steal<py::object>(
      PyErr_NewException("trelba._trelba.Error", error.ptr(), nullptr));
  m.def(
      "table_text",
      [](const py::list& paths, const py::object& warn, const py::kwargs& options) {
        return OutputText(paths, warn, options, kTable);
      },
      py::arg("paths"), py::arg("warn"),
      "The bytes `Trelba --no-reports -T - ... paths` writes (settings as keywords); a path "
      "is bytes, a file object a (name, object) pair.");
  m.def(
      "summary_text",
      [](const py::list& paths, const py::object& warn, const py::kwargs& options) {
        return OutputText(paths, warn, options, kSummary);
      },
      py::arg("paths"), py::arg("warn"), "The bytes `Trelba --no-reports --summary - ...` writes.");
  m.def(
      "codon_usage_text",
      [](const py::list& paths, const py::object& warn, const py::kwargs& options) {
        return OutputText(paths, warn, options, kCodonUsage);
      },
      py::arg("paths"), py::arg("warn"),
      "The bytes `Trelba --no-reports --codon-usage - ...` writes.");
  m.def(
      "summary_columns",
      [](const py::list& paths, const py::object& warn, const py::kwargs& options) {
        return OutputColumns(paths, warn, options, kSummary);
      },
      py::arg("paths"), py::arg("warn"), "The columns of that summary.");
  m.def(
      "codon_usage_columns",
      [](const py::list& paths, const py::object& warn, const py::kwargs& options) {
        return OutputColumns(paths, warn, options, kCodonUsage);
      },
      py::arg("paths"), py::arg("warn"), "The columns of that codon usage.");
  m.def(
      "table_columns",
      [](const py::list& paths, const py::object& warn, const py::kwargs& options) {
        return OutputColumns(paths, warn, options, kTable);
      },
      py::arg("paths"), py::arg("warn"),
      "The columns of that table: [(name, kind, values, mask or None)].");
  m.def(
      "fasta_table_text",
      [](const py::bytes& fasta, const py::bytes& label, const py::object& warn,
         const py::kwargs& options) {
        const trelba::TableSettings settings = SettingsOf(options);
        const std::string_view text = fasta;  // held by the caller while the lock is released
        const std::string name(label);
        std::string table;
        Call(warn, [&](const trelba::CallerHooks& hooks) {
          table = trelba::TableOfText(text, settings, name, hooks);
        });
        return py::bytes(table);
      },
      py::arg("fasta"), py::arg("label"), py::arg("warn"),
      "The bytes of the table of FASTA text, as if it were a file named `label`.");
  m.def(
      "fasta_table_columns",
      [](const py::bytes& fasta, const py::bytes& label, const py::object& warn,
         const py::kwargs& options) {
        const trelba::TableSettings settings = SettingsOf(options);
        const std::string_view text = fasta;
        const std::string name(label);
        trelba::ColumnVectors columns;
        Call(warn, [&](const trelba::CallerHooks& hooks) {
          trelba::TableOfText(text, settings, name, columns, hooks);
        });
        return Arrays(columns);
      },
      py::arg("fasta"), py::arg("label"), py::arg("warn"),
      "The columns of the table of FASTA text: [(name, kind, values, mask or None)].");
  m.def(
      "columns",
      [](bool file_column, bool counts, bool description, bool reference, bool coa, bool trna) {
        trelba::TableSettings settings;
        settings.file_column = file_column;
        settings.counts = counts;
        settings.description = description;
        if (reference) settings.reference = "auto";
        if (coa) settings.coa = "codons";
        if (trna) settings.trna = "trna.out";
        py::list result;
        for (const trelba::Column& column : trelba::TableColumns(settings)) {
          result.append(py::make_tuple(column.name, KindName(column.kind)));
        }
        return result;
      },
      py::arg("file_column") = false, py::arg("counts") = false, py::arg("description") = false,
      py::arg("reference") = false, py::arg("coa") = false, py::arg("trna") = false,
      "The table's columns under those settings: [(name, kind)].");
}
