#include "reports/svg_canvas.hpp"

#include <charconv>
#include <cmath>
#include <new>

#include "numeric/natural_log.hpp"
#include "reports/cell_text.hpp"

namespace trelba {

const std::string_view kPlotStyle =
    "svg text{font-family:Arial,Helvetica,'Liberation Sans','DejaVu Sans',sans-serif;"
    "font-size:11px;fill:#222}.axis-label{font-size:12px}.legend,.note{fill:#444}"
    ".frame{fill:none;stroke:#666}.tick{stroke:#666}.zero,.half{stroke:#999;"
    "stroke-dasharray:4 3}.points circle{fill:#2166ac;fill-opacity:.5}.bin{fill:#2166ac}"
    ".bar{fill:#4393c3}.cell{fill:#2166ac}.median{stroke:#d6604d;stroke-width:2}"
    ".none{fill:#888}.count{fill:#555}.reference circle{fill:none;stroke:#b2182b;"
    "stroke-width:1.2}.top circle{fill:none;stroke:#111;stroke-width:1.2}.top text{"
    "font-size:9px;font-weight:bold}.wright polyline,.fit{fill:none;stroke:#1b7837;"
    "stroke-width:1.5}.coloured circle{fill-opacity:.8}.codon-gc{fill:#b2182b}"
    ".codon-at{fill:#2166ac}.heat rect{stroke:none}.aa{font-size:9px}.code{font-size:8px;"
    "font-family:'Courier New',Courier,'Liberation Mono','DejaVu Sans Mono',monospace}"
    ".input-0{fill:#0072b2}.input-1{fill:#d55e00}.input-2{fill:#009e73}.input-3{fill:#cc79a7}"
    ".input-4{fill:#e69f00}.input-5{fill:#56b4e9}.input-6{fill:#000}.input-7{fill:#f0e442}"
    ".overlay circle{fill-opacity:.55}";

void AppendFixed(std::string& out, double value, int decimals) {
  char text[64];
  const auto end =
      std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals).ptr;
  std::string_view written(text, static_cast<std::size_t>(end - text));
  if (written.front() == '-' && written.find_first_not_of("-0.") == std::string_view::npos) {
    written.remove_prefix(1);
  }
  out += written;
}

std::string NameEnd(std::string_view name, std::size_t bytes) {
  if (name.size() <= bytes) return std::string(name);
  std::size_t start = name.size() - bytes + 3;  // room for the ellipsis's three bytes
  while (start < name.size() && (static_cast<unsigned char>(name[start]) & 0xc0) == 0x80) ++start;
  return "\u2026" + std::string(name.substr(start));
}

std::string Fixed(double value, int decimals) {
  std::string out;
  AppendFixed(out, value, decimals);
  return out;
}

std::string Number(double value, int decimals) {
  return std::isnan(value) ? "NA" : Fixed(value, decimals);
}

std::string Count(std::uint64_t value) {
  const std::string digits = std::to_string(value);
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i != 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

std::string Ordinal(std::uint64_t value) {
  const std::uint64_t tens = value % 100;
  const char* suffix = tens >= 11 && tens <= 13 ? "th"
                       : value % 10 == 1        ? "st"
                       : value % 10 == 2        ? "nd"
                       : value % 10 == 3        ? "rd"
                                                : "th";
  return Count(value) + suffix;
}

double Log10(double x) {
  static const double kLn10 = NaturalLog(10.0);
  return NaturalLog(x) / kLn10;
}

void AppendHtmlText(std::string& out, std::string_view text) {
  const auto* const begin = reinterpret_cast<const unsigned char*>(text.data());
  const auto* const end = begin + text.size();
  for (const auto* p = begin; p != end;) {
    const unsigned char byte = *p;
    if (byte >= 0x80) {
      const std::size_t size = Utf8Length(p, end);
      if (size == 0) {
        out += kTextReplacement;
        ++p;
      } else {
        out.append(reinterpret_cast<const char*>(p), size);
        p += size;
      }
      continue;
    }
    switch (byte) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += byte < 0x20 || byte == 0x7f ? kTextReplacement : static_cast<char>(byte);
    }
    ++p;
  }
}

namespace {

// A page's unit in pixels, a figure file's in millimetres.
constexpr double kPagePixels = 1.25;
constexpr double kFileMillimetres = 85.0 / 360.0;

}  // namespace

