// The Python module's native part, trelba._trelba: the table text of files or of FASTA
// text, made by the library with the interpreter's lock released.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <optional>
#include <string>
#include <vector>

#include "trelba/trelba.hpp"

namespace py = pybind11;

namespace {

trelba::TableSettings Settings(std::optional<std::string> variant, std::optional<std::string> gcode,
                               std::optional<std::string> background, unsigned threads,
                               bool file_column, bool counts, bool description) {
  return {std::move(variant), std::move(gcode), std::move(background), threads, file_column, counts,
          description};
}

}  // namespace

PYBIND11_MODULE(_trelba, m) {
  m.doc() = "The table of results of Trelba, made by its own code.";
  py::register_exception<trelba::Error>(m, "Error", PyExc_RuntimeError);
  m.def(
      "table_text",
      [](const std::vector<std::string>& paths, std::optional<std::string> variant,
         std::optional<std::string> gcode, std::optional<std::string> background, unsigned threads,
         bool file_column, bool counts, bool description) {
        const trelba::TableSettings settings =
            Settings(std::move(variant), std::move(gcode), std::move(background), threads,
                     file_column, counts, description);
        std::string text;
        {
          py::gil_scoped_release released;
          text = trelba::TableOfFiles(paths, settings);
        }
        return py::bytes(text);
      },
      py::arg("paths"), py::arg("variant") = py::none(), py::arg("gcode") = py::none(),
      py::arg("background") = py::none(), py::arg("threads") = 0u, py::arg("file_column") = false,
      py::arg("counts") = false, py::arg("description") = false,
      "The bytes `Trelba --no-reports -T - ... paths` writes.");
  m.def(
      "fasta_table_text",
      [](const py::bytes& fasta, std::optional<std::string> variant,
         std::optional<std::string> gcode, std::optional<std::string> background, unsigned threads,
         bool file_column, bool counts, bool description, const std::string& label) {
        const trelba::TableSettings settings =
            Settings(std::move(variant), std::move(gcode), std::move(background), threads,
                     file_column, counts, description);
        const std::string_view text = fasta;  // held by the caller while the lock is released
        std::string table;
        {
          py::gil_scoped_release released;
          table = trelba::TableOfText(text, settings, label);
        }
        return py::bytes(table);
      },
      py::arg("fasta"), py::arg("variant") = py::none(), py::arg("gcode") = py::none(),
      py::arg("background") = py::none(), py::arg("threads") = 0u, py::arg("file_column") = false,
      py::arg("counts") = false, py::arg("description") = false, py::arg("label") = "-",
      "The bytes of the table of FASTA text, as if it were a file named `label`.");
}
