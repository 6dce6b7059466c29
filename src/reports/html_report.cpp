#include "reports/html_report.hpp"

#include <cmath>

#include "codes/ncbi_tables.hpp"
#include "reports/run_figures.hpp"
#include "reports/svg_canvas.hpp"

namespace trelba {
namespace {

void AppendSummaryLine(std::string& out, std::string_view name, const std::string& value) {
  out += "<tr><th>";
  out += name;
  out += "</th><td>";
  out += value;
  out += "</td></tr>";
}

constexpr std::string_view kPageStyle =
    "body{font-family:sans-serif;margin:1.5em;color:#222;display:flex;flex-direction:column}"
    "h1{order:-3;margin:0 0 .2em}.run{order:-2}.overview{order:-1;margin-bottom:1em;"
    "align-self:flex-start}section.together{order:-1}section{border-top:1px solid #bbb;"
    "padding:.5em 0;display:flex;flex-wrap:wrap;gap:1em 2em;align-items:flex-start}"
    "section h2{width:100%;margin:.2em 0;font-size:1.1em}"
    "table{border-collapse:collapse;font-size:.85em}th,td{padding:.1em .6em;text-align:left}"
    "td{text-align:right}.overview td:first-child,td.id{text-align:left}.error{color:#a00}"
    "figure{margin:0}figcaption{font-weight:bold;font-size:.9em;margin-bottom:.2em}"
    ".pair{display:flex;gap:.6em;align-items:flex-start}table.top-genes{font-size:.75em}"
    "caption{text-align:left;font-size:.95em;padding-bottom:.2em}"
    "td.id{max-width:16em;overflow-wrap:anywhere}";

// A figure of the page: its caption, its plot, and the table beside it when it has one.
void AppendFigure(std::string& out, std::string_view caption, const std::string& plot,
                  const std::string& table) {
  out += "<figure><figcaption>";
  AppendHtmlText(out, caption);
  out += "</figcaption><div class=\"pair\">";
  out += plot;
  out += table;
  out += "</div></figure>\n";
}

}  // namespace

HtmlReport::HtmlReport(OutputBuffer& out, const GeneticCode& code, std::string_view background,
                       const RunPlotData& run)
    : out_(out), run_(run) {
  std::string head =
      "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
      "<title>Trelba report</title><style>";
  head += kPageStyle;
  head += kPlotStyle;
  head += "</style></head>\n<body>\n<h1>Trelba report</h1>\n<p class=\"run\">Genetic code: ";
  if (code.ncbi_table != 0) {
    head += "NCBI translation table " + std::to_string(code.ncbi_table) + " (";
    AppendHtmlText(head, NcbiTableName(code.ncbi_table));
    head += ')';
  } else {
    head += "variant ";
    head += code.id;
  }
  head += "; background of the expected score: ";
  AppendHtmlText(head, background);
  head += ". Each dot is a gene: hover over it for its id and values.";
  if (!run.sections()) {
    head += " With " + Count(run.inputs_given()) + " inputs the page shows them together, one " +
            "point an input; --figures DIR draws each one's figures.";
  }
  head += "</p>\n";
  out_.Append(head);
}

void HtmlReport::AddInput(const PageInput& input) {
  ++inputs_;
  const std::string anchor = "input-" + std::to_string(inputs_);
  const bool section = run_.sections();
  overview_ += "<tr><td>";
  if (section) overview_ += "<a href=\"#" + anchor + "\">";
  AppendHtmlText(overview_, input.row.file);
  if (section) overview_ += "</a>";
  overview_ += "</td>";
  std::string text;
  if (section) {
    text = "<section class=\"input\" id=\"" + anchor + "\"><h2>";
    AppendHtmlText(text, input.row.file);
    text += "</h2>\n";
  }
  if (!input.row.error.empty() || input.plot == nullptr) {
    overview_ += "<td class=\"error\" colspan=\"7\">";
    AppendHtmlText(overview_, input.row.error);
    overview_ += "</td></tr>";
    if (!section) return;
    text += "<p class=\"error\">";
    AppendHtmlText(text, input.row.error);
    text += "</p></section>\n";
    out_.Append(text);
    return;
  }
  const bool reference = !input.row.reference.empty();
  reference_ = reference_ || reference;
  overview_ += "<td>" + Count(input.row.sequences) + "</td><td>" + Count(input.row.codons) +
               "</td><td>" + Number(input.row.gc, 4) + "</td><td>" + Number(input.row.gc3s, 4) +
               "</td><td>" + Number(input.row.median_enc, 2) + "</td><td>" +
               Number(reference ? input.row.median_adaptation : std::nan(""), 4) + "</td><td>" +
               Number(input.row.average, 4) + "</td></tr>";
  if (!section) return;
  const PlotData& plot = *input.plot;
  text += "<table class=\"summary\">";
  AppendSummaryLine(text, "sequences", Count(input.row.sequences));
  AppendSummaryLine(text, "codons", Count(input.row.codons));
  AppendSummaryLine(text, "average positive score", Number(input.row.average, 4));
  AppendSummaryLine(text, "GC", Number(input.row.gc, 4));
  AppendSummaryLine(text, "GC3", Number(input.row.gc3, 4));
  AppendSummaryLine(text, "GC3s", Number(input.row.gc3s, 4));
  AppendSummaryLine(text, "median ENC", Number(input.row.median_enc, 2));
  if (reference) {
    AppendSummaryLine(text, "reference", std::string(input.row.reference));
    AppendSummaryLine(text, "median adaptation", Number(input.row.median_adaptation, 4));
  }
  AppendSummaryLine(text, "with internal stops", Count(input.row.internal_stop_sequences));
  AppendSummaryLine(text, "partial", Count(input.row.partial_sequences));
  AppendSummaryLine(text, "plotted",
                    plot.stride() == 1
                        ? "every sequence, " + Count(plot.points().size())
                        : "every " + Ordinal(plot.stride()) + " sequence, " +
                              Count(plot.points().size()) + " of " + Count(plot.scored()));
  text += "</table>\n";
  out_.Append(text);
  const FigureInput figures{plot, reference, input.coa};
  for (const InputFigureEntry& entry : kInputFigures) {
    if (!Drawn(entry, reference, input.coa != nullptr)) continue;
    std::string svg, table;
    DrawInputFigure(svg, entry.figure, figures, SvgTarget::kPage);
    if (entry.scatter) AppendTopGenes(table, entry.figure, figures);
    text.clear();
    AppendFigure(text, entry.caption, svg, table);
    out_.Append(text);
  }
  out_.Append("</section>\n");
}

void HtmlReport::Finish(bool coa) {
  std::string table =
      "<table class=\"overview\"><tr><th>input</th><th>sequences</th><th>codons</th><th>GC</th>"
      "<th>GC3s</th><th>median ENC</th><th>median adaptation</th>"
      "<th>average positive score</th></tr>";
  table += overview_;
  table += "</table>\n";
  // A collection's figures come before its long table.
  if (run_.sections()) out_.Append(table);
  std::string text = "<section class=\"together\"><h2>The inputs together</h2>\n";
  out_.Append(text);
  for (const RunFigureEntry& entry : kRunFigures) {
    if (!Drawn(entry, run_.inputs_given(), coa)) continue;
    if (entry.figure == RunFigure::kInputsCoa && !run_.inputs_coa()) continue;
    std::string svg;
    DrawRunFigure(svg, entry.figure, run_, SvgTarget::kPage);
    text.clear();
    AppendFigure(text, entry.caption, svg, {});
    out_.Append(text);
  }
  out_.Append("</section>\n");
  if (!run_.sections()) out_.Append(table);
  out_.Append("</body></html>\n");
}

}  // namespace trelba