Svg::Svg(std::string& out, std::string_view kind, double width, double height, SvgTarget target)
    : out_(out) {
  if (target == SvgTarget::kFile) out_ += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  out_ += "<svg class=\"";
  out_ += kind;
  out_ += "\" xmlns=\"http://www.w3.org/2000/svg\" width=\"";
  if (target == SvgTarget::kFile) {
    AppendFixed(out_, width * kFileMillimetres, 1);
    out_ += "mm\" height=\"";
    AppendFixed(out_, height * kFileMillimetres, 1);
    out_ += "mm";
  } else {
    AppendFixed(out_, width * kPagePixels, 0);
    out_ += "\" height=\"";
    AppendFixed(out_, height * kPagePixels, 0);
  }
  out_ += "\" viewBox=\"0 0 ";
  AppendFixed(out_, width, 0);
  out_ += ' ';
  AppendFixed(out_, height, 0);
  out_ += "\">";
  if (target == SvgTarget::kFile) {
    // A white ground, as a journal's page has.
    out_ += "<style>";
    out_ += kPlotStyle;
    out_ += "</style><rect width=\"100%\" height=\"100%\" fill=\"#fff\"/>";
  }
}

Svg::~Svg() {
  try {
    out_ += "</svg>\n";
  } catch (const std::bad_alloc&) {
  }
}

void Svg::Attribute(std::string_view name, double value, int decimals) {
  out_ += "\" ";
  out_ += name;
  out_ += "=\"";
  AppendFixed(out_, value, decimals);
}

void Svg::Attribute(std::string_view name, std::string_view value) {
  out_ += "\" ";
  out_ += name;
  out_ += "=\"";
  out_ += value;
}

void Svg::End(std::string_view tag, std::string_view title) {
  if (title.empty()) {
    out_ += "\"/>";
    return;
  }
  out_ += "\"><title>";
  AppendHtmlText(out_, title);
  out_ += "</title></";
  out_ += tag;
  out_ += '>';
}

void Svg::Text(double x, double y, std::string_view text, std::string_view cls,
               std::string_view anchor, bool vertical) {
  out_ += "<text class=\"";
  out_ += cls;
  Attribute("x", x);
  Attribute("y", y);
  Attribute("text-anchor", anchor);
  if (vertical) {
    out_ += "\" transform=\"rotate(-90 ";
    AppendFixed(out_, x, 1);
    out_ += ' ';
    AppendFixed(out_, y, 1);
    out_ += ')';
  }
  out_ += "\">";
  AppendHtmlText(out_, text);
  out_ += "</text>";
}

void Svg::Line(double x1, double y1, double x2, double y2, std::string_view cls) {
  out_ += "<line class=\"";
  out_ += cls;
  Attribute("x1", x1);
  Attribute("y1", y1);
  Attribute("x2", x2);
  Attribute("y2", y2);
  End("line", {});
}

void Svg::Box(double x, double y, double w, double h, std::string_view cls) {
  out_ += "<rect class=\"";
  out_ += cls;
  Place(x, y, w, h);
  End("rect", {});
}

void Svg::Place(double x, double y, double w, double h) {
  Attribute("x", x);
  Attribute("y", y);
  Attribute("width", w);
  Attribute("height", h);
}

void Svg::Rect(double x, double y, double w, double h, std::string_view cls, std::uint64_t count,
               double opacity, std::string_view fill, std::string_view title) {
  out_ += "<rect class=\"";
  out_ += cls;
  Attribute("data-n", std::to_string(count));
  Place(x, y, w, h);
  if (opacity < 1.0) Attribute("fill-opacity", opacity, 2);
  if (!fill.empty()) Attribute("fill", fill);
  End("rect", title);
}

void Svg::Circle(double x, double y, std::string_view r, std::string_view title,
                 std::string_view fill) {
  out_ += "<circle cx=\"";
  AppendFixed(out_, x, 1);
  Attribute("cy", y);
  Attribute("r", r);
  if (!fill.empty()) Attribute("fill", fill);
  End("circle", title);
}

void Svg::Group(std::string_view cls) {
  out_ += "<g class=\"";
  out_ += cls;
  out_ += "\">";
}

}  // namespace trelba
